// Top-level windows on Windows. The window manager answers the search for a
// class and title itself (FindWindow). Our main window is a wx window with a
// wx class name, so an announcement is a hidden top-level window of its own,
// with the class and title other instances look for. It is never shown, has
// no taskbar button and takes no part in the program's message handling; the
// program's message loop keeps it answering the messages other programs
// broadcast.

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/Win32Backend.h"

namespace platform::win32 {

namespace {

HINSTANCE OwnModule() {
    return GetModuleHandleA(nullptr);
}

// Registers the window class once per process. A class that some other part
// of the program registered under that name will do as well: only its name
// is ever looked at.
bool EnsureClassRegistered(const std::string& windowClass) {
    static std::mutex mutex;
    static std::set<std::string> registered;
    const std::lock_guard lock(mutex);
    if (registered.count(windowClass) != 0) return true;
    WNDCLASSEXA description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = DefWindowProcA;
    description.hInstance = OwnModule();
    description.lpszClassName = windowClass.c_str();
    if (RegisterClassExA(&description) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    registered.insert(windowClass);
    return true;
}

class Win32WindowAnnouncement final : public WindowAnnouncement {
public:
    explicit Win32WindowAnnouncement(HWND window) : window_(window) {}

    // A window can only be destroyed by the thread that created it: the
    // announcement must end on the thread that made it, as the main window's
    // does.
    ~Win32WindowAnnouncement() override {
        if (window_ != nullptr) DestroyWindow(window_);
    }

    Win32WindowAnnouncement(const Win32WindowAnnouncement&) = delete;
    Win32WindowAnnouncement& operator=(const Win32WindowAnnouncement&) = delete;

    void SetTitle(std::string_view title) override {
        // Failure only means another instance cannot find us, which is not
        // worth an error; a title that cannot be passed keeps the old one.
        if (window_ == nullptr || !UsableString(title)) return;
        const std::string text(title);
        SetWindowTextA(window_, text.c_str());
    }

private:
    HWND window_;
};

HWND Handle(const WindowInfo& window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window.handle));
}

// Class name and title, at most 255 characters each, as the client
// enumeration reads them.
WindowInfo Describe(HWND window) {
    WindowInfo info;
    info.handle = reinterpret_cast<std::uintptr_t>(window);
    char text[256] = {};
    int length = GetClassNameA(window, text, static_cast<int>(sizeof text));
    info.windowClass.assign(text, static_cast<std::size_t>(length > 0 ? length : 0));
    length = GetWindowTextA(window, text, static_cast<int>(sizeof text));
    info.title.assign(text, static_cast<std::size_t>(length > 0 ? length : 0));
    return info;
}

class Win32TopLevelWindows final : public TopLevelWindows {
public:
    bool WindowExists(std::string_view windowClass, std::string_view title) override {
        if (!UsableString(windowClass) || !UsableString(title)) return false;
        const std::string className(windowClass);
        const std::string text(title);
        return FindWindowA(className.c_str(), text.c_str()) != nullptr;
    }

    std::optional<WindowInfo> FindWindow(std::string_view windowClass,
                                         std::string_view title) override {
        if (!UsableString(windowClass) || !UsableString(title)) return std::nullopt;
        const std::string className(windowClass);
        const std::string text(title);
        const HWND window = FindWindowA(className.c_str(), text.c_str());
        if (window == nullptr) return std::nullopt;
        return Describe(window);
    }

    // A callback of the system's own calling convention (stdcall on 32-bit
    // Windows), which a lambda does not have.
    static BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
    }

    std::vector<WindowInfo> EnumerateWindows() override {
        std::vector<HWND> handles;
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&handles));
        std::vector<WindowInfo> windows;
        windows.reserve(handles.size());
        for (const HWND window : handles)
            windows.push_back(Describe(window));
        return windows;
    }

    std::optional<ProcessId> WindowProcess(const WindowInfo& window) override {
        const HWND handle = Handle(window);
        DWORD process = 0;
        if (!IsWindow(handle) || GetWindowThreadProcessId(handle, &process) == 0 || process == 0)
            return std::nullopt;
        return static_cast<ProcessId>(process);
    }

    // WM_DESTROY, posted and not sent: the windowed client takes it as the
    // request to end, and we do not wait inside its message handling.
    bool PostDestroy(const WindowInfo& window) override {
        return PostMessageA(Handle(window), WM_DESTROY, 0, 0) != 0;
    }

    // WM_QUIT ends the owner's message loop, whichever of its windows gets
    // it. Our own windows are never asked.
    bool PostQuit(const WindowInfo& window) override {
        const HWND handle = Handle(window);
        DWORD process = 0;
        if (!IsWindow(handle) || GetWindowThreadProcessId(handle, &process) == 0 ||
            process == GetCurrentProcessId())
            return false;
        return PostMessageA(handle, WM_QUIT, 0, 0) != 0;
    }

    std::optional<ScreenPoint> CursorPosition() override {
        POINT point{};
        if (GetCursorPos(&point) == 0) return std::nullopt;
        return ScreenPoint{point.x, point.y};
    }
    void SetCursorPosition(ScreenPoint point) override { SetCursorPos(point.x, point.y); }
    void ShowCursor(bool show) override { ::ShowCursor(show ? TRUE : FALSE); }

    std::unique_ptr<WindowAnnouncement> Announce(std::string_view windowClass,
                                                 std::string_view title) override {
        HWND window = nullptr;
        const std::string className(windowClass);
        const std::string text(title);
        if (UsableString(windowClass) && !className.empty() && UsableString(title) &&
            EnsureClassRegistered(className)) {
            // Top-level (no parent): FindWindow does not see message-only
            // windows. Never made visible; a tool window would keep off the
            // taskbar even if it were.
            window = CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), text.c_str(), WS_POPUP, 0,
                                     0, 0, 0, nullptr, nullptr, OwnModule(), nullptr);
        }
        // Without a window the announcement still has to be kept and ended
        // like any other; it simply cannot be found.
        return std::make_unique<Win32WindowAnnouncement>(window);
    }
};

}  // namespace

std::unique_ptr<TopLevelWindows> MakeTopLevelWindows() {
    return std::make_unique<Win32TopLevelWindows>();
}

}  // namespace platform::win32
