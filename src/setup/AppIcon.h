#pragma once
// The application's icon, carried inside the program so that an installed
// copy needs no file beside it: the windows and the tray show it, and
// install gives it to the desktop.

#include <span>

#include "platform/Platform.h"

namespace setup {

// A size and a PNG file's bytes (RGBA).
using IconImage = platform::IconPicture;

// 16, 32 and 48 pixels, smallest first.
std::span<const IconImage> AppIconImages();

// The same three sizes as one .ico file's bytes (uncompressed bitmaps).
std::string_view AppIconFile();

}  // namespace setup
