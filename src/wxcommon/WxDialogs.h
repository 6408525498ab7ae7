#pragma once
// The logic's modal boxes and dialogs, shown with wx.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "views/Dialogs.h"

class wxWindow;

namespace wxcommon {

class WxDialogs : public views::Dialogs {
public:
    // `parent` owns the boxes while it is on screen (they centre on it and
    // stay above it); a hidden parent is not used, so a box shown during
    // start-up or from the tray still appears in the middle of the screen.
    // `shell` serves the site links of the client-path dialog and the about
    // box. Both must outlive
    // this object.
    WxDialogs(wxWindow* parent, platform::Shell& shell);

    void ShowError(std::string_view text) override;
    void ShowWarning(std::string_view text) override;
    void ShowInformation(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    bool AskYesNoWarning(std::string_view text) override;
    std::optional<std::string> AskClientPath() override;
    void ShowAbout() override;
    void ShowSetForm(views::SetFormEvents& events) override;
    bool AskOkCancel(std::string_view text) override;
    bool AskAbortRetry(std::string_view text) override;
    void ShowCacheForm(views::CacheFormEvents& events) override;
    void ShowCacheInfoForm(views::CacheInfoEvents& events) override;
    void ShowInstallForm(views::InstallEvents& events) override;

private:
    wxWindow* Owner() const;
    int ShowBox(std::string_view text, long style) const;

    wxWindow* parent_;
    platform::Shell& shell_;
};

}  // namespace wxcommon
