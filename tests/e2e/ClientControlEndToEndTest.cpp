// Skyvane driving a real (stand-in) text client: started from the client
// directory by its executable there, followed by the poll, stopped, started
// again on the same work unit; and the "runclient" start. The stand-in gets
// what is not the client's own switches through its environment, as a
// client started by Skyvane would.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using testsupport::ScopedEnv;
using testsupport::TempDir;
using views::Control;
using views::TimerId;
using namespace std::chrono_literals;

namespace {

constexpr const char* kClientExe = "setiathome-3.08.i686-pc-linux-gnu";

std::string Key(const std::string& text, const std::string& key) {
    const auto at = text.find(key + "=");
    if (at == std::string::npos) return {};
    const auto end = text.find('\n', at);
    return text.substr(at + key.size() + 1, end - at - key.size() - 1);
}

class ClientEndToEnd : public ::testing::Test {
protected:
    ClientEndToEnd() { std::filesystem::copy_file(STANDIN_PATH, client_.Path(kClientExe)); }
    ~ClientEndToEnd() override {
        // Whatever a failed test left running goes with it.
        if (monitor_) monitor_->Client().StopClient();
    }

    template <class Done>
    bool WaitFor(Done done, std::chrono::seconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(100ms);
        }
        return true;
    }

    // The window's poll, every tick a timer would give it, until `done`.
    bool PollUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
        return WaitFor(
            [&] {
                if (view_.TimerOn(TimerId::Timer1)) monitor_->Timer1Timer();
                return done();
            },
            limit);
    }

    double Progress() { return std::atof(Key(client_.Read("state.sah"), "prog").c_str()); }

    TempDir program_, client_, server_;
    ScopedEnv programEnv_{"SKYVANE_PROGRAM_DIR", program_.Path()};
    ScopedEnv registryEnv_{"SKYVANE_REGISTRY_DIR", program_.Path("registry")};
    ScopedEnv runtimeEnv_{"SKYVANE_RUNTIME_DIR", program_.Path("runtime")};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", program_.Path("config")};
    ScopedEnv serverEnv_{"SETI_STANDIN_SERVER", server_.Path()};
    ScopedEnv secondsEnv_{"SETI_STANDIN_SECONDS", "40"};
    ScopedEnv seedEnv_{"SETI_STANDIN_SEED", "5"};
    ScopedEnv xferEnv_{"SETI_STANDIN_XFER_SECONDS", "0.2"};
    platform::NativePlatform native_;
    testsupport::RecordingView view_;
    testsupport::ScriptedDialogs dialogs_;
    std::unique_ptr<monitor::Monitor> monitor_;
};

TEST_F(ClientEndToEnd, StartedFollowedStoppedAndResumedOnTheSameWorkUnit) {
    // GIVEN Skyvane on a client directory that holds only the text client
    monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
    monitor_->OpenClientDirectory(client_.Path(), {});
    client::ClientControl& control = monitor_->Client();
    ASSERT_EQ(control.Kind(), client::ClientKind::Text);
    EXPECT_EQ(control.CommandLine(), client_.Path(kClientExe) + " -stop_after_process ");

    // WHEN Skyvane starts it, THEN it fetches a work unit and the poll
    // follows its progress
    ASSERT_TRUE(control.StartClient());
    ASSERT_TRUE(WaitFor([&] { return control.FindRunningClient().has_value(); }, 10s));
    ASSERT_TRUE(PollUntil([&] { return Progress() > 0.02; }, 20s));
    ASSERT_TRUE(PollUntil([&] { return view_.Text(Control::PercentageLabel) != "0%"; }, 10s));
    const std::string unit = Key(client_.Read("work_unit.sah"), "name");
    ASSERT_FALSE(unit.empty());

    // WHEN Skyvane stops it, THEN it is gone well within the wait
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(control.StopClient());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
    EXPECT_FALSE(control.FindRunningClient().has_value());
    const double stoppedAt = Progress();
    EXPECT_GT(stoppedAt, 0.02);

    // WHEN it is started again, THEN it goes on with the same work unit
    // from where it was, without fetching another
    ASSERT_TRUE(control.StartClient());
    ASSERT_TRUE(PollUntil([&] { return Progress() > stoppedAt + 0.01; }, 20s));
    EXPECT_EQ(Key(client_.Read("work_unit.sah"), "name"), unit);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(server_.Path("sent")),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_TRUE(control.StopClient());
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
}

TEST_F(ClientEndToEnd, RunclientStartsTheClientAndEndsWithoutAWindow) {
    // GIVEN a client directory the client has worked in, and settings
    // that name it
    {
        monitor::Monitor first(view_, dialogs_, native_.services());
        first.OpenClientDirectory(client_.Path(), {{}, /*readOnly=*/true});
        ASSERT_TRUE(first.Client().StartClient());
        ASSERT_TRUE(WaitFor([&] { return client_.Exists("state.sah"); }, 15s));
        ASSERT_TRUE(first.Client().StopClient());
    }
    history::TSettingsRec settings;
    settings.ClientPath = client_.Path();
    program_.Write("Skyvane.set", history::EncodeSettingsRecord(settings));

    // WHEN Skyvane starts with "runclient"
    monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
    EXPECT_EQ(monitor_->FormCreate({{"runclient"}, false}), monitor::StartupResult::Terminate);

    // THEN the client runs, and Skyvane read nothing further
    EXPECT_TRUE(WaitFor([&] { return monitor_->Client().FindRunningClient().has_value(); }, 10s));
    EXPECT_FALSE(program_.Exists("lastnum.mon"));
    EXPECT_TRUE(monitor_->Client().StopClient());
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
}

}  // namespace
