#pragma once
// What the logic may do to the main window. The wx window implements it by
// mapping each Control to its widget; tests implement it with a recording
// fake. Texts are UTF-8.

#include <cstdint>
#include <string_view>

namespace canvas {
class Canvas;
}

namespace views {

class SignalInfoView;
class SignalInfoEvents;

// Controls and menu items of the main window the logic writes to, named
// after their components.
enum class Control {
    // WUPanel
    WUPanel,
    DateLabel,
    SkyPosLabel,
    TelescopeLabel,
    BaseFreqLabel,
    // UserPanel
    UserPanel,
    UserNameLabel,
    EMailLabel,
    CountryLabel,
    RegisterLabel,
    // ProgressPanel
    ProgressPanel,
    PercentageLabel,
    ProgressBar,
    CPUTimeLabel,
    LeftTimeCaption,
    LeftTimeLabel,
    TotalTimeCaption,
    TotalTimeLabel,
    CacheStateLabel,
    // TotalInfoPanel
    TotalInfoPanel,
    TotalWULabel,
    AllTimeLabel,
    AverageTimeLabel,
    RecordedWULabel,
    // best signals
    Label14,
    Label15,
    Label17,
    Label18,
    BestPeakLabel,
    BestGaussianLabel,
    BestTripletLabel,
    BestPulseLabel,
    // graph surroundings
    Image,
    GaugeN2,
    GaugeN1,
    GaugeP1,
    GaugeP2,
    Label1,
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    AxisLabel1,
    AxisLabel2,
    AxisLabel3,
    AxisLabel4,
    NoSignalsLabel,
    ZoomBtn,
    SkyMapButton,
    SAHVerLabel,
    WUComboBox,
    // menu items whose state the logic changes
    WUCache1,
    ConnectMenu,
    Settings1,
    ScaleMenu,
    mHalf,
    MNormal,
    mx2,
    mx4,
    mx8,
    mx16,
    Show2,
    ShowSpikesMenu,
    ShowGaussiansMenu,
    ShowTripletsMenu,
    ShowPulsesMenu,
    Plot1,
    LinesMenu,
    DotsMenu,
    Totals1,
    MenuTotalAll,
    MenuTotalBest,
    MenuTotalLast,
    MenuTotalIgnore,
    Skyvanesite1,
    SETIhomesite1,
    About1,
    Count  // number of controls, not a control
};

enum class TimerId { Timer1, Timer2, Timer3, Timer4 };

// Pictures of the window's speed buttons.
enum class Glyph { ZoomOut, ZoomIn };

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class MainView {
public:
    virtual ~MainView() = default;
    virtual void SetText(Control c, std::string_view text) = 0;
    virtual void SetHint(Control c, std::string_view hint) = 0;
    virtual void SetVisible(Control c, bool visible) = 0;
    virtual void SetEnabled(Control c, bool enabled) = 0;
    virtual void SetChecked(Control c, bool checked) = 0;
    virtual void SetFontColor(Control c, Rgb color) = 0;
    virtual void SetUnderline(Control c, bool underlined) = 0;
    // Position of a gauge or progress bar.
    virtual void SetPosition(Control c, int position) = 0;
    // Moves a label so that its right edge is at `right` and its vertical
    // middle at `middle` (window pixels of the design).
    virtual void AlignLabel(Control c, int right, int middle) = 0;
    // The picture a picture control (Image) shows from now on.
    virtual void SetPicture(Control c, const canvas::Canvas& picture) = 0;
    // Moves and sizes a control (window pixels of the design); a negative
    // width or height keeps the current one.
    virtual void SetBounds(Control c, int left, int top, int width, int height) = 0;
    // The picture on a speed button.
    virtual void SetGlyph(Control c, Glyph glyph) = 0;
    // The hand cursor over a control, or the default one.
    virtual void SetHandCursor(Control c, bool hand) = 0;
    // The system's button-face colour, which pictures take as background.
    virtual Rgb ButtonFaceColor() const = 0;
    virtual void SetTimer(TimerId t, bool enabled) = 0;

    // WUComboBox: items are appended in order; selection by index.
    virtual void AddSelectorItem(std::string_view item) = 0;
    virtual void SelectSelectorItem(int index) = 0;

    // The main window's title and the application title (the taskbar text).
    virtual void SetWindowTitle(std::string_view title) = 0;
    virtual void SetApplicationTitle(std::string_view title) = 0;

    // Show or hide the main window, the notification-area icon, and end the
    // application (after the current event returns).
    virtual void ShowWindow(bool visible) = 0;
    virtual void ShowTrayIcon(bool visible) = 0;
    // Whether the main window takes input; off while the cache cycle runs.
    virtual void SetWindowEnabled(bool enabled) = 0;
    virtual void Terminate() = 0;

    // Creates the signal info window (hidden) and returns its view; the
    // window reports its events to `events` until it is closed. Called only
    // while no such window is open.
    virtual SignalInfoView& OpenSignalInfo(SignalInfoEvents& events) = 0;
};

}  // namespace views
