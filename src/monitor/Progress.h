#pragma once
// How far the client has come, as the window words it.

#include <string>

namespace monitor {

// The completed percentage of fraction f: f × 10000 rounded (halves to even),
// divided by 100, in shortest form, then "%". 0.45678 gives "45.68%".
std::string PercentageText(double fraction, char decimalSeparator);

}  // namespace monitor
