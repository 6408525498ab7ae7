#include "setup/TSetForm.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "wxcommon/WxText.h"

namespace setup {

using views::SetCheck;

// A fixed-size dialog with a close box, centred on the screen.
TSetForm::TSetForm(wxWindow* parent, views::SetFormEvents& events)
    : wxDialog(parent, wxID_ANY, "Skyvane Settings", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX, "TSetForm"),
      events_(events) {
    const auto check = [this](const char* caption, const char* name) {
        return new wxCheckBox(this, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, 0,
                              wxDefaultValidator, name);
    };
    CheckBox3_ = check("Save graph settings", "CheckBox3");
    CheckBox1_ = check("Run Skyvane on startup", "CheckBox1");
    CheckBox2_ = check("Start in tray", "CheckBox2");
    CheckBox4_ = check("Allow multiple instances", "CheckBox4");
    // "&&" shows as one "&".
    CheckBox5_ = check("Alert on interesting signals && errors", "CheckBox5");
    Label1_ = new wxStaticText(this, wxID_ANY, "SETI@home client path:", wxDefaultPosition,
                               wxDefaultSize, 0, "Label1");
    Edit1_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition,
                            wxSize(FromDIP(300), -1), 0, wxDefaultValidator, "Edit1");
    BitBtn1_ = new wxButton(this, wxID_OK, "OK", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn1");
    BitBtn2_ = new wxButton(this, wxID_CANCEL, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn2");
    BitBtn1_->SetDefault();
    SetEscapeId(wxID_CANCEL);
    BitBtn1_->Bind(wxEVT_BUTTON, &TSetForm::BitBtn1Click, this);
    BitBtn2_->Bind(wxEVT_BUTTON, &TSetForm::BitBtn2Click, this);

    const int gap = FromDIP(8);
    auto* column = new wxBoxSizer(wxVERTICAL);
    // The radio group is made by SetRadioItems: its items depend on the client.
    radioPlace_ = new wxBoxSizer(wxVERTICAL);
    column->Add(radioPlace_, 0, wxEXPAND);
    for (wxCheckBox* box : {CheckBox3_, CheckBox1_, CheckBox2_, CheckBox4_, CheckBox5_}) {
        column->AddSpacer(gap / 2);
        column->Add(box);
    }
    column->AddSpacer(gap);
    column->Add(Label1_);
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
    Fit();
    SetMinSize(GetSize());
    SetMaxSize(GetSize());
    CentreOnScreen();
}

void TSetForm::SetRadioItems(const std::vector<std::string>& items) {
    wxArrayString choices;
    for (const auto& item : items)
        choices.Add(wxcommon::FromUtf8(item));
    if (RadioGroup1_ != nullptr) {
        radioPlace_->Detach(RadioGroup1_);
        RadioGroup1_->Destroy();
    }
    RadioGroup1_ =
        new wxRadioBox(this, wxID_ANY, "Run SETI@home on startup", wxDefaultPosition, wxDefaultSize,
                       choices, 1, wxRA_SPECIFY_COLS, wxDefaultValidator, "RadioGroup1");
    radioPlace_->Add(RadioGroup1_, 0, wxEXPAND);
    Layout();
}

void TSetForm::SetRadioIndex(int index) {
    if (RadioGroup1_ != nullptr && index >= 0 &&
        static_cast<unsigned>(index) < RadioGroup1_->GetCount())
        RadioGroup1_->SetSelection(index);
}

int TSetForm::RadioIndex() const {
    return RadioGroup1_ != nullptr ? RadioGroup1_->GetSelection() : -1;
}

void TSetForm::SetRadioEnabled(bool enabled) {
    if (RadioGroup1_ != nullptr) RadioGroup1_->Enable(enabled);
}

wxCheckBox* TSetForm::Box(SetCheck box) const {
    switch (box) {
        case SetCheck::CheckBox1:
            return CheckBox1_;
        case SetCheck::CheckBox2:
            return CheckBox2_;
        case SetCheck::CheckBox3:
            return CheckBox3_;
        case SetCheck::CheckBox4:
            return CheckBox4_;
        case SetCheck::CheckBox5:
            break;
    }
    return CheckBox5_;
}

void TSetForm::SetChecked(SetCheck box, bool checked) {
    Box(box)->SetValue(checked);
}

bool TSetForm::Checked(SetCheck box) const {
    return Box(box)->GetValue();
}

void TSetForm::SetPathText(std::string_view text) {
    Edit1_->ChangeValue(wxcommon::PathToWx(text));
}

std::string TSetForm::PathText() const {
    return wxcommon::PathFromWx(Edit1_->GetValue());
}

void TSetForm::Close() {
    EndModal(wxID_OK);
}

void TSetForm::BitBtn1Click(wxCommandEvent& /*event*/) {
    events_.BitBtn1Click(*this);
}

void TSetForm::BitBtn2Click(wxCommandEvent& /*event*/) {
    EndModal(wxID_CANCEL);
}

}  // namespace setup
