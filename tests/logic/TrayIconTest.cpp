// The notification-area icon's logic against a recording notification area:
// what reaches the shell, and how mouse events become clicks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/TrayNotifyIcon.h"
#include "views/NotifyArea.h"

using setup::TrayNotifyIcon;
using views::NotifyMessage;

namespace {

struct Notification {
    NotifyMessage message;
    unsigned flags;
    std::string tip;
};

class RecordingArea : public views::NotifyArea {
public:
    void NotifyIcon(NotifyMessage message, unsigned flags, std::string_view tip) override {
        sent.push_back({message, flags, std::string(tip)});
    }
    void StartClickTimer() override { ++timersStarted; }
    void PopupMenuAtCursor() override { ++menusShown; }

    std::vector<Notification> sent;
    int timersStarted = 0;
    int menusShown = 0;
};

constexpr unsigned kAll = views::kNotifyMessage | views::kNotifyIcon | views::kNotifyTip;

TEST(TrayNotifyIcon, SendsOnlyChanges) {
    RecordingArea area;
    TrayNotifyIcon icon(area);
    // a hint set while hidden reaches the shell with the icon
    icon.SetHint("Skyvane");
    EXPECT_TRUE(area.sent.empty());
    icon.SetIconVisible(true);
    icon.SetIconVisible(true);
    icon.SetHint("Skyvane");
    ASSERT_EQ(area.sent.size(), 1u);
    EXPECT_EQ(area.sent[0].message, NotifyMessage::Add);
    EXPECT_EQ(area.sent[0].flags, kAll);
    EXPECT_EQ(area.sent[0].tip, "Skyvane");

    icon.SetHint("Skyvane 45%");
    ASSERT_EQ(area.sent.size(), 2u);
    EXPECT_EQ(area.sent[1].message, NotifyMessage::Modify);
    EXPECT_EQ(area.sent[1].flags, views::kNotifyTip);
    EXPECT_EQ(area.sent[1].tip, "Skyvane 45%");

    icon.IconChanged();
    ASSERT_EQ(area.sent.size(), 3u);
    EXPECT_EQ(area.sent[2].message, NotifyMessage::Modify);
    EXPECT_EQ(area.sent[2].flags, views::kNotifyIcon);

    icon.SetIconVisible(false);
    icon.SetIconVisible(false);
    icon.IconChanged();
    ASSERT_EQ(area.sent.size(), 4u);
    EXPECT_EQ(area.sent[3].message, NotifyMessage::Delete);
    EXPECT_FALSE(icon.IconVisible());
}

TEST(TrayNotifyIcon, GoingAwayRemovesAVisibleIcon) {
    RecordingArea area;
    {
        TrayNotifyIcon icon(area);
        icon.SetIconVisible(true);
    }
    ASSERT_EQ(area.sent.size(), 2u);
    EXPECT_EQ(area.sent[1].message, NotifyMessage::Delete);

    RecordingArea quiet;
    { TrayNotifyIcon hidden(quiet); }
    EXPECT_TRUE(quiet.sent.empty());
}

TEST(TrayNotifyIcon, LongHintIsCutToWhatTheShellTakes) {
    RecordingArea area;
    TrayNotifyIcon icon(area);
    icon.SetHint(std::string(70, 'x'));
    icon.SetIconVisible(true);
    EXPECT_EQ(area.sent.back().tip, std::string(63, 'x'));
    // the whole hint is kept; only what reaches the shell is cut
    EXPECT_EQ(icon.Hint().size(), 70u);

    EXPECT_EQ(setup::TipText(std::string(63, 'y')), std::string(63, 'y'));
    // a two-byte character across the limit is left out whole, not split
    const std::string umlauts = std::string(62, 'a') + "\xC3\xA4" + "bc";
    EXPECT_EQ(setup::TipText(umlauts), std::string(62, 'a'));
    EXPECT_EQ(setup::TipText(""), "");
}

TEST(TrayNotifyIcon, SingleClickReachesOnClickThroughTheTimer) {
    RecordingArea area;
    TrayNotifyIcon icon(area);
    int clicks = 0;
    icon.OnClick = [&] { ++clicks; };

    icon.LeftButtonDown();
    EXPECT_EQ(area.timersStarted, 1);
    EXPECT_EQ(clicks, 0);  // not inside the shell's notification
    icon.ClickTimerTimer();
    EXPECT_EQ(clicks, 1);
}

TEST(TrayNotifyIcon, DoubleClickSwallowsThePendingClick) {
    RecordingArea area;
    TrayNotifyIcon icon(area);
    int clicks = 0;
    int doubleClicks = 0;
    icon.OnClick = [&] { ++clicks; };

    // no double-click handler (the main window sets none): nothing happens
    icon.LeftButtonDown();
    icon.LeftButtonDoubleClick();
    icon.ClickTimerTimer();
    EXPECT_EQ(clicks, 0);

    icon.OnDblClick = [&] { ++doubleClicks; };
    icon.LeftButtonDown();
    icon.LeftButtonDoubleClick();
    icon.ClickTimerTimer();
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 0);
    // the flag is used up: the next single click counts again
    icon.LeftButtonDown();
    icon.ClickTimerTimer();
    EXPECT_EQ(clicks, 1);
}

TEST(TrayNotifyIcon, RightClickOpensTheMenuOnlyWhenThereIsOne) {
    RecordingArea area;
    TrayNotifyIcon icon(area);
    icon.RightButtonDown();
    EXPECT_EQ(area.menusShown, 0);
    icon.SetPopupMenu(true);
    icon.RightButtonDown();
    EXPECT_EQ(area.menusShown, 1);
}

}  // namespace
