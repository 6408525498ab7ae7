#include "setup/WxTrayIcon.h"

#include <memory>
#include <utility>

#include "wxcommon/WxText.h"

namespace setup {

WxTrayIcon::WxTrayIcon(const wxIcon& icon, std::function<wxMenu*()> makeMenu)
    : icon_(icon), makeMenu_(std::move(makeMenu)), logic_(*this) {
    clickTimer_.SetOwner(this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { logic_.ClickTimerTimer(); });
    Bind(wxEVT_TASKBAR_LEFT_DOWN, [this](wxTaskBarIconEvent&) { logic_.LeftButtonDown(); });
    Bind(wxEVT_TASKBAR_LEFT_DCLICK,
         [this](wxTaskBarIconEvent&) { logic_.LeftButtonDoubleClick(); });
    Bind(wxEVT_TASKBAR_RIGHT_DOWN, [this](wxTaskBarIconEvent&) { logic_.RightButtonDown(); });
    logic_.SetPopupMenu(static_cast<bool>(makeMenu_));
}

// The logic removes a visible icon while this object is still whole.
WxTrayIcon::~WxTrayIcon() {
    logic_.SetIconVisible(false);
}

void WxTrayIcon::NotifyIcon(views::NotifyMessage message, unsigned, std::string_view tip) {
    if (!IsAvailable()) return;
    if (message == views::NotifyMessage::Delete) {
        if (IsIconInstalled()) RemoveIcon();
        shownTip_.clear();
        return;
    }
    // The toolkit sets picture and tip together.
    shownTip_ = wxcommon::FromUtf8(tip);
    SetIcon(icon_, shownTip_);
}

void WxTrayIcon::StartClickTimer() {
    clickTimer_.StartOnce(1);
}

void WxTrayIcon::PopupMenuAtCursor() {
    // The toolkit places the menu at the pointer and returns once it closed.
    std::unique_ptr<wxMenu> menu(makeMenu_());
    if (menu) PopupMenu(menu.get());
}

}  // namespace setup
