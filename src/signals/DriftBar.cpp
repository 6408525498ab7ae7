#include "signals/DriftBar.h"

#include <algorithm>
#include <cmath>

#include "canvas/Canvas.h"
#include "clientfiles/Format.h"
#include "views/MainView.h"

namespace signals {

namespace {

using views::Control;

constexpr canvas::Color kOrange{255, 128, 0};
constexpr canvas::Color kGrey{128, 128, 128};
constexpr Control kGaugeControls[] = {Control::GaugeN2, Control::GaugeN1, Control::GaugeP1,
                                      Control::GaugeP2};

// Orange grows outwards from 0 on both sides: the negative gauges are
// orange behind a grey bar that shrinks, the positive ones the other way.
struct GaugeColours {
    canvas::Color back, fore;
};
constexpr GaugeColours kColours[] = {{kOrange, kGrey}, {kOrange, kGrey}, {kGrey, kOrange},
                                     {kGrey, kOrange}};

struct ZoomLayout {
    int driftRange;
    int innerRange;
    const char* outerText;  // Label4; Label5 is its negative
    const char* innerText;  // Label2; Label3 is its negative
    int innerMaximum;       // the outer gauges get 200 less this
    double innerDivisor;    // inner gauge width: design width / this
};
constexpr ZoomLayout kZooms[] = {{10, 5, "10", "5", 100, 1},
                                 {50, 10, "50", "10", 40, 2.5},
                                 {50, 20, "50", "20", 80, 1.25}};

}  // namespace

DriftBar::DriftBar(views::MainView& view) : view_(view) {}

void DriftBar::ApplyZoom(int state) {
    if (state < 0 || state > 2) return;
    const ZoomLayout& zoom = kZooms[state];
    zoomState_ = state;
    driftRange_ = zoom.driftRange;
    innerRange_ = zoom.innerRange;

    // The seam at 0 (GaugeP1's left) and the bar's outer ends never move;
    // neighbouring gauges overlap by one pixel.
    const int w = kDesignGaugeN1.width;
    const int h = kDesignGaugeN2.height;
    const int barRight = kDesignGaugeP2.left + kDesignGaugeP2.width - 1;
    GaugeBox& n2 = boxes_[kGaugeN2];
    GaugeBox& n1 = boxes_[kGaugeN1];
    GaugeBox& p1 = boxes_[kGaugeP1];
    GaugeBox& p2 = boxes_[kGaugeP2];
    if (state == 0) {
        n2.height = p2.height = h;
        n2.width = p2.width = n1.width = p1.width = w;
        n1.left = kDesignGaugeN1.left;
    } else {
        n2.height = p2.height = h / 2;
        n1.width = p1.width =
            static_cast<int>(clientfiles::RoundHalfEven(w / zoom.innerDivisor));
        n1.left = p1.left - n1.width + 1;
        n2.width = n1.left - kDesignGaugeN2.left + 1;
        p2.width = barRight - kDesignGaugeP1.left - p1.width + 2;
    }
    p2.left = p1.left + p1.width - 1;
    for (int g = 0; g < 4; ++g)
        view_.SetBounds(kGaugeControls[g], boxes_[static_cast<std::size_t>(g)].left,
                        boxes_[static_cast<std::size_t>(g)].top,
                        boxes_[static_cast<std::size_t>(g)].width,
                        boxes_[static_cast<std::size_t>(g)].height);

    view_.SetText(Control::Label4, zoom.outerText);
    view_.SetText(Control::Label5, std::string("-") + zoom.outerText);
    view_.SetText(Control::Label2, zoom.innerText);
    view_.SetText(Control::Label3, std::string("-") + zoom.innerText);
    // The seam numbers stand just left of their seams, the minus sign making
    // the negative one wider.
    const int labelTop = kDesignGaugeN1.top + kDesignGaugeN1.height + 2;
    view_.SetBounds(Control::Label3, n1.left - (state == 0 ? 5 : 9), labelTop, -1, -1);
    view_.SetBounds(Control::Label2, p2.left - (state == 0 ? 3 : 6), labelTop, -1, -1);

    view_.SetGlyph(Control::ZoomBtn, state == 0 ? views::Glyph::ZoomOut : views::Glyph::ZoomIn);
    view_.SetHint(Control::ZoomBtn, state == 0 ? "Zoom out" : "Zoom in");
    maximum_[kGaugeN1] = maximum_[kGaugeP1] = zoom.innerMaximum;
    maximum_[kGaugeN2] = maximum_[kGaugeP2] = 200 - zoom.innerMaximum;
    for (int g = 0; g < 4; ++g)
        progress_[static_cast<std::size_t>(g)] = std::min(progress_[static_cast<std::size_t>(g)],
                                                          maximum_[static_cast<std::size_t>(g)]);
    DrawGauges();
}

void DriftBar::DrawGauges() {
    for (int g = 0; g < 4; ++g) DrawGauge(static_cast<Gauge>(g));
}

void DriftBar::ShowDriftProgress(double currentChirp) {
    const double ratio = 200 * currentChirp / driftRange_;
    const auto v = static_cast<std::int32_t>(std::isnan(ratio) ? 0 : std::clamp(ratio, -1e6, 1e6));
    if (v == lastGaugeValue_) return;
    lastGaugeValue_ = v;

    if (currentChirp >= 0) {
        SetGauge(kGaugeN1, maximum_[kGaugeN1]);
        SetGauge(kGaugeN2, maximum_[kGaugeN2]);
        if (currentChirp < innerRange_) {
            SetGauge(kGaugeP1, v);
            SetGauge(kGaugeP2, 0);
        } else {
            SetGauge(kGaugeP1, maximum_[kGaugeP1]);
            SetGauge(kGaugeP2, v - maximum_[kGaugeP1]);
        }
    } else {
        SetGauge(kGaugeP1, maximum_[kGaugeP1]);
        SetGauge(kGaugeP2, maximum_[kGaugeP2]);
        if (currentChirp < -innerRange_) {
            SetGauge(kGaugeN1, 0);
            SetGauge(kGaugeN2, maximum_[kGaugeN2] + maximum_[kGaugeN1] + v);
        } else {
            SetGauge(kGaugeN1, maximum_[kGaugeN1] + v);
            SetGauge(kGaugeN2, maximum_[kGaugeN2]);
        }
    }
}

// A gauge holds its progress within 0 and its maximum, as a toolkit gauge
// would.
void DriftBar::SetGauge(Gauge g, int progress) {
    const int held = std::clamp(progress, 0, maximum_[g]);
    if (held == progress_[g]) return;
    progress_[g] = held;
    DrawGauge(g);
}

void DriftBar::DrawGauge(Gauge g) {
    const GaugeBox& box = boxes_[g];
    canvas::Canvas picture(box.width, box.height, kColours[g].back);
    const int filled = maximum_[g] > 0 ? box.width * progress_[g] / maximum_[g] : 0;
    picture.FillRect(0, 0, filled, box.height, kColours[g].fore);
    view_.SetPicture(kGaugeControls[g], picture);
}

}  // namespace signals
