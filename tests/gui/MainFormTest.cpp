// Smoke tests of the real windows on a real X display (run them under
// xvfb-run). wx starts only when the first test runs, so listing the tests
// needs no display. Screenshots go to SKYVANE_SCREENSHOT_DIR (default: the
// directory of this test program, in the build tree).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/stopwatch.h>
#include <wx/taskbar.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <chrono>
#include <filesystem>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cache/CacheInfoForm.h"
#include "cache/TCacheInfoForm.h"
#include "cache/WorkUnitCache.h"
#include "gui/GuiTestSupport.h"
#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "monitor/TMainForm.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "setup/PathForm.h"
#include "setup/TPathForm.h"
#include "support/ClientFakes.h"
#include "support/RecordingShell.h"
#include "support/ShellFolders.h"
#include "support/TempDir.h"
#include "views/ControlNames.h"
#include "views/MainView.h"
#include "wxcommon/WxAssert.h"
#include "wxcommon/WxDialogs.h"
#include "wxcommon/WxText.h"

namespace {

using guitest::Pump;
using guitest::ScreenshotPath;
using testsupport::RecordingShell;

using monitor::StartupResult;
using monitor::TMainForm;
using views::Control;

// wx for the whole run: started before the first test, ended after the last.
class WxEnvironment : public ::testing::Environment {
public:
    WxEnvironment(int& argc, char** argv) : argc_(argc), argv_(argv) {}

    void SetUp() override {
        wxApp::SetInstance(new wxApp);
        if (!wxEntryStart(argc_, argv_)) {
            GTEST_FAIL() << "wx cannot start: is there an X display? Run under xvfb-run.";
        }
        started_ = true;
        wxTheApp->SetAppName("Skyvane");
        // A failed wx assertion fails the test that caused it.
        wxcommon::InstallWxAssertHandler([](const wxcommon::WxAssertReport& report) {
            ADD_FAILURE() << "wx assertion: " << report.ToString();
        });
        // Yield and the modal loops need an active loop to return to.
        loop_ = std::make_unique<wxGUIEventLoop>();
        wxEventLoopBase::SetActive(loop_.get());
    }

    void TearDown() override {
        if (!started_) return;
        wxEventLoopBase::SetActive(nullptr);
        loop_.reset();
        wxEntryCleanup();
    }

private:
    int& argc_;
    char** argv_;
    bool started_ = false;
    std::unique_ptr<wxGUIEventLoop> loop_;
};

// Answers every modal dialog wx is about to show: `onDialog` returns the
// dialog's result to skip it, or wxID_NONE to let it run.
class DialogWatch : public wxModalDialogHook {
public:
    explicit DialogWatch(std::function<int(wxDialog*)> onDialog) : onDialog_(std::move(onDialog)) {
        Register();
    }

protected:
    int Enter(wxDialog* dialog) override { return onDialog_(dialog); }

private:
    std::function<int(wxDialog*)> onDialog_;
};

// The whole screen, as the demo's viewer sees it, plus the window alone.
void SaveScreenshot(const std::string& name, const wxRect& window) {
    guitest::SaveScreenArea(ScreenshotPath(name + ".png"), wxRect());
    guitest::SaveWindowShot(name + "-window", window);
}

// A program directory, registry and runtime directory of the test's own,
// and a sample client directory that the client's registry value names.
class GuiStart : public ::testing::Test {
protected:
    GuiStart()
        : programEnv_("SKYVANE_PROGRAM_DIR", dir_.Path("program/")),
          registryEnv_("SKYVANE_REGISTRY_DIR", dir_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", dir_.Path("runtime")) {
        dir_.MakeDir("program");
        dir_.MakeDir("registry");
        dir_.MakeDir("runtime");
        // An installed Skyvane: its settings are there, so no install dialog.
        dir_.Write("program/" + std::string(history::kSettingsFileName),
                   history::EncodeSettingsRecord({}));
        native_ = std::make_unique<platform::NativePlatform>();
    }

    ~GuiStart() override {
        // The window goes before the services it uses.
        if (form_ != nullptr) {
            form_->Destroy();
            Pump(50);
        }
    }

    // Skyvane started on a sample client directory that the client's
    // registry value names; the window is not shown yet.
    void StartOnSampleClient() {
        clientDir_ = dir_.Path("client/");
        sample::WriteSampleClientDir(clientDir_);
        RegisterClientDir(clientDir_);
        form_ = new TMainForm(native_->services());
        ASSERT_EQ(form_->Start({}), StartupResult::ShowWindow);
    }

    void RegisterClientDir(const std::string& clientDir) {
        auto key = native_->services().registry.OpenKey(
            platform::RegRoot::CurrentUser, "Software\\SETI@home\\", platform::RegAccess::Write);
        ASSERT_TRUE(key);
        ASSERT_TRUE(key->WriteString("ClientDir", clientDir));
    }

    std::string Label(const char* name) const {
        wxWindow* window = wxWindow::FindWindowByName(name, form_);
        EXPECT_NE(window, nullptr) << name;
        auto* label = dynamic_cast<wxStaticTextBase*>(window);
        EXPECT_NE(label, nullptr) << name << " is no label";
        return label != nullptr ? wxcommon::ToUtf8(label->GetLabelText()) : std::string();
    }

