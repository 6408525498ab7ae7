#include "cli/Headless.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli/CommandLine.h"
#include "clientfiles/ClientDir.h"

namespace cli {

void StderrDialogs::Print(std::string_view text) {
    // A box's line breaks are carriage returns, which a terminal would
    // write over.
    std::string line(text);
    for (char& c : line)
        if (c == '\r') c = ' ';
    std::cerr << "skyvane-cli: " << line << "\n";
}

UserSettings ReadUserSettings(platform::Services services) {
    const std::string path = services.environment.ProgramDirectory() + history::kSettingsFileName;
    const auto bytes = services.files.ReadFile(path, history::kSettingsRecordSize);
    if (bytes && bytes->size() == history::kSettingsRecordSize &&
        history::HasCurrentSettingsVersion(*bytes))
        return {history::DecodeSettingsRecord(*bytes), true};
    return {};
}

std::optional<std::string> ExistingClientDir(platform::Files& files, const std::string& dir) {
    std::string clientPath = clientfiles::WithTrailingSeparator(dir);
    if (files.DirectoryExists(clientPath)) return clientPath;
    std::cerr << "skyvane-cli: no such directory: " << dir << "\n";
    return std::nullopt;
}

void AddActions(CLI::App& command, const std::vector<std::pair<const char*, const char*>>& actions,
                CommandResult& result,
                std::function<int(const std::string& action, const std::string& dir)> run) {
    command.require_subcommand(1);
    auto dir = std::make_shared<std::string>();
    // Given before or after the action: "client --client-dir DIR start" and
    // "client start --client-dir DIR" both read naturally.
    AddClientDirOption(command, *dir);
    for (const auto& [name, description] : actions) {
        CLI::App* action = command.add_subcommand(name, description);
        action->fallthrough();
        action->callback(
            [name = std::string(name), dir, run, &result] { result.status = run(name, *dir); });
    }
}

}  // namespace cli
