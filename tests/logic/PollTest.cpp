// The polling loop driven tick by tick over a client directory the test
// changes as the client would: progress, the finish, the next work unit.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "support/CountingFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using testsupport::CountingFiles;
using testsupport::RecordingView;
using testsupport::ScopedEnv;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;
using views::Control;
using views::TimerId;

namespace {

std::string State(double cr, double cpu, double prog) {
    return "ncfft=12\ncr=" + std::to_string(cr) + "\nfl=2048\ncpu=" + std::to_string(cpu) +
           "\nprog=" + std::to_string(prog) +
           "\npotfreq=-1\nbs_power=0\nbg_power=0\nbg_true_mean=0\nbg_chisq=0\n";
}

constexpr const char* kHeader =
    "type=work unit\nname=wu-one\nstart_ra=1\nstart_dec=2\nend_ra=1\nend_dec=2\n"
    "angle_range=0.4\ntime_recorded= 2451189.5 (Sat Jan 09 12:00:00 1999)\n"
    "subband_base=1418741455\nsubband_sample_rate=9765.625\nreceiver=ao1420\n"
    "nsamples=1048576\nend_seti_header\n";

class PollTest : public ::testing::Test {
protected:
    PollTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")),
          files_(native_.services().files) {
        client_.Write("version.sah", "major_version=3\nminor_version=3\n");
        client_.Write("user_info.sah",
                      "email_addr=a@b\nname=A\ncountry=C\n"
                      "register_time=1 (Mon)\nnresults=1\ntotal_cpu=10\n");
        client_.Write("work_unit.sah", kHeader);
    }

    // Writes a client file with a last-write time `second` seconds into a
    // fixed past hour, so stamps differ exactly when the test wants them to.
    void WriteAt(std::string_view name, std::string_view bytes, int second) {
        client_.Write(name, bytes);
        // An hour ago, on a whole ten seconds, so that seconds 0 and 1 share
        // one two-second stamp.
        using namespace std::chrono;
        const auto base = floor<seconds>(system_clock::now() - hours(1));
        const auto aligned = base - base.time_since_epoch() % seconds(10);
        std::filesystem::last_write_time(client_.Path(name),
                                         file_clock::from_sys(aligned + seconds(second)));
    }

    void Start() {
        const platform::Services real = native_.services();
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, real.WithFiles(files_));
        monitor_->OpenClientDirectory(client_.Path(), {});
    }

    TempDir program_, client_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    platform::NativePlatform native_;
    CountingFiles files_;
    RecordingView view_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<monitor::Monitor> monitor_;
};

TEST_F(PollTest, StartShowsTheLiveProgress) {
    WriteAt("state.sah", State(8.5, 3600.75, 0.5), 0);

    Start();

    EXPECT_TRUE(monitor_->LiveMode());
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer1));
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "50%");
    EXPECT_EQ(view_.State(Control::ProgressBar).position, 75);
    EXPECT_EQ(view_.Text(Control::CPUTimeLabel), "1:00:00");
    EXPECT_EQ(view_.Text(Control::TotalTimeLabel), "2:00:00");
    EXPECT_EQ(view_.Text(Control::LeftTimeLabel), "1:00:00");
    EXPECT_DOUBLE_EQ(monitor_->Figures().CurrentChirp, 8.5);
    EXPECT_TRUE(view_.Visible(Control::NoSignalsLabel));
}

TEST_F(PollTest, QuietPollCostsTwoFileTests) {
    WriteAt("state.sah", State(1, 100, 0.1), 0);
    Start();
    files_.calls.clear();

    monitor_->Timer1Timer();

    EXPECT_EQ(files_.calls, (std::vector<std::string>{"FileExists " + client_.Path("result.sah"),
                                                      "FileStamp " + client_.Path("state.sah")}));
}

TEST_F(PollTest, ReadsTheStateOnlyWhenItsStampChanges) {
    WriteAt("state.sah", State(1, 100, 0.1), 0);
    Start();

    // Rewritten within the same two seconds: the same stamp, not re-read.
    WriteAt("state.sah", State(1, 200, 0.2), 1);
    monitor_->Timer1Timer();
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "10%");

    WriteAt("state.sah", State(1, 200, 0.2), 10);
    monitor_->Timer1Timer();
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "20%");
    EXPECT_EQ(view_.Text(Control::CPUTimeLabel), "0:03:20");
}

