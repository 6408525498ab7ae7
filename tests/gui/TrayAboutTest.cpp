// The notification-area icon on a real tray (trayer on the Xvfb display) and
// the about box, driven by mouse events. Screenshots go to
// SKYVANE_SCREENSHOT_DIR.

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/generic/stattextg.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/stopwatch.h>
#include <wx/taskbar.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/GuiTestSupport.h"
#include "gui/TrayOnDisplay.h"
#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "monitor/TMainForm.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "setup/Sites.h"
#include "setup/TAboutForm.h"
#include "setup/WxTrayIcon.h"
#include "support/RecordingShell.h"
#include "support/TempDir.h"
#include "wxcommon/WxText.h"

namespace {

using guitest::Pump;
using guitest::TrayOnDisplay;

// Skyvane installed in a program directory of the test's own (its settings
// written, so no install dialog), on a sample client.
class TrayStart : public ::testing::Test {
protected:
    TrayStart()
        : programEnv_("SKYVANE_PROGRAM_DIR", dir_.Path("program/")),
          registryEnv_("SKYVANE_REGISTRY_DIR", dir_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", dir_.Path("runtime")) {
        history::TSettingsRec settings;
        settings.ClientPath = dir_.Path("client/");
        dir_.Write("program/" + std::string(history::kSettingsFileName),
                   history::EncodeSettingsRecord(settings));
        sample::WriteSampleClientDir(settings.ClientPath);
        native_ = std::make_unique<platform::NativePlatform>();
    }

    ~TrayStart() override {
        if (form_ != nullptr) {
            form_->Destroy();
            Pump(50);
        }
    }

    void Start() {
        form_ = new monitor::TMainForm(native_->services());
        ASSERT_EQ(form_->Start({}), monitor::StartupResult::ShowWindow);
        form_->Show();
        Pump(200);
    }

    void Send(setup::WxTrayIcon& icon, wxEventType type) {
        wxTaskBarIconEvent event(type, &icon);
        icon.ProcessEvent(event);
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    std::unique_ptr<platform::NativePlatform> native_;
    monitor::TMainForm* form_ = nullptr;
};

TEST_F(TrayStart, ClosedWindowWaitsInTheTrayUntilClicked) {
    TrayOnDisplay tray;
    ASSERT_TRUE(wxTaskBarIcon::IsAvailable()) << "no tray on the display: is trayer installed?";
    ASSERT_NO_FATAL_FAILURE(Start());
    setup::WxTrayIcon& icon = form_->TrayNotifyIcon();
    EXPECT_FALSE(icon.IsIconInstalled());

    // WHEN the user closes the window
    form_->Close();
    Pump(500);

    // THEN the window and its taskbar button are gone and the icon is in the
    // tray with its tip
    EXPECT_FALSE(form_->IsShown());
    EXPECT_FALSE(form_->IsIconized());
    EXPECT_TRUE(icon.IsIconInstalled());
    EXPECT_EQ(icon.ShownTip(), "Skyvane");
    guitest::SaveScreenArea(guitest::ScreenshotPath("tray-icon.png"), wxRect());
    const wxSize screen = wxGetDisplaySize();
    guitest::SaveWindowShot("tray-icon-corner", wxRect(screen.x - 160, screen.y - 48, 160, 48));

    // WHEN the icon is clicked: the window comes back once the click timer
    // has run, and the icon leaves the tray
    Send(icon, wxEVT_TASKBAR_LEFT_DOWN);
    EXPECT_FALSE(form_->IsShown());
    Pump(100);
    EXPECT_TRUE(form_->IsShown());
    EXPECT_FALSE(icon.IsIconInstalled());
}

TEST_F(TrayStart, TrayMenuOffersShowAndExit) {
    TrayOnDisplay tray;
    ASSERT_TRUE(wxTaskBarIcon::IsAvailable());
    ASSERT_NO_FATAL_FAILURE(Start());
    form_->Close();
    Pump(200);
    setup::WxTrayIcon& icon = form_->TrayNotifyIcon();

    std::unique_ptr<wxMenu> menu(icon.MakeMenu());
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->GetMenuItemCount(), 2u);
    EXPECT_EQ(menu->FindItemByPosition(0)->GetItemLabelText(), "Show");
    EXPECT_EQ(menu->FindItemByPosition(1)->GetItemLabelText(), "Exit");

