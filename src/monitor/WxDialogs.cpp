#include "monitor/WxDialogs.h"

#include <wx/msgdlg.h>
#include <wx/window.h>

#include "monitor/WxText.h"
#include "setup/TPathForm.h"

namespace monitor {

WxDialogs::WxDialogs(wxWindow* parent, platform::Shell& shell) : parent_(parent), shell_(shell) {}

wxWindow* WxDialogs::Owner() const {
    return parent_ != nullptr && parent_->IsShown() ? parent_ : nullptr;
}

void WxDialogs::ShowError(std::string_view text) {
    wxMessageDialog box(Owner(), FromUtf8(text), "Skyvane", wxOK | wxICON_ERROR | wxCENTRE);
    box.ShowModal();
}

std::optional<std::string> WxDialogs::AskClientPath() {
    setup::TPathForm form(Owner(), shell_);
    if (form.ShowModal() != wxID_OK) return std::nullopt;
    return form.Path();
}

}  // namespace monitor
