#pragma once
// The command line of skyvane-cli: one CLI::App with a subcommand per
// command. Each command adds itself with an `Add...Command` function that
// declares its options and the function it runs; RunCommandLine parses and
// runs the one chosen, so a new command is one more `Add...Command`.

#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
class Validator;
}  // namespace CLI

namespace cli {

// Exit status for wrong arguments, a missing directory and a directory that
// is no client directory; the reason goes to stderr in one line.
inline constexpr int kUsageError = 2;

// Where a chosen command leaves its exit status; its callback writes it.
struct CommandResult {
    int status = 0;
};

// The top-level app with --help and --version; `name` is the program's
// name as users type it.
void ConfigureProgram(CLI::App& app, const std::string& name);

// Adds the --client-dir option every command takes, required.
void AddClientDirOption(CLI::App& command, std::string& dir);

// A value that must be one of `names`, turned into the value paired with
// it; otherwise "<what> must be <names joined by 'or'>: <value>".
CLI::Validator OneOf(const std::vector<std::pair<std::string, std::string>>& names,
                     const std::string& what);

// Parses `argv` and runs the chosen command. --help and --version print on
// stdout and return 0; wrong arguments print the reason, the command's usage
// and a hint on stderr and return kUsageError; otherwise the command's
// status.
int RunCommandLine(CLI::App& app, const CommandResult& result, int argc, char** argv);

}  // namespace cli
