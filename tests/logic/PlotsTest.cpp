// The gaussian and pulse plots, pixel by pixel at the design's size.

#include <gtest/gtest.h>

#include <vector>

#include "inspection/Plots.h"

using canvas::Color;
using inspection::PlotColors;

namespace {

constexpr Color kFace{212, 208, 200};
constexpr Color kShadow{128, 128, 128};
constexpr Color kHighlight{255, 255, 255};
constexpr Color kBlue{0, 0, 255};
constexpr Color kGreen{0, 128, 0};
constexpr PlotColors kColors{kFace, kShadow, kHighlight};
constexpr int kW = 461;
constexpr int kH = 129;

// The rows of column x in `color`.
std::vector<int> RowsIn(const canvas::Canvas& picture, int x, Color color) {
    std::vector<int> rows;
    for (int y = 0; y < picture.Height(); ++y)
        if (picture.Pixel(x, y) == color) rows.push_back(y);
    return rows;
}

int CountOf(const canvas::Canvas& picture, Color color) {
    int count = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.Pixel(x, y) == color) ++count;
    return count;
}

signals::TGaussianRec GaussianWithSamples() {
    signals::TGaussianRec g;
    g.HasPot = true;
    g.Power = 10;
    g.Mean = 1;
    g.MaxPow = 20;  // 6.25 pixels per unit of mean power
    g.Sigma = 2;
    g.FftLen = 1024;
    g.Time = 2.0 / 86400;  // two seconds into the recording
    g.FileVersion = 3.0f;
    return g;
}

// The column where the curve stands highest.
int CurvePeakColumn(const canvas::Canvas& picture) {
    int bestX = -1, bestY = picture.Height();
    for (int x = 0; x < picture.Width(); ++x) {
        const auto rows = RowsIn(picture, x, kGreen);
        if (!rows.empty() && rows.front() < bestY) {
            bestY = rows.front();
            bestX = x;
        }
    }
    return bestX;
}

TEST(PlotFrame, SunkenFrameOnTheButtonFace) {
    const canvas::Canvas picture = inspection::PlotFrame(kW, kH, kColors);
    ASSERT_EQ(picture.Width(), kW);
    ASSERT_EQ(picture.Height(), kH);
    // shadow: left edge up from the bottom corner, then the top edge
    EXPECT_EQ(picture.Pixel(0, kH - 1), kShadow);
    EXPECT_EQ(picture.Pixel(0, 60), kShadow);
    EXPECT_EQ(picture.Pixel(0, 0), kShadow);
    EXPECT_EQ(picture.Pixel(kW - 2, 0), kShadow);
    // highlight: the right edge down from the top corner, then the bottom
    EXPECT_EQ(picture.Pixel(kW - 1, 0), kHighlight);
    EXPECT_EQ(picture.Pixel(kW - 1, kH - 1), kHighlight);
    EXPECT_EQ(picture.Pixel(1, kH - 1), kHighlight);
    // the inside is the face
    EXPECT_EQ(picture.Pixel(1, 1), kFace);
    EXPECT_EQ(picture.Pixel(kW - 2, kH - 2), kFace);
    EXPECT_EQ(CountOf(picture, kFace), (kW - 2) * (kH - 2));
}

TEST(Staircase, SampleLevelsSpanTheHeight) {
    EXPECT_EQ(inspection::SampleRow(0, kH), 127);
    EXPECT_EQ(inspection::SampleRow(255, kH), 2);
    // 100 x 125 / 256 = 48.83: 49 rows up
    EXPECT_EQ(inspection::SampleRow(100, kH), 78);
}

TEST(Staircase, StepsOfAGaussiansSamplesAcrossTheWidth) {
    canvas::Canvas picture = inspection::PlotFrame(kW, kH, kColors);
    std::vector<std::uint8_t> samples(64, 0);
    samples[0] = 100;  // row 78
    samples[1] = 255;  // row 2
    samples[63] = 255;

    inspection::DrawStaircase(picture, samples, kBlue);

    // the first step runs from x = 2 to x = 7 (459 / 64 = 7.17 rounded)
    EXPECT_EQ(picture.Pixel(1, 78), kFace);
    EXPECT_EQ(picture.Pixel(2, 78), kBlue);
    EXPECT_EQ(picture.Pixel(6, 78), kBlue);
    EXPECT_EQ(picture.Pixel(8, 78), kFace);
    // where it rises to the second sample's level
    EXPECT_EQ(RowsIn(picture, 7, kBlue).front(), 2);
    EXPECT_EQ(RowsIn(picture, 7, kBlue).back(), 78);
    // the last step ends at x = 459, the end point itself not drawn
    EXPECT_EQ(picture.Pixel(458, 2), kBlue);
    EXPECT_EQ(picture.Pixel(459, 2), kFace);
    EXPECT_EQ(picture.Pixel(kW - 1, 2), kHighlight);
    // a sample of 0 lies on row 127, just above the frame's bottom edge
    EXPECT_EQ(picture.Pixel(200, 127), kBlue);
}

