#include "canvas/Canvas.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace canvas;

namespace {

constexpr Color kWhite{255, 255, 255};
constexpr Color kBlack{0, 0, 0};
constexpr Color kRed{255, 0, 0};
constexpr Color kAqua{0, 255, 255};

// A product of two differences of ints needs 64 bits and a sign, more than
// std::int64_t holds; no wider integer exists everywhere (32-bit Windows has
// none), so such products are kept as a sign and an unsigned magnitude.
struct Product {
    bool negative = false;  // never for zero
    std::uint64_t magnitude = 0;
};

// a * b, where |a| and |b| are below 2^32.
Product Multiply(std::int64_t a, std::int64_t b) {
    const std::uint64_t magnitude =
        static_cast<std::uint64_t>(a < 0 ? -a : a) * static_cast<std::uint64_t>(b < 0 ? -b : b);
    return {magnitude != 0 && (a < 0) != (b < 0), magnitude};
}

bool LessOrEqual(Product l, Product r) {
    if (l.negative != r.negative) return l.negative;
    return l.negative ? l.magnitude >= r.magnitude : l.magnitude <= r.magnitude;
}

// The picture as text, one line a row: '.' white, '#' black, 'r' red, '~' aqua.
std::string Art(const Canvas& picture) {
    std::string art;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const Color c = picture.Pixel(x, y);
            art += c == kWhite ? '.' : c == kBlack ? '#' : c == kRed ? 'r' : c == kAqua ? '~' : '?';
        }
        art += '\n';
    }
    return art;
}

std::string Rows(std::initializer_list<std::string_view> rows) {
    std::string art;
    for (const std::string_view row : rows) {
        art += row;
        art += '\n';
    }
    return art;
}

// ceil(a * i / s - 1/2), exactly, for 0 <= i < s and |a| <= s < 2^32.
std::int64_t CeilMinusHalf(std::int64_t a, std::int64_t i, std::int64_t s) {
    const Product product = Multiply(a, i);
    const auto divisor = static_cast<std::uint64_t>(s);
    const auto quotient = static_cast<std::int64_t>(product.magnitude / divisor);
    const std::uint64_t remainder = product.magnitude % divisor;
    // Whether the remainder passes half of the divisor, or reaches it.
    const bool beyondHalf = remainder > divisor - remainder;
    const bool fromHalf = remainder >= divisor - remainder;
    return product.negative ? -quotient - (fromHalf ? 1 : 0) : quotient + (beyondHalf ? 1 : 0);
}

// The line written out from its definition: for each step along the longer
// axis, the nearest pixel on the other, half-way going to the smaller
// coordinate, i.e. ceil(exact - 1/2).
Canvas ReferenceLine(int width, int height, int x0, int y0, int x1, int y1) {
    Canvas picture(width, height, kWhite);
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t along = xMajor ? dx : dy;
    const std::int64_t across = xMajor ? dy : dx;
    const std::int64_t steps = along < 0 ? -along : along;
    const int majorLimit = xMajor ? width : height;
    for (int major = 0; major < majorLimit; ++major) {
        const std::int64_t i = (along > 0 ? 1 : -1) * (std::int64_t{major} - (xMajor ? x0 : y0));
        if (steps == 0 || i < 0 || i >= steps) continue;
        const std::int64_t minor = (xMajor ? y0 : x0) + CeilMinusHalf(across, i, steps);
        if (minor < 0 || minor >= (xMajor ? height : width)) continue;
        if (xMajor) {
            picture.SetPixel(major, static_cast<int>(minor), kBlack);
        } else {
            picture.SetPixel(static_cast<int>(minor), major, kBlack);
        }
    }
    return picture;
}

