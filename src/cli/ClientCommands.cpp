#include "cli/ClientCommands.h"

#include <iostream>
#include <string>
#include <vector>

#include "cli/Json.h"
#include "client/ClientControl.h"
#include "clientfiles/ClientDir.h"
#include "history/SettingsRecord.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"

namespace cli {

const char* const kClientUsage =
    "       skyvane-cli client status|start|stop --client-dir DIR\n"
    "  client  the client in DIR: its kind, executable, stop switch, the command line a\n"
    "          start runs, and whether it runs (JSON); start or stop it as Skyvane does,\n"
    "          then print the same. Extra parameters and hiding come from the settings\n"
    "          in the program directory.\n";

namespace {

constexpr int kUsageError = 2;

// Messages go to standard error; questions are answered No.
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

private:
    static void Print(std::string_view text) { std::cerr << "skyvane-cli: " << text << "\n"; }
};

// HideClient and ClientParams as the user set them; defaults without a
// readable settings file.
history::TSettingsRec UserSettings(platform::Services services) {
    const std::string path = services.environment.ProgramDirectory() + history::kSettingsFileName;
    const auto bytes = services.files.ReadFile(path, history::kSettingsRecordSize);
    if (bytes && bytes->size() == history::kSettingsRecordSize &&
        history::HasCurrentSettingsVersion(*bytes))
        return history::DecodeSettingsRecord(*bytes);
    return {};
}

void PrintStatus(client::ClientControl& control) {
    JsonObject json;
    json.Add("ClientPath", control.ClientPath());
    json.Add("ClientKind", static_cast<long long>(control.Kind()));
    json.Add("ClientExeName", control.ClientExeName());
    json.Add("StopSwitch", control.StopSwitch());
    json.Add("CommandLine",
             control.Kind() == client::ClientKind::None ? std::string() : control.CommandLine());
    const auto running = control.FindRunningClient();
    json.Add("Running", running.has_value());
    if (running)
        json.Add("ProcessId", static_cast<long long>(*running));
    else
        json.AddRaw("ProcessId", "null");
    std::cout << json.ToString() << "\n";
}

}  // namespace

std::optional<int> RunClientCommand(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) != "client") return std::nullopt;
    const std::vector<std::string> words(argv + 2, argv + argc);
    std::string action;
    std::optional<std::string> dir;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--client-dir" && i + 1 < words.size()) {
            dir = words[++i];
        } else if (words[i].starts_with("--client-dir=")) {
            dir = words[i].substr(13);
        } else if (action.empty() &&
                   (words[i] == "status" || words[i] == "start" || words[i] == "stop")) {
            action = words[i];
        } else {
            std::cerr << "skyvane-cli: unknown option: " << words[i] << "\n" << kClientUsage;
            return kUsageError;
        }
    }
    if (action.empty() || !dir || dir->empty()) {
        std::cerr << kClientUsage;
        return kUsageError;
    }

    platform::NativePlatform native;
    const platform::Services services = native.services();
    const std::string clientPath = clientfiles::WithTrailingSeparator(*dir);
    if (!services.files.DirectoryExists(clientPath)) {
        std::cerr << "skyvane-cli: no such directory: " << *dir << "\n";
        return kUsageError;
    }
    StderrDialogs dialogs;
    const history::TSettingsRec settings = UserSettings(services);
    client::ClientControl control(services, dialogs, settings);
    control.SetClientPath(clientPath);
    control.FindClient();

    int status = 0;
    if (action == "start") {
        if (control.Kind() == client::ClientKind::None) {
            std::cerr << "skyvane-cli: no SETI@home client in " << *dir << "\n";
            status = 1;
        } else if (control.FindRunningClient()) {
            std::cerr << "skyvane-cli: the client already runs\n";
        } else if (!control.StartClient()) {
            status = 1;
        } else {
            // The launch returns before the client is under way; give it a
            // moment to show, so the status printed says it runs.
            for (int i = 0; i < 20 && !control.FindRunningClient(); ++i)
                services.clock.Sleep(std::chrono::milliseconds(100));
        }
    } else if (action == "stop") {
        if (!control.StopClient()) status = 1;
    }
    PrintStatus(control);
    return status;
}

}  // namespace cli
