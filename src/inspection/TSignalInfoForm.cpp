#include "inspection/TSignalInfoForm.h"

#include <wx/bookctrl.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/scrolbar.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "canvas/Canvas.h"
#include "wxcommon/WxPicturePanel.h"
#include "wxcommon/WxText.h"

namespace inspection {

using views::SignalInfoControl;
using wxcommon::FromUtf8;

namespace {

std::size_t Slot(SignalInfoControl c) {
    return static_cast<std::size_t>(c);
}

// Design pixels (see the header).
constexpr int kDesignClientWidth = 469;
constexpr int kDesignClientHeight = 242;
constexpr int kGraphWidth = 461;
constexpr int kGraphHeight = 129;
constexpr int kScrollBarWidth = 100;
// "Gaussian 1234 out of 1234" and a little more.
constexpr int kNumLabelWidth = 150;
constexpr int kMemoHeight = 58;
constexpr int kMargin = 6;
// Room of a caption before its value on the Peaks and Triplets pages.
constexpr int kCaptionWidth = 76;
constexpr int kValueWidth = 180;

const wxColour kNoticeBlue(0, 0, 255);

views::Rgb SystemColour(wxSystemColour which) {
    const wxColour c = wxSystemSettings::GetColour(which);
    return {c.Red(), c.Green(), c.Blue()};
}

}  // namespace

// A plot: shows the picture the logic drew, blitted as it is, with its
// notice (hidden until a plot has nothing to show) centred over it.
class PlotPanel : public wxcommon::PicturePanel {
public:
    PlotPanel(wxWindow* parent, const char* name)
        : PicturePanel(parent, wxDefaultPosition, wxSize(kGraphWidth, kGraphHeight), name) {
        SetMinSize(wxSize(kGraphWidth, kGraphHeight));
        SetMaxSize(wxSize(kGraphWidth, kGraphHeight));
        SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    }

    wxStaticText* AddNotice(const char* name, const wxString& text) {
        auto* notice = new wxStaticText(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                                        wxALIGN_CENTRE_HORIZONTAL, name);
        notice->SetFont(GetFont());
        notice->SetForegroundColour(kNoticeBlue);
        notice->SetBackgroundColour(GetBackgroundColour());
        const wxSize extent = notice->GetTextExtent(text);
        notice->SetSize((kGraphWidth - extent.x) / 2, (kGraphHeight - extent.y) / 2, extent.x,
                        extent.y);
        notice->Hide();
        return notice;
    }
};

// ------------------------------------------------------------ construction

TSignalInfoForm::TSignalInfoForm(wxWindow* parent, views::SignalInfoEvents& events)
    : wxDialog(parent, wxID_ANY, "Skyvane - Signal Info", wxDefaultPosition, wxDefaultSize,
               // Fixed border, only the close box, above every other window.
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxSTAY_ON_TOP, "TSignalInfoForm"),
      events_(&events) {
    // The main window's font, chosen there to match the design's.
    if (parent != nullptr) SetFont(parent->GetFont());
    // The window closes by its close box only.
    SetEscapeId(wxID_NONE);

    PageControl1_ =
        new wxNotebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, "PageControl1");
    Register(SignalInfoControl::PageControl1, PageControl1_);
    CreatePages();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(PageControl1_, 1, wxEXPAND);
    SetSizer(sizer);

    // The design's client area, or more where the page control needs it to
    // give the plots their full width.
    const wxSize fitting = sizer->ComputeFittingClientSize(this);
    designSize_ =
        wxSize(std::max(kDesignClientWidth, fitting.x), std::max(kDesignClientHeight, fitting.y));
    SetClientWidth(designSize_.x);
    CentreOnScreen();

    PageControl1_->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &TSignalInfoForm::PageControl1Change, this);
    Bind(wxEVT_CLOSE_WINDOW, &TSignalInfoForm::FormClose, this);
}

TSignalInfoForm::~TSignalInfoForm() {
    // A page out of the page control is still its child and goes with it.
    events_ = nullptr;
}

void TSignalInfoForm::Register(SignalInfoControl c, wxWindow* window) {
    window->SetName(FromUtf8(views::SignalInfoControlName(c)));
    controls_[Slot(c)] = window;
}

wxWindow* TSignalInfoForm::ControlWindow(SignalInfoControl c) const {
    return controls_[Slot(c)];
}

