#pragma once
// "Work Unit Cache": the cache dialog. Its logic (cache::CacheForm) fills it
// and applies OK; this class only maps the widgets to views::CacheFormView.

#include <wx/dialog.h>

#include "views/CacheViews.h"

class wxButton;
class wxCheckBox;
class wxRadioBox;
class wxSpinCtrl;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

namespace cache {

class TCacheForm : public wxDialog, public views::CacheFormView {
public:
    // Runs the logic's FormCreate; `events` must outlive the dialog.
    TCacheForm(wxWindow* parent, views::CacheFormEvents& events);

    // views::CacheFormView
    void SetText(views::CacheFormControl c, std::string_view text) override;
    std::string Text(views::CacheFormControl c) const override;
    void SetChecked(views::CacheFormControl c, bool checked) override;
    bool Checked(views::CacheFormControl c) const override;
    void SetVisible(views::CacheFormControl c, bool visible) override;
    void SetEnabled(views::CacheFormControl c, bool enabled) override;
    void SetSpinValue(int value) override;
    int SpinValue() const override;
    void SetRadioIndex(int index) override;
    int RadioIndex() const override;
    void LayOutBottom() override;
    void Close() override;

private:
    wxWindow* Widget(views::CacheFormControl c) const;

    views::CacheFormEvents& events_;
    wxCheckBox* CheckBox1_ = nullptr;
    wxStaticText* Label5_ = nullptr;
    wxStaticText* Label6_ = nullptr;
    wxStaticText* Label7_ = nullptr;
    wxSpinCtrl* SpinEdit1_ = nullptr;
    wxRadioBox* RadioGroup1_ = nullptr;
    wxCheckBox* CheckBox2_ = nullptr;
    wxTextCtrl* Edit1_ = nullptr;
    wxButton* BitBtn1_ = nullptr;
    wxButton* BitBtn2_ = nullptr;
};

}  // namespace cache
