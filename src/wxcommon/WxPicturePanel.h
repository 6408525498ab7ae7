#pragma once
// A control that shows a picture the logic drew: the finished pixels are
// copied into a bitmap once and blitted as they are whenever the control is
// painted.

#include <wx/bitmap.h>
#include <wx/panel.h>

namespace canvas {
class Canvas;
}

namespace wxcommon {

class PicturePanel : public wxPanel {
public:
    PicturePanel(wxWindow* parent, wxPoint position, wxSize size, const char* name = "");

    void SetPicture(const canvas::Canvas& picture);

private:
    wxBitmap bitmap_;
};

}  // namespace wxcommon
