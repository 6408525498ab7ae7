#include "setup/WxAppIcon.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include "setup/AppIcon.h"

namespace setup {

wxIconBundle AppIconBundle() {
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    wxIconBundle bundle;
    for (const IconImage& image : AppIconImages()) {
        wxMemoryInputStream stream(image.png.data(), image.png.size());
        wxImage picture(stream, wxBITMAP_TYPE_PNG);
        if (!picture.IsOk()) continue;
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(picture));
        bundle.AddIcon(icon);
    }
    return bundle;
}

}  // namespace setup
