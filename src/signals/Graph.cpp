#include "signals/Graph.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "clientfiles/Format.h"
#include "views/MainView.h"

namespace signals {

namespace {

using canvas::Color;
using canvas::Point;
using views::Control;

// Per kind: axis units per height value, the axis unit, the colour. For
// every kind units × unit = 200, so the axis reads true for the axis kind.
struct KindStyle {
    double unitsPerValue;
    double axisUnit;
    Color color;
    const char* name;
};
constexpr KindStyle kKinds[kKindCount] = {
    {25.0 / 3, 24, {255, 0, 0}, "spikes"},
    {500, 0.4, {0, 0, 255}, "gaussians"},
    {20, 10, {128, 0, 128}, "triplets"},
    {200, 1, {0, 128, 0}, "pulses"},
};

constexpr Color kBoxGrey{128, 128, 128};
constexpr Color kAxisAqua{0, 255, 255};
constexpr Color kAxisOutline{0, 0, 0};
constexpr Color kGridGrey{159, 159, 159};
constexpr int kTopLimit = 14;   // no signal rises above this row
constexpr int kHitReach = 10;   // columns either side of a signal
constexpr int kPlotLeft = 6;    // first column of the plot area
constexpr int kDashLength = 5;  // grid dashes every ten pixels
constexpr double kNoSignalDist = 128.0;
constexpr double kDotSearchBound = 100000;

constexpr Control kBestLabels[kKindCount] = {Control::BestPeakLabel, Control::BestGaussianLabel,
                                            Control::BestTripletLabel, Control::BestPulseLabel};
constexpr Control kCaptions[kKindCount] = {Control::Label14, Control::Label15, Control::Label17,
                                          Control::Label18};
constexpr Control kAxisLabels[] = {Control::AxisLabel1, Control::AxisLabel2, Control::AxisLabel3,
                                   Control::AxisLabel4};

// Nearest integer, halves to even, held to a range where pixels make sense
// (a damaged file may give any number).
std::int64_t RoundPixel(double x) {
    constexpr double kLimit = 1e9;
    if (std::isnan(x)) return 0;
    return static_cast<std::int64_t>(clientfiles::RoundHalfEven(std::clamp(x, -kLimit, kLimit)));
}

Color ToColor(views::Rgb rgb) { return {rgb.r, rgb.g, rgb.b}; }

Color Shade(views::Rgb face, double divisor) {
    const auto part = [divisor](std::uint8_t v) {
        return static_cast<std::uint8_t>(clientfiles::RoundHalfEven(v / divisor));
    };
    return {part(face.r), part(face.g), part(face.b)};
}

double HeightValue(const TSpikeRec& r) { return r.Power; }
double HeightValue(const TGaussianRec& r) { return r.Score; }
double HeightValue(const TTripletRec& r) { return r.Power; }
double HeightValue(const TPulseRec& r) { return r.Score; }

// Calls `f(kind, list)` for each kind's list.
template <typename F>
void ForEachList(const SignalLists& lists, F&& f) {
    f(kSpike, lists.SpikeList);
    f(kGaussian, lists.GaussianList);
    f(kTriplet, lists.TripletList);
    f(kPulse, lists.PulseList);
}

}  // namespace

GraphGeometry GraphGeometry::FromLayout(int imageLeft, int imageTop, int width, int height,
                                        int gaugeP1Left, int gaugeP1Top) {
    GraphGeometry g;
    g.imageLeft = imageLeft;
    g.imageTop = imageTop;
    g.width = width;
    g.height = height;
    g.xOrigin = gaugeP1Left - imageLeft;
    g.baseline = gaugeP1Top - imageTop - 3;
    g.yScale = (g.baseline - 13) / 180.0 / 2.5;
    g.baseXScale = (width - 28) / 20.0;
    return g;
}

Graph::Graph(views::MainView& view, const GraphGeometry& geometry, const SignalLists& lists,
             GraphMenus& menus, char decimalSeparator)
    : view_(view),
      geometry_(geometry),
      lists_(lists),
      menus_(menus),
      decimalSeparator_(decimalSeparator),
      background_(ToColor(view.ButtonFaceColor())),
      picture_(geometry.width, geometry.height, background_),
      frame_(picture_),
      xScale_(geometry.baseXScale) {
    ResetHitColumns();
}

// ------------------------------------------------------------------ drawing

void Graph::DrawGraphFrame() {
    const int w = geometry_.width, h = geometry_.height;
    picture_.FillRect(0, 0, w, h, background_);

    // The side face at the right and the top face of a box seen slightly
    // from above and from the right.
    const Point box[] = {{w - 2, 0},  {w - 21, 13}, {w - 21, h - 7}, {w - 2, h - 20},
                         {w - 2, 0},  {19, 0},      {6, 13},         {w - 21, 13}};
    picture_.Polyline(box, kBoxGrey);

    // Both axes as one outline, with arrow heads up and to the right.
    const Point axes[] = {{4, 0},          {0, 9},          {3, 9},          {3, h - 4},
                          {w - 10, h - 4}, {w - 10, h - 1}, {w - 1, h - 5},  {w - 10, h - 9},
                          {w - 10, h - 6}, {5, h - 6},      {5, 9},          {8, 9}};
    picture_.Polygon(axes, kAxisOutline, background_);

    const views::Rgb face = view_.ButtonFaceColor();
    picture_.FloodFill(4, 2, kAxisAqua);
    picture_.FloodFill(w - 5, 20, Shade(face, 1.201));
    picture_.FloodFill(30, 10, Shade(face, 1.091));
    frame_ = picture_;

    ClearGraph();
    SetScaleFactor();
}

void Graph::ClearGraph() {
    const int w = geometry_.width, h = geometry_.height;
    ResetHitColumns();
    // Signals at the very end of the range stand on the vertical axis, and a
    // damaged file's negative strengths reach below the baseline onto the
    // horizontal one: the frame comes back whole, not only the plot area.
    picture_ = frame_;
    picture_.FillRect(kPlotLeft, kTopLimit, w - 21, h - 6, background_);
    for (int i = 1; i <= 4; ++i) {
        const int y =
            geometry_.baseline - static_cast<int>(RoundPixel(100 * i * geometry_.yScale)) + 1;
        for (int x = kPlotLeft; x < w - 21; x += 2 * kDashLength)
            picture_.FillRect(x, y, std::min(x + kDashLength, w - 21), y + 1, kGridGrey);
    }
    for (Control label : kBestLabels) view_.SetFontColor(label, {0, 0, 0});
    ShowPicture();
}

void Graph::DrawSignals(bool draw) {
    ResetHitColumns();
    for (const std::uint8_t kind : menus_.SignalPriority()) {
        switch (kind) {
            case kSpike:
                PlotKind(kind, lists_.SpikeList, draw);
                break;
            case kGaussian:
                PlotKind(kind, lists_.GaussianList, draw);
                break;
            case kTriplet:
                PlotKind(kind, lists_.TripletList, draw);
                break;
            case kPulse:
                PlotKind(kind, lists_.PulseList, draw);
                break;
            default:
                break;
        }
    }
    ColourBestLabels();
    if (draw) ShowPicture();
}

template <typename Record>
void Graph::PlotKind(int kind, const SignalList<Record>& list, bool draw) {
    if (!menus_.KindShown(kind)) return;
    const int w = geometry_.width;
    const int baseline = geometry_.baseline;
    const Color color = kKinds[kind].color;
    // Lines of one kind share their colour and all start at the baseline, so
    // in each column only the longest one upwards (and downwards) shows:
    // thousands of signals cost one line a column.
    const bool lines = draw && !menus_.DotPlot();
    if (lines) {
        columnTop_.assign(static_cast<std::size_t>(w), baseline);
        columnBottom_.assign(static_cast<std::size_t>(w), baseline);
    }
    // The drift rate each hit column stands for, worked out once for all
    // signals.
    const int columns = static_cast<int>(hitColumns_.size());
    columnChirp_.resize(hitColumns_.size());
    for (int x = kPlotLeft; x < kPlotLeft + columns; ++x)
        columnChirp_[static_cast<std::size_t>(x - kPlotLeft)] = (x - geometry_.xOrigin) / xScale_;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Record& record = list[i];
        if (!(std::fabs(record.ChirpRate) <= driftRange_)) continue;
        const Point p = Position(kind, HeightValue(record), record.ChirpRate);

        const auto top = static_cast<std::int16_t>(std::max(p.y - kHitReach, kTopLimit));
        const int first = std::max(p.x - kHitReach, kPlotLeft);
        const int last = std::min(p.x + kHitReach, w - 22);
        for (int x = first; x <= last; ++x) {
            HitColumn& column = hitColumns_[static_cast<std::size_t>(x - kPlotLeft)];
            column.Top = std::min(column.Top, top);
            const double dist =
                std::fabs(record.ChirpRate - columnChirp_[static_cast<std::size_t>(x - kPlotLeft)]);
            if (dist < column.Dist) {
                column.Dist = dist;
                column.Index = static_cast<std::int32_t>(i);
                column.Kind = static_cast<std::uint8_t>(kind);
            }
        }

        if (!draw) continue;
        if (!lines) {
            picture_.FillRect(p.x, p.y, std::min(p.x + 2, w - 21), p.y + 2, color);
        } else if (p.x >= 0 && p.x < w) {
            const auto x = static_cast<std::size_t>(p.x);
            columnTop_[x] = std::min(columnTop_[x], p.y);
            columnBottom_[x] = std::max(columnBottom_[x], p.y);
        }
    }
    if (!lines) return;
    for (int x = 0; x < w; ++x) {
        const auto column = static_cast<std::size_t>(x);
        if (columnTop_[column] < baseline) picture_.Line(x, baseline, x, columnTop_[column], color);
        if (columnBottom_[column] > baseline)
            picture_.Line(x, baseline, x, columnBottom_[column], color);
    }
}

