// Start-up of the main window's logic on real temp directories: finding the
// client directory, the archive counter, the first readings, and the
// single-instance rule.

#include <gtest/gtest.h>

#include <filesystem>

#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using testsupport::RecordingView;
using testsupport::ScopedEnv;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;
using views::Control;

namespace {

constexpr const char* kUserInfo =
    "id=42\n"
    "key=1234\n"
    "email_addr=ada@example.org\n"
    "name=Ada\n"
    "url=\n"
    "country=Norway\n"
    "postal_code=0150\n"
    "show_name=yes\n"
    "show_email=no\n"
    "register_time=2451234.5 (Fri Feb 26 12:00:00 1999)\n"
    "last_wu_time=2451800.5 (Thu Sep 14 12:00:00 2000)\n"
    "last_result_time=2451801.5 (Fri Sep 15 12:00:00 2000)\n"
    "nwus=12\n"
    "nresults=10\n"
    "total_cpu=36000.5\n";

constexpr const char* kWorkUnit =
    "type=work unit\n"
    "name=09ja99ab.1234.5678.90.123\n"
    "start_ra=7.4\n"
    "start_dec=21.2\n"
    "end_ra=7.6\n"
    "end_dec=21.3\n"
    "angle_range=0.4\n"
    "time_recorded= 2451189.5 (Sat Jan 09 12:00:00 1999)\n"
    "subband_center=1418750000\n"
    "subband_base=1418741455\n"
    "subband_sample_rate=9765.625\n"
    "fft_len=2048\n"
    "ifft_len=8\n"
    "subband_number=7\n"
    "receiver=ao1420\n"
    "nsamples=1048576\n"
    "tape_version=4.0\n"
    "num_positions=1\n"
    "coord0=2451189.5 7.4 21.2\n"
    "end_seti_header\n";

// One Skyvane installation and one client directory, each in its own temp
// directory, with the registry and window records kept inside the test.
class StartupTest : public ::testing::Test {
protected:
    StartupTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {}

    void WriteClient(std::string_view ext = ".sah") {
        client_.Write("version.sah", "major_version=3\nminor_version=3\n");
        client_.Write("user_info" + std::string(ext), kUserInfo);
        client_.Write("work_unit" + std::string(ext), kWorkUnit);
        client_.Write("state" + std::string(ext),
                      "ncfft=1\ncr=0.0\ncpu=10.5\nprog=0.01\nbs_power=0\nbg_power=0\n"
                      "bg_true_mean=0\nbg_chisq=0\n");
    }

    void RegisterClientDir(const std::string& dir) {
        auto key = native_.services().registry.OpenKey(
            platform::RegRoot::CurrentUser, "Software\\SETI@home\\", platform::RegAccess::Write);
        ASSERT_TRUE(key);
        ASSERT_TRUE(key->WriteString("ClientDir", dir));
    }

    monitor::StartupResult Start(std::vector<std::string> args = {}) {
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
        return monitor_->FormCreate({std::move(args), false});
    }

