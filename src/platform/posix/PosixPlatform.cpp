// The POSIX backend's shell and environment, the helpers its files share, and
// the NativePlatform bundle that owns one instance of every service.

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/SystemClock.h"
#include "platform/posix/DesktopEntry.h"
#include "platform/posix/PosixBackend.h"

namespace platform {

namespace posix {

std::optional<std::string> GetEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string EscapeText(std::string_view text, std::string_view alsoEscape) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        const bool atEnd = i == 0 || i + 1 == text.size();
        switch (c) {
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (byte < 0x20 || byte == 0x7f || alsoEscape.find(c) != std::string_view::npos ||
            (c == ' ' && atEnd)) {
            out += "\\x";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0f];
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[i + 1];
        switch (next) {
            case '\\':
                out += '\\';
                ++i;
                continue;
            case 'n':
                out += '\n';
                ++i;
                continue;
            case 'r':
                out += '\r';
                ++i;
                continue;
            case 't':
                out += '\t';
                ++i;
                continue;
            case 'x':
                if (i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
                    HexValue(text[i + 3]) >= 0) {
                    out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
                    i += 3;
                    continue;
                }
                break;
            default:
                break;
        }
        // Not an escape we write: a hand-typed Windows path such as C:\seti
        // keeps its backslash.
        out += '\\';
    }
    return out;
}

}  // namespace posix

namespace {

class PosixShell final : public Shell {
public:
    std::string ShellFolder(std::string_view name) override { return posix::ShellFolder(name); }
    std::string DefaultInstallDirectory() override { return posix::DefaultInstallDirectory(); }
    std::string ShortcutFile(const std::string& folder, std::string_view linkName, bool) override {
        return posix::ShortcutFile(folder, linkName);
    }
    bool SaveShortcut(const std::string& folder, std::string_view linkName,
                      const Shortcut& shortcut) override {
        return posix::SaveShortcut(folder, linkName, shortcut);
    }
    bool RegisterApplication(const std::string& executable,
                             std::span<const IconPicture> icons) override {
        return posix::RegisterApplication(executable, icons);
    }
    void UnregisterApplication(const std::string& executable) override {
        posix::UnregisterApplication(executable);
    }
    bool DeleteProgramAfterExit(const std::string& executable, const std::string& directory,
                                bool removeDirectory) override {
        return posix::DeleteProgramAfterExit(executable, directory, removeDirectory);
    }

    bool OpenUrl(const std::string& url) override {
        // xdg-open takes anything starting with '-' for an option and fails.
        if (url.empty() || url.front() == '-') return false;

        // The browser must not get our terminal's Ctrl+C, nor keep us
        // waiting.
        posix::SpawnOptions options;
        options.searchPath = true;
        return posix::SpawnDetached({"xdg-open", url}, options);
    }

    // Linux keeps no mark of a windowed program in its executables.
    ExeType ExecutableType(const std::string& /*path*/) override { return ExeType::Unknown; }

