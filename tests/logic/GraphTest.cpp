// The drift-rate graph, pixel by pixel at the design geometry, and the hit
// table behind its clicks.

#include <gtest/gtest.h>

#include <random>

#include "signals/Graph.h"
#include "support/RecordingView.h"

using canvas::Color;
using signals::Graph;
using signals::GraphGeometry;
using signals::GraphMenus;
using signals::SignalLists;
using testsupport::RecordingView;
using views::Control;

namespace {

constexpr Color kFace{240, 240, 240};
constexpr Color kRed{255, 0, 0};
constexpr Color kBlue{0, 0, 255};
constexpr Color kGreen{0, 128, 0};
constexpr Color kGridGrey{159, 159, 159};

signals::TSpikeRec Spike(double power, double chirp) {
    signals::TSpikeRec r;
    r.Power = power;
    r.ChirpRate = chirp;
    return r;
}
signals::TGaussianRec Gaussian(double score, double chirp) {
    signals::TGaussianRec r;
    r.Score = score;
    r.ChirpRate = chirp;
    return r;
}
signals::TTripletRec Triplet(double power, double chirp) {
    signals::TTripletRec r;
    r.Power = power;
    r.ChirpRate = chirp;
    return r;
}
signals::TPulseRec Pulse(double score, double chirp) {
    signals::TPulseRec r;
    r.Score = score;
    r.ChirpRate = chirp;
    return r;
}

class GraphTest : public ::testing::Test {
protected:
    GraphTest() {
        view_.faceColor = {kFace.r, kFace.g, kFace.b};
        graph_.DrawGraphFrame();
    }
    Color At(int x, int y) const { return graph_.Picture().Pixel(x, y); }
    void Redraw() {
        graph_.ClearGraph();
        graph_.DrawSignals(true);
    }

