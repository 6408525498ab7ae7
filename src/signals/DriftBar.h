#pragma once
// The drift-rate bar under the graph: four gauges that label the graph's
// horizontal axis and show how far the client's search over drift rates has
// come (orange searched, grey still to do), and the three zoom states of
// graph and bar: ±10 Hz/s, and ±50 Hz/s with inner gauges of ±10 or ±20.

#include <array>
#include <cstdint>

namespace views {
class MainView;
}

namespace signals {

// Design places of the four gauges, left to right.
struct GaugeBox {
    int left, top, width, height;
};
inline constexpr GaugeBox kDesignGaugeN2{47, 339, 124, 14};
inline constexpr GaugeBox kDesignGaugeN1{170, 339, 124, 35};
inline constexpr GaugeBox kDesignGaugeP1{293, 339, 124, 35};
inline constexpr GaugeBox kDesignGaugeP2{416, 339, 124, 14};

// Gauge order in the arrays below.
enum Gauge { kGaugeN2 = 0, kGaugeN1 = 1, kGaugeP1 = 2, kGaugeP2 = 3 };

class DriftBar {
public:
    explicit DriftBar(views::MainView& view);

    // Switches the zoom state (0, 1 or 2): ranges, the bar's layout and
    // numbers, the zoom button and the gauge maxima. Does not draw the bar.
    void ApplyZoom(int state);
    // Fills the gauges from the search's drift rate; nothing when the bar
    // value is the one shown last.
    void ShowDriftProgress(double currentChirp);
    // Puts the four gauges on screen as they stand.
    void DrawGauges();
    // The bar value last shown; one that no drift rate gives (1000, -100)
    // makes the next ShowDriftProgress redraw.
    void SetLastGaugeValue(std::int32_t value) { lastGaugeValue_ = value; }

    // 255 until the first zoom is chosen.
    int ZoomState() const { return zoomState_; }
    int DriftRange() const { return driftRange_; }
    int InnerRange() const { return innerRange_; }
    bool ZoomedOut() const { return zoomState_ == 1 || zoomState_ == 2; }
    int Progress(Gauge g) const { return progress_[g]; }
    int Maximum(Gauge g) const { return maximum_[g]; }

private:
    void SetGauge(Gauge g, int progress);
    void DrawGauge(Gauge g);

    views::MainView& view_;
    int zoomState_ = 255;
    int driftRange_ = 10;
    int innerRange_ = 5;
    std::int32_t lastGaugeValue_ = 0;
    std::array<GaugeBox, 4> boxes_{kDesignGaugeN2, kDesignGaugeN1, kDesignGaugeP1,
                                   kDesignGaugeP2};
    std::array<int, 4> maximum_{100, 100, 100, 100};
    std::array<int, 4> progress_{100, 100, 0, 0};
};

}  // namespace signals