    bool Shown(const char* name) const {
        wxWindow* window = wxWindow::FindWindowByName(name, form_);
        EXPECT_NE(window, nullptr) << name;
        return window != nullptr && window->IsShown();
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    // Start-up values (autostart entries on Linux) stay inside the test.
    testsupport::ScopedEnv configEnv_{"XDG_CONFIG_HOME", dir_.Path("config")};
    std::unique_ptr<platform::NativePlatform> native_;
    TMainForm* form_ = nullptr;
    std::string clientDir_;
};

TEST_F(GuiStart, MainWindowShowsTheSampleClientsFigures) {
    // GIVEN a sample client directory named by the client's registry value
    const std::string clientDir = dir_.Path("client/");
    sample::WriteSampleClientDir(clientDir);
    RegisterClientDir(clientDir);
    DialogWatch noDialogs([](wxDialog* dialog) {
        ADD_FAILURE() << "unexpected dialog: " << wxcommon::ToUtf8(dialog->GetTitle());
        return wxID_OK;
    });

    // WHEN Skyvane starts on it and its window comes up
    form_ = new TMainForm(native_->services());
    ASSERT_EQ(form_->Start({}), StartupResult::ShowWindow);
    form_->Show();
    Pump(700);

    // THEN the window shows the work unit's header, the client's version and
    // the user's figures
    EXPECT_EQ(form_->GetTitle(), "Skyvane");
    EXPECT_EQ(form_->GetClientSize(), wxSize(575, 458));
    EXPECT_EQ(Label("DateLabel"), "Mon Mar 12 20:32:56 2001");
    EXPECT_EQ(Label("SkyPosLabel"), "7:30' 00'' RA, +21º15' 00'' Dec");
    EXPECT_EQ(wxcommon::ToUtf8(wxWindow::FindWindowByName("SkyPosLabel", form_)->GetToolTipText()),
              "Angle range = 0.4 deg.");
    EXPECT_EQ(Label("TelescopeLabel"), "Arecibo Radio Telescope");
    EXPECT_EQ(Label("BaseFreqLabel"), "1.418741455 GHz");
    EXPECT_EQ(Label("SAHVerLabel"), "S@H ver. 3.03");
    EXPECT_EQ(Label("UserNameLabel"), "Ann Lovell");
    EXPECT_EQ(Label("EMailLabel"), "ann.lovell@example.org");
    EXPECT_EQ(Label("CountryLabel"), "Netherlands");
    EXPECT_EQ(Label("TotalWULabel"), "298");
    EXPECT_EQ(Label("RecordedWULabel"), "0");
    EXPECT_EQ(Label("BestPeakLabel"), "24.18");  // the client's own best spike
    EXPECT_EQ(Label("Label14"), "Strongest Peak:");
    EXPECT_EQ(Label("Label6"), "Drift Rate [Hz/s]");
    EXPECT_EQ(Label("Label16"), "Work Unit");
    // the live view's panels; the user's and the totals wait for the selector
    EXPECT_TRUE(Shown("WUPanel"));
    EXPECT_TRUE(Shown("ProgressPanel"));
    EXPECT_FALSE(Shown("UserPanel"));
    EXPECT_FALSE(Shown("TotalInfoPanel"));
    // the first poll has run: no signal yet, the client's progress
    EXPECT_TRUE(Shown("NoSignalsLabel"));
    EXPECT_EQ(Label("PercentageLabel"), "21.32%");
    EXPECT_EQ(Label("CPUTimeLabel"), "0:09:00");
    EXPECT_EQ(Label("TotalTimeLabel"), "0:42:13");
    EXPECT_EQ(Label("LeftTimeLabel"), "0:33:13");
    EXPECT_TRUE(form_->TimerRunning(views::TimerId::Timer1));
    EXPECT_FALSE(Shown("ZoomBtn"));
    auto* selector = dynamic_cast<wxChoice*>(wxWindow::FindWindowByName("WUComboBox", form_));
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->GetCount(), 2u);
    EXPECT_EQ(selector->GetStringSelection(), "current");
    EXPECT_TRUE(dir_.Exists("program/lastnum.mon"));

    SaveScreenshot("mainform", form_->GetScreenRect());
}

// The place of a named widget in the window's client area.
wxRect DesignRect(TMainForm* form, const char* name) {
    wxWindow* window = wxWindow::FindWindowByName(name, form);
    EXPECT_NE(window, nullptr) << name;
    if (window == nullptr) return {};
    // Through the parent's client area: a bordered panel's own screen
    // position is that of its inside.
    wxWindow* root = wxWindow::FindWindowByName("Root", form);
    const wxPoint origin = window->GetParent()->ClientToScreen(window->GetPosition()) -
                           root->ClientToScreen(wxPoint(0, 0));
    return {origin, window->GetSize()};
}

TEST_F(GuiStart, TheTimerFollowsTheClientsProgress) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();
    ASSERT_EQ(Label("PercentageLabel"), "21.32%");

    // The client rewrites its state file, two seconds later than before.
    sample::StateFields state;
    state.prog = 0.5;
    dir_.Write("client/state.sah", sample::StateFile(state));
    std::filesystem::last_write_time(
        clientDir_ + "state.sah",
        std::filesystem::last_write_time(clientDir_ + "state.sah") + std::chrono::seconds(4));

    // Only the window's own timer reads it.
    Pump(2600);
    EXPECT_EQ(Label("PercentageLabel"), "50%");
}

TEST_F(GuiStart, ScaleMenuRelabelsTheGraphsAxis) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    ASSERT_EQ(Label("AxisLabel1"), "0.2");

    wxCommandEvent click(wxEVT_MENU, form_->MenuItemByName("mx2")->GetId());
    form_->GetEventHandler()->ProcessEvent(click);

    EXPECT_EQ(Label("AxisLabel1"), "0.4");
    EXPECT_EQ(Label("AxisLabel4"), "1.6");
    EXPECT_TRUE(form_->MenuItemByName("mx2")->IsChecked());
}

