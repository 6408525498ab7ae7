#include "signals/Totals.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>

#include "history/Archive.h"
#include "history/ArchiveCounter.h"
#include "platform/Platform.h"

namespace signals {

std::vector<std::optional<ArchivedResult>> Totals::ParseEach(
    std::size_t count, const std::function<std::optional<ArchivedResult>(std::size_t)>& parse) {
    std::vector<std::optional<ArchivedResult>> results(count);
    // A parse depends on its file alone and shows nothing (its alerts are
    // recorded, to be shown when it is replayed in order), so archives can be
    // parsed on every core when the files may be read that way: the results
    // are the same, only sooner. A handful is not worth a thread.
    constexpr std::size_t kWorthAThread = 16;
    constexpr unsigned kMostThreads = 4;
    unsigned threads = 1;
    if (files_.ReadsFromAnyThread() && count >= kWorthAThread)
        threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);

    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        try {
            for (std::size_t i = next++; i < count; i = next++)
                results[i] = parse(i);
        } catch (...) {  // out of memory, say: reported on the calling thread
            next = count;
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (unsigned t = 1; t < threads; ++t)
            helpers.emplace_back(work);
        work();
    }  // joined
    if (failure) std::rethrow_exception(failure);
    return results;
}

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
    std::vector<const Wanted*> inRange;
    std::vector<const Wanted*> unparsed;
    for (const Wanted& wanted : archive) {
        if (wanted.number < first || wanted.number > last) continue;
        inRange.push_back(&wanted);
        const auto kept = kept_.find(wanted.path);
        if (kept == kept_.end()) {
            unparsed.push_back(&wanted);
        } else if (kept->second.number != wanted.number || kept->second.size != wanted.size ||
                   kept->second.stamp != wanted.stamp || wanted.stamp == platform::kMissingStamp) {
            kept_.erase(kept);
            unparsed.push_back(&wanted);
        }
    }
    std::vector<std::optional<ArchivedResult>> fresh = ParseEach(
        unparsed.size(), [&](std::size_t i) {
            return ResultFileReader::ParseArchivedResult(files_, unparsed[i]->path,
                                                         unparsed[i]->number);
        });
    for (std::size_t i = 0; i < unparsed.size(); ++i) {
        const Wanted& wanted = *unparsed[i];
        // Damaged, or changing while it was read: read as ever, each time.
        if (fresh[i] && fresh[i]->size == wanted.size)
            kept_.emplace(wanted.path,
                          Kept{wanted.number, wanted.size, wanted.stamp, std::move(*fresh[i])});
    }
    fresh.clear();

    std::vector<const ArchivedResult*> parsed;
    std::array<std::size_t, 4> expected{};
    for (const Wanted* wanted : inRange) {
        const auto kept = kept_.find(wanted->path);
        if (kept == kept_.end()) {
            parsed.push_back(nullptr);
            continue;
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
    for (std::size_t i = 0; i < inRange.size(); ++i) {
        const Wanted& wanted = *inRange[i];
        read = wanted.number;
        ResultReadContext readContext = context();
        readContext.currentArchiveNumber = wanted.number;
        if (parsed[i] != nullptr)
            reader_.ReadArchivedResult(*parsed[i], readContext);
        else
            reader_.ReadResultFile(wanted.path, readContext);
    }
    return read;
}

}  // namespace signals
