#include "setup/TInstallForm.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "setup/WxAppIcon.h"
#include "wxcommon/WxDialogLayout.h"
#include "wxcommon/WxText.h"

namespace setup {

using views::InstallControl;

// A fixed-size dialog with a close box, centred.
TInstallForm::TInstallForm(wxWindow* parent, views::InstallEvents& events)
    : wxDialog(parent, wxID_ANY, "Skyvane install/upgrade", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU, "TInstallForm"),
      events_(events) {
    SetIcons(AppIconBundle());
    Label1_ = new wxStaticText(this, wxID_ANY, "Install Skyvane in", wxDefaultPosition,
                               wxDefaultSize, 0, "Label1");
    Edit1_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition,
                            wxSize(FromDIP(340), -1), 0, wxDefaultValidator, "Edit1");
    CheckBox1_ = new wxCheckBox(this, wxID_ANY, "Add Skyvane to programs menu", wxDefaultPosition,
                                wxDefaultSize, 0, wxDefaultValidator, "CheckBox1");
    CheckBox2_ =
        new wxCheckBox(this, wxID_ANY, "Add Skyvane shortcut to desktop", wxDefaultPosition,
                       wxDefaultSize, 0, wxDefaultValidator, "CheckBox2");
    CheckBox3_ = new wxCheckBox(this, wxID_ANY, "Add Skyvane to favorites", wxDefaultPosition,
                                wxDefaultSize, 0, wxDefaultValidator, "CheckBox3");
    for (wxCheckBox* box : {CheckBox1_, CheckBox2_, CheckBox3_})
        box->SetValue(true);
    BitBtn1_ = new wxButton(this, wxID_OK, "OK", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn1");
    BitBtn2_ = new wxButton(this, wxID_CANCEL, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn2");
    BitBtn1_->SetDefault();

    const int gap = FromDIP(8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(BitBtn1_);
    buttons->AddSpacer(gap);
    buttons->Add(BitBtn2_);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(Label1_);
    column->AddSpacer(FromDIP(4));
    column->Add(Edit1_, 0, wxEXPAND);
    column->AddSpacer(gap);
    for (wxCheckBox* box : {CheckBox1_, CheckBox2_, CheckBox3_}) {
        column->Add(box);
        column->AddSpacer(FromDIP(4));
    }
    column->AddSpacer(gap);
    column->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL);
    wxcommon::LayOutFixedDialog(*this, column);

    // OK and Cancel go to the logic, which closes the dialog when it is done;
    // Escape and the close box are the logic's FormClose.
    BitBtn1_->Bind(wxEVT_BUTTON, &TInstallForm::BitBtn1Click, this);
    BitBtn2_->Bind(wxEVT_BUTTON, &TInstallForm::BitBtn2Click, this);
    Bind(wxEVT_CLOSE_WINDOW, &TInstallForm::FormClose, this);
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE) {
            events_.FormClose();
            return;
        }
        event.Skip();
    });

    wanted_ = events_.FormCreate(*this);
    Edit1_->SetFocus();
}

wxCheckBox* TInstallForm::CheckBoxOf(InstallControl c) const {
    switch (c) {
        case InstallControl::CheckBox1:
            return CheckBox1_;
        case InstallControl::CheckBox2:
            return CheckBox2_;
        case InstallControl::CheckBox3:
            return CheckBox3_;
        default:
            return nullptr;
    }
}

void TInstallForm::SetText(InstallControl c, std::string_view text) {
    if (c == InstallControl::Label1) Label1_->SetLabel(wxcommon::FromUtf8(text));
    if (c == InstallControl::Edit1) Edit1_->ChangeValue(wxcommon::PathToWx(text));
}

std::string TInstallForm::Text(InstallControl c) const {
    if (c == InstallControl::Edit1) return wxcommon::PathFromWx(Edit1_->GetValue());
    if (c == InstallControl::Label1) return wxcommon::ToUtf8(Label1_->GetLabel());
    return {};
}

bool TInstallForm::Checked(InstallControl c) const {
    const wxCheckBox* box = CheckBoxOf(c);
    return box != nullptr && box->GetValue();
}

void TInstallForm::CloseDialog() {
    if (IsModal()) EndModal(wxID_OK);
}

void TInstallForm::BitBtn1Click(wxCommandEvent&) {
    events_.BitBtn1Click();
}

void TInstallForm::BitBtn2Click(wxCommandEvent&) {
    events_.BitBtn2Click();
}

void TInstallForm::FormClose(wxCloseEvent&) {
    events_.FormClose();
}

}  // namespace setup
