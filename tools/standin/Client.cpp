#include "standin/Client.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string_view>
#include <thread>

namespace standin {

namespace {

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void OnStopSignal(int) {
    gStopRequested = 1;
}

bool Stopping() {
    return gStopRequested != 0;
}

using Clock = std::chrono::steady_clock;

// Sleeps in short slices so that a stop signal is answered within a few
// milliseconds. False when told to stop meanwhile.
bool Pause(double seconds) {
    const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(seconds));
    while (!Stopping()) {
        const auto now = Clock::now();
        if (now >= until) return true;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - now, std::chrono::milliseconds(10)));
    }
    return false;
}

// --- Files ------------------------------------------------------------------

std::optional<std::string> ReadFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    close(fd);
    return bytes;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string TempName(const std::string& path) {
    return path + ".tmp";
}

// Whole or not at all: a reader sees the old file or the new one, never a
// part, and a kill at any moment leaves at most a stray temporary file.
bool WriteAtomically(const std::string& path, std::string_view bytes) {
    const std::string temp = TempName(path);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, bytes);
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

// One write with O_APPEND: a reader never sees a line without its end, and
// a kill never leaves half a line.
bool AppendWhole(const std::string& path, std::string_view line) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, line);
    return close(fd) == 0 && written;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

void Remove(const std::string& path) {
    unlink(path.c_str());
}

bool MakeDirectories(const std::string& path, mode_t mode) {
    if (path.empty()) return false;
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Regular files of a directory, in name order, leaving out hidden and
// temporary ones.
std::vector<std::string> ListFiles(const std::string& dir) {
    std::vector<std::string> names;
    DIR* listing = opendir(dir.c_str());
    if (listing == nullptr) return names;
    while (const dirent* entry = readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.starts_with('.') || name.ends_with(".tmp")) continue;
        struct stat info {};
        if (stat((dir + "/" + std::string(name)).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.emplace_back(name);
    }
    closedir(listing);
    std::sort(names.begin(), names.end());
    return names;
}

// --- Key=value text -----------------------------------------------------------

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The value of the first line that begins with `key` and "=".
std::optional<std::string> ValueOf(std::string_view text, std::string_view key) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=')
            return std::string(Trim(line.substr(key.size() + 1)));
        pos = end + 1;
    }
    return std::nullopt;
}

std::optional<double> NumberOf(std::string_view text, std::string_view key) {
    const auto value = ValueOf(text, key);
    if (!value) return std::nullopt;
    std::string_view digits = *value;
    digits = digits.substr(0, digits.find(' '));
    double number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc{} || end == digits.data()) return std::nullopt;
    return number;
}

// `text` with the value of the line for `key` replaced (the line is added at
// the end when there is none).
std::string WithValue(std::string_view text, std::string_view key, std::string_view value) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
            return std::string(text.substr(0, pos + key.size() + 1)) + std::string(value) +
                   std::string(text.substr(end));
        }
        pos = end + 1;
    }
    std::string out(text);
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out + std::string(key) + "=" + std::string(value) + "\n";
}

std::string Fixed6(double x) {
    std::array<char, 64> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, std::chars_format::fixed, 6);
    return ec == std::errc{} ? std::string(buffer.data(), end) : "0.000000";
}

double JulianNow() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return sample::JulianDateOfUnixTime(std::chrono::duration<double>(since).count());
}

// --- The announced window -------------------------------------------------------

// Programs on this desktop find each other's windows through small records
// in the user's runtime directory, one file per window: class, title and the
// owner's start time (so a record left by a killed process is recognised as
// stale). The stand-in leaves one for the window the client would own.
std::optional<std::string> RuntimeDirectory() {
    if (const char* dir = std::getenv("SKYVANE_RUNTIME_DIR"); dir != nullptr && *dir != '\0') {
        if (!MakeDirectories(dir, 0700)) return std::nullopt;
        return std::string(dir);
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && *runtime != '\0') {
        const std::string dir = std::string(runtime) + "/skyvane";
        if (!MakeDirectories(dir, 0700)) return std::nullopt;
        return dir;
    }
    const std::string dir = "/tmp/skyvane-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    struct stat info {};
    if (lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
        (info.st_mode & 077) != 0) {
        return std::nullopt;
    }
    return dir;
}

