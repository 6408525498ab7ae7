#pragma once
// Starts the stand-in client in a directory, as a user would from a shell
// there (POSIX only, like the stand-in).

#include <fcntl.h>
#include <spawn.h>

#include <string>
#include <vector>

extern char** environ;

namespace e2e {

// The stand-in with `options` (after the program's name) in `dir`: its
// process id, or -1 when it could not be started. Its output goes nowhere
// near the caller's: a test that crashes would leave the client holding it
// open, and CTest waiting for it to close.
inline pid_t SpawnStandin(const std::string& dir, std::vector<std::string> options) {
    std::string program = STANDIN_PATH;
    std::vector<char*> argv{program.data()};
    for (auto& word : options) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace e2e