TEST_F(GuiStart, SelectorShowsTheTotals) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();
    auto* selector = dynamic_cast<wxChoice*>(form_->ControlWindow(Control::WUComboBox));
    ASSERT_NE(selector, nullptr);
    EXPECT_TRUE(selector->IsEnabled());

    selector->SetSelection(monitor::kTotalItem);
    wxCommandEvent choice(wxEVT_CHOICE, selector->GetId());
    choice.SetInt(monitor::kTotalItem);
    choice.SetEventObject(selector);
    selector->GetEventHandler()->ProcessEvent(choice);
    Pump(300);

    EXPECT_TRUE(Shown("UserPanel"));
    EXPECT_TRUE(Shown("TotalInfoPanel"));
    EXPECT_FALSE(Shown("WUPanel"));
    EXPECT_EQ(Label("UserNameLabel"), "Ann Lovell");
    EXPECT_FALSE(form_->TimerRunning(views::TimerId::Timer1));
    SaveScreenshot("mainform-total-view", form_->GetScreenRect());
}

// Picks an item of the work-unit selector as the user would.
void ChooseSelectorItem(TMainForm* form, int index) {
    auto* selector = dynamic_cast<wxChoice*>(form->ControlWindow(Control::WUComboBox));
    ASSERT_NE(selector, nullptr);
    selector->SetSelection(index);
    wxCommandEvent choice(wxEVT_CHOICE, selector->GetId());
    choice.SetInt(index);
    choice.SetEventObject(selector);
    selector->GetEventHandler()->ProcessEvent(choice);
    Pump(200);
}

TEST_F(GuiStart, ArchivedWorkUnitShowsItsOwnCaptions) {
    dir_.Write("program/lastnum.mon", "wu\r\n1\r\n");
    dir_.Write("program/old/seti1.txt", sample::ResultFile());
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();
    EXPECT_EQ(Label("LeftTimeCaption"), "Estimated time left:");

    ChooseSelectorItem(form_, 2);
    EXPECT_EQ(Label("LeftTimeCaption"), "File Date:");
    EXPECT_EQ(Label("TotalTimeCaption"), "Total time:");
    SaveScreenshot("mainform-archived-view", form_->GetScreenRect());

    ChooseSelectorItem(form_, monitor::kCurrentItem);
    EXPECT_EQ(Label("LeftTimeCaption"), "Estimated time left:");
    EXPECT_EQ(Label("TotalTimeCaption"), "Estimated total time:");
}

TEST_F(GuiStart, TotalsDrawEveryArchivedWorkUnitsSignals) {
    // Three archived work units with signals of every kind over the drift
    // rates; the live one has none yet.
    dir_.Write("program/lastnum.mon", "wu3\r\n3\r\n");
    for (int unit = 1; unit <= 3; ++unit) {
        std::string lines;
        for (int i = 0; i < 24; ++i) {
            const double chirp = -45.0 + ((i * 37 + unit * 11) % 90);
            sample::SpikeSignal spike;
            spike.power = 20.0 + (i * 13 + unit * 7) % 60;
            spike.chirpRate = chirp;
            lines += sample::SpikeLine(spike);
            if (i % 3 == 0) {
                sample::GaussianSignal gaussian;
                gaussian.peak = 2.0 + (i % 5) * 0.4;
                gaussian.chirpRate = chirp / 2;
                lines += sample::GaussianLine(gaussian);
            }
            if (i % 4 == 1) {
                sample::TripletSignal triplet;
                triplet.power = 9.0 + i % 7;
                triplet.chirpRate = -chirp / 3;
                lines += sample::TripletLine(triplet);
            }
            if (i % 5 == 2) {
                sample::PulseSignal pulse;
                pulse.snr = 16.5 + (i % 4) * 0.6;
                pulse.chirpRate = chirp / 4;
                lines += sample::PulseLine(pulse);
            }
        }
        sample::WorkUnitFields header;
        header.name = "wu" + std::to_string(unit);
        dir_.Write("program/old/seti" + std::to_string(unit) + ".txt",
                   sample::ResultFile(header, {}, lines));
    }
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();

    ChooseSelectorItem(form_, monitor::kTotalItem);

    EXPECT_TRUE(Shown("TotalInfoPanel"));
    EXPECT_FALSE(Shown("NoSignalsLabel"));
    EXPECT_NE(Label("BestPeakLabel"), "none");
    EXPECT_NE(Label("BestGaussianLabel"), "none");
    SaveScreenshot("mainform-totals-archive", form_->GetScreenRect());
}

// On GTK a window without a client area of its own (m_wxwindow) puts its
// cursor on its parent's: the hand would show over the whole window. Every
// control is a native window of its own on the other ports.
bool HasOwnNativeWindow([[maybe_unused]] const wxWindow* window) {
#ifdef __WXGTK__
    return window->m_wxwindow != nullptr;
#else
    return true;
#endif
}

TEST_F(GuiStart, HandCursorOnlyOverTheBestSignalCaptions) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();
    Pump(100);
    wxWindow* root = wxWindow::FindWindowByName("Root", form_);
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(root->GetCursor().IsOk()) << "the panel behind keeps the default cursor";
    for (const Control c :
         {Control::Label14, Control::Label15, Control::Label17, Control::Label18}) {
        wxWindow* caption = form_->ControlWindow(c);
        ASSERT_NE(caption, nullptr);
        EXPECT_TRUE(caption->GetCursor().IsOk());
        EXPECT_TRUE(HasOwnNativeWindow(caption)) << views::ControlName(c);
    }
    EXPECT_EQ(Label("Label15"), "Best Gaussian:");
    SaveScreenshot("mainform-captions", form_->GetScreenRect());
}

