#pragma once
// The logic of the main window: start-up, the polling loop that follows the
// client, and the window's life. It decides everything and writes the
// outcome to a MainView; TMainForm only forwards its events here.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cache/WorkUnitCache.h"
#include "client/ClientControl.h"
#include "client/StartupRegistration.h"
#include "clientfiles/Readers.h"
#include "clientfiles/Scanner.h"
#include "inspection/SignalInfo.h"
#include "monitor/Progress.h"
#include "monitor/SettingsStore.h"
#include "platform/Platform.h"
#include "setup/Install.h"
#include "signals/BestSignals.h"
#include "signals/DriftBar.h"
#include "signals/Graph.h"
#include "signals/GraphMenus.h"
#include "signals/ResultFile.h"
#include "signals/SignalRecords.h"
#include "signals/Totals.h"
#include "views/Dialogs.h"
#include "views/MainView.h"

namespace monitor {

// How start-up ended.
enum class StartupResult {
    ShowWindow,  // show the main window
    Hidden,      // keep running with only the tray icon (start in tray)
    Terminate,   // end the program without showing a window
};

// Selector items before the archive numbers.
inline constexpr int kCurrentItem = 0;
inline constexpr int kTotalItem = 1;

// Start-up options that are not the user's: the command-line words, and
// whether files may be written (skyvane-cli reads only).
struct StartupOptions {
    std::vector<std::string> args;
    bool readOnly = false;
};

class Monitor : private clientfiles::StateListener {
public:
    Monitor(views::MainView& view, views::Dialogs& dialogs, platform::Services services);
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;
    ~Monitor() override;

    // The start-up sequence. Every dialog it needs (client path, errors) is
    // asked for through Dialogs.
    StartupResult FormCreate(const StartupOptions& options);
    // The process's exit code once start-up ended with Terminate.
    int ExitCode() const { return exitCode_; }

    // Start-up for a known client directory without the user's settings, the
    // registry or the single-instance test: what skyvane-cli shows. Creates
    // nothing when options.readOnly is set.
    void OpenClientDirectory(const std::string& clientDir, const StartupOptions& options);

    // The timers. A tick that arrives while another tick or a reading is
    // still under way (a message box runs its own event loop) is skipped;
    // the next tick catches up.
    void Timer1Timer();  // the poll, every 2 s
    void Timer2Timer();  // after a finish: waits for the next work unit
    void Timer3Timer();  // returns the view to the live work unit
    void Timer4Timer();  // near the end of the sweep: watches for the finish

    // The graph's menus, captions and mouse (picture pixels).
    void ScaleClick(std::uint8_t code) { graph_.ScaleClick(code); }
    void ShowSignalsMenuClick(int kind) { graph_.ShowSignalsMenuClick(kind); }
    void PlotMenuClick(bool dots) { graph_.PlotMenuClick(dots); }
    void ChangeAxisLabel(int kind) { graph_.ChangeAxisLabel(kind); }
    void ImageMouseMove(int x, int y) { graph_.ImageMouseMove(x, y); }
    void ImageMouseUp(int x, int y);
    // The button under the graph: offers a planetarium program's site.
    void SkyMapButtonClick();
    // The zoom button: the ±10 Hz/s view and back.
    void ZoomBtnClick();

    // The work-unit selector: 0 "current", 1 "total", N + 1 archive N.
    void WUComboBoxChange(int index);
    // The "&Total" menu: which signals the totals collect (1 all, 2 best
    // five, 3 last twenty work units), and whether fast work units count.
    void TotalMenuClick(std::uint8_t mode);
    void MenuTotalIgnoreClick();
    // The selector item shown now.
    int ShownView() const { return shownView_; }

    // The window's close button: hide to the tray; the close is refused.
    void FormClose();
    // Tray click or tray menu "Show".
    void Show1Click();
    // "Exit": the only way to end the program from the window.
    void Exit1Click();
    // "&About...": the about box.
    void About1Click();
    // "&Internet": the product's site and the SETI@home project's site.
    void Skyvanesite1Click();
    void SETIhomesite1Click();
    // "&Settings...": the settings dialog, modal.
    void Settings1Click();
    // "WU &Cache...": the cache dialog, modal.
    void WUCache1Click();
    // "&Connect to the server": a refresh of the cache, whatever its state.
    void ConnectMenuClick();
    // Application minimised / restored.
    void ApplicationMinimize();
    void ApplicationRestore();

    // What the window logic has learned so far (read by the CLI and tests).
    const std::string& ClientPath() const { return env_.clientPath; }
    const std::string& ClientFileExt() const { return env_.clientFileExt; }
    const std::string& ProgramDirectory() const { return programDir_; }
    std::int32_t ArchiveCount() const { return env_.archiveCount; }
    bool LiveMode() const { return env_.liveMode; }
    bool Minimized() const { return minimized_; }
    bool TimerEnabled(views::TimerId t) const { return timers_[static_cast<std::size_t>(t)]; }
    const clientfiles::ClientFigures& Figures() const { return figures_; }
    const history::TSettingsRec& Settings() const { return settings_.Values(); }
    const signals::GraphMenus& Menus() const { return menus_; }
    const signals::SignalLists& Lists() const { return lists_; }
    const signals::Graph& GraphView() const { return graph_; }
    const signals::DriftBar& Bar() const { return driftBar_; }
    const signals::BestValues& Bests() const { return bests_.Values(); }
    // Indices of the selected signal of each kind (-1: none).
    const std::array<std::int32_t, 4>& SelectedSignals() const { return selected_; }
    // The signal info window, closed before the lists are freed or trimmed
    // (the selector, the cache); its logic, for tests and front ends.
    void CloseSignalInfo() { signalInfo_.CloseSignalInfo(); }
    inspection::SignalInfo& SignalInfoWindow() { return signalInfo_; }
    const std::string& WorkUnitPath() const { return workUnitPath_; }
    const std::string& StatePath() const { return statePath_; }
    const std::string& OutfilePath() const { return outfilePath_; }
    // The client's process control and its start-up values.
    client::ClientControl& Client() { return client_; }
    client::StartupRegistration& Registration() { return registration_; }
    // The work-unit cache.
    cache::WorkUnitCache& Cache() { return cache_; }

