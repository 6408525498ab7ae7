// Reading signal lines: a whole result each time the totals are built (once
// per archive file), and the few lines the client appended at every poll
// while it works. The second must cost what was appended, not what the file
// already holds.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "BenchReader.h"
#include "clientfiles/Scanner.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "signals/ResultFile.h"
#include "standin/Generator.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

constexpr std::uint64_t kSeed = 0x5e71;

// Every signal line the stand-in's search finds in its index-th unit.
std::string SignalLinesOf(std::uint64_t index) {
    sample::WorkUnitFields unit = standin::GenerateWorkUnitFields(kSeed, index);
    unit.dataBytes = 0;
    const std::string header = sample::WorkUnitFile(unit);
    const standin::UnitPlan plan = standin::PlanUnit(kSeed, header);
    return plan.SignalLines(plan.signals.size());
}

// A generated unit's finished result, with the signal lines of further
// units after its own until it holds at least `bytes`.
std::string ResultOfAtLeast(std::size_t bytes) {
    std::string text = standin::GenerateResult(kSeed, 0);
    for (std::uint64_t index = 1; text.size() < bytes; ++index)
        text += SignalLinesOf(index);
    return text;
}

std::size_t SignalCount(const signals::SignalLists& lists) {
    return lists.SpikeList.size() + lists.GaussianList.size() + lists.TripletList.size() +
           lists.PulseList.size();
}

// A finished result read whole: file read, scan, records. Alerts off, so
// that only the parse is measured.
void ReadWholeResult(benchmark::State& state) {
    testsupport::TempDir dir;
    const std::string bytes = ResultOfAtLeast(static_cast<std::size_t>(state.range(0)) * 1024);
    dir.Write("result.sah", bytes);
    const std::string path = dir.Path("result.sah");
    bench::Reader r;
    const signals::ResultReadContext finished{
        .liveMode = false, .selectorCurrent = true, .noAlerts = true};

    for (auto _ : state) {
        if (!r.reader.ReadResultFile(path, finished)) state.SkipWithError("reading failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (bytes.size() - 20)));
    state.counters["file_KB"] = static_cast<double>(bytes.size()) / 1024;
    state.counters["signals"] = static_cast<double>(SignalCount(r.lists));
}
BENCHMARK(ReadWholeResult)->Arg(300)->Arg(4096)->Unit(benchmark::kMicrosecond);

// One poll after the client appended one signal line to a live file that
// already holds state.range(0) KB (file_KB): its time should not depend on
// that size.
void ReadAppendedLine(benchmark::State& state) {
    testsupport::TempDir dir;
    const std::string path = dir.Path("outfile.sah");
    std::string lines;
    for (std::uint64_t index = 0; lines.size() < static_cast<std::size_t>(state.range(0)) * 1024;
         ++index)
        lines += SignalLinesOf(index);
    dir.Write("outfile.sah", lines);
    bench::Reader r;
    const signals::ResultReadContext live{.noAlerts = true};
    if (!r.reader.ReadResultFile(path, live)) state.SkipWithError("first reading failed");

    const std::string appended = sample::SpikeLine({});
    std::ofstream out(path, std::ios::binary | std::ios::app);
    for (auto _ : state) {
        state.PauseTiming();
        out.write(appended.data(), static_cast<std::streamsize>(appended.size()));
        out.flush();
        state.ResumeTiming();
        if (!r.reader.ReadResultFile(path, live)) state.SkipWithError("appended line not read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * appended.size()));
    state.counters["file_KB"] = static_cast<double>(lines.size()) / 1024;
}
// A fixed count of appends keeps the file near its starting size (4000
// lines add about half a megabyte).
BENCHMARK(ReadAppendedLine)
    ->Arg(64)
    ->Arg(1024)
    ->Arg(16384)
    ->Iterations(4000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