TEST_F(GuiStart, StartInTrayWithoutANotificationAreaShowsTheWindow) {
    if (wxTaskBarIcon::IsAvailable()) GTEST_SKIP() << "this display has a notification area";
    clientDir_ = dir_.Path("client/");
    sample::WriteSampleClientDir(clientDir_);
    history::TSettingsRec values;
    values.ClientPath = clientDir_;
    values.StartInTray = true;
    dir_.Write("program/Skyvane.set", history::EncodeSettingsRecord(values));

    form_ = new TMainForm(native_->services());
    EXPECT_EQ(form_->Start({}), StartupResult::Hidden);
    Pump(100);

    // Minimised where a window manager is there to do it; reachable anyway.
    EXPECT_TRUE(form_->IsShown());
}

TEST_F(GuiStart, ControlsSitAtTheirDesignPlaces) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();
    Pump(300);

    EXPECT_EQ(DesignRect(form_, "WUPanel"), wxRect(6, 2, 565, 45));
    EXPECT_EQ(DesignRect(form_, "UserPanel"), wxRect(6, 2, 565, 45));
    EXPECT_EQ(DesignRect(form_, "ProgressPanel"), wxRect(2, 390, 418, 67));
    EXPECT_EQ(DesignRect(form_, "TotalInfoPanel"), wxRect(10, 395, 410, 56));
    EXPECT_EQ(DesignRect(form_, "Image"), wxRect(41, 97, 524, 247));
    // A 3.03 client's work unit: the ±50 Hz/s view with inner gauges of ±20.
    EXPECT_EQ(DesignRect(form_, "GaugeN2"), wxRect(47, 339, 149, 7));
    EXPECT_EQ(DesignRect(form_, "GaugeN1"), wxRect(195, 339, 99, 35));
    EXPECT_EQ(DesignRect(form_, "GaugeP1"), wxRect(293, 339, 99, 35));
    EXPECT_EQ(DesignRect(form_, "GaugeP2"), wxRect(391, 339, 149, 7));
    // The zoom button brings back the design's ±10 Hz/s bar.
    wxCommandEvent zoom(wxEVT_BUTTON, form_->ControlWindow(Control::ZoomBtn)->GetId());
    zoom.SetEventObject(form_->ControlWindow(Control::ZoomBtn));
    form_->ControlWindow(Control::ZoomBtn)->GetEventHandler()->ProcessEvent(zoom);
    EXPECT_EQ(DesignRect(form_, "GaugeN2"), wxRect(47, 339, 124, 14));
    EXPECT_EQ(DesignRect(form_, "GaugeN1"), wxRect(170, 339, 124, 35));
    EXPECT_EQ(DesignRect(form_, "GaugeP1"), wxRect(293, 339, 124, 35));
    EXPECT_EQ(DesignRect(form_, "GaugeP2"), wxRect(416, 339, 124, 14));
    EXPECT_EQ(DesignRect(form_, "ZoomBtn").GetSize(), wxSize(24, 25));
    EXPECT_EQ(DesignRect(form_, "Label14").GetPosition(), wxPoint(10, 53));
    EXPECT_EQ(DesignRect(form_, "Label15").GetPosition(), wxPoint(257, 53));
    EXPECT_EQ(DesignRect(form_, "Label17").GetPosition(), wxPoint(10, 72));
    EXPECT_EQ(DesignRect(form_, "Label18").GetPosition(), wxPoint(257, 72));
    EXPECT_EQ(DesignRect(form_, "BestPeakLabel").GetPosition(), wxPoint(108, 53));
    EXPECT_EQ(DesignRect(form_, "BestGaussianLabel").GetPosition(), wxPoint(353, 53));
    EXPECT_EQ(DesignRect(form_, "BestTripletLabel").GetPosition(), wxPoint(108, 72));
    EXPECT_EQ(DesignRect(form_, "BestPulseLabel").GetPosition(), wxPoint(353, 72));
    EXPECT_EQ(DesignRect(form_, "SAHVerLabel").GetPosition(), wxPoint(10, 374));
    EXPECT_EQ(DesignRect(form_, "Label16").GetPosition(), wxPoint(443, 395));
    EXPECT_EQ(DesignRect(form_, "WUComboBox").GetPosition(), wxPoint(443, 415));
    // The axis labels end where the graph begins.
    EXPECT_EQ(DesignRect(form_, "AxisLabel2").GetRight() + 1, 41);
    // Captions and values of a row do not overlap.
    for (const auto& [caption, value] : {std::pair{"DateCaption", "DateLabel"},
                                         {"BaseFreqCaption", "BaseFreqLabel"},
                                         {"Label14", "BestPeakLabel"},
                                         {"Label15", "BestGaussianLabel"},
                                         {"LeftTimeCaption", "LeftTimeLabel"},
                                         {"TotalTimeCaption", "TotalTimeLabel"},
                                         {"TotalWUCaption", "TotalWULabel"},
                                         {"RecordedWUCaption", "RecordedWULabel"}}) {
        EXPECT_FALSE(DesignRect(form_, caption).Intersects(DesignRect(form_, value)))
            << caption << " " << DesignRect(form_, caption).x << "+"
            << DesignRect(form_, caption).width << " runs into " << value << " at "
            << DesignRect(form_, value).x;
    }
}

