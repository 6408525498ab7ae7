#include "canvas/Canvas.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace canvas {

namespace {

struct Division {
    std::int64_t quotient = 0;
    std::int64_t remainder = 0;
};

// a * b = quotient * c + remainder with 0 <= remainder < c, for a, b >= 0 and
// 0 < c < 2^62 whose quotient fits. Differences of two ints are up to 2^32,
// so their products can overflow 64 bits; those are multiplied bit by bit,
// reducing modulo c as they go.
Division MultiplyDivide(std::int64_t a, std::int64_t b, std::int64_t c) {
    assert(a >= 0 && b >= 0 && c > 0);
    constexpr std::int64_t kSmall = std::int64_t{1} << 31;
    if (a < kSmall && b < kSmall) {
        const std::int64_t product = a * b;
        return {product / c, product % c};
    }
    Division result{(a / c) * b, 0};
    a %= c;
    std::int64_t quotient = 0;
    std::int64_t remainder = 0;
    for (int bit = 62; bit >= 0; --bit) {
        quotient *= 2;
        remainder *= 2;
        if (remainder >= c) {
            ++quotient;
            remainder -= c;
        }
        if ((b >> bit) & 1) {
            remainder += a;
            if (remainder >= c) {
                ++quotient;
                remainder -= c;
            }
        }
    }
    result.quotient += quotient;
    result.remainder = remainder;
    return result;
}

std::int64_t Abs(std::int64_t value) {
    return value < 0 ? -value : value;
}

// The smallest integer not below xa + (y - ya) * (xb - xa) / (yb - ya), the
// x where the edge from (xa, ya) to (xb, yb) meets row y; ya <= y < yb.
std::int64_t CrossingCeiling(Point a, Point b, int y) {
    const std::int64_t rows = std::int64_t{b.y} - a.y;
    const std::int64_t run = std::int64_t{b.x} - a.x;
    const Division offset = MultiplyDivide(std::int64_t{y} - a.y, Abs(run), rows);
    if (run >= 0) return a.x + offset.quotient + (offset.remainder > 0 ? 1 : 0);
    return a.x - offset.quotient;
}

int ClampToInt(std::int64_t value, int low, int high) {
    return static_cast<int>(std::clamp<std::int64_t>(value, low, high));
}

}  // namespace

Canvas::Canvas(int width, int height, Color background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3) {
    FillRect(0, 0, width_, height_, background);
}

Color Canvas::Pixel(int x, int y) const {
    assert(Inside(x, y));
    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                            static_cast<std::size_t>(x)) *
                           3;
    return {pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

void Canvas::SetPixel(int x, int y, Color color) {
    if (!Inside(x, y)) return;
    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                            static_cast<std::size_t>(x)) *
                           3;
    pixels_[at] = color.r;
    pixels_[at + 1] = color.g;
    pixels_[at + 2] = color.b;
}

void Canvas::FillRect(int left, int top, int right, int bottom, Color color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    if (left >= right || top >= bottom) return;
    // The first row pixel by pixel, the others copied from it: a picture is
    // filled whole every time the graph is redrawn.
    const std::size_t stride = static_cast<std::size_t>(width_) * 3;
    auto* const first = pixels_.data() + static_cast<std::size_t>(top) * stride +
                        static_cast<std::size_t>(left) * 3;
    const std::size_t rowBytes = static_cast<std::size_t>(right - left) * 3;
    for (std::size_t at = 0; at < rowBytes; at += 3) {
        first[at] = color.r;
        first[at + 1] = color.g;
        first[at + 2] = color.b;
    }
    for (int y = top + 1; y < bottom; ++y) {
        std::copy_n(first, rowBytes, first + static_cast<std::size_t>(y - top) * stride);
    }
}

