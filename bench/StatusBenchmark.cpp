// A finished result of 400,000 signal lines, read in-process and through
// skyvane-cli status, beside `wc -l` over the same file: the end-to-end speed
// of the CLI and how far it is from merely reading the lines.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchReader.h"
#include "clientfiles/Scanner.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "signals/ResultFile.h"
#include "standin/Generator.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

constexpr std::uint64_t kSeed = 0x77;
constexpr std::size_t kLines = 400000;
constexpr std::size_t kPlotSamples = 64;  // 128 hex digits of pot= and prof=

std::vector<std::uint8_t> Samples(standin::Random& random) {
    std::vector<std::uint8_t> samples(kPlotSamples);
    for (auto& s : samples)
        s = static_cast<std::uint8_t>(random.Below(256));
    return samples;
}

double Round6(double x) {
    return std::round(x * 1e6) / 1e6;
}

// `lines` signal lines, a quarter of each kind in a shuffled order, with the
// figures a 3.03 client writes: spikes' powers grow with their FFT length,
// drift rates cover ±50 Hz/s, gaussians carry 64 power samples and pulses a
// 64-sample profile.
std::string SignalLines(std::size_t lines) {
    const sample::WorkUnitFields unit;
    const double seconds = static_cast<double>(unit.nsamples) / unit.subbandSampleRate;
    standin::Random random(kSeed);
    const auto time = [&] { return unit.timeRecorded + random.Unit() * seconds / 86400; };
    const auto freq = [&] { return unit.subbandBase + random.Unit() * unit.subbandSampleRate; };
    const auto chirp = [&] { return Round6(random.Between(-50, 50)); };
    const auto ra = [&] { return Round6(random.Between(unit.startRa, unit.endRa)); };
    const auto dec = [&] { return Round6(random.Between(unit.endDec, unit.startDec)); };

    std::string text;
    text.reserve(lines * 240);
    int order[4] = {0, 1, 2, 3};
    for (std::size_t i = 0; i < lines; ++i) {
        if (i % 4 == 0)
            for (int k = 3; k > 0; --k)
                std::swap(order[k], order[random.Below(k + 1)]);
        switch (order[i % 4]) {
            case 0: {
                sample::SpikeSignal s;
                s.fftLen = 1 << (10 + random.Below(8));  // 1024 .. 131072
                s.power = Round6((21 + random.Exponential(4)) * s.fftLen / 16384.0);
                s.ra = ra(), s.dec = dec(), s.time = time(), s.freq = freq();
                s.chirpRate = chirp();
                text += sample::SpikeLine(s);
                break;
            }
            case 1: {
                sample::GaussianSignal g;
                g.mean = Round6(random.Between(0.97, 1.03));
                g.peak = Round6((2 + random.Exponential(0.9)) * g.mean);
                g.ra = ra(), g.dec = dec(), g.time = time(), g.freq = freq();
                g.sigma = Round6(random.Between(2, 30));
                g.chisqr = Round6(random.Between(0.5, 3));
                g.chirpRate = chirp();
                g.maxPower = Round6(g.peak * random.Between(1, 1.5));
                g.pot = Samples(random);
                text += sample::GaussianLine(g);
                break;
            }
            case 2: {
                sample::TripletSignal t;
                t.power = Round6(7.5 + random.Exponential(3.5));
                t.mean = Round6(random.Between(0.97, 1.03));
                t.period = Round6(random.Between(0.2, 30));
                t.ra = ra(), t.dec = dec(), t.time = time(), t.freq = freq();
                t.fftLen = 1 << (3 + random.Below(12));  // 8 .. 16384
                t.chirpRate = chirp();
                text += sample::TripletLine(t);
                break;
            }
            default: {
                sample::PulseSignal p;
                p.snr = Round6(10 + random.Exponential(4));
                p.thresh = Round6(random.Between(12, 18));
                p.power = Round6(p.snr * random.Between(0.15, 0.45));
                p.mean = Round6(random.Between(0.97, 1.03));
                p.period = Round6(random.Between(0.2, 30));
                p.ra = ra(), p.dec = dec(), p.time = time(), p.freq = freq();
                p.fftLen = 1 << (3 + random.Below(10));  // 8 .. 4096
                p.chirpRate = chirp();
                p.prof = Samples(random);
                text += sample::PulseLine(p);
                break;
            }
        }
    }
    return text;
}

// A client directory whose work unit has just finished with that result; in
// $SKYVANE_BENCH_CLIENT_DIR, kept for profiling, when that is set.
struct FinishedClient {
    testsupport::TempDir temp;
    std::string dir;
    std::string resultPath;
    std::uint64_t resultBytes = 0;

    FinishedClient() {
        const char* keep = std::getenv("SKYVANE_BENCH_CLIENT_DIR");
        dir = keep != nullptr ? std::string(keep) + "/" : temp.Path();
        sample::WriteSampleClientDir(dir);
        const std::string result = sample::ResultFile(
            sample::WorkUnitFile(), 3, 3, sample::StateFile({.prog = 1}), SignalLines(kLines));
        resultPath = dir + "result.sah";
        std::ofstream(resultPath, std::ios::binary) << result;
        resultBytes = result.size();
    }
};

FinishedClient& Client() {
    static FinishedClient client;
    return client;
}

// The parse alone: file reading, scan, records.
void ReadBigResult(benchmark::State& state) {
    FinishedClient& client = Client();
    bench::Reader r;
    const signals::ResultReadContext finished{.liveMode = false, .selectorCurrent = true};
    for (auto _ : state)
        if (!r.reader.ReadResultFile(client.resultPath, finished)) state.SkipWithError("failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * client.resultBytes));
    state.counters["file_MB"] = static_cast<double>(client.resultBytes) / 1e6;
    state.counters["signals"] =
        static_cast<double>(r.lists.SpikeList.size() + r.lists.GaussianList.size() +
                            r.lists.TripletList.size() + r.lists.PulseList.size());
}
BENCHMARK(ReadBigResult)->Unit(benchmark::kMillisecond)->Iterations(5);

// Seconds one shell command takes, its output discarded.
double Run(const std::string& command) {
    const auto begin = std::chrono::steady_clock::now();
    const int status = std::system((command + " >/dev/null").c_str());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    if (status != 0) return -1;
    return took.count();
}

// skyvane-cli status on the finished client directory, each time beside
// `wc -l` over its result file: MB/s of both and how many times longer the
// CLI takes. The iteration time is the CLI's.
void StatusEndToEnd(benchmark::State& state) {
    FinishedClient& client = Client();
    // SKYVANE_BENCH_CLI names another build of the program to compare with.
    const char* other = std::getenv("SKYVANE_BENCH_CLI");
    const std::string status = std::string(other != nullptr ? other : SKYVANE_CLI_PATH) +
                               " status --client-dir " + client.dir;
    const std::string lines = "wc -l " + client.resultPath;
    double cliTotal = 0, wcTotal = 0;
    for (auto _ : state) {
        const double cli = Run(status);
        const double wc = Run(lines);
        if (cli < 0 || wc < 0) {
            state.SkipWithError("a command failed");
            break;
        }
        state.SetIterationTime(cli);
        cliTotal += cli;
        wcTotal += wc;
    }
    const double megabytes = static_cast<double>(client.resultBytes) / 1e6;
    const auto n = static_cast<double>(state.iterations());
    state.counters["file_MB"] = megabytes;
    state.counters["cli_MB/s"] = megabytes * n / cliTotal;
    state.counters["wc_MB/s"] = megabytes * n / wcTotal;
    state.counters["cli/wc"] = cliTotal / wcTotal;
}
BENCHMARK(StatusEndToEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
