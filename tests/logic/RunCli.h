#pragma once
// Runs the real skyvane-cli, as a user's shell would (POSIX only).

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace testsupport {

struct CliRun {
    int status = -1;  // the exit status, -1 when the program did not exit
    std::string out;  // what it printed on stdout
};

// skyvane-cli with `args`; its stderr goes to the file `errFile`.
inline CliRun RunCli(const std::string& args, const std::string& errFile) {
    const std::string command = std::string(SKYVANE_CLI_PATH) + " " + args + " 2>" + errFile;
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

}  // namespace testsupport
