// What every Processes backend must do, and the windows service's part in
// ending the windowed client, with a real child program (ChildMain.cpp).
// These tests start real processes and wait for them on the real clock, a
// few hundred milliseconds at most when all is well.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "client/ClientControl.h"
#include "history/SettingsRecord.h"
#include "platform/Platform.h"
#include "support/TempDir.h"

using namespace std::chrono_literals;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class ProcessesTest : public ::testing::Test {
protected:
    // The child program copied to `name` in the test's directory.
    std::string CopyChild(const std::string& name, const char* from = CHILD_PATH) {
        const std::string path = dir_.Path(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(from, path);
        return path;
    }
    // What the child wrote in `workDir` (with its trailing separator).
    std::vector<std::string> ChildReport(const std::string& workDir) {
        if (!WaitFor([&] { return std::filesystem::exists(workDir + "child.txt"); })) return {};
        std::ifstream in(workDir + "child.txt");
        std::stringstream text;
        text << in.rdbuf();
        return Lines(text.str());
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv runtimeDir_{"SKYVANE_RUNTIME_DIR", dir_.Path("run")};
    platform::NativePlatform native_;
    platform::Processes& processes_ = native_.services().processes;
    platform::TopLevelWindows& windows_ = native_.services().windows;
};

TEST_F(ProcessesTest, LaunchedChildRunsInTheGivenDirectoryWithTheGivenArguments) {
    const std::string child = CopyChild("bin/child.exe");
    dir_.MakeDir("work");
    const std::string work = dir_.Path("work") + platform::PathSeparator();
    ASSERT_TRUE(processes_.Launch(child + " alpha  -beta ", work, platform::ShowMode::Hidden));
    const auto report = ChildReport(work);
    ASSERT_EQ(report.size(), 4u);
    // The child's working directory is the one that holds its report.
    EXPECT_EQ(std::filesystem::path(report[0]).filename(), "work");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(report[0]) / "child.txt"));
    EXPECT_EQ(report[2], "alpha");
    EXPECT_EQ(report[3], "-beta");
}

TEST_F(ProcessesTest, UnquotedProgramPathWithBlanksIsReadAsWindowsReadsIt) {
    const std::string child = CopyChild("my programs/child.exe");
    dir_.MakeDir("work");
    const std::string work = dir_.Path("work") + platform::PathSeparator();
    ASSERT_TRUE(processes_.Launch(child + " runclient", work, platform::ShowMode::Normal));
    const auto report = ChildReport(work);
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[2], "runclient");
}

TEST_F(ProcessesTest, NothingToLaunchFails) {
    EXPECT_FALSE(processes_.Launch(dir_.Path("missing.exe") + " x", dir_.Path(),
                                   platform::ShowMode::Normal));
    EXPECT_FALSE(processes_.Launch("", dir_.Path(), platform::ShowMode::Normal));
}

TEST_F(ProcessesTest, OnlyFilesCanBeLaunched) {
    EXPECT_TRUE(processes_.IsLaunchable(CopyChild("child.exe")));
    dir_.MakeDir("folder.exe");
    EXPECT_FALSE(processes_.IsLaunchable(dir_.Path("folder.exe")));
    EXPECT_FALSE(processes_.IsLaunchable(dir_.Path("missing.exe")));
#ifndef _WIN32
    // Linux wants the execute bit, where Windows starts any .exe file.
    dir_.Write("setiathome-data", "text");
    EXPECT_FALSE(processes_.IsLaunchable(dir_.Path("setiathome-data")));
#endif
}

TEST_F(ProcessesTest, OpenedProcessEndsOnTerminate) {
    const std::string child = CopyChild("child.exe");
    ASSERT_TRUE(processes_.Launch(child + " wait", dir_.Path(), platform::ShowMode::Hidden));
    const auto report = ChildReport(dir_.Path());
    ASSERT_GE(report.size(), 2u);
    const auto id = static_cast<platform::ProcessId>(std::stoul(report[1]));
    auto process = processes_.Open(id);
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->Running());
    EXPECT_TRUE(process->Terminate());
    EXPECT_TRUE(WaitFor([&] { return !process->Running(); }, 5s));
    // Ended: a second request finds nothing to end.
    EXPECT_FALSE(processes_.Open(id) && processes_.Open(id)->Running());
}

TEST_F(ProcessesTest, ExecutableTypeIsWhatTheSystemCanTell) {
    // Copied first: under Wine the build's own paths are not Windows paths.
    const auto type = native_.services().shell.ExecutableType(CopyChild("console.exe"));
#ifdef _WIN32
    EXPECT_EQ(type, platform::ExeType::Console);
    EXPECT_EQ(native_.services().shell.ExecutableType(CopyChild("windowed.exe", GUI_CHILD_PATH)),
              platform::ExeType::Windowed);
    EXPECT_EQ(native_.services().shell.ExecutableType(dir_.Path("missing.exe")),
              platform::ExeType::Unknown);
#else
    // Linux executables carry no mark of a windowed program.
    EXPECT_EQ(type, platform::ExeType::Unknown);
#endif
}

