#include "setup/TAboutForm.h"

// The native label first: the generic one's header would hide it.
#include <wx/stattext.h>

#include <wx/button.h>
#include <wx/generic/stattextg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>

#include "setup/WxAppIcon.h"
#include "wxcommon/WxText.h"

namespace setup {

using views::AboutControl;

// A dialog frame with a close box, centred on the screen.
TAboutForm::TAboutForm(wxWindow* parent, platform::Shell& shell)
    : wxDialog(parent, wxID_ANY, "About Skyvane", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU, "TAboutForm"),
      logic_(*this, shell) {
    const wxIconBundle icons = AppIconBundle();
    SetIcons(icons);
    Panel1_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                          wxBORDER_SUNKEN | wxTAB_TRAVERSAL, "Panel1");
    ProgramIcon_ = new wxStaticBitmap(Panel1_, wxID_ANY, wxBitmap(icons.GetIcon(48)),
                                      wxDefaultPosition, wxDefaultSize, 0, "ProgramIcon");
    ProductName_ = new wxStaticText(Panel1_, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                    wxDefaultSize, 0, "ProductName");
    ProductName_->SetFont(ProductName_->GetFont().Bold().Scaled(1.5f));
    Version_ = new wxStaticText(Panel1_, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                0, "Version");
    Comments_ = new wxStaticText(Panel1_, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 0, "Comments");
    // A generic label is a window of its own, so it gets the mouse and the
    // hand cursor on every toolkit.
    Label1_ = new wxGenericStaticText(Panel1_, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                      wxDefaultSize, 0, "Label1");
    Label1_->SetFont(Label1_->GetFont().Underlined());
    Label1_->SetCursor(wxCursor(wxCURSOR_HAND));
    Label2_ = new wxStaticText(Panel1_, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                               0, "Label2");
    BitBtn1_ = new wxButton(this, wxID_OK, "OK", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn1");
    BitBtn1_->SetDefault();
    SetAffirmativeId(wxID_OK);
    SetEscapeId(wxID_OK);

    logic_.FormCreate();

    const int gap = FromDIP(8);
    auto* names = new wxBoxSizer(wxVERTICAL);
    names->Add(ProductName_);
    names->AddSpacer(FromDIP(4));
    names->Add(Version_);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(ProgramIcon_, 0, wxALIGN_TOP);
    top->AddSpacer(gap * 2);
    top->Add(names, 0, wxALIGN_CENTER_VERTICAL);
    auto* link = new wxBoxSizer(wxHORIZONTAL);
    link->Add(Comments_, 0, wxALIGN_CENTER_VERTICAL);
    link->AddSpacer(FromDIP(4));
    link->Add(Label1_, 0, wxALIGN_CENTER_VERTICAL);
    auto* panel = new wxBoxSizer(wxVERTICAL);
    panel->Add(top);
    panel->AddSpacer(gap * 2);
    panel->Add(link);
    panel->Add(Label2_);
    auto* panelBorder = new wxBoxSizer(wxVERTICAL);
    panelBorder->Add(panel, 1, wxEXPAND | wxALL, gap * 2);
    Panel1_->SetSizer(panelBorder);

    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(Panel1_, 1, wxEXPAND | wxALL, gap);
    outer->Add(BitBtn1_, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, gap);
    SetSizerAndFit(outer);
    SetMinSize(GetSize());
    SetMaxSize(GetSize());
    CentreOnScreen();

    Label1_->Bind(wxEVT_MOTION, &TAboutForm::Label1MouseMove, this);
    Label1_->Bind(wxEVT_LEFT_UP, &TAboutForm::Label1Click, this);
    for (wxWindow* other :
         {static_cast<wxWindow*>(this), static_cast<wxWindow*>(Panel1_),
          static_cast<wxWindow*>(ProgramIcon_), static_cast<wxWindow*>(ProductName_),
          static_cast<wxWindow*>(Version_), static_cast<wxWindow*>(Comments_),
          static_cast<wxWindow*>(Label2_), static_cast<wxWindow*>(BitBtn1_)})
        other->Bind(wxEVT_MOTION, &TAboutForm::FormMouseMove, this);
    BitBtn1_->SetFocus();
}

wxWindow* TAboutForm::ControlWindow(AboutControl c) const {
    switch (c) {
        case AboutControl::ProductName:
            return ProductName_;
        case AboutControl::Version:
            return Version_;
        case AboutControl::Comments:
            return Comments_;
        case AboutControl::Label1:
            return Label1_;
        case AboutControl::Label2:
            return Label2_;
    }
    return nullptr;
}

void TAboutForm::SetText(AboutControl c, std::string_view text) {
    if (wxWindow* window = ControlWindow(c)) window->SetLabel(wxcommon::FromUtf8(text));
}

void TAboutForm::SetFontColor(AboutControl c, views::Rgb color) {
    wxWindow* window = ControlWindow(c);
    if (window == nullptr) return;
    const wxColour colour(color.r, color.g, color.b);
    if (window->GetForegroundColour() == colour) return;
    window->SetForegroundColour(colour);
    window->Refresh();
}

void TAboutForm::Label1MouseMove(wxMouseEvent& event) {
    logic_.Label1MouseMove();
    event.Skip();
}

void TAboutForm::FormMouseMove(wxMouseEvent& event) {
    logic_.FormMouseMove();
    event.Skip();
}

void TAboutForm::Label1Click(wxMouseEvent& event) {
    logic_.Label1Click();
    event.Skip();
}

}  // namespace setup
