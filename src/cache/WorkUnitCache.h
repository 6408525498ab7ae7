#pragma once
// The work-unit cache: work units fetched ahead and results still to be
// returned, kept as plain file copies in the program directory's "cache"
// folder, swapped with the client's directory as the client finishes each
// work unit, and exchanged with the server in one batch by running the
// client (in a scratch directory when it still has unfinished work).
//
// Nothing is ever moved: a file is copied (the Files service puts a copy in
// place whole or not at all) and the original deleted afterwards, so a kill
// at any moment leaves at least one whole copy of every result and work
// unit. RecoverCache puts such leftovers where the cycle would have put them.
// No wx here; every wait goes through the platform's clock.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "client/ClientControl.h"
#include "client/StartupRegistration.h"
#include "history/SettingsRecord.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"
#include "views/MainView.h"

namespace cache {

inline constexpr std::string_view kCacheDirName = "cache";
inline constexpr std::string_view kScratchDirName = "temp123";
inline constexpr std::string_view kWorkUnitExt = ".wu";
inline constexpr std::string_view kResultExt = ".rsl";
// Written when a cycle begins and removed when it ends: a start that finds
// it knows that the last cycle died half way.
inline constexpr std::string_view kCycleMarkerName = "cycle.run";
// What the marker holds: "cycle", or this while a scratch connect runs.
inline constexpr std::string_view kScratchStage = "scratch";

// Message texts of the cache.
namespace msg {
inline constexpr std::string_view kSaveFailed = "Error saving result to cache";
inline constexpr std::string_view kLoadFailed = "Error loading work unit from cache";
inline constexpr std::string_view kAskConnect =
    "SETI@home finished all work units in the cache.\rPress Ok to connect to the server.";
inline constexpr std::string_view kReturnFailed =
    "The attempt to return results to the server failed.";
inline constexpr std::string_view kCopyFailed =
    "Unable to copy SETI@home files. Aborting the attempt to connect to the server. Make sure "
    "Skyvane is pointing to the correct SETI@home directory and you have free space on your "
    "drive.";
inline constexpr std::string_view kRegistryFailed = "Error accessing the registry.";
inline constexpr std::string_view kError1 = "Error 1";
inline constexpr std::string_view kError3 = "Error 3";
inline constexpr std::string_view kError4 = "Error 4";
inline constexpr std::string_view kError5 = "Error 5";
inline constexpr std::string_view kNoClient =
    "If you renamed SETI@home exe file, you should rename it back";
inline constexpr std::string_view kShortcutCreated =
    "Skyvane created a shortcut to SETI@home on your desktop. To ensure the correct operation of "
    "the cache it is better to run SETI@home with this shortcut, or otherwise include "
    "-stop_after_process parameter.";
inline constexpr std::string_view kStalled =
    "The SETI@home client has not changed anything in its directory for 30 minutes. The "
    "transfer was cancelled; the cache keeps everything, and \"Connect to the server\" tries "
    "again.";
inline constexpr std::string_view kNoCacheDir = "Cannot create the cache directory \"";
}  // namespace msg

// What the cache needs from the program around it.
struct CacheContext {
    platform::Services services;
    views::Dialogs& dialogs;
    // ConnectMenu and CacheStateLabel.
    views::MainView& view;
    client::ClientControl& client;
    client::StartupRegistration& registration;
    history::TSettingsRec& settings;
    // The program directory, with its separator.
    std::function<std::string()> programDir;
    // ".sah" or ".txt", as the client names its files.
    std::function<std::string()> clientFileExt;
    // Writes the settings file; false when that failed (the user was told).
    std::function<bool()> saveSettings;
    // The poll timers Timer1..Timer3: stopped for the cycle, with their
    // states noted, and given back afterwards. Timer4 stays off.
    std::function<std::array<bool, 3>()> stopPollTimers;
    std::function<void(const std::array<bool, 3>&)> restorePollTimers;
};

// Counters and flags of the cache, as the rest of the program reads them.
struct CacheCounters {
    std::int16_t CachedWorkUnits = 0;
    std::int16_t CachedResults = 0;
    std::int16_t CacheTotal = 0;
    std::uint8_t SavedDirHasWorkUnit = 0;
};

// The answer of SendCachedResult and ReceiveWorkUnit: done, cancelled by the
// user, could not be put in place or stored; Ended: returned, but its cache
// file could not be deleted, which ends the connect.
enum class TransferResult : int { Done = 0, Cancelled = 1, Failed = 2, Ended = 3 };

class WorkUnitCache {
public:
    explicit WorkUnitCache(CacheContext context);

