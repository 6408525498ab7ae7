// The drift-rate bar: its gauges follow the client's search, and its three
// zoom states lay out the bar and the graph's range.

#include <gtest/gtest.h>

#include "signals/DriftBar.h"
#include "support/RecordingView.h"

using signals::DriftBar;
using testsupport::RecordingView;
using views::Control;

namespace {

struct Gauges {
    int n2, n1, p1, p2;
    friend bool operator==(const Gauges&, const Gauges&) = default;
};

Gauges Of(const DriftBar& bar) {
    return {bar.Progress(signals::kGaugeN2), bar.Progress(signals::kGaugeN1),
            bar.Progress(signals::kGaugeP1), bar.Progress(signals::kGaugeP2)};
}

TEST(DriftBar, PositiveSearchFillsTheRightSide) {
    RecordingView view;
    DriftBar bar(view);
    bar.ApplyZoom(0);

    bar.ShowDriftProgress(2.5);
    EXPECT_EQ(Of(bar), (Gauges{100, 100, 50, 0}));

    bar.ShowDriftProgress(7.5);
    EXPECT_EQ(Of(bar), (Gauges{100, 100, 100, 50}));
}

TEST(DriftBar, BarValueIsTruncatedTowardZero) {
    RecordingView view;
    DriftBar bar(view);
    bar.ApplyZoom(0);

    bar.ShowDriftProgress(-2.53);  // 200 × -2.53 / 10 = -50.6: -50, not -51

    EXPECT_EQ(Of(bar), (Gauges{100, 50, 100, 100}));

    bar.ShowDriftProgress(2.57);  // 51.4: 51
    EXPECT_EQ(Of(bar), (Gauges{100, 100, 51, 0}));
}

TEST(DriftBar, NegativeSearchZoomedOut) {
    RecordingView view;
    DriftBar bar(view);
    bar.ApplyZoom(1);

    bar.ShowDriftProgress(-30);  // 200 × -30 / 50 = -120

    EXPECT_EQ(Of(bar), (Gauges{80, 0, 40, 160}));
    EXPECT_EQ(bar.Maximum(signals::kGaugeN2), 160);
    // GaugeN2's right half is orange, its left half still grey.
    const canvas::Canvas* n2 = view.Picture(Control::GaugeN2);
    ASSERT_NE(n2, nullptr);
    EXPECT_EQ(n2->Pixel(10, 3), (canvas::Color{128, 128, 128}));
    EXPECT_EQ(n2->Pixel(150, 3), (canvas::Color{255, 128, 0}));
}

TEST(DriftBar, SameBarValueDrawsNothing) {
    RecordingView view;
    DriftBar bar(view);
    bar.ApplyZoom(0);
    bar.ShowDriftProgress(1);
    bar.ShowDriftProgress(0);
    const int writes = view.State(Control::GaugeP1).pictureWrites;

    bar.ShowDriftProgress(0.004);  // also 0

    EXPECT_EQ(view.State(Control::GaugeP1).pictureWrites, writes);
}

TEST(DriftBar, ZoomStatesLayOutTheBar) {
    RecordingView view;
    DriftBar bar(view);

    bar.ApplyZoom(1);
    const auto& n2 = view.State(Control::GaugeN2);
    const auto& n1 = view.State(Control::GaugeN1);
    const auto& p2 = view.State(Control::GaugeP2);
    EXPECT_EQ(n2.left, 47);
    EXPECT_EQ(n2.width, 198);
    EXPECT_EQ(n2.height, 7);
    EXPECT_EQ(n1.left, 244);
    EXPECT_EQ(n1.width, 50);
    EXPECT_EQ(view.State(Control::GaugeP1).left, 293);
    EXPECT_EQ(p2.left, 342);
    EXPECT_EQ(p2.width, 198);
    EXPECT_EQ(view.Text(Control::Label5), "-50");
    EXPECT_EQ(view.Text(Control::Label3), "-10");
    EXPECT_EQ(view.State(Control::Label3).left, 244 - 9);
    EXPECT_EQ(view.State(Control::ZoomBtn).glyph, views::Glyph::ZoomIn);
    EXPECT_EQ(view.Hint(Control::ZoomBtn), "Zoom in");
    EXPECT_EQ(bar.DriftRange(), 50);

    bar.ApplyZoom(2);
    EXPECT_EQ(n1.width, 99);
    EXPECT_EQ(view.Text(Control::Label2), "20");
    EXPECT_EQ(bar.Maximum(signals::kGaugeP1) + bar.Maximum(signals::kGaugeP2), 200);

    bar.ApplyZoom(0);
    EXPECT_EQ(n1.left, 170);
    EXPECT_EQ(n1.width, 124);
    EXPECT_EQ(n2.height, 14);
    EXPECT_EQ(p2.left, 416);
    EXPECT_EQ(view.Text(Control::Label4), "10");
    EXPECT_EQ(view.State(Control::ZoomBtn).glyph, views::Glyph::ZoomOut);
    EXPECT_EQ(bar.DriftRange(), 10);
}

}  // namespace
