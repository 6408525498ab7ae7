// The signal-file reader over the same bytes read live at once, and read
// live as the client would grow the file, runs of whole lines at a time:
// all must keep the same signals. A finished
// file is read as well, for crashes and hangs only.

#include <bit>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

#include "SignalBytes.h"
#include "clientfiles/Scanner.h"
#include "signals/ResultFile.h"
#include "support/MemoryFiles.h"
#include "support/ScriptedDialogs.h"

namespace {

constexpr const char* kPath = "/mem/outfile.sah";

std::string Describe(const char* what, const signals::SignalLists& lists) {
    std::string text = std::string(what) + ":";
    for (const auto& s : lists.SpikeList)
        text += " spike(power " + std::to_string(s.Power) + ", chirp " + std::to_string(s.ChirpRate) + ")";
    for (const auto& g : lists.GaussianList)
        text += " gaussian(power " + std::to_string(g.Power) + ", pot " + std::to_string(g.HasPot) + ")";
    for (const auto& t : lists.TripletList)
        text += " triplet(power " + std::to_string(t.Power) + ", freq " + std::to_string(t.Freq) + ")";
    for (const auto& p : lists.PulseList)
        text += " pulse(power " + std::to_string(p.Power) + ", prof " + std::to_string(p.Prof.size()) + ")";
    return text + "\n";
}

// Whether a line (with its line feed) is too short to be told from the start
// of a gaussian line at the end of the text while starting like a spike,
// triplet or pulse line.
bool HasShortSignalLine(std::string_view text) {
    constexpr std::size_t kLongestKeyAndOne = std::string_view("gaussian").size() + 1;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t feed = text.find('\n', start);
        const std::size_t end = feed == std::string_view::npos ? text.size() : feed + 1;
        const std::string_view line = text.substr(start, end - start);
        if (line.size() < kLongestKeyAndOne)
            for (std::string_view key : {"spike", "triplet", "pulse"})
                if (line.starts_with(key)) return true;
        start = end;
    }
    return false;
}

struct Reader {
    testsupport::MemoryFiles files;
    testsupport::ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate{dialogs};
    signals::SignalLists lists;
    signals::ShownMarkers shown;
    signals::ResultFileReader reader{files, gate, dialogs, lists, shown};

    Reader() { files.CreateDirectory("/mem"); }
    bool Quiet() const {
        return dialogs.errors.empty() && dialogs.warnings.empty() && dialogs.informations.empty() &&
               dialogs.questions.empty();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(std::uint64_t)) return 0;
    std::uint64_t seed;
    std::memcpy(&seed, data, sizeof seed);
    const std::string_view text(reinterpret_cast<const char*>(data) + sizeof seed,
                                size - sizeof seed);
    signals::ResultReadContext live;
    live.noAlerts = true;

    // A reading that damage ended goes on at the next poll from the line
    // after the damaged one: the polls that follow the last growth, until
    // the position stands still.
    const auto settle = [&](Reader& reader) {
        for (std::int32_t before = -1; before != reader.reader.ResultReadPos();) {
            before = reader.reader.ResultReadPos();
            reader.reader.ReadResultFile(kPath, live);
        }
    };
    Reader whole;
    whole.files.AddFile(kPath, std::string(text));
    whole.reader.ReadResultFile(kPath, live);
    settle(whole);

    // The file grown a run of lines at a time (random runs), and one line at
    // a time.
    auto grow = [&](Reader& reader, bool everyLine) {
        std::mt19937_64 random(seed);
        std::size_t written = 0;
        for (std::size_t at = text.find('\n'); written < text.size(); at = text.find('\n', at + 1)) {
            const std::size_t end = at == std::string_view::npos ? text.size() : at + 1;
            if (!everyLine && end < text.size() && (random() & 1) == 0) continue;
            written = end;
            reader.files.AddFile(kPath, std::string(text.substr(0, written)));
            reader.reader.ReadResultFile(kPath, live);
        }
        settle(reader);
    };
    // A live file is read from its start again until it holds a signal, so
    // growing one without any costs the square of its lines: beyond a few
    // dozen the fuzzer would spend its time there and find nothing new.
    constexpr std::size_t kMostLines = 64;
    if (std::count(text.begin(), text.end(), '\n') > static_cast<std::ptrdiff_t>(kMostLines))
        return 0;
    Reader growing, lineByLine;
    grow(growing, false);
    grow(lineByLine, true);
    // A value's key is looked for past the end of its line (the client
    // always writes every key, so a missing one is damage): a damaged line
    // may take a key of the next line when both are read at once, and not
    // when they arrive apart. Where every line stands alone (the file read
    // whole keeps what its lines read one by one keep), every way of growing
    // the file must keep the same.
    // And a line shorter than "gaussian" and one more character cannot be
    // told from the start of a gaussian line where the text ends: read last,
    // it ends the reading silently; read with the line after it, a short
    // line that starts like another signal ("pulse00") is a damaged signal
    // line, and its missing values are reported.
    const std::string wholeLists = fuzzing::Flatten(whole.lists);
    const bool linesStandAlone = whole.Quiet() && lineByLine.Quiet() &&
                                 wholeLists == fuzzing::Flatten(lineByLine.lists) &&
                                 !HasShortSignalLine(text);
    if (linesStandAlone && (!growing.Quiet() || fuzzing::Flatten(growing.lists) != wholeLists)) {
        std::fprintf(stderr, "whole and growing readings differ:\n%s%s",
                     Describe("whole", whole.lists).c_str(),
                     Describe("growing", growing.lists).c_str());
        std::abort();
    }

    Reader finished;
    finished.files.AddFile(kPath, std::string(text));
    signals::ResultReadContext done;
    done.liveMode = false;
    finished.reader.ReadResultFile(kPath, done);
    return 0;
}
