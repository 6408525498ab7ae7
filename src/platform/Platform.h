#pragma once
// The operating-system services Skyvane uses, as small interfaces. The logic
// receives them through its constructors and never calls the OS itself; each
// backend (win32, posix) implements them once. Strings are 8-bit: on Windows
// the ANSI code page the settings record stores, on POSIX UTF-8 paths.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
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
    // Deletes the key `path` under `root` with its values and every key
    // below it. True when it is gone afterwards (also when it never was).
    virtual bool DeleteKey(RegRoot root, std::string_view path) = 0;
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
    // Bytes from `offset` on into `dest`, until it is full or the file ends,
    // for readers that follow a growing file block by block without copying
    // it: the count (0 at or past the end), or nothing when the file cannot
    // be opened or read.
    virtual std::optional<std::size_t> ReadFileInto(const std::string& path, std::uint64_t offset,
                                                    std::span<char> dest) = 0;
    // Replaces the file as a whole: written to a temporary file beside it and
    // renamed over it, so a crash never leaves half a file.
    virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;

    // Copies bytes and last-write time. Without `overwrite` an existing
    // target makes the copy fail and stays untouched. The copy is made
    // beside the target under a temporary name ending in ".tmp" and renamed
    // into place, so the target never holds part of the bytes: after a
    // crash it is the old file, the whole new one, or absent.
    virtual bool CopyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;

    // Entries of `directory` whose names match `pattern` ('*' and '?'
    // wildcards, compared as the OS compares names); "." and ".." excluded.
    virtual std::vector<DirEntry> ListDirectory(const std::string& directory,
                                                std::string_view pattern = "*") = 0;
    virtual bool CreateDirectory(const std::string& path) = 0;
    // Removes an empty directory.
    virtual bool RemoveDirectory(const std::string& path) = 0;
    // Whether `path` itself is a link to elsewhere: a symbolic link, or on
    // Windows any reparse point (a junction, say). Whoever deletes what a
    // directory holds removes such an entry as it is (DeleteFile, else
    // RemoveDirectory for a Windows junction) instead of following it.
    virtual bool IsLink(const std::string& path) = 0;

    // Whether FileSize, FileStamp and ReadFileInto may run on several threads
    // at once, as the operating system's calls may; wrappers that count or
    // script calls say no.
    virtual bool ReadsFromAnyThread() const { return false; }
};

// ---------------------------------------------------------- top-level windows

// Keeps a window announced while it lives (see TopLevelWindows::Announce).
class WindowAnnouncement {
public:
    virtual ~WindowAnnouncement() = default;
    virtual void SetTitle(std::string_view title) = 0;
};

// One top-level window as an enumeration saw it. `handle` names the window
// to the service that found it (an HWND on Windows); it is not kept beyond
// the operation at hand.
struct WindowInfo {
    std::uint64_t handle = 0;
    std::string windowClass;  // at most 255 characters
    std::string title;        // at most 255 characters
};

using ProcessId = std::uint32_t;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

class TopLevelWindows {
public:
    virtual ~TopLevelWindows() = default;
    // Whether a top-level window of this class with exactly this title exists
    // (the single-instance test).
    virtual bool WindowExists(std::string_view windowClass, std::string_view title) = 0;
    // The first top-level window of this class with exactly this title.
    virtual std::optional<WindowInfo> FindWindow(std::string_view windowClass,
                                                 std::string_view title) = 0;
    // Every top-level window, in the system's order.
    virtual std::vector<WindowInfo> EnumerateWindows() = 0;
    // The process that owns the window; nothing when the window has gone.
    virtual std::optional<ProcessId> WindowProcess(const WindowInfo& window) = 0;
    // Asks the window's owner to end: the message WM_DESTROY is posted (not
    // sent) on Windows; on POSIX the owning process gets SIGTERM. False when
    // nothing could be posted.
    virtual bool PostDestroy(const WindowInfo& window) = 0;
    // Asks the program that owns the window to quit: WM_QUIT posted to it on
    // Windows, SIGTERM to its process on POSIX. Never waits, and never asks
    // this process. False when nothing could be posted.
    virtual bool PostQuit(const WindowInfo& window) = 0;

    // The mouse pointer, for the nudge that wakes the windowed client before
    // it is asked to go. Nothing where no pointer can be read.
    virtual std::optional<ScreenPoint> CursorPosition() = 0;
    virtual void SetCursorPosition(ScreenPoint point) = 0;
    virtual void ShowCursor(bool show) = 0;
    // Makes a window of ours findable by WindowExists from other processes for
    // as long as the returned object lives. Where the OS already knows our
    // windows by class and title this only keeps that true.
    virtual std::unique_ptr<WindowAnnouncement> Announce(std::string_view windowClass,
                                                         std::string_view title) = 0;
};

