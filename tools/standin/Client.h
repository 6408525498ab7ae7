#pragma once
// The stand-in client's life in its directory: fetch a work unit, search it,
// leave a result, return it, fetch the next. POSIX only.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "standin/Generator.h"

namespace standin {

struct Options {
    std::uint64_t seed = 1;
    double seconds = 150;     // wall-clock seconds a work unit takes
    double xferSeconds = -1;  // one exchange with the server; < 0: from `seconds`
    std::string server;       // empty: generate units, drop results
    ClientVersion version;
    std::int64_t units = 0;  // stop after this many returned results; 0: never
    bool stopAfterProcess = false;
    bool stopAfterXfer = false;
    bool graphical = false;  // announce the windowed client's window, keep config.bin
    bool window = true;      // announce a window at all
    std::string title;       // console title; empty: from the executable's name
    bool quiet = false;

    double ExchangeSeconds() const;
};

// Reads the command line over the environment's defaults
// (SETI_STANDIN_SERVER, _SEED, _SECONDS, _VERSION, _UNITS, _XFER_SECONDS).
// Unknown words are ignored, as the client ignores them. Returns an error
// text for a known option with an unusable value; `help` is set by --help.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& options,
                                        bool& help);

// The usage text printed by --help.
extern const char* const kUsage;

// Runs in the current directory until told to stop. Returns the exit code.
int RunClient(const Options& options, const std::string& executableName);

// Set by SIGTERM and SIGINT: finish what is being written and leave.
void InstallStopHandlers();

}  // namespace standin
