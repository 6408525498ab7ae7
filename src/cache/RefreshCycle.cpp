// The refresh cycle: the swap when the client finishes a work unit, and the
// connect that returns every cached result and fetches the next batch
// through the client, in a scratch directory when the client still has
// unfinished work.

#include "cache/CacheInfoForm.h"
#include "cache/WorkUnitCache.h"
#include "clientfiles/ClientDir.h"

namespace cache {

namespace {

using client::ClientKind;

// A flag set for the life of a scope.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

bool WorkUnitCache::InUse() const {
    return counters_.CacheTotal > 1 || context_.settings.CacheSize != 0;
}

void WorkUnitCache::WriteCycleMarker(std::string_view stage) {
    // Only a sign for the next start; a cycle that cannot write it still
    // runs, every copy it makes being whole or absent anyway.
    context_.services.files.WriteFile(CacheDir() + std::string(kCycleMarkerName),
                                      std::string(stage) + "\n");
}

void WorkUnitCache::RemoveCycleMarker() {
    context_.services.files.DeleteFile(CacheDir() + std::string(kCycleMarkerName));
}

void WorkUnitCache::RunCacheCycle() {
    if (cycleBusy_) {
        completed_ = false;
        return;
    }
    BusyScope busy(cycleBusy_);
    completed_ = true;
    notedTimers_ = context_.stopPollTimers ? context_.stopPollTimers() : std::array<bool, 3>{};
    CountCache();

    auto& files = context_.services.files;
    const std::string dir = CacheDir();
    const std::string dirNoSep = dir.substr(0, dir.size() - 1);
    if (!files.DirectoryExists(dirNoSep) && !files.CreateDirectory(dirNoSep)) {
        context_.dialogs.ShowError(std::string(msg::kNoCacheDir) + dirNoSep + "\".");
        completed_ = false;
        FinalStep();
        return;
    }
    WriteCycleMarker();

    // The work unit beside a result is the finished one, not work to keep.
    const bool resultThere = files.FileExists(ClientFile("result"));
    const bool saved = !resultThere || SaveResultToCache();
    if (resultThere && saved) Step("saved");
    if (!saved) {
        context_.dialogs.ShowError(msg::kSaveFailed);
        completed_ = false;
    } else if (counters_.CachedWorkUnits > 0 && cacheAutoMode_) {
        if (!LoadNextCachedWorkUnit()) {
            context_.dialogs.ShowError(msg::kLoadFailed);
            completed_ = false;
        }
    } else if (!resultThere && files.FileExists(ClientFile("work_unit"))) {
        ScratchConnect();
    } else {
        ConnectToServer(true);
    }
    FinalStep();
}

void WorkUnitCache::FinalStep() {
    auto& client = context_.client;
    counters_.SavedDirHasWorkUnit = 0;
    if (client.Kind() == ClientKind::Graphical) client.SetConfigFlag(1);
    if (context_.restorePollTimers) context_.restorePollTimers(notedTimers_);
    client.SetSavedClientPath({});
    RemoveCycleMarker();
}

void WorkUnitCache::ConnectMenuClick() {
    cacheAutoMode_ = false;
    RunCacheCycle();
    ShowCacheState();
    cacheAutoMode_ = true;
    connectDeferred_ = false;
}

bool WorkUnitCache::RefreshHeadless() {
    askNothing_ = true;
    ConnectMenuClick();
    askNothing_ = false;
    return completed_ && !connectDeferred_;
}

void WorkUnitCache::ScratchConnect() {
    auto& files = context_.services.files;
    auto& client = context_.client;
    auto& dialogs = context_.dialogs;
    const bool graphical = client.Kind() == ClientKind::Graphical;

    client.StopClient();
    const std::string realDir = client.ClientPath();
    const std::string scratchNoSep = realDir + std::string(kScratchDirName);
    const std::string scratch = scratchNoSep + platform::PathSeparator();
    if (!files.DirectoryExists(scratchNoSep) && !files.CreateDirectory(scratchNoSep)) {
        dialogs.ShowError(msg::kCopyFailed);
        completed_ = false;
        return;
    }
    // Whatever an earlier connect left here that the cache lacks goes there
    // first: the client files below are cleared.
    RescueScratch(scratch);
    for (const auto& entry : files.ListDirectory(scratchNoSep, "*.sah"))
        if (!entry.isDirectory) files.DeleteFile(scratch + entry.name);

    // The client works in the scratch directory with its user and version
    // files, and the windowed one with its configuration.
    std::vector<std::string> names;
    if (graphical) names.emplace_back(client::kConfigFile);
    if (client.Kind() != ClientKind::None) names.push_back("user_info" + Ext());
    names.emplace_back("version.sah");
    for (const auto& name : names) {
        if (!files.CopyFile(realDir + name, scratch + name, true)) {
            dialogs.ShowError(msg::kCopyFailed);
            completed_ = false;
            return;
        }
    }
    client.SetSavedClientPath(realDir);
    // From here until the user's figures are copied back, the scratch
    // directory holds the newer "user_info" (the client counts its
    // transfers there): the next start copies it back if this dies.
    WriteCycleMarker(kScratchStage);
    Step("scratch");

    if (graphical) {
        context_.registration.RegisterRecovery(true, client::kFixPathWord);
        context_.settings.ConnectPending = true;
        context_.saveSettings();
        if (!client.WriteClientDirToRegistry(scratch)) {
            dialogs.ShowError(msg::kRegistryFailed);
            client.WriteClientDirToRegistry(realDir);
            client.SetClientPath(realDir);
            completed_ = false;
            return;
        }
    } else {
        client.SetClientPath(scratch);
    }
    counters_.SavedDirHasWorkUnit = 1;

    ConnectToServer(false);

    if (graphical) {
        // ConnectPending stays set, for the next start to repair, when the
        // client's value cannot be pointed back.
        const bool restored = client.WriteClientDirToRegistry(realDir);
        context_.registration.RegisterRecovery(context_.settings.PowerFailureOnly);
        if (restored) {
            context_.settings.ConnectPending = false;
            context_.saveSettings();
        }
    }
    client.SetClientPath(realDir);
    files.CopyFile(scratch + "user_info" + Ext(), realDir + "user_info" + Ext(), true);
    WriteCycleMarker();
    // A transfer cut short leaves its file here: a result copied back to be
    // returned (the cache keeps it) or a work unit fetched and not stored.
    // Left here, a later connect would cache the result again and return
    // it twice, and nobody would ever work on the work unit.
    RescueScratch(scratch);
    Step("resume");
    client.StopClient();
    client.StartClient();
}

void WorkUnitCache::ConnectToServer(bool loadAfter) {
    auto& files = context_.services.files;
    auto& client = context_.client;
    auto& settings = context_.settings;
    const bool graphical = client.Kind() == ClientKind::Graphical;

    if (!settings.AutoConnect && cacheAutoMode_ && !askNothing_ &&
        !context_.dialogs.AskOkCancel(msg::kAskConnect)) {
        context_.view.SetVisible(views::Control::ConnectMenu, true);
        connectDeferred_ = true;
        completed_ = false;
        return;
    }
    if (graphical) {
        client.SetConfigFlag(0);
        context_.registration.RegisterRecovery(true, client::kFixConnectWord);
    }
    client.SetStopMode(false);
    workUnitsAtConnectStart_ = counters_.CachedWorkUnits;

    bool stopModeBack = false;
    const auto finish = [&] {
        // A connect that ended early leaves the client to stop after
        // processing again, as it runs between connects.
        if (!stopModeBack) client.SetStopMode(true);
        if (graphical) {
            client.SetConfigFlag(1);
            context_.registration.RegisterRecovery(settings.PowerFailureOnly);
        }
    };

    if (counters_.CachedResults > 0) {
        for (;;) {
            std::string first;
            for (const auto& entry : files.ListDirectory(CacheDir(), "*.rsl")) {
                if (!entry.isDirectory) {
                    first = entry.name;
                    break;
                }
            }
            if (first.empty()) break;
            const TransferResult r = SendCachedResult(first);
            if (r == TransferResult::Failed) {
                if (context_.dialogs.AskAbortRetry(msg::kReturnFailed)) continue;
                completed_ = false;
                finish();
                return;
            }
            if (r != TransferResult::Done) {
                completed_ = false;
                finish();
                return;
            }
            if (graphical) client.SetConfigFlag(0);
        }
    }

    if (settings.CacheSize == 0) {
        client.StopClient();
        client.StartClient();
    }
    client.SetStopMode(true);
    stopModeBack = true;

    const auto wanted = [&] {
        return counters_.CachedWorkUnits + counters_.SavedDirHasWorkUnit < settings.CacheSize;
    };
    if (settings.CacheSize > 1 && wanted()) {
        bool full = true;
        // A server that hands out only units the cache holds already would
        // keep this loop going for ever.
        int attempts = 2 * settings.CacheSize + 10;
        while (wanted()) {
            if (--attempts < 0) {
                full = false;
                completed_ = false;
                break;
            }
            if (ReceiveWorkUnit() != TransferResult::Done) {
                full = false;
                completed_ = false;
                break;
            }
            if (graphical) client.SetConfigFlag(0);
        }
        // LoadNextCachedWorkUnit starts the client on the work unit itself.
        if (full && loadAfter && !LoadNextCachedWorkUnit()) client.StartClient();
    }
    finish();
}

bool WorkUnitCache::WaitForTransfer(std::string_view title, const std::string& file,
                                    bool untilPresent) {
    auto& s = context_.services;
    const auto& settings = context_.settings;
    CacheInfoForm::Figures figures;
    figures.toSend = counters_.CachedResults;
    figures.toReceive = std::max<std::int32_t>(1, settings.CacheSize - counters_.CachedWorkUnits) -
                        counters_.SavedDirHasWorkUnit;
    figures.received = counters_.CachedWorkUnits - workUnitsAtConnectStart_;
    CacheInfoForm form(s.files, s.clock, std::string(title), figures,
                       {file, untilPresent, context_.client.ClientPath()}, [this] {
                           context_.client.StopClient();
                           connectDeferred_ = true;
                       });
    context_.dialogs.ShowCacheInfoForm(form);
    if (form.Stalled()) context_.dialogs.ShowError(msg::kStalled);
    return form.TransferDone();
}

TransferResult WorkUnitCache::SendCachedResult(const std::string& name) {
    auto& files = context_.services.files;
    auto& client = context_.client;
    const std::string cached = CacheDir() + name;
    const std::string result = ClientFile("result");
    if (!files.CopyFile(cached, result, true)) return TransferResult::Failed;
    Step("send");
    client.StopClient();
    client.StartClient();
    if (!WaitForTransfer("Sending Results", result, false)) return TransferResult::Cancelled;
    Step("sent");
    if (!DeleteWithRetry(cached)) {
        context_.dialogs.ShowError(msg::kError3);
        return TransferResult::Ended;
    }
    --counters_.CachedResults;
    --counters_.CacheTotal;
    return TransferResult::Done;
}

TransferResult WorkUnitCache::ReceiveWorkUnit() {
    auto& files = context_.services.files;
    auto& client = context_.client;
    const std::string result = ClientFile("result");
    const std::string workUnit = ClientFile("work_unit");
    if (files.FileExists(result) && !DeleteClientResult(result))
        context_.dialogs.ShowError(msg::kError4);
    if (files.FileExists(workUnit) && !DeleteWithRetry(workUnit))
        context_.dialogs.ShowError(msg::kError5);
    Step("receive");
    client.StopClient();
    client.StartClient();
    if (!WaitForTransfer("Receiving Work Units", workUnit, true)) {
        client.StopClient();
        return TransferResult::Cancelled;
    }
    client.StopClient();
    Step("received");

    const CopyOutcome copied = CopyIntoCache(workUnit, CacheName(workUnit), kWorkUnitExt);
    if (copied == CopyOutcome::Failed) return TransferResult::Failed;
    Step("stored");
    if (!DeleteWithRetry(workUnit)) {
        // Kept in one place only, or it would be worked on twice: the client
        // directory keeps it.
        if (copied == CopyOutcome::Copied) {
            for (const auto& entry : files.ListDirectory(CacheDir(), "*.wu"))
                if (clientfiles::SameBytes(files, workUnit, CacheDir() + entry.name))
                    files.DeleteFile(CacheDir() + entry.name);
        }
        return TransferResult::Failed;
    }
    if (copied == CopyOutcome::Copied) {
        ++counters_.CachedWorkUnits;
        ++counters_.CacheTotal;
    }
    return TransferResult::Done;
}

}  // namespace cache