canvas::Point Graph::Position(int kind, double value, double chirpRate) const {
    const double height =
        value * geometry_.yScale * kKinds[kind].unitsPerValue / menus_.ScaleFactor();
    const auto x = RoundPixel(xScale_ * chirpRate + geometry_.xOrigin);
    const auto y = std::max<std::int64_t>(geometry_.baseline - RoundPixel(height), kTopLimit);
    // Both stay far inside int for any drawable signal; the clamp keeps a
    // damaged record harmless.
    return {static_cast<int>(std::clamp<std::int64_t>(x, -1000000, 1000000)),
            static_cast<int>(std::min<std::int64_t>(y, 1000000))};
}

void Graph::ColourBestLabels() {
    const bool present[kKindCount] = {!lists_.SpikeList.empty(), !lists_.GaussianList.empty(),
                                      !lists_.TripletList.empty(), !lists_.PulseList.empty()};
    for (int kind = 0; kind < kKindCount; ++kind) {
        const Color c = present[kind] ? kKinds[kind].color : Color{};
        view_.SetFontColor(kBestLabels[kind], {c.r, c.g, c.b});
    }
}

void Graph::ResetHitColumns() {
    const auto count = static_cast<std::size_t>(std::max(geometry_.width - 27, 0));
    hitColumns_.assign(count, HitColumn{static_cast<std::int16_t>(geometry_.height),
                                        kNoSignalDist, 0, 0});
}

