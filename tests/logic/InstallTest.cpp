// Install and uninstall on real temp directories with the real backend: the
// user's home, data and configuration folders, the registry and the program
// directory all live inside the test (tests/support/ShellFolders moves the
// desktop's folders there), so nothing touches the real user's desktop.
// Other copies, processes, the start-up values and the clock are fakes.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "client/ClientControl.h"
#include "client/StartupRegistration.h"
#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "setup/Install.h"
#include "setup/Sites.h"
#include "support/ClientFakes.h"
#include "support/FakeClock.h"
#include "support/RecordingView.h"
#include "support/RunningProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/ShellFolders.h"
#include "support/TempDir.h"

using setup::InstallOutcome;
using setup::UninstallOutcome;
using testsupport::RecordingInstallView;
using testsupport::ScopedEnv;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;
using views::InstallControl;

namespace {

namespace fs = std::filesystem;

const char kSep = platform::PathSeparator();

// One user's machine inside the test: a home with the desktop's folders, a
// registry, Skyvane unpacked in a download folder and run from there.
class InstallTest : public ::testing::Test {
protected:
    InstallTest()
        : folders_(home_),
          programEnv_("SKYVANE_PROGRAM_DIR", home_.Path("download") + kSep),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", home_.Path("runtime")) {
        home_.Write("download" + std::string(1, kSep) + ExeName(), "the program");
        home_.Write("download" + std::string(1, kSep) + CliName(), "the cli");
        native_ = std::make_unique<platform::NativePlatform>();
        program_ = std::make_unique<testsupport::RunningProgram>(native_->services().environment);
        program_->executable = Running();
    }

    static std::string ExeName() {
        return platform::FileNamesIgnoreCase() ? "Skyvane.exe" : "skyvane";
    }
    static std::string CliName() {
        return platform::FileNamesIgnoreCase() ? "skyvane-cli.exe" : "skyvane-cli";
    }
    std::string Download() const { return home_.Path("download") + kSep; }
    std::string Running() const { return Download() + ExeName(); }
    std::string Target() const { return home_.Path("apps") + kSep + "Skyvane" + kSep; }

    platform::Services Services() {
        const platform::Services real = native_->services();
        return platform::Services{real.registry, real.files, windows_, real.shell,
                                  *program_,     processes_, startup_, clock_};
    }

    std::vector<std::string> Launches() const {
        std::vector<std::string> lines;
        for (const auto& launch : processes_.launches)
            lines.push_back(launch.commandLine);
        return lines;
    }

    std::string ShortcutFile(std::string_view folderName, std::string_view subfolder,
                             std::string_view name, bool web) {
        auto& shell = native_->services().shell;
        std::string folder = shell.ShellFolder(folderName);
        if (!subfolder.empty()) folder += std::string(subfolder) + kSep;
        return shell.ShortcutFile(folder, name, web);
    }

    std::optional<std::string> Registry(std::string_view key, std::string_view value) {
        auto opened = native_->services().registry.OpenKey(platform::RegRoot::LocalMachine, key,
                                                           platform::RegAccess::Read);
        if (!opened) return std::nullopt;
        return opened->ReadString(value);
    }

    // The install dialog with `edit` typed into Edit1 and OK pressed.
    InstallOutcome InstallInto(const std::string& edit, RecordingInstallView& view,
                               bool* saved = nullptr) {
        setup::InstallForm form(Services(), dialogs_, [saved] {
            if (saved != nullptr) *saved = true;
        });
        EXPECT_TRUE(form.FormCreate(view));
        view.texts[static_cast<int>(InstallControl::Edit1)] = edit;
        form.BitBtn1Click();
        return form.Outcome();
    }

    TempDir home_;
    testsupport::ShellFolders folders_;
    ScopedEnv programEnv_, runtimeEnv_;
    std::unique_ptr<platform::NativePlatform> native_;
    std::unique_ptr<testsupport::RunningProgram> program_;
    testsupport::FakeWindows windows_;
    testsupport::FakeProcesses processes_;
    testsupport::FakeStartupValues startup_;
    testsupport::FakeClock clock_;
    ScriptedDialogs dialogs_;
};

