#pragma once
// skyvane-cli's cache commands: the cache's counters, and the menu's
// "Connect to the server" run without a window, for cron and SSH.
//
//   skyvane-cli cache status|refresh --client-dir DIR

namespace CLI {
class App;
}

namespace cli {

struct CommandResult;

// "cache status|refresh --client-dir DIR".
void AddCacheCommand(CLI::App& app, CommandResult& result);

}  // namespace cli
