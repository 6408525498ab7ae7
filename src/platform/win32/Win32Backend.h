#pragma once
// What the files of the Win32 backend share with each other. Nothing outside
// src/platform/win32 includes this header.
//
// <windows.h> comes first and its A/W name macros that collide with the
// members of our interfaces (CopyFile, DeleteFile, CreateDirectory,
// RemoveDirectory, FindWindow) are undone at once, so Platform.h means the same in every
// translation unit. The backend calls the ANSI functions by their full names.
// ReadFile and WriteFile are real functions, not macros: inside a class that
// overrides them the API is called as ::ReadFile and ::WriteFile.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef CreateDirectory
#undef RemoveDirectory
#undef FindWindow

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace platform::win32 {

std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<Files> MakeFiles();
std::unique_ptr<TopLevelWindows> MakeTopLevelWindows();
std::unique_ptr<Processes> MakeProcesses();
std::unique_ptr<StartupValues> MakeStartupValues();

// The shell's side of installing (Win32Desktop.cpp).
std::string ShellFolder(std::string_view name);
std::string ShortcutFile(const std::string& folder, std::string_view linkName, bool webAddress);
bool SaveShortcut(Files& files, const std::string& folder, std::string_view linkName,
                  const Shortcut& shortcut);
bool DeleteProgramAfterExit(Files& files, Processes& processes, const std::string& executable,
                            const std::string& directory, bool removeDirectory);

// The longest path Skyvane hands to Windows: the settings record stores paths
// in 255 characters, and the ANSI calls stop at MAX_PATH (260 with the NUL).
inline constexpr std::size_t kMaxPathLength = 255;

// Whether `text` can be passed to an ANSI call as a C string without losing
// anything: no embedded NUL, and for paths not longer than kMaxPathLength.
// Longer paths are refused rather than cut, so we never act on a different
// file than the one asked for.
bool UsableString(std::string_view text);
bool UsablePath(std::string_view path);

// The value of an environment variable, or nothing when unset or empty.
std::optional<std::string> GetEnv(const char* name);

// Closes a kernel handle when it goes out of scope.
class HandleCloser {
public:
    explicit HandleCloser(HANDLE handle) : handle_(handle) {}
    ~HandleCloser() { Close(); }
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;
    // Closes now and reports the result: closing can be the first to report
    // a failed write.
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

}  // namespace platform::win32
