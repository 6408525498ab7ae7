#include "monitor/TMainForm.h"

#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/fontenum.h>
#include <wx/gauge.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/taskbar.h>

// After the native label, which it builds on.
#include <wx/generic/stattextg.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <utility>

#include "canvas/Canvas.h"
#include "setup/WxAppIcon.h"
#include "setup/WxTrayIcon.h"
#include "views/ControlNames.h"
#include "wxcommon/WxFirstPaint.h"
#include "wxcommon/WxPicturePanel.h"
#include "wxcommon/WxText.h"

namespace monitor {

using views::Control;
using views::TimerId;
using wxcommon::FromUtf8;
using wxcommon::PicturePanel;
using wxcommon::WxDialogs;

namespace {

std::size_t Index(Control c) {
    return static_cast<std::size_t>(c);
}

// ------------------------------------------------------------------ layout
//
// Design pixels of the 575 x 458 client area. The two rows of figures at the
// top (the work-unit or user panel, then the best signals) share four
// columns: caption, value, caption, value.
constexpr int kClientWidth = 575;
constexpr int kClientHeight = 458;
constexpr int kLeftCaption = 10;
constexpr int kLeftValue = 108;
constexpr int kRightCaption = 257;
constexpr int kRightValue = 353;
constexpr int kLeftValueWidth = kRightCaption - kLeftValue - 4;
constexpr int kRightValueWidth = kClientWidth - kRightValue - 8;
constexpr int kTopRow1 = 7;  // inside WUPanel / UserPanel (2, 45 high)
constexpr int kTopRow2 = 26;
constexpr int kBestRow1 = 53;
constexpr int kBestRow2 = 72;

// The graph and the drift-rate bar under it. The bar's seam between GaugeN1
// and GaugeP1 is drift rate 0 and lines up with the graph's origin, so these
// numbers go together with the graph's geometry; the bar overlaps the
// graph's bottom rows, where the horizontal axis's arrow head shows beside
// it.
struct Box {
    int left, top, width, height;
};
constexpr Box kImage{41, 97, 524, 247};
constexpr Box kGaugeN2{47, 339, 124, 14};
constexpr Box kGaugeN1{170, 339, 124, 35};
constexpr Box kGaugeP1{293, 339, 124, 35};
constexpr Box kGaugeP2{416, 339, 124, 14};
// The graph's baseline (strength 0) and vertical scale, in image pixels: the
// axis labels stand beside its grid lines.
constexpr int kBaseline = kGaugeP1.top - kImage.top - 3;
constexpr double kYScale = (kBaseline - 13) / 180.0 / 2.5;
// The drift-rate numbers: the outer ends beside the thin outer gauges, the
// seams and 0 under the thick inner ones.
constexpr int kOuterNumberTop = kGaugeN2.top + kGaugeN2.height + 2;
constexpr int kInnerNumberTop = kGaugeN1.top + kGaugeN1.height + 2;

const wxColour kGrey(128, 128, 128);
const wxColour kTeal(0, 128, 128);

// ------------------------------------------------------------------- fonts

// A caption and the room the layout leaves it before its value.
struct CaptionRoom {
    const char* text;
    int width;
};

bool Fits(const wxFont& font, int maxLineHeight, std::initializer_list<CaptionRoom> rooms) {
    wxScreenDC dc;
    dc.SetFont(font);
    if (dc.GetCharHeight() > maxLineHeight) return false;
    return std::all_of(rooms.begin(), rooms.end(), [&dc](const CaptionRoom& room) {
        return dc.GetTextExtent(room.text).x <= room.width;
    });
}

// The design's face where it exists, else the first sans face of the list
// that is installed. Its size is the largest (in quarter points) whose line
// is no higher than the design's and whose captions fit their rooms: the
// stand-ins are wider than the design's face, and a clipped caption is worse
// than a slightly smaller one.
wxFont ChooseFont(std::initializer_list<const char*> faces, int maxLineHeight, double maxPoints,
                  std::initializer_list<CaptionRoom> rooms) {
    wxString face = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetFaceName();
    for (const char* candidate : faces) {
        if (wxFontEnumerator::IsValidFacename(candidate)) {
            face = candidate;
            break;
        }
    }
    double points = maxPoints;
    for (; points > 6; points -= 0.25) {
        if (Fits(wxFont(wxFontInfo(points).FaceName(face)), maxLineHeight, rooms)) break;
    }
    return wxFont(wxFontInfo(points).FaceName(face));
}

// "MS Sans Serif" of 14 pixels line height, or the nearest sans that fits.
wxFont WindowFont() {
    return ChooseFont({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans",
                       "Nimbus Sans", "Helvetica", "DejaVu Sans"},
                      14, 8.5,
                      {{"Strongest Peak:", kLeftValue - kLeftCaption - 4},
                       {"Best Gaussian:", kRightValue - kRightCaption - 4},
                       {"Base Frequency:", kRightValue - kRightCaption - 4},
                       {"Registered on:", kRightValue - kRightCaption - 4},
                       {"Estimated time left:", 100},
                       {"Estimated total time:", 103},
                       {"Work units analyzed:", 104}});
}

// NoSignalsLabel: Arial of 23 pixels, or the nearest sans.
wxFont NoticeFont() {
    return ChooseFont({"Arial", "Liberation Sans", "Nimbus Sans", "Helvetica", "DejaVu Sans"}, 23,
                      14, {{"No Signals Found", kImage.width - 40}});
}

// ------------------------------------------------------------------ glyphs

// Drawn here rather than loaded, so the program needs no resource files.
wxBitmap DrawGlyph(int size, const std::function<void(wxDC&)>& draw) {
    wxBitmap bitmap(size, size, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        draw(dc);
    }
    bitmap.SetMask(new wxMask(bitmap, *wxWHITE));
    return bitmap;
}

// The program's icon: a dish under a night sky.
wxBitmap SkyMapGlyph() {
    return DrawGlyph(16, [](wxDC& dc) {
        dc.SetPen(wxPen(wxColour(0, 0, 96)));
        dc.SetBrush(wxBrush(wxColour(0, 0, 128)));
        dc.DrawCircle(8, 8, 7);
        dc.SetPen(wxPen(wxColour(255, 255, 160)));
        for (const wxPoint star :
             {wxPoint(5, 5), wxPoint(10, 4), wxPoint(8, 9), wxPoint(4, 10), wxPoint(11, 11)})
            dc.DrawPoint(star);
    });
}

// A magnifier: with a minus the button zooms out from the ±10 Hz/s view,
// with a plus it goes back to it.
wxBitmap MagnifierGlyph(bool plus) {
    return DrawGlyph(16, [plus](wxDC& dc) {
        dc.SetPen(wxPen(*wxBLACK, 2));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawCircle(6, 6, 5);
        dc.DrawLine(10, 10, 15, 15);
        dc.SetPen(wxPen(*wxBLACK, 1));
        dc.DrawLine(4, 6, 9, 6);
        if (plus) dc.DrawLine(6, 4, 6, 9);
    });
}

// ------------------------------------------------------------------- menus

// Ids of the menu items that have a handler; the others get one from wx.
enum MenuId : int {
    kExit2Id = wxID_HIGHEST + 1,
    kShow1Id,
    kExit1Id,
};

// Commands in the logic's view of the window, which get a handler (and may
// be enabled) as their behaviour is written: see hasAction_.
constexpr Control kCommands[] = {
    Control::WUCache1,       Control::ConnectMenu,       Control::Settings1,
    Control::ShowSpikesMenu, Control::ShowGaussiansMenu, Control::ShowTripletsMenu,
    Control::ShowPulsesMenu, Control::Skyvanesite1,      Control::SETIhomesite1,
    Control::About1,         Control::WUComboBox,        Control::ZoomBtn,
    Control::SkyMapButton,
};

bool IsCommand(Control c) {
    return std::find(std::begin(kCommands), std::end(kCommands), c) != std::end(kCommands);
}

// The tray icon's menu.
wxMenu* MakePopupMenu1() {
    auto* PopupMenu1 = new wxMenu;
    PopupMenu1->Append(kShow1Id, "Show");
    PopupMenu1->Append(kExit1Id, "Exit");
    return PopupMenu1;
}

}  // namespace

// ------------------------------------------------------------ construction

TMainForm::TMainForm(platform::Services services)
    : wxFrame(nullptr, wxID_ANY, "Skyvane", wxDefaultPosition, wxDefaultSize,
              // Fixed border, only the minimise and close buttons.
              wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX, "TMainForm"),
      services_(services),
      windowTitle_("Skyvane"),
      applicationTitle_("Skyvane") {
    const wxIconBundle icons = setup::AppIconBundle();
    SetIcons(icons);
    // Set before any child exists, so that every control inherits it.
    SetFont(WindowFont());
    root_ = new wxPanel(this, wxID_ANY, wxPoint(0, 0), wxSize(kClientWidth, kClientHeight),
                        wxTAB_TRAVERSAL, "Root");
    CreateControls();
    CreateMenus();
    CreateTimers();
    BindGraphCommands();
    SetClientSize(kClientWidth, kClientHeight);
    SetMinClientSize(wxSize(kClientWidth, kClientHeight));
    SetMaxClientSize(wxSize(kClientWidth, kClientHeight));
    CentreOnScreen();

    // The taskbar button goes with the hidden window while the icon is in
    // the tray; where there is no tray the window stays minimised with its
    // button (see ShowWindow).
    TrayNotifyIcon_ = std::make_unique<setup::WxTrayIcon>(icons.GetIcon(16), MakePopupMenu1);
    TrayNotifyIcon_->Logic().SetHint("Skyvane");
    TrayNotifyIcon_->Logic().OnClick = [this] { Show1Click(); };
    TrayNotifyIcon_->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Show1Click(); }, kShow1Id);
    TrayNotifyIcon_->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Exit1Click(); }, kExit1Id);
    Bind(wxEVT_CLOSE_WINDOW, &TMainForm::FormClose, this);
    Bind(wxEVT_ICONIZE, &TMainForm::FormIconize, this);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Exit1Click(); }, kExit2Id);

    wxcommon::NoteFirstPaint(*this);

    dialogs_ = std::make_unique<WxDialogs>(this, services_.shell);
    monitor_ = std::make_unique<Monitor>(*this, *dialogs_, services_);
}

