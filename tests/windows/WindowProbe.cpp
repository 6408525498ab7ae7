// skyvane-window-probe: looks at a running Skyvane from outside, as another
// Windows program would, for the smoke run of Skyvane.exe under Wine
// (scripts/smoke-windows.sh). Windows only; it is no part of Skyvane.
//
//   skyvane-window-probe find  CLASS TITLE   exit 0 when FindWindow finds it
//   skyvane-window-probe texts CLASS TITLE   the visible top-level windows of
//       the process that owns that window, each as "window L T R B title",
//       then its child controls' texts, one "text CLASS TEXT" a line
//   skyvane-window-probe quit  CLASS TITLE   posts WM_QUIT to that window
//
// Exit status 1 when the window is not there, 2 on a usage error.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM /*unused*/) {
    if (IsWindowVisible(child)) {
        std::printf("text %s %s\n", ClassOf(child).c_str(), TextOf(child).c_str());
    }
    return TRUE;
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM process) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(process) || !IsWindowVisible(window)) return TRUE;
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("window %ld %ld %ld %ld %s\n", rect.left, rect.top, rect.right, rect.bottom,
                TextOf(window).c_str());
    EnumChildWindows(window, PrintChild, 0);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: skyvane-window-probe find|texts|quit CLASS TITLE\n");
        return 2;
    }
    const std::string command = argv[1];
    HWND window = FindWindowA(argv[2], argv[3]);
    if (window == nullptr) return 1;
    if (command == "find") {
        std::printf("found\n");
        return 0;
    }
    if (command == "texts") {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        EnumWindows(PrintTopLevel, static_cast<LPARAM>(process));
        return 0;
    }
    if (command == "quit") return PostMessageA(window, WM_QUIT, 0, 0) ? 0 : 1;
    std::fprintf(stderr, "unknown command: %s\n", command.c_str());
    return 2;
}
