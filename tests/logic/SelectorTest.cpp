// The work-unit selector: the live work unit, one archived work unit, or
// the totals over the archive.

#include <gtest/gtest.h>

#include <filesystem>

#include "history/Archive.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using testsupport::RecordingView;
using testsupport::ScopedEnv;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;
using views::Control;
using views::TimerId;

namespace {

// A result whose signals are `spikes` spikes of powers 21, 22, ...,
// `gaussians` gaussians and `pulses` pulses of rising strength.
std::string Result(int spikes, int gaussians, int pulses, double chirp = 1.5) {
    std::string lines;
    for (int i = 0; i < spikes; ++i) {
        sample::SpikeSignal s;
        s.power = 21 + i;
        s.chirpRate = chirp;
        lines += sample::SpikeLine(s);
    }
    for (int i = 0; i < gaussians; ++i) {
        sample::GaussianSignal g;
        g.peak = 2 + i;
        g.chirpRate = chirp;
        lines += sample::GaussianLine(g);
    }
    for (int i = 0; i < pulses; ++i) {
        sample::PulseSignal p;
        p.snr = 16 + i;
        p.chirpRate = chirp;
        lines += sample::PulseLine(p);
    }
    return sample::ResultFile({}, {}, lines);
}

class SelectorTest : public ::testing::Test {
protected:
    SelectorTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {
        sample::WriteSampleClientDir(client_.Path());
        program_.MakeDir("old");
    }

    void Archive(std::int32_t number, const std::string& result) {
        program_.Write("old/seti" + std::to_string(number) + ".txt", result);
    }
    void Start(std::int32_t archiveCount) {
        program_.Write("lastnum.mon", "last\r\n" + std::to_string(archiveCount) + "\r\n");
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
        monitor_->OpenClientDirectory(client_.Path(), {});
    }
    const signals::SignalLists& Lists() const { return monitor_->Lists(); }

    TempDir program_, client_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    platform::NativePlatform native_;
    RecordingView view_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<monitor::Monitor> monitor_;
};

TEST_F(SelectorTest, TotalsCollectEveryArchiveAndShowTheUsersFigures) {
    Archive(1, Result(2, 1, 0));
    Archive(3, Result(1, 0, 1));  // number 2 is missing: skipped
    Start(3);
    ASSERT_EQ(view_.selectorItems.size(), 5u);

    monitor_->WUComboBoxChange(monitor::kTotalItem);

    EXPECT_EQ(Lists().SpikeList.size(), 3u);
    EXPECT_EQ(Lists().SpikeList[0].WorkUnit, 1);
    EXPECT_EQ(Lists().SpikeList[2].WorkUnit, 3);
    EXPECT_EQ(Lists().PulseList.size(), 1u);
    EXPECT_FALSE(monitor_->LiveMode());
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer1));
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer3)) << "the live work unit is watched";
    EXPECT_TRUE(view_.Visible(Control::UserPanel));
    EXPECT_TRUE(view_.Visible(Control::TotalInfoPanel));
    EXPECT_FALSE(view_.Visible(Control::WUPanel));
    EXPECT_FALSE(view_.Visible(Control::SAHVerLabel));
    EXPECT_TRUE(view_.Visible(Control::ZoomBtn));
    EXPECT_EQ(view_.Text(Control::RecordedWULabel), "3");
    EXPECT_EQ(view_.Text(Control::TotalWULabel), "298") << "the client's own count";
    EXPECT_EQ(view_.Text(Control::BestPeakLabel), "22");
    EXPECT_DOUBLE_EQ(monitor_->Figures().CurrentChirp, -monitor_->Bar().DriftRange());

    // The same choice again changes nothing.
    const int pictures = view_.pictureUpdates;
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    EXPECT_EQ(view_.pictureUpdates, pictures);
}

TEST_F(SelectorTest, LastTwentyWorkUnits) {
    for (std::int32_t n = 1; n <= 25; ++n) Archive(n, Result(1, 0, 0));
    Start(25);
    monitor_->TotalMenuClick(3);

    monitor_->WUComboBoxChange(monitor::kTotalItem);

    ASSERT_EQ(Lists().SpikeList.size(), 20u);
    EXPECT_EQ(Lists().SpikeList.front().WorkUnit, 6);
    EXPECT_EQ(Lists().SpikeList.back().WorkUnit, 25);
}

TEST_F(SelectorTest, BestFiveOfEachKind) {
    Archive(1, Result(7, 3, 0));
    Archive(2, Result(0, 0, 9));
    Start(2);
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    ASSERT_EQ(Lists().SpikeList.size(), 7u);

    // Choosing "Best 5" while the totals are shown rebuilds them.
    monitor_->TotalMenuClick(2);

    ASSERT_EQ(Lists().SpikeList.size(), 5u);
    EXPECT_EQ(Lists().GaussianList.size(), 3u);
    EXPECT_EQ(Lists().TripletList.size(), 0u);
    ASSERT_EQ(Lists().PulseList.size(), 5u);
    EXPECT_DOUBLE_EQ(Lists().SpikeList[0].Power, 27);
    EXPECT_DOUBLE_EQ(Lists().SpikeList[4].Power, 23);
    EXPECT_GT(Lists().PulseList[0].Score, Lists().PulseList[4].Score);
}