TEST_F(PollTest, FinishWaitsForTheNextWorkUnitAndStartsItEmpty) {
    WriteAt("state.sah", State(-30, 5000, 0.9), 0);
    Start();

    // GIVEN the client finished: result written, work unit and state gone
    WriteAt("result.sah", std::string(kHeader) + State(-50, 5555, 1), 20);
    std::filesystem::remove(client_.Path("state.sah"));
    std::filesystem::remove(client_.Path("work_unit.sah"));

    // WHEN the poll ticks
    monitor_->Timer1Timer();

    // THEN the window shows the finished work unit from the result file
    // and waits for the next one
    EXPECT_FALSE(monitor_->LiveMode());
    EXPECT_EQ(monitor_->WorkUnitPath(), client_.Path("result.sah"));
    EXPECT_EQ(monitor_->StatePath(), client_.Path("result.sah"));
    EXPECT_EQ(monitor_->OutfilePath(), client_.Path("result.sah"));
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "100%");
    EXPECT_EQ(view_.State(Control::ProgressBar).position, 150);
    EXPECT_EQ(view_.Text(Control::CPUTimeLabel), "1:32:35");
    EXPECT_EQ(view_.Text(Control::TotalTimeLabel), "1:32:35");
    EXPECT_EQ(view_.Text(Control::LeftTimeLabel), "0:00:00");
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer1));
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer2));
    // AND the result was archived as number 1
    EXPECT_EQ(program_.Read("old/seti1.txt"), client_.Read("result.sah"));
    EXPECT_EQ(view_.selectorItems.back(), "1");
    EXPECT_EQ(monitor_->ArchiveCount(), 1);

    // AND waiting changes nothing while the client has no new work unit
    monitor_->Timer2Timer();
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer2));

    // WHEN the client returns the result and starts the next work unit
    std::filesystem::remove(client_.Path("result.sah"));
    WriteAt("work_unit.sah", kHeader, 30);
    WriteAt("state.sah", State(0, 0, 0), 30);
    monitor_->Timer2Timer();

    // THEN the window is live again with an empty progress display
    EXPECT_TRUE(monitor_->LiveMode());
    EXPECT_EQ(monitor_->WorkUnitPath(), client_.Path("work_unit.sah"));
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer1));
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer2));
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "0%");
    EXPECT_EQ(view_.Text(Control::LeftTimeLabel), "unknown");
    EXPECT_EQ(view_.Text(Control::TotalTimeLabel), "unknown");
    EXPECT_EQ(view_.Text(Control::BestPeakLabel), "none");
}

TEST_F(PollTest, ResultWrittenInTheSameTwoSecondsAsTheLastStateIsRead) {
    WriteAt("state.sah", State(-49, 5000, 0.9), 0);
    Start();
    ASSERT_EQ(view_.Text(Control::PercentageLabel), "90%");

    // The result file's stamp equals the state file's last one.
    WriteAt("result.sah", std::string(kHeader) + State(-50, 5555, 1), 1);
    monitor_->Timer1Timer();

    EXPECT_FALSE(monitor_->LiveMode());
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "100%");
    EXPECT_EQ(view_.Text(Control::CPUTimeLabel), "1:32:35");
}

TEST_F(PollTest, FastWatchNearTheEndOfTheSweep) {
    WriteAt("state.sah", State(-48.5, 5000, 0.99), 0);
    Start();
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer4));

    // Nothing yet: the watch goes on.
    monitor_->Timer4Timer();
    EXPECT_TRUE(view_.TimerOn(TimerId::Timer4));

    WriteAt("result.sah", std::string(kHeader) + State(-50, 5050, 1), 20);
    monitor_->Timer4Timer();
    EXPECT_FALSE(monitor_->LiveMode());
    // The finished search stands at its end, below the watch's line: one
    // more quick look finds nothing new and the watch stops.
    monitor_->Timer4Timer();
    EXPECT_FALSE(view_.TimerOn(TimerId::Timer4));
}

TEST_F(PollTest, TheClientsVersionChoosesTheZoom) {
    WriteAt("state.sah", State(1, 100, 0.1), 0);
    for (const auto& [minor, zoom] : {std::pair{"04\n", 0}, std::pair{"01\n", 1}}) {
        client_.Write("version.sah", std::string("major_version=") + (zoom == 0 ? "2" : "3") +
                                         "\nminor_version=" + minor);
        Start();
        EXPECT_EQ(monitor_->Bar().ZoomState(), zoom);
    }
    client_.Write("version.sah", "major_version=3\nminor_version=3\n");
    Start();
    EXPECT_EQ(monitor_->Bar().ZoomState(), 2);
    EXPECT_EQ(monitor_->Bar().DriftRange(), 50);
    EXPECT_DOUBLE_EQ(monitor_->GraphView().XScale(), 24.8 / 5);

    // The button goes to the ±10 Hz/s view and back.
    monitor_->ZoomBtnClick();
    EXPECT_EQ(monitor_->Bar().ZoomState(), 0);
    monitor_->ZoomBtnClick();
    EXPECT_EQ(monitor_->Bar().ZoomState(), 2);
}

TEST_F(PollTest, FinishedSearchShowsTheWholeBarOrange) {
    WriteAt("state.sah", State(-30, 5000, 0.9), 0);
    Start();
    WriteAt("result.sah", std::string(kHeader) + State(-50, 5555, 1), 20);

    monitor_->Timer1Timer();

    EXPECT_DOUBLE_EQ(monitor_->Figures().CurrentChirp, -50);
    EXPECT_EQ(monitor_->Bar().Progress(signals::kGaugeN1), 0);
    EXPECT_EQ(monitor_->Bar().Progress(signals::kGaugeN2), 0);
    EXPECT_EQ(monitor_->Bar().Progress(signals::kGaugeP2),
              monitor_->Bar().Maximum(signals::kGaugeP2));
}

