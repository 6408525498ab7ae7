#pragma once
// "SETI@home client not found": asks for the client's directory while
// start-up finds none. Shown modally; ShowModal() returns wxID_OK when the
// user accepted a path (Path()) and wxID_CANCEL when the user chose Cancel,
// pressed Escape or closed the window some other way.

#include <wx/dialog.h>

#include <string>

#include "platform/Platform.h"

class wxButton;
class wxCommandEvent;
class wxGenericStaticText;
class wxMouseEvent;
class wxStaticText;
class wxTextCtrl;

namespace setup {

class TPathForm : public wxDialog {
public:
    // `shell` opens the project's site; it must outlive the dialog.
    TPathForm(wxWindow* parent, platform::Shell& shell);

    // The text of Edit1 as typed, in the platform's 8-bit path encoding.
    std::string Path() const;
    void SetPath(const std::string& path);

private:
    void BitBtn1Click(wxCommandEvent& event);
    void BitBtn2Click(wxCommandEvent& event);
    void BitBtn3Click(wxCommandEvent& event);
    void Label3Click(wxMouseEvent& event);

    platform::Shell& shell_;
    wxStaticText* Label1_ = nullptr;
    wxTextCtrl* Edit1_ = nullptr;
    wxButton* BitBtn1_ = nullptr;
    wxButton* BitBtn3_ = nullptr;
    wxButton* BitBtn2_ = nullptr;
    wxStaticText* Label2_ = nullptr;
    wxGenericStaticText* Label3_ = nullptr;
    wxStaticText* Label4_ = nullptr;
};

}  // namespace setup