    TempDir program_;
    TempDir client_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    // Start-up values (autostart entries on Linux) stay inside the test.
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", program_.Path("config")};
    platform::NativePlatform native_;
    RecordingView view_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<monitor::Monitor> monitor_;
};

TEST_F(StartupTest, FindsClientThroughRegistryAndShowsItsFiles) {
    // GIVEN a client registered without a trailing separator
    WriteClient();
    std::string dir = client_.Path();
    dir.pop_back();
    RegisterClientDir(dir);

    // WHEN Skyvane starts for the first time
    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    // THEN the client is used with a separator appended, nobody was asked,
    // and the window shows the header, the version and the user's figures
    EXPECT_EQ(monitor_->ClientPath(), client_.Path());
    EXPECT_EQ(monitor_->ClientFileExt(), ".sah");
    EXPECT_EQ(dialogs_.clientPathAsked, 0);
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(view_.windowTitle, "Skyvane");
    EXPECT_EQ(view_.Text(Control::DateLabel), "Sat Jan 09 12:00:00 1999");
    EXPECT_EQ(view_.Text(Control::TelescopeLabel), "Arecibo Radio Telescope");
    EXPECT_EQ(view_.Text(Control::BaseFreqLabel), "1.418741455 GHz");
    EXPECT_EQ(view_.Text(Control::SAHVerLabel), "S@H ver. 3.03");
    EXPECT_EQ(view_.Text(Control::UserNameLabel), "Ada");
    EXPECT_EQ(view_.Text(Control::TotalWULabel), "10");
    EXPECT_EQ(view_.Text(Control::RecordedWULabel), "0");
    EXPECT_EQ(monitor_->WorkUnitPath(), client_.Path("work_unit.sah"));
    EXPECT_EQ(monitor_->StatePath(), client_.Path("state.sah"));
    EXPECT_EQ(monitor_->OutfilePath(), client_.Path("outfile.sah"));

    // AND the archive counter and directory were created
    EXPECT_EQ(program_.Read("lastnum.mon"), "\r\n0\r\n");
    EXPECT_TRUE(program_.Exists("old"));
    EXPECT_EQ(view_.selectorItems, (std::vector<std::string>{"current", "total"}));
    EXPECT_EQ(view_.selectorIndex, monitor::kCurrentItem);
}

TEST_F(StartupTest, TextClientFilesEndInTxt) {
    WriteClient(".txt");
    RegisterClientDir(client_.Path());

    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    EXPECT_EQ(monitor_->ClientFileExt(), ".txt");
    EXPECT_EQ(monitor_->WorkUnitPath(), client_.Path("work_unit.txt"));
    EXPECT_EQ(view_.Text(Control::CountryLabel), "Norway");
}

TEST_F(StartupTest, ArchiveCounterFillsTheSelector) {
    WriteClient();
    RegisterClientDir(client_.Path());
    program_.Write("lastnum.mon", "\r\n3\r\n");

    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    EXPECT_EQ(view_.selectorItems,
              (std::vector<std::string>{"current", "total", "1", "2", "3"}));
    EXPECT_EQ(view_.Text(Control::RecordedWULabel), "3");
    EXPECT_EQ(program_.Read("lastnum.mon"), "\r\n3\r\n");
}

TEST_F(StartupTest, DamagedArchiveCounterIsReportedAndKept) {
    // GIVEN a counter whose second line is not a number
    WriteClient();
    RegisterClientDir(client_.Path());
    program_.Write("lastnum.mon", "\r\nthree\r\n");

    // WHEN Skyvane starts
    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    // THEN the user is told, the rest of start-up is skipped, and the file
    // is left exactly as it was
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_NE(dialogs_.errors[0].find("lastnum.mon"), std::string::npos);
    EXPECT_EQ(program_.Read("lastnum.mon"), "\r\nthree\r\n");
    EXPECT_EQ(view_.Text(Control::UserNameLabel), "");
    EXPECT_EQ(view_.Text(Control::DateLabel), "");
}

TEST_F(StartupTest, AsksForTheClientUntilTheDirectoryHoldsItsFiles) {
    // GIVEN no registry value, and a user who first names an empty directory
    WriteClient();
    TempDir empty;
    std::string good = client_.Path();
    good.pop_back();
    dialogs_.clientPathAnswers = {empty.Path(), good};

    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    EXPECT_EQ(dialogs_.clientPathAsked, 2);
    EXPECT_EQ(monitor_->ClientPath(), client_.Path());
    EXPECT_EQ(view_.Text(Control::UserNameLabel), "Ada");
}

TEST_F(StartupTest, CancelInTheClientDialogQuitsWithoutWritingAnything) {
    dialogs_.clientPathAnswers = {std::nullopt};

    EXPECT_EQ(Start(), monitor::StartupResult::Terminate);

    EXPECT_EQ(dialogs_.clientPathAsked, 1);
    EXPECT_FALSE(program_.Exists("lastnum.mon"));
    EXPECT_FALSE(program_.Exists("old"));
}

TEST_F(StartupTest, SecondInstanceWithoutArgumentsEndsSilently) {
    // GIVEN a running Skyvane
    WriteClient();
    RegisterClientDir(client_.Path());
    auto running = native_.services().windows.Announce("TMainForm", "Skyvane");

    // WHEN another starts without arguments, it ends at once, asks nothing
    // and touches nothing
    EXPECT_EQ(Start(), monitor::StartupResult::Terminate);
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(dialogs_.clientPathAsked, 0);
    EXPECT_FALSE(program_.Exists("lastnum.mon"));

    // AND any argument lets it start all the same
    EXPECT_EQ(Start({"first"}), monitor::StartupResult::ShowWindow);
}

TEST_F(StartupTest, FirstInstanceAnnouncesItselfForTheNext) {
    WriteClient();
    RegisterClientDir(client_.Path());
    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    EXPECT_TRUE(native_.services().windows.WindowExists("TMainForm", "Skyvane"));
    monitor_.reset();
    EXPECT_FALSE(native_.services().windows.WindowExists("TMainForm", "Skyvane"));
}

TEST_F(StartupTest, CloseHidesToTheTrayAndExitEnds) {
    WriteClient();
    RegisterClientDir(client_.Path());
    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    monitor_->FormClose();
    EXPECT_TRUE(view_.trayIconShown);
    EXPECT_FALSE(view_.windowShown);
    EXPECT_FALSE(view_.terminated);

    monitor_->Show1Click();
    EXPECT_FALSE(view_.trayIconShown);
    EXPECT_TRUE(view_.windowShown);

    monitor_->Exit1Click();
    EXPECT_TRUE(view_.terminated);
}

TEST_F(StartupTest, MinimisedLiveTitleCarriesThePercentage) {
    WriteClient();
    RegisterClientDir(client_.Path());
    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    monitor_->ApplicationMinimize();
    EXPECT_TRUE(monitor_->Minimized());
    EXPECT_EQ(view_.applicationTitle, "Skyvane 1%");  // prog=0.01

    monitor_->ApplicationRestore();
    EXPECT_FALSE(monitor_->Minimized());
    EXPECT_EQ(view_.applicationTitle, "Skyvane");
}

}  // namespace

