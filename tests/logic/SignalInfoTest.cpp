// The signal info window's logic on a headless window: pages, stepping,
// every text and number format, the explanation of peaks, sorting, widths,
// and the window's life. Also a click on the graph through the main
// window's logic.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "inspection/HeadlessSignalInfoView.h"
#include "inspection/SignalInfo.h"
#include "inspection/SignalSort.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using inspection::HeadlessSignalInfoView;
using inspection::kNoSortKey;
using inspection::PeakInterpretation;
using inspection::SignalDecimals;
using inspection::SignalInfo;
using inspection::SignalNumber;
using inspection::SortSignalList;
using views::SignalInfoControl;

namespace {

constexpr double kTimeRecorded = 2451981.3562;

signals::TSpikeRec Spike(double power, double freq = 1418745210.5, double chirp = 0.5) {
    signals::TSpikeRec r;
    r.Power = power;
    r.Freq = freq;
    r.ChirpRate = chirp;
    r.FftLen = 16384;
    r.Time = 0.0005;
    return r;
}

signals::TGaussianRec Gaussian(double score, double chirp = 0.5, bool hasPot = true) {
    signals::TGaussianRec r;
    r.Power = 3;
    r.ChiSqr = 3 / score;
    r.Score = score;
    r.ChirpRate = chirp;
    r.FftLen = 64;
    r.Sigma = 4;
    r.Mean = 1;
    r.MaxPow = 8;
    r.Time = 0.0004;
    r.HasPot = hasPot;
    r.FileVersion = 3.03f;
    return r;
}

signals::TTripletRec Triplet(double power) {
    signals::TTripletRec r;
    r.Power = power;
    r.Period = 2.4;
    r.FftLen = 512;
    r.Freq = 1418745210.5;
    return r;
}

signals::TPulseRec Pulse(double score, std::size_t samples = 32) {
    signals::TPulseRec r;
    r.Score = score;
    r.Power = 4;
    r.Period = 6.5;
    r.FftLen = 256;
    r.Freq = 1418745210.5;
    r.Prof.assign(samples, 100);
    r.LenProf = static_cast<std::uint16_t>(samples);
    return r;
}

class SignalInfoTest : public ::testing::Test {
protected:
    SignalInfoTest() {
        figures_.PulsesEnabled = true;
        figures_.SubbandSampleRate = 9765.625;
        figures_.TimeRecorded = kTimeRecorded;
        figures_.WorkUnitSeconds = 107.374;
    }

    // A click on the graph that selected signal `index` of `kind`.
    void Click(int kind, std::int32_t index) {
        selected_ = {-1, -1, -1, -1};
        selected_[static_cast<std::size_t>(kind)] = index;
        info_.ShowSignalInfo();
    }
    HeadlessSignalInfoView& View() { return *windows_.back(); }
    std::string Text(SignalInfoControl c) { return View().Text(c); }

