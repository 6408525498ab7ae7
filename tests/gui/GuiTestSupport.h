#pragma once
// Helpers of the GUI tests: letting wx and the display catch up, and
// screenshots. wx itself is started once for the whole run by the test
// program's environment (see MainFormTest.cpp's main).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filename.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/platinfo.h>
#include <wx/stdpaths.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "canvas/Canvas.h"
#include "wxcommon/WxText.h"

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

// Pumps until `done()` holds or `ms` milliseconds have passed; tells which.
// For what the display delivers when it can (pointer moves under a loaded
// Xvfb or Wine), where a fixed pump is sometimes too short.
template <typename Condition>
bool PumpUntil(Condition done, int ms = 3000) {
    wxStopWatch watch;
    while (!done()) {
        if (watch.Time() >= ms) return false;
        Pump(20);
    }
    return true;
}

// SKYVANE_SCREENSHOT_DIR, or the directory of the test program.
inline std::string ScreenshotPath(const std::string& name) {
    const char* dir = std::getenv("SKYVANE_SCREENSHOT_DIR");
    std::string path = dir != nullptr && *dir != '\0'
                           ? dir
                           : wxcommon::PathFromWx(
                                 wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath());
    if (path.back() != '/') path += '/';
    return path + name;
}

// Saves the screen's pixels inside `area` (screen pixels; the whole screen
// when empty) as `path`. On X11 ImageMagick reads the display; under Windows
// (and Wine) the screen is read through wx and written with the program's
// own PNG encoder, as Windows has no ImageMagick to call.
inline void SaveScreenArea(const std::string& path, const wxRect& area) {
    if (wxPlatformInfo::Get().GetPortId() != wxPORT_MSW) {
        std::string command = "import -window root ";
        if (!area.IsEmpty()) {
            command += "-crop " + std::to_string(area.width) + "x" + std::to_string(area.height) +
                       "+" + std::to_string(area.x) + "+" + std::to_string(area.y) + " +repage ";
        }
        command += "'" + path + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    } else {
        const wxRect rect = area.IsEmpty() ? wxRect(wxPoint(0, 0), wxGetDisplaySize()) : area;
        wxBitmap bitmap(rect.width, rect.height, 24);
        {
            wxScreenDC screen;
            wxMemoryDC memory(bitmap);
            memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
        }
        const wxImage image = bitmap.ConvertToImage();
        canvas::Canvas picture(rect.width, rect.height, canvas::Color{});
        for (int y = 0; y < rect.height; ++y) {
            for (int x = 0; x < rect.width; ++x) {
                picture.SetPixel(x, y,
                                 {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)});
            }
        }
        std::ofstream file(path, std::ios::binary);
        file << canvas::EncodePng(picture);
        EXPECT_TRUE(file.good()) << path;
    }
    std::printf("screenshot: %s\n", path.c_str());
}

// The window alone, as it stands on the screen (`window`: screen pixels).
inline void SaveWindowShot(const std::string& name, const wxRect& window) {
    SaveScreenArea(ScreenshotPath(name + ".png"), window);
}

}  // namespace guitest