// Sized from the text in the label's own font: wxGTK measures a new label
// before an inherited font has reached the widget. `width` fixes the width
// (the label then never grows, and an over-long text ends in an ellipsis),
// -1 fits the text.
wxStaticText* TSignalInfoForm::AddLabel(wxWindow* parent, const char* name, const wxString& text,
                                        int width) {
    const long style = width >= 0 ? wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END : 0;
    auto* label =
        new wxStaticText(parent, wxID_ANY, text, wxDefaultPosition, wxDefaultSize, style, name);
    label->SetFont(GetFont());
    const int height = label->GetTextExtent("Ag").y;
    const int fitted = label->GetTextExtent(text.empty() ? wxString("Ag") : text).x;
    label->SetMinSize(wxSize(width >= 0 ? width : fitted, height));
    label->SetSize(label->GetMinSize());
    return label;
}

void TSignalInfoForm::CreatePages() {
    const char* const captions[] = {"Peaks", "Gaussians", "Triplets", "Pulses"};
    for (int kind = 0; kind < 4; ++kind)
        pages_[static_cast<std::size_t>(kind)] = CreatePage(kind, captions[kind]);
}

// Every page opens with the same head: the number label over the scroll
// bar, the sort box at the right. The figures follow under it; the
// explanation box or the plot closes the page at its bottom.
wxPanel* TSignalInfoForm::CreatePage(int kind, const char* caption) {
    static constexpr SignalInfoControl kSheets[] = {
        SignalInfoControl::TabSheet1, SignalInfoControl::TabSheet2, SignalInfoControl::TabSheet3,
        SignalInfoControl::TabSheet4};
    auto* page = new wxPanel(PageControl1_, wxID_ANY);
    page->SetFont(GetFont());
    Register(kSheets[kind], page);
    PageControl1_->AddPage(page, caption);

    const views::SignalPageHead head = views::PageHead(kind);
    auto* column = new wxBoxSizer(wxVERTICAL);
    Register(head.numLabel, AddLabel(page, "", wxEmptyString, kNumLabelWidth));
    column->Add(ControlWindow(head.numLabel));
    column->AddSpacer(3);
    auto* scrollBar = new wxScrollBar(page, wxID_ANY, wxDefaultPosition,
                                      wxSize(kScrollBarWidth, -1), wxSB_HORIZONTAL);
    scrollBar->SetScrollbar(0, 1, 1, 1);
    Register(head.scrollBar, scrollBar);
    column->Add(scrollBar);
    for (const auto type :
         {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN,
          wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN, wxEVT_SCROLL_THUMBTRACK,
          wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED})
        scrollBar->Bind(type, [this, kind](wxScrollEvent&) { ScrollBarChange(kind); });
    // The scroll bar is how the user steps through the signals one by one:
    // it takes the focus (GTK's does not by itself), and its keys and the
    // wheel step by one signal, not by the toolkit's amounts.
    scrollBar->SetCanFocus(true);
    scrollBar->Bind(wxEVT_KEY_DOWN,
                    [this, kind](wxKeyEvent& event) { ScrollBarKeyDown(kind, event); });
    scrollBar->Bind(wxEVT_MOUSEWHEEL,
                    [this, kind](wxMouseEvent& event) { ScrollBarMouseWheel(kind, event); });

    auto* sortBox = new wxChoice(page, wxID_ANY);
    sortBox->SetFont(GetFont());
    sortBox->SetToolTip("Sort by");
    Register(head.sortBox, sortBox);
    sortBox->Bind(wxEVT_CHOICE, [this, kind](wxCommandEvent&) { SortBoxChange(kind); });

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(column, 0, wxALIGN_TOP | wxTOP, 2);
    top->AddStretchSpacer();
    top->Add(sortBox, 0, wxALIGN_CENTRE_VERTICAL);
    // As high with one signal as with many, so that the figures under the
    // head stay in their place when the scroll bar and the sort box hide.
    top->SetMinSize(-1, std::max(sortBox->GetBestSize().y, column->GetMinSize().y));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(top, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);
    sizer->AddSpacer(4);

    // Captions and values of the Peaks and Triplets pages.
    const auto figures =
        [&](std::initializer_list<std::pair<const char*, SignalInfoControl>> rows) {
            auto* grid = new wxFlexGridSizer(2, 1, 8);
            for (const auto& [text, value] : rows) {
                wxStaticText* label = AddLabel(page, "", text, kCaptionWidth);
                if (value == SignalInfoControl::PowResLabel) label->SetToolTip("Absolute power");
                grid->Add(label);
                Register(value, AddLabel(page, "", wxEmptyString, kValueWidth));
                grid->Add(ControlWindow(value));
            }
            sizer->Add(grid, 0, wxLEFT | wxRIGHT, kMargin);
        };
    // A plot with its notice across the bottom of the Gaussians and Pulses
    // pages, under their two lines of figures.
    const auto plot = [&](SignalInfoControl line1, SignalInfoControl line2, SignalInfoControl graph,
                          SignalInfoControl notice, const wxString& noticeText) {
        for (const SignalInfoControl line : {line1, line2}) {
            Register(line, AddLabel(page, "", wxEmptyString, kGraphWidth - 2 * kMargin));
            sizer->Add(ControlWindow(line), 0, wxEXPAND | wxLEFT | wxRIGHT, kMargin);
            sizer->AddSpacer(1);
        }
        sizer->AddStretchSpacer();
        auto* panel = new PlotPanel(page, "");
        Register(graph, panel);
        Register(notice, panel->AddNotice("", noticeText));
        sizer->Add(panel, 0, wxALIGN_CENTRE_HORIZONTAL | wxBOTTOM, 2);
    };

    switch (kind) {
        case 0: {
            figures({{"Power", SignalInfoControl::PeakPowerLabel},
                     {"Resolution", SignalInfoControl::PeakResLabel},
                     {"Abs. Power", SignalInfoControl::PowResLabel},
                     {"Drift Rate", SignalInfoControl::PeakDriftLabel},
                     {"Frequency", SignalInfoControl::PeakFreqLabel},
                     {"Time", SignalInfoControl::PeakTimeLabel}});
            sizer->AddStretchSpacer();
            auto* Memo1 = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                         wxSize(-1, kMemoHeight),
                                         wxTE_MULTILINE | wxTE_READONLY | wxTE_WORDWRAP);
            Memo1->SetFont(GetFont());
            Memo1->SetMinSize(wxSize(-1, kMemoHeight));
            Register(SignalInfoControl::Memo1, Memo1);
            sizer->Add(Memo1, 0, wxEXPAND | wxALL, 2);
            break;
        }
        case 1:
            plot(SignalInfoControl::GausLabel1, SignalInfoControl::GausLabel2,
                 SignalInfoControl::GausGraph, SignalInfoControl::PlotAvailLabel,
                 "Plot available only for gaussians recorded with SETI@home 2 or greater.");
            break;
        case 2:
            figures({{"Power", SignalInfoControl::TripletPowerLabel},
                     {"Period", SignalInfoControl::TripletPeriodLabel},
                     {"Resolution", SignalInfoControl::TripletResLabel},
                     {"Drift Rate", SignalInfoControl::TripletDriftLabel},
                     {"Frequency", SignalInfoControl::TripletFreqLabel},
                     {"Time", SignalInfoControl::TripletTimeLabel}});
            sizer->AddStretchSpacer();
            break;
        default:
            plot(SignalInfoControl::PulseLabel1, SignalInfoControl::PulseLabel2,
                 SignalInfoControl::PulseGraph, SignalInfoControl::PulsePlotAvailLabel,
                 "No plot available.");
            ControlWindow(SignalInfoControl::PulseGraph)
                ->SetToolTip("This pattern is repeated several times");
            break;
    }
    page->SetSizer(sizer);
    return page;
}

