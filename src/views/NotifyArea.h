#pragma once
// The desktop's notification area ("tray") as the tray icon's logic drives
// it: the shell's add / modify / delete notifications, a one-shot click
// timer and the pop-up menu. The wx tray icon implements it; tests record it.

#include <string_view>

namespace views {

enum class NotifyMessage { Add = 0, Modify = 1, Delete = 2 };

// What a notification carries, as flags.
inline constexpr unsigned kNotifyMessage = 1;  // the callback for mouse events
inline constexpr unsigned kNotifyIcon = 2;
inline constexpr unsigned kNotifyTip = 4;

class NotifyArea {
public:
    virtual ~NotifyArea() = default;
    // One notification to the shell. The icon is the component's own; `tip`
    // is already cut to what the shell takes.
    virtual void NotifyIcon(NotifyMessage message, unsigned flags, std::string_view tip) = 0;
    // Starts the one-shot click timer: TrayNotifyIcon::ClickTimerTimer
    // follows once, after the current event.
    virtual void StartClickTimer() = 0;
    // Pops the menu up at the mouse cursor; returns when it has closed.
    virtual void PopupMenuAtCursor() = 0;
};

}  // namespace views
