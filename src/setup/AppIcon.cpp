#include "setup/AppIcon.h"

#include <array>

namespace setup {

namespace icondata {
// Generated from res/ at configure time (cmake/EmbedFiles.cmake).
std::string_view skyvane16();
std::string_view skyvane32();
std::string_view skyvane48();
std::string_view skyvaneIco();
}  // namespace icondata

std::span<const IconImage> AppIconImages() {
    static const std::array<IconImage, 3> images{
        {{16, icondata::skyvane16()}, {32, icondata::skyvane32()}, {48, icondata::skyvane48()}}};
    return images;
}

std::string_view AppIconFile() {
    return icondata::skyvaneIco();
}

}  // namespace setup
