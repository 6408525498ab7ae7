#pragma once
// The application's icon as wx pictures (window files only).

#include <wx/iconbndl.h>

namespace setup {

// Every size of the application's icon, for windows and the tray.
wxIconBundle AppIconBundle();

}  // namespace setup
