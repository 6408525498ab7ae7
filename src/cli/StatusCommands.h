#pragma once
// skyvane-cli's view of the main window: "status" (its texts as JSON, once,
// or a line whenever they change) and "graph" (the drift-rate graph as a
// PNG picture), computed by the window's own logic opened read-only.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "monitor/Monitor.h"

namespace CLI {
class App;
}

namespace platform {
struct Services;
}

namespace cli {

struct CommandResult;

// What "status" and "graph" are asked: the client directory, the selector's
// view and the totals' menu; the graph's menus and picture file.
struct WindowArguments {
    std::string clientDir;
    std::string png;
    int scale = 0;  // 0: as the settings leave it
    std::vector<std::string> hidden;
    bool dots = false;
    std::string axis;                  // empty: as the settings leave it
    int view = monitor::kCurrentItem;  // selector item: current, total, archive
    int totalMode = 0;                 // 0: as the settings leave it
    bool ignoreFast = false;
    bool watch = false;
};

// How often "status --watch" reads the client's files: the pace of the
// window's own poll.
inline constexpr std::chrono::milliseconds kWatchInterval{2000};

// "status --watch": reads the directory every kWatchInterval (waiting on
// `services.clock`) and writes the status as one JSON line to `out` at the
// start and whenever it differs from the last line written. Ends with 0
// once `stopRequested` says so (checked at least every 100 ms), with
// kUsageError when the directory cannot be read at the start; a directory
// that goes away later is said once on `err` and watched on.
int WatchStatus(const platform::Services& services, const WindowArguments& args,
                std::ostream& out, std::ostream& err, const std::function<bool()>& stopRequested);

// "status --client-dir DIR [--watch]" and "graph --client-dir DIR --png FILE".
void AddStatusCommand(CLI::App& app, CommandResult& result);
void AddGraphCommand(CLI::App& app, CommandResult& result);

// Opens `dir` read-only as the window would and runs `use` on the logic;
// the usage error (the reason on stderr) when `dir` is no client directory.
int WithClientDirectory(const std::string& dir,
                        const std::function<int(const monitor::Monitor&)>& use);

}  // namespace cli
