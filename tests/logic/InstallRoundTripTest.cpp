// Linux only: install, a start of the installed copy with "first", and
// uninstall in a home of the test's own, ending with nothing of Skyvane
// left; the desktop entries checked with desktop-file-validate; and the
// uninstaller's guard against links out of the program directory.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "setup/Install.h"
#include "support/ClientFakes.h"
#include "support/RecordingView.h"
#include "support/RunningProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/ShellFolders.h"
#include "support/TempDir.h"

using testsupport::RecordingInstallView;
using testsupport::ScopedEnv;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;
using views::InstallControl;

namespace {

namespace fs = std::filesystem;

// Regular files and links anywhere under `root`, and folders named after
// Skyvane; the XDG folders the desktop made (applications, Desktop, icons)
// are the user's and may stay, empty.
std::vector<std::string> Leftovers(const std::string& root) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).generic_string();
        std::string lower = relative;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!entry.is_directory() || entry.is_symlink() ||
            fs::path(lower).filename().string().find("skyvane") != std::string::npos)
            found.push_back(relative);
    }
    return found;
}

class RoundTrip : public ::testing::Test {
protected:
    RoundTrip() : folders_(home_), runtimeEnv_("SKYVANE_RUNTIME_DIR", runtime_.Path()) {
        home_.Write("Downloads/skyvane", "#!/bin/sh\n");
        home_.Write("Downloads/skyvane-cli", "#!/bin/sh\n");
        native_ = std::make_unique<platform::NativePlatform>();
        program_ = std::make_unique<testsupport::RunningProgram>(native_->services().environment);
    }

    // The real services, but the program that runs is `executable`, and
    // what is started is only recorded.
    platform::Services Services(const std::string& executable) {
        program_->executable = executable;
        const platform::Services real = native_->services();
        return platform::Services{real.registry, real.files, real.windows, real.shell,
                                  *program_,     processes_, real.startup, real.clock};
    }

    std::string InstallDir() const { return home_.Path(".local/opt/skyvane/"); }

    void Install() {
        ScopedEnv program("SKYVANE_PROGRAM_DIR", home_.Path("Downloads/"));
        RecordingInstallView view;
        setup::InstallForm form(Services(home_.Path("Downloads/skyvane")), dialogs_, nullptr);
        ASSERT_TRUE(form.FormCreate(view));
        // the proposed place, as a new user takes it
        ASSERT_EQ(view.Text(InstallControl::Edit1), InstallDir());
        form.BitBtn1Click();
        ASSERT_EQ(form.Outcome(), setup::InstallOutcome::Restarted);
        ASSERT_EQ(processes_.launches.size(), 1u);
        ASSERT_EQ(processes_.launches[0].commandLine, InstallDir() + "skyvane first");
    }

    TempDir home_;
    TempDir runtime_;
    testsupport::ShellFolders folders_;
    ScopedEnv runtimeEnv_;
    std::unique_ptr<platform::NativePlatform> native_;
    std::unique_ptr<testsupport::RunningProgram> program_;
    testsupport::FakeProcesses processes_;
    ScriptedDialogs dialogs_;
};

TEST_F(RoundTrip, PackagedProgramStartsWithoutTheInstallDialog) {
    // As the Debian package runs it: /usr/bin/skyvane, its data in the
    // user's data directory.
    const std::string data = home_.Path(".local/share/skyvane/");
    ScopedEnv program("SKYVANE_PROGRAM_DIR", data);
    fs::create_directories(data);
    program_->packageInstalled = true;
    TempDir client;
    sample::WriteSampleClientDir(client.Path());
    testsupport::RecordingView view;
    ScriptedDialogs dialogs;
    dialogs.clientPathAnswers.push_back(client.Path());
    {
        monitor::Monitor monitor(view, dialogs, Services("/usr/bin/skyvane"));
        EXPECT_EQ(monitor.FormCreate({}), monitor::StartupResult::ShowWindow);
        monitor.Exit1Click();
    }

    EXPECT_EQ(dialogs.installShown, 0);
    EXPECT_TRUE(processes_.launches.empty());
    EXPECT_TRUE(fs::exists(data + "Skyvane.set"));
    // nothing of the install: no copy, no menu or desktop entry
    EXPECT_FALSE(fs::exists(InstallDir()));
    for (const std::string& file : Leftovers(home_.Path()))
        EXPECT_EQ(file.find(".desktop"), std::string::npos) << file;

    // the next start finds its settings
    monitor::Monitor again(view, dialogs, Services("/usr/bin/skyvane"));
    EXPECT_EQ(again.FormCreate({}), monitor::StartupResult::ShowWindow);
    EXPECT_EQ(dialogs.installShown, 0);
    again.Exit1Click();
}

