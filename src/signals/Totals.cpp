#include "signals/Totals.h"

#include <algorithm>
#include <array>
#include <unordered_set>
#include <vector>

#include "history/Archive.h"
#include "history/ArchiveCounter.h"
#include "platform/Platform.h"

namespace signals {

std::optional<std::int32_t> Totals::ReadArchives(const std::string& programDir,
                                                 std::int32_t first, std::int32_t last,
                                                 const std::optional<StandIn>& standIn,
                                                 const std::function<ResultReadContext()>& context) {
    struct Wanted {
        std::int32_t number;
        std::string path;
        std::uint64_t size;
        std::int32_t stamp;
    };
    std::vector<Wanted> archive;
    for (const history::ArchiveFile& file : history::ListArchiveFiles(files_, programDir)) {
        if (standIn && file.number == standIn->number) continue;
        archive.push_back({file.number, history::ArchiveFilePath(programDir, file.number),
                           file.size, file.stamp});
    }
    if (standIn) {
        Wanted wanted{standIn->number, standIn->path,
                      files_.FileSize(standIn->path).value_or(0), files_.FileStamp(standIn->path)};
        const auto at = std::upper_bound(
            archive.begin(), archive.end(), standIn->number,
            [](std::int32_t number, const Wanted& w) { return number < w.number; });
        archive.insert(at, std::move(wanted));
    }

    // Files gone from the folder are forgotten.
    std::unordered_set<std::string> present;
    for (const Wanted& wanted : archive)
        present.insert(wanted.path);
    std::erase_if(kept_, [&](const auto& item) { return !present.contains(item.first); });

    // Every archive of the range parsed first, then read into the lists in
    // turn, which grow once to what they will hold.
    std::vector<const ArchivedResult*> parsed;
    std::array<std::size_t, 4> expected{};
    for (const Wanted& wanted : archive) {
        if (wanted.number < first || wanted.number > last) continue;
        auto kept = kept_.find(wanted.path);
        if (kept != kept_.end() &&
            (kept->second.number != wanted.number || kept->second.size != wanted.size ||
             kept->second.stamp != wanted.stamp || wanted.stamp == platform::kMissingStamp)) {
            kept_.erase(kept);
            kept = kept_.end();
        }
        if (kept == kept_.end()) {
            std::optional<ArchivedResult> result =
                ResultFileReader::ParseArchivedResult(files_, wanted.path, wanted.number);
            // Damaged, or changing while it was read: read as ever, each time.
            if (!result || result->size != wanted.size) {
                parsed.push_back(nullptr);
                continue;
            }
            kept = kept_.emplace(wanted.path, Kept{wanted.number, wanted.size, wanted.stamp,
                                                   std::move(*result)})
                       .first;
        }
        parsed.push_back(&kept->second.parsed);
        const auto counts = kept->second.parsed.signals.Counts();
        for (std::size_t kind = 0; kind < counts.size(); ++kind)
            expected[kind] += counts[kind];
    }
    SignalLists& lists = reader_.Lists();
    lists.SpikeList.reserve(lists.SpikeList.size() + expected[0]);
    lists.GaussianList.reserve(lists.GaussianList.size() + expected[1]);
    lists.TripletList.reserve(lists.TripletList.size() + expected[2]);
    lists.PulseList.reserve(lists.PulseList.size() + expected[3]);

    std::optional<std::int32_t> read;
    std::size_t next = 0;
    for (const Wanted& wanted : archive) {
        if (wanted.number < first || wanted.number > last) continue;
        read = wanted.number;
        ResultReadContext readContext = context();
        readContext.currentArchiveNumber = wanted.number;
        const ArchivedResult* const result = parsed[next++];
        if (result != nullptr)
            reader_.ReadArchivedResult(*result, readContext);
        else
            reader_.ReadResultFile(wanted.path, readContext);
    }
    return read;
}

}  // namespace signals