TMainForm::~TMainForm() {
    // The logic may still talk to the view while it goes.
    monitor_.reset();
    dialogs_.reset();
    TrayNotifyIcon_.reset();
    // Hidden menu items are ours while they are out of their menu.
    for (MenuEntry& entry : menuEntries_)
        if (!entry.attached) delete entry.item;
}

StartupResult TMainForm::Start(const StartupOptions& options) {
    return monitor_->FormCreate(options);
}

wxPoint TMainForm::At(wxWindow* parent, int left, int top) const {
    if (parent == root_) return {left, top};
    // Children of a panel are placed in the panel's client area, inside its
    // border; the design's numbers are the window's.
    const wxSize border = (parent->GetSize() - parent->GetClientSize()) / 2;
    const wxPoint origin = parent->GetPosition() + wxPoint(border.x, border.y);
    return {left - origin.x, top - origin.y};
}

void TMainForm::Register(Control c, wxWindow* window) {
    window->SetName(FromUtf8(views::ControlName(c)));
    controls_[Index(c)].window = window;
}

wxPanel* TMainForm::AddPanel(Control c, int left, int top, int width, int height) {
    auto* panel = new wxPanel(root_, wxID_ANY, wxPoint(left, top), wxSize(width, height),
                              wxBORDER_THEME | wxTAB_TRAVERSAL);
    Register(c, panel);
    return panel;
}

