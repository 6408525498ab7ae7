#pragma once
// "Skyvane install/upgrade": where to install and which shortcuts to make.
// Its logic (InstallForm) decides everything; this window shows the fields
// and forwards OK, Cancel and the close box.

#include <wx/dialog.h>

#include "views/InstallView.h"

class wxButton;
class wxCheckBox;
class wxCloseEvent;
class wxCommandEvent;
class wxStaticText;
class wxTextCtrl;

namespace setup {

class TInstallForm : public wxDialog, private views::InstallView {
public:
    // Runs the logic's FormCreate; `events` must outlive the dialog.
    TInstallForm(wxWindow* parent, views::InstallEvents& events);
    // False when the logic decided that the dialog must not show.
    bool Wanted() const { return wanted_; }

private:
    // views::InstallView
    void SetText(views::InstallControl c, std::string_view text) override;
    std::string Text(views::InstallControl c) const override;
    bool Checked(views::InstallControl c) const override;
    void CloseDialog() override;

    void BitBtn1Click(wxCommandEvent& event);
    void BitBtn2Click(wxCommandEvent& event);
    void FormClose(wxCloseEvent& event);
    wxCheckBox* CheckBoxOf(views::InstallControl c) const;

    views::InstallEvents& events_;
    bool wanted_ = true;
    wxStaticText* Label1_ = nullptr;
    wxTextCtrl* Edit1_ = nullptr;
    wxCheckBox* CheckBox1_ = nullptr;
    wxCheckBox* CheckBox2_ = nullptr;
    wxCheckBox* CheckBox3_ = nullptr;
    wxButton* BitBtn1_ = nullptr;
    wxButton* BitBtn2_ = nullptr;
};

}  // namespace setup
