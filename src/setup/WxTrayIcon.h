#pragma once
// The notification-area icon with the toolkit's tray icon: carries out what
// TrayNotifyIcon decides and feeds it the mouse events. Where the desktop has
// no notification area, nothing is shown and IsAvailable() says so; the main
// window then stands minimised instead.

#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/taskbar.h>
#include <wx/timer.h>

#include <functional>

#include "setup/TrayNotifyIcon.h"
#include "views/NotifyArea.h"

namespace setup {

class WxTrayIcon : public wxTaskBarIcon, private views::NotifyArea {
public:
    // `icon`: the picture shown; `makeMenu` builds the pop-up menu each time
    // it opens (its commands come back to this object as wxEVT_MENU).
    WxTrayIcon(const wxIcon& icon, std::function<wxMenu*()> makeMenu);
    ~WxTrayIcon() override;

    TrayNotifyIcon& Logic() { return logic_; }
    // A new pop-up menu, as a right click would open it (for tests).
    wxMenu* MakeMenu() const { return makeMenu_ ? makeMenu_() : nullptr; }
    // The picture and tip the shell shows now (for tests).
    const wxString& ShownTip() const { return shownTip_; }

private:
    // views::NotifyArea
    void NotifyIcon(views::NotifyMessage message, unsigned flags, std::string_view tip) override;
    void StartClickTimer() override;
    void PopupMenuAtCursor() override;

    wxIcon icon_;
    std::function<wxMenu*()> makeMenu_;
    wxTimer clickTimer_;
    wxString shownTip_;
    TrayNotifyIcon logic_;
};

}  // namespace setup