// wxGTK measures a new label before the inherited font has reached the
// toolkit's widget, so the label's own best size is that of the default font,
// which is larger. Labels are sized here from their text in their wx font
// instead: `width` fixes the width, -1 fits the text.
wxStaticText* TMainForm::NewLabel(wxWindow* parent, const char* name, const wxString& text,
                                  wxPoint position, int width, long style) {
    auto* label = new wxStaticText(parent, wxID_ANY, text, position, wxDefaultSize, style, name);
    const wxSize extent = label->GetTextExtent(text.empty() ? wxString("Ag") : text);
    label->SetSize(width >= 0 ? width : extent.x, label->GetTextExtent("Ag").y);
    return label;
}

wxStaticText* TMainForm::AddCaption(wxWindow* parent, const char* name, const wxString& text,
                                    int left, int top) {
    return NewLabel(parent, name, text, At(parent, left, top));
}

// Value labels keep the size given here whatever they show, so that a long
// text can never push or overlap its neighbours; an over-long one ends in
// an ellipsis.
wxStaticText* TMainForm::AddValue(wxWindow* parent, Control c, const wxString& text, int left,
                                  int top, int width, long style) {
    wxStaticText* label = NewLabel(parent, "", text, At(parent, left, top), width,
                                   wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END | style);
    Register(c, label);
    return label;
}