TEST_F(InstallTest, DialogProposesWhereSkyvaneIsOrWasInstalled) {
    RecordingInstallView view;
    {
        setup::InstallForm form(Services(), dialogs_, nullptr);
        ASSERT_TRUE(form.FormCreate(view));
        EXPECT_EQ(view.Text(InstallControl::Label1), "Install Skyvane 3.42 in");
        EXPECT_EQ(view.Text(InstallControl::Edit1),
                  native_->services().shell.DefaultInstallDirectory());
    }
    // an earlier installation that the registry names
    {
        auto key = native_->services().registry.OpenKey(
            platform::RegRoot::LocalMachine, setup::kAppPathsKey, platform::RegAccess::Write);
        key->WriteString("Path", Target());
        setup::InstallForm form(Services(), dialogs_, nullptr);
        ASSERT_TRUE(form.FormCreate(view));
        EXPECT_EQ(view.Text(InstallControl::Edit1), Target());
    }
    // a copy that keeps its data where it runs wins over the registry
    home_.Write("download" + std::string(1, kSep) + "lastnum.mon", "\n0\n");
    setup::InstallForm form(Services(), dialogs_, nullptr);
    ASSERT_TRUE(form.FormCreate(view));
    EXPECT_EQ(view.Text(InstallControl::Edit1), Download());
}