// ------------------------------------------------------------------ shell

// What the shell tells about an executable file.
enum class ExeType {
    Unknown,   // the system cannot tell (always so on Linux)
    Console,   // a console (text) program
    Windowed,  // a program with windows
};

// A further command a shortcut offers beside its own: the desktop entry
// actions of Linux ("Uninstall Skyvane"). Windows links carry none.
struct ShortcutAction {
    std::string id;         // letters and digits
    std::string name;       // what the menu shows
    std::string arguments;  // for the shortcut's program, blank-separated
};

// What a shortcut opens. A target with "://" is a web address; anything else
// is a program's path.
struct Shortcut {
    std::string target;
    std::string iconFile;  // with iconIndex >= 0
    int iconIndex = -1;    // negative: no icon of its own
    std::string workingDirectory;
    std::string arguments;
    std::vector<ShortcutAction> actions;
    // A console program: a Linux desktop runs it in a terminal (Windows
    // opens a console window for it by itself).
    bool console = false;
};

// One size of a program's icon.
struct IconPicture {
    int size = 0;          // pixels, square
    std::string_view png;  // a PNG file's bytes
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a web address or a file with the default program. False when
    // nothing could be started.
    virtual bool OpenUrl(const std::string& url) = 0;
    // The executable type of `path` (the shell's file-information call).
    virtual ExeType ExecutableType(const std::string& path) = 0;
    // A value of the system's "SYSTEM.INI" (the profile-string call), or an
    // empty text when the file, section or key is missing. Linux has no such
    // file: always empty there.
    virtual std::string ReadSystemIni(std::string_view section, std::string_view key) = 0;

    // The user's shell folder "Programs", "Desktop" or "Favorites", with a
    // trailing separator; empty when the system has none. Windows reads the
    // value of that name in the current user's "Explorer\Shell Folders" key
    // under "Software\MicroSoft\Windows\CurrentVersion". Linux:
    // $XDG_DATA_HOME/applications, the XDG desktop directory and
    // $XDG_DATA_HOME/skyvane/favorites, each made when missing.
    virtual std::string ShellFolder(std::string_view name) = 0;
    // Where a program is installed unless the user says otherwise, with a
    // trailing separator: "C:\Program Files\Skyvane\" on Windows,
    // ~/.local/opt/skyvane/ on Linux.
    virtual std::string DefaultInstallDirectory() = 0;
    // The file of the shortcut `linkName` in `folder` (trailing separator):
    // + ".lnk" on Windows, + ".url" there for a web address; + ".desktop"
    // on Linux.
    virtual std::string ShortcutFile(const std::string& folder, std::string_view linkName,
                                     bool webAddress) = 0;
    // Saves the shortcut as ShortcutFile(folder, linkName, ...), replacing
    // an existing one. On Linux a shortcut without an icon of its own shows
    // the one RegisterApplication gave its program. False on failure.
    virtual bool SaveShortcut(const std::string& folder, std::string_view linkName,
                              const Shortcut& shortcut) = 0;
    // Tells the desktop about the installed program `executable`. On Linux
    // its icon goes into the user's icon theme under the executable's file
    // name; Windows needs nothing (the executable carries its icon).
    virtual bool RegisterApplication(const std::string& executable,
                                     std::span<const IconPicture> icons) = 0;
    // Takes back what RegisterApplication made, and the desktop folders of
    // Skyvane's own that are then empty.
    virtual void UnregisterApplication(const std::string& executable) = 0;
    // Deletes the running program's `executable` once this process has
    // ended, and then `directory` (which must be empty by then) when
    // `removeDirectory` is set. Windows cannot delete a running program: a
    // hidden batch file in the temporary directory ("Unvane.bat") keeps
    // trying until the process is gone. A POSIX system can, and does it at
    // once. False when nothing could be arranged.
    virtual bool DeleteProgramAfterExit(const std::string& executable, const std::string& directory,
                                        bool removeDirectory) = 0;
};

// --------------------------------------------------------------- processes

enum class ShowMode { Normal, Hidden };

// A process opened for stopping. The object keeps the process itself in
// hand (a handle on Windows; pid and start time on POSIX), so a new process
// that reuses the id is never touched.
class Process {
public:
    virtual ~Process() = default;
    // Asks the process to end: TerminateProcess with exit code -1 on Windows,
    // SIGTERM on POSIX. False when the call failed.
    virtual bool Terminate() = 0;
    // Ends it without asking: SIGKILL on POSIX; on Windows the same as
    // Terminate.
    virtual bool Kill() = 0;
    // Whether the process still runs. Never waits.
    virtual bool Running() = 0;
};