void TMainForm::CreateControls() {
    // Created in this order so that the drift-rate bar lies on top of the
    // graph's bottom rows.
    auto* Image = new PicturePanel(root_, wxPoint(kImage.left, kImage.top),
                                   wxSize(kImage.width, kImage.height));
    Image->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    Register(Control::Image, Image);
    Image->Bind(wxEVT_MOTION, &TMainForm::ImageMouseMove, this);
    // Any button selects.
    for (const auto type : {wxEVT_LEFT_UP, wxEVT_RIGHT_UP, wxEVT_MIDDLE_UP})
        Image->Bind(type, &TMainForm::ImageMouseUp, this);

    // The graph's notice is the graph's child: a sibling label would be
    // painted under the graph's own window.
    auto* NoSignalsLabel = new wxStaticText(Image, wxID_ANY, "No Signals Found");
    NoSignalsLabel->SetFont(NoticeFont());
    NoSignalsLabel->SetForegroundColour(kTeal);
    NoSignalsLabel->SetSize(NoSignalsLabel->GetTextExtent(NoSignalsLabel->GetLabel()));
    NoSignalsLabel->Move((kImage.width - NoSignalsLabel->GetSize().x) / 2,
                         (kImage.height - NoSignalsLabel->GetSize().y) / 2);
    NoSignalsLabel->Hide();
    Register(Control::NoSignalsLabel, NoSignalsLabel);

    // The drift-rate gauges: pictures the logic draws (a toolkit gauge cannot
    // take these colours everywhere).
    const std::pair<Control, Box> gauges[] = {{Control::GaugeN2, kGaugeN2},
                                              {Control::GaugeN1, kGaugeN1},
                                              {Control::GaugeP1, kGaugeP1},
                                              {Control::GaugeP2, kGaugeP2}};
    for (const auto& [control, box] : gauges) {
        auto* gauge =
            new PicturePanel(root_, wxPoint(box.left, box.top), wxSize(box.width, box.height));
        gauge->SetBackgroundColour(kGrey);
        Register(control, gauge);
    }

    // Axis numbers under the bar; each sits centred on the place it names
    // until the zoom moves the seams' numbers.
    const auto number = [this](Control c, const wxString& text, int centre, int top) {
        wxStaticText* label = NewLabel(root_, "", text, wxDefaultPosition);
        label->Move(centre - label->GetSize().x / 2, top);
        Register(c, label);
        return label;
    };
    const int barRight = kGaugeP2.left + kGaugeP2.width - 1;
    number(Control::Label5, "-10", kGaugeN2.left, kOuterNumberTop);
    number(Control::Label3, "-5", kGaugeN1.left, kInnerNumberTop);
    number(Control::Label1, "0", kGaugeP1.left, kInnerNumberTop);
    number(Control::Label2, "5", kGaugeP2.left, kInnerNumberTop);
    wxStaticText* Label4 = number(Control::Label4, "10", barRight, kOuterNumberTop);
    wxStaticText* Label6 = NewLabel(root_, "", "Drift Rate [Hz/s]", wxDefaultPosition);
    Register(Control::Label6, Label6);
    Label6->Move(Label4->GetPosition().x - 10 - Label6->GetSize().x, kOuterNumberTop);

    // Vertical axis labels: right edge on the graph's left edge, centred on
    // grid lines 1 to 4. Their texts come with the graph.
    const Control axisLabels[] = {Control::AxisLabel1, Control::AxisLabel2, Control::AxisLabel3,
                                  Control::AxisLabel4};
    const int axisWidth = 36;
    for (int i = 1; i <= 4; ++i) {
        wxStaticText* label = AddValue(root_, axisLabels[i - 1], wxEmptyString,
                                       kImage.left - axisWidth, 0, axisWidth, wxALIGN_RIGHT);
        const int gridY = kImage.top + kBaseline - static_cast<int>(100 * i * kYScale + 0.5);
        label->Move(label->GetPosition().x, gridY - label->GetSize().y / 2);
    }

    // Two small speed buttons, flat: a framed toolkit button needs more room
    // than their 24 x 25 pixels for its padding and would clip the glyph.
    // The sky map's sits under the graph, left of the bar.
    auto* SkyMapButton = new wxBitmapButton(root_, wxID_ANY, SkyMapGlyph(), wxPoint(12, 346),
                                            wxSize(24, 25), wxBORDER_NONE);
    SkyMapButton->SetToolTip("Sky Map");
    Register(Control::SkyMapButton, SkyMapButton);
    // Right of the bar, below the graph's arrow head.
    auto* ZoomBtn = new wxBitmapButton(root_, wxID_ANY, MagnifierGlyph(false), wxPoint(548, 346),
                                       wxSize(24, 25), wxBORDER_NONE);
    ZoomBtn->SetToolTip("Zoom out");
    ZoomBtn->Hide();
    Register(Control::ZoomBtn, ZoomBtn);

    // Work unit header, or the user's figures in the same place.
    wxPanel* WUPanel = AddPanel(Control::WUPanel, 6, 2, 565, 45);
    AddCaption(WUPanel, "DateCaption", "Recorded on:", kLeftCaption, kTopRow1);
    AddValue(WUPanel, Control::DateLabel, "unknown", kLeftValue, kTopRow1, kLeftValueWidth);
    AddCaption(WUPanel, "SkyPosCaption", "Sky Position:", kRightCaption, kTopRow1);
    AddValue(WUPanel, Control::SkyPosLabel, "unknown", kRightValue, kTopRow1, kRightValueWidth);
    AddCaption(WUPanel, "TelescopeCaption", "Source:", kLeftCaption, kTopRow2);
    AddValue(WUPanel, Control::TelescopeLabel, "unknown", kLeftValue, kTopRow2, kLeftValueWidth);
    AddCaption(WUPanel, "BaseFreqCaption", "Base Frequency:", kRightCaption, kTopRow2);
    AddValue(WUPanel, Control::BaseFreqLabel, "unknown", kRightValue, kTopRow2, kRightValueWidth);

    wxPanel* UserPanel = AddPanel(Control::UserPanel, 6, 2, 565, 45);
    AddCaption(UserPanel, "UserNameCaption", "User Name:", kLeftCaption, kTopRow1);
    AddValue(UserPanel, Control::UserNameLabel, "unknown", kLeftValue, kTopRow1, kLeftValueWidth);
    AddCaption(UserPanel, "EMailCaption", "EMail:", kRightCaption, kTopRow1);
    AddValue(UserPanel, Control::EMailLabel, "unknown", kRightValue, kTopRow1, kRightValueWidth);
    AddCaption(UserPanel, "CountryCaption", "Country:", kLeftCaption, kTopRow2);
    AddValue(UserPanel, Control::CountryLabel, "unknown", kLeftValue, kTopRow2, kLeftValueWidth);
    AddCaption(UserPanel, "RegisterCaption", "Registered on:", kRightCaption, kTopRow2);
    AddValue(UserPanel, Control::RegisterLabel, "unknown", kRightValue, kTopRow2, kRightValueWidth);
    UserPanel->Hide();

    // Best signals. A click on a caption chooses the graph's axis, and the
    // hand cursor over it says so. A native label on GTK has no window of
    // its own, so its cursor would land on the panel behind it, all over
    // the window: these captions are drawn by wx in a window of their own.
    const auto bestCaption = [this](Control c, const char* text, int left, int top) {
        auto* caption = new wxGenericStaticText(root_, wxID_ANY, text, wxPoint(left, top));
        caption->SetSize(caption->GetTextExtent(text).x, caption->GetTextExtent("Ag").y);
        Register(c, caption);
    };
    bestCaption(Control::Label14, "Strongest Peak:", kLeftCaption, kBestRow1);
    AddValue(root_, Control::BestPeakLabel, "none", kLeftValue, kBestRow1, kLeftValueWidth);
    bestCaption(Control::Label15, "Best Gaussian:", kRightCaption, kBestRow1);
    AddValue(root_, Control::BestGaussianLabel, "none", kRightValue, kBestRow1, kRightValueWidth);
    bestCaption(Control::Label17, "Best Triplet:", kLeftCaption, kBestRow2);
    AddValue(root_, Control::BestTripletLabel, "none", kLeftValue, kBestRow2, kLeftValueWidth);
    bestCaption(Control::Label18, "Best Pulse:", kRightCaption, kBestRow2);
    AddValue(root_, Control::BestPulseLabel, "none", kRightValue, kBestRow2, kRightValueWidth);

    AddValue(root_, Control::SAHVerLabel, wxEmptyString, 10, 374, 150);

    // Progress of the live work unit: three rows, two columns.
    wxPanel* ProgressPanel = AddPanel(Control::ProgressPanel, 2, 390, 418, 67);
    constexpr int kProgressRow1 = 396, kProgressRow2 = 415, kProgressRow3 = 434;
    constexpr int kProgressValue = 114, kProgressCaption2 = 223, kProgressValue2 = 330;
    AddCaption(ProgressPanel, "PercentageCaption", "Completed:", 10, kProgressRow1);
    AddValue(ProgressPanel, Control::PercentageLabel, "0%", kProgressValue, kProgressRow1, 50);
    // The value the logic writes runs from 0 to 150.
    auto* ProgressBar = new wxGauge(ProgressPanel, wxID_ANY, 150,
                                    At(ProgressPanel, 168, kProgressRow1), wxSize(244, 14));
    Register(Control::ProgressBar, ProgressBar);
    AddCaption(ProgressPanel, "CPUTimeCaption", "CPU Time:", 10, kProgressRow2);
    AddValue(ProgressPanel, Control::CPUTimeLabel, "00:00:00", kProgressValue, kProgressRow2, 100);
    wxStaticText* CacheStateLabel =
        AddValue(ProgressPanel, Control::CacheStateLabel, wxEmptyString, kProgressCaption2,
                 kProgressRow2, 412 - kProgressCaption2);
    CacheStateLabel->SetToolTip("Cache position of the current work unit");
    // The two time captions change with the view (an archived work unit
    // shows its file's date and its total time): each keeps the room of its
    // longest text.
    const auto timeCaption = [this, ProgressPanel](Control c, const char* text, int left,
                                                   int width) {
        Register(c, NewLabel(ProgressPanel, "", text, At(ProgressPanel, left, kProgressRow3), width,
                             wxST_NO_AUTORESIZE));
    };
    timeCaption(Control::LeftTimeCaption, "Estimated time left:", 10, kProgressValue - 10 - 4);
    AddValue(ProgressPanel, Control::LeftTimeLabel, "unknown", kProgressValue, kProgressRow3,
             kProgressCaption2 - kProgressValue - 4);
    timeCaption(Control::TotalTimeCaption, "Estimated total time:", kProgressCaption2,
                kProgressValue2 - kProgressCaption2 - 4);
    AddValue(ProgressPanel, Control::TotalTimeLabel, "unknown", kProgressValue2, kProgressRow3,
             412 - kProgressValue2);

    // Totals over all work units, in the same place.
    wxPanel* TotalInfoPanel = AddPanel(Control::TotalInfoPanel, 10, 395, 410, 56);
    constexpr int kTotalRow1 = 404, kTotalRow2 = 426, kTotalCaption = 18, kTotalValue = 126;
    AddCaption(TotalInfoPanel, "TotalWUCaption", "Work units analyzed:", kTotalCaption, kTotalRow1);
    AddValue(TotalInfoPanel, Control::TotalWULabel, "unknown", kTotalValue, kTotalRow1, 92);
    AddCaption(TotalInfoPanel, "RecordedWUCaption", "Results recorded:", kProgressCaption2,
               kTotalRow1);
    AddValue(TotalInfoPanel, Control::RecordedWULabel, "unknown", kProgressValue2, kTotalRow1, 82);
    AddCaption(TotalInfoPanel, "AllTimeCaption", "Total CPU time:", kTotalCaption, kTotalRow2);
    AddValue(TotalInfoPanel, Control::AllTimeLabel, "unknown", kTotalValue, kTotalRow2, 92);
    AddCaption(TotalInfoPanel, "AverageTimeCaption", "Average time:", kProgressCaption2,
               kTotalRow2);
    AddValue(TotalInfoPanel, Control::AverageTimeLabel, "unknown", kProgressValue2, kTotalRow2, 82);
    TotalInfoPanel->Hide();

    NewLabel(root_, "Label16", "Work Unit", wxPoint(443, 395));
    auto* WUComboBox = new wxChoice(root_, wxID_ANY, wxPoint(443, 415), wxSize(122, -1));
    Register(Control::WUComboBox, WUComboBox);

    // Nothing handles these yet.
    for (Control c : kCommands)
        if (controls_[Index(c)].window != nullptr && !hasAction_[Index(c)])
            controls_[Index(c)].window->Disable();
}

