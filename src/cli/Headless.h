#pragma once
// What the client and cache commands share: messages on stderr instead of
// boxes, the user's settings from the program directory, the client
// directory checked, and one subcommand per action.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "history/SettingsRecord.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"

namespace CLI {
class App;
}

namespace cli {

struct CommandResult;

// Messages go to standard error, one line each; questions are answered No.
class StderrDialogs : public views::Dialogs {
public:
    void ShowError(std::string_view text) override { Print(text); }
    void ShowWarning(std::string_view text) override { Print(text); }
    void ShowInformation(std::string_view text) override { Print(text); }
    bool AskYesNo(std::string_view text) override {
        Print(text);
        return false;
    }
    std::optional<std::string> AskClientPath() override { return std::nullopt; }
    void ShowAbout() override {}

protected:
    static void Print(std::string_view text);
};

// The settings the user saved in the program directory; defaults (and
// `readable` false) without a readable settings file of this version.
struct UserSettings {
    history::TSettingsRec settings;
    bool readable = false;
};
UserSettings ReadUserSettings(platform::Services services);

// `dir` with its trailing separator, or nothing (after the reason on
// stderr) when it is no directory.
std::optional<std::string> ExistingClientDir(platform::Files& files, const std::string& dir);

// Adds one subcommand per action (name, description) to `command`, with the
// --client-dir option every one takes; the chosen one runs `run`(its name,
// the directory) and leaves its exit status in `result`.
void AddActions(CLI::App& command, const std::vector<std::pair<const char*, const char*>>& actions,
                CommandResult& result,
                std::function<int(const std::string& action, const std::string& dir)> run);

}  // namespace cli