TEST_F(GuiStart, MenusOfferOnlyWhatWorks) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());

    // "E&xit", "&Settings...", the cache's items and the graph's menus work
    for (const char* name : {"Exit2", "WUCache1", "mHalf", "MNormal", "mx16", "ShowSpikesMenu",
                             "ShowPulsesMenu", "LinesMenu", "DotsMenu", "MenuTotalAll",
                             "MenuTotalIgnore", "Skyvanesite1", "SETIhomesite1", "About1"})
        EXPECT_TRUE(form_->MenuItemByName(name)->IsEnabled()) << name;
    EXPECT_TRUE(form_->MenuItemByName("Settings1")->IsEnabled());
    // the logic cannot switch on a command that has no handler
    form_->SetEnabled(Control::Settings1, true);
    EXPECT_FALSE(form_->MenuItemByName("Settings1")->IsEnabled());
    // check marks and shortcuts as designed
    EXPECT_TRUE(form_->MenuItemByName("MNormal")->IsChecked());
    EXPECT_FALSE(form_->MenuItemByName("mx2")->IsChecked());
    EXPECT_TRUE(form_->MenuItemByName("ShowPulsesMenu")->IsChecked());
    EXPECT_TRUE(form_->MenuItemByName("LinesMenu")->IsChecked());
    EXPECT_FALSE(form_->MenuItemByName("MenuTotalIgnore")->IsChecked());
    EXPECT_EQ(form_->MenuItemByName("ShowSpikesMenu")->GetItemLabel(), "&Spikes\tCtrl+S");
    EXPECT_EQ(form_->MenuItemByName("mx16")->GetItemLabelText(), "X16");

    // ConnectMenu is hidden at start and comes back at its place
    wxMenu* file = form_->GetMenuBar()->GetMenu(0);
    EXPECT_FALSE(form_->MenuItemShown("ConnectMenu"));
    EXPECT_EQ(file->GetMenuItemCount(), 3u);
    form_->SetVisible(Control::ConnectMenu, true);
    ASSERT_EQ(file->GetMenuItemCount(), 4u);
    EXPECT_EQ(file->FindItemByPosition(1), form_->MenuItemByName("ConnectMenu"));
    EXPECT_TRUE(form_->MenuItemByName("ConnectMenu")->IsEnabled());
    form_->SetVisible(Control::ConnectMenu, false);
    EXPECT_EQ(file->GetMenuItemCount(), 3u);
    EXPECT_FALSE(form_->MenuItemShown("Vuvu2Dorsite1"));
}

TEST_F(GuiStart, ViewCallsReachTheWidgets) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());

    form_->SetText(Control::UserNameLabel, "Tom & Jerry");
    EXPECT_EQ(Label("UserNameLabel"), "Tom & Jerry");
    // a value label keeps its width whatever it shows
    const int width = form_->ControlWindow(Control::BestGaussianLabel)->GetSize().x;
    form_->SetText(Control::BestGaussianLabel, "The telescope is moving too slowly.");
    EXPECT_EQ(form_->ControlWindow(Control::BestGaussianLabel)->GetSize().x, width);

    form_->SetTimer(views::TimerId::Timer4, true);
    EXPECT_TRUE(form_->TimerRunning(views::TimerId::Timer4));
    form_->SetTimer(views::TimerId::Timer1, false);
    EXPECT_FALSE(form_->TimerRunning(views::TimerId::Timer1));
    form_->SetTimer(views::TimerId::Timer4, false);
    EXPECT_FALSE(form_->TimerRunning(views::TimerId::Timer4));

    form_->SetVisible(Control::UserPanel, true);
    form_->SetVisible(Control::WUPanel, false);
    EXPECT_TRUE(Shown("UserPanel"));
    EXPECT_FALSE(Shown("WUPanel"));

    form_->SetPosition(Control::ProgressBar, 75);
    EXPECT_EQ(dynamic_cast<wxGauge*>(form_->ControlWindow(Control::ProgressBar))->GetValue(), 75);
}

TEST_F(GuiStart, TotalsViewFitsTheSamePlaces) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());

    // The panels and notices the selector's other views show, with long
    // texts where a user's figures can be long.
    for (Control c :
         {Control::UserPanel, Control::TotalInfoPanel, Control::NoSignalsLabel, Control::ZoomBtn})
        form_->SetVisible(c, true);
    for (Control c : {Control::WUPanel, Control::ProgressPanel})
        form_->SetVisible(c, false);
    form_->SetText(Control::EMailLabel, "a.very.long.address.of.someone@subdomain.example.org");
    form_->SetText(Control::BestGaussianLabel, "score:12.34, power:123.45, fit:12.34");
    form_->SetText(Control::BestPulseLabel, "The telescope is moving too slowly.");
    form_->SetText(Control::AxisLabel1, "0.2");
    form_->SetText(Control::AxisLabel4, "0.8");
    form_->Show();
    Pump(500);

    EXPECT_TRUE(Shown("UserPanel"));
    EXPECT_TRUE(Shown("TotalInfoPanel"));
    EXPECT_TRUE(Shown("NoSignalsLabel"));
    SaveScreenshot("mainform-totals", form_->GetScreenRect());
}

TEST_F(GuiStart, MinimisedWindowCarriesTheApplicationTitle) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());

    // Without a window manager nothing minimises for real: the iconize events
    // are what the window would receive.
    wxIconizeEvent minimise(form_->GetId(), true);
    minimise.SetEventObject(form_);
    form_->GetEventHandler()->ProcessEvent(minimise);
    EXPECT_EQ(form_->GetTitle(), "Skyvane 21.32%");
    EXPECT_EQ(wxTheApp->GetAppDisplayName(), "Skyvane 21.32%");

    wxIconizeEvent restore(form_->GetId(), false);
    restore.SetEventObject(form_);
    form_->GetEventHandler()->ProcessEvent(restore);
    EXPECT_EQ(form_->GetTitle(), "Skyvane");
    EXPECT_EQ(wxTheApp->GetAppDisplayName(), "Skyvane");
}

TEST_F(GuiStart, CloseButtonKeepsTheWindowAlive) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();
    Pump(100);

    // WHEN the user presses the close button
    EXPECT_FALSE(form_->Close());
    Pump(100);

    // THEN the window lives on in the tray (or minimised where there is none)
    EXPECT_TRUE(form_->TrayIconShown());
    EXPECT_FALSE(form_->IsBeingDeleted());
    form_->Show1Click();
    EXPECT_FALSE(form_->TrayIconShown());
    EXPECT_TRUE(form_->IsShown());
}

