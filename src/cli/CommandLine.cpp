#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "history/SettingsRecord.h"

namespace cli {

namespace {

// The command the parse reached: the deepest subcommand chosen so far, so
// that a wrong option of "client start" gets the usage of "client start".
const CLI::App& ChosenCommand(const CLI::App& app) {
    const CLI::App* command = &app;
    for (;;) {
        const auto chosen = command->get_subcommands();
        if (chosen.empty()) return *command;
        command = chosen.front();
    }
}

// "skyvane-cli client start": the names from the program down.
std::string CommandPath(const CLI::App& command) {
    std::string path = command.get_name();
    for (const CLI::App* parent = command.get_parent(); parent != nullptr;
         parent = parent->get_parent())
        path = parent->get_name() + " " + path;
    return path;
}

// The help's headings, in the lower-case style of the rest of the output.
std::shared_ptr<CLI::Formatter> MakeFormatter() {
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->label("Usage", "usage");
    formatter->label("SUBCOMMAND", "COMMAND");
    return formatter;
}

// Every command of `app` and below listed under "Commands".
void GroupCommands(CLI::App& app) {
    for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        command->group("Commands");
        GroupCommands(*command);
    }
}

}  // namespace

void ConfigureProgram(CLI::App& app, const std::string& name) {
    app.name(name);
    // Set before any command is added: each takes its parent's.
    app.formatter(MakeFormatter());
    app.set_version_flag("--version", name + " " + std::string(history::kSettingsVersion),
                         "print the version and exit");
    app.set_help_flag("-h,--help", "print this help and exit");
    app.require_subcommand(1);
    // Subcommands take their own options only; --help after a command is
    // that command's help.
    app.fallthrough(false);
}

void AddClientDirOption(CLI::App& command, std::string& dir) {
    command.add_option("--client-dir", dir, "the SETI@home client's directory")
        ->required()
        ->type_name("DIR");
}

CLI::Validator OneOf(const std::vector<std::pair<std::string, std::string>>& names,
                     const std::string& what) {
    return CLI::Validator(
        [names, what](std::string& value) -> std::string {
            std::string choices;
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (value == names[i].first) {
                    value = names[i].second;
                    return {};
                }
                choices += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i].first;
            }
            return what + " must be " + choices + ": " + value;
        },
        "");
}

int RunCommandLine(CLI::App& app, const CommandResult& result, int argc, char** argv) {
    GroupCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        // --help or --version.
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        const CLI::App& command = ChosenCommand(app);
        const std::string path = CommandPath(command);
        const std::string usage = MakeFormatter()->make_usage(&command, path);
        // A word where a command belongs is a mistyped command, not a
        // missing one.
        const std::vector<std::string> rest = command.remaining();
        const bool unknownCommand = command.get_require_subcommand_min() > 0 && !rest.empty() &&
                                    !rest.front().starts_with("-");
        std::cerr << app.get_name() << ": "
                  << (unknownCommand ? "unknown command: " + rest.front() : std::string(e.what()))
                  << "\n"
                  << usage << "Run '" << path << " --help' for more information.\n";
        return kUsageError;
    }
    return result.status;
}

}  // namespace cli
