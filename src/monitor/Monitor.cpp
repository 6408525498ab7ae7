#include "monitor/Monitor.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "cache/CacheForm.h"
#include "clientfiles/ClientDir.h"
#include "history/Archive.h"
#include "history/ArchiveCounter.h"
#include "inspection/SignalSort.h"
#include "setup/SetForm.h"
#include "setup/Sites.h"
#include "views/MainWindowName.h"

namespace monitor {

namespace {

using views::Control;
using views::kAppTitle;
using views::kMainWindowClass;
using views::TimerId;

using client::kClientDirValue;
using client::kClientRegistryKey;
// Below this drift rate the client is in the last stretch of its sweep and
// the finish is watched ten times a second.
constexpr double kFinishWatchChirp = -47;
// A free planetarium program, for a look at the sky the work unit came from.
constexpr const char* kSkyMapUrl = "https://stellarium.org/";
constexpr const char* kSkyMapQuestion =
    "Would you like to see where in the sky this work unit was recorded?\n"
    "Stellarium is a free planetarium program that shows the sky from any place on Earth "
    "at any time. Open its web site?";

// The graph's place in the window and the drift-rate bar's seam under it.
signals::GraphGeometry DesignGraphGeometry() {
    return signals::GraphGeometry::FromLayout(41, 97, 524, 247, 293, 339);
}

// Sets a flag for the life of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

Monitor::Monitor(views::MainView& view, views::Dialogs& dialogs, platform::Services services)
    : view_(view),
      dialogs_(dialogs),
      services_(services),
      gate_(dialogs),
      readers_(services.files, gate_, view, figures_),
      menus_(view),
      settings_(services.files, dialogs, menus_),
      client_(services, dialogs, settings_.Values()),
      registration_(services.startup, services.environment, client_),
      cache_(
          {services, dialogs, view, client_, registration_, settings_.Values(),
           [this] { return programDir_; }, [this] { return env_.clientFileExt; },
           [this] { return settings_.SaveSettings(); },
           [this] {
               const std::array<bool, 3> noted{TimerEnabled(TimerId::Timer1),
                                               TimerEnabled(TimerId::Timer2),
                                               TimerEnabled(TimerId::Timer3)};
               for (auto t : {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3, TimerId::Timer4})
                   SetTimer(t, false);
               return noted;
           },
           [this](const std::array<bool, 3>& noted) {
               SetTimer(TimerId::Timer1, noted[0]);
               SetTimer(TimerId::Timer2, noted[1]);
               SetTimer(TimerId::Timer3, noted[2]);
           }}),
      resultReader_(services.files, gate_, dialogs, lists_, shown_),
      totals_(services.files, resultReader_),
      graph_(view, DesignGraphGeometry(), lists_, menus_, services.environment.DecimalSeparator()),
      bests_(view, lists_, shown_, readers_, services.environment.DecimalSeparator()),
      driftBar_(view),
      progress_(view),
      signalInfo_(
          [this](views::SignalInfoEvents& events) -> views::SignalInfoView& {
              return view_.OpenSignalInfo(events);
          },
          lists_, selected_, figures_, env_, [this] { graph_.DrawSignals(false); }) {
    env_.decimalSeparator = services_.environment.DecimalSeparator();
    env_.onNaturalZoom = [this](int naturalZoom) {
        if (naturalZoom != driftBar_.ZoomState()) SetZoom(naturalZoom);
    };
}

const clientfiles::ReaderEnvironment& Monitor::Env() {
    env_.shownGaussian = shown_.ShownGaussian;
    env_.driftRange = driftBar_.DriftRange();
    return env_;
}

void Monitor::ReadWorkUnitHeader() {
    readers_.ReadWorkUnitHeader(workUnitPath_, Env());
}

Monitor::~Monitor() = default;

// ------------------------------------------------------------------ start-up

StartupResult Monitor::FormCreate(const StartupOptions& options) {
    programDir_ = services_.environment.ProgramDirectory();
    const std::string firstArg = options.args.empty() ? "" : options.args.front();

    // Set whenever the client directory was found anew, so that it is
    // remembered.
    bool settingsChanged = false;
    env_.clientPath.clear();
    // Removing Skyvane ends this process whatever the user answers.
    if (firstArg == setup::kUninstallWord) {
        const auto removed = setup::Uninstall(services_, registration_, dialogs_);
        exitCode_ =
            removed == setup::UninstallOutcome::OthersRunning ? setup::kOtherInstancesExitCode : 0;
        return StartupResult::Terminate;
    }

    auto loaded = settings_.LoadSettings(programDir_, firstArg == setup::kFirstWord);
    // A program that a package manager installed has nothing to install, no
    // copy to make and no menu entry to add: it writes its settings (the
    // defaults, or an older version's values) as "first" would, and starts.
    if (loaded == SettingsStore::LoadOutcome::Install && services_.environment.PackageInstalled())
        loaded = settings_.LoadSettings(programDir_, /*first=*/true);
    if (loaded == SettingsStore::LoadOutcome::Install && !ShowInstallDialog())
        return StartupResult::Terminate;
    env_.clientPath = settings_.Values().ClientPath;

    // A second Skyvane started without arguments leaves quietly. The test
    // runs before this window announces its own title, so it never finds
    // itself.
    if (!settings_.Values().MultipleInstances && options.args.empty() && !installedNow_ &&
        services_.windows.WindowExists(kMainWindowClass, kAppTitle))
        return StartupResult::Terminate;
    view_.SetWindowTitle(kAppTitle);
    announcement_ = services_.windows.Announce(kMainWindowClass, kAppTitle);

    // A cancelled search saves nothing: a settings file written then would
    // pass for an installation on the next start.
    if (!FindClientDirectory(settingsChanged)) return StartupResult::Terminate;
    env_.clientFileExt = clientfiles::DecideClientFileExt(services_.files, env_.clientPath);
    if (settingsChanged && !options.readOnly) {
        settings_.Values().ClientPath = env_.clientPath;
        settings_.SaveSettings();
    }

    client_.SetClientPath(env_.clientPath);
    client_.FindClient();
    // A refresh that died half way may have left the windowed client
    // pointed at its scratch directory. The recovery value carries the word
    // after "failure", so it is looked for in second place too.
    const auto repairWord = [&](std::size_t i) {
        return options.args.size() > i && (options.args[i] == client::kFixConnectWord ||
                                           options.args[i] == client::kFixPathWord);
    };
    if (!options.readOnly && (settings_.Values().ConnectPending || repairWord(0) ||
                              (firstArg == client::kFailureWord && repairWord(1)))) {
        client_.RepairInterruptedConnect();
        if (client_.ClientPath() != env_.clientPath) {
            env_.clientPath = client_.ClientPath();
            env_.clientFileExt = clientfiles::DecideClientFileExt(services_.files, env_.clientPath);
        }
    }
    if (firstArg == client::kRunClientWord) {
        client_.StartClient();
        return StartupResult::Terminate;
    }

    if (!ShowClientDirectory(options.readOnly)) return StartupResult::ShowWindow;

    // The recovery values are used up by the start they cause: armed again.
    if (settings_.Values().PowerFailureOnly && !options.readOnly)
        registration_.RegisterRecovery(true);

    if (settings_.Values().StartInTray) {
        view_.ShowTrayIcon(true);
        // Hidden to the tray; where there is none, the window decides how
        // it stays reachable.
        view_.ShowWindow(false);
        return StartupResult::Hidden;
    }
    return StartupResult::ShowWindow;
}

bool Monitor::ShowInstallDialog() {
    setup::InstallForm form(services_, dialogs_, [this] { settings_.SaveSettings(); });
    dialogs_.ShowInstallForm(form);
    switch (form.Outcome()) {
        case setup::InstallOutcome::InstalledHere:
            installedNow_ = true;
            return true;
        case setup::InstallOutcome::Pending:
            // The dialog never decided (a test's dialogs do that): start-up
            // goes on as it would without one.
            return true;
        case setup::InstallOutcome::OthersRunning:
            exitCode_ = setup::kOtherInstancesExitCode;
            return false;
        case setup::InstallOutcome::Restarted:
        case setup::InstallOutcome::Cancelled:
            return false;
    }
    return false;
}

void Monitor::OpenClientDirectory(const std::string& clientDir, const StartupOptions& options) {
    programDir_ = services_.environment.ProgramDirectory();
    env_.clientPath = clientfiles::WithTrailingSeparator(clientDir);
    env_.clientFileExt = clientfiles::DecideClientFileExt(services_.files, env_.clientPath);
    client_.SetClientPath(env_.clientPath);
    client_.FindClient();
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

bool Monitor::ShowClientDirectory(bool readOnly) {
    readOnly_ = readOnly;
    view_.AddSelectorItem("current");
    view_.AddSelectorItem("total");
    if (!ReadArchiveCounter(readOnly)) return false;

    readers_.ReadUserInfo(Env());
    view_.SelectSelectorItem(kCurrentItem);
    env_.selector = clientfiles::SelectorView::Current;
    SetLivePaths();
    menus_.ShowAxisKind();
    graph_.DrawGraphFrame();
    driftBar_.DrawGauges();
    if (!readOnly)
        StartCache();
    else
        cache_.ShowCacheState();

    SetTimer(TimerId::Timer1, true);
    Timer1Timer();
    // Whatever the first poll showed, the bar is drawn again on the next.
    driftBar_.SetLastGaugeValue(1000);
    ReadWorkUnitHeader();
    graph_.UpdatePriorityHints();
    return true;
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
        const auto reading = history::ReadArchiveCounter(files, programDir_);
        if (!reading.count) {
            dialogs_.ShowError(reading.error);
            return false;
        }
        env_.archiveCount = *reading.count;
        AddArchiveItems(env_.archiveCount);
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

std::string Monitor::ArchivePath(std::int32_t number) const {
    if (unwrittenArchive_ == number) return ResultFile();
    return history::ArchiveFilePath(programDir_, number);
}

void Monitor::AddArchiveItems(std::int32_t number) {
    for (; selectorLast_ < number; ++selectorLast_)
        view_.AddSelectorItem(std::to_string(selectorLast_ + 1));
}

// ---------------------------------------------------------------- the poll

void Monitor::SetTimer(TimerId t, bool enabled) {
    timers_[static_cast<std::size_t>(t)] = enabled;
    view_.SetTimer(t, enabled);
}

bool Monitor::Busy() const {
    return inTick_ || gate_.Busy();
}

void Monitor::Timer1Timer() {
    // The cache cycle has the client's files in hand; it stopped the
    // timers, and a tick queued before that waits.
    if (cache_.Busy()) return;
    if (Busy()) {
        ArchiveWhileBusy();
        return;
    }
    FlagScope tick(inTick_);
    ShowPendingError();
    Poll();
}

void Monitor::Poll() {
    // Only the live view follows the client; the other views watch for the
    // finish with Timer3.
    if (env_.selector != clientfiles::SelectorView::Current) return;
    auto& files = services_.files;
    if (std::exchange(finishPending_, false) && env_.liveMode && !files.FileExists(ResultFile())) {
        // The client finished, and returned its result, while a box was
        // open; the result is archived and the client is on its next work
        // unit.
        lastStateAge_ = 0;
        StartNextWorkUnit();
    }
    // The result file is there exactly while the client has finished the
    // work unit and not yet returned it.
    if (files.FileExists(ResultFile()) == env_.liveMode) {
        SetTimer(TimerId::Timer4, false);
        env_.liveMode = !env_.liveMode;
        // The paths change below; the new file is read whatever its stamp.
        // The client writes its result within the same two seconds as its
        // last state more often than not, and the two stamps would compare
        // equal.
        lastStateAge_ = 0;
        if (env_.liveMode) {
            StartNextWorkUnit();
        } else {
            if (!FinishWorkUnit()) return;
            if (!files.FileExists(ResultFile())) {
                // The result was taken away at once and the client is on
                // its next work unit: this nested poll finds it.
                Poll();
                return;
            }
            SetTimer(TimerId::Timer1, false);
            SetTimer(TimerId::Timer2, true);
            WaitForNextWorkUnit();
        }
    }

    // The client rewrites its state file as it works, so the file's stamp is
    // the one sign of news: progress, CPU time and new signals alike.
    const platform::DosStamp stamp = files.FileStamp(statePath_);
    if (stamp != lastStateAge_) {
        if (ReadResultFile()) graph_.DrawSignals(true);
        lastStateAge_ = stamp;
        readers_.ReadState(statePath_, Env(), *this);
        if (figures_.CurrentChirp < kFinishWatchChirp) SetTimer(TimerId::Timer4, true);
    }
    view_.SetVisible(Control::NoSignalsLabel, lists_.Empty());
}

void Monitor::StartNextWorkUnit() {
    SetLivePaths();
    // The window shows records that are about to go.
    CloseSignalInfo();
    lists_.ClearSignals();
    graph_.ClearGraph();
    ReadWorkUnitHeader();
    ResetProgress();
}

bool Monitor::FinishWorkUnit() {
    workUnitPath_ = statePath_ = outfilePath_ = ResultFile();
    ReadWorkUnitHeader();
    if (!ArchiveResult()) return false;
    if (!readOnly_) RunCacheCycleAfterFinish();
    return true;
}

void Monitor::RunCacheCycleAfterFinish() {
    if (!cache_.InUse() || cache_.ConnectDeferred()) return;
    // The signal records go with the result the cycle takes away.
    CloseSignalInfo();
    view_.SetWindowEnabled(false);
    cache_.RunCacheCycle();
    services_.files.DeleteFile(ClientFile("outfile"));
    view_.SetWindowEnabled(true);
    cache_.ShowCacheState();
}

void Monitor::StartCache() {
    // Before anything else looks at the cache: what a cycle that died half
    // way left behind goes where that cycle would have put it.
    cache_.RecoverCache();
    cache_.CountCache();
    auto& files = services_.files;
    if (!files.FileExists(ClientFile("work_unit")) && !files.FileExists(ResultFile()) &&
        cache_.InUse())
        cache_.RunCacheCycle();
    cache_.ShowCacheState();
}

bool Monitor::ArchiveResult() {
    const auto outcome = history::ArchiveResult(
        services_.files, programDir_, ResultFile(), figures_.WorkUnitName, env_.archiveCount,
        readOnly_ ? history::ArchiveMode::DryRun : history::ArchiveMode::Write);
    using Kind = history::ArchiveOutcome::Kind;
    // The copy is there (also when the counter could not be rewritten): its
    // item, and items for the numbers passed over, whose files exist.
    if (outcome.Copied()) {
        if (readOnly_) unwrittenArchive_ = outcome.number;
        AddArchiveItems(outcome.number);
    }
    if (outcome.kind == Kind::CounterFailed) {
        dialogs_.ShowError(outcome.error);
        return false;
    }
    return true;
}

void Monitor::ArchiveWhileBusy() {
    // The copy into the archive and the counter touch no signal list and no
    // window state but the selector's new item, so they need not wait for
    // the box: a client returns its result soon after finishing, and a user
    // away from the keyboard must not lose the work unit. The header is
    // read apart from the reading that holds the box.
    if (readOnly_ || !services_.files.FileExists(ResultFile())) return;
    const std::optional<std::string> name =
        clientfiles::PeekWorkUnitName(services_.files, ResultFile());
    // Once per work unit: a counter that cannot be written would not stop
    // the next tick from copying again.
    if (!name || *name == archivedWhileBusy_) return;
    archivedWhileBusy_ = *name;
    const auto outcome = history::ArchiveResult(services_.files, programDir_, ResultFile(), *name,
                                                env_.archiveCount);
    using Kind = history::ArchiveOutcome::Kind;
    if (outcome.Copied()) AddArchiveItems(outcome.number);
    // A second box now would open inside the first; it waits. So does the
    // view: whatever reads into the lists runs once the box is closed.
    if (outcome.kind == Kind::CounterFailed && pendingError_.empty()) pendingError_ = outcome.error;
    finishPending_ = true;
}

void Monitor::ShowPendingError() {
    if (!pendingError_.empty()) dialogs_.ShowError(std::exchange(pendingError_, {}));
}

void Monitor::Timer2Timer() {
    // The cache cycle has the client's files in hand; it stopped the
    // timers, and a tick queued before that waits.
    if (cache_.Busy()) return;
    if (Busy()) {
        ArchiveWhileBusy();
        return;
    }
    FlagScope tick(inTick_);
    ShowPendingError();
    WaitForNextWorkUnit();
}

bool Monitor::WaitForNextWorkUnit() {
    if (env_.selector != clientfiles::SelectorView::Current) return false;
    auto& files = services_.files;
    if (!files.FileExists(ClientFile("state")) || !files.FileExists(ClientFile("work_unit")) ||
        files.FileExists(ResultFile()))
        return false;
    SetTimer(TimerId::Timer2, false);
    Poll();
    SetTimer(TimerId::Timer1, true);
    return true;
}

void Monitor::Timer3Timer() {
    // The cache cycle has the client's files in hand; it stopped the
    // timers, and a tick queued before that waits.
    if (cache_.Busy()) return;
    if (Busy()) {
        ArchiveWhileBusy();
        return;
    }
    FlagScope tick(inTick_);
    ShowPendingError();
    // A finish seen while a box was open counts though its result is gone.
    if (finishPending_ || services_.files.FileExists(ResultFile())) SelectCurrent();
}

void Monitor::Timer4Timer() {
    // A tick queued before the timer was switched off.
    if (!TimerEnabled(TimerId::Timer4) || cache_.Busy()) return;
    if (Busy()) {
        ArchiveWhileBusy();
        return;
    }
    FlagScope tick(inTick_);
    ShowPendingError();
    if (figures_.CurrentChirp > kFinishWatchChirp) SetTimer(TimerId::Timer4, false);
    if (services_.files.FileExists(ResultFile())) {
        SetTimer(TimerId::Timer4, false);
        Poll();
    }
}

bool Monitor::ReadResultFile() {
    const bool read = resultReader_.ReadResultFile(outfilePath_, ResultContext());
    // The best values on screen were reset by the reading: recompute them
    // so that the next state reading refreshes the labels.
    if (read && env_.liveMode) bests_.ComputeBestSignals(false);
    return read;
}

signals::ResultReadContext Monitor::ResultContext() const {
    signals::ResultReadContext context;
    context.liveMode = env_.liveMode;
    context.selectorCurrent = env_.selector == clientfiles::SelectorView::Current;
    context.selectorTotal = env_.selector == clientfiles::SelectorView::Total;
    context.ignoreFast = menus_.IgnoreFast();
    context.noAlerts = settings_.Values().NoAlerts;
    context.clientVersion = figures_.ClientVersion;
    context.currentArchiveNumber = currentArchiveNumber_;
    context.decimalSeparator = env_.decimalSeparator;
    return context;
}

// ------------------------------------------------- what a state reading moves

void Monitor::ResetProgress() {
    progress_.ResetProgress();
    for (auto label : {Control::BestPeakLabel, Control::BestGaussianLabel,
                       Control::BestTripletLabel, Control::BestPulseLabel}) {
        view_.SetFontColor(label, {0, 0, 0});
        view_.SetText(label, "none");
    }
    figures_.CurrentChirp = 0;
    ShowDriftProgress();
}

void Monitor::ShowDriftProgress() {
    driftBar_.ShowDriftProgress(figures_.CurrentChirp);
}

bool Monitor::ShowProgress() {
    return progress_.ShowProgress(
        figures_, {minimized_, env_.liveMode, env_.selector == clientfiles::SelectorView::Current,
                   env_.decimalSeparator});
}

void Monitor::UpdateLiveBests(clientfiles::Reading& reading, std::size_t bytesLoaded) {
    bests_.UpdateLiveBests(reading, bytesLoaded);
}

void Monitor::ComputeBestSignals() {
    bests_.ComputeBestSignals(true);
}

// ------------------------------------------------------------------- zoom

void Monitor::SetZoom(int state) {
    driftBar_.ApplyZoom(state);
    graph_.SetDriftRange(driftBar_.DriftRange(), driftBar_.ZoomedOut());
    if (!env_.liveMode) {
        // A view of a finished search shows the whole bar orange.
        figures_.CurrentChirp = -driftBar_.DriftRange();
        driftBar_.SetLastGaugeValue(0);
    }
    ShowDriftProgress();
    if (!lists_.Empty()) {
        graph_.ClearGraph();
        graph_.DrawSignals(true);
    }
}

void Monitor::ZoomBtnClick() {
    if (driftBar_.ZoomState() != 0)
        SetZoom(0);
    else
        SetZoom(figures_.ClientVersion <= 3.015 ? 1 : 2);
}

// -------------------------------------------------------------------- graph

void Monitor::ImageMouseUp(int x, int y) {
    const signals::GraphClick click = graph_.ImageMouseUp(x, y);
    if (!click.overSignal) return;
    selected_ = {-1, -1, -1, -1};
    if (click.signal) selected_[static_cast<std::size_t>(click.signal->kind)] = click.signal->index;
    ShowSignalInfo();
}

void Monitor::SkyMapButtonClick() {
    if (dialogs_.AskYesNo(kSkyMapQuestion)) services_.shell.OpenUrl(kSkyMapUrl);
}

// ---------------------------------------------------------------- selector

void Monitor::SelectCurrent() {
    view_.SelectSelectorItem(kCurrentItem);
    WUComboBoxChange(kCurrentItem);
}

void Monitor::WUComboBoxChange(int index) {
    if (index == shownView_ || index < 0 || index > selectorLast_ + 1) return;
    ShowView(index);
}

void Monitor::ShowView(int index) {
    // Whether the client works on a work unit is sampled only when the live
    // view is left: the other views know nothing of it.
    if (shownView_ == kCurrentItem) workUnitInProgress_ = env_.liveMode;
    // Away from the live view, a finish of the client's work unit brings the
    // window back, so that the finished work unit gets archived; the fast
    // watch near the end of the sweep belongs to the live view.
    SetTimer(TimerId::Timer3, workUnitInProgress_ && index != kCurrentItem);
    if (index != kCurrentItem) SetTimer(TimerId::Timer4, false);

    driftBar_.SetLastGaugeValue(-100);
    CloseSignalInfo();
    lists_.ClearSignals();
    lastStateAge_ = 0;
    graph_.ResetCursor();
    view_.SetVisible(Control::SAHVerLabel, index != kTotalItem);

    if (index == kCurrentItem) {
        ShowCurrentView();
    } else if (index == kTotalItem) {
        ShowTotalView();
    } else if (!ShowArchivedView(index - 1)) {
        return;
    }
    CloseSignalInfo();
    shownView_ = index;
}

void Monitor::ShowPanels(bool userAndTotals) {
    view_.SetVisible(Control::WUPanel, !userAndTotals);
    view_.SetVisible(Control::ProgressPanel, !userAndTotals);
    view_.SetVisible(Control::UserPanel, userAndTotals);
    view_.SetVisible(Control::TotalInfoPanel, userAndTotals);
}

void Monitor::ShowCurrentView() {
    view_.SetText(Control::LeftTimeCaption, "Estimated time left:");
    view_.SetText(Control::TotalTimeCaption, "Estimated total time:");
    ShowPanels(false);
    env_.liveMode = true;
    env_.selector = clientfiles::SelectorView::Current;
    SetLivePaths();
    graph_.ClearGraph();
    SetTimer(TimerId::Timer1, true);
    ReadWorkUnitHeader();
    Poll();
    view_.SetVisible(Control::ZoomBtn, false);
}

void Monitor::ShowTotalView() {
    env_.liveMode = false;
    env_.selector = clientfiles::SelectorView::Total;
    SetTimer(TimerId::Timer1, false);
    SetTimer(TimerId::Timer2, false);
    // Archives of every client version together: the widest drift rates.
    // No header is read here to ask for that zoom.
    figures_.NaturalZoom = 2;
    if (driftBar_.ZoomState() != 2) SetZoom(2);

    // Every archive in turn, each signal stamped with its archive's number.
    // The folder is listed once: the totals cost what the archive holds,
    // whatever the counter says.
    constexpr std::int32_t kLastWorkUnits = 20;
    const std::int32_t first =
        menus_.TotalMode() == 3 ? std::max(1, env_.archiveCount - (kLastWorkUnits - 1)) : 1;
    std::optional<signals::Totals::StandIn> standIn;
    if (unwrittenArchive_) standIn = {*unwrittenArchive_, ArchivePath(*unwrittenArchive_)};
    const std::optional<std::int32_t> last =
        totals_.ReadArchives(programDir_, first, env_.archiveCount, standIn,
                             [this] { return ResultContext(); });
    if (last) {
        currentArchiveNumber_ = *last;
        outfilePath_ = ArchivePath(*last);
    }

    if (menus_.TotalMode() == 2) {
        // The best five of each kind, by the kind's own strength.
        CloseSignalInfo();
        inspection::SortSignalList(lists_, signals::kSpike, inspection::sortkey::kSpikePower);
        inspection::SortSignalList(lists_, signals::kGaussian, inspection::sortkey::kGaussianScore);
        inspection::SortSignalList(lists_, signals::kTriplet, inspection::sortkey::kTripletPower);
        inspection::SortSignalList(lists_, signals::kPulse, inspection::sortkey::kPulseScore);
        constexpr std::size_t kBest = 5;
        const auto keepBest = [](auto& list) {
            if (list.size() > kBest) list.resize(kBest);
        };
        keepBest(lists_.SpikeList);
        keepBest(lists_.GaussianList);
        keepBest(lists_.TripletList);
        keepBest(lists_.PulseList);
    }
    view_.SetVisible(Control::NoSignalsLabel, lists_.Empty());

    figures_.CurrentChirp = -driftBar_.DriftRange();
    ShowDriftProgress();
    readers_.ReadUserInfo(Env());
    bests_.ComputeBestSignals(true);

    ShowPanels(true);
    graph_.ClearGraph();
    graph_.DrawSignals(true);
    view_.SetHint(Control::SkyPosLabel, "");
    view_.SetVisible(Control::ZoomBtn, true);
}

bool Monitor::ShowArchivedView(std::int32_t number) {
    view_.SetText(Control::LeftTimeCaption, "File Date:");
    view_.SetText(Control::TotalTimeCaption, "Total time:");
    const std::string path = ArchivePath(number);
    const platform::DosStamp stamp = services_.files.FileStamp(path);
    if (stamp == platform::kMissingStamp) {
        dialogs_.ShowError("Old file not found");
        return false;
    }
    // The time of day of the DOS stamp: hours, minutes, seconds / 2.
    const auto time = static_cast<std::uint32_t>(stamp) & 0xFFFF;
    view_.SetText(Control::LeftTimeLabel,
                  services_.environment.LongTimeText(static_cast<int>(time >> 11),
                                                     static_cast<int>((time >> 5) & 0x3F),
                                                     static_cast<int>((time & 0x1F) * 2)));

    ShowPanels(false);
    env_.liveMode = false;
    env_.selector = clientfiles::SelectorView::Archived;
    SetTimer(TimerId::Timer1, false);
    SetTimer(TimerId::Timer2, false);
    workUnitPath_ = statePath_ = outfilePath_ = path;
    currentArchiveNumber_ = number;
    ReadWorkUnitHeader();
    ReadResultFile();
    readers_.ReadState(statePath_, Env(), *this);

    view_.SetVisible(Control::NoSignalsLabel, lists_.Empty());
    graph_.ClearGraph();
    graph_.DrawSignals(true);
    view_.SetVisible(Control::ZoomBtn, figures_.NaturalZoom > 0);
    return true;
}

// Rebuilding the totals changes nothing about the client's work unit: the
// finish watch stays as it was.
void Monitor::TotalMenuClick(std::uint8_t mode) {
    menus_.CheckTotalMode(mode);
    if (shownView_ == kTotalItem) ShowView(kTotalItem);
}

void Monitor::MenuTotalIgnoreClick() {
    menus_.ToggleIgnoreFast();
    if (shownView_ == kTotalItem) ShowView(kTotalItem);
}

// ---------------------------------------------------------- window's life

void Monitor::FormClose() {
    view_.ShowTrayIcon(true);
    view_.ShowWindow(false);
    if (shownView_ != kCurrentItem) SelectCurrent();
}

void Monitor::Show1Click() {
    view_.ShowTrayIcon(false);
    Timer1Timer();
    view_.ShowWindow(true);
}

void Monitor::Exit1Click() {
    // A failed save has told the user; ending is still what was asked.
    settings_.SaveSettings();
    // A normal exit leaves nothing to recover.
    registration_.RegisterRecovery(false);
    view_.ShowTrayIcon(false);
    view_.Terminate();
}

void Monitor::About1Click() {
    dialogs_.ShowAbout();
}

// Whether a browser came up is not reported: the user sees it or not.
void Monitor::Skyvanesite1Click() {
    services_.shell.OpenUrl(std::string(setup::kProductSite));
}

void Monitor::SETIhomesite1Click() {
    services_.shell.OpenUrl(std::string(setup::kSetiAtHomeSite));
}

void Monitor::Settings1Click() {
    setup::SetForm form({settings_.Values(), client_, registration_, services_.files, dialogs_,
                         [this](const std::string& path) { ChangeClientDirectory(path); },
                         [this] { settings_.SaveSettings(); }});
    dialogs_.ShowSetForm(form);
}

void Monitor::WUCache1Click() {
    if (client_.Kind() == client::ClientKind::None) {
        dialogs_.ShowError(cache::msg::kNoClient);
        return;
    }
    cache::CacheForm form({cache_, settings_.Values(), client_, dialogs_, view_,
                           [this] { return settings_.SaveSettings(); },
                           [this](const cache::ClientShortcut& shortcut) {
                               setup::ShortcutRequest request;
                               request.folderName = "Desktop";
                               request.target = shortcut.target;
                               request.linkName = shortcut.name;
                               request.workingDirectory = shortcut.workingDirectory;
                               request.arguments = shortcut.arguments;
                               request.console = true;
                               return setup::CreateShortcut(services_, request);
                           }});
    dialogs_.ShowCacheForm(form);
}

void Monitor::ConnectMenuClick() {
    if (shownView_ != kCurrentItem) SelectCurrent();
    cache_.ConnectMenuClick();
}

void Monitor::ChangeClientDirectory(const std::string& path) {
    env_.clientPath = path;
    settings_.Values().ClientPath = path;
    env_.clientFileExt = clientfiles::DecideClientFileExt(services_.files, env_.clientPath);
    client_.SetClientPath(path);
    client_.FindClient();
    // An archived work unit stays on screen; the live view and the totals
    // come from the new directory.
    if (shownView_ != kCurrentItem && shownView_ != kTotalItem) return;
    const int shown = shownView_;
    shownView_ = -1;
    WUComboBoxChange(shown);
}

void Monitor::ApplicationMinimize() {
    if (env_.liveMode)
        view_.SetApplicationTitle(std::string(kAppTitle) + " " +
                                  PercentageText(figures_.Progress, env_.decimalSeparator));
    else
        view_.SetApplicationTitle(kAppTitle);
    minimized_ = true;
}

void Monitor::ApplicationRestore() {
    view_.SetApplicationTitle(kAppTitle);
    minimized_ = false;
}

}  // namespace monitor
