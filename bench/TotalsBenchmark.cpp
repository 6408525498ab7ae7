// The "total" view reads every archived result; a user with years of
// results has thousands of them, and the view must still come up at once,
// the first time after start and every time after.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
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
// leaves them, and a client directory inside it. In
// $SKYVANE_BENCH_ARCHIVE_DIR/<count>/ when that is set: kept for profiling
// and for skyvane-cli, and reused when a former run wrote it.
struct Archive {
    explicit Archive(int count)
        : dir(Directory(count)),
          programEnv("SKYVANE_PROGRAM_DIR", dir),
          registryEnv("SKYVANE_REGISTRY_DIR", dir + "registry"),
          runtimeEnv("SKYVANE_RUNTIME_DIR", dir + "runtime") {
        std::filesystem::create_directories(dir + "old");
        std::filesystem::create_directories(ClientDir());
        sample::WriteSampleClientDir(ClientDir());
        platform::NativePlatform native;
        auto& files = native.services().files;
        const std::string counter = "last\r\n" + std::to_string(count) + "\r\n";
        const bool written = files.ReadFile(dir + "lastnum.mon") == counter;
        for (int n = 1; n <= count; ++n) {
            const std::string path = history::ArchiveFilePath(dir, n);
            if (written) {
                bytes += files.FileSize(path).value_or(0);
                continue;
            }
            const std::string result = standin::GenerateResult(3, static_cast<std::uint64_t>(n));
            bytes += result.size();
            files.WriteFile(path, result);
        }
        files.WriteFile(dir + "lastnum.mon", counter);
    }
    std::string ClientDir() const { return dir + "client/"; }

    TempDir temp;
    std::string dir;
    ScopedEnv programEnv, registryEnv, runtimeEnv;
    std::uint64_t bytes = 0;

private:
    std::string Directory(int count) const {
        const char* keep = std::getenv("SKYVANE_BENCH_ARCHIVE_DIR");
        if (keep == nullptr) return temp.Path();
        return std::string(keep) + "/" + std::to_string(count) + "/";
    }
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

// A monitor on the archive's client, showing "current".
struct Window {
    explicit Window(const Archive& archive) : monitor(view, dialogs, native.services()) {
        monitor.OpenClientDirectory(archive.ClientDir(), {{}, /*readOnly=*/true});
    }
    testsupport::RecordingView view;
    testsupport::ScriptedDialogs dialogs;
    platform::NativePlatform native;
    monitor::Monitor monitor;
};

// What the totals' records occupy: the lists' records and the pulses'
// profiles.
double RecordMegabytes(const signals::SignalLists& lists) {
    std::size_t bytes = lists.SpikeList.size() * sizeof(signals::TSpikeRec) +
                        lists.GaussianList.size() * sizeof(signals::TGaussianRec) +
                        lists.TripletList.size() * sizeof(signals::TTripletRec) +
                        lists.PulseList.size() * sizeof(signals::TPulseRec);
    for (const signals::TPulseRec& pulse : lists.PulseList)
        bytes += pulse.Prof.HeapBytes();
    return static_cast<double>(bytes) / 1e6;
}

void Report(benchmark::State& state, const Archive& archive, const Window& window) {
    const auto& lists = window.monitor.Lists();
    state.counters["signals"] = static_cast<double>(
        lists.SpikeList.size() + lists.GaussianList.size() + lists.TripletList.size() +
        lists.PulseList.size());
    state.counters["records_MB"] = RecordMegabytes(lists);
    state.counters["alerts"] = static_cast<double>(window.dialogs.warnings.size() +
                                                   window.dialogs.informations.size());
    state.counters["archive_MB"] = static_cast<double>(archive.bytes) / 1e6;
    state.counters["peak_RSS_MB"] = PeakMegabytes();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(archive.bytes));
}

// Choosing "total" the first time after start: every archive read and
// parsed, the best signals found, the graph drawn.
void FirstTotal(benchmark::State& state) {
    Archive& archive = ArchiveOf(static_cast<int>(state.range(0)));
    std::unique_ptr<Window> window;
    for (auto _ : state) {
        state.PauseTiming();
        window.reset();
        window = std::make_unique<Window>(archive);
        state.ResumeTiming();
        window->monitor.WUComboBoxChange(monitor::kTotalItem);
    }
    Report(state, archive, *window);
}
BENCHMARK(FirstTotal)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

// Choosing "total" again, from "current", with the archive unchanged.
void RepeatedTotal(benchmark::State& state) {
    Archive& archive = ArchiveOf(static_cast<int>(state.range(0)));
    Window window(archive);
    window.monitor.WUComboBoxChange(monitor::kTotalItem);
    for (auto _ : state) {
        state.PauseTiming();
        window.monitor.WUComboBoxChange(monitor::kCurrentItem);
        window.dialogs.warnings.clear();
        window.dialogs.informations.clear();
        state.ResumeTiming();
        window.monitor.WUComboBoxChange(monitor::kTotalItem);
    }
    Report(state, archive, window);
}
BENCHMARK(RepeatedTotal)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

// The floor: only reading the same files' bytes.
void ReadArchiveBytes(benchmark::State& state) {
    Archive& archive = ArchiveOf(static_cast<int>(state.range(0)));
    platform::NativePlatform native;
    auto& files = native.services().files;
    for (auto _ : state) {
        std::size_t total = 0;
        for (std::int32_t n = 1; n <= state.range(0); ++n)
            total += files.ReadFile(history::ArchiveFilePath(archive.dir, n))->size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(archive.bytes));
}
BENCHMARK(ReadArchiveBytes)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
