// The "total" view reads every archived result again; a user with years of
// results has thousands of them, and the view must still come up at once.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>

#include "history/Archive.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "standin/Generator.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

using testsupport::ScopedEnv;
using testsupport::TempDir;

// A program directory with `count` archived results, as the stand-in client
// leaves them, and a client directory beside it. Made once per size.
struct Archive {
    explicit Archive(int count)
        : programEnv("SKYVANE_PROGRAM_DIR", program.Path()),
          registryEnv("SKYVANE_REGISTRY_DIR", program.Path("registry")),
          runtimeEnv("SKYVANE_RUNTIME_DIR", program.Path("runtime")) {
        sample::WriteSampleClientDir(client.Path());
        program.MakeDir("old");
        for (int n = 1; n <= count; ++n) {
            const std::string result = standin::GenerateResult(3, static_cast<std::uint64_t>(n));
            bytes += result.size();
            program.Write("old/seti" + std::to_string(n) + ".txt", result);
        }
        program.Write("lastnum.mon", "last\r\n" + std::to_string(count) + "\r\n");
    }
    TempDir program, client;
    ScopedEnv programEnv, registryEnv, runtimeEnv;
    std::size_t bytes = 0;
};

Archive& ArchiveOf(int count) {
    static std::unique_ptr<Archive> archive;
    static int made = 0;
    if (made != count) {
        archive.reset();
        archive = std::make_unique<Archive>(count);
        made = count;
    }
    return *archive;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Choosing "total": every archive parsed, the best signals found, the graph
// drawn.
void BuildTotal(benchmark::State& state) {
    Archive& archive = ArchiveOf(static_cast<int>(state.range(0)));
    testsupport::RecordingView view;
    testsupport::ScriptedDialogs dialogs;
    platform::NativePlatform native;
    monitor::Monitor monitor(view, dialogs, native.services());
    monitor.OpenClientDirectory(archive.client.Path(), {{}, /*readOnly=*/true});

    for (auto _ : state) {
        state.PauseTiming();
        monitor.WUComboBoxChange(monitor::kCurrentItem);
        state.ResumeTiming();
        monitor.WUComboBoxChange(monitor::kTotalItem);
    }
    const auto& lists = monitor.Lists();
    state.counters["signals"] = static_cast<double>(
        lists.SpikeList.size() + lists.GaussianList.size() + lists.TripletList.size() +
        lists.PulseList.size());
    state.counters["archive_MB"] = static_cast<double>(archive.bytes) / 1e6;
    state.counters["peak_RSS_MB"] = PeakMegabytes();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(archive.bytes));
}
BENCHMARK(BuildTotal)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

// The floor: only reading the same files' bytes.
void ReadArchiveBytes(benchmark::State& state) {
    Archive& archive = ArchiveOf(static_cast<int>(state.range(0)));
    platform::NativePlatform native;
    auto& files = native.services().files;
    const std::string programDir = archive.program.Path();
    for (auto _ : state) {
        std::size_t total = 0;
        for (std::int32_t n = 1; n <= state.range(0); ++n)
            total += files.ReadFile(history::ArchiveFilePath(programDir, n))->size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(archive.bytes));
}
BENCHMARK(ReadArchiveBytes)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
