// The main window's side of the cache: the poll hands a finished result to
// the cache cycle, start-up gives an idle client a cached work unit, and the
// label and menu follow the cache.

#include <gtest/gtest.h>

#include <filesystem>

#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/ClientFakes.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/ShellFolders.h"
#include "support/SampleUnits.h"
#include "support/TempDir.h"
#include "support/WriteTime.h"

using testsupport::ScopedEnv;
using testsupport::ResultOf;
using testsupport::TempDir;
using testsupport::Unit;
using views::Control;
using views::TimerId;

namespace {

class CacheMonitorTest : public ::testing::Test {
protected:
    CacheMonitorTest() {
        client_.Write("version.sah", "major_version=3\nminor_version=3\n");
        client_.Write("user_info.sah", sample::UserInfoFile());
        // Two cached work units put the cache in use whatever the settings.
        program_.Write("cache/next.wu", Unit("next"));
        program_.Write("cache/later.wu", Unit("later"));
        const auto noon =
            std::chrono::sys_days{std::chrono::year{2001} / 1 / 1} + std::chrono::hours(12);
        testsupport::SetLastWriteTime(program_.Path("cache/next.wu"), noon);
        testsupport::SetLastWriteTime(program_.Path("cache/later.wu"),
                                      noon + std::chrono::hours(1));
    }

    void Start() {
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
        monitor_->OpenClientDirectory(client_.Path(), {});
    }

    TempDir program_, client_;
    ScopedEnv programEnv_{"SKYVANE_PROGRAM_DIR", program_.Path()};
    ScopedEnv registryEnv_{"SKYVANE_REGISTRY_DIR", program_.Path("registry")};
    ScopedEnv runtimeEnv_{"SKYVANE_RUNTIME_DIR", program_.Path("runtime")};
    platform::NativePlatform native_;
    testsupport::RecordingView view_;
    testsupport::ScriptedDialogs dialogs_;
    std::unique_ptr<monitor::Monitor> monitor_;
};

TEST_F(CacheMonitorTest, FinishedResultIsCachedAndTheNextWorkUnitFollowed) {
    client_.Write("work_unit.sah", Unit("first"));
    client_.Write("state.sah", sample::StateFile());
    Start();
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: 1/3");
    EXPECT_FALSE(view_.Visible(Control::ConnectMenu));  // full batch, no results

    client_.Write("result.sah", ResultOf("first"));
    client_.Write("outfile.sah", "spike: power=1\n");
    monitor_->Timer1Timer();

    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_TRUE(program_.Exists("cache/first.rsl"));
    EXPECT_FALSE(program_.Exists("cache/next.wu"));
    EXPECT_EQ(client_.Read("work_unit.sah"), Unit("next"));
    EXPECT_FALSE(client_.Exists("result.sah"));
    EXPECT_FALSE(client_.Exists("outfile.sah"));
    // The window was out of the user's hands while the cycle ran.
    EXPECT_EQ(view_.windowDisabled, 1);
    EXPECT_TRUE(view_.windowEnabled);
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: 2/3");
    EXPECT_TRUE(view_.Visible(Control::ConnectMenu));  // a result to return
    // Back to the live view of the next work unit, the poll running.
    EXPECT_TRUE(monitor_->LiveMode());
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer1));
    EXPECT_EQ(monitor_->Figures().WorkUnitName, "next");
    // Archived all the same.
    EXPECT_TRUE(program_.Exists("old/seti1.txt"));
}

TEST_F(CacheMonitorTest, DeferredConnectLeavesAFinishToTheClient) {
    client_.Write("work_unit.sah", Unit("first"));
    Start();
    monitor_->Cache().SetConnectDeferred(true);
    client_.Write("result.sah", ResultOf("first"));
    client_.Write("outfile.sah", "spike: power=1\n");
    monitor_->Timer1Timer();
    EXPECT_TRUE(client_.Exists("outfile.sah"));
    EXPECT_TRUE(client_.Exists("result.sah"));
    EXPECT_TRUE(program_.Exists("cache/next.wu"));
    EXPECT_FALSE(program_.Exists("cache/first.rsl"));
    EXPECT_TRUE(program_.Exists("old/seti1.txt"));
    EXPECT_EQ(view_.windowDisabled, 0);
}

TEST_F(CacheMonitorTest, StartUpGivesAClientWithoutWorkTheOldestCachedWorkUnit) {
    Start();
    EXPECT_EQ(client_.Read("work_unit.sah"), Unit("next"));
    EXPECT_TRUE(program_.Exists("cache/later.wu"));
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: 1/2");
}

TEST_F(CacheMonitorTest, StartUpRepairsADeadCycleBeforeCounting) {
    // Killed after the work unit was copied to the client and before the
    // cache let go of it.
    program_.Write("cache/cycle.run", "cycle\n");
    program_.Write("cache/first.rsl", ResultOf("first"));
    client_.Write("work_unit.sah", Unit("next"));
    client_.Write("result.sah", ResultOf("first"));
    Start();
    EXPECT_FALSE(program_.Exists("cache/next.wu"));
    EXPECT_FALSE(client_.Exists("result.sah"));
    EXPECT_FALSE(program_.Exists("cache/cycle.run"));
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: 2/3");
    EXPECT_FALSE(program_.Exists("old/seti1.txt"));  // nothing finished anew
}

TEST_F(CacheMonitorTest, CacheDialogNeedsAClient) {
    client_.Write("work_unit.sah", Unit("first"));
    Start();
    monitor_->WUCache1Click();
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(dialogs_.errors[0], "If you renamed SETI@home exe file, you should rename it back");
}

// The text client's desktop shortcut, made through the one shortcut service
// into a desktop of the test's own. (A text client here is a Linux one.)
#ifndef _WIN32
TEST_F(CacheMonitorTest, CacheDialogPutsTheTextClientOnTheDesktop) {
    TempDir home;
    testsupport::ShellFolders folders(home);
    client_.Write(testsupport::kTextExe, "#!/bin/sh\n");
    std::filesystem::permissions(client_.Path(testsupport::kTextExe),
                                 std::filesystem::perms::owner_all);
    client_.Write("work_unit.sah", Unit("first"));
    Start();
    ASSERT_EQ(monitor_->Client().Kind(), client::ClientKind::Text);
    testsupport::RecordingCacheFormView form;
    dialogs_.cacheForm = &form;
    dialogs_.cacheFormScript = [](views::CacheFormView& view, views::CacheFormEvents& events) {
        view.SetChecked(views::CacheFormControl::CheckBox1, true);
        events.CheckBox1Click(view);
        view.SetSpinValue(5);
        events.BitBtn1Click(view);
    };
    monitor_->WUCache1Click();

    auto& shell = native_.services().shell;
    const std::string file = shell.ShortcutFile(shell.ShellFolder("Desktop"), "SETI@home", false);
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_EQ(dialogs_.informations.size(), 1u);
    const std::string text = home.Read(std::filesystem::relative(file, home.Path()).string());
    EXPECT_NE(text.find("Exec=" + client_.Path(testsupport::kTextExe) + " -stop_after_process\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Terminal=true\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Path=" + client_.Path() + "\n"), std::string::npos) << text;
    const std::string validate = "desktop-file-validate '" + file + "'";
    EXPECT_EQ(std::system(validate.c_str()), 0) << text;
}
#endif

}  // namespace
