// Skyvane driving a real (stand-in) text client: started from the client
// directory by its executable there, followed by the poll, stopped, started
// again on the same work unit; and the "runclient" start. The stand-in gets
// what is not the client's own switches through its environment, as a
// client started by Skyvane would.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "e2e/SkyvaneWithStandin.h"
#include "history/SettingsRecord.h"

using e2e::Key;
using e2e::kTextExe;
using views::Control;
using namespace std::chrono_literals;

namespace {

class ClientEndToEnd : public e2e::SkyvaneWithStandin {
protected:
    ClientEndToEnd() : SkyvaneWithStandin("40", "5") {
        std::filesystem::copy_file(STANDIN_PATH, client_.Path(kTextExe));
    }

    double Progress() { return std::atof(Key(client_.Read("state.sah"), "prog").c_str()); }
};

TEST_F(ClientEndToEnd, StartedFollowedStoppedAndResumedOnTheSameWorkUnit) {
    // GIVEN Skyvane on a client directory that holds only the text client
    monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
    monitor_->OpenClientDirectory(client_.Path(), {});
    client::ClientControl& control = monitor_->Client();
    ASSERT_EQ(control.Kind(), client::ClientKind::Text);
    EXPECT_EQ(control.CommandLine(), client_.Path(kTextExe) + " -stop_after_process ");

    // WHEN Skyvane starts it, THEN it fetches a work unit and the poll
    // follows its progress
    ASSERT_TRUE(control.StartClient());
    ASSERT_TRUE(WaitFor([&] { return control.FindRunningClient().has_value(); }, 10s));
    ASSERT_TRUE(RunUntil([&] { return Progress() > 0.02; }, 20s));
    ASSERT_TRUE(RunUntil([&] { return view_.Text(Control::PercentageLabel) != "0%"; }, 10s));
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
    ASSERT_TRUE(RunUntil([&] { return Progress() > stoppedAt + 0.01; }, 20s));
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
