#pragma once
// The frame of Skyvane's small fixed-size dialogs.

#include <wx/dialog.h>
#include <wx/sizer.h>

namespace wxcommon {

// Puts `column` into `dialog` with the usual margin, sizes the dialog to it
// once and for all (without wxRESIZE_BORDER the user cannot resize it
// either) and centres it on the screen.
inline void LayOutFixedDialog(wxDialog& dialog, wxSizer* column) {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(column, 1, wxEXPAND | wxALL, dialog.FromDIP(12));
    dialog.SetSizerAndFit(outer);
    dialog.SetMinSize(dialog.GetSize());
    dialog.SetMaxSize(dialog.GetSize());
    dialog.CentreOnScreen();
}

}  // namespace wxcommon
