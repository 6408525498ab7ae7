#pragma once
// How Skyvane's main window names itself to the system, so that another
// Skyvane, the installer and skyvane-cli can tell whether one is running.

#include <string_view>

namespace views {

inline constexpr std::string_view kMainWindowClass = "TMainForm";
inline constexpr std::string_view kAppTitle = "Skyvane";

}  // namespace views
