#pragma once
// What the end-to-end tests of Skyvane driving the stand-in client share:
// temp folders for Skyvane's program directory, the client and the server,
// the environment that points Skyvane and the stand-in at them, and
// Skyvane's logic on a recording view, its timers ticked by the test on a
// real clock as the window would tick them.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace e2e {

inline constexpr const char* kTextExe = "setiathome-3.08.i686-pc-linux-gnu";

// The value of `key=` in a client file's text; empty when missing.
inline std::string Key(const std::string& text, const std::string& key) {
    const auto at = text.find(key + "=");
    if (at == std::string::npos) return {};
    const auto end = text.find('\n', at);
    return text.substr(at + key.size() + 1, end - at - key.size() - 1);
}

class SkyvaneWithStandin : public ::testing::Test {
protected:
    // `seconds` a work unit takes the stand-in; `seed` of its work units.
    SkyvaneWithStandin(const char* seconds, const char* seed)
        : secondsEnv_("SETI_STANDIN_SECONDS", seconds), seedEnv_("SETI_STANDIN_SEED", seed) {}
    ~SkyvaneWithStandin() override {
        // Whatever a failed test left running goes with it.
        if (monitor_) monitor_->Client().StopClient();
    }

    template <class Done>
    bool WaitFor(Done done, std::chrono::seconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    }

    // The window's timers, every tick they would give, until `done`.
    bool RunUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
        return WaitFor(
            [&] {
                if (view_.TimerOn(views::TimerId::Timer1)) monitor_->Timer1Timer();
                if (view_.TimerOn(views::TimerId::Timer2)) monitor_->Timer2Timer();
                return done();
            },
            limit);
    }

    testsupport::TempDir program_, client_, server_;
    testsupport::ScopedEnv programEnv_{"SKYVANE_PROGRAM_DIR", program_.Path()};
    testsupport::ScopedEnv registryEnv_{"SKYVANE_REGISTRY_DIR", program_.Path("registry")};
    testsupport::ScopedEnv runtimeEnv_{"SKYVANE_RUNTIME_DIR", program_.Path("runtime")};
    testsupport::ScopedEnv configEnv_{"XDG_CONFIG_HOME", program_.Path("config")};
    testsupport::ScopedEnv serverEnv_{"SETI_STANDIN_SERVER", server_.Path()};
    testsupport::ScopedEnv secondsEnv_;
    testsupport::ScopedEnv seedEnv_;
    testsupport::ScopedEnv xferEnv_{"SETI_STANDIN_XFER_SECONDS", "0.2"};
    platform::NativePlatform native_;
    testsupport::RecordingView view_;
    testsupport::ScriptedDialogs dialogs_;
    std::unique_ptr<monitor::Monitor> monitor_;
};

}  // namespace e2e
