#include "inspection/Plots.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "clientfiles/Format.h"

namespace inspection {

namespace {

using canvas::Point;

// A pixel coordinate from a computed one. A curve far outside the picture
// (a peak far above MaxPow, a zero MaxPow) only needs to stay outside it; a
// value that is no number at all (a zero sigma right at the centre) has no
// place and goes below the picture too.
int PixelCoordinate(double value) {
    constexpr double kFarOutside = 1e6;
    if (std::isnan(value)) return static_cast<int>(kFarOutside);
    return static_cast<int>(std::clamp(value, -kFarOutside, kFarOutside));
}

int Round(double value) {
    return PixelCoordinate(clientfiles::RoundHalfEven(value));
}

}  // namespace

canvas::Canvas PlotFrame(int width, int height, const PlotColors& colors) {
    canvas::Canvas picture(std::max(width, 0), std::max(height, 0), colors.face);
    const int right = width - 1, bottom = height - 1;
    const Point shadow[] = {{0, bottom}, {0, 0}, {right, 0}};
    picture.Polyline(shadow, colors.shadow);
    const Point highlight[] = {{right, 0}, {right, bottom}, {0, bottom}};
    picture.Polyline(highlight, colors.highlight);
    return picture;
}

int SampleRow(std::uint8_t sample, int height) {
    const double yScale = (height - 4) / 256.0;
    return height - 2 - Round(sample * yScale);
}

void DrawStaircase(canvas::Canvas& picture, std::span<const std::uint8_t> samples,
                   canvas::Color color) {
    if (samples.empty()) return;
    const double xStep = (picture.Width() - 2) / static_cast<double>(samples.size());
    const int height = picture.Height();
    // Up or down to each sample's level, then along it to the step's end;
    // every step starts where the one before ended.
    std::vector<Point> points;
    points.reserve(2 * samples.size() + 1);
    Point at{2, SampleRow(samples[0], height)};
    points.push_back(at);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        at.y = SampleRow(samples[i], height);
        points.push_back(at);
        at.x = Round(static_cast<double>(i + 1) * xStep);
        points.push_back(at);
    }
    picture.Polyline(points, color);
}

double GaussianTimeFactor(const signals::TGaussianRec& gaussian) {
    if (gaussian.FileVersion >= 2.5f) return 1;
    return 16384.0 / gaussian.FftLen;
}

canvas::Canvas GaussianPlot(const signals::TGaussianRec& gaussian, double workUnitSeconds,
                            int width, int height, const PlotColors& colors) {
    canvas::Canvas picture = PlotFrame(width, height, colors);
    if (!gaussian.HasPot) return picture;
    DrawStaircase(picture, gaussian.Pot, kSampleColor);

    // The curve in units of the mean power, whose scale the samples share
    // through MaxPow; 1 is the mean itself.
    const double centre = GaussianTimeFactor(gaussian) * gaussian.Time * 86400;
    const double scale = (height - 4) / gaussian.MaxPow * gaussian.Mean;
    const int base = height - 2;
    const auto row = [&](double seconds) {
        const double spread = (seconds - centre) / (2 * gaussian.Sigma);
        const double value = gaussian.Power * std::exp(-(spread * spread)) + 1;
        return base - Round(value * scale);
    };
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(std::max(width - 2, 1)));
    points.push_back({2, row(0)});
    for (int x = 2; x <= width - 2; ++x) {
        const double seconds = (x - 2) / static_cast<double>(width - 4) * workUnitSeconds;
        points.push_back({x, row(seconds)});
    }
    picture.Polyline(points, kCurveColor);
    // A polyline leaves out its last point; the curve belongs in the last
    // column as much as in every other.
    picture.SetPixel(points.back().x, points.back().y, kCurveColor);
    return picture;
}

canvas::Canvas PulsePlot(const signals::TPulseRec& pulse, int width, int height,
                         const PlotColors& colors) {
    canvas::Canvas picture = PlotFrame(width, height, colors);
    DrawStaircase(picture, pulse.Prof, kSampleColor);
    return picture;
}

}  // namespace inspection
