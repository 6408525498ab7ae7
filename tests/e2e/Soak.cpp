// Months of a client's work in minutes: the stand-in client processes
// work units on a short clock while Skyvane's logic polls it headless the
// whole time, its timers driven faster than the window's. Afterwards every
// returned result must be archived exactly once and readable, and the
// process must not have grown: resident memory and open descriptors are
// printed every 100 work units.
//
//   skyvane-soak [--units N] [--seconds S]     (scripts/soak.sh)

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "clientfiles/Readers.h"
#include "e2e/SpawnStandin.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using namespace std::chrono_literals;
using views::TimerId;

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

long OpenDescriptors() {
    long count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

std::size_t CountFiles(const std::string& dir) {
    if (!std::filesystem::exists(dir)) return 0;
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++count;
    return count;
}

pid_t StartClient(const std::string& dir, const std::string& server, int units,
                  const std::string& seconds) {
    return e2e::SpawnStandin(dir, {"--seconds", seconds, "--xfer-seconds", "0.4", "--units",
                                   std::to_string(units), "--seed", "5", "--server", server,
                                   "--quiet"});
}

}  // namespace

int main(int argc, char** argv) {
    int units = 1000;
    std::string seconds = "1";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string word = argv[i];
        if (word == "--units") units = std::atoi(argv[i + 1]);
        if (word == "--seconds") seconds = argv[i + 1];
    }

    testsupport::TempDir program, client, server;
    testsupport::ScopedEnv programEnv("SKYVANE_PROGRAM_DIR", program.Path());
    testsupport::ScopedEnv registryEnv("SKYVANE_REGISTRY_DIR", program.Path("registry"));
    testsupport::ScopedEnv runtimeEnv("SKYVANE_RUNTIME_DIR", program.Path("runtime"));
    testsupport::ScopedEnv configEnv("XDG_CONFIG_HOME", program.Path("config"));

    const pid_t pid = StartClient(client.Path(), server.Path(), units, seconds);
    if (pid <= 0) {
        std::cerr << "skyvane-soak: the stand-in client did not start\n";
        return 1;
    }
    while (!client.Exists("work_unit.sah")) std::this_thread::sleep_for(20ms);

    platform::NativePlatform native;
    testsupport::RecordingView view;
    testsupport::ScriptedDialogs dialogs;
    monitor::Monitor monitor(view, dialogs, native.services());
    monitor.OpenClientDirectory(client.Path(), {});

    // The window's timers, ten times as often: a work unit of a second
    // still sees several polls.
    const auto start = std::chrono::steady_clock::now();
    int ticks = 0, nextReport = 100;
    std::printf("work units  seconds  RSS (KB)  open fds\n");
    std::printf("%10d  %7.1f  %8ld  %8ld\n", 0, 0.0, ResidentKilobytes(), OpenDescriptors());
    int status = 0;
    bool clientEnded = false;
    while (!clientEnded) {
        std::this_thread::sleep_for(50ms);
        ++ticks;
        if (view.TimerOn(TimerId::Timer4)) monitor.Timer4Timer();
        if (view.TimerOn(TimerId::Timer2)) monitor.Timer2Timer();
        if (ticks % 4 == 0 && view.TimerOn(TimerId::Timer1)) monitor.Timer1Timer();
        if (view.TimerOn(TimerId::Timer3)) monitor.Timer3Timer();
        if (monitor.ArchiveCount() >= nextReport) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%10d  %7.1f  %8ld  %8ld\n", monitor.ArchiveCount(), elapsed,
                        ResidentKilobytes(), OpenDescriptors());
            std::fflush(stdout);
            nextReport += 100;
        }
        clientEnded = waitpid(pid, &status, WNOHANG) == pid;
    }
    // The last result is returned before the client exits; one more poll
    // sees that it is gone.
    for (int i = 0; i < 10; ++i) {
        monitor.Timer1Timer();
        monitor.Timer2Timer();
    }

    // Every result the server received is archived once, and readable.
    int faults = 0;
    const std::size_t returned = CountFiles(server.Path("results"));
    std::map<std::string, int> archivedNames;
    for (int n = 1; n <= monitor.ArchiveCount(); ++n) {
        const std::string path = program.Path("old/seti" + std::to_string(n) + ".txt");
        const auto name = clientfiles::PeekWorkUnitName(native.services().files, path);
        if (!name) {
            std::printf("archive %d cannot be read\n", n);
            ++faults;
            continue;
        }
        ++archivedNames[*name];
    }
    for (const auto& [name, copies] : archivedNames) {
        if (copies != 1) {
            std::printf("%s archived %d times\n", name.c_str(), copies);
            ++faults;
        }
    }
    std::printf("returned %zu, archived %d (%zu different work units)\n", returned,
                monitor.ArchiveCount(), archivedNames.size());
    if (archivedNames.size() != returned) ++faults;
    // The totals over all of them read without a message.
    view.SelectSelectorItem(monitor::kTotalItem);
    monitor.WUComboBoxChange(monitor::kTotalItem);
    for (const std::string& error : dialogs.errors) {
        std::printf("error box: %s\n", error.c_str());
        ++faults;
    }
    std::printf("alerts (interesting signals): %zu\n", dialogs.informations.size());
    std::printf("%s\n", faults == 0 ? "soak passed" : "soak FAILED");
    return faults == 0 ? 0 : 1;
}