TEST_F(PollTest, MissingStateFileResetsTheDisplay) {
    WriteAt("state.sah", State(3, 100, 0.3), 0);
    Start();
    ASSERT_EQ(view_.Text(Control::PercentageLabel), "30%");

    std::filesystem::remove(client_.Path("state.sah"));
    monitor_->Timer1Timer();

    EXPECT_EQ(view_.Text(Control::PercentageLabel), "0%");
    EXPECT_EQ(view_.Text(Control::CPUTimeLabel), "00:00:00");
    EXPECT_DOUBLE_EQ(monitor_->Figures().CurrentChirp, 0);
}

TEST_F(PollTest, TickDuringAMessageBoxStartsNoReading) {
    // GIVEN a state file without its "prog" key: reading it shows a message
    WriteAt("state.sah", "cr=1\ncpu=5\npotfreq=1\n", 0);
    int ticksDuringBox = 0;
    dialogs_.whileOpen = [&] {
        // WHEN timers fire while the box is open
        ++ticksDuringBox;
        const auto before = files_.calls.size();
        monitor_->Timer1Timer();
        monitor_->Timer2Timer();
        monitor_->Timer4Timer();
        // THEN none of them reads a file: they only look whether the client
        // has finished, to archive its result without waiting for the box
        for (auto i = before; i < files_.calls.size(); ++i)
            EXPECT_EQ(files_.calls[i], "FileExists " + client_.Path("result.sah"));
    };

    Start();

    EXPECT_EQ(ticksDuringBox, 1);
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_NE(dialogs_.errors[0].find("\"prog\""), std::string::npos) << dialogs_.errors[0];
}

// A spike no sane computation gives is dropped with one warning; the
// following checkpoints do not bring the warning back.
TEST_F(PollTest, ComputerErrorIsReportedOncePerWorkUnit) {
    WriteAt("state.sah", State(1, 100, 0.1), 0);
    client_.Write("outfile.sah",
                  "spike: power=1e17 ra=1 dec=2 time=0.001 freq=1418750000.5 fft_len=16384 "
                  "chirp_rate=0\n");
    Start();
    ASSERT_EQ(dialogs_.warnings.size(), 1u);
    EXPECT_TRUE(monitor_->Lists().Empty());

    WriteAt("state.sah", State(1, 200, 0.2), 10);
    monitor_->Timer1Timer();
    WriteAt("state.sah", State(1, 300, 0.3), 20);
    monitor_->Timer1Timer();
    EXPECT_EQ(dialogs_.warnings.size(), 1u);

    // What the client appends later is still read.
    std::string outfile = client_.Read("outfile.sah");
    outfile +=
        "spike: power=30 ra=1 dec=2 time=0.001 freq=1418750001.5 fft_len=16384 "
        "chirp_rate=1.5\n";
    client_.Write("outfile.sah", outfile);
    WriteAt("state.sah", State(1, 400, 0.4), 30);
    monitor_->Timer1Timer();
    EXPECT_EQ(monitor_->Lists().SpikeList.size(), 1u);
    EXPECT_EQ(dialogs_.warnings.size(), 1u);
}

// A box of a reading stays open while the client finishes and returns its
// result: the result is archived all the same, and the window moves on to
// the next work unit once the box is closed.
TEST_F(PollTest, FinishWhileABoxIsOpenIsArchived) {
    WriteAt("state.sah", State(1, 100, 0.1), 0);
    Start();
    dialogs_.whileOpen = [this] {
        WriteAt("result.sah", std::string(kHeader) + State(-50, 5555, 1), 20);
        monitor_->Timer1Timer();
        // The client returns the result and starts its next work unit.
        std::filesystem::remove(client_.Path("result.sah"));
        std::filesystem::remove(client_.Path("outfile.sah"));
        client_.Write("work_unit.sah", std::string(kHeader).replace(20, 6, "wu-two"));
        WriteAt("state.sah", State(0.5, 10, 0.01), 30);
        monitor_->Timer1Timer();
    };
    // A damaged signal line: the scanner's message box.
    client_.Write("outfile.sah", "spike: power=30 ra=1\n");
    WriteAt("state.sah", State(1, 200, 0.2), 10);
    monitor_->Timer1Timer();
    dialogs_.whileOpen = nullptr;
    ASSERT_EQ(dialogs_.errors.size(), 1u) << "the box that stayed open";

    EXPECT_EQ(program_.Read("old/seti1.txt"), std::string(kHeader) + State(-50, 5555, 1));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-one\r\n1\r\n");
    EXPECT_EQ(view_.selectorItems.back(), "1");

    // The box closed: the next tick shows the new work unit.
    monitor_->Timer1Timer();
    EXPECT_TRUE(monitor_->LiveMode());
    EXPECT_EQ(monitor_->Figures().WorkUnitName, "wu-two");
    EXPECT_EQ(view_.Text(Control::PercentageLabel), "1%");
}

}  // namespace
