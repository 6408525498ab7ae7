#include "client/ClientControl.h"

#include <algorithm>

namespace client {

namespace {

using namespace std::chrono_literals;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// The name a text client's console window is titled with: its file name
// without ".exe", dots removed (setiathome-3.03.i386-winnt-cmdline.exe:
// setiathome-303i386-winnt-cmdline).
std::string ConsoleTitle(std::string_view exeName) {
    if (EndsWithIgnoringCase(exeName, ".exe")) exeName.remove_suffix(4);
    return StripDots(exeName);
}

// The last component of a path with either separator.
std::string_view FileNamePart(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

constexpr auto kTerminateWait = 5000ms;
constexpr auto kPollStep = 100ms;

}  // namespace

std::string StripDots(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '.') out += c;
    }
    return out;
}

bool IsClientWindow(const platform::WindowInfo& window) {
    const bool console = window.windowClass == kConsoleWindowClass ||
                         EqualsIgnoringCase(window.windowClass, "CONSOLEWINDOWCLASS");
    if (console)
        return window.title.find("setiathome") != std::string::npos ||
               window.title.find("SETI@home") != std::string::npos;
    return window.title.find("setiathome-3") != std::string::npos;
}

bool DeleteWithRetry(platform::Files& files, platform::Clock& clock, views::Dialogs& dialogs,
                     const std::string& path) {
    // Nothing to delete is not worth five seconds of trying.
    if (!files.FileExists(path)) return true;
    constexpr int kAttempts = 11;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) clock.Sleep(500ms);
        if (files.DeleteFile(path)) break;
    }
    if (!files.FileExists(path)) return true;
    dialogs.ShowError("Unable to delete" + path + "\rTerminataing the cache operation.");
    return false;
}

ClientControl::ClientControl(platform::Services services, views::Dialogs& dialogs,
                             const history::TSettingsRec& settings)
    : services_(services), dialogs_(dialogs), settings_(settings) {}

void ClientControl::FindClient() {
    exeName_.clear();
    auto& processes = services_.processes;
    if (processes.IsLaunchable(clientPath_ + std::string(kGraphicalExeName))) {
        exeName_ = kGraphicalExeName;
    } else {
        for (const auto& entry :
             services_.files.ListDirectory(clientPath_, platform::TextClientPattern())) {
            if (entry.isDirectory || !processes.IsLaunchable(clientPath_ + entry.name)) continue;
            exeName_ = entry.name;
            break;
        }
    }
    if (exeName_.empty()) {
        kind_ = ClientKind::None;
        return;
    }
    // The shell knows a console program from a windowed one; where it cannot
    // tell (always on Linux), the name decides.
    switch (services_.shell.ExecutableType(clientPath_ + exeName_)) {
        case platform::ExeType::Windowed:
            kind_ = ClientKind::Graphical;
            break;
        case platform::ExeType::Console:
            kind_ = ClientKind::Text;
            break;
        case platform::ExeType::Unknown:
            kind_ = EqualsIgnoringCase(exeName_, kGraphicalExeName) ? ClientKind::Graphical
                                                                    : ClientKind::Text;
            break;
    }
    stopSwitch_ = kind_ == ClientKind::Text ? std::string(kStopAfterProcess) : std::string();
}

std::string ClientControl::ExecutablePath() const {
    const std::string inClientDir = clientPath_ + exeName_;
    if (exeName_.empty() || services_.files.FileExists(inClientDir)) return inClientDir;
    // In the scratch directory of a refresh there is no executable: the real
    // directory has it.
    return savedClientPath_ + exeName_;
}

std::string ClientControl::CommandLine() const {
    switch (kind_) {
        case ClientKind::Text:
            return ExecutablePath() + " " + stopSwitch_ + " " + settings_.ClientParams;
        case ClientKind::Graphical:
            return ExecutablePath() + " " + std::string(kMinimizedSwitch);
        case ClientKind::None:
            break;
    }
    return ExecutablePath();
}