// The polygon written out from its definition: a pixel centre is inside when
// an odd number of edges cross its row (upper end counted, lower end not) at
// or left of it. The outline comes from Line, tested on its own.
Canvas ReferencePolygon(int width, int height, const std::vector<Point>& points) {
    Canvas picture(width, height, kWhite);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int crossings = 0;
            for (std::size_t k = 0; k < points.size(); ++k) {
                Point a = points[k];
                Point b = points[(k + 1) % points.size()];
                if (a.y > b.y) std::swap(a, b);
                if (a.y == b.y || y < a.y || y >= b.y) continue;
                // crossing x <= x, times (b.y - a.y) > 0
                // a.x + (y - a.y) * (b.x - a.x) / rows <= x, with rows > 0
                const std::int64_t rows = std::int64_t{b.y} - a.y;
                if (LessOrEqual(Multiply(std::int64_t{y} - a.y, std::int64_t{b.x} - a.x),
                                Multiply(std::int64_t{x} - a.x, rows))) {
                    ++crossings;
                }
            }
            if (crossings % 2 == 1) picture.SetPixel(x, y, kRed);
        }
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point a = points[k];
        const Point b = points[(k + 1) % points.size()];
        picture.Line(a.x, a.y, b.x, b.y, kBlack);
    }
    return picture;
}

// A fixed pseudo-random sequence, so every run checks the same shapes.
class Numbers {
public:
    int Next(int low, int high) {  // inclusive
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        const auto span = static_cast<std::uint64_t>(std::int64_t{high} - low + 1);
        // The upper 48 bits: the low ones of this generator repeat quickly.
        return static_cast<int>(low + static_cast<std::int64_t>((state_ >> 16) % span));
    }

private:
    std::uint64_t state_ = 42;
};

TEST(CanvasLine, HorizontalAndVerticalExcludeTheEndPoint) {
    Canvas picture(7, 5, kWhite);
    picture.Line(1, 1, 5, 1, kBlack);
    picture.Line(5, 3, 2, 3, kBlack);
    picture.Line(0, 0, 0, 4, kBlack);
    picture.Line(6, 4, 6, 1, kBlack);
    EXPECT_EQ(Art(picture), Rows({"#......",  //
                                  "#####..",  //
                                  "#.....#",  //
                                  "#..####",  //
                                  "......#"}));
}

TEST(CanvasLine, DiagonalsInAllFourDirections) {
    Canvas picture(9, 4, kWhite);
    picture.Line(0, 0, 3, 3, kBlack);
    picture.Line(8, 3, 5, 0, kBlack);
    Canvas other(4, 4, kWhite);
    other.Line(3, 0, 0, 3, kBlack);
    other.Line(1, 3, 4, 0, kBlack);
    EXPECT_EQ(Art(picture), Rows({"#........",  //
                                  ".#....#..",  //
                                  "..#....#.",  //
                                  "........#"}));
    EXPECT_EQ(Art(other), Rows({"...#",  //
                                "..##",  //
                                ".##.",  //
                                ".#.."}));
}

TEST(CanvasLine, ShallowLineTiesGoToTheSmallerCoordinate) {
    // 0, 1/4, 1/2, 3/4 of a row down: the tie at x = 2 stays on row 0.
    Canvas forward(5, 2, kWhite);
    forward.Line(0, 0, 4, 1, kBlack);
    EXPECT_EQ(Art(forward), Rows({"###..",  //
                                  "...#."}));
    // Walking the other way the tie still takes row 0.
    Canvas backward(5, 2, kWhite);
    backward.Line(4, 1, 0, 0, kBlack);
    EXPECT_EQ(Art(backward), Rows({".##..",  //
                                   "...##"}));
}

TEST(CanvasLine, SteepLineStepsAlongY) {
    Canvas picture(4, 6, kWhite);
    picture.Line(1, 0, 3, 5, kBlack);
    EXPECT_EQ(Art(picture), Rows({".#..",  //
                                  ".#..",  //
                                  "..#.",  //
                                  "..#.",  //
                                  "...#",  //
                                  "...."}));
    // A vertical tie (x exactly half-way) goes left.
    Canvas tie(2, 4, kWhite);
    tie.Line(0, 0, 1, 4, kBlack);
    EXPECT_EQ(Art(tie), Rows({"#.",  //
                              "#.",  //
                              "#.",  //
                              ".#"}));
}

TEST(CanvasLine, ZeroLengthDrawsNothing) {
    Canvas picture(3, 3, kWhite);
    picture.Line(1, 1, 1, 1, kBlack);
    EXPECT_EQ(Art(picture), Rows({"...", "...", "..."}));
}