namespace {

class SettingsStartupTest : public StartupTest {
protected:
    void WriteSettings(const history::TSettingsRec& values) {
        program_.Write("Skyvane.set", history::EncodeSettingsRecord(values));
    }
    history::TSettingsRec SavedSettings() const {
        return history::DecodeSettingsRecord(program_.Read("Skyvane.set"));
    }
};

TEST_F(SettingsStartupTest, ClientFoundAnewIsRemembered) {
    WriteClient();
    RegisterClientDir(client_.Path());

    ASSERT_EQ(Start({"first"}), monitor::StartupResult::ShowWindow);

    EXPECT_EQ(SavedSettings().ClientPath, client_.Path());
}

TEST_F(SettingsStartupTest, RememberedClientNeedsNoRegistry) {
    WriteClient();
    history::TSettingsRec values;
    values.ClientPath = client_.Path();
    WriteSettings(values);
    const std::string before = program_.Read("Skyvane.set");

    ASSERT_EQ(Start(), monitor::StartupResult::ShowWindow);

    EXPECT_EQ(monitor_->ClientPath(), client_.Path());
    EXPECT_EQ(program_.Read("Skyvane.set"), before) << "nothing new to save";
}

TEST_F(SettingsStartupTest, StartInTrayShowsOnlyTheTrayIconAfterTheFirstPoll) {
    WriteClient();
    history::TSettingsRec values;
    values.ClientPath = client_.Path();
    values.StartInTray = true;
    WriteSettings(values);

    EXPECT_EQ(Start(), monitor::StartupResult::Hidden);

    EXPECT_TRUE(view_.trayIconShown);
    EXPECT_TRUE(view_.TimerOn(views::TimerId::Timer1));
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "1%");
}

TEST_F(SettingsStartupTest, MultipleInstancesAllowsASecondOne) {
    WriteClient();
    history::TSettingsRec values;
    values.ClientPath = client_.Path();
    values.MultipleInstances = true;
    WriteSettings(values);
    auto running = native_.services().windows.Announce("TMainForm", "Skyvane");

    EXPECT_EQ(Start(), monitor::StartupResult::ShowWindow);
}

TEST_F(SettingsStartupTest, ExitSavesTheSettings) {
    WriteClient();
    RegisterClientDir(client_.Path());
    ASSERT_EQ(Start({"first"}), monitor::StartupResult::ShowWindow);
    std::filesystem::remove(program_.Path("Skyvane.set"));

    monitor_->Exit1Click();

    EXPECT_EQ(SavedSettings().ClientPath, client_.Path());
    EXPECT_TRUE(view_.terminated);
}

}  // namespace
