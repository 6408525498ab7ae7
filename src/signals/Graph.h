#pragma once
// The drift-rate graph: every signal of the lists as a vertical line (or a
// dot) at its drift rate, as high as its strength on its kind's own scale,
// drawn into our own picture; the hit table that turns a click into a
// signal; the vertical axis and the graph's menus.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "canvas/Canvas.h"
#include "signals/GraphMenus.h"
#include "signals/SignalRecords.h"

namespace views {
class MainView;
}

namespace signals {

// The graph's geometry, fixed at start-up from the window's layout (design
// pixels of the window).
struct GraphGeometry {
    int imageLeft = 41;
    int imageTop = 97;
    int width = 524;   // of the picture
    int height = 247;
    int xOrigin = 252;   // x of drift rate 0: the seam of the drift-rate bar
    int baseline = 239;  // y of strength 0
    double yScale = 226.0 / 450;  // pixels per axis unit
    double baseXScale = 24.8;     // pixels per Hz/s when not zoomed out

    // From the places of the picture and of the bar's right inner gauge.
    static GraphGeometry FromLayout(int imageLeft, int imageTop, int width, int height,
                                    int gaugeP1Left, int gaugeP1Top);
};

// One pixel column of the hit table: the highest signal top within ten
// columns (less ten pixels) and the signal nearest in drift rate.
struct HitColumn {
    std::int16_t Top = 0;  // the picture's height when no signal is near
    double Dist = 128.0;   // Hz/s to the nearest signal
    std::int32_t Index = 0;
    std::uint8_t Kind = 0;
};

// A signal named by its kind and its index in its list.
struct SignalRef {
    int kind = 0;
    std::int32_t index = 0;
};

// What a click on the picture did.
struct GraphClick {
    bool overSignal = false;          // false: the click is ignored
    std::optional<SignalRef> signal;  // none when no dot was near enough
};

class Graph {
public:
    Graph(views::MainView& view, const GraphGeometry& geometry, const SignalLists& lists,
          GraphMenus& menus, char decimalSeparator);

    // The picture's frame: box, axes, faces and grid; the axis labels. The
    // face shades come from the system's button-face colour.
    void DrawGraphFrame();
    // Empties the plot area, draws the grid, resets the hit table and turns
    // the best-value labels black. Restores the frame too, over which lines
    // at the ends of the range and below the baseline may have been drawn.
    void ClearGraph();
    // Rebuilds the hit table from the lists and, with `draw`, draws every
    // shown signal over the picture; colours the best-value labels.
    void DrawSignals(bool draw);
    // The axis labels for the checked scale, in the axis kind's unit.
    void SetScaleFactor();
    // "Signal Priority:" and the kinds from the top, on all four captions.
    void UpdatePriorityHints();

    // The graph's menus and captions.
    void ScaleClick(std::uint8_t code);
    void ShowSignalsMenuClick(int kind);
    void PlotMenuClick(bool dots);
    void ChangeAxisLabel(int kind);

    // The mouse over the picture (picture pixels).
    void ImageMouseMove(int x, int y);
    // Back to the default cursor, as when the picture is replaced under the
    // mouse: the next move over a signal shows the hand again.
    void ResetCursor();
    // The signal a click picks.
    GraphClick ImageMouseUp(int x, int y);

    // The horizontal range: ±driftRange Hz/s over the width, `zoomedOut`
    // squeezing the drift rates five times.
    void SetDriftRange(int driftRange, bool zoomedOut);
    int DriftRange() const { return driftRange_; }
    double XScale() const { return xScale_; }

    // Where a signal of `kind` with height value `value` and drift rate
    // `chirpRate` is drawn.
    canvas::Point Position(int kind, double value, double chirpRate) const;
    bool OverSignal(int x, int y) const;
    const std::vector<HitColumn>& HitColumns() const { return hitColumns_; }
    const canvas::Canvas& Picture() const { return picture_; }

private:
    void ResetHitColumns();
    template <typename Record>
    void PlotKind(int kind, const SignalList<Record>& list, bool draw);
    void ColourBestLabels();
    std::optional<SignalRef> NearestDot(int x, int y) const;
    void ShowPicture();

    views::MainView& view_;
    GraphGeometry geometry_;
    const SignalLists& lists_;
    GraphMenus& menus_;
    char decimalSeparator_;
    canvas::Color background_;
    canvas::Canvas picture_;
    // The box, axes and faces without any signal: what clearing restores.
    canvas::Canvas frame_;
    std::vector<HitColumn> hitColumns_;
    // Per picture column while one kind is drawn as lines: the highest and
    // lowest end of its lines.
    std::vector<int> columnTop_, columnBottom_;
    std::vector<double> columnChirp_;  // the drift rate of each hit column
    double xScale_;
    int driftRange_ = 10;
    bool handCursor_ = false;
};

}  // namespace signals
