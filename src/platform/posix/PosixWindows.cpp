// Top-level windows on POSIX. X11 and Wayland give no reliable way to find
// another program's window by class and title, so each announced window
// leaves a small record in the user's runtime directory:
//
//   <runtime dir>/window-<pid>-<n>      class=TMainForm
//                                       title=Skyvane
//                                       started=<process start time>
//
// A record whose process has gone (a crash leaves them behind) is ignored and
// removed by the next search. The start time guards against a new process
// that happens to reuse the dead one's id.

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/posix/PosixBackend.h"

namespace platform::posix {

ProcessState ReadProcessState(pid_t pid) {
    ProcessState state;
    const auto stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return state;
    // "pid (comm) state ppid ...": the command may hold blanks and
    // parentheses, so fields are counted from the last ')'. The start time is
    // field 22, the 20th after the command.
    const auto close = stat->rfind(')');
    if (close == std::string::npos) return state;
    std::istringstream fields(stat->substr(close + 1));
    std::string field;
    for (int i = 0; i < 20 && fields >> field; ++i) {
        if (i == 0) state.zombie = field == "Z" || field == "X";
        if (i == 19) {
            state.started = field;
            state.known = true;
        }
    }
    return state;
}

bool ProcessAlive(pid_t pid, const std::string& started) {
    if (pid <= 0) return false;
    if (kill(pid, 0) != 0 && errno == ESRCH) return false;
    const auto state = ReadProcessState(pid);
    if (!state.known) return true;  // no /proc: kill's answer has to do
    if (state.zombie) return false;
    return started.empty() || state.started == started;
}

namespace {

constexpr std::string_view kRecordPrefix = "window-";

// The runtime directory, created 0700 when missing; nothing when it cannot be
// had safely.
std::optional<std::string> RuntimeDirectory() {
    if (auto dir = GetEnv("SKYVANE_RUNTIME_DIR")) {
        if (!MakeDirectories(*dir, 0700)) return std::nullopt;
        return dir;
    }
    if (auto runtime = GetEnv("XDG_RUNTIME_DIR")) {
        const std::string dir = *runtime + "/skyvane";
        if (!MakeDirectories(dir, 0700)) return std::nullopt;
        return dir;
    }
    // /tmp is shared with every user: the directory must be ours and closed
    // to others, or someone could plant records that stop Skyvane starting.
    const std::string dir = "/tmp/skyvane-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    struct stat info {};
    if (lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        return std::nullopt;
    }
    if ((info.st_mode & 077) != 0 && chmod(dir.c_str(), 0700) != 0) return std::nullopt;
    return dir;
}

struct WindowRecord {
    std::string windowClass;
    std::string title;
    std::string started;
};

std::string FormatRecord(const WindowRecord& record) {
    return "class=" + EscapeText(record.windowClass) + "\ntitle=" + EscapeText(record.title) +
           "\nstarted=" + record.started + "\n";
}

WindowRecord ParseRecord(const std::string& text) {
    WindowRecord record;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const auto key = line.substr(0, equals);
        const auto value = UnescapeText(line.substr(equals + 1));
        if (key == "class") record.windowClass = value;
        if (key == "title") record.title = value;
        if (key == "started") record.started = value;
    }
    return record;
}

// The pid in "window-<pid>-<n>", or 0 when the name is not a record's.
pid_t RecordPid(std::string_view name) {
    if (!name.starts_with(kRecordPrefix)) return 0;
    name.remove_prefix(kRecordPrefix.size());
    long long pid = 0;
    std::size_t digits = 0;
    for (; digits < name.size() && name[digits] >= '0' && name[digits] <= '9'; ++digits) {
        pid = pid * 10 + (name[digits] - '0');
        if (pid > 0x7fffffff) return 0;
    }
    if (digits == 0 || digits == name.size() || name[digits] != '-') return 0;
    return static_cast<pid_t>(pid);
}

// The <n> in "window-<pid>-<n>".
std::uint32_t RecordNumber(std::string_view name) {
    const auto dash = name.rfind('-');
    std::uint32_t number = 0;
    for (std::size_t i = dash + 1; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i)
        number = number * 10 + static_cast<std::uint32_t>(name[i] - '0');
    return number;
}

// Windows reads at most this much of a class name or title.
constexpr std::size_t kMaxWindowText = 255;

class PosixWindowAnnouncement final : public WindowAnnouncement {
public:
    PosixWindowAnnouncement(std::optional<std::string> path, WindowRecord record)
        : path_(std::move(path)), record_(std::move(record)), owner_(getpid()) {
        Publish();
    }