    signals::SignalLists lists_;
    std::array<std::int32_t, 4> selected_{-1, -1, -1, -1};
    clientfiles::ClientFigures figures_;
    clientfiles::ReaderEnvironment env_;
    int reorders_ = 0;
    // Sets up each window as it is created.
    std::function<void(HeadlessSignalInfoView&)> prepare_;
    std::vector<std::unique_ptr<HeadlessSignalInfoView>> windows_;
    SignalInfo info_{[this](views::SignalInfoEvents&) -> views::SignalInfoView& {
                         windows_.push_back(std::make_unique<HeadlessSignalInfoView>());
                         if (prepare_) prepare_(*windows_.back());
                         return *windows_.back();
                     },
                     lists_,
                     selected_,
                     figures_,
                     env_,
                     [this] { ++reorders_; }};
};

// ------------------------------------------------------------------ numbers

TEST(SignalNumber, ShortestFormWithTheUsersSeparator) {
    EXPECT_EQ(SignalNumber(2.5, '.'), "2.5");
    EXPECT_EQ(SignalNumber(3, '.'), "3");
    EXPECT_EQ(SignalNumber(-0.5, ','), "-0,5");
    EXPECT_EQ(SignalNumber(0, '.'), "0");
    EXPECT_EQ(SignalNumber(-0.0, '.'), "0");
    EXPECT_EQ(SignalNumber(1419500000.0, '.'), "1419500000");
    EXPECT_EQ(SignalNumber(1418745210.2273, '.'), "1418745210.2273");
    // 15 significant digits at most
    EXPECT_EQ(SignalNumber(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(SignalNumber(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(SignalNumber(1234567890.123456789, '.'), "1234567890.12346");
}

TEST(SignalNumber, ExponentFormOnlyBelowOneHundredThousandth) {
    EXPECT_EQ(SignalNumber(0.0001, '.'), "0.0001");
    EXPECT_EQ(SignalNumber(0.00005, '.'), "0.00005");
    EXPECT_EQ(SignalNumber(0.00001, '.'), "0.00001");
    EXPECT_EQ(SignalNumber(0.000015, ','), "0,000015");
    EXPECT_EQ(SignalNumber(0.0000099, '.'), "9.9E-6");
    EXPECT_EQ(SignalNumber(1.5e-6, '.'), "1.5E-6");
    EXPECT_EQ(SignalNumber(-1.5e-6, ','), "-1,5E-6");
    EXPECT_EQ(SignalNumber(1e-7, '.'), "1E-7");
    EXPECT_EQ(SignalNumber(1e15, '.'), "1E15");
    EXPECT_EQ(SignalNumber(std::numeric_limits<double>::infinity(), '.'), "Inf");
    EXPECT_EQ(SignalNumber(std::nan(""), '.'), "NaN");
}

TEST(SignalNumber, DecimalsRoundHalvesToEven) {
    EXPECT_EQ(SignalDecimals(2.50, 2, '.'), "2.5");
    EXPECT_EQ(SignalDecimals(3.000, 3, '.'), "3");
    EXPECT_EQ(SignalDecimals(0.125, 2, '.'), "0.12");
    EXPECT_EQ(SignalDecimals(0.375, 2, '.'), "0.38");
    EXPECT_EQ(SignalDecimals(-1.23456, 4, '.'), "-1.2346");
    EXPECT_EQ(SignalDecimals(-0.00001, 3, '.'), "0");
    EXPECT_EQ(SignalDecimals(432.00000000000006, 1, '.'), "432");
}

TEST(SignalSeconds, SmallTimesAreRelativeLargeOnesJulian) {
    EXPECT_DOUBLE_EQ(inspection::SignalSeconds(0.005, kTimeRecorded), 432);
    EXPECT_DOUBLE_EQ(inspection::SignalSeconds(0.01, kTimeRecorded), 864);
    EXPECT_NEAR(inspection::SignalSeconds(kTimeRecorded + 0.001, kTimeRecorded), 86.4, 1e-4);
}

// ------------------------------------------------------------ explanation

TEST(PeakInterpretation, BelowThirtyIsNotExplained) {
    const std::string below = "Skyvane will try to identify peaks with relative power above 30.";
    EXPECT_EQ(PeakInterpretation(29.999, 1419000000, 0), below);
    EXPECT_NE(PeakInterpretation(30, 1419000000, 0), below);
    EXPECT_EQ(PeakInterpretation(30, 1419000000, 0), "This is a test signal at 1.1419GHz");
}

TEST(PeakInterpretation, TestSignalsAndKnownInterference) {
    EXPECT_EQ(PeakInterpretation(50, 1419000001.5, 0), "This is a test signal at 1.1419GHz");
    EXPECT_EQ(PeakInterpretation(50, 1418999998.5, 0), "This is a test signal at 1.1419GHz");
    // the windows are open at both ends
    EXPECT_EQ(PeakInterpretation(50, 1419000002, 0).rfind("Strong signal", 0), 0u);
    EXPECT_EQ(PeakInterpretation(50, 1418999998, 0).rfind("Strong signal", 0), 0u);
    EXPECT_EQ(PeakInterpretation(50, 1421000000, 0), "This is a test signal at 1.1421GHz");
    EXPECT_EQ(PeakInterpretation(50, 1420000001, 0),
              "This is probably an interference at 1.142GHz caused in the filtering process");
    EXPECT_EQ(PeakInterpretation(50, 1418750000, 0),
              "This is a well known interference at 1.41875GHz");
    // a test signal stays one however strong
    EXPECT_EQ(PeakInterpretation(200000, 1421000000, 5), "This is a test signal at 1.1421GHz");
}

TEST(PeakInterpretation, TooStrongDependsOnTheDriftRate) {
    const double f = 1419512345.6;
    EXPECT_EQ(PeakInterpretation(100000, f, 0).rfind("Strong signal from unknown source.", 0), 0u);
    EXPECT_EQ(PeakInterpretation(100001, f, 0.1),
              "This signal is too strong. It is probably either an error or Arecibo was "
              "transmitting.");
    EXPECT_EQ(PeakInterpretation(100001, f, -0.1),
              "This signal is too strong. It is probably either an error or Arecibo was "
              "transmitting.");
    EXPECT_EQ(PeakInterpretation(100001, f, -0.15),
              "This signal is too strong and is found at an unlikely drift rate. It can only be "
              "a computer error.");
}

TEST(PeakInterpretation, RoundFrequencyVerdicts) {
    EXPECT_EQ(PeakInterpretation(50, 1419500000.0, 0),
              "Strong signal from unknown source.This signal is very close to a round "
              "frequency, which is a clear sign of an Earth based interference.");
    EXPECT_EQ(PeakInterpretation(50, 1419500100.0, 0),
              "Strong signal from unknown source.This signal is close to a round frequency, "
              "which is a clear sign of an Earth based interference.");
    // A run of exactly four round digits (tenths of a hertz: ...5010000) is
    // already "very" close; three are close.
    EXPECT_EQ(PeakInterpretation(50, 1419501000.0, 0),
              "Strong signal from unknown source.This signal is very close to a round "
              "frequency, which is a clear sign of an Earth based interference.");
    EXPECT_EQ(PeakInterpretation(50, 1419512345.6, 0),
              "Strong signal from unknown source.This signal is not close to a round "
              "frequency.");
}

// ------------------------------------------------------------------ pages

TEST_F(SignalInfoTest, OneSignalPageHasNeitherScrollBarNorSortBox) {
    lists_.SpikeList = {Spike(50)};
    lists_.GaussianList = {Gaussian(1), Gaussian(2)};

    Click(0, 0);

    EXPECT_TRUE(View().shown);
    EXPECT_EQ(View().activePage, 0);
    EXPECT_EQ(Text(SignalInfoControl::PeakNumLabel), "Peak 1 out of 1");
    EXPECT_FALSE(View().Visible(SignalInfoControl::PeakScrollBar));
    EXPECT_FALSE(View().Visible(SignalInfoControl::PeakSortBox));
    EXPECT_TRUE(View().Visible(SignalInfoControl::GausScrollBar));
    EXPECT_TRUE(View().Visible(SignalInfoControl::GausSortBox));
    EXPECT_EQ(View().State(SignalInfoControl::GausScrollBar).scrollMax, 1);
    EXPECT_EQ(View().SortText(SignalInfoControl::GausSortBox), "Unsorted");
}

TEST_F(SignalInfoTest, KindsWithoutSignalsHaveNoPage) {
    lists_.GaussianList = {Gaussian(1)};
    lists_.PulseList = {Pulse(1)};

    Click(1, 0);

    EXPECT_FALSE(View().PagePresent(0));
    EXPECT_TRUE(View().PagePresent(1));
    EXPECT_FALSE(View().PagePresent(2));
    EXPECT_TRUE(View().PagePresent(3));
}

TEST_F(SignalInfoTest, TripletsAndPulsesNeedAClientThatReportsThem) {
    figures_.PulsesEnabled = false;
    lists_.SpikeList = {Spike(50)};
    lists_.TripletList = {Triplet(10)};
    lists_.PulseList = {Pulse(1)};

    Click(0, 0);

    EXPECT_TRUE(View().PagePresent(0));
    EXPECT_FALSE(View().PagePresent(2));
    EXPECT_FALSE(View().PagePresent(3));
}

TEST_F(SignalInfoTest, OpensOnTheClickedKindAtItsIndex) {
    lists_.SpikeList = {Spike(50), Spike(60), Spike(70)};
    lists_.TripletList = {Triplet(10), Triplet(11)};

    Click(2, 1);

    EXPECT_EQ(View().activePage, 2);
    EXPECT_EQ(info_.ActivePage(), 2);
    EXPECT_EQ(Text(SignalInfoControl::TripletNumLabel), "Triplet 2 out of 2");
    EXPECT_EQ(View().State(SignalInfoControl::TripletScrollBar).scrollPosition, 1);
    // the other pages show their first entry, which becomes their selection
    EXPECT_EQ(Text(SignalInfoControl::PeakNumLabel), "Peak 1 out of 3");
    EXPECT_EQ(selected_[0], 0);
    EXPECT_EQ(selected_[2], 1);
}

TEST_F(SignalInfoTest, AnIndexBeyondTheEndShowsTheLastEntry) {
    lists_.SpikeList = {Spike(50), Spike(60), Spike(70)};

    Click(0, 7);

    EXPECT_EQ(Text(SignalInfoControl::PeakNumLabel), "Peak 3 out of 3");
    EXPECT_EQ(View().State(SignalInfoControl::PeakScrollBar).scrollPosition, 2);
    EXPECT_EQ(selected_[0], 2);
}

TEST_F(SignalInfoTest, AClickThatSelectedNothingShowsTheFirstPage) {
    lists_.GaussianList = {Gaussian(1)};
    lists_.PulseList = {Pulse(1)};

    info_.ShowSignalInfo();

    EXPECT_EQ(View().activePage, 1);
    EXPECT_EQ(View().clientWidth, 469);
}

TEST_F(SignalInfoTest, ScrollingShowsTheEntryAndSelectsIt) {
    lists_.SpikeList = {Spike(50), Spike(60), Spike(70)};
    Click(0, 0);
    const int focus = View().focusMoves;

    info_.ScrollBarChange(0, 2);

    EXPECT_EQ(Text(SignalInfoControl::PeakNumLabel), "Peak 3 out of 3");
    EXPECT_EQ(Text(SignalInfoControl::PeakPowerLabel), "70");
    EXPECT_EQ(selected_[0], 2);
    EXPECT_EQ(View().focusMoves, focus + 1);
}

TEST_F(SignalInfoTest, NumberLabelNamesTheWorkUnitInTotals) {
    lists_.SpikeList = {Spike(50)};
    lists_.SpikeList[0].WorkUnit = 7;

    Click(0, 0);
    EXPECT_EQ(View().Hint(SignalInfoControl::PeakNumLabel), "");

    env_.selector = clientfiles::SelectorView::Total;
    Click(0, 0);
    EXPECT_EQ(View().Hint(SignalInfoControl::PeakNumLabel), "Work Unit 7");
}

TEST_F(SignalInfoTest, PeakPageFigures) {
    signals::TSpikeRec spike = Spike(50.12345, 1418745210.2273, -1.23456);
    spike.FftLen = 8192;
    spike.Time = 0.005;
    lists_.SpikeList = {spike};

    Click(0, 0);

    EXPECT_EQ(Text(SignalInfoControl::PeakPowerLabel), "50.123");
    EXPECT_EQ(Text(SignalInfoControl::PeakResLabel), "1.192 Hz");
    EXPECT_EQ(Text(SignalInfoControl::PowResLabel), "25.062");
    EXPECT_EQ(Text(SignalInfoControl::PeakDriftLabel), "-1.2346 Hz/s");
    EXPECT_EQ(Text(SignalInfoControl::PeakFreqLabel), "1418745210.2273 Hz");
    EXPECT_EQ(Text(SignalInfoControl::PeakTimeLabel), "432 sec");
    EXPECT_EQ(Text(SignalInfoControl::Memo1),
              "Strong signal from unknown source.This signal is not close to a round frequency.");
}

TEST_F(SignalInfoTest, FiguresUseTheUsersDecimalSeparator) {
    env_.decimalSeparator = ',';
    lists_.SpikeList = {Spike(50.125, 1418745210.5, 0.25)};

    Click(0, 0);

    EXPECT_EQ(Text(SignalInfoControl::PeakPowerLabel), "50,125");
    EXPECT_EQ(Text(SignalInfoControl::PeakDriftLabel), "0,25 Hz/s");
    EXPECT_EQ(Text(SignalInfoControl::PeakFreqLabel), "1418745210,5 Hz");
}

TEST_F(SignalInfoTest, AJulianTimeCountsFromTheRecording) {
    signals::TSpikeRec spike = Spike(50);
    spike.Time = kTimeRecorded + 0.001;
    lists_.SpikeList = {spike};

    Click(0, 0);

    EXPECT_EQ(Text(SignalInfoControl::PeakTimeLabel), "86.4 sec");
    // a spike keeps its time as read
    EXPECT_DOUBLE_EQ(lists_.SpikeList[0].Time, kTimeRecorded + 0.001);
}

TEST_F(SignalInfoTest, GaussianPageLinesAndTheTimeMadeRelative) {
    signals::TGaussianRec g = Gaussian(1);
    g.Power = 3.13352;
    g.ChiSqr = 1.8234;
    g.Sigma = 8.44123;
    g.ChirpRate = -0.5;
    g.Freq = 1418745210.5;
    g.Time = kTimeRecorded + 0.0005;
    lists_.GaussianList = {g};

    Click(1, 0);

    EXPECT_EQ(Text(SignalInfoControl::GausNumLabel), "Gaussian 1 out of 1");
    EXPECT_EQ(Text(SignalInfoControl::GausLabel1),
              "Power 3.134, Fit 1.823, Score 1.719, Sigma 8.441 sec, Resolution 152.588 Hz");
    EXPECT_EQ(Text(SignalInfoControl::GausLabel2),
              "Drift Rate -0.5 Hz/s, Frequency 1418745210.5 Hz, Time 43.2 sec");
    // the record keeps the relative time, which the plot uses too
    EXPECT_NEAR(lists_.GaussianList[0].Time, 0.0005, 1e-9);
    // and showing it again does not subtract twice
    info_.RefreshGaussianPage(0);
    EXPECT_EQ(Text(SignalInfoControl::GausLabel2),
              "Drift Rate -0.5 Hz/s, Frequency 1418745210.5 Hz, Time 43.2 sec");
}

TEST_F(SignalInfoTest, TripletPageFigures) {
    signals::TTripletRec t = Triplet(11.207742);
    t.Period = 2.403412;
    t.ChirpRate = 4;
    t.Time = 0.0005;
    lists_.TripletList = {t};

    Click(2, 0);

    EXPECT_EQ(Text(SignalInfoControl::TripletPowerLabel), "11.208");
    EXPECT_EQ(Text(SignalInfoControl::TripletPeriodLabel), "2.403 sec");
    EXPECT_EQ(Text(SignalInfoControl::TripletResLabel), "19.073 Hz");
    EXPECT_EQ(Text(SignalInfoControl::TripletDriftLabel), "4 Hz/s");
    EXPECT_EQ(Text(SignalInfoControl::TripletFreqLabel), "1418745210.5 Hz");
    EXPECT_EQ(Text(SignalInfoControl::TripletTimeLabel), "43.2 sec");
}

TEST_F(SignalInfoTest, PulsePageLinesAndTheTimeMadeRelative) {
    signals::TPulseRec p = Pulse(1.070291);
    p.Power = 4.625519;
    p.Period = 6.782301;
    p.ChirpRate = -3.5;
    p.Time = kTimeRecorded + 0.0006;
    lists_.PulseList = {p};

    Click(3, 0);

    EXPECT_EQ(Text(SignalInfoControl::PulseLabel1),
              "Score 1.07, Power 4.626, Period 6.7823 sec, Resolution 38.147 Hz");
    EXPECT_EQ(Text(SignalInfoControl::PulseLabel2),
              "Drift Rate -3.5 Hz/s, Frequency 1418745210.5 Hz, Time 51.8 sec");
    EXPECT_NEAR(lists_.PulseList[0].Time, 0.0006, 1e-9);
}

TEST_F(SignalInfoTest, ExplanationIsRewrittenOnlyWhenItChanges) {
    lists_.SpikeList = {Spike(50), Spike(60), Spike(10)};
    Click(0, 0);
    ASSERT_EQ(View().State(SignalInfoControl::Memo1).textWrites, 1);

    info_.ScrollBarChange(0, 1);
    EXPECT_EQ(View().State(SignalInfoControl::Memo1).textWrites, 1);

    info_.ScrollBarChange(0, 2);
    EXPECT_EQ(View().State(SignalInfoControl::Memo1).textWrites, 2);
    EXPECT_EQ(Text(SignalInfoControl::Memo1),
              "Skyvane will try to identify peaks with relative power above 30.");
}

// ---------------------------------------------------------------- widths

TEST_F(SignalInfoTest, WidthFollowsThePage) {
    lists_.SpikeList = {Spike(50)};
    lists_.GaussianList = {Gaussian(1)};
    lists_.TripletList = {Triplet(10)};
    lists_.PulseList = {Pulse(1)};

    Click(0, 0);
    EXPECT_EQ(info_.DesignWidth(), 469);
    EXPECT_EQ(info_.GraphWidth(), 461);
    EXPECT_EQ(View().clientWidth, 293);

    info_.PageControl1Change(1);
    EXPECT_EQ(View().clientWidth, 469);
    info_.PageControl1Change(2);
    EXPECT_EQ(View().clientWidth, 293);
    info_.PageControl1Change(3);
    EXPECT_EQ(View().clientWidth, 469);
    info_.PageControl1Change(0);
    EXPECT_EQ(View().clientWidth, 293);

    Click(3, 0);
    EXPECT_EQ(View().clientWidth, 469);
    EXPECT_EQ(View().activePage, 3);
    Click(2, 0);
    EXPECT_EQ(View().clientWidth, 293);
}

TEST_F(SignalInfoTest, DesignSizesAreRememberedOnce) {
    lists_.SpikeList = {Spike(50)};
    Click(0, 0);
    info_.CloseSignalInfo();

    // A later window that reports other sizes changes nothing.
    prepare_ = [](HeadlessSignalInfoView& window) {
        window.designClientWidth = 600;
        window.designGraphWidth = 590;
    };
    Click(0, 0);

    EXPECT_EQ(info_.DesignWidth(), 469);
    EXPECT_EQ(info_.GraphWidth(), 461);
    EXPECT_EQ(View().clientWidth, 293);
}

// ------------------------------------------------------------- gaussians

TEST_F(SignalInfoTest, ClickedGaussianGivesWayToTheBestAtItsDriftRate) {
    lists_.GaussianList = {Gaussian(1.0, 0.5), Gaussian(3.0, 0.5), Gaussian(2.0, 0.5),
                           Gaussian(3.0, 0.5), Gaussian(10.0, -0.25)};

    Click(1, 2);

    EXPECT_EQ(selected_[1], 1);
    EXPECT_EQ(Text(SignalInfoControl::GausNumLabel), "Gaussian 2 out of 5");
}

TEST_F(SignalInfoTest, ClickedGaussianStaysWhenNoneBeatsIt) {
    lists_.GaussianList = {Gaussian(3.0, 0.5), Gaussian(1.0, 0.5), Gaussian(10.0, 0.25)};

    Click(1, 0);

    EXPECT_EQ(selected_[1], 0);
    EXPECT_EQ(Text(SignalInfoControl::GausNumLabel), "Gaussian 1 out of 3");
}

TEST_F(SignalInfoTest, GaussianPlotFollowsTheSamplesAndItsNotice) {
    lists_.GaussianList = {Gaussian(1, 0.5, false), Gaussian(2, 0.5, false),
                           Gaussian(3, 0.5, true)};
    info_.ShowSignalInfo();
    const auto& graph = View().State(SignalInfoControl::GausGraph);

    // a gaussian without samples: the notice and an empty frame
    EXPECT_TRUE(View().Visible(SignalInfoControl::PlotAvailLabel));
    ASSERT_EQ(graph.pictureWrites, 1);
    EXPECT_EQ(graph.picture->Width(), 461);
    EXPECT_EQ(graph.picture->Height(), 129);

    // the next one without samples changes nothing
    info_.ScrollBarChange(1, 1);
    EXPECT_EQ(graph.pictureWrites, 1);
    EXPECT_TRUE(View().Visible(SignalInfoControl::PlotAvailLabel));

    // one with samples hides the notice and is drawn
    info_.ScrollBarChange(1, 2);
    EXPECT_EQ(graph.pictureWrites, 2);
    EXPECT_FALSE(View().Visible(SignalInfoControl::PlotAvailLabel));

    // and after it, one without samples is drawn empty again
    info_.ScrollBarChange(1, 0);
    EXPECT_EQ(graph.pictureWrites, 3);
    EXPECT_TRUE(View().Visible(SignalInfoControl::PlotAvailLabel));
}

TEST_F(SignalInfoTest, PulsePlotNoticeAndNoRedrawOfEmptyProfiles) {
    lists_.PulseList = {Pulse(1, 0), Pulse(2, 0), Pulse(3, 32)};
    info_.ShowSignalInfo();
    const auto& graph = View().State(SignalInfoControl::PulseGraph);

    EXPECT_TRUE(View().Visible(SignalInfoControl::PulsePlotAvailLabel));
    EXPECT_EQ(graph.pictureWrites, 1);
    info_.ScrollBarChange(3, 1);
    EXPECT_EQ(graph.pictureWrites, 1);
    info_.ScrollBarChange(3, 2);
    EXPECT_EQ(graph.pictureWrites, 2);
    EXPECT_FALSE(View().Visible(SignalInfoControl::PulsePlotAvailLabel));
}

TEST_F(SignalInfoTest, PlotsTakeTheWindowsColoursAndHeight) {
    prepare_ = [](HeadlessSignalInfoView& window) {
        window.face = {240, 240, 240};
        window.shadow = {160, 160, 160};
        window.graphHeight = 100;
    };
    lists_.PulseList = {Pulse(1, 16)};

    info_.ShowSignalInfo();

    const canvas::Canvas* picture = View().Picture(SignalInfoControl::PulseGraph);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 461);
    EXPECT_EQ(picture->Height(), 100);
    EXPECT_EQ(picture->Pixel(10, 10), (canvas::Color{240, 240, 240}));
    EXPECT_EQ(picture->Pixel(0, 0), (canvas::Color{160, 160, 160}));
}

TEST_F(SignalInfoTest, ANewWindowDrawsItsEmptyPlotsAgain) {
    lists_.GaussianList = {Gaussian(1, 0.5, false)};
    lists_.PulseList = {Pulse(1, 0)};
    info_.ShowSignalInfo();
    info_.FormClose();

    info_.ShowSignalInfo();

    EXPECT_EQ(View().State(SignalInfoControl::GausGraph).pictureWrites, 1);
    EXPECT_EQ(View().State(SignalInfoControl::PulseGraph).pictureWrites, 1);
    EXPECT_TRUE(View().Visible(SignalInfoControl::PlotAvailLabel));
    EXPECT_TRUE(View().Visible(SignalInfoControl::PulsePlotAvailLabel));
}

// --------------------------------------------------------------- sorting

TEST_F(SignalInfoTest, ChoosingAKeyRemovesUnsortedAndSorts) {
    lists_.SpikeList = {Spike(50), Spike(70), Spike(60)};
    Click(0, 0);
    const auto box = SignalInfoControl::PeakSortBox;
    ASSERT_EQ(View().State(box).items,
              (std::vector<std::string>{"Unsorted", "Power", "Resolution", "Abs. Power",
                                        "Drift Rate", "Frequency"}));

    info_.SortBoxChange(0, 1);  // "Power"

    EXPECT_EQ(
        View().State(box).items,
        (std::vector<std::string>{"Power", "Resolution", "Abs. Power", "Drift Rate", "Frequency"}));
    EXPECT_EQ(View().SortText(box), "Power");
    EXPECT_EQ(info_.SortKey(0), 0);
    EXPECT_EQ(lists_.SpikeList[0].Power, 70);
    EXPECT_EQ(lists_.SpikeList[2].Power, 50);
    EXPECT_EQ(reorders_, 1);
    // the page shows whatever sorted to its place
    EXPECT_EQ(Text(SignalInfoControl::PeakPowerLabel), "70");
}

TEST_F(SignalInfoTest, ChoosingTheSameKeyAgainDoesNotSortAgain) {
    lists_.SpikeList = {Spike(50), Spike(70), Spike(60)};
    Click(0, 0);
    info_.SortBoxChange(0, 1);
    lists_.SpikeList[0].Power = 10;  // out of order, so that a sort would show

    info_.SortBoxChange(0, 0);  // "Power" in the box without "Unsorted"

    EXPECT_EQ(reorders_, 1);
    EXPECT_EQ(lists_.SpikeList[0].Power, 10);
}

TEST_F(SignalInfoTest, ChoosingUnsortedDoesNothing) {
    lists_.SpikeList = {Spike(50), Spike(70)};
    Click(0, 0);
    const int focus = View().focusMoves;

    info_.SortBoxChange(0, 0);

    EXPECT_EQ(View().State(SignalInfoControl::PeakSortBox).items.size(), 6u);
    EXPECT_EQ(info_.SortKey(0), kNoSortKey);
    EXPECT_EQ(lists_.SpikeList[0].Power, 50);
    EXPECT_EQ(reorders_, 0);
    EXPECT_EQ(View().focusMoves, focus + 1);
}

TEST_F(SignalInfoTest, SortRefreshesAtTheSameScrollPosition) {
    lists_.SpikeList = {Spike(50), Spike(70), Spike(60)};
    Click(0, 1);
    ASSERT_EQ(Text(SignalInfoControl::PeakPowerLabel), "70");

    info_.SortBoxChange(0, 1);

    EXPECT_EQ(Text(SignalInfoControl::PeakNumLabel), "Peak 2 out of 3");
    EXPECT_EQ(Text(SignalInfoControl::PeakPowerLabel), "60");
}

TEST_F(SignalInfoTest, ReopeningKeepsTheKeyClosingForgetsIt) {
    lists_.GaussianList = {Gaussian(1), Gaussian(2)};
    Click(1, 0);
    info_.SortBoxChange(1, 3);  // "Score"
    ASSERT_EQ(info_.SortKey(1), 2);

    // another click while the window is open: the same window, the same box
    Click(1, 0);
    EXPECT_EQ(windows_.size(), 1u);
    EXPECT_EQ(View().SortText(SignalInfoControl::GausSortBox), "Score");
    EXPECT_EQ(View().State(SignalInfoControl::GausSortBox).items.size(), 6u);

    // the user closes it; the lists keep their order
    info_.FormClose();
    EXPECT_FALSE(info_.IsOpen());
    EXPECT_EQ(info_.SortKey(1), kNoSortKey);
    EXPECT_DOUBLE_EQ(lists_.GaussianList[0].Score, 2);

    Click(1, 0);
    EXPECT_EQ(windows_.size(), 2u);
    EXPECT_EQ(View().SortText(SignalInfoControl::GausSortBox), "Unsorted");
    EXPECT_EQ(View().State(SignalInfoControl::GausSortBox).items.size(), 7u);
}

TEST_F(SignalInfoTest, MainWindowClosesTheWindow) {
    lists_.SpikeList = {Spike(50), Spike(70)};
    Click(0, 0);
    info_.SortBoxChange(0, 2);

    info_.CloseSignalInfo();

    EXPECT_TRUE(View().closed);
    EXPECT_FALSE(info_.IsOpen());
    EXPECT_EQ(info_.SortKey(0), kNoSortKey);
    // closing a closed window does nothing
    info_.CloseSignalInfo();
}

TEST_F(SignalInfoTest, EventsAfterTheListsEmptiedChangeNothing) {
    lists_.SpikeList = {Spike(50), Spike(70)};
    Click(0, 1);
    lists_.ClearSignals();

    info_.ScrollBarChange(0, 1);
    info_.SortBoxChange(0, 2);
    info_.RefreshPeakPage(0);

    EXPECT_EQ(Text(SignalInfoControl::PeakNumLabel), "Peak 2 out of 2");
}

// ----------------------------------------------------------- the main window

// A client directory with live signals; a click on the graph opens the
// window through the main window's logic.
class SignalInfoClickTest : public ::testing::Test {
protected:
    SignalInfoClickTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {
        sample::WriteSampleClientDir(client_.Path());
        sample::SpikeSignal spike;
        spike.power = 50;
        spike.chirpRate = -2;
        sample::GaussianSignal gaussian;
        gaussian.chirpRate = 3;
        client_.Write("outfile.sah", sample::SpikeLine(spike) + sample::GaussianLine(gaussian));
        monitor_.OpenClientDirectory(client_.Path(), {});
    }

    testsupport::TempDir program_, client_;
    testsupport::ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    platform::NativePlatform native_;
    testsupport::RecordingView view_;
    testsupport::ScriptedDialogs dialogs_;
    monitor::Monitor monitor_{view_, dialogs_, native_.services()};
};

TEST_F(SignalInfoClickTest, ClickOnASignalOpensTheWindowOnIt) {
    ASSERT_EQ(monitor_.Lists().GaussianList.size(), 1u);
    const canvas::Point at =
        monitor_.GraphView().Position(1, monitor_.Lists().GaussianList[0].Score, 3);

    monitor_.ImageMouseUp(at.x, at.y + 3);

    HeadlessSignalInfoView* window = view_.SignalInfoWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->shown);
    EXPECT_EQ(window->activePage, 1);
    EXPECT_EQ(window->Text(SignalInfoControl::GausNumLabel), "Gaussian 1 out of 1");
    EXPECT_EQ(window->Text(SignalInfoControl::PeakNumLabel), "Peak 1 out of 1");
    EXPECT_EQ(monitor_.SelectedSignals()[1], 0);

    // the main window closes it before the lists go
    monitor_.CloseSignalInfo();
    EXPECT_TRUE(window->closed);
    EXPECT_FALSE(monitor_.SignalInfoWindow().IsOpen());
}

// ------------------------------------------------------------------ sort

TEST(SortSignalList, SpikesByEveryKey) {
    signals::SignalLists lists;
    const auto spike = [](double power, int fft, double chirp, double freq) {
        signals::TSpikeRec r;
        r.Power = power;
        r.FftLen = fft;
        r.ChirpRate = chirp;
        r.Freq = freq;
        return r;
    };
    lists.SpikeList = {spike(30, 1024, 1.5, 3), spike(50, 256, -2, 1), spike(40, 4096, 0, 2)};
    const auto order = [&] {
        std::vector<double> powers;
        for (const auto& r : lists.SpikeList)
            powers.push_back(r.Power);
        return powers;
    };
    SortSignalList(lists, 0, 0);  // Power, descending
    EXPECT_EQ(order(), (std::vector<double>{50, 40, 30}));
    SortSignalList(lists, 0, 1);  // Resolution: FftLen descending
    EXPECT_EQ(order(), (std::vector<double>{40, 30, 50}));
    SortSignalList(lists, 0, 2);  // Abs. Power: Power x FftLen descending
    EXPECT_EQ(order(), (std::vector<double>{40, 30, 50}));
    SortSignalList(lists, 0, 3);  // Drift Rate ascending, signed
    EXPECT_EQ(order(), (std::vector<double>{50, 40, 30}));
    SortSignalList(lists, 0, 4);  // Frequency ascending
    EXPECT_EQ(order(), (std::vector<double>{50, 40, 30}));
    lists.SpikeList[0].Freq = 9;
    SortSignalList(lists, 0, 4);
    EXPECT_EQ(order(), (std::vector<double>{40, 30, 50}));
    // an unknown key leaves the order
    SortSignalList(lists, 0, 5);
    EXPECT_EQ(order(), (std::vector<double>{40, 30, 50}));
}

TEST(SortSignalList, GaussiansByEveryKey) {
    signals::SignalLists lists;
    const auto gaussian = [](double power, double chiSqr, double sigma, double chirp, double freq) {
        signals::TGaussianRec r;
        r.Power = power;
        r.ChiSqr = chiSqr;
        r.Sigma = sigma;
        r.ChirpRate = chirp;
        r.Freq = freq;
        r.WorkUnit = static_cast<std::int32_t>(power);
        return r;
    };
    // power, fit, sigma, drift, frequency; score = power / fit: 2, 1.5, 8
    lists.GaussianList = {gaussian(4, 2, 5, 3, 20), gaussian(3, 2, 9, -1, 30),
                          gaussian(2, 0.25, 7, 1, 10)};
    const auto order = [&] {
        std::vector<int> ids;
        for (const auto& r : lists.GaussianList)
            ids.push_back(r.WorkUnit);
        return ids;
    };
    SortSignalList(lists, 1, 0);
    EXPECT_EQ(order(), (std::vector<int>{4, 3, 2}));
    SortSignalList(lists, 1, 1);  // Fit ascending
    EXPECT_EQ(order()[0], 2);
    SortSignalList(lists, 1, 2);  // Score descending
    EXPECT_EQ(order(), (std::vector<int>{2, 4, 3}));
    SortSignalList(lists, 1, 3);  // Sigma descending
    EXPECT_EQ(order(), (std::vector<int>{3, 2, 4}));
    SortSignalList(lists, 1, 4);  // Drift Rate ascending
    EXPECT_EQ(order(), (std::vector<int>{3, 2, 4}));
    SortSignalList(lists, 1, 5);  // Frequency ascending
    EXPECT_EQ(order(), (std::vector<int>{2, 4, 3}));
}

TEST(SortSignalList, TripletsByEveryKey) {
    signals::SignalLists lists;
    const auto triplet = [](double power, double period, int fft, double chirp, double freq) {
        signals::TTripletRec r;
        r.Power = power;
        r.Period = period;
        r.FftLen = fft;
        r.ChirpRate = chirp;
        r.Freq = freq;
        return r;
    };
    lists.TripletList = {triplet(1, 5, 64, 2, 300), triplet(2, 7, 32, 3, 100),
                         triplet(3, 6, 128, -4, 200)};
    const auto order = [&] {
        std::vector<double> powers;
        for (const auto& r : lists.TripletList)
            powers.push_back(r.Power);
        return powers;
    };
    SortSignalList(lists, 2, 0);
    EXPECT_EQ(order(), (std::vector<double>{3, 2, 1}));
    SortSignalList(lists, 2, 1);  // Period descending
    EXPECT_EQ(order(), (std::vector<double>{2, 3, 1}));
    SortSignalList(lists, 2, 2);  // Resolution: FftLen descending
    EXPECT_EQ(order(), (std::vector<double>{3, 1, 2}));
    SortSignalList(lists, 2, 3);  // Drift Rate ascending
    EXPECT_EQ(order(), (std::vector<double>{3, 1, 2}));
    SortSignalList(lists, 2, 4);  // Frequency ascending
    EXPECT_EQ(order(), (std::vector<double>{2, 3, 1}));
}

TEST(SortSignalList, PulsesByEveryKey) {
    signals::SignalLists lists;
    const auto pulse = [](double score, double power, double period, std::uint16_t length, int fft,
                          double chirp, double freq) {
        signals::TPulseRec r;
        r.Score = score;
        r.Power = power;
        r.Period = period;
        r.LenProf = length;
        r.FftLen = fft;
        r.ChirpRate = chirp;
        r.Freq = freq;
        return r;
    };
    lists.PulseList = {pulse(1, 6, 2, 40, 512, 5, 30), pulse(2, 5, 3, 20, 256, -5, 10),
                       pulse(3, 4, 1, 60000, 64, 0, 20)};
    const auto order = [&] {
        std::vector<double> scores;
        for (const auto& r : lists.PulseList)
            scores.push_back(r.Score);
        return scores;
    };
    SortSignalList(lists, 3, 0);  // Score descending
    EXPECT_EQ(order(), (std::vector<double>{3, 2, 1}));
    SortSignalList(lists, 3, 1);  // Power descending
    EXPECT_EQ(order(), (std::vector<double>{1, 2, 3}));
    SortSignalList(lists, 3, 2);  // Period descending
    EXPECT_EQ(order(), (std::vector<double>{2, 1, 3}));
    SortSignalList(lists, 3, 3);  // Length: unsigned, descending
    EXPECT_EQ(order(), (std::vector<double>{3, 1, 2}));
    SortSignalList(lists, 3, 4);  // Resolution: FftLen descending
    EXPECT_EQ(order(), (std::vector<double>{1, 2, 3}));
    SortSignalList(lists, 3, 5);  // Drift Rate ascending
    EXPECT_EQ(order(), (std::vector<double>{2, 3, 1}));
    SortSignalList(lists, 3, 6);  // Frequency ascending
    EXPECT_EQ(order(), (std::vector<double>{2, 3, 1}));
}

TEST(SortSignalList, ANumberlessKeySortsLast) {
    signals::SignalLists lists;
    for (double power : {std::nan(""), 2.0, std::nan(""), 5.0, 1.0}) {
        signals::TSpikeRec r;
        r.Power = power;
        lists.SpikeList.push_back(r);
    }
    SortSignalList(lists, 0, 0);
    EXPECT_EQ(lists.SpikeList[0].Power, 5);
    EXPECT_EQ(lists.SpikeList[2].Power, 1);
    EXPECT_TRUE(std::isnan(lists.SpikeList[3].Power));
    EXPECT_TRUE(std::isnan(lists.SpikeList[4].Power));
}

TEST(SortBoxItems, OnePerKeyAfterUnsorted) {
    EXPECT_EQ(inspection::SortBoxItems(1),
              (std::vector<std::string>{"Unsorted", "Power", "Fit", "Score", "Sigma", "Drift Rate",
                                        "Frequency"}));
    EXPECT_EQ(inspection::SortBoxItems(2),
              (std::vector<std::string>{"Unsorted", "Power", "Period", "Resolution", "Drift Rate",
                                        "Frequency"}));
    EXPECT_EQ(inspection::SortBoxItems(3),
              (std::vector<std::string>{"Unsorted", "Score", "Power", "Period", "Length",
                                        "Resolution", "Drift Rate", "Frequency"}));
}

}  // namespace
