#pragma once
// Helpers of the GUI tests: letting wx and the display catch up, and
// screenshots. wx itself is started once for the whole run by the test
// program's environment (see MainFormTest.cpp's main).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/gdicmn.h>
#include <wx/stdpaths.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "monitor/WxText.h"

namespace guitest {

// Lets the display and wx catch up: events, idle work (such as windows
// destroyed with Destroy()), for about `ms` milliseconds.
inline void Pump(int ms) {
    wxStopWatch watch;
    do {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(10);
    } while (watch.Time() < ms);
}

// SKYVANE_SCREENSHOT_DIR, or the directory of the test program.
inline std::string ScreenshotPath(const std::string& name) {
    const char* dir = std::getenv("SKYVANE_SCREENSHOT_DIR");
    std::string path =
        dir != nullptr && *dir != '\0'
            ? dir
            : monitor::PathFromWx(wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath());
    if (path.back() != '/') path += '/';
    return path + name;
}

// The window alone, as it stands on the screen (`window`: screen pixels).
inline void SaveWindowShot(const std::string& name, const wxRect& window) {
    const std::string path = ScreenshotPath(name + ".png");
    const std::string crop = "import -window root -crop " + std::to_string(window.width) + "x" +
                             std::to_string(window.height) + "+" + std::to_string(window.x) + "+" +
                             std::to_string(window.y) + " +repage '" + path + "'";
    EXPECT_EQ(std::system(crop.c_str()), 0) << crop;
    std::printf("screenshot: %s\n", path.c_str());
}

}  // namespace guitest
