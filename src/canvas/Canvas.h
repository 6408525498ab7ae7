#pragma once
// A small RGB picture that the logic draws into, pixel for pixel the same on
// every platform, so that the graph and the plots can be tested without a
// display; the windows only show the finished pixels.
//
// The primitives follow the classic Windows drawing rules the pictures were
// designed for: a line excludes its end point, a polyline is a chain of such
// lines (its last point is not drawn), rectangles exclude their right and
// bottom edges, a flood fill is four-connected. Everything is clipped to the
// picture, and any int coordinates are fine: the cost of a primitive depends
// on the picture's size, not on how far outside it the coordinates lie.
//
// Integer coordinates name pixel centres; (0, 0) is the top-left pixel.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace canvas {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

class Canvas {
public:
    Canvas(int width, int height, Color background);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at (x, y); (x, y) must lie inside the picture.
    Color Pixel(int x, int y) const;
    // Does nothing outside the picture.
    void SetPixel(int x, int y, Color color);

    // Left and top inclusive, right and bottom exclusive.
    void FillRect(int left, int top, int right, int bottom, Color color);
    // From (x0, y0) towards (x1, y1), the end point excluded; nothing when
    // the two are the same. One pixel per step along the longer axis (x when
    // both are equally long); on the other axis the pixel nearest to the
    // exact line, and where the line passes exactly half-way between two
    // pixels, the one with the smaller coordinate (the upper or the left
    // one). That tie rule does not depend on the direction, so a line and its
    // reverse cover the same pixels apart from their excluded end points.
    void Line(int x0, int y0, int x1, int y1, Color color);
    // Each consecutive pair as Line: every point but the last is drawn.
    void Polyline(std::span<const Point> points, Color color);
    // The inside in `brush`, then the closed outline (the last point joined
    // to the first) in `pen` over it, so every vertex ends up in `pen`.
    //
    // Inside means even-odd: a pixel is filled when its centre lies inside
    // the polygon, where the scan of a row counts an edge it meets at the
    // edge's upper end but not at its lower end (horizontal edges are
    // ignored), and a centre exactly on a crossing is inside on the left of
    // a span, outside on its right. The outline is eight-connected and closed,
    // so a four-connected flood fill does not leak through it.
    void Polygon(std::span<const Point> points, Color pen, Color brush);
    // Replaces the four-connected area of the colour at (x, y) with `color`.
    // Nothing when (x, y) lies outside the picture or already has `color`.
    void FloodFill(int x, int y, Color color);

    // Rows top to bottom, three bytes (red, green, blue) a pixel.
    const std::vector<std::uint8_t>& Bytes() const { return pixels_; }

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

// The picture as a PNG file's bytes (8-bit RGB, compressed with zlib at its
// best level). An empty picture (no pixels) has no PNG form and gives an
// empty string.
std::string EncodePng(const Canvas& picture);

}  // namespace canvas
