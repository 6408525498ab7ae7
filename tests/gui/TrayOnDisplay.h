#pragma once
// A notification area on the GUI tests' display for the life of the object.
// A bare X server has none, so on X11 the tray tests bring their own
// (trayer, TrayOnDisplay.cpp); Windows, and Wine's desktop, always have one
// (Win32TrayOnDisplay.cpp).

namespace guitest {

class TrayOnDisplay {
public:
    TrayOnDisplay();
    ~TrayOnDisplay();
    TrayOnDisplay(const TrayOnDisplay&) = delete;
    TrayOnDisplay& operator=(const TrayOnDisplay&) = delete;

private:
    long long process_ = 0;  // the tray program started here, if any
};

}  // namespace guitest