// ------------------------------------------------------------------ pages

int TSignalInfoForm::PageIndex(int kind) const {
    int index = 0;
    for (int k = 0; k < kind; ++k)
        if (present_[static_cast<std::size_t>(k)]) ++index;
    return index;
}

int TSignalInfoForm::ActiveKind() const {
    const int selection = PageControl1_->GetSelection();
    if (selection == wxNOT_FOUND) return -1;
    for (int kind = 0; kind < 4; ++kind)
        if (present_[static_cast<std::size_t>(kind)] && PageIndex(kind) == selection) return kind;
    return -1;
}

void TSignalInfoForm::SetPagePresent(int kind, bool present) {
    if (kind < 0 || kind > 3 || present_[static_cast<std::size_t>(kind)] == present) return;
    static constexpr const char* kCaptions[] = {"Peaks", "Gaussians", "Triplets", "Pulses"};
    wxPanel* page = pages_[static_cast<std::size_t>(kind)];
    updating_ = true;
    if (present) {
        PageControl1_->InsertPage(static_cast<std::size_t>(PageIndex(kind)), page, kCaptions[kind]);
    } else {
        PageControl1_->RemovePage(static_cast<std::size_t>(PageIndex(kind)));
        page->Hide();
    }
    present_[static_cast<std::size_t>(kind)] = present;
    updating_ = false;
}

