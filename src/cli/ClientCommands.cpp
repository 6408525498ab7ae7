#include "cli/ClientCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Headless.h"
#include "cli/Json.h"
#include "client/ClientControl.h"
#include "history/SettingsRecord.h"
#include "platform/Platform.h"

namespace cli {

namespace {

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
        json.AddNull("ProcessId");
    std::cout << json.ToString() << "\n";
}

// Finds the client in `dir`, does `action` and prints the status.
int RunClientAction(const std::string& action, const std::string& dir) {
    platform::NativePlatform native;
    const platform::Services services = native.services();
    const auto clientPath = ExistingClientDir(services.files, dir);
    if (!clientPath) return kUsageError;
    StderrDialogs dialogs;
    // HideClient and ClientParams as the user set them.
    const history::TSettingsRec settings = ReadUserSettings(services).settings;
    client::ClientControl control(services, dialogs, settings);
    control.SetClientPath(*clientPath);
    control.FindClient();

    int status = 0;
    if (action == "start") {
        if (control.Kind() == client::ClientKind::None) {
            std::cerr << "skyvane-cli: no SETI@home client in " << dir << "\n";
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

}  // namespace

void AddClientCommand(CLI::App& app, CommandResult& result) {
    CLI::App* client =
        app.add_subcommand("client", "tell, start or stop the SETI@home client in the directory");
    client->footer(
        "Each command prints the client's status as JSON: its kind (0 none, 1 text, 2 windowed), "
        "executable, stop switch,\nthe command line a start runs, whether it runs and its "
        "process id. The client's extra parameters\nand hiding come from the settings in the "
        "program directory.");
    AddActions(
        *client,
        {
            {"status", "print the client's status"},
            {"start", "start it, detached (it outlives the terminal), and print its status"},
            {"stop", "stop it and print its status; exit status 1 when it is not gone in 30 s"},
        },
        result, RunClientAction);
}

}  // namespace cli