TEST(CanvasLine, ReverseCoversTheSamePixelsButItsEnds) {
    Numbers numbers;
    for (int n = 0; n < 2000; ++n) {
        const int x0 = numbers.Next(0, 11), y0 = numbers.Next(0, 8);
        const int x1 = numbers.Next(0, 11), y1 = numbers.Next(0, 8);
        Canvas forward(12, 9, kWhite);
        forward.Line(x0, y0, x1, y1, kBlack);
        forward.SetPixel(x0, y0, kBlack);
        forward.SetPixel(x1, y1, kBlack);
        Canvas backward(12, 9, kWhite);
        backward.Line(x1, y1, x0, y0, kBlack);
        backward.SetPixel(x0, y0, kBlack);
        backward.SetPixel(x1, y1, kBlack);
        ASSERT_EQ(Art(forward), Art(backward)) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
}

TEST(CanvasLine, MatchesTheExactRoundingNearAndFarAway) {
    Numbers numbers;
    const std::array<int, 10> far{INT_MIN, INT_MIN + 1, -1000000, -40000,      -3,
                                  20,      40000,       1000000,  INT_MAX - 1, INT_MAX};
    for (int n = 0; n < 3000; ++n) {
        // Mix endpoints in and around the picture with very distant ones.
        const auto coordinate = [&](int limit) {
            switch (numbers.Next(0, 3)) {
                case 0:
                    return far[static_cast<std::size_t>(numbers.Next(0, 9))];
                case 1:
                    return numbers.Next(INT_MIN, INT_MAX);
                default:
                    return numbers.Next(-4, limit + 4);
            }
        };
        const int x0 = coordinate(13), y0 = coordinate(9);
        const int x1 = coordinate(13), y1 = coordinate(9);
        Canvas picture(13, 9, kWhite);
        picture.Line(x0, y0, x1, y1, kBlack);
        ASSERT_EQ(Art(picture), Art(ReferenceLine(13, 9, x0, y0, x1, y1)))
            << x0 << "," << y0 << " " << x1 << "," << y1;
    }
}

TEST(CanvasLine, ClipsTheFullIntRange) {
    Canvas picture(6, 4, kWhite);
    picture.Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBlack);
    picture.Line(-1000000, 3, 1000000, 3, kRed);
    picture.Line(INT_MAX, 0, INT_MIN, 0, kAqua);
    picture.Line(5, INT_MIN, 5, INT_MAX, kBlack);
    EXPECT_EQ(Art(picture), Rows({"~~~~~#",  //
                                  ".#...#",  //
                                  "..#..#",  //
                                  "rrrrr#"}));
}

TEST(CanvasPolyline, DrawsEveryPointButTheLast) {
    Canvas picture(6, 5, kWhite);
    const std::vector<Point> points{{1, 1}, {4, 1}, {4, 4}};
    picture.Polyline(points, kBlack);
    EXPECT_EQ(Art(picture), Rows({"......",  //
                                  ".####.",  //
                                  "....#.",  //
                                  "....#.",  //
                                  "......"}));
    picture.Polyline(std::vector<Point>{{0, 0}}, kBlack);
    EXPECT_EQ(picture.Pixel(0, 0), kWhite);
}

TEST(CanvasFillRect, ExcludesRightAndBottomAndClips) {
    Canvas picture(6, 4, kWhite);
    picture.FillRect(1, 1, 4, 3, kBlack);
    picture.FillRect(5, 0, 5, 4, kRed);  // empty: no width
    picture.FillRect(3, 3, 1, 4, kRed);  // empty: right before left
    picture.FillRect(5, -1000000, 1000000, 1, kAqua);
    EXPECT_EQ(Art(picture), Rows({".....~",  //
                                  ".###..",  //
                                  ".###..",  //
                                  "......"}));
    picture.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kRed);
    EXPECT_EQ(Art(picture), Rows({"rrrrrr", "rrrrrr", "rrrrrr", "rrrrrr"}));
}

TEST(CanvasFloodFill, FillsFourConnectedAndStopsAtDiagonalGaps) {
    // GIVEN a single-pixel diagonal wall: its pixels touch only at corners
    Canvas picture(6, 6, kWhite);
    picture.Line(0, 5, 6, -1, kBlack);
    // WHEN the upper-left side is filled
    picture.FloodFill(0, 0, kAqua);
    // THEN nothing passes between the corners
    EXPECT_EQ(Art(picture), Rows({"~~~~~#",  //
                                  "~~~~#.",  //
                                  "~~~#..",  //
                                  "~~#...",  //
                                  "~#....",  //
                                  "#....."}));
}

