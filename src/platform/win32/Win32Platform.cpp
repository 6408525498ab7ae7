// The Win32 backend's shell and environment, the helpers its files share, and
// the NativePlatform bundle that owns one instance of every service.

#include "platform/win32/Win32Backend.h"

#include "platform/SystemClock.h"

// After Win32Backend.h: shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <string>
#include <vector>

namespace platform {

namespace win32 {

bool UsableString(std::string_view text) {
    return text.find('\0') == std::string_view::npos;
}

bool UsablePath(std::string_view path) {
    return !path.empty() && path.size() <= kMaxPathLength && UsableString(path);
}

std::optional<std::string> GetEnv(const char* name) {
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD length =
            GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::nullopt;  // unset, or set to nothing
        // Too small a buffer gives the length needed, NUL included.
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length);
    }
}

}  // namespace win32

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

class Win32Shell final : public Shell {
public:
    Win32Shell(Files& files, Processes& processes) : files_(files), processes_(processes) {}

    std::string ShellFolder(std::string_view name) override { return win32::ShellFolder(name); }
    std::string DefaultInstallDirectory() override { return "C:\\Program Files\\Skyvane\\"; }
    std::string ShortcutFile(const std::string& folder, std::string_view linkName,
                             bool webAddress) override {
        return win32::ShortcutFile(folder, linkName, webAddress);
    }
    bool SaveShortcut(const std::string& folder, std::string_view linkName,
                      const Shortcut& shortcut) override {
        return win32::SaveShortcut(files_, folder, linkName, shortcut);
    }
    // The executable carries its icon, and shortcuts show it by themselves.
    bool RegisterApplication(const std::string&, std::span<const IconPicture>) override {
        return true;
    }
    void UnregisterApplication(const std::string&) override {}
    bool DeleteProgramAfterExit(const std::string& executable, const std::string& directory,
                                bool removeDirectory) override {
        return win32::DeleteProgramAfterExit(files_, processes_, executable, directory,
                                             removeDirectory);
    }

    bool OpenUrl(const std::string& url) override {
        if (url.empty() || !win32::UsableString(url)) return false;
        // The default verb of whatever the text names: a web address opens
        // the browser, a file its program. ShellExecute reports success with
        // a value above 32.
        const HINSTANCE result =
            ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }

    ExeType ExecutableType(const std::string& path) override {
        if (!win32::UsablePath(path)) return ExeType::Unknown;
        SHFILEINFOA info{};
        const DWORD_PTR type = SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE);
        if (type == 0) return ExeType::Unknown;
        // The high word is the Windows version a windowed program asks for;
        // console programs leave it zero.
        return HIWORD(type) != 0 ? ExeType::Windowed : ExeType::Console;
    }

    std::string ReadSystemIni(std::string_view section, std::string_view key) override {
        if (!win32::UsableString(section) || !win32::UsableString(key)) return {};
        const std::string sectionName(section);
        const std::string keyName(key);
        std::vector<char> buffer(2048);
        const DWORD length =
            GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), "", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), "SYSTEM.INI");
        return std::string(buffer.data(), length);
    }

private:
    Files& files_;
    Processes& processes_;
};

class Win32Environment final : public Environment {
public:
    std::string ExecutablePath() override {
        std::vector<char> buffer(MAX_PATH);
        for (;;) {
            const DWORD length =
                GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (length == 0) return ProgramDirectory() + "Skyvane.exe";
            if (length < buffer.size()) return std::string(buffer.data(), length);
            if (buffer.size() >= 32768) return ProgramDirectory() + "Skyvane.exe";
            buffer.resize(buffer.size() * 2);
        }
    }

    // Unpacked from its zip into a folder of the user's choice.
    bool PackageInstalled() override { return false; }

    std::string ProgramDirectory() override {
        if (auto dir = win32::GetEnv("SKYVANE_PROGRAM_DIR")) {
            if (!IsSeparator(dir->back())) *dir += '\\';
            return *dir;
        }
        std::vector<char> buffer(MAX_PATH);
        for (;;) {
            const DWORD length =
                GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (length == 0) break;
            // A full buffer means the name was cut: try again with more room.
            if (length < buffer.size()) {
                const std::string exe(buffer.data(), length);
                const auto slash = exe.find_last_of("\\/");
                if (slash != std::string::npos) return exe.substr(0, slash + 1);
                break;
            }
            if (buffer.size() >= 32768) break;  // longer than any Windows path
            buffer.resize(buffer.size() * 2);
        }
        // The working directory is the best remaining guess.
        char cwd[MAX_PATH];
        const DWORD length = GetCurrentDirectoryA(MAX_PATH, cwd);
        if (length > 0 && length < MAX_PATH) {
            std::string dir(cwd, length);
            if (!IsSeparator(dir.back())) dir += '\\';
            return dir;
        }
        return ".\\";
    }

    char DecimalSeparator() override {
        // LOCALE_SDECIMAL may hold up to three characters; only a single one
        // can be returned, otherwise '.' stays.
        char separator[4] = {};
        const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                                          static_cast<int>(sizeof separator));
        if (length == 2 && separator[0] != '\0') return separator[0];
        return '.';
    }

    std::string LongTimeText(int hour, int minute, int second) override {
        SYSTEMTIME time{};
        time.wHour = static_cast<WORD>(hour);
        time.wMinute = static_cast<WORD>(minute);
        time.wSecond = static_cast<WORD>(second);
        char text[64] = {};
        // No flags and no format: the user's long time format.
        const int length = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, text,
                                          static_cast<int>(sizeof text));
        return length > 1 ? std::string(text, static_cast<std::size_t>(length - 1)) : std::string();
    }
};

}  // namespace

char PathSeparator() {
    return '\\';
}

std::string_view TextClientPattern() {
    return "setiathome*.exe";
}

bool FileNamesIgnoreCase() {
    return true;
}

NativePlatform::NativePlatform()
    : registry_(win32::MakeRegistry()),
      files_(win32::MakeFiles()),
      windows_(win32::MakeTopLevelWindows()),
      processes_(win32::MakeProcesses()),
      shell_(std::make_unique<Win32Shell>(*files_, *processes_)),
      environment_(std::make_unique<Win32Environment>()),
      startup_(win32::MakeStartupValues()),
      clock_(MakeSystemClock()) {}

NativePlatform::~NativePlatform() = default;

Services NativePlatform::services() {
    return Services{*registry_,    *files_,     *windows_, *shell_,
                    *environment_, *processes_, *startup_, *clock_};
}

}  // namespace platform