TEST_F(GuiStart, ExitEndsTheWindow) {
    ASSERT_NO_FATAL_FAILURE(StartOnSampleClient());
    form_->Show();
    Pump(100);

    // WHEN the user chooses "E&xit"
    wxCommandEvent exit(wxEVT_MENU, form_->MenuItemByName("Exit2")->GetId());
    exit.SetEventObject(form_);
    form_->GetEventHandler()->ProcessEvent(exit);
    Pump(100);

    // THEN the window is gone, and with it the last top-level window
    EXPECT_EQ(wxWindow::FindWindowByName("TMainForm"), nullptr);
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
    form_ = nullptr;
}

TEST_F(GuiStart, CancelInTheClientPathDialogEndsStartUp) {
    // GIVEN a registered client directory without any of the client's files
    dir_.MakeDir("empty");
    RegisterClientDir(dir_.Path("empty/"));
    int pathDialogs = 0;
    wxTimer cancel;
    DialogWatch watch([&](wxDialog* dialog) {
        if (dialog->GetName() != "TPathForm") {
            ADD_FAILURE() << "unexpected dialog: " << wxcommon::ToUtf8(dialog->GetTitle());
            return static_cast<int>(wxID_OK);
        }
        ++pathDialogs;
        // Once it is on screen: a picture of it, then Cancel.
        cancel.Bind(wxEVT_TIMER, [dialog](wxTimerEvent&) {
            SaveScreenshot("pathform", dialog->GetScreenRect());
            EXPECT_EQ(wxcommon::ToUtf8(dialog->GetTitle()), "SETI@home client not found");
            auto* BitBtn2 = dynamic_cast<wxButton*>(wxWindow::FindWindowByName("BitBtn2", dialog));
            ASSERT_NE(BitBtn2, nullptr);
            EXPECT_EQ(BitBtn2->GetLabel(), "Cancel");
            wxCommandEvent click(wxEVT_BUTTON, BitBtn2->GetId());
            click.SetEventObject(BitBtn2);
            BitBtn2->GetEventHandler()->ProcessEvent(click);
        });
        cancel.StartOnce(500);
        return static_cast<int>(wxID_NONE);
    });

    // WHEN Skyvane starts and the user cancels the client-path dialog
    form_ = new TMainForm(native_->services());
    const StartupResult result = form_->Start({});

    // THEN start-up ends without a window
    EXPECT_EQ(pathDialogs, 1);
    EXPECT_EQ(result, StartupResult::Terminate);
    EXPECT_FALSE(form_->IsShown());
    EXPECT_FALSE(dir_.Exists("program/lastnum.mon"));
}

void Click(wxWindow* parent, const char* name);

TEST_F(GuiStart, SettingsDialogFromTheMenuWritesTheStartUpValues) {
    // GIVEN Skyvane on a client directory with the windowed client in it
    clientDir_ = dir_.Path("client/");
    sample::WriteSampleClientDir(clientDir_);
    dir_.Write("client/SETI@home.exe", "program");
    std::filesystem::permissions(dir_.Path("client/SETI@home.exe"),
                                 std::filesystem::perms::owner_all);
    RegisterClientDir(clientDir_);
    form_ = new TMainForm(native_->services());
    ASSERT_EQ(form_->Start({}), StartupResult::ShowWindow);
    form_->Show();
    Pump(200);

    int dialogs = 0;
    wxTimer act;
    DialogWatch watch([&](wxDialog* dialog) {
        ++dialogs;
        EXPECT_EQ(dialog->GetName(), "TSetForm");
        act.Bind(wxEVT_TIMER, [dialog](wxTimerEvent&) {
            EXPECT_EQ(wxcommon::ToUtf8(dialog->GetTitle()), "Skyvane Settings");
            auto* RadioGroup1 =
                dynamic_cast<wxRadioBox*>(wxWindow::FindWindowByName("RadioGroup1", dialog));
            ASSERT_NE(RadioGroup1, nullptr);
            // A windowed client cannot be started hidden.
            EXPECT_EQ(RadioGroup1->GetCount(), 3u);
            EXPECT_EQ(RadioGroup1->GetSelection(), 0);
            auto* CheckBox5 =
                dynamic_cast<wxCheckBox*>(wxWindow::FindWindowByName("CheckBox5", dialog));
            ASSERT_NE(CheckBox5, nullptr);
            EXPECT_EQ(CheckBox5->GetLabelText(), "Alert on interesting signals & errors");
            // WHEN the user chooses "only after power failures", ticks "Run
            // Skyvane on startup" and presses OK
            RadioGroup1->SetSelection(1);
            dynamic_cast<wxCheckBox*>(wxWindow::FindWindowByName("CheckBox1", dialog))
                ->SetValue(true);
            Pump(100);
            SaveScreenshot("setform", dialog->GetScreenRect());
            Click(dialog, "BitBtn1");
        });
        act.StartOnce(500);
        return static_cast<int>(wxID_NONE);
    });
    wxCommandEvent open(wxEVT_MENU, form_->MenuItemByName("Settings1")->GetId());
    form_->GetEventHandler()->ProcessEvent(open);

    // THEN the start-up values are there and the choice is saved
    EXPECT_EQ(dialogs, 1);
    auto& startup = native_->services().startup;
    const std::string self = native_->services().environment.ExecutablePath();
    EXPECT_EQ(startup.Read("Run", "Skyvane"), self);
    EXPECT_EQ(startup.Read("RunServicesOnce", "SkyvaneBak"), self + " failure");
#ifdef __WXGTK__
    // The fixture's client directory is written with '/', which Windows
    // paths join with '\\'; and only the Linux backend keeps the values as
    // autostart entries. The Windows contract tests cover the registry side.
    EXPECT_EQ(startup.Read("RunServicesOnce", "SAHBak"), clientDir_ + "SETI@home.exe -min");
    EXPECT_TRUE(dir_.Exists("config/autostart/skyvane.desktop"));
#endif
    EXPECT_TRUE(history::DecodeSettingsRecord(dir_.Read("program/Skyvane.set")).PowerFailureOnly);
}

