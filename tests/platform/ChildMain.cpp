// skyvane_test_child: a program the process contract tests start. It writes
// "child.txt" into its current directory: that directory on the first line,
// its process id on the second, then each argument on a line of its own.
//
//   (no words)  ends at once
//   wait        keeps running until it is ended
//   window      opens a window of class "SetiClientParent" titled
//               "SETI@Home Client" and ends when the window is destroyed
//               (on POSIX: announces one, and ends on SIGTERM)

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <unistd.h>

#include "platform/Platform.h"
#endif

namespace {

unsigned long OwnId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

#ifdef _WIN32
LRESULT CALLBACK ClientWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, w, l);
}

void RunWindow() {
    WNDCLASSA description{};
    description.lpfnWndProc = ClientWindowProc;
    description.hInstance = GetModuleHandleA(nullptr);
    description.lpszClassName = "SetiClientParent";
    RegisterClassA(&description);
    CreateWindowExA(0, "SetiClientParent", "SETI@Home Client", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                    nullptr, nullptr, description.hInstance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // A posted WM_DESTROY arrives through the queue.
        if (message.message == WM_DESTROY) break;
        DispatchMessageA(&message);
    }
}
#else
void RunWindow() {
    platform::NativePlatform native;
    auto window = native.services().windows.Announce("SetiClientParent", "SETI@Home Client");
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    {
        std::ofstream out("child.txt.tmp");
        out << std::filesystem::current_path().string() << "\n" << OwnId() << "\n";
        for (int i = 1; i < argc; ++i)
            out << argv[i] << "\n";
    }
    std::filesystem::rename("child.txt.tmp", "child.txt");
    if (mode == "wait") {
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    if (mode == "window") RunWindow();
    return 0;
}
