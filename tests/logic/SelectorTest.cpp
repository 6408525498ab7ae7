// The work-unit selector: the live work unit, one archived work unit, or
// the totals over the archive.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "history/Archive.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/CountingFiles.h"
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

// Counts file calls, and can refuse to rewrite the archive counter (a full
// disk after the copy went through).
class TestFiles : public testsupport::CountingFiles {
public:
    using CountingFiles::CountingFiles;
    bool WriteFile(const std::string& path, std::string_view bytes) override {
        if (refuseCounter && path.ends_with("lastnum.mon")) return false;
        return CountingFiles::WriteFile(path, bytes);
    }
    // How many times a file of the archive was looked at.
    std::size_t ArchiveLookups() const {
        std::size_t n = 0;
        for (const std::string& call : calls)
            if (call.find("seti") != std::string::npos && !call.starts_with("Read")) ++n;
        return n;
    }
    // How many times a file of the archive was read.
    std::size_t ArchiveReads() const {
        std::size_t n = 0;
        for (const std::string& call : calls)
            if (call.find("seti") != std::string::npos && call.starts_with("Read")) ++n;
        return n;
    }
    bool refuseCounter = false;
};

void ExpectSameLists(const signals::SignalLists& a, const signals::SignalLists& b) {
    EXPECT_EQ(a.SpikeList, b.SpikeList);
    EXPECT_EQ(a.GaussianList, b.GaussianList);
    EXPECT_EQ(a.TripletList, b.TripletList);
    EXPECT_EQ(a.PulseList, b.PulseList);
}

class SelectorTest : public ::testing::Test {
protected:
    SelectorTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")),
          files_(native_.services().files) {
        sample::WriteSampleClientDir(client_.Path());
        program_.MakeDir("old");
    }

    void Archive(std::int32_t number, const std::string& result) {
        program_.Write("old/seti" + std::to_string(number) + ".txt", result);
    }
    void Start(std::int32_t archiveCount) {
        program_.Write("lastnum.mon", "last\r\n" + std::to_string(archiveCount) + "\r\n");
        const platform::Services real = native_.services();
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, real.WithFiles(files_));
        monitor_->OpenClientDirectory(client_.Path(), {});
    }
    const signals::SignalLists& Lists() const { return monitor_->Lists(); }
    // The client finishes its work unit: the result file appears.
    void Finish(const std::string& name = "wu-finished") {
        sample::WorkUnitFields unit;
        unit.name = name;
        client_.Write("result.sah", sample::ResultFile(unit, {}, sample::SpikeLine({})));
    }

    TempDir program_, client_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    platform::NativePlatform native_;
    TestFiles files_;
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

// What was parsed of each archive is kept: "total" chosen again reads no
// archive file and shows what a fresh reading shows; an archive replaced
// (even by one of the same size), deleted or added is read anew or left out.
TEST_F(SelectorTest, TotalsKeepWhatWasParsedUntilAnArchiveChanges) {
    Archive(1, Result(2, 1, 0));
    Archive(2, Result(1, 3, 2));
    Archive(3, Result(4, 0, 1));
    Start(4);
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    const signals::SignalLists first = Lists();
    ASSERT_EQ(first.SpikeList.size(), 7u);

    monitor_->WUComboBoxChange(monitor::kCurrentItem);
    files_.calls.clear();
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    EXPECT_EQ(files_.ArchiveReads(), 0u);
    ExpectSameLists(Lists(), first);

    // The same size, another stamp: spike powers 31, 32 instead of 21, 22.
    const std::string before = program_.Read("old/seti1.txt");
    std::string replaced = before;
    for (std::size_t at = 0; (at = replaced.find("power=2", at)) != std::string::npos; ++at)
        replaced[at + 6] = '3';
    ASSERT_NE(replaced, before);
    Archive(1, replaced);
    const auto path = std::filesystem::path(program_.Path("old/seti1.txt"));
    std::filesystem::last_write_time(path,
                                     std::filesystem::last_write_time(path) + std::chrono::hours(1));
    Archive(2, Result(5, 0, 0));
    std::filesystem::remove(program_.Path("old/seti3.txt"));
    Archive(4, Result(1, 1, 1));
    monitor_->WUComboBoxChange(monitor::kCurrentItem);
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    const signals::SignalLists kept = Lists();
    ASSERT_EQ(kept.SpikeList.size(), 2u + 5u + 1u);
    EXPECT_DOUBLE_EQ(kept.SpikeList[0].Power, 31);
    EXPECT_EQ(kept.SpikeList.back().WorkUnit, 4);
    EXPECT_EQ(kept.PulseList.size(), 1u);

    // A window started afresh reads the same.
    Start(4);
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    ExpectSameLists(Lists(), kept);
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

// The "&Total" menu rebuilds the totals; whether a work unit is in progress
// does not change by that, so the finish watch stays on and the finished
// work unit still gets archived.
TEST_F(SelectorTest, TotalMenuClicksKeepTheFinishWatch) {
    Archive(1, Result(7, 0, 0));
    Start(1);
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    ASSERT_TRUE(monitor_->TimerEnabled(TimerId::Timer3));

    monitor_->TotalMenuClick(2);
    EXPECT_TRUE(monitor_->TimerEnabled(TimerId::Timer3)) << "Best 5";
    EXPECT_EQ(Lists().SpikeList.size(), 5u);
    monitor_->TotalMenuClick(3);
    monitor_->TotalMenuClick(1);
    monitor_->MenuTotalIgnoreClick();
    EXPECT_TRUE(monitor_->TimerEnabled(TimerId::Timer3));
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer3));

    // The totals, then an archived work unit, after such a click.
    monitor_->WUComboBoxChange(2);
    EXPECT_TRUE(monitor_->TimerEnabled(TimerId::Timer3));
    Finish();
    monitor_->Timer3Timer();

    EXPECT_EQ(monitor_->ShownView(), monitor::kCurrentItem);
    EXPECT_TRUE(program_.Exists("old/seti2.txt"));
    EXPECT_EQ(view_.selectorItems.back(), "2");
}

