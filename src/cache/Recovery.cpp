// The start-up repair of a cycle that died half way: Skyvane or the client
// killed, the power gone. Every file is put where the cycle would have put
// it; the last copy of a result or of an unfinished work unit is never
// deleted.

#include "cache/WorkUnitCache.h"
#include "clientfiles/ClientDir.h"
#include "clientfiles/Readers.h"

namespace cache {

void WorkUnitCache::RescueScratch(const std::string& scratch) {
    auto& files = context_.services.files;
    // A result here is one being returned (the cache has it) or, after a
    // client left running, one it made; a work unit is one fetched that
    // never reached the cache.
    const std::pair<const char*, std::string_view> kinds[] = {{"result", kResultExt},
                                                              {"work_unit", kWorkUnitExt}};
    for (const auto& [base, ext] : kinds) {
        const std::string path = scratch + base + Ext();
        if (!files.FileExists(path)) continue;
        if (CacheHolds(path, ext) ||
            CopyIntoCache(path, CacheName(path), ext) != CopyOutcome::Failed)
            files.DeleteFile(path);
    }
}

void WorkUnitCache::RecoverCache() {
    auto& files = context_.services.files;
    auto& client = context_.client;
    const std::string dir = CacheDir();
    const std::string dirNoSep = dir.substr(0, dir.size() - 1);
    const std::string realDir = client.ClientPath();
    const std::string scratchNoSep = realDir + std::string(kScratchDirName);
    if (!files.DirectoryExists(dirNoSep)) return;  // no cache, nothing to repair

    const std::string marker = dir + std::string(kCycleMarkerName);
    const bool interrupted = files.FileExists(marker);
    // Whatever the dead cycle left running, in the scratch directory or not,
    // must not go on changing files while they are put back.
    if (interrupted) client.StopClient();

    // Half-made copies of a copy that was cut short.
    for (const auto& entry : files.ListDirectory(dirNoSep, "*.tmp"))
        if (!entry.isDirectory) files.DeleteFile(dir + entry.name);

    if (files.DirectoryExists(scratchNoSep)) {
        const std::string scratch = scratchNoSep + platform::PathSeparator();
        RescueScratch(scratch);
        // A scratch connect that died before it copied the user's figures
        // back: the client counted its transfers in the scratch copy, which
        // the cycle would have copied back.
        const std::string userInfo = "user_info" + Ext();
        if (interrupted && files.ReadFile(marker).value_or("").starts_with(kScratchStage) &&
            files.FileExists(scratch + userInfo))
            files.CopyFile(scratch + userInfo, realDir + userInfo, true);
    }

    const std::string result = ClientFile("result");
    const std::string workUnit = ClientFile("work_unit");
    const bool workUnitThere = files.FileExists(workUnit);
    if (files.FileExists(result) && CacheHolds(result, kResultExt)) {
        // Beside its own finished work unit the result is the poll's to
        // handle again; beside another work unit, or alone, it was on its
        // way out (a swap or a return that did not finish): the cache keeps
        // it.
        const auto resultName = clientfiles::PeekWorkUnitName(files, result);
        const auto unitName =
            workUnitThere ? clientfiles::PeekWorkUnitName(files, workUnit) : std::nullopt;
        if (!unitName || unitName != resultName) files.DeleteFile(result);
    }
    if (workUnitThere) {
        // Loaded into the client's directory (or fetched there) but not yet
        // taken off the cache: it is worked on where it is.
        for (const auto& entry : files.ListDirectory(dirNoSep, "*.wu"))
            if (!entry.isDirectory && clientfiles::SameBytes(files, workUnit, dir + entry.name))
                files.DeleteFile(dir + entry.name);
    }

    if (!interrupted) return;
    if (client.Kind() == client::ClientKind::Graphical) client.SetConfigFlag(1);
    client.SetStopMode(true);
    // The cycle ends with the client at work; a finished result or an empty
    // directory is the poll's and the start-up's to take on.
    if (files.FileExists(workUnit) && !files.FileExists(result)) client.StartClient();
    RemoveCycleMarker();
}

}  // namespace cache
