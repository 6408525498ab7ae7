#include "history/Archive.h"

#include <algorithm>
#include <limits>

#include "clientfiles/ClientDir.h"
#include "history/ArchiveCounter.h"
#include "platform/Platform.h"

namespace history {

namespace {

// The first line of the counter file, without its line end.
std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// A work-unit name comes from a client's file: one that could name another
// folder is never looked for on disk.
bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name.find_first_of("/\\:") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace

std::string ArchiveFilePath(const std::string& programDir, std::int32_t number) {
    return programDir + kArchiveDirName + platform::PathSeparator() + "seti" +
           std::to_string(number) + ".txt";
}

std::string StripDots(std::string_view name) {
    std::string stripped(name);
    stripped.erase(std::remove(stripped.begin(), stripped.end(), '.'), stripped.end());
    return stripped;
}

ArchiveOutcome ArchiveResult(platform::Files& files, const std::string& programDir,
                             const std::string& resultPath, const std::string& workUnitName,
                             std::int32_t& archiveCount, ArchiveMode mode) {
    using Kind = ArchiveOutcome::Kind;
    const bool dryRun = mode == ArchiveMode::DryRun;
    const std::string counterPath = programDir + kArchiveCounterName;
    auto counterText = files.ReadFile(counterPath);
    if (!counterText && dryRun && !files.FileExists(counterPath))
        counterText = ArchiveCounterText(0);
    if (!counterText) return {Kind::CounterFailed, 0, "Cannot read \"" + counterPath + "\"."};

    // The same work unit seen finished again (after a restart, say).
    if (FirstLine(*counterText) == workUnitName) return {};
    const std::string cached = StripDots(workUnitName);
    if (IsPlainFileName(cached) &&
        files.FileExists(programDir + "cache" + platform::PathSeparator() + cached + ".rsl"))
        return {};

    const CounterReading counter = ParseArchiveCounter(files, programDir, *counterText);
    if (!counter.count) return {Kind::CounterFailed, 0, counter.error};
    archiveCount = *counter.count;

    // Numbers whose files exist already are passed over, never overwritten;
    // one that holds this very result is the copy of an attempt that died
    // before it could write the counter, and counts as the archive.
    std::string target;
    bool copied = false;
    do {
        if (archiveCount == std::numeric_limits<std::int32_t>::max())
            return {Kind::CounterFailed, 0,
                    "No archive number is left after " + std::to_string(archiveCount) + "."};
        ++archiveCount;
        target = ArchiveFilePath(programDir, archiveCount);
        if (files.FileExists(target)) {
            copied = clientfiles::SameBytes(files, resultPath, target);
            if (!copied) continue;
        }
        break;
    } while (true);

    if (dryRun) return {Kind::Archived, archiveCount, {}};
    if (!copied && !files.CopyFile(resultPath, target, /*overwrite=*/false))
        return {Kind::CopyFailed, archiveCount, {}};
    if (!files.WriteFile(counterPath, workUnitName + ArchiveCounterText(archiveCount)))
        return {Kind::CounterFailed, archiveCount,
                "The result was archived as \"" + target + "\", but \"" + counterPath +
                    "\" could not be written."};
    return {Kind::Archived, archiveCount, {}};
}

}  // namespace history
