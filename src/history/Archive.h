#pragma once
// The archive of finished work units: each result the client finishes is
// copied to "old/seti<N>.txt" in the program directory under the next free
// number, and "lastnum.mon" records the work unit archived last and the
// highest number used. Nothing here ever overwrites or deletes an archive
// file.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {
class Files;
}

namespace history {

// "old/seti<number>.txt" under `programDir` (with trailing separator).
std::string ArchiveFilePath(const std::string& programDir, std::int32_t number);

// `name` without any ".".
std::string StripDots(std::string_view name);

struct ArchiveOutcome {
    enum class Kind {
        Archived,       // copied under `number`
        AlreadyThere,   // archived before, or the cache keeps its result
        CopyFailed,     // nothing recorded; the next attempt reads the counter again
        CounterFailed,  // "lastnum.mon" missing or damaged: `error` says so
    };
    Kind kind = Kind::AlreadyThere;
    std::int32_t number = 0;
    std::string error;

    // Whether archive `number` now exists (also when the counter could not
    // be rewritten after the copy).
    bool Copied() const {
        return kind == Kind::Archived || (kind == Kind::CounterFailed && number > 0);
    }
};

enum class ArchiveMode {
    Write,  // copy the result and rewrite the counter
    // Decide as Write would and write nothing: what skyvane-cli shows. A
    // missing counter counts as the new one start-up would have created.
    DryRun,
};

// Archives `resultPath`, the result of work unit `workUnitName` (as read
// from its header). `archiveCount` is the highest number in use and
// advances to the number tried. CounterFailed with a `number` means the copy
// is there but the counter could not be rewritten.
ArchiveOutcome ArchiveResult(platform::Files& files, const std::string& programDir,
                             const std::string& resultPath, const std::string& workUnitName,
                             std::int32_t& archiveCount, ArchiveMode mode = ArchiveMode::Write);

}  // namespace history
