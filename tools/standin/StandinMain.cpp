// setiathome-standin: a stand-in SETI@home client for demos and end-to-end
// tests. It does what a watcher of the client's directory can see the client
// do, on a short clock and deterministically, without any network.
//
// Usage (in the client directory):
//
//   setiathome-standin [--seed N] [--seconds S] [--server DIR] [--version M.m]
//                      [--units N] [--xfer-seconds S] [--graphical]
//                      [--no-window] [--title T] [--quiet]
//                      [-min] [-stop_after_process] [-stop_after_xfer]
//
//   --seed N          seed of every generated work unit and signal (default 1)
//   --seconds S       wall-clock seconds a work unit takes (default 150)
//   --server DIR      server folder: work units to hand out in DIR/outbox
//                     (taken in name order, moved to DIR/sent), returned
//                     results land in DIR/results as <unit name>.result.
//                     Without work units there, one is generated from the
//                     seed; without a server, results are dropped.
//   --version M.m     client version (default 3.03); the drift-rate search
//                     covers +-10 Hz/s up to 2.7 and +-50 Hz/s after
//   --units N         exit after returning N results (default: never)
//   --xfer-seconds S  duration of one exchange with the server (default
//                     seconds/20, between 0.2 and 4): the result stays
//                     visible that long before it is returned
//   --graphical       behave as the windowed client: announce its window and
//                     keep a 680-byte config.bin
//   --no-window       announce no window (a console one by default, titled
//                     after the executable, or --title T)
//   --quiet           no progress lines on standard output
//   -min              accepted, as the windowed client accepts it
//   -stop_after_process  exit after writing the result, leaving it
//   -stop_after_xfer     exit after the next exchange with the server; a file
//                        "stop_after_send.txt" in the directory does the same
//
// Options may also be given as --name=value. Unknown words are ignored. The
// environment variables SETI_STANDIN_SERVER, SETI_STANDIN_SEED,
// SETI_STANDIN_SECONDS, SETI_STANDIN_VERSION, SETI_STANDIN_UNITS and
// SETI_STANDIN_XFER_SECONDS give defaults that the command line overrides,
// for runs started by a program that passes only the client's own switches.
//
// SIGTERM, SIGINT and SIGHUP end it within milliseconds after saving its
// progress; a SIGKILL at any moment leaves files a restart continues from.
//
// Exit codes: 0 done or stopped, 1 a file could not be written or read,
// 2 a bad option value, 3 another stand-in works in the directory.

#include <iostream>
#include <string>
#include <vector>

#include "standin/Client.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    standin::Options options;
    bool help = false;
    if (const auto error = standin::ParseOptions(args, options, help)) {
        std::cerr << "setiathome-standin: " << *error << '\n' << standin::kUsage;
        return 2;
    }
    if (help) {
        std::cout << standin::kUsage;
        return 0;
    }
    standin::InstallStopHandlers();
    return standin::RunClient(options, argc > 0 ? argv[0] : "setiathome-standin");
}