    // "Exit" ends the program: the icon leaves with the window
    wxCommandEvent exit(wxEVT_MENU, menu->FindItemByPosition(1)->GetId());
    icon.ProcessEvent(exit);
    EXPECT_FALSE(icon.IsIconInstalled());
    Pump(100);
    EXPECT_EQ(wxWindow::FindWindowByName("TMainForm"), nullptr);
    form_ = nullptr;
}

TEST_F(TrayStart, WithoutATrayTheClosedWindowStaysReachable) {
    if (wxTaskBarIcon::IsAvailable()) GTEST_SKIP() << "this display has a tray of its own";
    ASSERT_NO_FATAL_FAILURE(Start());

    form_->Close();
    Pump(200);

    // THEN the window is minimised, not hidden: its taskbar button is the
    // way back. (Without a window manager nothing minimises for real; the
    // window must still be shown.)
    EXPECT_TRUE(form_->IsShown());
    EXPECT_FALSE(form_->TrayNotifyIcon().IsIconInstalled());
    // restoring it counts as the tray's "Show"
    wxIconizeEvent restore(form_->GetId(), false);
    restore.SetEventObject(form_);
    form_->GetEventHandler()->ProcessEvent(restore);
    EXPECT_FALSE(form_->TrayIconShown());
    EXPECT_TRUE(form_->IsShown());
}

TEST_F(TrayStart, HelpAndInternetMenusWork) {
    ASSERT_NO_FATAL_FAILURE(Start());
    for (const char* name : {"About1", "Skyvanesite1", "SETIhomesite1"})
        EXPECT_TRUE(form_->MenuItemByName(name)->IsEnabled()) << name;
    EXPECT_EQ(form_->MenuItemByName("SETIhomesite1")->GetItemLabelText(), "SETI@home site");
}

// The pointer moved for real (XTest under Xvfb) to the middle of a window.
void MoveMouseTo(wxWindow* window) {
    wxUIActionSimulator mouse;
    const wxRect rect = window->GetScreenRect();
    mouse.MouseMove(rect.x + rect.width / 2, rect.y + rect.height / 2);
    Pump(150);
}

// The link's colour once the display has delivered the pointer's move; a
// loaded display may take longer than one short pump.
wxColour ColourAfterMove(wxWindow* link, const wxColour& expected) {
    guitest::PumpUntil([&] { return link->GetForegroundColour() == expected; });
    return link->GetForegroundColour();
}

TEST(AboutBox, LinkColourFollowsTheMouse) {
    testsupport::RecordingShell shell;
    auto* form = new setup::TAboutForm(nullptr, shell);
    form->Show();
    Pump(300);
    EXPECT_EQ(form->GetTitle(), "About Skyvane");
    auto text = [&](const char* name) {
        auto* label = dynamic_cast<wxStaticTextBase*>(wxWindow::FindWindowByName(name, form));
        return label != nullptr ? wxcommon::ToUtf8(label->GetLabelText()) : std::string("?");
    };
    EXPECT_EQ(text("ProductName"), "Skyvane");
    EXPECT_EQ(text("Version"), "Version 3.42");
    EXPECT_EQ(text("Label1"), "Skyvane site");
    wxWindow* Label1 = wxWindow::FindWindowByName("Label1", form);
    wxWindow* BitBtn1 = wxWindow::FindWindowByName("BitBtn1", form);
    wxWindow* Panel1 = wxWindow::FindWindowByName("Panel1", form);
    wxWindow* ProgramIcon = wxWindow::FindWindowByName("ProgramIcon", form);
    ASSERT_TRUE(Label1 && BitBtn1 && Panel1 && ProgramIcon);
    const wxColour blue(0, 0, 255);
    const wxColour green(0, 128, 0);
    EXPECT_EQ(Label1->GetForegroundColour(), blue);

    // over the link: green; over the OK button: blue again
    MoveMouseTo(Label1);
    EXPECT_EQ(ColourAfterMove(Label1, green), green);
    guitest::SaveWindowShot("about-box-hover", form->GetScreenRect());
    MoveMouseTo(BitBtn1);
    EXPECT_EQ(ColourAfterMove(Label1, blue), blue);
    // ...and over the icon and the panel
    MoveMouseTo(Label1);
    ColourAfterMove(Label1, green);
    MoveMouseTo(ProgramIcon);
    EXPECT_EQ(ColourAfterMove(Label1, blue), blue);
    MoveMouseTo(Label1);
    ColourAfterMove(Label1, green);
    {
        // the panel's margin, beside its labels
        wxUIActionSimulator mouse;
        const wxRect panel = Panel1->GetScreenRect();
        mouse.MouseMove(panel.x + 5, panel.y + panel.height - 5);
        Pump(150);
    }
    EXPECT_EQ(ColourAfterMove(Label1, blue), blue);
    guitest::SaveWindowShot("about-box", form->GetScreenRect());

    // a click on the link opens the product's site
    wxUIActionSimulator mouse;
    MoveMouseTo(Label1);
    mouse.MouseClick();
    guitest::PumpUntil([&] { return !shell.opened.empty(); });
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], setup::kProductSite);
    form->Destroy();
    Pump(50);
}

}  // namespace