TEST_F(ProcessesTest, WindowedClientsWindowIsFoundAndEndsOnDestroy) {
    const std::string child = CopyChild("SETI@home.exe");
    ASSERT_TRUE(processes_.Launch(child + " window", dir_.Path(), platform::ShowMode::Normal));
    const auto report = ChildReport(dir_.Path());
    ASSERT_GE(report.size(), 2u);
    std::optional<platform::WindowInfo> window;
    ASSERT_TRUE(WaitFor([&] {
        window = windows_.FindWindow("SetiClientParent", "SETI@Home Client");
        return window.has_value();
    }));
    EXPECT_EQ(window->windowClass, "SetiClientParent");
    EXPECT_EQ(windows_.WindowProcess(*window), std::stoul(report[1]));
    bool listed = false;
    for (const auto& w : windows_.EnumerateWindows())
        listed = listed || (w.windowClass == "SetiClientParent" && w.title == "SETI@Home Client");
    EXPECT_TRUE(listed);

    EXPECT_TRUE(windows_.PostDestroy(*window));
    EXPECT_TRUE(WaitFor(
        [&] { return !windows_.WindowExists("SetiClientParent", "SETI@Home Client"); }, 5s));
}

// What CloseOtherInstances asks of another Skyvane: WM_QUIT ends its message
// loop (SIGTERM its process on Linux). Our own windows are never asked.
TEST_F(ProcessesTest, PostQuitEndsTheOtherProgramButNeverThisOne) {
    const std::string child = CopyChild("other.exe");
    ASSERT_TRUE(processes_.Launch(child + " window", dir_.Path(), platform::ShowMode::Normal));
    std::optional<platform::WindowInfo> window;
    ASSERT_TRUE(WaitFor([&] {
        window = windows_.FindWindow("SetiClientParent", "SETI@Home Client");
        return window.has_value();
    }));
    EXPECT_TRUE(windows_.PostQuit(*window));
    EXPECT_TRUE(WaitFor(
        [&] { return !windows_.WindowExists("SetiClientParent", "SETI@Home Client"); }, 5s));

    const auto own = windows_.Announce("SkyvaneOwnTest", "Own");
    std::optional<platform::WindowInfo> ownWindow;
    ASSERT_TRUE(WaitFor([&] {
        ownWindow = windows_.FindWindow("SkyvaneOwnTest", "Own");
        return ownWindow.has_value();
    }));
    EXPECT_FALSE(windows_.PostQuit(*ownWindow));
}

// The whole of stopping the windowed client, as client control does it on
// the real services: the pointer nudge, WM_DESTROY (SIGTERM on Linux), the
// wait for the window to go. A text client's console window cannot be shown
// here: headless Wine opens no console windows, and Linux has none. That
// path (the "tty" window, the enumeration, the 5 s terminate wait) is tested
// with fakes in tests/logic/ClientControlTest.cpp.
TEST_F(ProcessesTest, ClientControlStopsTheWindowedClient) {
#ifdef _WIN32
    CopyChild("SETI@home.exe", GUI_CHILD_PATH);
#else
    CopyChild("SETI@home.exe");
#endif
    struct NoDialogs : views::Dialogs {
        void ShowError(std::string_view text) override { ADD_FAILURE() << text; }
        void ShowWarning(std::string_view) override {}
        void ShowInformation(std::string_view) override {}
        bool AskYesNo(std::string_view) override { return false; }
        std::optional<std::string> AskClientPath() override { return std::nullopt; }
        void ShowAbout() override {}
    } dialogs;
    history::TSettingsRec settings;
    client::ClientControl control(native_.services(), dialogs, settings);
    control.SetClientPath(dir_.Path());
    control.FindClient();
    ASSERT_EQ(control.Kind(), client::ClientKind::Graphical);
    // " -min" is the child's first word: not "window", so it would end at
    // once; start it the way the windowed client would run instead.
    ASSERT_TRUE(processes_.Launch(dir_.Path("SETI@home.exe") + " window", dir_.Path(),
                                  platform::ShowMode::Normal));
    ASSERT_TRUE(WaitFor([&] { return control.FindRunningClient().has_value(); }));
    EXPECT_TRUE(control.StopClient());
    EXPECT_FALSE(windows_.WindowExists("SetiClientParent", "SETI@Home Client"));
    EXPECT_FALSE(control.FindRunningClient().has_value());
}

#ifndef _WIN32
// Windows finds the text client by its console window; Linux by the file it
// runs, whatever name started it.
TEST_F(ProcessesTest, ClientIsFoundByTheFileItRuns) {
    const std::string child = CopyChild("setiathome-3.08.i686-pc-linux-gnu");
    const std::string link = dir_.Path("other-name");
    std::filesystem::create_symlink(child, link);
    EXPECT_TRUE(processes_.FindByExecutable(child).empty());
    ASSERT_TRUE(processes_.Launch(link + " wait", dir_.Path(), platform::ShowMode::Hidden));
    const auto report = ChildReport(dir_.Path());
    ASSERT_GE(report.size(), 2u);
    const auto id = static_cast<platform::ProcessId>(std::stoul(report[1]));
    EXPECT_EQ(processes_.FindByExecutable(child), std::vector<platform::ProcessId>{id});
    // Another program is not the client.
    EXPECT_TRUE(processes_.FindByExecutable(CHILD_PATH).empty());

    auto process = processes_.Open(id);
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->Kill());
    EXPECT_TRUE(WaitFor([&] { return processes_.FindByExecutable(child).empty(); }, 5s));
}
#endif

}  // namespace