TEST_F(SelectorTest, FastWorkUnitsCanBeLeftOut) {
    Archive(1, Result(80, 0, 0, /*chirp=*/0.05));
    Archive(2, Result(80, 0, 0, /*chirp=*/0.1));
    Start(2);
    monitor_->MenuTotalIgnoreClick();

    monitor_->WUComboBoxChange(monitor::kTotalItem);

    ASSERT_EQ(Lists().SpikeList.size(), 80u);
    EXPECT_EQ(Lists().SpikeList.front().WorkUnit, 2);
}

TEST_F(SelectorTest, AnArchivedWorkUnitIsShownFromItsFile) {
    Archive(2, Result(2, 1, 1));
    Start(2);

    monitor_->WUComboBoxChange(3);

    EXPECT_EQ(monitor_->ShownView(), 3);
    EXPECT_EQ(monitor_->OutfilePath(), history::ArchiveFilePath(program_.Path(), 2));
    EXPECT_EQ(Lists().SpikeList.size(), 2u);
    EXPECT_EQ(view_.Text(Control::LeftTimeCaption), "File Date:");
    EXPECT_EQ(view_.Text(Control::TotalTimeCaption), "Total time:");
    EXPECT_NE(view_.Text(Control::LeftTimeLabel).find(':'), std::string::npos);
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "100%");
    EXPECT_TRUE(view_.Visible(Control::WUPanel));
    EXPECT_TRUE(view_.Visible(Control::SAHVerLabel));
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer1));

    // Back to the live work unit.
    monitor_->WUComboBoxChange(monitor::kCurrentItem);
    EXPECT_TRUE(monitor_->LiveMode());
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer1));
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer3));
    EXPECT_EQ(view_.Text(Control::LeftTimeCaption), "Estimated time left:");
    EXPECT_EQ(monitor_->StatePath(), client_.Path("state.sah"));
    EXPECT_FALSE(view_.Visible(Control::ZoomBtn));
}

TEST_F(SelectorTest, TheZoomButtonShowsOnlyForArchivesOfWideSearches) {
    // GIVEN archives written by clients 2.04 (±10 Hz/s) and 3.01 (±50 Hz/s)
    const std::string spike = sample::SpikeLine({});
    Archive(1, sample::ResultFile(sample::WorkUnitFile(), 2, 4, sample::StateFile(), spike));
    Archive(2, sample::ResultFile(sample::WorkUnitFile(), 3, 1, sample::StateFile(), spike));
    Start(2);

    monitor_->WUComboBoxChange(monitor::kTotalItem);
    EXPECT_TRUE(view_.Visible(Control::ZoomBtn));

    // WHEN the 2.04 archive is shown THEN its natural view needs no zoom button
    monitor_->WUComboBoxChange(2);
    EXPECT_EQ(monitor_->Bar().ZoomState(), 0);
    EXPECT_FALSE(view_.Visible(Control::ZoomBtn));

    monitor_->WUComboBoxChange(3);
    EXPECT_EQ(monitor_->Bar().ZoomState(), 1);
    EXPECT_TRUE(view_.Visible(Control::ZoomBtn));

    monitor_->WUComboBoxChange(2);
    EXPECT_FALSE(view_.Visible(Control::ZoomBtn));
}

TEST_F(SelectorTest, MissingArchiveFileIsReportedAndMayBeTriedAgain) {
    Archive(1, Result(2, 0, 0));
    Start(2);

    monitor_->WUComboBoxChange(3);

    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(dialogs_.errors[0], "Old file not found");
    EXPECT_EQ(monitor_->ShownView(), monitor::kCurrentItem);
    EXPECT_TRUE(Lists().Empty());

    Archive(2, Result(1, 0, 0));
    monitor_->WUComboBoxChange(3);
    EXPECT_EQ(monitor_->ShownView(), 3);
    EXPECT_EQ(Lists().SpikeList.size(), 1u);
}

TEST_F(SelectorTest, TheClientsFinishBringsTheLiveViewBack) {
    Start(0);
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    ASSERT_TRUE(view_.TimerOn(TimerId::Timer3));
    monitor_->Timer3Timer();
    EXPECT_EQ(monitor_->ShownView(), monitor::kTotalItem) << "nothing finished yet";

    client_.Write("result.sah", Result(1, 0, 0));
    monitor_->Timer3Timer();

    EXPECT_EQ(monitor_->ShownView(), monitor::kCurrentItem);
    EXPECT_EQ(view_.selectorIndex, monitor::kCurrentItem);
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer3));
    // The finished work unit got archived on the way.
    EXPECT_TRUE(program_.Exists("old/seti1.txt"));
}

TEST_F(SelectorTest, ClosingTheWindowReturnsToTheLiveView) {
    Start(0);
    monitor_->WUComboBoxChange(monitor::kTotalItem);

    monitor_->FormClose();

    EXPECT_EQ(monitor_->ShownView(), monitor::kCurrentItem);
    EXPECT_FALSE(view_.windowShown);
}

}  // namespace