TEST_F(RoundTrip, InstallFirstStartUninstallLeavesNothing) {
    ASSERT_NO_FATAL_FAILURE(Install());
    fs::remove_all(home_.Path("Downloads"));

    // the installed copy's first start: it saves its settings and starts
    // up on the client the user points it to
    {
        ScopedEnv program("SKYVANE_PROGRAM_DIR", InstallDir());
        TempDir client;
        sample::WriteSampleClientDir(client.Path());
        testsupport::RecordingView view;
        ScriptedDialogs dialogs;
        dialogs.clientPathAnswers.push_back(client.Path());
        monitor::Monitor monitor(view, dialogs, Services(InstallDir() + "skyvane"));
        EXPECT_EQ(monitor.FormCreate({{"first"}}), monitor::StartupResult::ShowWindow);
        EXPECT_EQ(dialogs.installShown, 0);
        EXPECT_TRUE(fs::exists(InstallDir() + "Skyvane.set"));
        EXPECT_TRUE(fs::exists(InstallDir() + "lastnum.mon"));
        EXPECT_TRUE(fs::is_directory(InstallDir() + "old"));
        monitor.Exit1Click();
    }

    // every desktop entry passes desktop-file-validate
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(home_.Path()))
        if (entry.path().extension() == ".desktop") entries.push_back(entry.path().string());
    EXPECT_EQ(entries.size(), 4u);
    for (const auto& entry : entries) {
        const std::string command = "desktop-file-validate '" + entry + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    const std::string programs = home_.Path(".local/share/applications/Skyvane.desktop");
    std::ifstream menuEntry(programs);
    const std::string text((std::istreambuf_iterator<char>(menuEntry)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Exec=" + InstallDir() + "skyvane\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Icon=skyvane\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Exec=" + InstallDir() + "skyvane uninstall\n"), std::string::npos) << text;
    EXPECT_TRUE(fs::exists(home_.Path(".local/share/icons/hicolor/48x48/apps/skyvane.png")));
    // a launcher on the desktop starts only when it is marked executable
    const auto desktopLink = fs::status(home_.Path("Desktop/Skyvane.desktop")).permissions();
    EXPECT_NE(desktopLink & fs::perms::owner_exec, fs::perms::none);

    // the user had Skyvane start at logon
    ASSERT_TRUE(native_->services().startup.Write("Run", "Skyvane", InstallDir() + "skyvane"));

    // the uninstaller, as the menu's "Uninstall Skyvane" starts it
    {
        ScopedEnv program("SKYVANE_PROGRAM_DIR", InstallDir());
        testsupport::RecordingView view;
        ScriptedDialogs dialogs;
        dialogs.yesNoAnswers.push_back(true);
        monitor::Monitor monitor(view, dialogs, Services(InstallDir() + "skyvane"));
        EXPECT_EQ(monitor.FormCreate({{"uninstall"}}), monitor::StartupResult::Terminate);
        EXPECT_EQ(monitor.ExitCode(), 0);
        EXPECT_EQ(dialogs.warningQuestions.size(), 1u);
        EXPECT_TRUE(dialogs.errors.empty());
    }

    // nothing of Skyvane is left
    EXPECT_EQ(Leftovers(home_.Path()), std::vector<std::string>{});
}

TEST_F(RoundTrip, UninstallNeverFollowsLinksOutOfTheProgramDirectory) {
    ASSERT_NO_FATAL_FAILURE(Install());
    // GIVEN a program directory whose data are links to files elsewhere
    TempDir elsewhere;
    elsewhere.Write("archive/seti1.txt", "someone else's");
    elsewhere.Write("cache/a.wu", "someone else's");
    elsewhere.Write("counter", "\n3\n");
    elsewhere.Write("settings", "keep");
    elsewhere.Write("cli", "keep");
    fs::create_directory_symlink(elsewhere.Path("archive"), InstallDir() + "old");
    fs::create_directory_symlink(elsewhere.Path("cache"), InstallDir() + "cache");
    fs::create_symlink(elsewhere.Path("counter"), InstallDir() + "lastnum.mon");
    fs::create_symlink(elsewhere.Path("settings"), InstallDir() + "Skyvane.set");
    fs::remove(InstallDir() + "skyvane-cli");
    fs::create_symlink(elsewhere.Path("cli"), InstallDir() + "skyvane-cli");
    fs::create_directory_symlink(elsewhere.Path(), InstallDir() + "notes");

    ScopedEnv program("SKYVANE_PROGRAM_DIR", InstallDir());
    dialogs_.yesNoAnswers.push_back(true);
    history::TSettingsRec settings;
    const auto services = Services(InstallDir() + "skyvane");
    client::ClientControl client(services, dialogs_, settings);
    client::StartupRegistration registration(services.startup, services.environment, client);
    EXPECT_EQ(setup::Uninstall(services, registration, dialogs_), setup::UninstallOutcome::Removed);

    // THEN the links are gone and what they pointed at is all there
    for (const char* name : {"archive/seti1.txt", "cache/a.wu", "counter", "settings", "cli"})
        EXPECT_TRUE(elsewhere.Exists(name)) << name;
    EXPECT_FALSE(fs::is_symlink(InstallDir() + "old"));
    EXPECT_FALSE(fs::is_symlink(InstallDir() + "lastnum.mon"));
    // the program is gone; the directory stays, "notes" being left in it
    EXPECT_FALSE(fs::exists(InstallDir() + "skyvane"));
    EXPECT_TRUE(fs::is_symlink(InstallDir() + "notes"));
}

}  // namespace
