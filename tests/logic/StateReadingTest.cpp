// The state reading and the progress figures it shows.

#include <gtest/gtest.h>

#include "clientfiles/Readers.h"
#include "monitor/Progress.h"
#include "platform/Platform.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using clientfiles::ReadOutcome;
using monitor::ProgressDisplay;
using testsupport::RecordingView;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;
using views::Control;

namespace {

// ------------------------------------------------------------ progress panel

struct ProgressCase {
    double progress;
    std::int32_t cpu;
    const char* percentage;
    int bar;
    const char* total;
    const char* left;
};

TEST(ProgressDisplay, FiguresAndEstimates) {
    for (const ProgressCase& c : {ProgressCase{0.5, 3600, "50%", 75, "2:00:00", "1:00:00"},
                                  ProgressCase{0.123456, 100, "12.35%", 19, "0:13:30", "0:11:50"},
                                  ProgressCase{1, 43210, "100%", 150, "12:00:10", "0:00:00"},
                                  ProgressCase{0.45678, 0, "45.68%", 69, "0:00:00", "0:00:00"}}) {
        RecordingView view;
        ProgressDisplay display(view);
        clientfiles::ClientFigures figures;
        figures.Progress = c.progress;
        figures.CpuSeconds = c.cpu;

        EXPECT_TRUE(display.ShowProgress(figures, {}));

        EXPECT_EQ(view.Text(Control::PercentageLabel), c.percentage);
        EXPECT_EQ(view.State(Control::ProgressBar).position, c.bar) << c.percentage;
        EXPECT_EQ(view.Text(Control::TotalTimeLabel), c.total) << c.percentage;
        EXPECT_EQ(view.Text(Control::LeftTimeLabel), c.left) << c.percentage;
    }
}

TEST(ProgressDisplay, ZeroProgressGivesNoEstimate) {
    RecordingView view;
    ProgressDisplay display(view);
    display.ResetProgress();
    clientfiles::ClientFigures figures;  // Progress 0, CpuSeconds 0

    EXPECT_FALSE(display.ShowProgress(figures, {}));

    EXPECT_EQ(view.Text(Control::PercentageLabel), "0%");
    EXPECT_EQ(view.Text(Control::TotalTimeLabel), "unknown");
    EXPECT_EQ(view.Text(Control::LeftTimeLabel), "unknown");
}

TEST(ProgressDisplay, TitleWhileMinimisedChangesOnlyWithThePercentage) {
    RecordingView view;
    ProgressDisplay display(view);
    clientfiles::ClientFigures figures;
    const ProgressDisplay::Situation minimisedLive{true, true, true, '.'};

    figures.Progress = 0.4567;
    display.ShowProgress(figures, minimisedLive);
    EXPECT_EQ(view.applicationTitle, "Skyvane 45.67%");
    const int writes = view.State(Control::PercentageLabel).textWrites;

    view.applicationTitle = "untouched";
    figures.Progress = 0.45671;
    display.ShowProgress(figures, minimisedLive);
    EXPECT_EQ(view.applicationTitle, "untouched");
    EXPECT_EQ(view.State(Control::PercentageLabel).textWrites, writes);
}

TEST(ProgressDisplay, OtherViewsKeepTheTimeLeftAndTheUsersSeparator) {
    RecordingView view;
    ProgressDisplay display(view);
    clientfiles::ClientFigures figures;
    figures.Progress = 0.125;
    figures.CpuSeconds = 100;

    display.ShowProgress(figures, {false, false, /*currentView=*/false, ','});

    EXPECT_EQ(view.Text(Control::PercentageLabel), "12,5%");
    EXPECT_EQ(view.Text(Control::TotalTimeLabel), "0:13:20");
    EXPECT_EQ(view.Text(Control::LeftTimeLabel), "");
}

TEST(ProgressDisplay, DamagedFiguresStayWithinTheBar) {
    RecordingView view;
    ProgressDisplay display(view);
    clientfiles::ClientFigures figures;
    figures.Progress = -0.5;
    figures.CpuSeconds = 100;
    display.ShowProgress(figures, {});
    EXPECT_EQ(view.State(Control::ProgressBar).position, 0);

    figures.Progress = 1e-300;  // a total beyond any count of seconds
    display.ShowProgress(figures, {});
    EXPECT_EQ(view.State(Control::ProgressBar).position, 0);
    EXPECT_EQ(view.Text(Control::TotalTimeLabel), "596523:14:07");
}

// ------------------------------------------------------------- state reader

// Records what the reading set in motion.
struct Listener : clientfiles::StateListener {
    int resets = 0, drifts = 0, shows = 0, bests = 0, computes = 0;
    bool progressShown = true;
    std::size_t bytesLoaded = 0;
    void ResetProgress() override { ++resets; }
    void ShowDriftProgress() override { ++drifts; }
    bool ShowProgress() override {
        ++shows;
        return progressShown;
    }
    void UpdateLiveBests(clientfiles::Reading&, std::size_t bytes) override {
        ++bests;
        bytesLoaded = bytes;
    }
    void ComputeBestSignals() override { ++computes; }
};

class StateReaderTest : public ::testing::Test {
protected:
    ReadOutcome Read(bool live = true) {
        env_.liveMode = live;
        return readers_.ReadState(dir_.Path("state.sah"), env_, listener_);
    }