class Processes {
public:
    virtual ~Processes() = default;
    // Starts `commandLine` in `directory` and does not wait for it. The line
    // is the system's plain command line, nothing quoted: the program is the
    // shortest run of its leading blank-separated words that names a file
    // (as Windows reads an unquoted path with blanks), the remaining words
    // are its arguments. On POSIX the child runs in a session of its own with
    // its output discarded and outlives us; the show mode makes no visible
    // difference there. False when nothing was started.
    virtual bool Launch(const std::string& commandLine, const std::string& directory,
                        ShowMode show) = 0;
    // Whether `path` is a file this user can start: on Windows any existing
    // file, on POSIX a regular file with the execute bit for us.
    virtual bool IsLaunchable(const std::string& path) = 0;
    // Processes of this user that run the executable file `path` (the same
    // file, however it was named when started). Windows finds the client by
    // its window instead and answers nothing here.
    virtual std::vector<ProcessId> FindByExecutable(const std::string& path) = 0;
    // Opens a process with the right to end it; nothing when it has gone or
    // may not be touched.
    virtual std::unique_ptr<Process> Open(ProcessId id) = 0;
};

// ----------------------------------------------------------- start-up values

// Values that start programs when the user logs on. The vocabulary is the
// Windows one: `subkey` is "Run" (every logon) or "RunServicesOnce" (the next
// start only; the system removes the value when it runs it), the value's name
// and its data, a plain command line. On Windows these are string values
// under HKEY_CURRENT_USER "Software\MicroSoft\Windows\CurrentVersion\";
// on Linux they are XDG autostart entries ($XDG_CONFIG_HOME/autostart).
class StartupValues {
public:
    virtual ~StartupValues() = default;
    // False when the value could not be written.
    virtual bool Write(std::string_view subkey, std::string_view name,
                       std::string_view command) = 0;
    // False when the value could not be deleted; deleting a missing value
    // succeeds.
    virtual bool Delete(std::string_view subkey, std::string_view name) = 0;
    // Whether the value exists; nothing when the place that holds them
    // cannot be read.
    virtual std::optional<bool> Exists(std::string_view subkey, std::string_view name) = 0;
    // The command the value holds; nothing when it is missing.
    virtual std::optional<std::string> Read(std::string_view subkey, std::string_view name) = 0;
};

// ------------------------------------------------------------------ clock

// Every sleep and wait of the logic goes through this, so tests can run
// seconds of waiting in no time.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic clock.
    virtual std::chrono::milliseconds Now() = 0;
    // Blocks the calling thread for `duration`.
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
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
    // The full path of Skyvane's own executable, as start-up values name it.
    virtual std::string ExecutablePath() = 0;
    // True when a package manager installed the program and keeps it (the
    // Debian package's /usr/bin): the program directory is then the user's
    // data directory, apart from the executable, and there is nothing for
    // Skyvane's own install to do. False on Windows, where the program
    // lives in the folder it was unpacked into.
    virtual bool PackageInstalled() = 0;
    // The user's decimal separator for numbers shown on screen.
    virtual char DecimalSeparator() = 0;
    // A time of day in the user's long time format ("14:05:09", "2:05:09 PM").
    virtual std::string LongTimeText(int hour, int minute, int second) = 0;
};

// The separator between directories in a path: '\\' on Windows, '/' elsewhere.
char PathSeparator();

// The file-name pattern of the text client's executable: "setiathome*.exe" on
// Windows, "setiathome*" elsewhere (the Linux clients carry no extension).
std::string_view TextClientPattern();

// Whether the system compares file names without regard to case (Windows).
bool FileNamesIgnoreCase();

// Every service together, as the logic receives them. The members are
// references: whoever builds the bundle owns the services.
struct Services {
    Registry& registry;
    Files& files;
    TopLevelWindows& windows;
    Shell& shell;
    Environment& environment;
    Processes& processes;
    StartupValues& startup;
    Clock& clock;

    // The same services with other files: a decorator that counts or
    // refuses writes.
    Services WithFiles(Files& other) const {
        return {registry, other, windows, shell, environment, processes, startup, clock};
    }
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
    // Before the shell, which starts programs through it.
    std::unique_ptr<Processes> processes_;
    std::unique_ptr<Shell> shell_;
    std::unique_ptr<Environment> environment_;
    std::unique_ptr<StartupValues> startup_;
    std::unique_ptr<Clock> clock_;
};

}  // namespace platform