// Field 22 of /proc/self/stat, counted after the command's closing ')'.
std::string ProcessStartTime() {
    const auto stat = ReadFile("/proc/self/stat");
    if (!stat) return {};
    const std::size_t close = stat->rfind(')');
    if (close == std::string::npos) return {};
    std::size_t pos = close + 1;
    std::string field;
    for (int i = 0; i < 20; ++i) {
        while (pos < stat->size() && (*stat)[pos] == ' ')
            ++pos;
        const std::size_t end = std::min(stat->find(' ', pos), stat->size());
        field = stat->substr(pos, end - pos);
        pos = end;
    }
    return field;
}

std::string EscapeRecordText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7f || (c == ' ' && (i == 0 || i + 1 == text.size()))) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

class WindowRecord {
public:
    WindowRecord(std::string_view windowClass, std::string_view title) {
        const auto dir = RuntimeDirectory();
        if (!dir) return;
        path_ = *dir + "/window-" + std::to_string(getpid()) + "-0";
        const std::string text = "class=" + EscapeRecordText(windowClass) +
                                 "\ntitle=" + EscapeRecordText(title) +
                                 "\nstarted=" + ProcessStartTime() + "\n";
        // The temporary name does not look like a record to a searcher.
        const std::string temp = *dir + "/.standin-" + std::to_string(getpid());
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            path_.clear();
            return;
        }
        const bool written = WriteAll(fd, text);
        if (close(fd) != 0 || !written || rename(temp.c_str(), path_.c_str()) != 0) {
            unlink(temp.c_str());
            path_.clear();
        }
    }
    ~WindowRecord() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    WindowRecord(const WindowRecord&) = delete;
    WindowRecord& operator=(const WindowRecord&) = delete;

private:
    std::string path_;
};