    TempDir dir_;
    platform::NativePlatform native_;
    RecordingView view_;
    ScriptedDialogs dialogs_;
    clientfiles::ReadingGate gate_{dialogs_};
    clientfiles::ClientFigures figures_;
    clientfiles::ClientReaders readers_{native_.services().files, gate_, view_, figures_};
    clientfiles::ReaderEnvironment env_;
    Listener listener_;
};

TEST_F(StateReaderTest, LiveStateGivesDriftCpuAndProgress) {
    dir_.Write("state.sah",
               "ncfft=3\ncr=8.517978e+00\nfl=4\ncpu_hint=99\ncpu=540.268719\nprog=0.21317534\n");

    EXPECT_EQ(Read(), ReadOutcome::Completed);

    EXPECT_DOUBLE_EQ(figures_.CurrentChirp, 8.517978);
    EXPECT_EQ(figures_.CpuSeconds, 540) << "the line cpu_hint is passed over";
    EXPECT_DOUBLE_EQ(figures_.Progress, 0.21317534);
    EXPECT_EQ(view_.Text(Control::CPUTimeLabel), "0:09:00");
    EXPECT_EQ(listener_.drifts, 1);
    EXPECT_EQ(listener_.shows, 1);
    EXPECT_EQ(listener_.bests, 1);
    EXPECT_EQ(listener_.bytesLoaded, dir_.Read("state.sah").size());
}

TEST_F(StateReaderTest, FinishedWorkUnitIsDoneWhateverTheFileSays) {
    dir_.Write("state.sah", "cr=3\ncpu=100\nprog=0.2\n");
    env_.driftRange = 50;

    EXPECT_EQ(Read(/*live=*/false), ReadOutcome::Completed);

    EXPECT_DOUBLE_EQ(figures_.CurrentChirp, -50);
    EXPECT_DOUBLE_EQ(figures_.Progress, 1);
    EXPECT_EQ(listener_.bests, 0);
    EXPECT_EQ(listener_.computes, 1);
}

TEST_F(StateReaderTest, ZeroProgressEndsTheReading) {
    dir_.Write("state.sah", "cr=0\ncpu=0\nprog=0\nbs_power=1\n");
    listener_.progressShown = false;

    EXPECT_EQ(Read(), ReadOutcome::Aborted);
    EXPECT_EQ(listener_.bests, 0);
}

TEST_F(StateReaderTest, MissingOrEmptyFiles) {
    EXPECT_EQ(Read(), ReadOutcome::NoFile);
    EXPECT_EQ(listener_.resets, 1);

    // An empty file resets only at the start or the end of the sweep.
    dir_.Write("state.sah", "");
    for (double chirp : {0.0, -10.0, -50.0, 3.5}) {
        listener_.resets = 0;
        figures_.CurrentChirp = chirp;
        EXPECT_EQ(Read(), ReadOutcome::NoFile);
        EXPECT_EQ(listener_.resets, chirp == 3.5 ? 0 : 1) << chirp;
    }
}

TEST_F(StateReaderTest, OnlyTheFirst3000BytesAreRead) {
    dir_.Write("state.sah", "cr=1\ncpu=2\nprog=0.5\n" + std::string(5000, 'x'));

    Read();

    EXPECT_EQ(listener_.bytesLoaded, 3000u);
}

}  // namespace