// Runs `action` on the dialog once its modal loop runs, and returns what
// ShowModal() returned.
int RunModal(wxDialog& dialog, std::function<void(wxDialog&)> action) {
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { action(dialog); });
    timer.StartOnce(200);
    return dialog.ShowModal();
}

void Click(wxWindow* parent, const char* name) {
    auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowByName(name, parent));
    ASSERT_NE(button, nullptr) << name;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

TEST_F(GuiStart, CacheDialogFromTheMenuSavesTheBatch) {
    // GIVEN Skyvane on a client directory with a text client in it, and a
    // desktop of the test's own for the client's shortcut
    testsupport::TempDir home;
    testsupport::ShellFolders folders(home);
    testsupport::ScopedEnv registryEnv("SKYVANE_REGISTRY_DIR", dir_.Path("registry"));
    clientDir_ = dir_.Path("client/");
    sample::WriteSampleClientDir(clientDir_);
    const std::string exe = testsupport::kTextExe;
    dir_.Write("client/" + exe, "program");
    std::filesystem::permissions(dir_.Path("client/" + exe), std::filesystem::perms::owner_all);
    dir_.Write("program/cache/done.rsl", "result");
    RegisterClientDir(clientDir_);
    form_ = new TMainForm(native_->services());
    ASSERT_EQ(form_->Start({}), StartupResult::ShowWindow);
    form_->Show();
    Pump(200);
    EXPECT_EQ(Label("CacheStateLabel"), "Cache state: 2/2");

    int dialogs = 0;
    wxTimer act;
    std::vector<std::string> boxes;
    DialogWatch watch([&](wxDialog* dialog) {
        // The box that tells of the shortcut, answered at once.
        if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
            boxes.push_back(wxcommon::ToUtf8(box->GetMessage()));
            return static_cast<int>(wxID_OK);
        }
        ++dialogs;
        EXPECT_EQ(dialog->GetName(), "TCacheForm");
        act.Bind(wxEVT_TIMER, [dialog](wxTimerEvent&) {
            EXPECT_EQ(wxcommon::ToUtf8(dialog->GetTitle()), "Work Unit Cache");
            const auto find = [dialog](const char* name) {
                wxWindow* w = wxWindow::FindWindowByName(name, dialog);
                EXPECT_NE(w, nullptr) << name;
                return w;
            };
            EXPECT_EQ(wxcommon::ToUtf8(find("Label5")->GetLabel()), "2");
            EXPECT_EQ(wxcommon::ToUtf8(find("Label6")->GetLabel()), "1");
            EXPECT_EQ(wxcommon::ToUtf8(find("Label7")->GetLabel()), "1");
            auto* SpinEdit1 = dynamic_cast<wxSpinCtrl*>(find("SpinEdit1"));
            ASSERT_NE(SpinEdit1, nullptr);
            EXPECT_EQ(SpinEdit1->GetValue(), 5);
            EXPECT_FALSE(SpinEdit1->IsEnabled());
            // A text client may get extra parameters.
            EXPECT_TRUE(find("CheckBox2")->IsShown());
            EXPECT_FALSE(find("Edit1")->IsShown());
            // WHEN the user switches the cache on, asks for 3 work units,
            // connects automatically, adds a parameter and presses OK
            auto* CheckBox1 = dynamic_cast<wxCheckBox*>(find("CheckBox1"));
            CheckBox1->SetValue(true);
            wxCommandEvent tick(wxEVT_CHECKBOX, CheckBox1->GetId());
            tick.SetInt(1);
            CheckBox1->GetEventHandler()->ProcessEvent(tick);
            EXPECT_TRUE(SpinEdit1->IsEnabled());
            SpinEdit1->SetValue(3);
            dynamic_cast<wxRadioBox*>(find("RadioGroup1"))->SetSelection(1);
            auto* CheckBox2 = dynamic_cast<wxCheckBox*>(find("CheckBox2"));
            CheckBox2->SetValue(true);
            wxCommandEvent tick2(wxEVT_CHECKBOX, CheckBox2->GetId());
            tick2.SetInt(1);
            CheckBox2->GetEventHandler()->ProcessEvent(tick2);
            EXPECT_TRUE(find("Edit1")->IsShown());
            dynamic_cast<wxTextCtrl*>(find("Edit1"))->ChangeValue("-proxy host:8080");
            Pump(100);
            SaveScreenshot("cacheform", dialog->GetScreenRect());
            Click(dialog, "BitBtn1");
        });
        act.StartOnce(500);
        return static_cast<int>(wxID_NONE);
    });
    wxCommandEvent open(wxEVT_MENU, form_->MenuItemByName("WUCache1")->GetId());
    form_->GetEventHandler()->ProcessEvent(open);

    // THEN the settings hold the batch
    EXPECT_EQ(dialogs, 1);
    const auto saved = history::DecodeSettingsRecord(dir_.Read("program/Skyvane.set"));
    EXPECT_EQ(saved.CacheSize, 3);
    EXPECT_TRUE(saved.AutoConnect);
    EXPECT_EQ(saved.ClientParams, "-proxy host:8080");
