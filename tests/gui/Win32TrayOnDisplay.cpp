// Windows only: Windows, and Wine's desktop, always have a notification area.

#include "gui/TrayOnDisplay.h"

namespace guitest {

TrayOnDisplay::TrayOnDisplay() = default;
TrayOnDisplay::~TrayOnDisplay() = default;

}  // namespace guitest
