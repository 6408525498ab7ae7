#pragma once
// "Skyvane Settings": the settings dialog. Its logic (setup::SetForm) fills
// it and applies OK; this class only maps the widgets to views::SetFormView.
// Shown modally; OK closes it with wxID_OK once the logic accepted, Cancel,
// Escape and the close box with wxID_CANCEL.

#include <wx/dialog.h>

#include <string>
#include <vector>

#include "views/SetFormView.h"

class wxButton;
class wxCheckBox;
class wxCommandEvent;
class wxRadioBox;
class wxSizer;
class wxStaticText;
class wxTextCtrl;

namespace setup {

class TSetForm : public wxDialog, public views::SetFormView {
public:
    // Runs the logic's FormCreate; `events` must outlive the dialog.
    TSetForm(wxWindow* parent, views::SetFormEvents& events);

    // views::SetFormView
    void SetRadioItems(const std::vector<std::string>& items) override;
    void SetRadioIndex(int index) override;
    int RadioIndex() const override;
    void SetRadioEnabled(bool enabled) override;
    void SetChecked(views::SetCheck box, bool checked) override;
    bool Checked(views::SetCheck box) const override;
    void SetPathText(std::string_view text) override;
    std::string PathText() const override;
    void Close() override;

private:
    void BitBtn1Click(wxCommandEvent& event);
    void BitBtn2Click(wxCommandEvent& event);
    wxCheckBox* Box(views::SetCheck box) const;

    views::SetFormEvents& events_;
    wxSizer* radioPlace_ = nullptr;
    wxRadioBox* RadioGroup1_ = nullptr;
    wxCheckBox* CheckBox3_ = nullptr;
    wxCheckBox* CheckBox1_ = nullptr;
    wxCheckBox* CheckBox2_ = nullptr;
    wxCheckBox* CheckBox4_ = nullptr;
    wxCheckBox* CheckBox5_ = nullptr;
    wxStaticText* Label1_ = nullptr;
    wxTextCtrl* Edit1_ = nullptr;
    wxButton* BitBtn1_ = nullptr;
    wxButton* BitBtn2_ = nullptr;
};

}  // namespace setup