// ------------------------------------------------------------------- menus

int TMainForm::AddMenuEntry(wxMenu* menu, std::string_view name, wxMenuItem* item, bool visible) {
    if (visible) menu->Append(item);
    menuEntries_.push_back({std::string(name), menu, item, visible});
    const int entry = static_cast<int>(menuEntries_.size()) - 1;
    if (const auto c = views::ControlByName(name)) controls_[Index(*c)].menuEntry = entry;
    return entry;
}

wxMenuItem* TMainForm::AddMenuItem(wxMenu* menu, std::string_view name, const wxString& caption,
                                   wxItemKind kind, bool visible, int id) {
    auto* item = new wxMenuItem(menu, id, caption, wxEmptyString, kind);
    AddMenuEntry(menu, name, item, visible);
    return item;
}

wxMenuItem* TMainForm::AddSubMenu(wxMenu* menu, std::string_view name, const wxString& caption,
                                  wxMenu* subMenu) {
    auto* item = new wxMenuItem(menu, wxID_ANY, caption, wxEmptyString, wxITEM_NORMAL, subMenu);
    AddMenuEntry(menu, name, item, true);
    return item;
}

void TMainForm::AddSeparator(wxMenu* menu, bool visible) {
    AddMenuEntry(menu, "", new wxMenuItem(menu, wxID_SEPARATOR), visible);
}

void TMainForm::CreateMenus() {
    auto* bar = new wxMenuBar;

    auto* file = new wxMenu;
    AddMenuItem(file, "WUCache1", "WU &Cache...");
    // Offered only while there is something to exchange with the server.
    AddMenuItem(file, "ConnectMenu", "&Connect to the server", wxITEM_NORMAL, false);
    wxMenuItem* settings = AddMenuItem(file, "Settings1", "&Settings...");
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { monitor_->Settings1Click(); }, settings->GetId());
    AddMenuItem(file, "Exit2", "E&xit", wxITEM_NORMAL, true, kExit2Id);
    bar->Append(file, "&File");

    auto* graph = new wxMenu;
    // Vertical scale factors 1/2 to 16, each twice the one before.
    auto* scale = new wxMenu;
    AddMenuItem(scale, "mHalf", "1&/2", wxITEM_RADIO);
    AddMenuItem(scale, "MNormal", "&Normal", wxITEM_RADIO);
    AddMenuItem(scale, "mx2", "X&2", wxITEM_RADIO);
    AddMenuItem(scale, "mx4", "X&4", wxITEM_RADIO);
    AddMenuItem(scale, "mx8", "X&8", wxITEM_RADIO);
    AddMenuItem(scale, "mx16", "X1&6", wxITEM_RADIO);
    MenuItemByName("MNormal")->Check(true);
    AddSubMenu(graph, "ScaleMenu", "&Scale", scale);

    auto* signals = new wxMenu;
    AddMenuItem(signals, "ShowSpikesMenu", "&Spikes\tCtrl+S", wxITEM_CHECK);
    AddMenuItem(signals, "ShowGaussiansMenu", "&Gaussians\tCtrl+G", wxITEM_CHECK);
    AddMenuItem(signals, "ShowTripletsMenu", "&Triplets\tCtrl+T", wxITEM_CHECK);
    AddMenuItem(signals, "ShowPulsesMenu", "&Pulses\tCtrl+P", wxITEM_CHECK);
    for (const char* name :
         {"ShowSpikesMenu", "ShowGaussiansMenu", "ShowTripletsMenu", "ShowPulsesMenu"})
        MenuItemByName(name)->Check(true);
    AddSubMenu(graph, "Show2", "Signals", signals);

    auto* plot = new wxMenu;
    AddMenuItem(plot, "LinesMenu", "&Lines\tCtrl+L", wxITEM_RADIO);
    AddMenuItem(plot, "DotsMenu", "&Dots\tCtrl+D", wxITEM_RADIO);
    MenuItemByName("LinesMenu")->Check(true);
    AddSubMenu(graph, "Plot1", "&Plot", plot);

    // "All", "Best 5" and "Last 20" are one choice, so a radio group.
    auto* totals = new wxMenu;
    AddMenuItem(totals, "MenuTotalAll", "&All signals", wxITEM_RADIO);
    AddMenuItem(totals, "MenuTotalBest", "&Best 5 signals", wxITEM_RADIO);
    AddMenuItem(totals, "MenuTotalLast", "&Last 20 work units", wxITEM_RADIO);
    AddSeparator(totals);
    AddMenuItem(totals, "MenuTotalIgnore", "&Ignore fast work units", wxITEM_CHECK);
    MenuItemByName("MenuTotalAll")->Check(true);
    AddSubMenu(graph, "Totals1", "&Total", totals);
    bar->Append(graph, "&Graph");

    auto* internet = new wxMenu;
    AddMenuItem(internet, "Skyvanesite1", "&Skyvane site");
    // Other sites, after a separator: the project's own. There are no
    // partner links but the hidden Vuvu2Dorsite1.
    AddSeparator(internet);
    AddMenuItem(internet, "SETIhomesite1", "SETI@&home site");
    AddMenuItem(internet, "Vuvu2Dorsite1", "&Vuvu2Dor site", wxITEM_NORMAL, false);
    bar->Append(internet, "&Internet");

    auto* help = new wxMenu;
    AddMenuItem(help, "About1", "&About...");
    bar->Append(help, "&Help");

    SetMenuBar(bar);

    // Every leaf item but "E&xit" and "&Settings..." waits for its behaviour: disabled, so that
    // none offers an action that does nothing.
    for (std::size_t i = 0; i < menuEntries_.size(); ++i) {
        const MenuEntry& entry = menuEntries_[i];
        if (entry.item->IsSeparator() || entry.item->IsSubMenu() || entry.name == "Exit2" ||
            entry.name == "Settings1")
            continue;
        EnableMenuEntry(static_cast<int>(i), false);
    }
}