TEST(CanvasFloodFill, ReplacesOnlyTheColourFound) {
    Canvas picture(5, 3, kWhite);
    picture.FillRect(1, 0, 4, 3, kRed);
    picture.SetPixel(2, 1, kBlack);
    picture.FloodFill(3, 2, kAqua);
    EXPECT_EQ(Art(picture), Rows({".~~~.",  //
                                  ".~#~.",  //
                                  ".~~~."}));
}

TEST(CanvasFloodFill, OutsideOrSameColourChangesNothing) {
    Canvas picture(3, 2, kWhite);
    picture.FloodFill(-1, 0, kBlack);
    picture.FloodFill(0, 2, kBlack);
    picture.FloodFill(INT_MAX, INT_MIN, kBlack);
    picture.FloodFill(1, 1, kWhite);
    EXPECT_EQ(Art(picture), Rows({"...", "..."}));
}

TEST(CanvasFloodFill, HandlesAWholeLargeMaze) {
    // A serpentine corridor makes the deepest possible fill of 500x250.
    Canvas picture(500, 250, kWhite);
    for (int y = 1; y < 250; y += 2) {
        picture.FillRect(y % 4 == 1 ? 0 : 1, y, y % 4 == 1 ? 499 : 500, y + 1, kBlack);
    }
    picture.FloodFill(0, 0, kAqua);
    EXPECT_EQ(picture.Pixel(499, 249), kAqua);
    EXPECT_EQ(picture.Pixel(0, 248), kAqua);
    EXPECT_EQ(picture.Pixel(499, 1), kAqua);
    EXPECT_EQ(picture.Pixel(0, 1), kBlack);
}

TEST(CanvasPolygon, FillsInsideThenDrawsTheClosedOutline) {
    Canvas picture(8, 7, kWhite);
    picture.Polygon(std::vector<Point>{{1, 1}, {6, 1}, {6, 5}, {1, 5}}, kBlack, kRed);
    EXPECT_EQ(Art(picture), Rows({"........",  //
                                  ".######.",  //
                                  ".#rrrr#.",  //
                                  ".#rrrr#.",  //
                                  ".#rrrr#.",  //
                                  ".######.",  //
                                  "........"}));
}

TEST(CanvasPolygon, EvenOddLeavesADoublyEnclosedHole) {
    // An outer square and an inner one joined by a seam, as one outline.
    Canvas picture(11, 11, kWhite);
    const std::vector<Point> frame{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0},
                                   {3, 3}, {3, 7},  {7, 7},   {7, 3}};
    picture.Polygon(frame, kBlack, kRed);
    EXPECT_EQ(picture.Pixel(5, 5), kWhite);
    EXPECT_EQ(picture.Pixel(1, 5), kRed);
    EXPECT_EQ(picture.Pixel(8, 8), kRed);
    EXPECT_EQ(picture.Pixel(2, 2), kBlack);  // the seam
    EXPECT_EQ(Art(picture), Art(ReferencePolygon(11, 11, frame)));
}

TEST(CanvasPolygon, EveryVertexIsDrawnEvenWhenDegenerate) {
    Canvas picture(4, 3, kWhite);
    picture.Polygon(std::vector<Point>{{2, 1}, {2, 1}, {2, 1}}, kBlack, kRed);
    picture.Polygon(std::vector<Point>{{0, 0}, {3, 2}}, kBlack, kRed);
    picture.Polygon(std::vector<Point>{}, kBlack, kRed);
    EXPECT_EQ(Art(picture), Rows({"#...",  //
                                  ".##.",  //
                                  "...#"}));
}

