// The whole window's logic on a fuzzed client directory and archive: start,
// the polls, the totals and an archived work unit, as a user clicking
// through would drive them. Every file comes from the input; nothing but a
// message box may come of a damaged one.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "ClientDirInput.h"
#include "monitor/Monitor.h"
#include "support/ClientFakes.h"
#include "support/FakeClock.h"
#include "support/MemoryFiles.h"
#include "support/RecordingView.h"
#include "support/RunningProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

testsupport::TempDir* registryDir = nullptr;

// Records everything but the pictures: keeping a copy of the graph at every
// redraw was a third of the time an input took.
class TextView final : public testsupport::RecordingView {
public:
    void SetPicture(views::Control, const canvas::Canvas&) override {}
};

// Paths written outside the directories the logic may write to.
void CheckWritesStayInside(const testsupport::MemoryFiles& files) {
    for (const auto& [path, entry] : files.All()) {
        if (path.rfind(fuzzing::kClientDir, 0) != 0 && path.rfind(fuzzing::kProgramDir, 0) != 0)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    registryDir = new testsupport::TempDir;
    setenv("SKYVANE_REGISTRY_DIR", registryDir->Path("registry").c_str(), 1);
    setenv("SKYVANE_RUNTIME_DIR", registryDir->Path("runtime").c_str(), 1);
    setenv("SKYVANE_PROGRAM_DIR", fuzzing::kProgramDir, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testsupport::MemoryFiles files;
    fuzzing::FillClientDir(files, {reinterpret_cast<const char*>(data), size});

    platform::NativePlatform native;
    const platform::Services real = native.services();
    testsupport::FakeProcesses processes;
    testsupport::FakeWindows windows;
    testsupport::FakeShell shell;
    testsupport::FakeStartupValues startup;
    testsupport::FakeClock clock;
    testsupport::RunningProgram environment(real.environment);
    environment.executable = std::string(fuzzing::kProgramDir) + "skyvane";
    const platform::Services services{real.registry, files,    windows, shell, environment,
                                      processes,     startup, clock};
    TextView view;
    testsupport::ScriptedDialogs dialogs;
    {
        monitor::Monitor monitor(view, dialogs, services);
        monitor.OpenClientDirectory(fuzzing::kClientDir, {});
        monitor.Timer1Timer();
        monitor.Timer4Timer();
        monitor.Timer2Timer();
        // Every item of the selector: "total", then each archive.
        const int items = static_cast<int>(view.selectorItems.size());
        for (int item = 1; item < items && item < 4; ++item) {
            view.SelectSelectorItem(item);
            monitor.WUComboBoxChange(item);
        }
        monitor.TotalMenuClick(2);
        monitor.MenuTotalIgnoreClick();
        view.SelectSelectorItem(0);
        monitor.WUComboBoxChange(0);
        monitor.Timer3Timer();
        monitor.Timer1Timer();
    }
    CheckWritesStayInside(files);
    return 0;
}
