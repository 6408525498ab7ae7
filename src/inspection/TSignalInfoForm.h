#pragma once
// The signal info window. A passive view: inspection::SignalInfo decides
// everything and writes it through views::SignalInfoView; this class maps
// each views::SignalInfoControl to its widget and forwards the window's
// events (page change, scroll bars, sort boxes, close) to the logic.
//
// Modeless and always on top. Closing it destroys it; the logic can close it
// too (CloseWindow), after which it forwards nothing more. Every widget
// carries its component name (wxWindow::GetName).
//
// Sizes: the design's client area is 469 x 242 at 120 dots per inch. Here a
// design pixel is a screen pixel, as in the main window: the toolkit's
// controls (tabs, drop-down lists) are larger than the classic ones the
// design was drawn with, and the same 14-pixel font as the main window's
// reads well at that size. The plots are 461 x 129, as designed, so their
// pixels are the ones the logic computes for the design; the client area
// grows where the toolkit's page control needs more room around them.

#include <wx/dialog.h>

#include <array>

#include "views/SignalInfoView.h"

class wxBookCtrlEvent;
class wxChoice;
class wxCloseEvent;
class wxKeyEvent;
class wxMouseEvent;
class wxNotebook;
class wxPanel;
class wxScrollBar;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

namespace inspection {

class PlotPanel;

class TSignalInfoForm : public wxDialog, public views::SignalInfoView {
public:
    // `events` receives the window's events until the window is closed.
    // The window starts hidden; the logic shows it when it is filled.
    TSignalInfoForm(wxWindow* parent, views::SignalInfoEvents& events);
    ~TSignalInfoForm() override;

    // views::SignalInfoView
    void SetText(views::SignalInfoControl c, std::string_view text) override;
    void SetHint(views::SignalInfoControl c, std::string_view hint) override;
    void SetVisible(views::SignalInfoControl c, bool visible) override;
    void SetPagePresent(int kind, bool present) override;
    void SetActivePage(int kind) override;
    void FocusActivePage() override;
    void SetScrollRange(views::SignalInfoControl c, int max) override;
    void SetScrollPosition(views::SignalInfoControl c, int position) override;
    void SetSortItems(views::SignalInfoControl c, const std::vector<std::string>& items) override;
    void SetSortSelection(views::SignalInfoControl c, int index) override;
    void SetClientWidth(int width) override;
    void SetPicture(views::SignalInfoControl c, const canvas::Canvas& picture) override;
    int DesignClientWidth() const override { return designSize_.x; }
    int DesignGraphWidth() const override;
    int GraphHeight(views::SignalInfoControl c) const override;
    views::Rgb ButtonFaceColor() const override;
    views::Rgb ButtonShadowColor() const override;
    views::Rgb ButtonHighlightColor() const override;
    void ShowWindow() override;
    void CloseWindow() override;

    // The widget of a control. For tests.
    wxWindow* ControlWindow(views::SignalInfoControl c) const;
    // The kind of the page shown, -1 when there is none.
    int ActiveKind() const;

private:
    void CreatePages();
    wxPanel* CreatePage(int kind, const char* caption);
    wxStaticText* AddLabel(wxWindow* parent, const char* name, const wxString& text,
                           int width = -1);
    void Register(views::SignalInfoControl c, wxWindow* window);
    int PageIndex(int kind) const;

    // Events.
    void PageControl1Change(wxBookCtrlEvent& event);
    void ScrollBarChange(int kind);
    // Keys and the wheel on a page's scroll bar: one signal a step.
    void ScrollBarKeyDown(int kind, wxKeyEvent& event);
    void ScrollBarMouseWheel(int kind, wxMouseEvent& event);
    void StepScrollBar(int kind, int steps);
    void SortBoxChange(int kind);
    void FormClose(wxCloseEvent& event);

    views::SignalInfoEvents* events_;
    wxNotebook* PageControl1_ = nullptr;
    std::array<wxPanel*, 4> pages_{};
    std::array<bool, 4> present_{true, true, true, true};
    std::array<int, 4> lastPositions_{};
    // Wheel rotation not yet turned into a step (fine-grained wheels and
    // touchpads send fractions of a notch).
    std::array<int, 4> wheelRotation_{};
    std::array<wxWindow*, static_cast<std::size_t>(views::SignalInfoControl::Count)> controls_{};
    wxSize designSize_;
    // Set while the logic changes the page control, whose own change events
    // are then none of the logic's business.
    bool updating_ = false;
};

}  // namespace inspection
