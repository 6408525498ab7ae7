#pragma once
// skyvane-cli's view of the signal info window: the texts of every
// signal's page ("signals") and a gaussian's or pulse's plot as a PNG
// picture ("plot"), computed by the window's own logic.

#include <functional>
#include <string>

namespace CLI {
class App;
}

namespace monitor {
class Monitor;
}

namespace cli {

// Opens `dir` read-only as the main window would and runs `use` on the
// logic; returns what `use` returns, or the usage error (with the reason on
// stderr) when `dir` is no client directory.
using WithClientDir = std::function<int(const std::string& dir,
                                        const std::function<int(const monitor::Monitor&)>& use)>;

struct CommandResult;

// "signals --client-dir DIR": the texts of every signal's page as JSON.
void AddSignalsCommand(CLI::App& app, CommandResult& result, const WithClientDir& withClientDir);

// "plot --client-dir DIR --kind gaussian|pulse --index N --png FILE".
void AddPlotCommand(CLI::App& app, CommandResult& result, const WithClientDir& withClientDir);

}  // namespace cli