TEST_F(InstallTest, InstallsElsewhereRegistersAndRestartsFromThere) {
    RecordingInstallView view;
    const InstallOutcome outcome = InstallInto(Target(), view);

    const std::string dir = setup::FoldFileName(Target());
    EXPECT_EQ(outcome, InstallOutcome::Restarted);
    EXPECT_TRUE(view.closed);
    EXPECT_TRUE(fs::exists(Target() + ExeName()));
    EXPECT_TRUE(fs::exists(Target() + CliName()));
    EXPECT_EQ(Registry(setup::kAppPathsKey, "Path"), dir);
    EXPECT_EQ(Registry(setup::kUninstallKey, "DisplayName"), "Skyvane");
    EXPECT_EQ(Registry(setup::kUninstallKey, "UninstallString"), dir + ExeName() + " uninstall");
    EXPECT_TRUE(fs::exists(ShortcutFile("Programs", "", "Skyvane", false)));
    EXPECT_TRUE(fs::exists(ShortcutFile("Desktop", "", "Skyvane", false)));
    EXPECT_TRUE(fs::exists(ShortcutFile("Favorites", "Skyvane", "Skyvane site", true)));
    EXPECT_TRUE(
        fs::exists(ShortcutFile("Favorites", "Skyvane", "Hardware Performance tips", true)));
    EXPECT_EQ(Launches(), std::vector<std::string>{dir + ExeName() + " first"});
    EXPECT_EQ(processes_.launches[0].directory, dir);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(InstallTest, ShortcutsOnlyWhereChecked) {
    RecordingInstallView view;
    view.checked[static_cast<int>(InstallControl::CheckBox2)] = false;
    view.checked[static_cast<int>(InstallControl::CheckBox3)] = false;
    InstallInto(Target(), view);
    EXPECT_TRUE(fs::exists(ShortcutFile("Programs", "", "Skyvane", false)));
    EXPECT_FALSE(fs::exists(ShortcutFile("Desktop", "", "Skyvane", false)));
    EXPECT_FALSE(fs::exists(ShortcutFile("Favorites", "Skyvane", "Skyvane site", true)));
}

TEST_F(InstallTest, OldFavoritesGoButHiddenFilesStay) {
    auto& shell = native_->services().shell;
    const std::string folder = shell.ShellFolder("Favorites") + "Skyvane" + kSep;
    fs::create_directories(folder);
    home_.Write(fs::relative(folder + "Old tips.url", home_.Path()).string(), "old");
    home_.Write(fs::relative(folder + ".hidden", home_.Path()).string(), "mine");
    RecordingInstallView view;
    InstallInto(Target(), view);
    EXPECT_FALSE(fs::exists(folder + "Old tips.url"));
    EXPECT_TRUE(fs::exists(folder + ".hidden"));
}

TEST_F(InstallTest, InstallingWhereItRunsCopiesNothingAndShowsTheWindow) {
    RecordingInstallView view;
    bool saved = false;
    const InstallOutcome outcome = InstallInto(Download(), view, &saved);
    EXPECT_EQ(outcome, InstallOutcome::InstalledHere);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(Launches().empty());
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(Registry(setup::kAppPathsKey, "Path"), setup::FoldFileName(Download()));
}

TEST_F(InstallTest, SameRegisteredDirectoryLeavesTheRegistryAlone) {
    {
        auto& registry = native_->services().registry;
        registry
            .OpenKey(platform::RegRoot::LocalMachine, setup::kAppPathsKey,
                     platform::RegAccess::Write)
            ->WriteString("Path", setup::FoldFileName(Target()));
        registry
            .OpenKey(platform::RegRoot::LocalMachine, setup::kUninstallKey,
                     platform::RegAccess::Write)
            ->WriteString("DisplayName", "Skyvane (kept)");
    }
    RecordingInstallView view;
    InstallInto(Target(), view);
    EXPECT_EQ(Registry(setup::kUninstallKey, "DisplayName"), "Skyvane (kept)");
}

TEST_F(InstallTest, BadDirectoryOrMissingProgramKeepsTheDialogOpen) {
    home_.Write("afile", "x");
    RecordingInstallView view;
    EXPECT_EQ(InstallInto(home_.Path("afile") + kSep + "sub", view), InstallOutcome::Pending);
    EXPECT_FALSE(view.closed);
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(dialogs_.errors[0], "Invalid Directory");

    fs::remove(Running());
    EXPECT_EQ(InstallInto(Target(), view), InstallOutcome::Pending);
    ASSERT_EQ(dialogs_.errors.size(), 2u);
    EXPECT_EQ(dialogs_.errors[1], "Can not copy Skyvane.exe to the specified path.");
    EXPECT_TRUE(Launches().empty());
}

TEST_F(InstallTest, CancelAndCloseBoxEndTheProgram) {
    RecordingInstallView view;
    setup::InstallForm cancelled(Services(), dialogs_, nullptr);
    ASSERT_TRUE(cancelled.FormCreate(view));
    cancelled.BitBtn2Click();
    EXPECT_EQ(cancelled.Outcome(), InstallOutcome::Cancelled);
    setup::InstallForm closed(Services(), dialogs_, nullptr);
    ASSERT_TRUE(closed.FormCreate(view));
    closed.FormClose();
    EXPECT_EQ(closed.Outcome(), InstallOutcome::Cancelled);
    EXPECT_FALSE(fs::exists(Target()));
}

TEST_F(InstallTest, OtherCopiesAreAskedToQuit) {
    // GIVEN another copy that quits only after the second request
    windows_.Add("TMainForm", "Skyvane");
    windows_.windows[0].closesOnQuit = false;
    clock_.onSleep = [this](std::chrono::milliseconds) {
        if (clock_.sleeps.size() == 2) windows_.windows.clear();
    };
    EXPECT_TRUE(setup::CloseOtherInstances(Services(), dialogs_, nullptr));
    EXPECT_EQ(clock_.sleeps, (std::vector<std::chrono::milliseconds>{
                                 std::chrono::milliseconds(400), std::chrono::milliseconds(400)}));
    EXPECT_EQ(windows_.calls, (std::vector<std::string>{"PostQuit Skyvane", "PostQuit Skyvane"}));
    EXPECT_TRUE(dialogs_.warnings.empty());

    // AND one that goes only after the fifth and last request: no warning
    windows_.calls.clear();
    clock_.sleeps.clear();
    windows_.Add("TMainForm", "Skyvane");
    windows_.windows[0].closesOnQuit = false;
    clock_.onSleep = [this](std::chrono::milliseconds) {
        if (clock_.sleeps.size() == 5) windows_.windows.clear();
    };
    EXPECT_TRUE(setup::CloseOtherInstances(Services(), dialogs_, nullptr));
    EXPECT_EQ(windows_.calls.size(), 5u);
    EXPECT_TRUE(dialogs_.warnings.empty());

    // AND one that never does: five requests, a warning, and the install
    // dialog never shows
    clock_.onSleep = nullptr;
    windows_.calls.clear();
    windows_.Add("TMainForm", "Skyvane");
    windows_.windows[0].closesOnQuit = false;
    RecordingInstallView view;
    setup::InstallForm form(Services(), dialogs_, nullptr);
    EXPECT_FALSE(form.FormCreate(view));
    EXPECT_EQ(form.Outcome(), InstallOutcome::OthersRunning);
    EXPECT_EQ(windows_.calls.size(), 5u);
    ASSERT_EQ(dialogs_.warnings.size(), 1u);
    EXPECT_EQ(dialogs_.warnings[0], "Please close other instances of Skyvane in the memory.");
    EXPECT_EQ(view.Text(InstallControl::Label1), "");
}

// Installs into Target(), then runs the uninstaller of the installed copy.
class UninstallTest : public InstallTest {
protected:
    UninstallTest() {
        RecordingInstallView view;
        InstallInto(Target(), view);
        // the installed copy runs from its directory and keeps its data there
        installedEnv_ = std::make_unique<ScopedEnv>("SKYVANE_PROGRAM_DIR", Target());
        home_.Write(Rel(Target() + "lastnum.mon"), "\n2\n");
        home_.Write(Rel(Target() + history::kSettingsFileName), std::string(768, '\0'));
        home_.Write(Rel(Target() + "old" + kSep + "seti1.txt"), "one");
        home_.Write(Rel(Target() + "cache" + kSep + "wu.wu"), "wu");
    }

    std::unique_ptr<ScopedEnv> installedEnv_;

    std::string Rel(const std::string& path) const {
        return fs::relative(path, home_.Path()).string();
    }

    UninstallOutcome RunUninstall(bool yes) {
        dialogs_.yesNoAnswers.push_back(yes);
        program_->executable = Target() + ExeName();
        return setup::Uninstall(Services(), registration_, dialogs_);
    }

    // The values that start Skyvane at logon and after a power failure, and
    // a text client's, which starts Skyvane with "runclient".
    void WriteStartupValues() {
        startup_.Write("Run", "Skyvane", Target() + ExeName());
        startup_.Write("Run", "seticlient", Target() + ExeName() + " runclient");
        startup_.Write("RunServicesOnce", "SkyvaneBak", Target() + ExeName() + " failure");
        startup_.Write("RunServicesOnce", "SAHBak", Target() + ExeName() + " runclient");
    }

    history::TSettingsRec settings_;
    client::ClientControl client_{Services(), dialogs_, settings_};
    client::StartupRegistration registration_{startup_, *program_, client_};
};

TEST_F(UninstallTest, NoKeepsEverything) {
    WriteStartupValues();
    EXPECT_EQ(RunUninstall(false), UninstallOutcome::Declined);
    ASSERT_EQ(dialogs_.warningQuestions.size(), 1u);
    EXPECT_EQ(dialogs_.warningQuestions[0], setup::kUninstallQuestion);
    EXPECT_TRUE(fs::exists(Target() + "lastnum.mon"));
    EXPECT_TRUE(Registry(setup::kAppPathsKey, "Path").has_value());
    EXPECT_EQ(startup_.values.size(), 4u);
}

TEST_F(UninstallTest, RemovesEverythingInstallMade) {
    WriteStartupValues();
    EXPECT_EQ(RunUninstall(true), UninstallOutcome::Removed);

    EXPECT_TRUE(startup_.values.empty());
    EXPECT_FALSE(Registry(setup::kAppPathsKey, "Path").has_value());
    EXPECT_FALSE(Registry(setup::kUninstallKey, "DisplayName").has_value());
    EXPECT_FALSE(fs::exists(ShortcutFile("Programs", "", "Skyvane", false)));
    EXPECT_FALSE(fs::exists(ShortcutFile("Desktop", "", "Skyvane", false)));
    EXPECT_FALSE(fs::exists(ShortcutFile("Favorites", "Skyvane", "Skyvane site", true)));
    EXPECT_FALSE(fs::exists(Target() + "lastnum.mon"));
    EXPECT_FALSE(fs::exists(Target() + "old"));
    EXPECT_FALSE(fs::exists(Target() + "cache"));
    EXPECT_FALSE(fs::exists(Target() + CliName()));
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(UninstallTest, WindowedClientKeepsItsOwnLogonValue) {
    startup_.Write("Run", "seticlient", "C:\\seti\\SETI@home.exe -min");
    EXPECT_EQ(RunUninstall(true), UninstallOutcome::Removed);
    EXPECT_EQ(startup_.Read("Run", "seticlient"), "C:\\seti\\SETI@home.exe -min");
}

TEST_F(UninstallTest, ProgramRunningFromElsewhereIsNotDeleted) {
    // GIVEN the program directory moved away from the running program (as
    // SKYVANE_PROGRAM_DIR does for a build tree)
    dialogs_.yesNoAnswers.push_back(true);
    program_->executable = Running();
    EXPECT_EQ(setup::Uninstall(Services(), registration_, dialogs_), UninstallOutcome::Removed);
    // THEN the data of the program directory go, the program elsewhere stays
    EXPECT_FALSE(fs::exists(Target() + "lastnum.mon"));
    EXPECT_TRUE(fs::exists(Running()));
    EXPECT_TRUE(fs::exists(Target() + ExeName()));
}

}  // namespace
