// Skyvane's logic following a real (stand-in) client process through whole
// work units, its timers driven on a real clock as the window would drive
// them.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <functional>
#include <thread>

#include "e2e/SpawnStandin.h"
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
using views::TimerId;
using namespace std::chrono_literals;

namespace {

// The stand-in client running in `dir` until the object goes.
class ClientProcess {
public:
    ClientProcess(const std::string& dir, const std::string& server, int seconds = 6)
        : pid_(e2e::SpawnStandin(dir, {"--seconds", std::to_string(seconds), "--xfer-seconds",
                                       "3", "--seed", "11", "--server", server, "--quiet"})) {}
    ~ClientProcess() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    ClientProcess(const ClientProcess&) = delete;
    ClientProcess& operator=(const ClientProcess&) = delete;

    bool Started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

class EndToEnd : public ::testing::Test {
protected:
    EndToEnd()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {}

    // Runs the window's timers (as far as the logic has them on) until
    // `done` holds or `limit` passes; false on time-out.
    bool RunTimersUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
        const auto start = std::chrono::steady_clock::now();
        auto next1 = start + 2s, next2 = start + 1s;
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
            if (now - start > limit) return false;
            if (view_.TimerOn(TimerId::Timer4)) monitor_->Timer4Timer();
            if (now >= next2) {
                next2 += 1s;
                if (view_.TimerOn(TimerId::Timer2)) monitor_->Timer2Timer();
            }
            if (now >= next1) {
                next1 += 2s;
                if (view_.TimerOn(TimerId::Timer1)) monitor_->Timer1Timer();
            }
            std::this_thread::sleep_for(100ms);
        }
        return true;
    }

    TempDir program_, client_, server_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    // Start-up values (autostart entries on Linux) stay inside the test.
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", program_.Path("config")};
    platform::NativePlatform native_;
    RecordingView view_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<monitor::Monitor> monitor_;
};

TEST_F(EndToEnd, FollowsTheClientThroughAFinishIntoTheNextWorkUnit) {
    // GIVEN a client that has started its first work unit
    ClientProcess client(client_.Path(), server_.Path());
    ASSERT_TRUE(client.Started());
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!client_.Exists("state.sah") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(client_.Exists("state.sah"));

    monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
    monitor_->OpenClientDirectory(client_.Path(), {});
    ASSERT_TRUE(monitor_->LiveMode());
    EXPECT_EQ(view_.Text(Control::DateLabel).find("unknown"), std::string::npos);

    // WHEN the timers run, THEN the progress climbs while the client works
    const std::string firstPercentage = view_.Text(Control::PercentageLabel);
    ASSERT_TRUE(RunTimersUntil(
        [&] { return view_.Text(Control::PercentageLabel) != firstPercentage; }, 10s));

    // AND the finish switches to the result file and waits
    ASSERT_TRUE(RunTimersUntil([&] { return !monitor_->LiveMode(); }, 15s));
    EXPECT_EQ(monitor_->StatePath(), client_.Path("result.sah"));
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "100%");
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer2));
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer1));

    // AND the next work unit brings the live view back, from its start
    ASSERT_TRUE(RunTimersUntil([&] { return monitor_->LiveMode(); }, 15s));
    EXPECT_EQ(monitor_->StatePath(), client_.Path("state.sah"));
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer1));
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer2));
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
}

TEST_F(EndToEnd, EveryFinishedWorkUnitIsArchivedOnceInOrder) {
    ClientProcess client(client_.Path(), server_.Path(), /*seconds=*/4);
    ASSERT_TRUE(client.Started());
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!client_.Exists("state.sah") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
    monitor_->OpenClientDirectory(client_.Path(), {});

    // WHEN the client finishes three work units while Skyvane runs
    ASSERT_TRUE(RunTimersUntil([&] { return monitor_->ArchiveCount() >= 3; }, 45s));

    // THEN each was archived once, in the order the client returned them
    std::vector<std::string> returned;
    for (const auto& entry : std::filesystem::directory_iterator(server_.Path("results")))
        returned.push_back(entry.path().filename().string());
    ASSERT_GE(returned.size(), 2u);
    for (int n = 1; n <= 3; ++n) {
        const std::string archived = program_.Read("old/seti" + std::to_string(n) + ".txt");
        EXPECT_FALSE(archived.empty()) << n;
        for (int m = 1; m < n; ++m)
            EXPECT_NE(archived, program_.Read("old/seti" + std::to_string(m) + ".txt"))
                << "work unit archived twice: " << m << " and " << n;
    }
    EXPECT_FALSE(program_.Exists("old/seti4.txt"));
    EXPECT_EQ(view_.selectorItems,
              (std::vector<std::string>{"current", "total", "1", "2", "3"}));

    // AND the totals show the signals of all three
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    std::set<std::int32_t> units;
    for (const auto& spike : monitor_->Lists().SpikeList) units.insert(spike.WorkUnit);
    EXPECT_EQ(units, (std::set<std::int32_t>{1, 2, 3}));
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
}

}  // namespace
