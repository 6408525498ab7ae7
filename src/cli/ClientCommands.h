#pragma once
// skyvane-cli's client commands: what client the directory holds, whether it
// runs, and starting and stopping it as Skyvane does, for a headless machine
// (a terminal, cron).
//
//   skyvane-cli client status|start|stop --client-dir DIR

namespace CLI {
class App;
}

namespace cli {

struct CommandResult;

// "client status|start|stop --client-dir DIR".
void AddClientCommand(CLI::App& app, CommandResult& result);

}  // namespace cli