void Graph::ShowPicture() { view_.SetPicture(Control::Image, picture_); }

// --------------------------------------------------------------------- axis

void Graph::SetScaleFactor() {
    const double factor = menus_.ScaleFactor();
    const double unit = kKinds[menus_.AxisKind()].axisUnit;
    const double steps[] = {0.5, 1, 1.5, 2};
    for (int i = 0; i < 4; ++i) {
        view_.SetText(kAxisLabels[i],
                      clientfiles::ShortestForm(unit * steps[i] * factor, decimalSeparator_));
        // Beside its grid line, right edge on the picture's left edge.
        const int middle = geometry_.imageTop + geometry_.baseline -
                           static_cast<int>(RoundPixel(100 * (i + 1) * geometry_.yScale));
        view_.AlignLabel(kAxisLabels[i], geometry_.imageLeft, middle);
    }
}

void Graph::UpdatePriorityHints() {
    std::string hint = "Signal Priority:";
    const auto& priority = menus_.SignalPriority();
    for (int i = 1; i <= kKindCount; ++i)
        hint += "\n" + std::to_string(i) + ") " + kKinds[priority[kKindCount - i]].name;
    for (Control caption : kCaptions) view_.SetHint(caption, hint);
}

void Graph::SetDriftRange(int driftRange, bool zoomedOut) {
    driftRange_ = driftRange;
    xScale_ = zoomedOut ? geometry_.baseXScale / 5 : geometry_.baseXScale;
}

// -------------------------------------------------------------------- menus

void Graph::ScaleClick(std::uint8_t code) {
    menus_.CheckScale(code);
    SetScaleFactor();
    ClearGraph();
    DrawSignals(true);
}

void Graph::ShowSignalsMenuClick(int kind) {
    menus_.ToggleKind(kind);
    ClearGraph();
    DrawSignals(true);
}

void Graph::PlotMenuClick(bool dots) {
    menus_.CheckPlot(dots);
    ClearGraph();
    DrawSignals(true);
}

void Graph::ChangeAxisLabel(int kind) {
    if (kind < 0 || kind >= kKindCount) return;
    menus_.MoveToTop(kind);
    SetScaleFactor();
    ClearGraph();
    DrawSignals(true);
    UpdatePriorityHints();
}

// -------------------------------------------------------------------- mouse

bool Graph::OverSignal(int x, int y) const {
    if (x < kPlotLeft || x > geometry_.width - 22) return false;
    return hitColumns_[static_cast<std::size_t>(x - kPlotLeft)].Top < y;
}

void Graph::ImageMouseMove(int x, int y) {
    const bool hand = OverSignal(x, y);
    if (hand == handCursor_) return;
    handCursor_ = hand;
    view_.SetHandCursor(Control::Image, hand);
}

void Graph::ResetCursor() {
    handCursor_ = false;
    view_.SetHandCursor(Control::Image, false);
}

GraphClick Graph::ImageMouseUp(int x, int y) {
    if (!OverSignal(x, y)) return {};
    ResetCursor();
    if (menus_.DotPlot()) return {true, NearestDot(x, y)};
    const HitColumn& column = hitColumns_[static_cast<std::size_t>(x - kPlotLeft)];
    return {true, SignalRef{column.Kind, column.Index}};
}

// Every record counts here, also of hidden kinds and beyond the drift range:
// a dot is picked by where it would stand.
std::optional<SignalRef> Graph::NearestDot(int x, int y) const {
    std::optional<SignalRef> best;
    double bound = kDotSearchBound;
    ForEachList(lists_, [&](int kind, const auto& list) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Point p = Position(kind, HeightValue(list[i]), list[i].ChirpRate);
            const double dx = p.x - x, dy = p.y - y;
            const double distance = dx * dx + dy * dy;
            if (distance < bound) {
                bound = distance;
                best = SignalRef{kind, static_cast<std::int32_t>(i)};
            }
        }
    });
    return best;
}

}  // namespace signals
