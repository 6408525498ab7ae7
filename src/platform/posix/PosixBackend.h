#pragma once
// What the files of the POSIX backend share with each other. Nothing outside
// src/platform/posix includes this header.

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace platform::posix {

std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<Files> MakeFiles();
std::unique_ptr<TopLevelWindows> MakeTopLevelWindows();
std::unique_ptr<Processes> MakeProcesses();
std::unique_ptr<StartupValues> MakeStartupValues();

// What /proc tells about a process.
struct ProcessState {
    bool known = false;  // /proc answered
    bool zombie = false;
    std::string started;  // start time since boot, in clock ticks
};
ProcessState ReadProcessState(pid_t pid);
// Whether `pid` runs and, when `started` is given, is still the process that
// started then (not a new one that reuses its id). A zombie counts as gone.
bool ProcessAlive(pid_t pid, const std::string& started);

// Splits a plain command line at blanks. The program is the shortest run of
// leading words that `isProgram` accepts once joined with single blanks (an
// unquoted path with blanks in it, read as Windows reads it); without one,
// the first word. Empty for a blank line.
std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          bool (*isProgram)(const std::string&));
struct SpawnOptions {
    const std::string* directory = nullptr;  // the child's working directory
    bool searchPath = false;                 // look the program up in PATH
    bool discardOutput = false;              // stdout and stderr to /dev/null
};
// Starts args[0] with `args` detached from us: its own session, default
// signal handling, stdin from /dev/null, reaped by init. Waits only for the
// start. False when the program could not be started.
bool SpawnDetached(std::vector<std::string> args, const SpawnOptions& options);

// A regular file with the execute bit for us.
bool IsExecutableFile(const std::string& path);

// The desktop's side of installing (PosixDesktop.cpp); see Shell.
std::string ShellFolder(std::string_view name);
std::string DefaultInstallDirectory();
std::string ShortcutFile(const std::string& folder, std::string_view linkName);
bool SaveShortcut(const std::string& folder, std::string_view linkName, const Shortcut& shortcut);
bool RegisterApplication(const std::string& executable, std::span<const IconPicture> icons);
void UnregisterApplication(const std::string& executable);
bool DeleteProgramAfterExit(const std::string& executable, const std::string& directory,
                            bool removeDirectory);

// Replaces `path` with `bytes`: written to a fresh file beside it, flushed to
// disk and renamed over it, so readers see the old or the new file and never
// half of one. A replaced file keeps its permission bits; a new one gets
// 0666 less the umask. False on any failure, with no temporary file left.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The whole file, or nothing when it cannot be read. `missing` tells a file
// that does not exist apart from one that could not be read.
std::optional<std::string> ReadWholeFile(const std::string& path, bool* missing = nullptr);

// Creates `path` and any missing parents (like mkdir -p), each with `mode`
// less the umask. True when the directory exists afterwards.
bool MakeDirectories(const std::string& path, mode_t mode);

// The value of an environment variable, or nothing when unset or empty.
std::optional<std::string> GetEnv(const char* name);

// One-line text encoding for our hand-editable files: '\\' and control
// characters become escapes (\\ \n \r \t \xHH), as do the characters in
// `alsoEscape` and blanks at either end, so the line can be trimmed when read.
std::string EscapeText(std::string_view text, std::string_view alsoEscape = {});
// The inverse. Lenient for hand edits: an unknown escape and a lone trailing
// backslash stand for themselves.
std::string UnescapeText(std::string_view text);

// ASCII case folding: the registry compares names this way whatever the locale.
std::string AsciiLower(std::string_view text);

}  // namespace platform::posix
