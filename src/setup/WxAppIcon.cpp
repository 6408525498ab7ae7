#include "setup/WxAppIcon.h"

#include <wx/imagbmp.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "setup/AppIcon.h"

namespace setup {

// Read from the .ico, which wx decodes by itself on every platform: the PNGs
// would need libpng, which the Windows build of wx does without.
wxIconBundle AppIconBundle() {
    if (wxImage::FindHandler(wxBITMAP_TYPE_ICO) == nullptr) wxImage::AddHandler(new wxICOHandler);
    const std::string_view file = AppIconFile();
    wxMemoryInputStream stream(file.data(), file.size());
    return wxIconBundle(stream, wxBITMAP_TYPE_ICO);
}

}  // namespace setup