// The toolkit's item exists only while the item is in its menu; a hidden
// item keeps its state in wx's part and gets it back when shown.
void TMainForm::EnableMenuEntry(int entry, bool enabled) {
    MenuEntry& target = menuEntries_[static_cast<std::size_t>(entry)];
    if (target.attached)
        target.item->Enable(enabled);
    else
        target.item->wxMenuItemBase::Enable(enabled);
}

void TMainForm::CheckMenuEntry(int entry, bool checked) {
    MenuEntry& target = menuEntries_[static_cast<std::size_t>(entry)];
    if (!target.item->IsCheckable()) return;
    if (target.attached)
        target.item->Check(checked);
    else
        target.item->wxMenuItemBase::Check(checked);
}

void TMainForm::ShowMenuEntry(int entry, bool visible) {
    MenuEntry& shown = menuEntries_[static_cast<std::size_t>(entry)];
    if (shown.attached == visible) return;
    if (visible) {
        // Back at its place among the items of its menu that are shown.
        std::size_t position = 0;
        for (int i = 0; i < entry; ++i) {
            const MenuEntry& other = menuEntries_[static_cast<std::size_t>(i)];
            if (other.menu == shown.menu && other.attached) ++position;
        }
        const bool enabled = shown.item->IsEnabled();
        const bool checked = shown.item->IsCheckable() && shown.item->IsChecked();
        shown.menu->Insert(position, shown.item);
        shown.item->Enable(enabled);
        if (shown.item->IsCheckable()) shown.item->Check(checked);
    } else {
        shown.menu->Remove(shown.item);
    }
    shown.attached = visible;
}

const TMainForm::MenuEntry* TMainForm::FindMenuEntry(std::string_view name) const {
    for (const MenuEntry& entry : menuEntries_)
        if (!name.empty() && entry.name == name) return &entry;
    return nullptr;
}

wxMenuItem* TMainForm::MenuItemByName(std::string_view name) const {
    const MenuEntry* entry = FindMenuEntry(name);
    return entry != nullptr ? entry->item : nullptr;
}

bool TMainForm::MenuItemShown(std::string_view name) const {
    const MenuEntry* entry = FindMenuEntry(name);
    return entry != nullptr && entry->attached;
}

wxMenuItem* TMainForm::MenuItemOf(Control c) const {
    const int entry = controls_[Index(c)].menuEntry;
    return entry < 0 ? nullptr : menuEntries_[static_cast<std::size_t>(entry)].item;
}

wxWindow* TMainForm::ControlWindow(Control c) const {
    return controls_[Index(c)].window;
}

// ------------------------------------------------------------------ timers

void TMainForm::CreateTimers() {
    // All four start stopped; the polling logic switches them. Each timer
    // is its own owner, so its ticks reach the handler bound on it.
    Timer1_.Bind(wxEVT_TIMER, &TMainForm::Timer1Timer, this);
    Timer2_.Bind(wxEVT_TIMER, &TMainForm::Timer2Timer, this);
    Timer3_.Bind(wxEVT_TIMER, &TMainForm::Timer3Timer, this);
    Timer4_.Bind(wxEVT_TIMER, &TMainForm::Timer4Timer, this);
}

wxTimer& TMainForm::TimerOf(TimerId t) {
    switch (t) {
        case TimerId::Timer1:
            return Timer1_;
        case TimerId::Timer2:
            return Timer2_;
        case TimerId::Timer3:
            return Timer3_;
        case TimerId::Timer4:
            break;
    }
    return Timer4_;
}

bool TMainForm::TimerRunning(TimerId t) const {
    return const_cast<TMainForm*>(this)->TimerOf(t).IsRunning();
}

void TMainForm::Timer1Timer(wxTimerEvent&) {
    monitor_->Timer1Timer();
}
void TMainForm::Timer2Timer(wxTimerEvent&) {
    monitor_->Timer2Timer();
}
void TMainForm::Timer3Timer(wxTimerEvent&) {
    monitor_->Timer3Timer();
}
void TMainForm::Timer4Timer(wxTimerEvent&) {
    monitor_->Timer4Timer();
}

