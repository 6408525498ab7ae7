#pragma once
// The component name of every control, as front ends print and look it up.

#include <optional>
#include <string_view>

#include "views/MainView.h"

namespace views {

std::string_view ControlName(Control c);
// The control of that component name, or nothing.
std::optional<Control> ControlByName(std::string_view name);

}  // namespace views