TEST(CanvasPolygon, MatchesTheCentreRuleNearAndFarAway) {
    Numbers numbers;
    for (int n = 0; n < 400; ++n) {
        // Near vertices, far ones, and pairs of far ones mirrored through a
        // point of the picture, whose edge spans nearly all of int and still
        // crosses the picture.
        std::vector<Point> points;
        const auto count = static_cast<std::size_t>(numbers.Next(3, 7));
        while (points.size() < count) {
            const Point near{numbers.Next(-3, 16), numbers.Next(-3, 12)};
            const int kind = n % 3 == 0 ? 0 : numbers.Next(0, 2);
            if (kind == 0) {
                points.push_back(near);
            } else if (kind == 1) {
                points.push_back({numbers.Next(INT_MIN, INT_MAX), numbers.Next(INT_MIN, INT_MAX)});
            } else {
                const Point far{numbers.Next(INT_MIN + 64, INT_MAX - 64),
                                numbers.Next(INT_MIN + 64, INT_MAX - 64)};
                points.push_back(far);
                points.push_back({static_cast<int>(2 * std::int64_t{near.x} - far.x),
                                  static_cast<int>(2 * std::int64_t{near.y} - far.y)});
            }
        }
        Canvas picture(14, 10, kWhite);
        picture.Polygon(points, kBlack, kRed);
        ASSERT_EQ(Art(picture), Art(ReferencePolygon(14, 10, points))) << "shape " << n;
    }
}

TEST(CanvasPolygon, FarVerticesCoverThePicture) {
    Canvas picture(5, 3, kWhite);
    picture.Polygon(
        std::vector<Point>{
            {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}},
        kBlack, kRed);
    EXPECT_EQ(Art(picture), Rows({"rrrrr", "rrrrr", "rrrrr"}));
}

TEST(CanvasPolygon, AxisOutlineHoldsAFloodFill) {
    // GIVEN the graph's L-shaped axes with arrow heads, outlined in black on
    // a background brush
    constexpr int kW = 524, kH = 247;
    const std::vector<Point> axes{{4, 0},
                                  {0, 9},
                                  {3, 9},
                                  {3, kH - 4},
                                  {kW - 10, kH - 4},
                                  {kW - 10, kH - 1},
                                  {kW - 1, kH - 5},
                                  {kW - 10, kH - 9},
                                  {kW - 10, kH - 6},
                                  {5, kH - 6},
                                  {5, 9},
                                  {8, 9}};
    Canvas picture(kW, kH, kWhite);
    picture.Polygon(axes, kBlack, kWhite);
    Canvas outline(kW, kH, kWhite);
    for (std::size_t k = 0; k < axes.size(); ++k) {
        const Point a = axes[k], b = axes[(k + 1) % axes.size()];
        outline.Line(a.x, a.y, b.x, b.y, kBlack);
    }
    // WHEN the inside is flooded from the tip of the upward arrow
    picture.FloodFill(4, 2, kAqua);
    // THEN the outline is intact, every vertex drawn
    for (const Point p : axes)
        EXPECT_EQ(picture.Pixel(p.x, p.y), kBlack) << p.x << "," << p.y;
    // AND the aqua is exactly the polygon's inside: no leak, nothing missed
    const Canvas inside = ReferencePolygon(kW, kH, axes);
    int aqua = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const Color got = picture.Pixel(x, y);
            if (outline.Pixel(x, y) == kBlack) {
                ASSERT_EQ(got, kBlack) << x << "," << y;
            } else {
                ASSERT_EQ(got, inside.Pixel(x, y) == kRed ? kAqua : kWhite) << x << "," << y;
            }
            aqua += got == kAqua ? 1 : 0;
        }
    }
    // the shafts: x = 4 down the y axis, y = H - 5 along the x axis
    EXPECT_EQ(picture.Pixel(4, 100), kAqua);
    EXPECT_EQ(picture.Pixel(4, kH - 5), kAqua);
    EXPECT_EQ(picture.Pixel(300, kH - 5), kAqua);
    EXPECT_EQ(picture.Pixel(kW - 3, kH - 5), kAqua);
    EXPECT_EQ(picture.Pixel(2, 100), kWhite);
    EXPECT_EQ(picture.Pixel(6, 100), kWhite);
    EXPECT_EQ(picture.Pixel(300, kH - 7), kWhite);
    EXPECT_EQ(picture.Pixel(300, kH - 3), kWhite);
    EXPECT_EQ(picture.Pixel(0, 0), kWhite);
    EXPECT_EQ(picture.Pixel(kW - 1, kH - 1), kWhite);
    EXPECT_GT(aqua, (kH - 15) + (kW - 15));
}

// ---- PNG ----------------------------------------------------------------

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes.at(at + k));
    }
    return value;
}

// Bit by bit, independent of the encoder's table.
std::uint32_t SlowCrc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0);
    }
    return ~crc;
}

struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Decodes what the encoder writes (8-bit RGB, one zlib stream, filter 0):
// the chunks' CRCs by our own slow sum, the stream by zlib, whose inflate
// checks the Adler-32. Fails the test on anything else.
DecodedPng DecodePng(std::string_view png) {
    DecodedPng decoded;
    EXPECT_EQ(png.substr(0, 8), std::string_view("\x89PNG\r\n\x1A\n", 8));
    std::string idat;
    std::vector<std::string> types;
    for (std::size_t at = 8; at < png.size();) {
        const std::uint32_t length = BigEndian32(png, at);
        const std::string_view typeAndData = png.substr(at + 4, 4 + length);
        EXPECT_EQ(BigEndian32(png, at + 8 + length), SlowCrc32(typeAndData));
        const std::string type(typeAndData.substr(0, 4));
        const std::string_view data = typeAndData.substr(4);
        types.push_back(type);
        if (type == "IHDR") {
            EXPECT_EQ(length, 13u);
            decoded.width = static_cast<int>(BigEndian32(data, 0));
            decoded.height = static_cast<int>(BigEndian32(data, 4));
            EXPECT_EQ(data.substr(8), std::string_view("\x08\x02\x00\x00\x00", 5));
        } else if (type == "IDAT") {
            idat += data;
        }
        at += 12 + length;
        EXPECT_LE(at, png.size());
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    const std::size_t stride = static_cast<std::size_t>(decoded.width) * 3 + 1;
    std::string raw(stride * static_cast<std::size_t>(decoded.height), '\0');
    uLongf rawSize = static_cast<uLongf>(raw.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize,
                         reinterpret_cast<const Bytef*>(idat.data()),
                         static_cast<uLong>(idat.size())),
              Z_OK);
    EXPECT_EQ(rawSize, raw.size());
    for (std::size_t row = 0; row * stride < raw.size(); ++row) {
        EXPECT_EQ(raw[row * stride], '\0') << "filter of row " << row;
        for (std::size_t k = 1; k < stride; ++k)
            decoded.pixels.push_back(static_cast<std::uint8_t>(raw[row * stride + k]));
    }
    return decoded;
}

TEST(CanvasPng, PicturesRoundTripPixelForPixel) {
    Canvas small(3, 2, kWhite);
    small.SetPixel(0, 0, kRed);
    small.SetPixel(1, 0, Color{1, 2, 3});
    small.SetPixel(2, 1, kAqua);
    // The graph's size, every pixel different from its neighbours: what
    // deflate cannot shrink must still come back whole.
    Canvas noisy(524, 247, kWhite);
    for (int y = 0; y < noisy.Height(); ++y) {
        for (int x = 0; x < noisy.Width(); ++x) {
            noisy.SetPixel(x, y,
                           Color{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                 static_cast<std::uint8_t>(x ^ y)});
        }
    }
    Canvas onePixel(1, 1, kRed);
    for (const Canvas* picture : {&small, &noisy, &onePixel}) {
        const DecodedPng decoded = DecodePng(EncodePng(*picture));
        EXPECT_EQ(decoded.width, picture->Width());
        EXPECT_EQ(decoded.height, picture->Height());
        EXPECT_EQ(decoded.pixels, picture->Bytes());
    }
}

TEST(CanvasPng, DrawnPictureIsCompressed) {
    // A graph-like picture: a face-coloured field, a grid and a trace. Stored
    // raw it is 388,531 bytes.
    Canvas picture(524, 247, Color{212, 208, 200});
    picture.FillRect(40, 10, 514, 220, kBlack);
    for (int x = 40; x < 514; x += 40)
        picture.Line(x, 10, x, 220, Color{0, 128, 0});
    for (int x = 40; x < 513; ++x)
        picture.SetPixel(x, 115 + (x * 7 % 90) - 45, kRed);
    const std::string png = EncodePng(picture);
    EXPECT_EQ(DecodePng(png).pixels, picture.Bytes());
    EXPECT_LT(png.size(), 10'000u);
}

TEST(CanvasPng, EmptyPictureHasNoFile) {
    EXPECT_EQ(EncodePng(Canvas(0, 5, kWhite)), "");
    EXPECT_EQ(EncodePng(Canvas(-3, -3, kWhite)), "");
}

}  // namespace
