// The totals over a folder of fuzzed archives, names and contents: the
// first total parses every archive and keeps it, the next replays what it
// kept, and one after some archives went or grew parses those again. Each
// must show what reading the files one after another shows: the same
// records, bit for bit, and the same messages.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "SignalBytes.h"
#include "clientfiles/Scanner.h"
#include "history/Archive.h"
#include "history/ArchiveCounter.h"
#include "signals/ResultFile.h"
#include "signals/Totals.h"
#include "support/MemoryFiles.h"
#include "support/ScriptedDialogs.h"

namespace {

constexpr const char* kProgramDir = "/mem/program/";
constexpr const char* kStandInPath = "/mem/client/result.sah";
constexpr std::size_t kParts = 6;

struct Side {
    testsupport::ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate{dialogs};
    signals::SignalLists lists;
    signals::ShownMarkers shown;
    signals::ResultFileReader reader;

    explicit Side(platform::Files& files) : reader{files, gate, dialogs, lists, shown} {}

    // Begins a total: the lists and the messages emptied.
    void Clear() {
        lists.ClearSignals();
        dialogs.errors.clear();
        dialogs.warnings.clear();
        dialogs.informations.clear();
    }
    // The records and the messages of this total.
    std::string Shown() const {
        std::string text = fuzzing::Flatten(lists);
        for (const auto* messages : {&dialogs.errors, &dialogs.warnings, &dialogs.informations})
            for (const std::string& message : *messages)
                text += "\n" + message;
        return text;
    }
};

// How many records of each kind and messages a side shows.
std::string Counts(const Side& side) {
    return std::to_string(side.lists.SpikeList.size()) + " spikes, " +
           std::to_string(side.lists.GaussianList.size()) + " gaussians, " +
           std::to_string(side.lists.TripletList.size()) + " triplets, " +
           std::to_string(side.lists.PulseList.size()) + " pulses, " +
           std::to_string(side.dialogs.errors.size() + side.dialogs.warnings.size() +
                          side.dialogs.informations.size()) +
           " messages";
}

[[noreturn]] void Differ(const char* visit, const Side& totals, const Side& reference) {
    std::fprintf(stderr, "%s: the totals show %s; the files read in turn %s\n", visit,
                 Counts(totals).c_str(), Counts(reference).c_str());
    std::abort();
}

}  // namespace

// The first byte holds the settings: bit 0 "Ignore fast work units", bit 1
// alerts off, bit 2 the last part stands in for archive (bits 3-5) as the
// client's finished result does. Each other part is an archive: the file's
// name in "old", a line feed, its bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    const auto parts = fuzzing::SplitParts(
        {reinterpret_cast<const char*>(data) + 1, size - 1}, kParts);

    testsupport::MemoryFiles files;
    for (const char* dir : {"/mem", "/mem/client", "/mem/program", "/mem/program/old"})
        files.CreateDirectory(dir);
    std::optional<signals::Totals::StandIn> standIn;
    for (std::size_t i = 0; i < kParts; ++i) {
        const std::string_view part = parts[i];
        if (i + 1 == kParts && (flags & 4) != 0) {
            standIn = signals::Totals::StandIn{(flags >> 3) & 7, kStandInPath};
            files.AddFile(kStandInPath, std::string(part));
            continue;
        }
        const std::size_t feed = part.find('\n');
        if (feed == std::string_view::npos || feed == 0) continue;
        const std::string name(part.substr(0, feed));
        if (name.find('/') != std::string::npos) continue;
        files.AddFile(kProgramDir + std::string("old/") + name, std::string(part.substr(feed + 1)));
    }

    const auto context = [flags] {
        signals::ResultReadContext c;
        c.liveMode = false;
        c.selectorCurrent = false;
        c.selectorTotal = true;
        c.ignoreFast = (flags & 1) != 0;
        c.noAlerts = (flags & 2) != 0;
        return c;
    };
    constexpr std::int32_t kFirst = 1, kLast = 1 << 30;

    // The files read one after another, each with its number.
    const auto readInTurn = [&](Side& side) {
        std::optional<std::int32_t> last;
        std::vector<std::int32_t> numbers = history::ListArchive(files, kProgramDir);
        if (standIn) {
            std::erase(numbers, standIn->number);
            numbers.insert(std::upper_bound(numbers.begin(), numbers.end(), standIn->number),
                           standIn->number);
        }
        for (const std::int32_t number : numbers) {
            if (number < kFirst || number > kLast) continue;
            signals::ResultReadContext c = context();
            c.currentArchiveNumber = number;
            side.reader.ReadResultFile(standIn && number == standIn->number
                                           ? standIn->path
                                           : history::ArchiveFilePath(kProgramDir, number),
                                       c);
            last = number;
        }
        return last;
    };

    // Both readers live as long as the window's, as what they showed once
    // may change what they show again.
    Side totalsSide(files), reference(files);
    signals::Totals totals(files, totalsSide.reader);
    const auto check = [&](const char* visit) {
        totalsSide.Clear();
        reference.Clear();
        const auto totalsLast = totals.ReadArchives(kProgramDir, kFirst, kLast, standIn, context);
        if (totalsLast != readInTurn(reference) || totalsSide.Shown() != reference.Shown())
            Differ(visit, totalsSide, reference);
    };
    check("first total");
    check("next total");

    // One archive gone and one grown: Skyvane only ever adds archives, but a
    // user may delete or edit them between two totals.
    const std::vector<std::int32_t> numbers = history::ListArchive(files, kProgramDir);
    if (!numbers.empty()) {
        files.DeleteFile(history::ArchiveFilePath(kProgramDir, numbers.front()));
        const std::string grown = history::ArchiveFilePath(kProgramDir, numbers.back());
        if (const auto bytes = files.ReadFile(grown, 1 << 20))
            files.AddFile(grown, *bytes + std::string(parts[0].substr(0, 64)));
    }
    check("total after changes");
    return 0;
}