bool ClientControl::StartClient() {
    if (kind_ == ClientKind::None) return true;
    // A text client finds its work files in its current directory, the
    // scratch directory of a refresh included.
    if (!services_.files.DirectoryExists(clientPath_)) {
        dialogs_.ShowError("Cannot start the SETI@home client in \"" + clientPath_ +
                           "\": the directory does not exist.");
        return false;
    }
    const std::string exe = ExecutablePath();
    if (services_.processes.IsLaunchable(exe)) {
        // Whether it started is not ours to know: a waiting caller sees the
        // client's files change, or not.
        services_.processes.Launch(
            CommandLine(), clientPath_,
            settings_.HideClient ? platform::ShowMode::Hidden : platform::ShowMode::Normal);
    }
    if (kind_ == ClientKind::Graphical) StartScreenSaver();
    return true;
}

// The windowed client comes with a screen saver; when it is the system's,
// it is started along with the client.
void ClientControl::StartScreenSaver() {
    const std::string saver = services_.shell.ReadSystemIni("boot", "SCRNSAVE.EXE");
    if (!EqualsIgnoringCase(FileNamePart(saver), "SETIHOME.SCR")) return;
    services_.clock.Sleep(200ms);
    services_.shell.OpenUrl(saver);
}

template <class Running>
bool ClientControl::WaitWhile(Running running, std::chrono::milliseconds step,
                              std::chrono::milliseconds limit) {
    auto& clock = services_.clock;
    const auto start = clock.Now();
    while (running()) {
        if (clock.Now() - start >= limit) return false;
        clock.Sleep(step);
    }
    return true;
}

bool ClientControl::StopClient() {
    switch (kind_) {
        case ClientKind::Text:
            return StopTextClient();
        case ClientKind::Graphical:
            return StopGraphicalClient();
        case ClientKind::None:
            break;
    }
    return true;
}

ClientControl::Found ClientControl::FindTextClient() {
    Found found;
    auto& windows = services_.windows;
    found.window = windows.FindWindow(kConsoleWindowClass, ConsoleTitle(exeName_));
    if (!found.window) {
        for (auto& window : windows.EnumerateWindows()) {
            if (IsClientWindow(window)) {
                found.window = std::move(window);
                break;
            }
        }
    }
    if (found.window) {
        found.process = windows.WindowProcess(*found.window);
        return found;
    }
    // A client without a window, started from a terminal or by cron, is
    // known by the file it runs.
    const auto running = services_.processes.FindByExecutable(ExecutablePath());
    if (!running.empty()) found.process = running.front();
    return found;
}

std::optional<platform::ProcessId> ClientControl::FindRunningClient() {
    if (kind_ == ClientKind::Text) return FindTextClient().process;
    if (kind_ == ClientKind::Graphical) {
        auto window = services_.windows.FindWindow(kGraphicalWindowClass, kGraphicalWindowTitle);
        if (window) return services_.windows.WindowProcess(*window);
    }
    return std::nullopt;
}

bool ClientControl::StopTextClient() {
    const Found found = FindTextClient();
    if (!found.window && !found.process) return true;  // no client runs

    std::unique_ptr<platform::Process> process;
    if (found.process) process = services_.processes.Open(*found.process);
    if (process && process->Terminate()) {
        WaitWhile([&] { return process->Running(); }, kPollStep, kTerminateWait);
        // A client that saves its work on the request gets those seconds;
        // one that does not is ended now (Windows has ended it already).
        if (process->Running()) process->Kill();
    }

    auto& windows = services_.windows;
    const bool gone = WaitWhile(
        [&] {
            if (process && process->Running()) return true;
            return found.window &&
                   windows.WindowExists(found.window->windowClass, found.window->title);
        },
        300ms, kStopWaitLimit);
    if (!gone) {
        dialogs_.ShowError(kCannotStopMessage);
        return false;
    }
    services_.clock.Sleep(400ms);
    return true;
}

