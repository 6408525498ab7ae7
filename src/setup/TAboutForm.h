#pragma once
// "About Skyvane": the product's name, version and site link. Shown modally
// from "&About..."; AboutForm decides, this window shows and forwards its
// mouse events (the link turns green under the mouse and blue again over any
// other part of the window).

#include <wx/dialog.h>

#include "platform/Platform.h"
#include "setup/AboutForm.h"
#include "views/AboutView.h"

class wxButton;
class wxGenericStaticText;
class wxMouseEvent;
class wxPanel;
class wxStaticBitmap;
class wxStaticText;

namespace setup {

class TAboutForm : public wxDialog, private views::AboutView {
public:
    // `shell` opens the product's site; it must outlive the dialog.
    TAboutForm(wxWindow* parent, platform::Shell& shell);

private:
    // views::AboutView
    void SetText(views::AboutControl c, std::string_view text) override;
    void SetFontColor(views::AboutControl c, views::Rgb color) override;
    wxWindow* ControlWindow(views::AboutControl c) const;

    void Label1MouseMove(wxMouseEvent& event);
    void FormMouseMove(wxMouseEvent& event);
    void Label1Click(wxMouseEvent& event);

    AboutForm logic_;
    wxPanel* Panel1_ = nullptr;
    wxStaticBitmap* ProgramIcon_ = nullptr;
    wxStaticText* ProductName_ = nullptr;
    wxStaticText* Version_ = nullptr;
    wxStaticText* Comments_ = nullptr;
    wxGenericStaticText* Label1_ = nullptr;
    wxStaticText* Label2_ = nullptr;
    wxButton* BitBtn1_ = nullptr;
};

}  // namespace setup
