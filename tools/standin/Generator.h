#pragma once
// The stand-in client's deterministic search: from a seed and a work unit it
// plans every signal the search will find, when (as a fraction of the unit's
// progress) it is found, and what the state and result files say at any
// point. Nothing here touches the file system or the clock, so benchmarks can
// produce thousands of realistic results without running the client.
//
// Same seed, same work unit bytes, same version: the same signals, lines and
// files, on every machine (the generator uses its own random numbers and no
// library distributions).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sample/SampleClientFiles.h"

namespace standin {

struct ClientVersion {
    int major = 3;
    int minor = 3;  // hundredths: 3.03 is {3, 3}, 2.7 is {2, 70}

    double Value() const { return major + minor / 100.0; }
    // Hz/s the drift-rate search reaches on each side of 0.
    int DriftRange() const { return major * 100 + minor <= 270 ? 10 : 50; }
    // Clients before 2.0 write gaussians without their power samples.
    bool GaussianPots() const { return major >= 2; }
};

// "3.03", "2.7", "3": false for anything else.
bool ParseVersion(std::string_view text, ClientVersion& version);

// splitmix64: small, fast, and the same numbers everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    double Unit();                            // [0, 1)
    double Between(double low, double high);  // [low, high)
    std::int64_t Below(std::int64_t n);       // 0 .. n-1
    double Exponential(double mean);          // > 0
    double Normal();                          // mean 0, deviation 1
    bool Chance(double probability) { return Unit() < probability; }

private:
    std::uint64_t state_;
};

// 64-bit FNV-1a, for turning a work unit's bytes into a seed.
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t basis = 0xcbf29ce484222325ull);

// The header figures of a work unit the search needs. Missing keys keep the
// defaults, so any text gives a usable plan.
struct WorkUnitInfo {
    std::string name = "unnamed";
    double startRa = 0;
    double startDec = 0;
    double endRa = 0;
    double endDec = 0;
    double angleRange = 0.4;
    double timeRecorded = 2451545.0;
    double subbandBase = 1418750000;
    double subbandSampleRate = 9765.625;
    std::int64_t nsamples = 1048576;

    double Seconds() const;  // length of the recording
};
WorkUnitInfo ParseWorkUnit(std::string_view text);

// A work unit as the server would hand it out, the index-th one for a seed.
sample::WorkUnitFields GenerateWorkUnitFields(std::uint64_t seed, std::uint64_t index);
std::string GenerateWorkUnit(std::uint64_t seed, std::uint64_t index);

// The work unit's header: its text through "end_seti_header" (all of it when
// that line is missing). Only the header decides the search.
std::string_view WorkUnitHeader(std::string_view workUnit);

// Drift rate the search has reached at a progress: 0 up to +range over the
// first half, then 0 down to -range over the second, so it ends at -range.
double DriftRate(double progress, int range);

enum class SignalKind { Spike, Gaussian, Triplet, Pulse };

struct FoundSignal {
    double position = 0;  // progress at which the search finds it, in (0, 1]
    SignalKind kind = SignalKind::Spike;
    std::string line;  // as appended to outfile, with its line feed
    double rank = 0;   // what makes the best of its kind: higher is better
    // The state file's best-signal figures, should this one be the best.
    std::variant<sample::BestSpike, sample::BestGaussian, sample::BestTriplet, sample::BestPulse>
        best;
};

struct UnitPlan {
    WorkUnitInfo unit;
    ClientVersion version;
    double totalCpu = 0;               // CPU seconds the whole unit takes
    std::int64_t totalPairs = 0;       // chirp/fft pairs of the whole search
    std::vector<FoundSignal> signals;  // in the order found

    // How many signals have been found by a progress.
    std::size_t FoundBy(double progress) const;
    // The first `count` signal lines, joined.
    std::string SignalLines(std::size_t count) const;
    // The state file at a progress with `found` signals found and `outfileBytes`
    // bytes of outfile written.
    std::string StateText(double progress, std::size_t found, std::int64_t outfileBytes) const;
    // The result file of the finished unit; `workUnit` is the unit's text.
    std::string ResultText(std::string_view workUnit) const;
    // Whether a state file's figures belong to this unit's search: its CPU
    // time is this unit's share for its progress.
    bool OwnsState(std::string_view stateText) const;
};

UnitPlan PlanUnit(std::uint64_t seed, std::string_view workUnit, ClientVersion version = {});

// The result the stand-in leaves for the index-th generated unit of a seed,
// without generating the unit's data: for benchmarks that need many.
std::string GenerateResult(std::uint64_t seed, std::uint64_t index, ClientVersion version = {});

}  // namespace standin
