#pragma once
// Recording fakes of the services client control drives: processes, the
// top-level windows, the shell's executable type and SYSTEM.INI, and the
// start-up values. Each records what was asked of it and answers from
// fields the test sets.

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/RecordingShell.h"

namespace testsupport {

// A text client's executable as the real clients of each system are named.
constexpr const char* kTextExe =
#ifdef _WIN32
    "setiathome-3.03.i386-winnt-cmdline.exe";
#else
    "setiathome-3.08.i686-pc-linux-gnu";
#endif

// A process the fakes know: whether it runs and how it takes being ended.
struct FakeProcessState {
    bool running = true;
    bool endsOnTerminate = true;  // false: ignores the request (SIGTERM)
    bool endsOnKill = true;       // false: cannot be ended at all
    bool mayOpen = true;
    int terminated = 0;
    int killed = 0;
};

class FakeProcesses : public platform::Processes {
public:
    struct Launch {
        std::string commandLine;
        std::string directory;
        platform::ShowMode show;
    };
    std::vector<Launch> launches;
    std::set<std::string> launchable;  // paths IsLaunchable accepts
    std::map<std::string, std::vector<platform::ProcessId>> byExecutable;
    std::map<platform::ProcessId, FakeProcessState> processes;

    bool Launch(const std::string& commandLine, const std::string& directory,
                platform::ShowMode show) override {
        launches.push_back({commandLine, directory, show});
        return true;
    }
    bool IsLaunchable(const std::string& path) override { return launchable.count(path) != 0; }
    std::vector<platform::ProcessId> FindByExecutable(const std::string& path) override {
        std::vector<platform::ProcessId> running;
        for (auto id : byExecutable[path])
            if (processes[id].running) running.push_back(id);
        return running;
    }
    std::unique_ptr<platform::Process> Open(platform::ProcessId id) override {
        auto found = processes.find(id);
        if (found == processes.end() || !found->second.mayOpen || !found->second.running)
            return nullptr;
        return std::make_unique<Handle>(found->second);
    }

private:
    class Handle : public platform::Process {
    public:
        explicit Handle(FakeProcessState& state) : state_(state) {}
        bool Terminate() override {
            ++state_.terminated;
            if (state_.endsOnTerminate) state_.running = false;
            return true;
        }
        bool Kill() override {
            ++state_.killed;
            if (state_.endsOnKill) state_.running = false;
            return true;
        }
        bool Running() override { return state_.running; }

    private:
        FakeProcessState& state_;
    };
};

class FakeWindows : public platform::TopLevelWindows {
public:
    struct Window {
        platform::WindowInfo info;
        platform::ProcessId process = 0;
        bool closesOnDestroy = true;
        bool closesOnQuit = true;
    };
    std::vector<Window> windows;  // in the system's order
    // "PostDestroy <title>", "PostQuit <title>", "Cursor x,y", "ShowCursor 0"
    std::vector<std::string> calls;
    bool hasPointer = true;
    // Windows of processes that stopped running vanish with them.
    const std::map<platform::ProcessId, FakeProcessState>* processes = nullptr;

    void Add(std::string windowClass, std::string title, platform::ProcessId process = 0) {
        Window w;
        w.info.handle = windows.size() + 1;
        w.info.windowClass = std::move(windowClass);
        w.info.title = std::move(title);
        w.process = process;
        windows.push_back(std::move(w));
    }

    bool WindowExists(std::string_view windowClass, std::string_view title) override {
        return FindWindow(windowClass, title).has_value();
    }
    std::optional<platform::WindowInfo> FindWindow(std::string_view windowClass,
                                                   std::string_view title) override {
        for (const auto& w : Live())
            if (w.info.windowClass == windowClass && w.info.title == title) return w.info;
        return std::nullopt;
    }
    std::vector<platform::WindowInfo> EnumerateWindows() override {
        std::vector<platform::WindowInfo> infos;
        for (const auto& w : Live())
            infos.push_back(w.info);
        return infos;
    }
    std::optional<platform::ProcessId> WindowProcess(const platform::WindowInfo& window) override {
        for (const auto& w : Live())
            if (w.info.handle == window.handle && w.process != 0) return w.process;
        return std::nullopt;
    }
    bool PostDestroy(const platform::WindowInfo& window) override {
        calls.push_back("PostDestroy " + window.title);
        windows.erase(std::remove_if(windows.begin(), windows.end(),
                                     [&](const Window& w) {
                                         return w.info.handle == window.handle && w.closesOnDestroy;
                                     }),
                      windows.end());
        return true;
    }
    bool PostQuit(const platform::WindowInfo& window) override {
        calls.push_back("PostQuit " + window.title);
        windows.erase(std::remove_if(windows.begin(), windows.end(),
                                     [&](const Window& w) {
                                         return w.info.handle == window.handle && w.closesOnQuit;
                                     }),
                      windows.end());
        return true;
    }
    std::optional<platform::ScreenPoint> CursorPosition() override {
        if (!hasPointer) return std::nullopt;
        calls.push_back("GetCursor");
        return platform::ScreenPoint{640, 480};
    }
    void SetCursorPosition(platform::ScreenPoint p) override {
        calls.push_back("Cursor " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void ShowCursor(bool show) override { calls.push_back(show ? "ShowCursor 1" : "ShowCursor 0"); }
    std::unique_ptr<platform::WindowAnnouncement> Announce(std::string_view,
                                                           std::string_view) override {
        return nullptr;
    }

private:
    std::vector<Window> Live() const {
        std::vector<Window> live;
        for (const auto& w : windows) {
            if (processes != nullptr && w.process != 0) {
                auto p = processes->find(w.process);
                if (p != processes->end() && !p->second.running) continue;
            }
            live.push_back(w);
        }
        return live;
    }
};

class FakeShell : public RecordingShell {
public:
    std::map<std::string, platform::ExeType> exeTypes;  // by path; Unknown otherwise
    std::string screenSaver;                            // SYSTEM.INI [boot] SCRNSAVE.EXE

    platform::ExeType ExecutableType(const std::string& path) override {
        auto found = exeTypes.find(path);
        return found == exeTypes.end() ? platform::ExeType::Unknown : found->second;
    }
    std::string ReadSystemIni(std::string_view section, std::string_view key) override {
        return section == "boot" && key == "SCRNSAVE.EXE" ? screenSaver : std::string();
    }
};

class FakeStartupValues : public platform::StartupValues {
public:
    // "Run\\Skyvane" -> command. Names compare without regard to case.
    std::map<std::string, std::string> values;
    bool broken = false;  // the place that holds them cannot be opened

    static std::string Key(std::string_view subkey, std::string_view name) {
        std::string key = std::string(subkey) + "\\" + std::string(name);
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return key;
    }
    bool Write(std::string_view subkey, std::string_view name, std::string_view command) override {
        if (broken) return false;
        values[Key(subkey, name)] = std::string(command);
        return true;
    }
    bool Delete(std::string_view subkey, std::string_view name) override {
        if (broken) return false;
        values.erase(Key(subkey, name));
        return true;
    }
    std::optional<bool> Exists(std::string_view subkey, std::string_view name) override {
        if (broken) return std::nullopt;
        return values.count(Key(subkey, name)) != 0;
    }
    std::optional<std::string> Read(std::string_view subkey, std::string_view name) override {
        auto found = values.find(Key(subkey, name));
        if (broken || found == values.end()) return std::nullopt;
        return found->second;
    }
};

}  // namespace testsupport