#ifndef _WIN32
    // AND the text client has its shortcut on the test's desktop
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], cache::msg::kShortcutCreated);
    auto& shell = native_->services().shell;
    EXPECT_TRUE(std::filesystem::exists(
        shell.ShortcutFile(shell.ShellFolder("Desktop"), "SETI@home", false)));
#endif
}

// The progress window of a transfer: open until the client has done its
// part, or until Cancel.
TEST(CacheInfoForm, ClosesWhenTheAwaitedFileAppearsOrOnCancel) {
    testsupport::TempDir dir;
    platform::NativePlatform native;
    auto services = native.services();
    int cancels = 0;
    cache::CacheInfoForm logic(services.files, services.clock, "Receiving Work Units", {2, 3, 1},
                               {dir.Path("work_unit.sah"), true, dir.Path()}, [&] { ++cancels; });
    cache::TCacheInfoForm form(nullptr, logic);
    EXPECT_EQ(wxcommon::ToUtf8(form.GetTitle()), "Receiving Work Units");
    const auto label = [&](const char* name) {
        return wxcommon::ToUtf8(wxWindow::FindWindowByName(name, &form)->GetLabel());
    };
    EXPECT_EQ(label("OldWULabel"), "2");
    EXPECT_EQ(label("ToReceiveWULabel"), "3");
    EXPECT_EQ(label("ReceivedWULabel"), "1");
    wxTimer client;
    client.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        SaveScreenshot("cacheinfoform", form.GetScreenRect());
        dir.Write("work_unit.sah", "type=work unit\n");
    });
    client.StartOnce(700);
    form.Run();
    EXPECT_TRUE(logic.TransferDone());
    EXPECT_EQ(cancels, 0);

    cache::CacheInfoForm waiting(services.files, services.clock, "Sending Results", {1, 1, 0},
                                 {dir.Path("result.sah"), false, dir.Path()}, [&] { ++cancels; });
    dir.Write("result.sah", "r");
    cache::TCacheInfoForm second(nullptr, waiting);
    wxTimer user;
    user.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { Click(&second, "BitBtn1"); });
    user.StartOnce(700);
    second.Run();
    EXPECT_FALSE(waiting.TransferDone());
    EXPECT_EQ(cancels, 1);
}

TEST(PathForm, OkGivesThePathAsTyped) {
    RecordingShell shell;
    setup::TPathForm form(nullptr, shell);
    const int result = RunModal(form, [](wxDialog& dialog) {
        auto* Edit1 = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("Edit1", &dialog));
        ASSERT_NE(Edit1, nullptr);
        Edit1->ChangeValue("/opt/seti");
        Click(&dialog, "BitBtn1");
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(form.Path(), "/opt/seti");
}

TEST(PathForm, EscapeCancels) {
    RecordingShell shell;
    setup::TPathForm form(nullptr, shell);
    const int result = RunModal(form, [](wxDialog& dialog) {
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(&dialog);
        dialog.GetEventHandler()->ProcessEvent(escape);
    });
    EXPECT_EQ(result, wxID_CANCEL);
}

TEST(PathForm, SiteLinkOpensTheProjectsSite) {
    RecordingShell shell;
    setup::TPathForm form(nullptr, shell);
    wxWindow* Label3 = wxWindow::FindWindowByName("Label3", &form);
    ASSERT_NE(Label3, nullptr);
    EXPECT_EQ(Label3->GetForegroundColour(), wxColour(0, 0, 255));
    wxMouseEvent click(wxEVT_LEFT_UP);
    click.SetEventObject(Label3);
    Label3->GetEventHandler()->ProcessEvent(click);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], setup::kSetiAtHomeSite);
}

TEST(WxDialogs, ErrorBoxHasOneOkButtonAndTheProductsCaption) {
    RecordingShell shell;
    wxcommon::WxDialogs dialogs(nullptr, shell);
    int boxes = 0;
    DialogWatch watch([&](wxDialog* dialog) {
        ++boxes;
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        EXPECT_NE(box, nullptr);
        if (box != nullptr) {
            EXPECT_EQ(box->GetTitle(), "Skyvane");
            EXPECT_EQ(wxcommon::ToUtf8(box->GetMessage()), "Error accessing the registry.");
            EXPECT_TRUE(box->GetMessageDialogStyle() & wxICON_ERROR);
            EXPECT_EQ(box->GetMessageDialogStyle() & (wxCANCEL | wxYES_NO), 0);
        }
        return static_cast<int>(wxID_OK);
    });
    dialogs.ShowError("Error accessing the registry.");
    EXPECT_EQ(boxes, 1);
}

TEST(DirectoryOfChosenFile, KeepsTheSeparatorOnlyForARoot) {
    EXPECT_EQ(setup::DirectoryOfChosenFile("/opt/seti/setiathome"), "/opt/seti");
    EXPECT_EQ(setup::DirectoryOfChosenFile("/setiathome"), "/");
    EXPECT_EQ(setup::DirectoryOfChosenFile("C:\\Program Files\\SETI\\seti.exe"),
              "C:\\Program Files\\SETI");
    EXPECT_EQ(setup::DirectoryOfChosenFile("C:\\seti.exe"), "C:\\");
    EXPECT_EQ(setup::DirectoryOfChosenFile("D:/seti/seti.exe"), "D:/seti");
    EXPECT_EQ(setup::DirectoryOfChosenFile("\\seti.exe"), "\\");
    EXPECT_EQ(setup::DirectoryOfChosenFile("/opt//seti"), "/opt");
    EXPECT_EQ(setup::DirectoryOfChosenFile("seti.exe"), "");
}

}  // namespace

// Leaks inside the desktop's own libraries (font configuration, D-Bus, GLib
// caches held until exit) are not ours to fix; the leak checker of sanitized
// builds skips them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libcairo.so\n"
           "leak:libfreetype.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WxEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