void Canvas::Line(int x0, int y0, int x1, int y1, Color color) {
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    if (dx == 0 && dy == 0) return;

    // Straight lines (the graph's signals and grid) are runs of pixels: the
    // same pixels as the walk below, the end point left out. Bounds are
    // held just outside the picture so that no sum overflows.
    if (dx == 0 || dy == 0) {
        const auto hold = [](std::int64_t v, int limit) {
            return static_cast<int>(std::clamp<std::int64_t>(v, -1, std::int64_t{limit} + 1));
        };
        const std::int64_t left = dx >= 0 ? x0 : std::int64_t{x1} + 1;
        const std::int64_t right = dx > 0 ? x1 : std::int64_t{x0} + 1;
        const std::int64_t top = dy >= 0 ? y0 : std::int64_t{y1} + 1;
        const std::int64_t bottom = dy > 0 ? y1 : std::int64_t{y0} + 1;
        FillRect(hold(left, width_), hold(top, height_), hold(right, width_),
                 hold(bottom, height_), color);
        return;
    }

    // Step i (0 <= i < steps) puts one pixel at major0 + majorSign * i on the
    // major axis and at minor0 + minorSign * round(rise * i / steps) on the
    // other, the rounding as the header describes.
    const bool xMajor = Abs(dx) >= Abs(dy);
    const std::int64_t major0 = xMajor ? x0 : y0;
    const std::int64_t minor0 = xMajor ? y0 : x0;
    const std::int64_t majorDelta = xMajor ? dx : dy;
    const std::int64_t minorDelta = xMajor ? dy : dx;
    const std::int64_t majorLimit = xMajor ? width_ : height_;
    const std::int64_t minorLimit = xMajor ? height_ : width_;
    const std::int64_t steps = Abs(majorDelta);
    const std::int64_t rise = Abs(minorDelta);
    const std::int64_t majorSign = majorDelta > 0 ? 1 : -1;
    const std::int64_t minorSign = minorDelta >= 0 ? 1 : -1;

    // Only the steps whose major coordinate lies in the picture can draw
    // anything; starting the exact walk at the first of them keeps far-away
    // coordinates cheap without changing a pixel.
    std::int64_t first = 0;
    std::int64_t last = steps;
    if (majorSign > 0) {
        first = std::max(first, -major0);
        last = std::min(last, majorLimit - major0);
    } else {
        first = std::max(first, major0 - (majorLimit - 1));
        last = std::min(last, major0 + 1);
    }
    if (first >= last) return;

    // rise * i / steps == offset.quotient + offset.remainder / steps.
    Division offset = MultiplyDivide(rise, first, steps);
    for (std::int64_t i = first; i < last; ++i) {
        // Half-way goes to the smaller coordinate: down in distance from the
        // start when the minor coordinate grows, up when it shrinks.
        const bool roundAway =
            minorSign > 0 ? 2 * offset.remainder > steps : 2 * offset.remainder >= steps;
        const std::int64_t minor = minor0 + minorSign * (offset.quotient + (roundAway ? 1 : 0));
        if (minor >= 0 && minor < minorLimit) {
            const int major = static_cast<int>(major0 + majorSign * i);
            if (xMajor) {
                SetPixel(major, static_cast<int>(minor), color);
            } else {
                SetPixel(static_cast<int>(minor), major, color);
            }
        }
        offset.remainder += rise;
        if (offset.remainder >= steps) {
            offset.remainder -= steps;
            ++offset.quotient;
        }
    }
}

void Canvas::Polyline(std::span<const Point> points, Color color) {
    for (std::size_t k = 1; k < points.size(); ++k) {
        Line(points[k - 1].x, points[k - 1].y, points[k].x, points[k].y, color);
    }
}

void Canvas::Polygon(std::span<const Point> points, Color pen, Color brush) {
    if (points.empty()) return;

    const auto [lowest, highest] = std::minmax_element(points.begin(), points.end(),
                                                       [](Point a, Point b) { return a.y < b.y; });
    // Rows whose centres an edge can cross: a crossing needs ya <= y < yb.
    const int top = std::max(lowest->y, 0);
    const int bottom = ClampToInt(std::int64_t{highest->y} - 1, -1, height_ - 1);
    std::vector<std::int64_t> crossings;
    for (int y = top; y <= bottom; ++y) {
        crossings.clear();
        for (std::size_t k = 0; k < points.size(); ++k) {
            Point a = points[k];
            Point b = points[(k + 1) % points.size()];
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b);
            if (y >= a.y && y < b.y) crossings.push_back(CrossingCeiling(a, b, y));
        }
        // Ceilings keep the crossings' order (ties give empty spans), so
        // sorting them pairs the crossings as even-odd requires. Each span
        // covers the centres from its left crossing up to, not including,
        // its right one.
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            FillRect(ClampToInt(crossings[k], 0, width_), y,
                     ClampToInt(crossings[k + 1], 0, width_), y + 1, brush);
        }
    }

    bool anyLine = false;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point a = points[k];
        const Point b = points[(k + 1) % points.size()];
        Line(a.x, a.y, b.x, b.y, pen);
        anyLine = anyLine || a != b;
    }
    // All vertices at one place: no segment draws, yet the vertex must show.
    if (!anyLine) SetPixel(points[0].x, points[0].y, pen);
}

void Canvas::FloodFill(int x, int y, Color color) {
    if (!Inside(x, y)) return;
    const Color target = Pixel(x, y);
    if (target == color) return;
    const auto matches = [&](int px, int py) { return Pixel(px, py) == target; };

    // Span fill with an explicit stack: a region can be the whole picture,
    // far too deep for recursion. Each entry is a pixel of a run still to be
    // filled; runs already filled no longer match and are skipped.
    std::vector<Point> pending{{x, y}};
    while (!pending.empty()) {
        const Point seed = pending.back();
        pending.pop_back();
        if (!matches(seed.x, seed.y)) continue;
        int left = seed.x;
        while (left > 0 && matches(left - 1, seed.y))
            --left;
        int right = seed.x;
        while (right + 1 < width_ && matches(right + 1, seed.y))
            ++right;
        for (int px = left; px <= right; ++px)
            SetPixel(px, seed.y, color);
        for (const int row : {seed.y - 1, seed.y + 1}) {
            if (row < 0 || row >= height_) continue;
            bool inRun = false;
            for (int px = left; px <= right; ++px) {
                const bool match = matches(px, row);
                if (match && !inRun) pending.push_back({px, row});
                inRun = match;
            }
        }
    }
}

}  // namespace canvas
