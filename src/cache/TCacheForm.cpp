#include "cache/TCacheForm.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "cache/CacheForm.h"
#include "wxcommon/WxText.h"

namespace cache {

using views::CacheFormControl;

// A fixed-size dialog with a close box only, centred on the screen.
TCacheForm::TCacheForm(wxWindow* parent, views::CacheFormEvents& events)
    : wxDialog(parent, wxID_ANY, "Work Unit Cache", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX, "TCacheForm"),
      events_(events) {
    const int gap = FromDIP(8);
    CheckBox1_ = new wxCheckBox(this, wxID_ANY, "Use cache", wxDefaultPosition, wxDefaultSize, 0,
                                wxDefaultValidator, "CheckBox1");

    auto* panel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxBORDER_THEME | wxTAB_TRAVERSAL, "Panel1");
    auto* grid = new wxFlexGridSizer(2, gap / 2, gap * 2);
    const auto caption = [&](const char* text) {
        grid->Add(new wxStaticText(panel, wxID_ANY, text));
    };
    const auto value = [&](const char* name) {
        auto* label =
            new wxStaticText(panel, wxID_ANY, "0", wxDefaultPosition, wxDefaultSize, 0, name);
        grid->Add(label);
        return label;
    };
    caption("Current cache size:");
    Label5_ = value("Label5");
    caption("Processed work units:");
    Label6_ = value("Label6");
    caption("Remaining work units:");
    Label7_ = value("Label7");
    caption("Future cache size");
    SpinEdit1_ = new wxSpinCtrl(panel, wxID_ANY, "5", wxDefaultPosition, wxSize(FromDIP(120), -1),
                                wxSP_ARROW_KEYS, kMinCacheSize, kMaxCacheSize, kDefaultCacheSize,
                                "SpinEdit1");
    // Only keys that step the value reach it; whatever else gets through
    // is brought into range by the logic on OK.
    SpinEdit1_->Bind(wxEVT_CHAR, [](wxKeyEvent& event) {
        switch (event.GetKeyCode()) {
            case WXK_UP:
            case WXK_DOWN:
            case WXK_PAGEUP:
            case WXK_PAGEDOWN:
            case WXK_TAB:
            case WXK_RETURN:
            case WXK_ESCAPE:
                event.Skip();
                break;
            default:
                break;
        }
    });
    grid->Add(SpinEdit1_);
    auto* panelSizer = new wxBoxSizer(wxVERTICAL);
    panelSizer->Add(grid, 0, wxALL, gap);
    panel->SetSizer(panelSizer);

    const wxString choices[] = {"Ask before connecting", "Connect automatically"};
    RadioGroup1_ =
        new wxRadioBox(this, wxID_ANY, "If the cache is empty", wxDefaultPosition, wxDefaultSize, 2,
                       choices, 1, wxRA_SPECIFY_COLS, wxDefaultValidator, "RadioGroup1");
    CheckBox2_ =
        new wxCheckBox(this, wxID_ANY, "Use additional parameters for text client",
                       wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, "CheckBox2");
    Edit1_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "Edit1");
    Edit1_->SetMaxLength(kMaxClientParams);
    Edit1_->SetToolTip("Additional runtime parameters. Don't fill it if you don't have to.");
    BitBtn1_ = new wxButton(this, wxID_OK, "OK", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn1");
    BitBtn2_ = new wxButton(this, wxID_CANCEL, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn2");
    BitBtn1_->SetDefault();
    SetEscapeId(wxID_CANCEL);

    CheckBox1_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { events_.CheckBox1Click(*this); });
    CheckBox2_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { events_.CheckBox2Click(*this); });
    BitBtn1_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { events_.BitBtn1Click(*this); });
    BitBtn2_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_CANCEL); });

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(CheckBox1_);
    column->AddSpacer(gap / 2);
    column->Add(panel, 0, wxEXPAND);
    column->AddSpacer(gap / 2);
    column->Add(RadioGroup1_, 0, wxEXPAND);
    column->AddSpacer(gap / 2);
    column->Add(CheckBox2_);
    column->Add(Edit1_, 0, wxEXPAND);
    column->AddSpacer(gap);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(BitBtn1_);
    buttons->AddSpacer(gap);
    buttons->Add(BitBtn2_);
    column->Add(buttons, 0, wxEXPAND);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(column, 1, wxEXPAND | wxALL, gap * 2);
    SetSizer(outer);

    events_.FormCreate(*this);
    LayOutBottom();
    CentreOnScreen();
}

wxWindow* TCacheForm::Widget(CacheFormControl c) const {
    switch (c) {
        case CacheFormControl::CheckBox1:
            return CheckBox1_;
        case CacheFormControl::SpinEdit1:
            return SpinEdit1_;
        case CacheFormControl::RadioGroup1:
            return RadioGroup1_;
        case CacheFormControl::CheckBox2:
            return CheckBox2_;
        case CacheFormControl::Edit1:
            return Edit1_;
        case CacheFormControl::Label5:
            return Label5_;
        case CacheFormControl::Label6:
            return Label6_;
        case CacheFormControl::Label7:
            break;
    }
    return Label7_;
}

void TCacheForm::SetText(CacheFormControl c, std::string_view text) {
    if (c == CacheFormControl::Edit1)
        Edit1_->ChangeValue(wxcommon::FromUtf8(text));
    else
        Widget(c)->SetLabel(wxcommon::FromUtf8(text));
}

std::string TCacheForm::Text(CacheFormControl c) const {
    if (c == CacheFormControl::Edit1) return wxcommon::ToUtf8(Edit1_->GetValue());
    return wxcommon::ToUtf8(Widget(c)->GetLabel());
}

void TCacheForm::SetChecked(CacheFormControl c, bool checked) {
    if (auto* box = dynamic_cast<wxCheckBox*>(Widget(c))) box->SetValue(checked);
}

bool TCacheForm::Checked(CacheFormControl c) const {
    auto* box = dynamic_cast<wxCheckBox*>(Widget(c));
    return box != nullptr && box->GetValue();
}

void TCacheForm::SetVisible(CacheFormControl c, bool visible) {
    Widget(c)->Show(visible);
}

void TCacheForm::SetEnabled(CacheFormControl c, bool enabled) {
    Widget(c)->Enable(enabled);
}

void TCacheForm::SetSpinValue(int value) {
    SpinEdit1_->SetValue(value);
}

int TCacheForm::SpinValue() const {
    return SpinEdit1_->GetValue();
}

void TCacheForm::SetRadioIndex(int index) {
    RadioGroup1_->SetSelection(index == 1 ? 1 : 0);
}

int TCacheForm::RadioIndex() const {
    return RadioGroup1_->GetSelection();
}

// Hidden inputs take no room: the buttons follow the lowest one shown and
// the window fits them.
void TCacheForm::LayOutBottom() {
    SetMinSize(wxDefaultSize);
    SetMaxSize(wxDefaultSize);
    Layout();
    Fit();
    SetMinSize(GetSize());
    SetMaxSize(GetSize());
}

void TCacheForm::Close() {
    EndModal(wxID_OK);
}

}  // namespace cache
