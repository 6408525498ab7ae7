#pragma once
// The operating-system services Skyvane uses, as small interfaces. The logic
// receives them through its constructors and never calls the OS itself; each
// backend (win32, posix) implements them once. Strings are 8-bit: on Windows
// the ANSI code page the settings record stores, on POSIX UTF-8 paths.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---------------------------------------------------------------- registry

enum class RegRoot { LocalMachine, CurrentUser };
enum class RegAccess { Read, Write };

// An open registry key. Value names compare case-insensitively, as on Windows.
// Failures are reported by return values only; callers that must swallow
// registry errors can simply ignore them.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // The string value, or nothing when it is missing or not a string.
    virtual std::optional<std::string> ReadString(std::string_view name) = 0;
    virtual bool ValueExists(std::string_view name) = 0;
    // False when the key was opened for reading or the write failed.
    virtual bool WriteString(std::string_view name, std::string_view value) = 0;
    virtual bool DeleteValue(std::string_view name) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens `path` (backslash-separated, e.g. "Software\\SETI@home\\") under
    // `root`. Read access fails when the key does not exist; write access
    // creates it. Key names compare case-insensitively.
    virtual std::unique_ptr<RegistryKey> OpenKey(RegRoot root, std::string_view path,
                                                 RegAccess access) = 0;
};

// ------------------------------------------------------------------ files

// The file's last-write time packed as a 32-bit DOS date-and-time stamp
// (local time, 2-second resolution), the value the poll compares.
using DosStamp = std::int32_t;
inline constexpr DosStamp kMissingStamp = -1;

struct DirEntry {
    std::string name;  // without the directory
    bool isDirectory = false;
    std::uint64_t size = 0;
    DosStamp stamp = kMissingStamp;
};

class Files {
public:
    virtual ~Files() = default;

    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // Size in bytes, or nothing when the file is missing.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // kMissingStamp (-1) when the file is missing.
    virtual DosStamp FileStamp(const std::string& path) = 0;

    // The first min(size, limit) bytes, or nothing when the file cannot be
    // opened. An empty file gives an empty string.
    virtual std::optional<std::string> ReadFile(const std::string& path,
                                                std::uint64_t limit = UINT64_MAX) = 0;
    // Bytes from `offset` to the end (at most `limit`), for readers that
    // follow a growing file. Nothing when the file cannot be opened.
    virtual std::optional<std::string> ReadFileFrom(const std::string& path,
                                                    std::uint64_t offset,
                                                    std::uint64_t limit = UINT64_MAX) = 0;
    // Replaces the file as a whole: written to a temporary file beside it and
    // renamed over it, so a crash never leaves half a file.
    virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;

    // Copies bytes and last-write time. Without `overwrite` an existing
    // target makes the copy fail and stays untouched.
    virtual bool CopyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;

    // Entries of `directory` whose names match `pattern` ('*' and '?'
    // wildcards, compared as the OS compares names); "." and ".." excluded.
    virtual std::vector<DirEntry> ListDirectory(const std::string& directory,
                                                std::string_view pattern = "*") = 0;
    virtual bool CreateDirectory(const std::string& path) = 0;
    // Removes an empty directory.
    virtual bool RemoveDirectory(const std::string& path) = 0;
};

// ---------------------------------------------------------- top-level windows

// Keeps a window announced while it lives (see TopLevelWindows::Announce).
class WindowAnnouncement {
public:
    virtual ~WindowAnnouncement() = default;
    virtual void SetTitle(std::string_view title) = 0;
};

class TopLevelWindows {
public:
    virtual ~TopLevelWindows() = default;
    // Whether a top-level window of this class with exactly this title exists
    // (the single-instance test).
    virtual bool WindowExists(std::string_view windowClass, std::string_view title) = 0;
    // Makes a window of ours findable by WindowExists from other processes for
    // as long as the returned object lives. Where the OS already knows our
    // windows by class and title this only keeps that true.
    virtual std::unique_ptr<WindowAnnouncement> Announce(std::string_view windowClass,
                                                         std::string_view title) = 0;
};

// ------------------------------------------------------------------ shell

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a web address or a file with the default program. False when
    // nothing could be started.
    virtual bool OpenUrl(const std::string& url) = 0;
};

// ------------------------------------------------------------ environment

class Environment {
public:
    virtual ~Environment() = default;
    // Directory of Skyvane's executable, with a trailing separator. Tests and
    // the demo move it through the environment variable SKYVANE_PROGRAM_DIR
    // (not the command line: any argument switches off the single-instance
    // test).
    virtual std::string ProgramDirectory() = 0;
    // The user's decimal separator for numbers shown on screen.
    virtual char DecimalSeparator() = 0;
    // A time of day in the user's long time format ("14:05:09", "2:05:09 PM").
    virtual std::string LongTimeText(int hour, int minute, int second) = 0;
};

// The separator between directories in a path: '\\' on Windows, '/' elsewhere.
char PathSeparator();

// Every service together, as the logic receives them. The members are
// references: whoever builds the bundle owns the services.
struct Services {
    Registry& registry;
    Files& files;
    TopLevelWindows& windows;
    Shell& shell;
    Environment& environment;
};

// The backend chosen at build time, owning one instance of every service.
class NativePlatform {
public:
    NativePlatform();
    ~NativePlatform();
    NativePlatform(const NativePlatform&) = delete;
    NativePlatform& operator=(const NativePlatform&) = delete;

    Services services();

private:
    std::unique_ptr<Registry> registry_;
    std::unique_ptr<Files> files_;
    std::unique_ptr<TopLevelWindows> windows_;
    std::unique_ptr<Shell> shell_;
    std::unique_ptr<Environment> environment_;
};

}  // namespace platform