TEST(Staircase, PulseProfileStepsAreAThirtySecondOfTheWidth) {
    canvas::Canvas picture = inspection::PlotFrame(kW, kH, kColors);
    std::vector<std::uint8_t> samples(32);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = i % 2 == 0 ? 0 : 255;

    inspection::DrawStaircase(picture, samples, kBlue);

    // (461 - 2) / 32 = 14.34: the steps turn at x = 14, 29, 43, ...
    for (int x : {14, 29, 43, 57}) {
        EXPECT_EQ(RowsIn(picture, x, kBlue).size(), 126u) << x;  // rows 2 to 127
        EXPECT_EQ(RowsIn(picture, x - 1, kBlue).size(), 1u) << x;
    }
    EXPECT_EQ(picture.Pixel(13, 127), kBlue);
    EXPECT_EQ(picture.Pixel(15, 2), kBlue);
}

TEST(GaussianPlot, WithoutSamplesOnlyTheFrame) {
    signals::TGaussianRec g = GaussianWithSamples();
    g.HasPot = false;
    const canvas::Canvas picture = inspection::GaussianPlot(g, 107.374, kW, kH, kColors);
    EXPECT_EQ(CountOf(picture, kFace), (kW - 2) * (kH - 2));
    EXPECT_EQ(CountOf(picture, kBlue), 0);
    EXPECT_EQ(CountOf(picture, kGreen), 0);
}

TEST(GaussianPlot, CurveOverTheSamplesAtEveryColumn) {
    signals::TGaussianRec g = GaussianWithSamples();
    const canvas::Canvas picture = inspection::GaussianPlot(g, 107.374, kW, kH, kColors);

    // the samples (all 0) on row 127, the curve's foot (1 x 6.25) on row 121
    EXPECT_EQ(picture.Pixel(300, 127), kBlue);
    EXPECT_EQ(RowsIn(picture, 300, kGreen), (std::vector<int>{121}));
    // drawn at every x from 2 to 459, the last column included, and no
    // further: the frame's highlight at x = 460 stays
    for (int x = 2; x <= 459; ++x)
        EXPECT_FALSE(RowsIn(picture, x, kGreen).empty()) << x;
    EXPECT_EQ(RowsIn(picture, 459, kGreen), (std::vector<int>{121}));
    EXPECT_TRUE(RowsIn(picture, 460, kGreen).empty());
    EXPECT_TRUE(RowsIn(picture, 1, kGreen).empty());
    // the peak: (10 + 1) x 6.25 = 68.75, row 127 - 69
    EXPECT_EQ(RowsIn(picture, CurvePeakColumn(picture), kGreen).front(), 58);
}

TEST(GaussianPlot, EarlyClientsTimesScaleWithTheTransform) {
    // 2 seconds of a 107.374-second recording: column 2 + 2 / 107.374 x 457
    signals::TGaussianRec g = GaussianWithSamples();
    g.FileVersion = 3.0f;
    const auto late = inspection::GaussianPlot(g, 107.374, kW, kH, kColors);
    EXPECT_NEAR(CurvePeakColumn(late), 2 + 2 / 107.374 * 457, 1.0);

    // a 2.0 client wrote the time in units of the 16384-point transform:
    // with FftLen 1024 the centre is 16 x 2 = 32 seconds in
    g.FileVersion = 2.0f;
    const auto early = inspection::GaussianPlot(g, 107.374, kW, kH, kColors);
    EXPECT_NEAR(CurvePeakColumn(early), 2 + 32 / 107.374 * 457, 1.0);

    EXPECT_DOUBLE_EQ(inspection::GaussianTimeFactor(g), 16);
    g.FileVersion = 2.5f;
    EXPECT_DOUBLE_EQ(inspection::GaussianTimeFactor(g), 1);
}

TEST(GaussianPlot, ACurveAboveThePictureIsClipped) {
    signals::TGaussianRec g = GaussianWithSamples();
    g.MaxPow = 0;  // no scale at all: the curve lies far above
    const canvas::Canvas picture = inspection::GaussianPlot(g, 107.374, kW, kH, kColors);
    EXPECT_EQ(CountOf(picture, kGreen), 0);
    g.MaxPow = 20;
    g.Sigma = 0;  // a curve with no width: its foot alone
    const canvas::Canvas flat = inspection::GaussianPlot(g, 107.374, kW, kH, kColors);
    EXPECT_EQ(RowsIn(flat, 300, kGreen), (std::vector<int>{121}));
}

TEST(PulsePlot, EmptyProfileGivesTheEmptyFrame) {
    signals::TPulseRec pulse;
    const canvas::Canvas picture = inspection::PulsePlot(pulse, kW, kH, kColors);
    EXPECT_EQ(CountOf(picture, kFace), (kW - 2) * (kH - 2));

    pulse.Prof = {0, 255};
    const canvas::Canvas two = inspection::PulsePlot(pulse, kW, kH, kColors);
    EXPECT_EQ(two.Pixel(100, 127), kBlue);
    EXPECT_EQ(two.Pixel(300, 2), kBlue);
}

}  // namespace
