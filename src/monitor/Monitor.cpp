#include "monitor/Monitor.h"

#include <string_view>

#include "clientfiles/ClientDir.h"
#include "history/ArchiveCounter.h"
#include "monitor/Progress.h"

namespace monitor {

namespace {

constexpr std::string_view kAppTitle = "Skyvane";
// Another running Skyvane is recognised by its main window.
constexpr std::string_view kMainWindowClass = "TMainForm";
// Where the client records its directory.
constexpr std::string_view kClientRegistryKey = "Software\\SETI@home\\";
constexpr std::string_view kClientDirValue = "ClientDir";

}  // namespace

Monitor::Monitor(views::MainView& view, views::Dialogs& dialogs, platform::Services services)
    : view_(view),
      dialogs_(dialogs),
      services_(services),
      gate_(dialogs),
      readers_(services.files, gate_, view, figures_) {
    env_.decimalSeparator = services_.environment.DecimalSeparator();
}

Monitor::~Monitor() = default;

StartupResult Monitor::FormCreate(const StartupOptions& options) {
    programDir_ = services_.environment.ProgramDirectory();

    // Set whenever the client directory was found anew, so that it can be
    // remembered once the settings file exists.
    bool settingsChanged = false;
    env_.clientPath.clear();

    // A second Skyvane started without arguments leaves quietly. The test
    // runs before this window announces its own title, so it never finds
    // itself.
    const bool multipleInstances = false;
    if (!multipleInstances && options.args.empty() &&
        services_.windows.WindowExists(kMainWindowClass, kAppTitle)) {
        return StartupResult::Terminate;
    }
    view_.SetWindowTitle(kAppTitle);
    announcement_ = services_.windows.Announce(kMainWindowClass, kAppTitle);

    if (!FindClientDirectory(settingsChanged)) {
        return StartupResult::Terminate;
    }
    env_.clientFileExt = clientfiles::DecideClientFileExt(services_.files, env_.clientPath);

    ShowClientDirectory(options.readOnly);
    return StartupResult::ShowWindow;
}

void Monitor::OpenClientDirectory(const std::string& clientDir, const StartupOptions& options) {
    programDir_ = services_.environment.ProgramDirectory();
    env_.clientPath = clientfiles::WithTrailingSeparator(clientDir);
    env_.clientFileExt = clientfiles::DecideClientFileExt(services_.files, env_.clientPath);
    ShowClientDirectory(options.readOnly);
}

bool Monitor::FindClientDirectory(bool& settingsChanged) {
    // The client's own record of its directory; the machine-wide key first.
    // Registry failures only mean that the user is asked.
    if (env_.clientPath.empty()) {
        auto key = services_.registry.OpenKey(platform::RegRoot::LocalMachine, kClientRegistryKey,
                                              platform::RegAccess::Read);
        if (!key)
            key = services_.registry.OpenKey(platform::RegRoot::CurrentUser, kClientRegistryKey,
                                             platform::RegAccess::Read);
        if (key) {
            settingsChanged = true;
            env_.clientPath = key->ReadString(kClientDirValue).value_or("");
        }
    }
    env_.clientPath = clientfiles::WithTrailingSeparator(env_.clientPath);

    while (!clientfiles::IsClientDirectory(services_.files, env_.clientPath)) {
        settingsChanged = true;
        auto answer = dialogs_.AskClientPath();
        if (!answer) return false;
        env_.clientPath = clientfiles::WithTrailingSeparator(*answer);
    }
    return true;
}

void Monitor::ShowClientDirectory(bool readOnly) {
    view_.AddSelectorItem("current");
    view_.AddSelectorItem("total");
    if (!ReadArchiveCounter(readOnly)) return;

    readers_.ReadUserInfo(env_);
    view_.SelectSelectorItem(kCurrentItem);
    env_.selector = clientfiles::SelectorView::Current;
    SetLivePaths();
    readers_.ReadWorkUnitHeader(workUnitPath_, env_);
}

bool Monitor::ReadArchiveCounter(bool readOnly) {
    auto& files = services_.files;
    const std::string counterPath = programDir_ + history::kArchiveCounterName;
    if (!files.FileExists(counterPath)) {
        env_.archiveCount = 0;
        if (!readOnly && !files.WriteFile(counterPath, history::ArchiveCounterText(0))) {
            dialogs_.ShowError("Cannot create \"" + counterPath + "\".");
            return false;
        }
    } else {
        const auto reading = history::ReadArchiveCounter(files, counterPath);
        if (!reading.count) {
            dialogs_.ShowError(reading.error);
            return false;
        }
        env_.archiveCount = *reading.count;
        for (std::int32_t number = 1; number <= env_.archiveCount; ++number)
            view_.AddSelectorItem(std::to_string(number));
    }

    const std::string archiveDir = programDir_ + history::kArchiveDirName;
    if (!readOnly && !files.DirectoryExists(archiveDir) && !files.CreateDirectory(archiveDir)) {
        dialogs_.ShowError("Cannot create the directory \"" + archiveDir + "\".");
        return false;
    }
    return true;
}

void Monitor::SetLivePaths() {
    workUnitPath_ = ClientFile("work_unit");
    statePath_ = ClientFile("state");
    outfilePath_ = ClientFile("outfile");
}

std::string Monitor::ClientFile(std::string_view baseName) const {
    return env_.clientPath + std::string(baseName) + env_.clientFileExt;
}

void Monitor::FormClose() {
    view_.ShowTrayIcon(true);
    view_.ShowWindow(false);
}

void Monitor::Show1Click() {
    view_.ShowTrayIcon(false);
    view_.ShowWindow(true);
}

void Monitor::Exit1Click() {
    view_.ShowTrayIcon(false);
    view_.Terminate();
}

void Monitor::ApplicationMinimize() {
    if (env_.liveMode)
        view_.SetApplicationTitle(std::string(kAppTitle) + " " +
                                  PercentageText(progress_, env_.decimalSeparator));
    else
        view_.SetApplicationTitle(kAppTitle);
    minimized_ = true;
}

void Monitor::ApplicationRestore() {
    view_.SetApplicationTitle(kAppTitle);
    minimized_ = false;
}

}  // namespace monitor