    // ----------------------------------------------------------- the store
    std::string CacheDir() const;
    const CacheCounters& Counters() const { return counters_; }
    // Recounts the counters and shows or hides "&Connect to the server".
    void CountCache();
    // Recounts and writes the cache-state label.
    void ShowCacheState();
    // The label's text for the counters as they are.
    std::string CacheStateText() const;
    // Whether "&Connect to the server" is offered for the counters as they are.
    bool ConnectMenuVisible() const;
    // Puts the client's result into the cache. A copy already there with
    // the same bytes (an earlier cycle died after saving it) counts as saved.
    bool SaveResultToCache();
    // Moves the oldest cached work unit into the client's directory and
    // restarts the client on it.
    bool LoadNextCachedWorkUnit();
    bool DeleteWithRetry(const std::string& path);

    // ----------------------------------------------------------- the cycle
    // Whether the poll's finish or the start-up should run the cycle.
    bool InUse() const;
    void RunCacheCycle();
    // "&Connect to the server".
    void ConnectMenuClick();
    bool ConnectDeferred() const { return connectDeferred_; }
    void SetConnectDeferred(bool deferred) { connectDeferred_ = deferred; }
    bool CacheAutoMode() const { return cacheAutoMode_; }
    bool Busy() const { return cycleBusy_; }
    // The command line's refresh: asks nothing (as with AutoConnect). True
    // when the cycle ran to its end without a failure or a cancel.
    bool RefreshHeadless();
    // Whether the last cycle ended without a failure, a cancel or a declined
    // question.
    bool LastCycleCompleted() const { return completed_; }

    // ------------------------------------------------------------ recovery
    // Before anything else touches the cache at start-up: puts what a cycle
    // that died half way left behind where that cycle would have put it.
    // Never deletes the only copy of a result or of an unfinished work unit.
    void RecoverCache();

    // The parts of a cycle, for tests and the progress window.
    void ConnectToServer(bool loadAfter);
    TransferResult SendCachedResult(const std::string& name);
    TransferResult ReceiveWorkUnit();

    // Called on every transfer step, before the client is started for it
    // and after its window closed: a hook for tests that kill something at
    // a chosen step. The step is a short name ("send", "receive", ...).
    std::function<void(std::string_view step)> onStep;

private:
    std::string ClientFile(std::string_view base) const;
    std::string Ext() const { return context_.clientFileExt(); }
    void Step(std::string_view step) {
        if (onStep) onStep(step);
    }
    // The scratch connect of a refresh while the client has unfinished work.
    void ScratchConnect();
    void FinalStep();
    // Opens the progress window until `file` is absent (false) or present
    // (true); true when that happened, false on Cancel or a stall.
    bool WaitForTransfer(std::string_view title, const std::string& file, bool untilPresent);
    // Copies `from` into the cache as `name` + `ext`. The same bytes already
    // there count as copied; another file of that name gets a new name.
    enum class CopyOutcome { Copied, AlreadyThere, Failed };
    CopyOutcome CopyIntoCache(const std::string& from, std::string_view name, std::string_view ext);
    // The name a client file is cached under: its work unit's name without
    // dots.
    std::string CacheName(const std::string& clientFile) const;
    // Whether the cache holds a file with the same bytes as `path`.
    bool CacheHolds(const std::string& path, std::string_view ext) const;
    // Deletes a client result file, first saving it into the cache if the
    // cache has no copy: the last copy of a result is never deleted.
    bool DeleteClientResult(const std::string& path);
    // What a dead cycle left in the scratch directory goes into the cache.
    void RescueScratch(const std::string& scratch);
    void WriteCycleMarker(std::string_view stage = "cycle");
    void RemoveCycleMarker();

    CacheContext context_;
    CacheCounters counters_;
    bool connectDeferred_ = false;
    bool cacheAutoMode_ = true;
    bool cycleBusy_ = false;
    bool askNothing_ = false;
    bool completed_ = false;
    bool workUnitPresent_ = false;
    std::int32_t workUnitsAtConnectStart_ = 0;
    std::array<bool, 3> notedTimers_{};
};

}  // namespace cache
