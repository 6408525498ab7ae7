#pragma once
// skyvane-cli's client commands: what client the directory holds, whether it
// runs, and starting and stopping it as Skyvane does, for a headless machine
// (a terminal, cron).
//
//   skyvane-cli client status|start|stop --client-dir DIR

#include <optional>

namespace cli {

extern const char* const kClientUsage;

// Runs "client ..." and returns the exit code; nothing for any other
// command, which the caller then runs.
std::optional<int> RunClientCommand(int argc, char** argv);

}  // namespace cli
