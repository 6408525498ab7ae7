// skyvane-minimal-window: the least a wx program can show, a frame with one
// label, built with the same compiler, flags and wx libraries as Skyvane.
// scripts/measure-window.sh sets Skyvane's start-up time, resident memory
// and idle processor time beside this program's.

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/stattext.h>

#include "wxcommon/WxFirstPaint.h"

namespace {

class MinimalApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "Minimal");
        new wxStaticText(frame, wxID_ANY, "A label");
        wxcommon::NoteFirstPaint(*frame);
        frame->Show();
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP(MinimalApp);