    RecordingView view_;
    SignalLists lists_;
    GraphMenus menus_{view_};
    Graph graph_{view_, GraphGeometry::FromLayout(41, 97, 524, 247, 293, 339), lists_, menus_,
                 '.'};
};

TEST_F(GraphTest, DesignGeometryFollowsTheLayout) {
    const auto g = GraphGeometry::FromLayout(41, 97, 524, 247, 293, 339);
    EXPECT_EQ(g.xOrigin, 252);
    EXPECT_EQ(g.baseline, 239);
    EXPECT_DOUBLE_EQ(g.yScale, 226.0 / 450);
    EXPECT_DOUBLE_EQ(g.baseXScale, 24.8);
    EXPECT_EQ(graph_.HitColumns().size(), 497u);
}

TEST_F(GraphTest, FrameHasItsBoxAxesFacesAndGrid) {
    const int w = 524, h = 247;
    // The box's grey outline at the right.
    EXPECT_EQ(At(w - 2, 100), (Color{128, 128, 128}));
    // The vertical axis: black edges, aqua inside, the arrow head at the top.
    EXPECT_EQ(At(3, 100), (Color{0, 0, 0}));
    EXPECT_EQ(At(4, 100), (Color{0, 255, 255}));
    EXPECT_EQ(At(5, 100), (Color{0, 0, 0}));
    EXPECT_EQ(At(4, 2), (Color{0, 255, 255}));
    // The horizontal axis's arrow at the right end.
    EXPECT_EQ(At(w - 5, h - 5), (Color{0, 255, 255}));
    // The faces: 240 / 1.201 and 240 / 1.091, rounded.
    EXPECT_EQ(At(w - 5, 20), (Color{200, 200, 200}));
    EXPECT_EQ(At(30, 10), (Color{220, 220, 220}));
    // Plot area and grid: dashes of five from x = 6 every ten pixels.
    EXPECT_EQ(At(100, 100), kFace);
    for (int y : {190, 140, 89, 39}) {
        EXPECT_EQ(At(6, y), kGridGrey) << y;
        EXPECT_EQ(At(10, y), kGridGrey) << y;
        EXPECT_EQ(At(11, y), kFace) << y;
        EXPECT_EQ(At(16, y), kGridGrey) << y;
        EXPECT_EQ(At(w - 22, y), kFace) << "the last dash stops before x = W - 21";
    }
    // The picture reached the window, with the axis labels beside it.
    EXPECT_GT(view_.pictureUpdates, 0);
    EXPECT_EQ(view_.Text(Control::AxisLabel1), "0.2");
    EXPECT_EQ(view_.Text(Control::AxisLabel4), "0.8");
    EXPECT_EQ(view_.State(Control::AxisLabel2).alignRight, 41);
    EXPECT_EQ(view_.State(Control::AxisLabel2).alignMiddle, 97 + 239 - 100);
}

TEST_F(GraphTest, SpikeStandsAtItsDriftRateAsHighAsItsPower) {
    lists_.SpikeList.push_back(Spike(24, 0));
    graph_.DrawSignals(true);

    // x = 252, y = 239 - round(24 × 0.50222 × 25/3) = 139; the line leaves
    // out its end point.
    EXPECT_EQ(At(252, 239), kRed);
    EXPECT_EQ(At(252, 140), kRed);
    EXPECT_EQ(At(252, 139), kFace);
    EXPECT_EQ(At(251, 200), kFace);
    EXPECT_EQ(view_.State(Control::BestPeakLabel).color, (views::Rgb{255, 0, 0}));
    EXPECT_EQ(view_.State(Control::BestGaussianLabel).color, (views::Rgb{0, 0, 0}));
}

TEST_F(GraphTest, ManyLinesLookAsIfEachWereDrawnOnItsOwn) {
    // GIVEN many signals of every kind, some of a damaged file's negative
    // strength, crowding the same columns
    std::mt19937 random(5);
    std::uniform_real_distribution<double> chirp(-10, 10), strength(-5, 60);
    for (int i = 0; i < 3000; ++i) {
        lists_.SpikeList.push_back(Spike(strength(random), chirp(random)));
        lists_.GaussianList.push_back(Gaussian(strength(random) / 60, chirp(random)));
        lists_.TripletList.push_back(Triplet(strength(random) / 3, chirp(random)));
        lists_.PulseList.push_back(Pulse(strength(random) / 30, chirp(random)));
    }
    graph_.ClearGraph();
    canvas::Canvas expected = graph_.Picture();

    // WHEN the graph draws them
    graph_.DrawSignals(true);

    // THEN the picture is the one of every line drawn in turn
    const Color colours[] = {kRed, kBlue, {128, 0, 128}, kGreen};
    const auto draw = [&](int kind, double value, double chirpRate) {
        const auto p = graph_.Position(kind, value, chirpRate);
        expected.Line(p.x, 239, p.x, p.y, colours[kind]);
    };
    for (const std::uint8_t kind : menus_.SignalPriority()) {
        if (kind == 0)
            for (const auto& r : lists_.SpikeList) draw(0, r.Power, r.ChirpRate);
        if (kind == 1)
            for (const auto& r : lists_.GaussianList) draw(1, r.Score, r.ChirpRate);
        if (kind == 2)
            for (const auto& r : lists_.TripletList) draw(2, r.Power, r.ChirpRate);
        if (kind == 3)
            for (const auto& r : lists_.PulseList) draw(3, r.Score, r.ChirpRate);
    }
    EXPECT_EQ(graph_.Picture().Bytes(), expected.Bytes());
}

TEST_F(GraphTest, TallSignalsStopBelowTheTopAndFarOnesAreLeftOut) {
    lists_.GaussianList.push_back(Gaussian(1.2, 2));
    lists_.SpikeList.push_back(Spike(100, 10.3));
    graph_.DrawSignals(true);

    const int x = 252 + static_cast<int>(24.8 * 2 + 0.5);
    EXPECT_EQ(At(x, 15), kBlue);
    EXPECT_NE(At(x, 14), kBlue);
    // 10.3 Hz/s is beyond the ±10 range: not drawn, not clickable.
    const int far = 252 + static_cast<int>(24.8 * 10.3 + 0.5);
    EXPECT_NE(At(far, 200), kRed);
    EXPECT_FALSE(graph_.ImageMouseUp(far, 238).overSignal);
}

TEST_F(GraphTest, SignalsAtTheEndsOfTheRangeAreDrawnAndClickable) {
    // Exactly ±10 Hz/s lies inside the range: x = 252 ± 248.
    lists_.SpikeList.push_back(Spike(24, 10));
    lists_.SpikeList.push_back(Spike(24, -10));
    graph_.DrawSignals(true);

    EXPECT_EQ(At(500, 200), kRed);
    EXPECT_EQ(At(4, 200), kRed) << "the left end stands on the vertical axis";
    auto click = graph_.ImageMouseUp(500, 230);
    ASSERT_TRUE(click.signal);
    EXPECT_EQ(click.signal->index, 0);
    click = graph_.ImageMouseUp(6, 230);
    ASSERT_TRUE(click.signal);
    EXPECT_EQ(click.signal->index, 1);

    // Zoomed out the ends are ±50 Hz/s, at the same columns.
    // A taller one just beyond is left out.
    lists_.SpikeList = {Spike(24, 50), Spike(24, -50), Spike(100, 50.01)};
    graph_.SetDriftRange(50, /*zoomedOut=*/true);
    Redraw();
    EXPECT_EQ(At(500, 200), kRed);
    EXPECT_EQ(At(4, 200), kRed);
    EXPECT_EQ(At(500, 100), kFace);
    EXPECT_EQ(graph_.HitColumns()[500 - 6].Top, 139 - 10);
}

TEST_F(GraphTest, OnEqualDistanceTheSignalPlottedFirstIsPicked) {
    // Two spikes at one drift rate: the first in the list.
    lists_.SpikeList.push_back(Spike(24, 1));
    lists_.SpikeList.push_back(Spike(30, 1));
    graph_.DrawSignals(true);
    const int x = 252 + 25;  // 24.8 × 1, rounded
    for (int column : {x - 3, x, x + 4}) {
        const auto click = graph_.ImageMouseUp(column, 230);
        ASSERT_TRUE(click.signal) << column;
        EXPECT_EQ(click.signal->kind, signals::kSpike);
        EXPECT_EQ(click.signal->index, 0) << column;
    }

    // A gaussian at the same rate is plotted last (priority 0, 2, 3, 1) and
    // drawn on top, but the spike plotted before it keeps the columns.
    lists_.GaussianList.push_back(Gaussian(0.5, 1));
    Redraw();
    EXPECT_EQ(At(x, 230), kBlue);
    const auto click = graph_.ImageMouseUp(x, 230);
    ASSERT_TRUE(click.signal);
    EXPECT_EQ(click.signal->kind, signals::kSpike);
    EXPECT_EQ(click.signal->index, 0);
}

TEST_F(GraphTest, PriorityDecidesWhichKindIsOnTopAndLabelsTheAxis) {
    lists_.SpikeList.push_back(Spike(40, 0));
    lists_.GaussianList.push_back(Gaussian(0.5, 0));
    lists_.TripletList.push_back(Triplet(30, 0));
    lists_.PulseList.push_back(Pulse(2, 0));
    graph_.UpdatePriorityHints();
    graph_.DrawSignals(true);
    EXPECT_EQ(At(252, 230), kBlue) << "gaussians are drawn last";
    EXPECT_EQ(view_.Hint(Control::Label14),
              "Signal Priority:\n1) gaussians\n2) pulses\n3) triplets\n4) spikes");

    graph_.ChangeAxisLabel(signals::kPulse);

    EXPECT_EQ(menus_.SignalPriority(), (std::array<std::uint8_t, 4>{0, 2, 1, 3}));
    EXPECT_EQ(At(252, 230), kGreen);
    EXPECT_EQ(view_.Text(Control::AxisLabel1), "0.5");
    EXPECT_EQ(view_.Text(Control::AxisLabel2), "1");
    EXPECT_EQ(view_.Text(Control::AxisLabel3), "1.5");
    EXPECT_EQ(view_.Text(Control::AxisLabel4), "2");
    EXPECT_EQ(view_.Hint(Control::Label18),
              "Signal Priority:\n1) pulses\n2) gaussians\n3) triplets\n4) spikes");
    EXPECT_TRUE(view_.State(Control::Label18).underlined);
    EXPECT_FALSE(view_.State(Control::Label15).underlined);
}

TEST_F(GraphTest, ScaleMenuRelabelsTheAxisAndLowersTheSignals) {
    graph_.ChangeAxisLabel(signals::kSpike);
    lists_.SpikeList.push_back(Spike(24, 0));

    graph_.ScaleClick(32);

    EXPECT_TRUE(view_.Checked(Control::mx16));
    EXPECT_EQ(view_.Text(Control::AxisLabel1), "192");
    EXPECT_EQ(view_.Text(Control::AxisLabel4), "768");
    // 100 axis units / 16: about 6 pixels high.
    EXPECT_EQ(At(252, 239 - 5), kRed);
    EXPECT_EQ(At(252, 239 - 7), kFace);
}

TEST_F(GraphTest, HiddenKindsAndDots) {
    lists_.SpikeList.push_back(Spike(24, 0));
    graph_.ShowSignalsMenuClick(signals::kSpike);
    EXPECT_EQ(At(252, 200), kFace);
    EXPECT_FALSE(view_.Checked(Control::ShowSpikesMenu));

    graph_.ShowSignalsMenuClick(signals::kSpike);
    graph_.PlotMenuClick(/*dots=*/true);
    EXPECT_EQ(At(252, 139), kRed);
    EXPECT_EQ(At(253, 140), kRed);
    EXPECT_EQ(At(254, 139), kFace);
    EXPECT_EQ(At(252, 200), kFace);
}

TEST_F(GraphTest, ClickPicksTheSignalNearestInDriftRate) {
    lists_.SpikeList.push_back(Spike(24, 0));       // x 252
    lists_.SpikeList.push_back(Spike(24, 0.3));     // x 259
    lists_.GaussianList.push_back(Gaussian(0.1, -2));  // x 202
    graph_.DrawSignals(true);

    auto click = graph_.ImageMouseUp(257, 200);
    ASSERT_TRUE(click.overSignal);
    ASSERT_TRUE(click.signal);
    EXPECT_EQ(click.signal->kind, signals::kSpike);
    EXPECT_EQ(click.signal->index, 1);

    click = graph_.ImageMouseUp(204, 235);
    ASSERT_TRUE(click.signal);
    EXPECT_EQ(click.signal->kind, signals::kGaussian);

    // Above the hit area, and eleven columns away, nothing happens.
    EXPECT_FALSE(graph_.ImageMouseUp(252, 120).overSignal);
    EXPECT_FALSE(graph_.ImageMouseUp(252 - 11, 230).overSignal);
}

TEST_F(GraphTest, DotsPickTheNearestDotWhateverItsKindIsShown) {
    lists_.SpikeList.push_back(Spike(24, 0));        // dot at (252, 139)
    lists_.TripletList.push_back(Triplet(10, 0.1));  // dot at (254, 239 - 100)
    graph_.PlotMenuClick(/*dots=*/true);
    graph_.ShowSignalsMenuClick(signals::kTriplet);  // hidden, still picked by place

    const auto click = graph_.ImageMouseUp(255, 140);
    ASSERT_TRUE(click.signal);
    EXPECT_EQ(click.signal->kind, signals::kTriplet);

    EXPECT_FALSE(graph_.ImageMouseUp(252 - 11, 140).overSignal);
}

TEST_F(GraphTest, EmptyGraphTakesNoClickAndKeepsTheCursor) {
    graph_.DrawSignals(true);
    for (int x = 0; x < 524; x += 7) {
        graph_.ImageMouseMove(x, 200);
        EXPECT_FALSE(graph_.ImageMouseUp(x, 200).overSignal);
    }
    EXPECT_FALSE(view_.State(Control::Image).handCursor);
}

TEST_F(GraphTest, HandCursorOverASignal) {
    lists_.SpikeList.push_back(Spike(24, 0));
    graph_.DrawSignals(true);

    graph_.ImageMouseMove(255, 200);
    EXPECT_TRUE(view_.State(Control::Image).handCursor);
    graph_.ImageMouseMove(300, 200);
    EXPECT_FALSE(view_.State(Control::Image).handCursor);
}

TEST_F(GraphTest, ClearingKeepsTheFrameAndEmptiesThePlot) {
    lists_.SpikeList.push_back(Spike(24, 0));
    graph_.DrawSignals(true);
    lists_.ClearSignals();

    graph_.ClearGraph();

    EXPECT_EQ(At(252, 200), kFace);
    EXPECT_EQ(At(4, 100), (Color{0, 255, 255}));
    EXPECT_EQ(view_.State(Control::BestPeakLabel).color, (views::Rgb{0, 0, 0}));
    EXPECT_FALSE(graph_.ImageMouseUp(252, 200).overSignal);
}

TEST_F(GraphTest, ClearingLeavesNoTraceOfSignalsOnTheAxes) {
    // GIVEN the picture of an empty graph
    RecordingView emptyView;
    emptyView.faceColor = view_.faceColor;
    SignalLists noSignals;
    GraphMenus emptyMenus{emptyView};
    Graph empty{emptyView, GraphGeometry::FromLayout(41, 97, 524, 247, 293, 339), noSignals,
                emptyMenus, '.'};
    empty.DrawGraphFrame();
    const std::vector<std::uint8_t> emptyPicture = empty.Picture().Bytes();
    ASSERT_EQ(graph_.Picture().Bytes(), emptyPicture);

    // AND spikes on the vertical axis (-10 and -9.95 Hz/s: x = 4 and 5) and
    // a damaged file's negative strength reaching down over the horizontal one
    lists_.SpikeList.push_back(Spike(24, -10));
    lists_.SpikeList.push_back(Spike(40, -9.95));
    lists_.SpikeList.push_back(Spike(-30, 3));
    graph_.DrawSignals(true);
    ASSERT_EQ(At(4, 200), kRed);
    ASSERT_EQ(At(5, 100), kRed);
    ASSERT_EQ(At(326, 243), kRed);

    // WHEN their kind is hidden THEN the picture is the empty graph's
    graph_.ShowSignalsMenuClick(signals::kSpike);
    EXPECT_EQ(graph_.Picture().Bytes(), emptyPicture);

    // The same for dots, for a zoom and for a new work unit.
    graph_.ShowSignalsMenuClick(signals::kSpike);
    graph_.PlotMenuClick(/*dots=*/true);
    ASSERT_EQ(At(4, 139), kRed);
    graph_.ShowSignalsMenuClick(signals::kSpike);
    EXPECT_EQ(graph_.Picture().Bytes(), emptyPicture);

    graph_.ShowSignalsMenuClick(signals::kSpike);
    graph_.PlotMenuClick(/*dots=*/false);
    graph_.SetDriftRange(50, /*zoomedOut=*/true);
    lists_.SpikeList.push_back(Spike(24, -50));
    Redraw();
    ASSERT_EQ(At(4, 200), kRed);
    lists_.ClearSignals();
    graph_.ClearGraph();
    EXPECT_EQ(graph_.Picture().Bytes(), emptyPicture);
}

}  // namespace