void ClientControl::NudgePointer() {
    auto& windows = services_.windows;
    const auto position = windows.CursorPosition();
    if (!position) return;
    windows.ShowCursor(false);
    windows.SetCursorPosition({0, 0});
    services_.clock.Sleep(10ms);
    windows.SetCursorPosition({200, 200});
    services_.clock.Sleep(20ms);
    windows.SetCursorPosition(*position);
    windows.ShowCursor(true);
}

bool ClientControl::StopGraphicalClient() {
    auto& windows = services_.windows;
    const auto window = windows.FindWindow(kGraphicalWindowClass, kGraphicalWindowTitle);
    if (!window) return true;
    // The windowed client may be showing its screen saver; a move of the
    // pointer brings it back to where it takes messages.
    NudgePointer();
    windows.PostDestroy(*window);
    const bool gone = WaitWhile(
        [&] { return windows.WindowExists(kGraphicalWindowClass, kGraphicalWindowTitle); }, 300ms,
        kStopWaitLimit);
    if (!gone) {
        dialogs_.ShowError(kCannotStopMessage);
        return false;
    }
    services_.clock.Sleep(500ms);
    return true;
}

bool ClientControl::WriteClientDirToRegistry(const std::string& path) {
    if (kind_ != ClientKind::Graphical || path.empty()) return false;
    // The client keeps its directory without the trailing separator.
    const std::string value = path.substr(0, path.size() - 1);
    bool readBack = false;
    for (const auto root : {platform::RegRoot::LocalMachine, platform::RegRoot::CurrentUser}) {
        auto key = services_.registry.OpenKey(root, kClientRegistryKey, platform::RegAccess::Write);
        std::string read;
        if (key) {
            key->WriteString(kClientDirValue, value);
            read = key->ReadString(kClientDirValue).value_or("");
        }
        readBack = EqualsIgnoringCase(read + path.back(), path);
    }
    if (readBack) clientPath_ = path;
    return readBack;
}

bool ClientControl::SetStopMode(bool afterProcessing) {
    switch (kind_) {
        case ClientKind::Text:
            stopSwitch_ = afterProcessing ? kStopAfterProcess : kStopAfterXfer;
            return true;
        case ClientKind::Graphical: {
            const std::string marker = clientPath_ + std::string(kStopMarkerFile);
            if (afterProcessing)
                return DeleteWithRetry(services_.files, services_.clock, dialogs_, marker);
            if (services_.files.WriteFile(marker, "")) return true;
            dialogs_.ShowError("Cannot write \"" + marker + "\".");
            return false;
        }
        case ClientKind::None:
            break;
    }
    return true;
}

bool ClientControl::SetConfigFlag(std::uint8_t value) {
    if (kind_ != ClientKind::Graphical) return true;
    const std::string path = clientPath_ + std::string(kConfigFile);
    auto record = services_.files.ReadFile(path, kConfigRecordSize);
    if (!record || record->size() < kConfigRecordSize) {
        // Writing a record we could not read whole would hand the client a
        // configuration it never had.
        dialogs_.ShowError("Cannot read \"" + path + "\": the file is missing or shorter than " +
                           std::to_string(kConfigRecordSize) + " bytes.");
        return false;
    }
    (*record)[kConfigFlagOffset] = static_cast<char>(value);
    if (services_.files.WriteFile(path, *record)) return true;
    dialogs_.ShowError("Cannot write \"" + path + "\".");
    return false;
}

void ClientControl::RepairInterruptedConnect() {
    if (kind_ == ClientKind::Graphical) SetConfigFlag(1);
    std::string clientDir;
    if (auto key = services_.registry.OpenKey(platform::RegRoot::LocalMachine, kClientRegistryKey,
                                              platform::RegAccess::Read)) {
        clientDir = key->ReadString(kClientDirValue).value_or("");
    } else {
        dialogs_.ShowError("Error accessing the registry.");
    }
    // The scratch directory the refresh pointed the client at.
    constexpr std::string_view kScratch = "TEMP123";
    if (EndsWithIgnoringCase(clientDir, kScratch))
        WriteClientDirToRegistry(clientDir.substr(0, clientDir.size() - kScratch.size()));
}

}  // namespace client
