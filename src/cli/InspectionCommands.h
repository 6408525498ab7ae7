#pragma once
// skyvane-cli's view of the signal info window: the texts of every
// signal's page ("signals") and a gaussian's or pulse's plot as a PNG
// picture ("plot"), computed by the window's own logic.

#include <functional>
#include <optional>
#include <string>

namespace monitor {
class Monitor;
}

namespace cli {

// Opens `dir` read-only as the main window would and runs `use` on the
// logic; returns what `use` returns, or the usage error (with the reason on
// stderr) when `dir` is no client directory.
using WithClientDir = std::function<int(const std::string& dir,
                                        const std::function<int(const monitor::Monitor&)>& use)>;

// The usage lines of the two commands.
extern const char* const kInspectionUsage;

// Runs "signals" or "plot" and returns the exit code; nothing for any other
// command, which the caller then runs.
std::optional<int> RunInspectionCommand(int argc, char** argv, const WithClientDir& withClientDir);

}  // namespace cli