void TSignalInfoForm::SetActivePage(int kind) {
    if (kind < 0 || kind > 3 || !present_[static_cast<std::size_t>(kind)]) return;
    updating_ = true;
    PageControl1_->ChangeSelection(static_cast<std::size_t>(PageIndex(kind)));
    updating_ = false;
}

// The focus goes back to the page, except from the page's scroll bar: a
// user stepping with the keys keeps stepping.
void TSignalInfoForm::FocusActivePage() {
    wxWindow* page = PageControl1_->GetCurrentPage();
    if (page == nullptr) return;
    const int kind = ActiveKind();
    wxWindow* focus = wxWindow::FindFocus();
    if (kind >= 0 && focus != nullptr && focus == ControlWindow(views::PageHead(kind).scrollBar))
        return;
    page->SetFocus();
}

// ---------------------------------------------------------- SignalInfoView

void TSignalInfoForm::SetText(SignalInfoControl c, std::string_view text) {
    wxWindow* window = ControlWindow(c);
    if (auto* memo = dynamic_cast<wxTextCtrl*>(window)) {
        memo->ChangeValue(FromUtf8(text));
        memo->SetInsertionPoint(0);
        memo->SetSelection(0, 0);
        memo->ShowPosition(0);
    } else if (auto* label = dynamic_cast<wxStaticTextBase*>(window)) {
        label->SetLabelText(FromUtf8(text));
    }
}

void TSignalInfoForm::SetHint(SignalInfoControl c, std::string_view hint) {
    if (wxWindow* window = ControlWindow(c)) {
        if (hint.empty())
            window->UnsetToolTip();
        else
            window->SetToolTip(FromUtf8(hint));
    }
}

void TSignalInfoForm::SetVisible(SignalInfoControl c, bool visible) {
    wxWindow* window = ControlWindow(c);
    if (window == nullptr || window->IsShown() == visible) return;
    window->Show(visible);
    // A hidden scroll bar or sort box leaves its place in the head empty.
    window->GetParent()->Layout();
}

void TSignalInfoForm::SetScrollRange(SignalInfoControl c, int max) {
    if (auto* bar = dynamic_cast<wxScrollBar*>(ControlWindow(c))) {
        const int position = std::clamp(bar->GetThumbPosition(), 0, std::max(max, 0));
        bar->SetScrollbar(position, 1, std::max(max, 0) + 1, 1);
    }
}

void TSignalInfoForm::SetScrollPosition(SignalInfoControl c, int position) {
    auto* bar = dynamic_cast<wxScrollBar*>(ControlWindow(c));
    if (bar == nullptr) return;
    bar->SetThumbPosition(position);
    for (int kind = 0; kind < 4; ++kind)
        if (views::PageHead(kind).scrollBar == c)
            lastPositions_[static_cast<std::size_t>(kind)] = bar->GetThumbPosition();
}

void TSignalInfoForm::SetSortItems(SignalInfoControl c, const std::vector<std::string>& items) {
    if (auto* box = dynamic_cast<wxChoice*>(ControlWindow(c))) {
        wxArrayString texts;
        for (const std::string& item : items)
            texts.Add(FromUtf8(item));
        box->Set(texts);
        box->GetParent()->Layout();
    }
}

void TSignalInfoForm::SetSortSelection(SignalInfoControl c, int index) {
    if (auto* box = dynamic_cast<wxChoice*>(ControlWindow(c))) box->SetSelection(index);
}

// The height stays; the width is all the window may change.
void TSignalInfoForm::SetClientWidth(int width) {
    const wxSize size(width, designSize_.y);
    SetMinClientSize(wxDefaultSize);
    SetMaxClientSize(wxDefaultSize);
    SetClientSize(size);
    SetMinClientSize(size);
    SetMaxClientSize(size);
    Layout();
}

void TSignalInfoForm::SetPicture(SignalInfoControl c, const canvas::Canvas& picture) {
    if (auto* panel = dynamic_cast<PlotPanel*>(ControlWindow(c))) panel->SetPicture(picture);
}

// The plots keep their size whatever the page does around them; before the
// window is first shown the toolkit has not yet laid the pages out, so the
// plot's own fixed size is the one to tell.
int TSignalInfoForm::DesignGraphWidth() const {
    return ControlWindow(SignalInfoControl::GausGraph)->GetMinSize().x;
}

