#pragma once
// The web addresses Skyvane opens, each kept only here.

#include <string_view>

namespace setup {

// The product's own site: the about box, the "&Skyvane site" menu item and
// the favorites that install creates.
inline constexpr std::string_view kProductSite = "https://skyvane.org/";
// The page of hardware performance tips on the product's site.
inline constexpr std::string_view kPerformanceTipsPage = "performance.htm";

// The SETI@home project's web site.
inline constexpr std::string_view kSetiAtHomeSite = "https://setiathome.berkeley.edu/";

}  // namespace setup