    // Follows another client directory (with its separator): the client is
    // looked for there, and the current view or the totals show it.
    void ChangeClientDirectory(const std::string& path);

private:
    bool FindClientDirectory(bool& settingsChanged);
    // Start-up from the archive counter on. False when it stopped early.
    bool ShowClientDirectory(bool readOnly);
    bool ReadArchiveCounter(bool readOnly);
    // The file of archive `number`: "old/seti<number>.txt", or for a
    // read-only session the client's result that stands in for it.
    std::string ArchivePath(std::int32_t number) const;
    // Selector items for every archive number up to `number` that has none.
    void AddArchiveItems(std::int32_t number);
    void SetLivePaths();
    std::string ClientFile(std::string_view baseName) const;
    std::string ResultFile() const { return ClientFile("result"); }
    void SetTimer(views::TimerId t, bool enabled);
    // What the readers need to know, brought up to date.
    const clientfiles::ReaderEnvironment& Env();
    void ReadWorkUnitHeader();
    void SetZoom(int state);
    bool Busy() const;

    // One poll; Timer1Timer without the re-entry guard.
    void Poll();
    void StartNextWorkUnit();
    // False when archiving failed and the rest of the poll is abandoned.
    bool FinishWorkUnit();
    // The finished work unit's result into the cache and the next work unit
    // out of it, when the cache is in use.
    void RunCacheCycleAfterFinish();
    // Start-up: the repair of a dead cycle, the counters, and a work unit
    // for a client that has none.
    void StartCache();
    bool ArchiveResult();
    // A tick that must skip its work while a box is open archives a result
    // it sees all the same.
    void ArchiveWhileBusy();
    // Shows a message left by ArchiveWhileBusy, once the box is closed.
    void ShowPendingError();
    // Timer2's test; true when it switched to the next work unit.
    bool WaitForNextWorkUnit();

    // clientfiles::StateListener
    void ResetProgress() override;
    void ShowDriftProgress() override;
    bool ShowProgress() override;
    void UpdateLiveBests(clientfiles::Reading& reading, std::size_t bytesLoaded) override;
    void ComputeBestSignals() override;

    bool ReadResultFile();
    // What a reading of the result file needs to know, as things stand.
    signals::ResultReadContext ResultContext() const;
    // WUComboBoxChange for a new index, or to rebuild the view shown.
    void ShowView(int index);
    void ShowCurrentView();
    void ShowTotalView();
    bool ShowArchivedView(std::int32_t number);
    void ShowPanels(bool userAndTotals);
    void SelectCurrent();
    // Opens the signal info window on the selection, or shows it anew.
    void ShowSignalInfo() { signalInfo_.ShowSignalInfo(); }

    // First run or upgrade: the install/upgrade dialog. False when start-up
    // ends here (installed elsewhere and restarted there, or cancelled).
    bool ShowInstallDialog();

    views::MainView& view_;
    views::Dialogs& dialogs_;
    platform::Services services_;
    clientfiles::ReadingGate gate_;
    clientfiles::ClientFigures figures_;
    clientfiles::ClientReaders readers_;
    clientfiles::ReaderEnvironment env_;
    signals::GraphMenus menus_;
    SettingsStore settings_;
    client::ClientControl client_;
    client::StartupRegistration registration_;
    cache::WorkUnitCache cache_;
    signals::SignalLists lists_;
    signals::ShownMarkers shown_;
    signals::ResultFileReader resultReader_;
    signals::Totals totals_;
    signals::Graph graph_;
    signals::BestSignals bests_;
    signals::DriftBar driftBar_;
    std::array<std::int32_t, 4> selected_{-1, -1, -1, -1};
    ProgressDisplay progress_;
    // Last: it closes its window before anything it shows goes.
    inspection::SignalInfo signalInfo_;

    std::string programDir_;
    std::string workUnitPath_, statePath_, outfilePath_;
    // Stamp of the state file when it was last read; 0 forces a reading.
    platform::DosStamp lastStateAge_ = 0;
    std::array<bool, 4> timers_{};
    bool inTick_ = false;
    bool readOnly_ = false;  // skyvane-cli: nothing is written
    int shownView_ = kCurrentItem;
    // The highest archive number that has a selector item. Items are
    // contiguous from 1, so item index N + 1 is archive N.
    std::int32_t selectorLast_ = 0;
    // skyvane-cli writes nothing: a finished result that the window would
    // archive is shown as that archive from the client's own file.
    std::optional<std::int32_t> unwrittenArchive_;
    // A finish was archived while a box was open: the view follows it once
    // the box is closed.
    bool finishPending_ = false;
    // The work unit ArchiveWhileBusy last tried, and the message it left.
    std::string archivedWhileBusy_;
    std::string pendingError_;
    // Whether the client was working on a work unit when the window last
    // left the live view: the other views watch for its finish.
    bool workUnitInProgress_ = true;
    std::int32_t currentArchiveNumber_ = 0;
    bool minimized_ = false;
    std::unique_ptr<platform::WindowAnnouncement> announcement_;
    // Installed where it runs during this start: no single-instance test.
    bool installedNow_ = false;
    int exitCode_ = 0;
};

}  // namespace monitor