TEST_F(SelectorTest, CounterThatCannotGrowIsDamaged) {
    for (const char* count : {"2147483647", "10000000"}) {
        SCOPED_TRACE(count);
        dialogs_.errors.clear();
        view_.selectorItems.clear();
        program_.Write("lastnum.mon", std::string("last\r\n") + count + "\r\n");
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
        monitor_->OpenClientDirectory(client_.Path(), {});

        ASSERT_EQ(dialogs_.errors.size(), 1u);
        EXPECT_NE(dialogs_.errors[0].find("is damaged"), std::string::npos) << dialogs_.errors[0];
        EXPECT_EQ(view_.selectorItems, (std::vector<std::string>{"current", "total"}));
        EXPECT_EQ(program_.Read("lastnum.mon"), std::string("last\r\n") + count + "\r\n");
    }
}

TEST_F(SelectorTest, TotalsCostWhatTheArchiveHolds) {
    Archive(3, Result(1, 0, 0));
    Archive(4000, Result(2, 0, 0));
    Start(5000);
    ASSERT_TRUE(dialogs_.errors.empty());
    files_.calls.clear();

    monitor_->WUComboBoxChange(monitor::kTotalItem);

    EXPECT_EQ(Lists().SpikeList.size(), 3u);
    EXPECT_LE(files_.ArchiveLookups(), 4u) << "one listing of the folder, not a look per number";
}

// Numbers whose files existed were passed over by the archiver; every item
// still opens the archive whose number it shows, as after a restart.
TEST_F(SelectorTest, ItemsOpenTheArchiveTheyName) {
    Archive(4, Result(4, 0, 0));
    Archive(5, Result(5, 0, 0));
    Start(3);
    Finish();
    monitor_->Timer1Timer();
    ASSERT_TRUE(program_.Exists("old/seti6.txt"));

    EXPECT_EQ(view_.selectorItems,
              (std::vector<std::string>{"current", "total", "1", "2", "3", "4", "5", "6"}));
    monitor_->WUComboBoxChange(7);
    EXPECT_EQ(monitor_->OutfilePath(), history::ArchiveFilePath(program_.Path(), 6));
    monitor_->WUComboBoxChange(5);
    EXPECT_EQ(monitor_->OutfilePath(), history::ArchiveFilePath(program_.Path(), 4));
    EXPECT_EQ(Lists().SpikeList.size(), 4u);
}

TEST_F(SelectorTest, AnArchiveWhoseCounterCouldNotBeWrittenStillHasItsItem) {
    Archive(1, Result(1, 0, 0));
    Start(1);
    files_.refuseCounter = true;
    Finish();
    monitor_->Timer1Timer();

    ASSERT_TRUE(program_.Exists("old/seti2.txt"));
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_NE(dialogs_.errors[0].find("seti2.txt"), std::string::npos);
    EXPECT_EQ(view_.selectorItems, (std::vector<std::string>{"current", "total", "1", "2"}));
    monitor_->WUComboBoxChange(3);
    EXPECT_EQ(monitor_->OutfilePath(), history::ArchiveFilePath(program_.Path(), 2));
}

