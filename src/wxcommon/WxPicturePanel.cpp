#include "wxcommon/WxPicturePanel.h"

#include <wx/dcclient.h>
#include <wx/image.h>

#include <algorithm>
#include <cstdlib>

#include "canvas/Canvas.h"

namespace wxcommon {

PicturePanel::PicturePanel(wxWindow* parent, wxPoint position, wxSize size, const char* name)
    : wxPanel(parent, wxID_ANY, position, size, wxBORDER_NONE, name) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        if (bitmap_.IsOk())
            dc.DrawBitmap(bitmap_, 0, 0);
        else
            dc.Clear();
    });
}

void PicturePanel::SetPicture(const canvas::Canvas& picture) {
    const auto& bytes = picture.Bytes();
    if (bytes.empty()) return;
    // wxImage frees its data with free(): hand it a malloc'd copy.
    auto* data = static_cast<unsigned char*>(std::malloc(bytes.size()));
    if (data == nullptr) return;
    std::copy(bytes.begin(), bytes.end(), data);
    bitmap_ = wxBitmap(wxImage(picture.Width(), picture.Height(), data));
    Refresh(false);
}

}  // namespace wxcommon
