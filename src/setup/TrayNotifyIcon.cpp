#include "setup/TrayNotifyIcon.h"

namespace setup {

using views::NotifyMessage;

std::string TipText(std::string_view hint) {
    if (hint.size() <= kMaxTipLength) return std::string(hint);
    std::size_t length = kMaxTipLength;
    // Back to the start of the character that would be split.
    while (length > 0 && (static_cast<unsigned char>(hint[length]) & 0xC0) == 0x80)
        --length;
    return std::string(hint.substr(0, length));
}

TrayNotifyIcon::~TrayNotifyIcon() {
    if (iconVisible_) Notify(NotifyMessage::Delete, 0);
}

void TrayNotifyIcon::SetIconVisible(bool visible) {
    if (visible == iconVisible_) return;
    iconVisible_ = visible;
    const unsigned flags = views::kNotifyMessage | views::kNotifyIcon | views::kNotifyTip;
    Notify(visible ? NotifyMessage::Add : NotifyMessage::Delete, flags);
}

void TrayNotifyIcon::SetHint(std::string_view hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (iconVisible_) Notify(NotifyMessage::Modify, views::kNotifyTip);
}

void TrayNotifyIcon::IconChanged() {
    if (iconVisible_) Notify(NotifyMessage::Modify, views::kNotifyIcon);
}

void TrayNotifyIcon::Notify(NotifyMessage message, unsigned flags) {
    area_.NotifyIcon(message, flags, TipText(hint_));
}

// The click waits for the timer, so that the shell's notification has
// returned before the owner opens windows.
void TrayNotifyIcon::LeftButtonDown() {
    area_.StartClickTimer();
}

void TrayNotifyIcon::LeftButtonDoubleClick() {
    doubleClicked_ = true;
    if (OnDblClick) OnDblClick();
}

void TrayNotifyIcon::RightButtonDown() {
    if (hasPopupMenu_) area_.PopupMenuAtCursor();
}

void TrayNotifyIcon::ClickTimerTimer() {
    if (!doubleClicked_ && OnClick) OnClick();
    doubleClicked_ = false;
}

}  // namespace setup