// A console window is titled after its program: the file name without its
// ".exe", dots removed.
std::string ConsoleTitle(std::string_view executable) {
    const std::size_t slash = executable.rfind('/');
    if (slash != std::string_view::npos) executable.remove_prefix(slash + 1);
    if (executable.size() > 4) {
        std::string tail(executable.substr(executable.size() - 4));
        std::transform(tail.begin(), tail.end(), tail.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (tail == ".exe") executable.remove_suffix(4);
    }
    std::string title;
    for (const char c : executable)
        if (c != '.') title += c;
    return title;
}

// --- The client -----------------------------------------------------------------

class Client {
public:
    Client(const Options& options, std::string executable)
        : options_(options), executable_(std::move(executable)) {}

    int Run() {
        if (!LockDirectory()) {
            std::cerr << "setiathome-standin: another client works in this directory\n";
            return 3;
        }
        if (!Prepare()) return 1;
        std::optional<WindowRecord> window;
        if (options_.window) {
            if (options_.graphical) {
                window.emplace("SetiClientParent", "SETI@Home Client");
            } else {
                window.emplace("tty",
                               options_.title.empty() ? ConsoleTitle(executable_) : options_.title);
            }
        }
        return Loop();
    }

private:
    enum class Outcome { Finished, Stopped, Failed };

    std::string File(std::string_view base) const { return std::string(base) + ext_; }

    void Say(const std::string& text) const {
        if (!options_.quiet) std::cout << "setiathome-standin: " << text << std::endl;
    }

    bool Fail(const std::string& text) const {
        std::cerr << "setiathome-standin: " << text << '\n';
        return false;
    }

    Outcome Failed(const std::string& text) const {
        Fail(text);
        return Outcome::Failed;
    }

    // One client a directory. The lock goes with the process, also when it
    // is killed.
    bool LockDirectory() {
        const int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        for (int attempt = 0; attempt < 30; ++attempt) {
            if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // held until exit
            if (!Pause(0.1)) break;
        }
        close(fd);
        return false;
    }

    bool Prepare() {
        // The user file's extension decides all others (but "version.sah").
        if (!Exists("user_info.sah") && Exists("user_info.txt")) ext_ = ".txt";
        for (const char* base : {"work_unit", "state", "result", "user_info"})
            Remove(TempName(File(base)));
        Remove(TempName("version.sah"));

        const std::string version =
            sample::VersionFile(options_.version.major, options_.version.minor);
        if (ReadFile("version.sah") != version && !WriteAtomically("version.sah", version))
            return Fail("cannot write version.sah");
        if (!Exists(File("user_info"))) {
            sample::UserFields user;
            user.nwus = 0;
            user.nresults = 0;
            user.totalCpu = 0;
            user.lastWuTime = user.registerTime;
            user.lastResultTime = user.registerTime;
            if (!WriteAtomically(File("user_info"), sample::UserInfoFile(user)))
                return Fail("cannot write " + File("user_info"));
        }
        if (options_.graphical && !Exists("config.bin") &&
            !WriteAtomically("config.bin", sample::ConfigBinFile())) {
            return Fail("cannot write config.bin");
        }
        return true;
    }

    bool StopAfterXfer() const { return options_.stopAfterXfer || Exists("stop_after_send.txt"); }

    int Loop() {
        std::int64_t returned = 0;
        while (!Stopping()) {
            if (Exists(File("result"))) {
                // Connecting takes a while; meanwhile the result is there to
                // be seen.
                if (!Pause(options_.ExchangeSeconds())) break;
                if (!ReturnResult()) return 1;
                ++returned;
                if (options_.units > 0 && returned >= options_.units) break;
                if (StopAfterXfer()) break;
                continue;
            }
            if (!Exists(File("work_unit"))) {
                if (!Pause(options_.ExchangeSeconds())) break;
                if (!FetchWorkUnit()) return 1;
                if (StopAfterXfer()) break;
                continue;
            }
            const Outcome outcome = Process();
            if (outcome == Outcome::Failed) return 1;
            if (outcome == Outcome::Stopped || options_.stopAfterProcess) break;
        }
        return 0;
    }

    bool UpdateUserInfo(double cpuSeconds, bool fetched) {
        std::string text = ReadFile(File("user_info")).value_or("");
        const std::string now = sample::JulianDateValue(JulianNow());
        if (fetched) {
            const auto nwus = NumberOf(text, "nwus").value_or(0);
            text = WithValue(text, "last_wu_time", now);
            text = WithValue(text, "nwus", std::to_string(static_cast<std::int64_t>(nwus) + 1));
        } else {
            const auto nresults = NumberOf(text, "nresults").value_or(0);
            const auto totalCpu = NumberOf(text, "total_cpu").value_or(0);
            text = WithValue(text, "last_result_time", now);
            text = WithValue(text, "nresults",
                             std::to_string(static_cast<std::int64_t>(nresults) + 1));
            text = WithValue(text, "total_cpu", Fixed6(totalCpu + cpuSeconds));
        }
        return WriteAtomically(File("user_info"), text);
    }

    std::string ServerDir(std::string_view sub) const {
        return options_.server + "/" + std::string(sub);
    }

    bool ReturnResult() {
        const auto result = ReadFile(File("result"));
        if (!result) return Fail("cannot read " + File("result"));
        const std::string name = ValueOf(*result, "name").value_or("unnamed");
        if (!options_.server.empty()) {
            const std::string dir = ServerDir("results");
            if (!MakeDirectories(dir, 0755)) return Fail("cannot create " + dir);
            std::string safe = name;
            std::replace(safe.begin(), safe.end(), '/', '_');
            std::string target = dir + "/" + safe + ".result";
            for (int n = 2; Exists(target); ++n)
                target = dir + "/" + safe + "-" + std::to_string(n) + ".result";
            if (!WriteAtomically(target, *result)) return Fail("cannot write " + target);
        }
        if (!UpdateUserInfo(NumberOf(*result, "cpu").value_or(0), false))
            return Fail("cannot write " + File("user_info"));

        // The finished unit goes with its result; a different unit someone
        // has put here meanwhile stays to be worked on.
        const auto workUnit = ReadFile(File("work_unit"));
        if (!workUnit || ValueOf(*workUnit, "name").value_or("") == name) {
            Remove(File("work_unit"));
            Remove(File("state"));
            Remove(File("outfile"));
        }
        // Last, so that a kill before this point returns the result again
        // rather than working the unit again.
        Remove(File("result"));
        Say("returned the result of " + name);
        return true;
    }

    bool FetchWorkUnit() {
        std::optional<std::string> unit;
        if (!options_.server.empty()) {
            const std::string outbox = ServerDir("outbox");
            const std::string sent = ServerDir("sent");
            if (!MakeDirectories(outbox, 0755) || !MakeDirectories(sent, 0755))
                return Fail("cannot create the server's folders in " + options_.server);
            // Claimed by a rename, so two clients never get the same unit.
            for (const std::string& name : ListFiles(outbox)) {
                if (rename((outbox + "/" + name).c_str(), (sent + "/" + name).c_str()) != 0)
                    continue;
                unit = ReadFile(sent + "/" + name);
                if (unit) break;
            }
        }
        if (!unit) {
            const auto text = ReadFile(File("user_info")).value_or("");
            const auto index = static_cast<std::uint64_t>(NumberOf(text, "nwus").value_or(0));
            unit = GenerateWorkUnit(options_.seed, index);
            if (!options_.server.empty()) {
                std::string name = ValueOf(*unit, "name").value_or("unnamed");
                std::replace(name.begin(), name.end(), '/', '_');
                WriteAtomically(ServerDir("sent") + "/" + name + ".sah", *unit);
            }
        }
        // What is left of an earlier unit goes first, so that a watcher never
        // sees the new unit beside an old state.
        Remove(File("state"));
        Remove(File("outfile"));
        if (!WriteAtomically(File("work_unit"), *unit))
            return Fail("cannot write " + File("work_unit"));
        if (!UpdateUserInfo(0, true)) return Fail("cannot write " + File("user_info"));
        Say("fetched work unit " + ValueOf(*unit, "name").value_or("unnamed"));
        return true;
    }

    bool WriteState(const UnitPlan& plan, double progress, std::size_t found,
                    std::int64_t outfileBytes) {
        return WriteAtomically(File("state"), plan.StateText(progress, found, outfileBytes));
    }

    Outcome Process() {
        const auto workUnit = ReadFile(File("work_unit"));
        if (!workUnit) return Failed("cannot read " + File("work_unit"));
        const UnitPlan plan = PlanUnit(options_.seed, *workUnit, options_.version);
        const std::string outfile = File("outfile");

        double progress = 0;
        std::size_t emitted = 0;
        std::int64_t outfileBytes = 0;
        // A state left by another unit (someone put a new unit here after a
        // kill) does not count.
        const auto state = ReadFile(File("state"));
        const auto saved =
            state && plan.OwnsState(*state) ? NumberOf(*state, "prog") : std::nullopt;
        if (saved) {
            // Resuming: keep the signal lines already written as long as they
            // are the ones this search finds, and go on from the later of the
            // saved progress and the last signal written.
            progress = std::clamp(*saved, 0.0, 1.0);
            const std::string lines = ReadFile(outfile).value_or("");
            std::size_t pos = 0;
            while (emitted < plan.signals.size()) {
                const std::string& line = plan.signals[emitted].line;
                if (lines.compare(pos, line.size(), line) != 0) break;
                pos += line.size();
                ++emitted;
            }
            if (pos != lines.size() && truncate(outfile.c_str(), static_cast<off_t>(pos)) != 0) {
                Remove(outfile);
                emitted = pos = 0;
            }
            outfileBytes = static_cast<std::int64_t>(pos);
            if (emitted > 0) progress = std::max(progress, plan.signals[emitted - 1].position);
            Say("resuming work unit " + plan.unit.name + " at " + Fixed6(progress * 100) + "%");
        } else {
            Remove(outfile);
            Say("starting work unit " + plan.unit.name);
        }

        const double seconds = options_.seconds;
        const auto stateEvery = std::chrono::duration<double>(std::clamp(seconds / 100, 0.05, 0.3));
        const auto start = Clock::now() - std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double>(progress * seconds));
        if (!WriteState(plan, progress, emitted, outfileBytes))
            return Failed("cannot write " + File("state"));
        auto lastState = Clock::now();

        for (;;) {
            if (Stopping()) {
                WriteState(plan, progress, emitted, outfileBytes);  // the restart goes on here
                return Outcome::Stopped;
            }
            const auto now = Clock::now();
            progress = std::min(1.0, std::chrono::duration<double>(now - start).count() / seconds);
            while (emitted < plan.signals.size() && plan.signals[emitted].position <= progress) {
                const std::string& line = plan.signals[emitted].line;
                if (!AppendWhole(outfile, line)) return Failed("cannot write " + outfile);
                outfileBytes += static_cast<std::int64_t>(line.size());
                ++emitted;
            }
            if (progress >= 1) break;
            if (now - lastState >= stateEvery) {
                if (!WriteState(plan, progress, emitted, outfileBytes))
                    return Failed("cannot write " + File("state"));
                lastState = now;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }

        // The search has reached -range: the last state, then the result. The
        // state and signal files have served their purpose once the result is
        // in place, and left behind they would look like progress on the next
        // unit someone puts here.
        if (!WriteState(plan, 1.0, emitted, outfileBytes) ||
            !WriteAtomically(File("result"), plan.ResultText(*workUnit))) {
            return Failed("cannot write " + File("result"));
        }
        Remove(File("state"));
        Remove(outfile);
        Say("finished work unit " + plan.unit.name + " with " +
            std::to_string(plan.signals.size()) + " signals");
        return Outcome::Finished;
    }

    Options options_;
    std::string executable_;
    std::string ext_ = ".sah";
};

bool ToNumber(std::string_view text, double& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool ToInteger(std::string_view text, std::int64_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

std::optional<std::string> ApplyOption(Options& options, std::string_view name,
                                       std::string_view value) {
    const std::string bad = "bad value \"" + std::string(value) + "\" for " + std::string(name);
    if (name == "seed") {
        std::int64_t seed = 0;
        if (!ToInteger(value, seed)) return bad;
        options.seed = static_cast<std::uint64_t>(seed);
    } else if (name == "seconds") {
        double seconds = 0;
        if (!ToNumber(value, seconds) || !(seconds >= 0.05)) return bad;
        options.seconds = seconds;
    } else if (name == "xfer-seconds") {
        double seconds = 0;
        if (!ToNumber(value, seconds) || !(seconds >= 0)) return bad;
        options.xferSeconds = seconds;
    } else if (name == "server") {
        options.server = std::string(value);
        while (options.server.size() > 1 && options.server.back() == '/')
            options.server.pop_back();
    } else if (name == "version") {
        if (!ParseVersion(value, options.version)) return bad;
    } else if (name == "units") {
        if (!ToInteger(value, options.units) || options.units < 0) return bad;
    } else if (name == "title") {
        options.title = std::string(value);
    }
    return std::nullopt;
}

}  // namespace

const char* const kUsage =
    "usage: setiathome-standin [--seed N] [--seconds S] [--server DIR] [--version M.m]\n"
    "                          [--units N] [--xfer-seconds S] [--graphical] [--no-window]\n"
    "                          [--title T] [--quiet] [-min] [-stop_after_process]\n"
    "                          [-stop_after_xfer]\n"
    "Works in the current directory; see tools/standin/README.md.\n";

double Options::ExchangeSeconds() const {
    return xferSeconds >= 0 ? xferSeconds : std::clamp(seconds / 20, 0.2, 4.0);
}

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& options,
                                        bool& help) {
    help = false;
    static constexpr std::pair<const char*, const char*> kEnvironment[] = {
        {"SETI_STANDIN_SERVER", "server"},   {"SETI_STANDIN_SEED", "seed"},
        {"SETI_STANDIN_SECONDS", "seconds"}, {"SETI_STANDIN_VERSION", "version"},
        {"SETI_STANDIN_UNITS", "units"},     {"SETI_STANDIN_XFER_SECONDS", "xfer-seconds"}};
    for (const auto& [variable, name] : kEnvironment) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') continue;
        if (auto error = ApplyOption(options, name, value))
            return *error + " (from " + variable + ")";
    }

    static constexpr std::string_view kValued[] = {"seed",    "seconds", "xfer-seconds", "server",
                                                   "version", "units",   "title"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view word = args[i];
        if (word == "-stop_after_process") options.stopAfterProcess = true;
        if (word == "-stop_after_xfer") options.stopAfterXfer = true;
        if (!word.starts_with("--")) continue;  // "-min" and unknown switches
        word.remove_prefix(2);
        if (word == "help") help = true;
        if (word == "graphical") options.graphical = true;
        if (word == "no-window") options.window = false;
        if (word == "quiet") options.quiet = true;
        std::string_view name = word;
        std::optional<std::string_view> value;
        if (const std::size_t equals = word.find('='); equals != std::string_view::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
        }
        if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) continue;
        if (!value) {
            if (i + 1 >= args.size()) return "--" + std::string(name) + " needs a value";
            value = args[++i];
        }
        if (auto error = ApplyOption(options, name, *value)) return error;
    }
    return std::nullopt;
}

int RunClient(const Options& options, const std::string& executableName) {
    return Client(options, executableName).Run();
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace standin
