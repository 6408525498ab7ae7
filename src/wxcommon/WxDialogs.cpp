#include "wxcommon/WxDialogs.h"

#include <wx/msgdlg.h>
#include <wx/window.h>

#include "cache/TCacheForm.h"
#include "cache/TCacheInfoForm.h"
#include "setup/TAboutForm.h"
#include "setup/TInstallForm.h"
#include "setup/TPathForm.h"
#include "setup/TSetForm.h"
#include "wxcommon/WxText.h"

namespace wxcommon {

WxDialogs::WxDialogs(wxWindow* parent, platform::Shell& shell) : parent_(parent), shell_(shell) {}

wxWindow* WxDialogs::Owner() const {
    return parent_ != nullptr && parent_->IsShown() ? parent_ : nullptr;
}

int WxDialogs::ShowBox(std::string_view text, long style) const {
    wxMessageDialog box(Owner(), FromUtf8(text), "Skyvane", style | wxCENTRE);
    return box.ShowModal();
}

void WxDialogs::ShowError(std::string_view text) {
    ShowBox(text, wxOK | wxICON_ERROR);
}

void WxDialogs::ShowWarning(std::string_view text) {
    ShowBox(text, wxOK | wxICON_WARNING);
}

void WxDialogs::ShowInformation(std::string_view text) {
    ShowBox(text, wxOK | wxICON_INFORMATION);
}

bool WxDialogs::AskYesNo(std::string_view text) {
    return ShowBox(text, wxYES_NO | wxICON_QUESTION) == wxID_YES;
}

bool WxDialogs::AskYesNoWarning(std::string_view text) {
    return ShowBox(text, wxYES_NO | wxICON_WARNING) == wxID_YES;
}

void WxDialogs::ShowInstallForm(views::InstallEvents& events) {
    setup::TInstallForm form(Owner(), events);
    if (form.Wanted()) form.ShowModal();
}

std::optional<std::string> WxDialogs::AskClientPath() {
    setup::TPathForm form(Owner(), shell_);
    if (form.ShowModal() != wxID_OK) return std::nullopt;
    return form.Path();
}

void WxDialogs::ShowAbout() {
    setup::TAboutForm form(Owner(), shell_);
    form.ShowModal();
}

void WxDialogs::ShowSetForm(views::SetFormEvents& events) {
    setup::TSetForm form(Owner(), events);
    form.ShowModal();
}

bool WxDialogs::AskOkCancel(std::string_view text) {
    return ShowBox(text, wxOK | wxCANCEL | wxICON_INFORMATION) == wxID_OK;
}

bool WxDialogs::AskAbortRetry(std::string_view text) {
    wxMessageDialog box(Owner(), FromUtf8(text), "Skyvane", wxYES_NO | wxICON_ERROR | wxCENTRE);
    box.SetYesNoLabels("&Abort", "&Retry");
    return box.ShowModal() == wxID_NO;
}

void WxDialogs::ShowCacheForm(views::CacheFormEvents& events) {
    cache::TCacheForm form(Owner(), events);
    form.ShowModal();
}

void WxDialogs::ShowCacheInfoForm(views::CacheInfoEvents& events) {
    cache::TCacheInfoForm form(Owner(), events);
    form.Run();
}

}  // namespace wxcommon
