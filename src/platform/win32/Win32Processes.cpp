// Processes on Windows: the plain command-line launch (WinExec) from a
// current directory set first, and ending a process through a handle opened
// with the right to terminate it.

#include <string>
#include <vector>

#include "platform/win32/Win32Backend.h"

namespace platform::win32 {

namespace {

class Win32Process final : public Process {
public:
    explicit Win32Process(HANDLE handle) : handle_(handle) {}
    ~Win32Process() override { CloseHandle(handle_); }
    Win32Process(const Win32Process&) = delete;
    Win32Process& operator=(const Win32Process&) = delete;

    // Exit code -1, as a console client killed from outside reports it.
    bool Terminate() override { return TerminateProcess(handle_, static_cast<UINT>(-1)) != 0; }
    bool Kill() override { return Terminate(); }
    bool Running() override { return WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

private:
    HANDLE handle_;
};

class Win32Processes final : public Processes {
public:
    // The client finds its work files in the current directory, so the
    // directory is made ours first, as the client's own start-up expects. The
    // command line goes to WinExec as it is: no quotes are added, and Windows
    // reads an unquoted path with blanks by trying its words in turn.
    bool Launch(const std::string& commandLine, const std::string& directory,
                ShowMode show) override {
        if (!UsableString(commandLine) || commandLine.empty() || !UsablePath(directory))
            return false;
        if (SetCurrentDirectoryA(directory.c_str()) == 0) return false;
        const UINT result =
            WinExec(commandLine.c_str(), show == ShowMode::Hidden ? SW_HIDE : SW_SHOWNORMAL);
        return result > 31;
    }

    bool IsLaunchable(const std::string& path) override {
        if (!UsablePath(path)) return false;
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    // The console window names the text client on Windows; StopClient finds
    // it there.
    std::vector<ProcessId> FindByExecutable(const std::string& /*path*/) override { return {}; }

    std::unique_ptr<Process> Open(ProcessId id) override {
        const HANDLE handle =
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
        if (handle == nullptr) return nullptr;
        return std::make_unique<Win32Process>(handle);
    }
};

}  // namespace

std::unique_ptr<Processes> MakeProcesses() {
    return std::make_unique<Win32Processes>();
}

}  // namespace platform::win32
