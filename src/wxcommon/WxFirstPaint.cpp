#include "wxcommon/WxFirstPaint.h"

#include <wx/event.h>
#include <wx/ffile.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <chrono>
#include <string>
#include <utility>

namespace wxcommon {

void NoteFirstPaint(wxWindow& window) {
    wxString path;
    if (!wxGetEnv("SKYVANE_FIRST_PAINT_FILE", &path) || path.empty()) return;
    // The event is skipped, so the window paints as it would without the
    // hook; after the first paint the hook only looks at its flag.
    window.Bind(wxEVT_PAINT, [path, written = false](wxPaintEvent& event) mutable {
        event.Skip();
        if (std::exchange(written, true)) return;
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
        wxFFile file(path, "w");
        if (file.IsOpened()) file.Write(std::to_string(ns) + "\n");
    });
}

}  // namespace wxcommon