// -------------------------------------------------------------- MainView

void TMainForm::SetText(Control c, std::string_view text) {
    if (wxMenuItem* item = MenuItemOf(c)) {
        item->SetItemLabel(FromUtf8(text));
        return;
    }
    // Texts are shown as they are: an "&" in a user's name is no mnemonic.
    if (auto* label = dynamic_cast<wxStaticTextBase*>(ControlWindow(c)))
        label->SetLabelText(FromUtf8(text));
}

void TMainForm::SetHint(Control c, std::string_view hint) {
    if (wxMenuItem* item = MenuItemOf(c)) {
        item->SetHelp(FromUtf8(hint));
        return;
    }
    if (wxWindow* window = ControlWindow(c)) {
        if (hint.empty())
            window->UnsetToolTip();
        else
            window->SetToolTip(FromUtf8(hint));
    }
}

void TMainForm::SetVisible(Control c, bool visible) {
    if (const int entry = controls_[Index(c)].menuEntry; entry >= 0) {
        ShowMenuEntry(entry, visible);
        return;
    }
    if (wxWindow* window = ControlWindow(c)) window->Show(visible);
}

void TMainForm::SetEnabled(Control c, bool enabled) {
    if (IsCommand(c) && !hasAction_[Index(c)]) enabled = false;
    if (const int entry = controls_[Index(c)].menuEntry; entry >= 0) {
        EnableMenuEntry(entry, enabled);
        return;
    }
    if (wxWindow* window = ControlWindow(c)) window->Enable(enabled);
}

void TMainForm::SetChecked(Control c, bool checked) {
    if (const int entry = controls_[Index(c)].menuEntry; entry >= 0) CheckMenuEntry(entry, checked);
}

void TMainForm::SetFontColor(Control c, views::Rgb color) {
    if (wxWindow* window = ControlWindow(c)) {
        window->SetForegroundColour(wxColour(color.r, color.g, color.b));
        window->Refresh();
    }
}

void TMainForm::SetUnderline(Control c, bool underlined) {
    if (wxWindow* window = ControlWindow(c)) {
        // A new font makes wxGTK size the label anew, from its own idea of
        // the text's width; the layout keeps the size it gave.
        const wxSize size = window->GetSize();
        wxFont font = window->GetFont();
        font.SetUnderlined(underlined);
        window->SetFont(font);
        window->SetSize(size);
        window->Refresh();
    }
}

void TMainForm::AlignLabel(Control c, int right, int middle) {
    if (wxWindow* window = ControlWindow(c)) {
        const wxSize size = window->GetSize();
        window->Move(At(window->GetParent(), right - size.x, middle - size.y / 2));
    }
}

void TMainForm::SetPicture(Control c, const canvas::Canvas& picture) {
    if (auto* panel = dynamic_cast<PicturePanel*>(ControlWindow(c))) panel->SetPicture(picture);
}

void TMainForm::SetBounds(Control c, int left, int top, int width, int height) {
    wxWindow* window = ControlWindow(c);
    if (window == nullptr) return;
    const wxSize size = window->GetSize();
    window->SetSize(wxRect(At(window->GetParent(), left, top),
                           wxSize(width >= 0 ? width : size.x, height >= 0 ? height : size.y)));
}

void TMainForm::SetGlyph(Control c, views::Glyph glyph) {
    if (auto* button = dynamic_cast<wxBitmapButton*>(ControlWindow(c)))
        button->SetBitmap(MagnifierGlyph(glyph == views::Glyph::ZoomIn));
}

void TMainForm::SetHandCursor(Control c, bool hand) {
    if (wxWindow* window = ControlWindow(c))
        window->SetCursor(hand ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
}

views::Rgb TMainForm::ButtonFaceColor() const {
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    return {face.Red(), face.Green(), face.Blue()};
}

void TMainForm::SetPosition(Control c, int position) {
    if (auto* gauge = dynamic_cast<wxGauge*>(ControlWindow(c)))
        gauge->SetValue(std::clamp(position, 0, gauge->GetRange()));
}

// Like enabling a timer that already runs, switching a running timer on
// keeps its phase.
void TMainForm::SetTimer(TimerId t, bool enabled) {
    static constexpr int kIntervalMs[] = {2000, 1000, 1000, 100};
    wxTimer& timer = TimerOf(t);
    if (!enabled)
        timer.Stop();
    else if (!timer.IsRunning())
        timer.Start(kIntervalMs[static_cast<int>(t)]);
}

void TMainForm::AddSelectorItem(std::string_view item) {
    static_cast<wxChoice*>(ControlWindow(Control::WUComboBox))->Append(FromUtf8(item));
}

void TMainForm::SelectSelectorItem(int index) {
    static_cast<wxChoice*>(ControlWindow(Control::WUComboBox))->SetSelection(index);
}

// The design's taskbar shows the application title, not the window's. Here
// the taskbar shows the frame's title, so while the window is minimised the
// frame carries the application title (the percentage done, say) and gets
// its own back on restore.
void TMainForm::SetWindowTitle(std::string_view title) {
    windowTitle_ = FromUtf8(title);
    if (!minimized_) SetTitle(windowTitle_);
}

void TMainForm::SetApplicationTitle(std::string_view title) {
    applicationTitle_ = FromUtf8(title);
    wxTheApp->SetAppDisplayName(applicationTitle_);
    if (minimized_) SetTitle(applicationTitle_);
}

// Hidden to the tray. Where there is no notification area (a desktop
// without one, or a bare X server), a hidden window would leave the user no
// way back to it: then the window is minimised instead, and restoring it
// counts as the tray's "Show".
void TMainForm::ShowWindow(bool visible) {
    if (visible) {
        minimizedForTray_ = false;
        if (IsIconized()) Iconize(false);
        Show(true);
        Raise();
        return;
    }
    if (trayIconShown_ && !wxTaskBarIcon::IsAvailable()) {
        minimizedForTray_ = true;
        Iconize(true);
        Show(true);
        return;
    }
    Hide();
}

void TMainForm::ShowTrayIcon(bool visible) {
    trayIconShown_ = visible;
    TrayNotifyIcon_->Logic().SetIconVisible(visible);
}

// A window of its own above the main window; the logic fills it and shows
// it.
views::SignalInfoView& TMainForm::OpenSignalInfo(views::SignalInfoEvents& events) {
    signalInfoForm_ = new inspection::TSignalInfoForm(this, events);
    return *signalInfoForm_;
}

// The window goes at the next idle time, so the logic that asked may finish
// its current step; the tray icon goes at once, or it would keep the
// application alive.
void TMainForm::Terminate() {
    terminating_ = true;
    Timer1_.Stop();
    Timer2_.Stop();
    Timer3_.Stop();
    Timer4_.Stop();
    TrayNotifyIcon_->Logic().SetIconVisible(false);
    trayIconShown_ = false;
    Destroy();
    wxTheApp->ExitMainLoop();
}

// ------------------------------------------------------------------ events

void TMainForm::Show1Click() {
    if (!terminating_) monitor_->Show1Click();
}

void TMainForm::ImageMouseMove(wxMouseEvent& event) {
    monitor_->ImageMouseMove(event.GetX(), event.GetY());
    event.Skip();
}

void TMainForm::ImageMouseUp(wxMouseEvent& event) {
    monitor_->ImageMouseUp(event.GetX(), event.GetY());
    event.Skip();
}

void TMainForm::BindCommand(Control c, std::function<void()> handler, bool enabled) {
    hasAction_[Index(c)] = true;
    if (const int entry = controls_[Index(c)].menuEntry; entry >= 0) {
        Bind(
            wxEVT_MENU, [handler](wxCommandEvent&) { handler(); },
            menuEntries_[static_cast<std::size_t>(entry)].item->GetId());
    } else if (wxWindow* window = ControlWindow(c)) {
        if (dynamic_cast<wxButton*>(window) != nullptr)
            window->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); });
        else
            window->Bind(wxEVT_LEFT_UP, [handler](wxMouseEvent&) { handler(); });
    }
    SetEnabled(c, enabled);
}