int TSignalInfoForm::GraphHeight(SignalInfoControl c) const {
    const wxWindow* window = ControlWindow(c);
    return window != nullptr ? window->GetMinSize().y : kGraphHeight;
}

views::Rgb TSignalInfoForm::ButtonFaceColor() const {
    return SystemColour(wxSYS_COLOUR_BTNFACE);
}
views::Rgb TSignalInfoForm::ButtonShadowColor() const {
    return SystemColour(wxSYS_COLOUR_BTNSHADOW);
}
views::Rgb TSignalInfoForm::ButtonHighlightColor() const {
    return SystemColour(wxSYS_COLOUR_BTNHIGHLIGHT);
}

void TSignalInfoForm::ShowWindow() {
    Show();
    Raise();
}

// The logic has let go of the window: nothing is forwarded any more.
void TSignalInfoForm::CloseWindow() {
    events_ = nullptr;
    Hide();
    Destroy();
}

// ------------------------------------------------------------------ events

void TSignalInfoForm::PageControl1Change(wxBookCtrlEvent& event) {
    event.Skip();
    if (updating_ || events_ == nullptr) return;
    const int kind = ActiveKind();
    if (kind >= 0) events_->PageControl1Change(kind);
}

// The toolkit reports a drag step by step and a click twice (the step and
// the end of the scroll): the logic hears of each new position once.
void TSignalInfoForm::ScrollBarChange(int kind) {
    const auto* bar = static_cast<wxScrollBar*>(ControlWindow(views::PageHead(kind).scrollBar));
    const int position = bar->GetThumbPosition();
    int& last = lastPositions_[static_cast<std::size_t>(kind)];
    if (position == last || events_ == nullptr) return;
    last = position;
    events_->ScrollBarChange(kind, position);
}

void TSignalInfoForm::ScrollBarKeyDown(int kind, wxKeyEvent& event) {
    // Ten signals a page; Home and End go to the ends.
    constexpr int kPage = 10;
    const auto* bar = static_cast<wxScrollBar*>(ControlWindow(views::PageHead(kind).scrollBar));
    const int all = bar->GetRange();
    switch (event.GetKeyCode()) {
        case WXK_UP:
        case WXK_LEFT:
        case WXK_NUMPAD_UP:
        case WXK_NUMPAD_LEFT:
            StepScrollBar(kind, -1);
            return;
        case WXK_DOWN:
        case WXK_RIGHT:
        case WXK_NUMPAD_DOWN:
        case WXK_NUMPAD_RIGHT:
            StepScrollBar(kind, 1);
            return;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP:
            StepScrollBar(kind, -kPage);
            return;
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN:
            StepScrollBar(kind, kPage);
            return;
        case WXK_HOME:
        case WXK_NUMPAD_HOME:
            StepScrollBar(kind, -all);
            return;
        case WXK_END:
        case WXK_NUMPAD_END:
            StepScrollBar(kind, all);
            return;
        default:
            // Tab and the rest keep their meaning.
            event.Skip();
    }
}

void TSignalInfoForm::ScrollBarMouseWheel(int kind, wxMouseEvent& event) {
    const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    int& rotation = wheelRotation_[static_cast<std::size_t>(kind)];
    rotation += event.GetWheelRotation();
    // Turning the wheel towards the user shows the next signal.
    const int steps = -rotation / delta;
    rotation += steps * delta;
    if (steps != 0) StepScrollBar(kind, steps);
}

void TSignalInfoForm::StepScrollBar(int kind, int steps) {
    auto* bar = static_cast<wxScrollBar*>(ControlWindow(views::PageHead(kind).scrollBar));
    const int last = std::max(bar->GetRange() - 1, 0);
    const int position = std::clamp(bar->GetThumbPosition() + steps, 0, last);
    if (position == bar->GetThumbPosition()) return;
    bar->SetThumbPosition(position);
    ScrollBarChange(kind);
}

void TSignalInfoForm::SortBoxChange(int kind) {
    const auto* box = static_cast<wxChoice*>(ControlWindow(views::PageHead(kind).sortBox));
    if (events_ != nullptr) events_->SortBoxChange(kind, box->GetSelection());
}

void TSignalInfoForm::FormClose(wxCloseEvent&) {
    if (views::SignalInfoEvents* events = std::exchange(events_, nullptr)) events->FormClose();
    Destroy();
}

}  // namespace inspection
