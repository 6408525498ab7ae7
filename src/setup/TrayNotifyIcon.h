#pragma once
// The notification-area icon's logic: what reaches the shell and when, and
// how mouse events become the owner's click and double-click. No wx here;
// WxTrayIcon carries it out with the toolkit's tray icon.
//
// The icon is in the notification area exactly while IconVisible() is set;
// setting a value it already has sends nothing to the shell.

#include <functional>
#include <string>
#include <string_view>

#include "views/NotifyArea.h"

namespace setup {

// The shell's tip field holds 64 bytes with its terminator.
inline constexpr std::size_t kMaxTipLength = 63;

// `hint` cut to kMaxTipLength bytes, never inside a UTF-8 sequence.
std::string TipText(std::string_view hint);

class TrayNotifyIcon {
public:
    // `area` must outlive this object.
    explicit TrayNotifyIcon(views::NotifyArea& area) : area_(area) {}
    // A visible icon is removed first.
    ~TrayNotifyIcon();
    TrayNotifyIcon(const TrayNotifyIcon&) = delete;
    TrayNotifyIcon& operator=(const TrayNotifyIcon&) = delete;

    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool visible);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string_view hint);
    // The picture changed: a visible icon shows the new one.
    void IconChanged();
    // Whether a right click opens the pop-up menu.
    void SetPopupMenu(bool hasMenu) { hasPopupMenu_ = hasMenu; }

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

    // The shell's mouse notifications.
    void LeftButtonDown();
    void LeftButtonDoubleClick();
    void RightButtonDown();
    // The click timer: a single click that was not part of a double click
    // reaches OnClick.
    void ClickTimerTimer();

private:
    void Notify(views::NotifyMessage message, unsigned flags);

    views::NotifyArea& area_;
    bool iconVisible_ = false;
    std::string hint_;
    bool hasPopupMenu_ = false;
    bool doubleClicked_ = false;
};

}  // namespace setup