// Leaving the live view near the end of the sweep: the fast finish watch
// stops, and no poll reads the finish into the archived view's lists.
TEST_F(SelectorTest, LeavingTheLiveViewStopsTheFastFinishWatch) {
    sample::StateFields state;
    state.cr = -48.5;
    client_.Write("state.sah", sample::StateFile(state));
    Archive(1, Result(2, 0, 0));
    Start(1);
    ASSERT_TRUE(monitor_->TimerEnabled(TimerId::Timer4));

    monitor_->WUComboBoxChange(2);
    EXPECT_FALSE(monitor_->TimerEnabled(TimerId::Timer4));
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer4));

    // A tick queued before the switch, and the client's finish.
    Finish();
    monitor_->Timer4Timer();
    monitor_->Timer1Timer();
    EXPECT_EQ(Lists().SpikeList.size(), 2u) << "the archive's signals, once";
    EXPECT_EQ(monitor_->ShownView(), 2);

    monitor_->Timer3Timer();
    EXPECT_EQ(monitor_->ShownView(), monitor::kCurrentItem);
    EXPECT_TRUE(program_.Exists("old/seti2.txt"));
}

// The totals show every archive's drift rates: the wide zoom, whatever
// client runs now.
TEST_F(SelectorTest, TotalsShowTheWideZoom) {
    client_.Write("version.sah", sample::VersionFile(2, 4));
    Archive(1, Result(1, 0, 0, /*chirp=*/30));
    Start(1);
    ASSERT_EQ(monitor_->Bar().ZoomState(), 0);

    monitor_->WUComboBoxChange(monitor::kTotalItem);
    EXPECT_EQ(monitor_->Bar().ZoomState(), 2);
    EXPECT_EQ(monitor_->Bar().DriftRange(), 50);

    monitor_->WUComboBoxChange(monitor::kCurrentItem);
    EXPECT_EQ(monitor_->Bar().ZoomState(), 0);
}

// The hand over a signal comes back after the view changed under it.
TEST_F(SelectorTest, TheGraphsHandCursorIsResetWithTheView) {
    Archive(1, Result(3, 0, 0, /*chirp=*/0));
    Start(1);
    monitor_->WUComboBoxChange(monitor::kTotalItem);
    const signals::Graph& graph = monitor_->GraphView();
    // A point over the signals' column.
    int x = -1, y = -1;
    for (int px = 0; px < 524 && x < 0; ++px)
        for (int py = 0; py < 247; ++py)
            if (graph.OverSignal(px, py)) {
                x = px;
                y = py;
                break;
            }
    ASSERT_GE(x, 0);
    monitor_->ImageMouseMove(x, y);
    ASSERT_TRUE(view_.State(Control::Image).handCursor);

    monitor_->WUComboBoxChange(2);
    EXPECT_FALSE(view_.State(Control::Image).handCursor);
    monitor_->ImageMouseMove(x, y);
    EXPECT_TRUE(view_.State(Control::Image).handCursor);
}

// A result whose only spike no sane computation gives: reading it shows the
// computer-error box.
std::string BrokenResult() {
    sample::SpikeSignal spike;
    spike.power = 1e17;
    return sample::ResultFile({}, {}, sample::SpikeLine(spike));
}

// The client finishes and returns its result while a box of the totals or
// of an archived work unit waits for the user: the result is archived all
// the same, and the window goes back to the live view once the box is
// closed.
TEST_F(SelectorTest, FinishWhileABoxIsOpenIsArchived) {
    for (const int shown : {monitor::kTotalItem, 2}) {
        SCOPED_TRACE(shown);
        TempDir program, client;
        ScopedEnv programEnv("SKYVANE_PROGRAM_DIR", program.Path());
        sample::WriteSampleClientDir(client.Path());
        program.Write("old/seti1.txt", BrokenResult());
        program.Write("lastnum.mon", "last\r\n1\r\n");
        RecordingView view;
        ScriptedDialogs dialogs;
        monitor::Monitor monitor(view, dialogs, native_.services());
        monitor.OpenClientDirectory(client.Path(), {});
        dialogs.whileOpen = [&] {
            sample::WorkUnitFields unit;
            unit.name = "wu-finished";
            client.Write("result.sah", sample::ResultFile(unit, {}, ""));
            monitor.Timer3Timer();
            monitor.Timer1Timer();
            std::filesystem::remove(client.Path("result.sah"));
            monitor.Timer3Timer();
        };

        monitor.WUComboBoxChange(shown);
        dialogs.whileOpen = nullptr;
        ASSERT_EQ(dialogs.warnings.size(), 1u);
        EXPECT_EQ(monitor.ShownView(), shown) << "the view changes only once the box is closed";

        EXPECT_TRUE(program.Exists("old/seti2.txt"));
        EXPECT_EQ(program.Read("lastnum.mon"), "wu-finished\r\n2\r\n");
        EXPECT_EQ(view.selectorItems.back(), "2");
        monitor.Timer3Timer();
        EXPECT_EQ(monitor.ShownView(), monitor::kCurrentItem);
        EXPECT_FALSE(program.Exists("old/seti3.txt"));
    }
}

}  // namespace
