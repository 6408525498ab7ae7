#include "gui/TrayOnDisplay.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/stopwatch.h>
#include <wx/taskbar.h>

#include <string>
#include <vector>

#include "gui/GuiTestSupport.h"

extern char** environ;

namespace guitest {

// trayer, started here unless the display already has a tray.
TrayOnDisplay::TrayOnDisplay() {
    if (wxTaskBarIcon::IsAvailable()) return;
    std::vector<std::string> args{
        "trayer", "--edge",        "bottom", "--align",       "right", "--widthtype",
        "pixel",  "--width",       "120",    "--heighttype",  "pixel", "--height",
        "32",     "--transparent", "false",  "--SetDockType", "false"};
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "trayer", nullptr, nullptr, argv.data(), environ) != 0) return;
    process_ = pid;
    // trayer takes the tray's selection once it is up.
    wxStopWatch watch;
    while (!wxTaskBarIcon::IsAvailable() && watch.Time() < 10000)
        Pump(50);
}

TrayOnDisplay::~TrayOnDisplay() {
    if (process_ <= 0) return;
    kill(static_cast<pid_t>(process_), SIGTERM);
    waitpid(static_cast<pid_t>(process_), nullptr, 0);
    Pump(100);
}

}  // namespace guitest
