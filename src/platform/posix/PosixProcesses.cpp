// Processes on POSIX: starting the client detached from us, telling which
// processes run a given executable file, and ending one.
//
// A client is found by its executable file rather than by its name: Linux
// knows the file every process runs (/proc/PID/exe), so comparing device and
// inode finds the client however it was started, from Skyvane, a terminal or
// cron, and whatever path named it.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/posix/PosixBackend.h"

namespace platform::posix {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          bool (*isProgram)(const std::string&)) {
    struct Span {
        std::size_t start, end;
    };
    std::vector<Span> spans;
    for (std::size_t at = 0; at < commandLine.size();) {
        const auto start = commandLine.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const auto end = std::min(commandLine.find(' ', start), commandLine.size());
        spans.push_back({start, end});
        at = end;
    }
    const auto word = [&](const Span& span) {
        return std::string(commandLine.substr(span.start, span.end - span.start));
    };
    std::vector<std::string> words;
    // "/opt/my programs/setiathome -min": the shortest run of words that
    // names a program is the program, blanks between them kept, as Windows
    // reads such a line.
    std::size_t programWords = 1;
    for (std::size_t count = 1; count <= spans.size(); ++count) {
        const std::string candidate(
            commandLine.substr(spans.front().start, spans[count - 1].end - spans.front().start));
        if (isProgram(candidate)) {
            programWords = count;
            break;
        }
    }
    // Nothing names a program: the first word it is.
    if (spans.empty()) return words;
    words.emplace_back(
        commandLine.substr(spans.front().start, spans[programWords - 1].end - spans.front().start));
    for (std::size_t i = programWords; i < spans.size(); ++i)
        words.push_back(word(spans[i]));
    return words;
}

bool SpawnDetached(std::vector<std::string> args, const SpawnOptions& options) {
    if (args.empty()) return false;
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    // Everything the spawn needs is prepared before the fork: between fork
    // and exec a threaded process may only do async-signal-safe work.
    posix_spawnattr_t attr;
    posix_spawn_file_actions_t actions;
    if (posix_spawnattr_init(&attr) != 0) return false;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attr);
        return false;
    }
    sigset_t noSignals;
    sigset_t allSignals;
    sigemptyset(&noSignals);
    sigfillset(&allSignals);
    // A session of its own with default signal handling: neither a Ctrl+C in
    // our terminal nor a signal we ignore reaches the child, and it outlives
    // us.
    posix_spawnattr_setsigmask(&attr, &noSignals);
    posix_spawnattr_setsigdefault(&attr, &allSignals);
    posix_spawnattr_setflags(&attr,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    if (options.directory != nullptr)
        posix_spawn_file_actions_addchdir_np(&actions, options.directory->c_str());
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (options.discardOutput) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }

    // Double fork: the intermediate child starts the program and exits at
    // once, so we wait only for it and the orphaned program is reaped by
    // init. We never wait for the program, and no zombie is left behind.
    const pid_t child = fork();
    if (child == 0) {
        pid_t grandchild = 0;
        const int rc =
            options.searchPath
                ? posix_spawnp(&grandchild, argv[0], &actions, &attr, argv.data(), environ)
                : posix_spawn(&grandchild, argv[0], &actions, &attr, argv.data(), environ);
        _exit(rc == 0 ? 0 : 127);
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (child < 0) return false;

    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        // ECHILD: a SIGCHLD handler elsewhere reaped it first; the exit
        // status is lost, and the spawn most likely went through.
        if (errno != EINTR) return errno == ECHILD;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

class PosixProcess final : public Process {
public:
    PosixProcess(pid_t pid, std::string started) : pid_(pid), started_(std::move(started)) {}

    bool Terminate() override { return Signal(SIGTERM); }
    bool Kill() override { return Signal(SIGKILL); }
    bool Running() override { return ProcessAlive(pid_, started_); }

private:
    // Only while the id still names the process we opened.
    bool Signal(int signal) { return Running() && kill(pid_, signal) == 0; }

    pid_t pid_;
    std::string started_;
};

class PosixProcesses final : public Processes {
public:
    bool Launch(const std::string& commandLine, const std::string& directory,
                ShowMode /*show: nothing to hide on Linux*/) override {
        auto words = SplitCommandLine(commandLine, IsExecutableFile);
        if (words.empty()) return false;
        SpawnOptions options;
        options.directory = &directory;
        options.discardOutput = true;
        return SpawnDetached(std::move(words), options);
    }

    bool IsLaunchable(const std::string& path) override { return IsExecutableFile(path); }

    std::vector<ProcessId> FindByExecutable(const std::string& path) override {
        std::vector<ProcessId> found;
        struct stat target {};
        if (stat(path.c_str(), &target) != 0) return found;
        DIR* proc = opendir("/proc");
        if (proc == nullptr) return found;
        const uid_t me = getuid();
        while (const dirent* entry = readdir(proc)) {
            char* end = nullptr;
            const long pid = std::strtol(entry->d_name, &end, 10);
            if (pid <= 0 || *end != '\0' || pid == getpid()) continue;
            const std::string dir = std::string("/proc/") + entry->d_name;
            struct stat owner {};
            struct stat exe {};
            // stat follows the exe link to the file the process runs; it
            // fails for other users' processes, which are not ours to stop.
            if (stat(dir.c_str(), &owner) != 0 || owner.st_uid != me) continue;
            if (stat((dir + "/exe").c_str(), &exe) != 0) continue;
            if (exe.st_dev != target.st_dev || exe.st_ino != target.st_ino) continue;
            if (!ProcessAlive(static_cast<pid_t>(pid), {})) continue;
            found.push_back(static_cast<ProcessId>(pid));
        }
        closedir(proc);
        std::sort(found.begin(), found.end());
        return found;
    }

    std::unique_ptr<Process> Open(ProcessId id) override {
        const auto pid = static_cast<pid_t>(id);
        if (pid <= 0) return nullptr;
        // Another user's process may not be touched, as OpenProcess refuses.
        if (kill(pid, 0) != 0) return nullptr;
        const auto state = ReadProcessState(pid);
        if (state.zombie) return nullptr;
        return std::make_unique<PosixProcess>(pid, state.started);
    }
};

}  // namespace

std::unique_ptr<Processes> MakeProcesses() {
    return std::make_unique<PosixProcesses>();
}

}  // namespace platform::posix