    ~PosixWindowAnnouncement() override {
        // A forked child owns a copy of this object, not the record.
        if (path_ && getpid() == owner_) unlink(path_->c_str());
    }

    PosixWindowAnnouncement(const PosixWindowAnnouncement&) = delete;
    PosixWindowAnnouncement& operator=(const PosixWindowAnnouncement&) = delete;

    void SetTitle(std::string_view title) override {
        record_.title = title;
        Publish();
    }

private:
    // Written whole, so a search never reads a half-written record. Failure
    // only means another instance cannot find us, which is not worth an error.
    void Publish() {
        if (path_ && getpid() == owner_) ReplaceFileAtomically(*path_, FormatRecord(record_));
    }

    std::optional<std::string> path_;
    WindowRecord record_;
    pid_t owner_;
};

class PosixTopLevelWindows final : public TopLevelWindows {
public:
    bool WindowExists(std::string_view windowClass, std::string_view title) override {
        return FindWindow(windowClass, title).has_value();
    }

    std::optional<WindowInfo> FindWindow(std::string_view windowClass,
                                         std::string_view title) override {
        for (auto& window : EnumerateWindows()) {
            if (window.windowClass == windowClass && window.title == title) return window;
        }
        return std::nullopt;
    }

    // Records of live processes, oldest process first (the order in which
    // Windows lists windows is not ours to copy; any fixed order will do).
    std::vector<WindowInfo> EnumerateWindows() override {
        std::vector<WindowInfo> windows;
        const auto dir = RuntimeDirectory();
        if (!dir) return windows;
        DIR* listing = opendir(dir->c_str());
        if (listing == nullptr) return windows;
        std::vector<std::string> names;
        while (const dirent* entry = readdir(listing)) {
            if (RecordPid(entry->d_name) != 0) names.emplace_back(entry->d_name);
        }
        closedir(listing);
        std::sort(names.begin(), names.end());

        for (const auto& name : names) {
            const std::string path = *dir + "/" + name;
            const auto text = ReadWholeFile(path);
            if (!text) continue;  // removed meanwhile by its owner
            const auto record = ParseRecord(*text);
            const pid_t pid = RecordPid(name);
            if (!ProcessAlive(pid, record.started)) {
                unlink(path.c_str());
                continue;
            }
            WindowInfo window;
            window.handle = (static_cast<std::uint64_t>(pid) << 32) | RecordNumber(name);
            window.windowClass = record.windowClass.substr(0, kMaxWindowText);
            window.title = record.title.substr(0, kMaxWindowText);
            windows.push_back(std::move(window));
        }
        return windows;
    }

    std::optional<ProcessId> WindowProcess(const WindowInfo& window) override {
        const auto pid = static_cast<pid_t>(window.handle >> 32);
        if (pid <= 0 || !ProcessAlive(pid, {})) return std::nullopt;
        return static_cast<ProcessId>(pid);
    }

    // No window to post to: the process that announced it is asked to end,
    // which is what the message does to the windowed client.
    bool PostDestroy(const WindowInfo& window) override {
        const auto pid = WindowProcess(window);
        return pid && kill(static_cast<pid_t>(*pid), SIGTERM) == 0;
    }

    // The default reaction to SIGTERM ends the process as WM_QUIT ends a
    // Windows program: at once, without its exit steps.
    bool PostQuit(const WindowInfo& window) override {
        const auto pid = WindowProcess(window);
        if (!pid || static_cast<pid_t>(*pid) == getpid()) return false;
        return kill(static_cast<pid_t>(*pid), SIGTERM) == 0;
    }

    // The pointer belongs to the display server; nothing here needs it moved.
    std::optional<ScreenPoint> CursorPosition() override { return std::nullopt; }
    void SetCursorPosition(ScreenPoint /*point*/) override {}
    void ShowCursor(bool /*show*/) override {}

    std::unique_ptr<WindowAnnouncement> Announce(std::string_view windowClass,
                                                 std::string_view title) override {
        static std::atomic<unsigned> counter{0};
        std::optional<std::string> path;
        if (const auto dir = RuntimeDirectory()) {
            path = *dir + "/" + std::string(kRecordPrefix) + std::to_string(getpid()) + "-" +
                   std::to_string(counter++);
        }
        WindowRecord record{std::string(windowClass), std::string(title),
                            ReadProcessState(getpid()).started};
        return std::make_unique<PosixWindowAnnouncement>(std::move(path), std::move(record));
    }
};

}  // namespace

std::unique_ptr<TopLevelWindows> MakeTopLevelWindows() {
    return std::make_unique<PosixTopLevelWindows>();
}

}  // namespace platform::posix
