#pragma once
// The gaussian and pulse plots of the signal info window, drawn into our own
// picture: a sunken frame on the button face, the samples as a blue
// staircase and, for a gaussian, the fitted curve in green over them. The
// window only shows the finished pixels.

#include <cstdint>
#include <span>

#include "canvas/Canvas.h"
#include "signals/SignalRecords.h"

namespace inspection {

// The system's button colours: background, and the frame's two edges.
struct PlotColors {
    canvas::Color face;
    canvas::Color shadow;
    canvas::Color highlight;
};

inline constexpr canvas::Color kSampleColor{0, 0, 255};
inline constexpr canvas::Color kCurveColor{0, 128, 0};

// A `width` x `height` picture in the face colour with a sunken frame: the
// shadow along the left and top edges, the highlight along the right and
// bottom ones.
canvas::Canvas PlotFrame(int width, int height, const PlotColors& colors);

// The row of a sample (0 to 255) in a plot `height` pixels high: 0 lies on
// the row above the bottom edge, 255 three rows below the top.
int SampleRow(std::uint8_t sample, int height);

// The samples as a staircase from x = 2 to x = width - 2, one step each.
void DrawStaircase(canvas::Canvas& picture, std::span<const std::uint8_t> samples,
                   canvas::Color color);

// Clients before 2.5 wrote a gaussian's time in units of the 16384-point
// transform: 1 for later ones, 16384 / FftLen for those.
double GaussianTimeFactor(const signals::TGaussianRec& gaussian);

// A gaussian's plot: its samples and the gaussian curve its figures give,
// over the recording's `workUnitSeconds`. A gaussian without samples gives
// the empty frame. `gaussian.Time` must already be relative to the start of
// the recording (in days).
canvas::Canvas GaussianPlot(const signals::TGaussianRec& gaussian, double workUnitSeconds,
                            int width, int height, const PlotColors& colors);

// A pulse's plot: its folded profile; an empty profile gives the empty frame.
canvas::Canvas PulsePlot(const signals::TPulseRec& pulse, int width, int height,
                         const PlotColors& colors);

}  // namespace inspection
