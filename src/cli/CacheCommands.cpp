#include "cli/CacheCommands.h"

#include <CLI/CLI.hpp>
#include <atomic>
#include <csignal>
#include <iostream>
#include <string>

#include "cache/CacheInfoForm.h"
#include "cache/WorkUnitCache.h"
#include "cli/CommandLine.h"
#include "cli/Headless.h"
#include "cli/Json.h"
#include "client/ClientControl.h"
#include "client/StartupRegistration.h"
#include "clientfiles/ClientDir.h"
#include "history/SettingsRecord.h"
#include "platform/Platform.h"
#include "views/MainView.h"
#include "views/MainWindowName.h"

namespace cli {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted = true;
}

// Only what the cache writes to the main window: the label and the menu.
class CacheStateView : public views::MainView {
public:
    void SetText(views::Control c, std::string_view text) override {
        if (c == views::Control::CacheStateLabel) label = text;
    }
    void SetVisible(views::Control c, bool visible) override {
        if (c == views::Control::ConnectMenu) connectMenu = visible;
    }
    void SetHint(views::Control, std::string_view) override {}
    void SetEnabled(views::Control, bool) override {}
    void SetChecked(views::Control, bool) override {}
    void SetFontColor(views::Control, views::Rgb) override {}
    void SetUnderline(views::Control, bool) override {}
    void SetPosition(views::Control, int) override {}
    void AlignLabel(views::Control, int, int) override {}
    void SetPicture(views::Control, const canvas::Canvas&) override {}
    void SetBounds(views::Control, int, int, int, int) override {}
    void SetGlyph(views::Control, views::Glyph) override {}
    void SetHandCursor(views::Control, bool) override {}
    views::Rgb ButtonFaceColor() const override { return {}; }
    void SetTimer(views::TimerId, bool) override {}
    void AddSelectorItem(std::string_view) override {}
    void SelectSelectorItem(int) override {}
    void SetWindowTitle(std::string_view) override {}
    void SetApplicationTitle(std::string_view) override {}
    void ShowWindow(bool) override {}
    void ShowTrayIcon(bool) override {}
    void SetWindowEnabled(bool) override {}
    void Terminate() override {}
    views::SignalInfoView& OpenSignalInfo(views::SignalInfoEvents&) override { std::abort(); }

    std::string label;
    bool connectMenu = false;
};

// Messages and progress on stderr; nobody is asked anything (an Abort for
// a failed return), and Ctrl-C is the progress window's Cancel.
class HeadlessDialogs : public StderrDialogs {
public:
    explicit HeadlessDialogs(platform::Clock& clock) : clock_(clock) {}
    bool AskOkCancel(std::string_view text) override {
        Print(text);
        return true;
    }
    bool AskAbortRetry(std::string_view text) override {
        Print(text);
        return false;
    }
    void ShowCacheInfoForm(views::CacheInfoEvents& events) override {
        cache::RunCacheInfoHeadless(
            events, clock_, [] { return interrupted.load(); },
            [](std::string_view title) { Print(std::string(title) + "..."); });
    }

private:
    platform::Clock& clock_;
};

int RunCacheAction(const std::string& action, const std::string& dir) {
    platform::NativePlatform native;
    const platform::Services services = native.services();
    const auto clientDir = ExistingClientDir(services.files, dir);
    if (!clientDir) return kUsageError;
    const std::string& clientPath = *clientDir;
    HeadlessDialogs dialogs(services.clock);
    CacheStateView view;
    UserSettings loaded = ReadUserSettings(services);
    history::TSettingsRec& settings = loaded.settings;
    client::ClientControl control(services, dialogs, settings);
    control.SetClientPath(clientPath);
    control.FindClient();
    client::StartupRegistration registration(services.startup, services.environment, control);
    const std::string programDir = services.environment.ProgramDirectory();
    const std::string ext = clientfiles::DecideClientFileExt(services.files, clientPath);
    const std::string settingsPath = programDir + history::kSettingsFileName;
    cache::WorkUnitCache cache({services,
                                dialogs,
                                view,
                                control,
                                registration,
                                settings,
                                [&] { return programDir; },
                                [&] { return ext; },
                                [&] {
                                    // Only a settings file that was there is
                                    // rewritten: no installation is made here.
                                    if (!loaded.readable) return true;
                                    return services.files.WriteFile(
                                        settingsPath, history::EncodeSettingsRecord(settings));
                                },
                                {},
                                {}});

    int status = 0;
    if (action == "refresh") {
        if (control.Kind() == client::ClientKind::None) {
            std::cerr << "skyvane-cli: no SETI@home client in " << dir << "\n";
            return 1;
        }
        // A running Skyvane keeps the cache itself: this refresh would
        // repair, as left by a dead cycle, the files of one it is running.
        if (services.windows.WindowExists(views::kMainWindowClass, views::kAppTitle)) {
            std::cerr << "skyvane-cli: Skyvane is running and keeps the cache; refresh it there, "
                         "or close it first\n";
            return 1;
        }
        // As Skyvane's start does before anything touches the cache: a
        // cycle that died half way may have left files where this one
        // would trip over them, or a client running in the scratch folder.
        cache.RecoverCache();
        std::signal(SIGINT, OnInterrupt);
        status = cache.RefreshHeadless() ? 0 : 1;
        std::signal(SIGINT, SIG_DFL);
        if (interrupted) std::cerr << "skyvane-cli: cancelled\n";
    }
    cache.ShowCacheState();
    const auto& n = cache.Counters();
    JsonObject json;
    json.Add("CachedWorkUnits", static_cast<long long>(n.CachedWorkUnits));
    json.Add("CachedResults", static_cast<long long>(n.CachedResults));
    json.Add("CacheTotal", static_cast<long long>(n.CacheTotal));
    json.Add("CacheStateLabel", view.label);
    json.Add("ConnectMenu", view.connectMenu);
    std::cout << json.ToString() << "\n";
    return status;
}

}  // namespace

void AddCacheCommand(CLI::App& app, CommandResult& result) {
    CLI::App* command = app.add_subcommand("cache", "the work-unit cache in the program directory");
    command->footer(
        "Each command prints the cache's counters as JSON: CachedWorkUnits, CachedResults,\n"
        "CacheTotal, CacheStateLabel and ConnectMenu (whether the window offers a refresh).\n"
        "refresh asks nothing, shows its progress on stderr and is cancelled by Ctrl-C; its\n"
        "exit status is 0 only when the refresh completed. It refuses while a Skyvane window\n"
        "is open: that window keeps the cache.");
    AddActions(*command,
               {
                   {"status", "print the cache's counters"},
                   {"refresh",
                    "return every cached result and fetch a new batch through the client, as "
                    "the menu's \"Connect to the server\" does"},
               },
               result, RunCacheAction);
}

}  // namespace cli