// The graph's menus, its captions (which choose the axis) and the sky map.
void TMainForm::BindGraphCommands() {
    const std::pair<Control, std::uint8_t> scales[] = {{Control::mHalf, 1}, {Control::MNormal, 2},
                                                       {Control::mx2, 4},   {Control::mx4, 8},
                                                       {Control::mx8, 16},  {Control::mx16, 32}};
    for (const auto& [item, code] : scales)
        BindCommand(item, [this, code = code] { monitor_->ScaleClick(code); });

    const Control kinds[] = {Control::ShowSpikesMenu, Control::ShowGaussiansMenu,
                             Control::ShowTripletsMenu, Control::ShowPulsesMenu};
    const Control captions[] = {Control::Label14, Control::Label15, Control::Label17,
                                Control::Label18};
    for (int kind = 0; kind < 4; ++kind) {
        // Triplets and pulses wait for a client that reports them.
        BindCommand(
            kinds[kind], [this, kind] { monitor_->ShowSignalsMenuClick(kind); }, kind < 2);
        BindCommand(captions[kind], [this, kind] { monitor_->ChangeAxisLabel(kind); });
        if (wxWindow* caption = ControlWindow(captions[kind])) caption->SetCursor(wxCURSOR_HAND);
    }
    BindCommand(Control::LinesMenu, [this] { monitor_->PlotMenuClick(false); });
    BindCommand(Control::DotsMenu, [this] { monitor_->PlotMenuClick(true); });
    BindCommand(Control::SkyMapButton, [this] { monitor_->SkyMapButtonClick(); });
    BindCommand(Control::ZoomBtn, [this] { monitor_->ZoomBtnClick(); });
    BindCommand(Control::About1, [this] { monitor_->About1Click(); });
    BindCommand(Control::WUCache1, [this] { monitor_->WUCache1Click(); });
    BindCommand(Control::ConnectMenu, [this] { monitor_->ConnectMenuClick(); });
    BindCommand(Control::Skyvanesite1, [this] { monitor_->Skyvanesite1Click(); });
    BindCommand(Control::SETIhomesite1, [this] { monitor_->SETIhomesite1Click(); });

    // The work-unit selector and the totals' menu.
    hasAction_[Index(Control::WUComboBox)] = true;
    if (wxWindow* selector = ControlWindow(Control::WUComboBox)) {
        selector->Enable();
        selector->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
            monitor_->WUComboBoxChange(event.GetSelection());
        });
    }
    const std::pair<Control, std::uint8_t> totals[] = {
        {Control::MenuTotalAll, 1}, {Control::MenuTotalBest, 2}, {Control::MenuTotalLast, 3}};
    for (const auto& [item, mode] : totals)
        BindCommand(item, [this, mode = mode] { monitor_->TotalMenuClick(mode); });
    BindCommand(Control::MenuTotalIgnore, [this] { monitor_->MenuTotalIgnoreClick(); });
}

void TMainForm::Exit1Click() {
    if (!terminating_) monitor_->Exit1Click();
}

// The close button hides the window (the logic decides how); a close that
// cannot be refused, as when the session ends, ends the program as "Exit"
// does, settings saved.
void TMainForm::FormClose(wxCloseEvent& event) {
    if (terminating_) {
        Destroy();
    } else if (event.CanVeto()) {
        event.Veto();
        monitor_->FormClose();
    } else {
        monitor_->Exit1Click();
    }
}

void TMainForm::FormIconize(wxIconizeEvent& event) {
    if (terminating_) return;
    if (event.IsIconized()) {
        minimized_ = true;
        SetTitle(applicationTitle_);
        monitor_->ApplicationMinimize();
        return;
    }
    minimized_ = false;
    SetTitle(windowTitle_);
    monitor_->ApplicationRestore();
    if (minimizedForTray_) monitor_->Show1Click();
}

}  // namespace monitor