    // There is no SYSTEM.INI, and so no screen saver to start with the client.
    std::string ReadSystemIni(std::string_view /*section*/, std::string_view /*key*/) override {
        return {};
    }
};

// The link /proc/self/exe, or nothing without /proc.
std::optional<std::string> OwnExecutable() {
    std::vector<char> buffer(512);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return std::nullopt;
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

// Where an installed program (one in a bin directory: /usr/bin from the
// package, ~/.local/bin) keeps the settings, the counter and the archive
// that a Windows copy keeps beside its executable. The bin directory is
// shared by every user and, but for one's own, not writable, so it is
// $XDG_DATA_HOME/skyvane, ~/.local/share/skyvane: that is ../share/skyvane
// from ~/.local/bin. Made when missing; the bin directory itself when there
// is no home to make it in.
std::string InstalledDataDirectory(const std::string& binDir) {
    const auto dataHome = posix::XdgDataHome();
    if (!dataHome) return binDir;
    const std::string dir = *dataHome + "/skyvane";
    if (!posix::MakeDirectories(dir, 0700)) return binDir;
    return dir + "/";
}

class PosixEnvironment final : public Environment {
public:
    std::string ExecutablePath() override {
        auto exe = OwnExecutable();
        if (!exe) return ProgramDirectory() + "skyvane";
        // A replaced executable reads "... (deleted)"; the new one is where
        // the old one was.
        constexpr std::string_view kDeleted = " (deleted)";
        if (exe->ends_with(kDeleted)) exe->resize(exe->size() - kDeleted.size());
        return *exe;
    }

    // In a bin directory, as the package puts it, and not moved elsewhere
    // by SKYVANE_PROGRAM_DIR.
    bool PackageInstalled() override {
        if (posix::GetEnv("SKYVANE_PROGRAM_DIR")) return false;
        const auto exe = OwnExecutable();
        if (!exe) return false;
        const auto slash = exe->rfind('/');
        return slash != std::string::npos && exe->substr(0, slash + 1).ends_with("/bin/");
    }

    std::string ProgramDirectory() override {
        if (auto dir = posix::GetEnv("SKYVANE_PROGRAM_DIR")) {
            if (dir->back() != '/') *dir += '/';
            return *dir;
        }
        if (const auto exe = OwnExecutable()) {
            // A replaced executable reads "... (deleted)": that is in the
            // file name, and only the directory is taken.
            const auto slash = exe->rfind('/');
            if (slash != std::string::npos) {
                const std::string dir = exe->substr(0, slash + 1);
                if (dir.ends_with("/bin/")) return InstalledDataDirectory(dir);
                return dir;
            }
        }
        // Without /proc the working directory is the best remaining guess.
        std::vector<char> cwd(4096);
        if (getcwd(cwd.data(), cwd.size()) != nullptr) {
            std::string dir(cwd.data());
            if (dir.back() != '/') dir += '/';
            return dir;
        }
        return "./";
    }

    char DecimalSeparator() override {
        // A locale object of our own: setlocale would change number
        // formatting for the whole process, file readers included.
        locale_t user = newlocale(LC_NUMERIC_MASK, "", nullptr);
        if (user == nullptr) return '.';
        const char* radix = nl_langinfo_l(RADIXCHAR, user);
        char separator = '.';
        // A multi-byte separator cannot be returned as one char; keep '.'.
        if (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') separator = radix[0];
        freelocale(user);
        return separator;
    }

    std::string LongTimeText(int hour, int minute, int second) override {
        std::tm time{};
        time.tm_hour = hour;
        time.tm_min = minute;
        time.tm_sec = second;
        char text[64] = {};
        // The user's own time format, again without touching the process's
        // locale.
        locale_t user = newlocale(LC_TIME_MASK, "", nullptr);
        const std::size_t length = user != nullptr
                                       ? strftime_l(text, sizeof text, "%X", &time, user)
                                       : std::strftime(text, sizeof text, "%X", &time);
        if (user != nullptr) freelocale(user);
        return std::string(text, length);
    }
};

}  // namespace

char PathSeparator() {
    return '/';
}

std::string_view TextClientPattern() {
    return "setiathome*";
}

bool FileNamesIgnoreCase() {
    return false;
}

NativePlatform::NativePlatform()
    : registry_(posix::MakeRegistry()),
      files_(posix::MakeFiles()),
      windows_(posix::MakeTopLevelWindows()),
      processes_(posix::MakeProcesses()),
      shell_(std::make_unique<PosixShell>()),
      environment_(std::make_unique<PosixEnvironment>()),
      startup_(posix::MakeStartupValues()),
      clock_(MakeSystemClock()) {}

NativePlatform::~NativePlatform() = default;

Services NativePlatform::services() {
    return Services{*registry_,    *files_,     *windows_, *shell_,
                    *environment_, *processes_, *startup_, *clock_};
}

}  // namespace platform
