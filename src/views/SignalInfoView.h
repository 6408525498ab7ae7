#pragma once
// What the logic may do to the signal info window, and the window's events
// that the logic answers. The wx window implements the view by mapping each
// SignalInfoControl to its widget; tests and skyvane-cli use a headless one.
// Texts are UTF-8. A kind is a signal kind code: 0 spike (the "Peaks"
// page), 1 gaussian, 2 triplet, 3 pulse.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "views/MainView.h"

namespace canvas {
class Canvas;
}

namespace views {

// The window's controls the logic writes to, named after their components.
enum class SignalInfoControl {
    PageControl1,
    TabSheet1,
    TabSheet2,
    TabSheet3,
    TabSheet4,
    // Peaks
    PeakNumLabel,
    PeakScrollBar,
    PeakSortBox,
    PeakPowerLabel,
    PeakResLabel,
    PowResLabel,
    PeakDriftLabel,
    PeakFreqLabel,
    PeakTimeLabel,
    Memo1,
    // Gaussians
    GausNumLabel,
    GausScrollBar,
    GausSortBox,
    GausLabel1,
    GausLabel2,
    GausGraph,
    PlotAvailLabel,
    // Triplets
    TripletNumLabel,
    TripletScrollBar,
    TripletSortBox,
    TripletPowerLabel,
    TripletPeriodLabel,
    TripletResLabel,
    TripletDriftLabel,
    TripletFreqLabel,
    TripletTimeLabel,
    // Pulses
    PulseNumLabel,
    PulseScrollBar,
    PulseSortBox,
    PulseLabel1,
    PulseLabel2,
    PulseGraph,
    PulsePlotAvailLabel,
    Count  // number of controls, not a control
};

inline constexpr std::array<std::string_view, static_cast<std::size_t>(SignalInfoControl::Count)>
    kSignalInfoControlNames = {
        "PageControl1",     "TabSheet1",           "TabSheet2",
        "TabSheet3",        "TabSheet4",           "PeakNumLabel",
        "PeakScrollBar",    "PeakSortBox",         "PeakPowerLabel",
        "PeakResLabel",     "PowResLabel",         "PeakDriftLabel",
        "PeakFreqLabel",    "PeakTimeLabel",       "Memo1",
        "GausNumLabel",     "GausScrollBar",       "GausSortBox",
        "GausLabel1",       "GausLabel2",          "GausGraph",
        "PlotAvailLabel",   "TripletNumLabel",     "TripletScrollBar",
        "TripletSortBox",   "TripletPowerLabel",   "TripletPeriodLabel",
        "TripletResLabel",  "TripletDriftLabel",   "TripletFreqLabel",
        "TripletTimeLabel", "PulseNumLabel",       "PulseScrollBar",
        "PulseSortBox",     "PulseLabel1",         "PulseLabel2",
        "PulseGraph",       "PulsePlotAvailLabel",
};

// The component name of a control.
constexpr std::string_view SignalInfoControlName(SignalInfoControl c) {
    return kSignalInfoControlNames[static_cast<std::size_t>(c)];
}

// The three controls at the head of each kind's page.
struct SignalPageHead {
    SignalInfoControl numLabel;
    SignalInfoControl scrollBar;
    SignalInfoControl sortBox;
};

constexpr SignalPageHead PageHead(int kind) {
    switch (kind) {
        case 0:
            return {SignalInfoControl::PeakNumLabel, SignalInfoControl::PeakScrollBar,
                    SignalInfoControl::PeakSortBox};
        case 1:
            return {SignalInfoControl::GausNumLabel, SignalInfoControl::GausScrollBar,
                    SignalInfoControl::GausSortBox};
        case 2:
            return {SignalInfoControl::TripletNumLabel, SignalInfoControl::TripletScrollBar,
                    SignalInfoControl::TripletSortBox};
        default:
            return {SignalInfoControl::PulseNumLabel, SignalInfoControl::PulseScrollBar,
                    SignalInfoControl::PulseSortBox};
    }
}

class SignalInfoView {
public:
    virtual ~SignalInfoView() = default;

    // A label shows the text as it is (an "&" is no mnemonic). Memo1 gets the
    // text in place of its old one, with caret and selection at the start.
    virtual void SetText(SignalInfoControl c, std::string_view text) = 0;
    // An empty hint removes the hint.
    virtual void SetHint(SignalInfoControl c, std::string_view hint) = 0;
    virtual void SetVisible(SignalInfoControl c, bool visible) = 0;

    // Whether the page of `kind` is in the page control. Present pages keep
    // the order Peaks, Gaussians, Triplets, Pulses.
    virtual void SetPagePresent(int kind, bool present) = 0;
    // Makes a present page the active one, without a page-change event.
    virtual void SetActivePage(int kind) = 0;
    // The keyboard focus goes to the active page.
    virtual void FocusActivePage() = 0;

    // A scroll bar's positions run from 0 to `max`. Setting the range or the
    // position raises no change event.
    virtual void SetScrollRange(SignalInfoControl c, int max) = 0;
    virtual void SetScrollPosition(SignalInfoControl c, int position) = 0;

    // A sort box's items, replaced whole, and the item it shows (by index).
    // Neither raises a change event.
    virtual void SetSortItems(SignalInfoControl c, const std::vector<std::string>& items) = 0;
    virtual void SetSortSelection(SignalInfoControl c, int index) = 0;

    // The width of the window's client area; its height stays.
    virtual void SetClientWidth(int width) = 0;
    // The picture a plot (GausGraph, PulseGraph) shows from now on.
    virtual void SetPicture(SignalInfoControl c, const canvas::Canvas& picture) = 0;

    // Sizes of the window as built: the client area's width, the width of
    // the Gaussians page's plot area, and a plot's current height (pixels).
    virtual int DesignClientWidth() const = 0;
    virtual int DesignGraphWidth() const = 0;
    virtual int GraphHeight(SignalInfoControl c) const = 0;
    // The system's colours of a button's face, shadow and highlight, which
    // the plots take for their background and sunken frame.
    virtual Rgb ButtonFaceColor() const = 0;
    virtual Rgb ButtonShadowColor() const = 0;
    virtual Rgb ButtonHighlightColor() const = 0;

    // Shows the window (and brings it to the front).
    virtual void ShowWindow() = 0;
    // Closes and destroys the window. No FormClose follows, and the view is
    // not used again.
    virtual void CloseWindow() = 0;
};

// The window's events, under the design's handler names; the window
// forwards them and decides nothing.
class SignalInfoEvents {
public:
    virtual ~SignalInfoEvents() = default;
    // The user chose the page of `kind`.
    virtual void PageControl1Change(int kind) = 0;
    // PeakScrollBarChange, GausScrollBarChange, ...: a new position.
    virtual void ScrollBarChange(int kind, int position) = 0;
    // PeakSortBoxChange, GausSortBoxChange, ...: the index of the chosen
    // item in the box as it was when chosen.
    virtual void SortBoxChange(int kind, int itemIndex) = 0;
    // The user closed the window; it is destroyed after this returns, and
    // its view is not used again.
    virtual void FormClose() = 0;
};

}  // namespace views
