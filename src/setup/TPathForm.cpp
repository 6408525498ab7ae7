#include "setup/TPathForm.h"

// The native label first: the generic one's header would hide it.
#include <wx/stattext.h>

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/generic/stattextg.h>
#include <wx/platinfo.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "setup/PathForm.h"
#include "wxcommon/WxDialogLayout.h"
#include "wxcommon/WxText.h"

namespace setup {

namespace {

// What "Browse..." offers. The Windows client is "*.exe"; elsewhere the
// client's program has no extension at all, so all files are offered too and
// chosen first (any file of the client's directory names the directory).
struct BrowseFilter {
    wxString wildcard;
    int index = 0;
};

BrowseFilter ClientProgramFilter() {
    BrowseFilter filter;
    filter.wildcard = "SETI@home client (*.exe)|*.exe";
    if ((wxPlatformInfo::Get().GetOperatingSystemId() & wxOS_WINDOWS) == 0) {
        filter.wildcard += wxString("|All files (") + wxFileSelectorDefaultWildcardStr + ")|" +
                           wxFileSelectorDefaultWildcardStr;
        filter.index = 1;
    }
    return filter;
}

}  // namespace

// No title-bar buttons: the only ways out are OK, Cancel and Escape, which
// the dialog maps to Cancel.
TPathForm::TPathForm(wxWindow* parent, platform::Shell& shell)
    : wxDialog(parent, wxID_ANY, "SETI@home client not found", wxDefaultPosition, wxDefaultSize,
               wxCAPTION, "TPathForm"),
      shell_(shell) {
    Label1_ = new wxStaticText(this, wxID_ANY, "Enter SETI@home path", wxDefaultPosition,
                               wxDefaultSize, 0, "Label1");
    Edit1_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition,
                            wxSize(FromDIP(340), -1), 0, wxDefaultValidator, "Edit1");
    // wxID_OK and wxID_CANCEL make Enter and Escape reach these two buttons.
    BitBtn1_ = new wxButton(this, wxID_OK, "OK", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn1");
    BitBtn3_ = new wxButton(this, wxID_ANY, "Browse...", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn3");
    BitBtn2_ = new wxButton(this, wxID_CANCEL, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn2");
    Label2_ = new wxStaticText(this, wxID_ANY, "If you don't have SETI@home then get it at",
                               wxDefaultPosition, wxDefaultSize, 0, "Label2");
    // A generic label is a window of its own, so it gets the clicks and the
    // hand cursor on every toolkit.
    Label3_ = new wxGenericStaticText(this, wxID_ANY, "SETI@home site", wxDefaultPosition,
                                      wxDefaultSize, 0, "Label3");
    Label3_->SetForegroundColour(wxColour(0, 0, 255));
    Label3_->SetFont(Label3_->GetFont().Underlined());
    Label3_->SetCursor(wxCursor(wxCURSOR_HAND));
    Label4_ = new wxStaticText(this, wxID_ANY, "You need to have a work unit in S@H folder",
                               wxDefaultPosition, wxDefaultSize, 0, "Label4");

    BitBtn1_->SetDefault();
    SetAffirmativeId(wxID_OK);
    SetEscapeId(wxID_CANCEL);

    const int gap = FromDIP(8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(BitBtn1_);
    buttons->AddSpacer(gap);
    buttons->Add(BitBtn3_);
    buttons->AddSpacer(gap);
    buttons->Add(BitBtn2_);

    auto* site = new wxBoxSizer(wxHORIZONTAL);
    site->Add(Label2_, 0, wxALIGN_CENTER_VERTICAL);
    site->AddSpacer(FromDIP(4));
    site->Add(Label3_, 0, wxALIGN_CENTER_VERTICAL);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(Label1_);
    column->AddSpacer(FromDIP(4));
    column->Add(Edit1_, 0, wxEXPAND);
    column->AddSpacer(gap + FromDIP(4));
    column->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL);
    column->AddSpacer(gap + FromDIP(8));
    column->Add(site);
    column->AddSpacer(FromDIP(4));
    column->Add(Label4_);

    wxcommon::LayOutFixedDialog(*this, column);

    BitBtn1_->Bind(wxEVT_BUTTON, &TPathForm::BitBtn1Click, this);
    BitBtn2_->Bind(wxEVT_BUTTON, &TPathForm::BitBtn2Click, this);
    BitBtn3_->Bind(wxEVT_BUTTON, &TPathForm::BitBtn3Click, this);
    Label3_->Bind(wxEVT_LEFT_UP, &TPathForm::Label3Click, this);

    Edit1_->SetFocus();
}

std::string TPathForm::Path() const {
    return wxcommon::PathFromWx(Edit1_->GetValue());
}

void TPathForm::SetPath(const std::string& path) {
    Edit1_->ChangeValue(wxcommon::PathToWx(path));
}

// The text is taken as typed: start-up appends the separator and tests the
// directory again, and asks once more when it is still not a client's.
void TPathForm::BitBtn1Click(wxCommandEvent&) {
    EndModal(wxID_OK);
}

void TPathForm::BitBtn2Click(wxCommandEvent&) {
    EndModal(wxID_CANCEL);
}

void TPathForm::BitBtn3Click(wxCommandEvent&) {
    const BrowseFilter filter = ClientProgramFilter();
    const wxString root(wxFileName::GetPathSeparator());
    wxFileDialog OpenDialog1(this, "Open", root, wxEmptyString, filter.wildcard,
                             wxFD_OPEN | wxFD_FILE_MUST_EXIST, wxDefaultPosition, wxDefaultSize,
                             "OpenDialog1");
    OpenDialog1.SetFilterIndex(filter.index);
    if (OpenDialog1.ShowModal() != wxID_OK) return;
    // Worked on in the path's own encoding, the separators being ASCII.
    Edit1_->ChangeValue(
        wxcommon::PathToWx(DirectoryOfChosenFile(wxcommon::PathFromWx(OpenDialog1.GetPath()))));
}

void TPathForm::Label3Click(wxMouseEvent&) {
    shell_.OpenUrl(std::string(kSetiAtHomeSite));
}

}  // namespace setup
