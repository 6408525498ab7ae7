#include "signals/ResultFile.h"
#include "signals/Totals.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "clientfiles/Scanner.h"
#include "history/Archive.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/CountingFiles.h"
#include "support/ForwardingFiles.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using sample::GaussianLine;
using sample::PulseLine;
using sample::SpikeLine;
using sample::TripletLine;
using signals::RepeatedDigitRun;
using signals::ResultReadContext;

namespace {

const std::string kCorrupt =
    "\" not found in one of SETI@home files. The file seems to be corrupt.";
const std::string kComputerError =
    ". The likely cause is a computer error.\r"
    "If you get this error often, then this is a clear indication that your system is "
    "unstable.\r"
    "If you are overclocking your system, you should stop.";

// The sample header's time_recorded, as the result file writes it.
constexpr double kTimeRecorded = 2451981.3562;

// Remembers the byte range of every ReadFileInto, to show what a reading
// costs.
class RangeFiles : public testsupport::CountingFiles {
public:
    using CountingFiles::CountingFiles;

    struct Range {
        std::uint64_t offset;
        std::uint64_t limit;
        std::size_t got;
    };
    std::vector<Range> ranges;

    std::optional<std::size_t> ReadFileInto(const std::string& path, std::uint64_t offset,
                                            std::span<char> dest) override {
        std::optional<std::size_t> got = CountingFiles::ReadFileInto(path, offset, dest);
        ranges.push_back({offset, dest.size(), got.value_or(0)});
        return got;
    }
};

std::string Spike(double power, int fftLen = 16384, double chirpRate = 0.5) {
    return SpikeLine({.power = power, .fftLen = fftLen, .chirpRate = chirpRate});
}
std::string Triplet(double chirpRate) {
    return TripletLine({.chirpRate = chirpRate});
}
// Power 6, score 4, fit 1.5: interesting unless its frequency is round.
std::string InterestingGaussian(double freq = 1418745210.227335) {
    return GaussianLine({.peak = 6, .mean = 1, .freq = freq, .sigma = 8, .chisqr = 1.5, .pot = {}});
}
// Score 1.5.
std::string InterestingPulse(double freq = 1418745210.227335) {
    return PulseLine({.freq = freq, .snr = 30, .thresh = 20, .prof = {}});
}

ResultReadContext Finished() {
    return {.liveMode = false, .selectorCurrent = true};
}
ResultReadContext Archive(std::int32_t number, bool total = true) {
    return {.liveMode = false,
            .selectorCurrent = false,
            .selectorTotal = total,
            .currentArchiveNumber = number};
}

class ResultFileReading : public ::testing::Test {
protected:
    // The client appends `lines` to its live signal file.
    void Append(const std::string& lines) {
        outfile += lines;
        dir.Write("outfile.sah", outfile);
    }
    void Rewrite(const std::string& bytes) {
        outfile = bytes;
        dir.Write("outfile.sah", outfile);
    }
    bool ReadLive() { return reader.ReadResultFile(dir.Path("outfile.sah"), live); }

    // A finished result with the sample header and these signal lines.
    std::string WriteResult(const std::string& name, const std::string& lines) {
        const std::string bytes = sample::ResultFile({}, {}, lines);
        dir.Write(name, bytes);
        return bytes;
    }
    bool Read(const std::string& name, const ResultReadContext& context) {
        return reader.ReadResultFile(dir.Path(name), context);
    }
    bool ReadResult(const std::string& lines, const ResultReadContext& context = Finished()) {
        WriteResult("result.sah", lines);
        return Read("result.sah", context);
    }

    // The list lengths, checked before a test looks into the lists.
    ::testing::AssertionResult Counts(std::size_t spikes, std::size_t gaussians,
                                      std::size_t triplets, std::size_t pulses) const {
        const std::vector<std::size_t> want = {spikes, gaussians, triplets, pulses};
        const std::vector<std::size_t> have = {lists.SpikeList.size(), lists.GaussianList.size(),
                                               lists.TripletList.size(), lists.PulseList.size()};
        if (have == want) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "spikes, gaussians, triplets, pulses: " << have[0] << ", " << have[1] << ", "
               << have[2] << ", " << have[3];
    }
    std::size_t ReadPos() const { return static_cast<std::size_t>(reader.ResultReadPos()); }

    testsupport::TempDir dir;
    platform::NativePlatform native;
    RangeFiles files{native.services().files};
    testsupport::ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate{dialogs};
    signals::SignalLists lists;
    signals::ShownMarkers shown;
    signals::ResultFileReader reader{files, gate, dialogs, lists, shown};
    ResultReadContext live;
    std::string outfile;
};

// ------------------------------------------------------------- incremental

TEST_F(ResultFileReading, LiveReadingParsesOnlyTheAppendedBytes) {
    const std::string path = dir.Path("outfile.sah");
    Append(Spike(30) + Triplet(1));
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(1, 0, 1, 0));
    EXPECT_EQ(ReadPos(), outfile.size());

    // WHEN nothing was appended THEN one size query and nothing else
    files.calls.clear();
    EXPECT_FALSE(ReadLive());
    EXPECT_EQ(files.calls, std::vector<std::string>{"FileSize " + path});
    ASSERT_TRUE(Counts(1, 0, 1, 0));
    EXPECT_EQ(ReadPos(), outfile.size());

    // WHEN one line is appended THEN exactly its bytes are read, in one read
    const std::size_t before = outfile.size();
    Append(GaussianLine({}));
    files.calls.clear();
    files.ranges.clear();
    EXPECT_TRUE(ReadLive());
    EXPECT_EQ(files.calls, (std::vector<std::string>{"FileSize " + path, "ReadFileInto " + path}));
    ASSERT_EQ(files.ranges.size(), 1u);
    EXPECT_EQ(files.ranges[0].offset, before);
    EXPECT_EQ(files.ranges[0].limit, outfile.size() - before);
    EXPECT_EQ(files.ranges[0].got, outfile.size() - before);
    ASSERT_TRUE(Counts(1, 1, 1, 0));  // the earlier lines were not parsed again
    EXPECT_EQ(ReadPos(), outfile.size());
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ResultFileReading, LiveReadingStartsOverUntilTheFirstSignal) {
    Append("not a signal line\n");
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(0, 0, 0, 0));
    EXPECT_EQ(ReadPos(), outfile.size());

    Append(Spike(30));
    EXPECT_TRUE(ReadLive());
    ASSERT_FALSE(files.ranges.empty());
    EXPECT_EQ(files.ranges.back().offset, 0u);
    ASSERT_TRUE(Counts(1, 0, 0, 0));
}

TEST_F(ResultFileReading, ShrunkenFileYieldsNothingUntilItGrowsPast) {
    const std::string line = Spike(30);
    Append(line + line + line);
    ASSERT_TRUE(ReadLive());
    const std::size_t consumed = ReadPos();

    // GIVEN a file shorter than what was read, while the lists hold signals
    Rewrite(line);
    EXPECT_FALSE(ReadLive());
    ASSERT_TRUE(Counts(3, 0, 0, 0));
    EXPECT_EQ(ReadPos(), consumed);

    // WHEN it grows past THEN only the bytes beyond the old end are read
    Rewrite(line + line + line + line + Triplet(1));
    EXPECT_TRUE(ReadLive());
    EXPECT_EQ(files.ranges.back().offset, consumed);
    ASSERT_TRUE(Counts(4, 0, 1, 0));

    // WHEN the lists are emptied (a new work unit) THEN reading restarts at 0
    lists.ClearSignals();
    Rewrite(Spike(40));
    EXPECT_TRUE(ReadLive());
    EXPECT_EQ(files.ranges.back().offset, 0u);
    ASSERT_TRUE(Counts(1, 0, 0, 0));
    EXPECT_EQ(lists.SpikeList[0].Power, 40);
}

TEST_F(ResultFileReading, MissingOrEmptyFileReadsNothing) {
    EXPECT_FALSE(ReadLive());
    Append("");
    EXPECT_FALSE(ReadLive());
    EXPECT_EQ(ReadPos(), 0u);
    EXPECT_TRUE(files.ranges.empty());
}

// ------------------------------------------------------------ whole files

TEST_F(ResultFileReading, FinishedResultIsReadWholeFromByte20) {
    // GIVEN stale live signals in the lists
    Append(Spike(99) + Spike(98));
    ASSERT_TRUE(ReadLive());
    shown = {5, 5, 5};

    const std::string bytes = WriteResult(
        "result.sah", SpikeLine({}) + GaussianLine({}) + TripletLine({}) + PulseLine({}));
    files.ranges.clear();
    EXPECT_TRUE(Read("result.sah", Finished()));
    ASSERT_EQ(files.ranges.size(), 1u);
    EXPECT_EQ(files.ranges[0].offset, 20u);
    EXPECT_EQ(files.ranges[0].limit, bytes.size() - 20);
    EXPECT_EQ(ReadPos(), bytes.size());
    ASSERT_TRUE(Counts(1, 1, 1, 1));
    EXPECT_FLOAT_EQ(reader.ResultVersion(), 3.03f);
    EXPECT_EQ(lists.GaussianList[0].FileVersion, 3.03f);
    // Times count from the recording's start.
    EXPECT_DOUBLE_EQ(lists.SpikeList[0].Time, 2451981.356829 - kTimeRecorded);
    EXPECT_DOUBLE_EQ(lists.PulseList[0].Time, 2451981.356829 - kTimeRecorded);
    // The live markers belong to the live work unit only.
    EXPECT_EQ(shown.ShownPeak, 5);
    EXPECT_EQ(shown.ShownGaussian, 5);
    EXPECT_EQ(shown.ShownTriplet, 5);

    // Read again: the same signals, not twice as many.
    EXPECT_TRUE(Read("result.sah", Finished()));
    ASSERT_TRUE(Counts(1, 1, 1, 1));
}

TEST_F(ResultFileReading, ArchivesAccumulateStampedWithTheirNumbers) {
    EXPECT_TRUE(ReadResult(SpikeLine({}), Archive(3)));
    EXPECT_TRUE(ReadResult(SpikeLine({}) + TripletLine({}), Archive(4)));
    ASSERT_TRUE(Counts(2, 0, 1, 0));
    EXPECT_EQ(lists.SpikeList[0].WorkUnit, 3);
    EXPECT_EQ(lists.SpikeList[1].WorkUnit, 4);
    EXPECT_EQ(lists.TripletList[0].WorkUnit, 4);
}

TEST_F(ResultFileReading, VersionLinesGiveTheFileVersion) {
    const std::string header =
        "name=x\ntime_recorded=" + sample::JulianDateValue(kTimeRecorded) + "\n";
    // A version-1 client wrote one "ver" line.
    dir.Write("v1.txt", std::string(sample::kResultFirstLine) + "ver=1.17\n" + header +
                            GaussianLine({.pot = {}, .withPot = false}));
    EXPECT_TRUE(Read("v1.txt", Finished()));
    ASSERT_EQ(lists.GaussianList.size(), 1u);
    EXPECT_EQ(lists.GaussianList[0].FileVersion, 1.0f);
    EXPECT_DOUBLE_EQ(lists.GaussianList[0].Time, 2451981.356829 - kTimeRecorded);

    dir.Write("v2.txt", std::string(sample::kResultFirstLine) + sample::VersionFile(2, 70) +
                            header + GaussianLine({}));
    EXPECT_TRUE(Read("v2.txt", Finished()));
    ASSERT_EQ(lists.GaussianList.size(), 1u);
    EXPECT_EQ(lists.GaussianList[0].FileVersion, 2.7f);

    // Both parts are 8-bit values.
    dir.Write("v3.txt", std::string(sample::kResultFirstLine) + sample::VersionFile(259, 261) +
                            header + GaussianLine({}));
    EXPECT_TRUE(Read("v3.txt", Finished()));
    EXPECT_EQ(reader.ResultVersion(), 3.05f);

    // No version at all: the search for its "=" runs off the end.
    dir.Write("none.txt", std::string(sample::kResultFirstLine) + header + SpikeLine({}));
    EXPECT_FALSE(Read("none.txt", Finished()));
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"String \"=" + kCorrupt});
    ASSERT_TRUE(Counts(0, 0, 0, 0));
}

TEST_F(ResultFileReading, LiveFilesTakeTheRunningClientsVersionAndRawTimes) {
    live.clientVersion = 3.08;
    live.currentArchiveNumber = 12;
    Append(GaussianLine({.time = 2451981.5, .pot = {}}));
    EXPECT_TRUE(ReadLive());
    ASSERT_EQ(lists.GaussianList.size(), 1u);
    EXPECT_EQ(reader.ResultVersion(), 3.08f);
    EXPECT_EQ(lists.GaussianList[0].FileVersion, 3.08f);
    EXPECT_EQ(lists.GaussianList[0].Time, 2451981.5);
    EXPECT_EQ(lists.GaussianList[0].WorkUnit, 12);
}

// ------------------------------------------------------------- line kinds

TEST_F(ResultFileReading, EachLineKindFillsItsRecord) {
    Append(SpikeLine({.power = 24.5,
                      .time = 2451981.25,
                      .freq = 1418745210.5,
                      .fftLen = 16384,
                      .chirpRate = 1.25}));
    Append(GaussianLine({.peak = 6,
                         .mean = 2,
                         .time = 2451981.5,
                         .freq = 1418745211.5,
                         .sigma = 7.5,
                         .chisqr = 1.5,
                         .fftLen = 64,
                         .chirpRate = -2.5,
                         .maxPower = 4.25,
                         .pot = {1, 2, 3, 255}}));
    Append(TripletLine({.power = 11.5,
                        .mean = 0.75,
                        .period = 2.25,
                        .time = 2451981.75,
                        .freq = 1418745212.5,
                        .fftLen = 512,
                        .chirpRate = 3.5}));
    Append(PulseLine({.power = 4.5,
                      .mean = 1.25,
                      .period = 6.5,
                      .time = 2451982.0,
                      .freq = 1418745213.5,
                      .fftLen = 256,
                      .chirpRate = -4.5,
                      .snr = 20,
                      .thresh = 16,
                      .prof = {0, 16, 255}}));
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(1, 1, 1, 1));

    const signals::TSpikeRec& spike = lists.SpikeList[0];
    EXPECT_EQ(spike.Power, 24.5);
    EXPECT_EQ(spike.FftLen, 16384);
    EXPECT_EQ(spike.ChirpRate, 1.25);
    EXPECT_EQ(spike.Time, 2451981.25);
    EXPECT_EQ(spike.Freq, 1418745210.5);

    const signals::TGaussianRec& gaussian = lists.GaussianList[0];
    EXPECT_EQ(gaussian.Power, 3);  // peak / mean
    EXPECT_EQ(gaussian.Mean, 2);
    EXPECT_EQ(gaussian.ChiSqr, 1.5);
    EXPECT_EQ(gaussian.Score, 2);  // power / chisqr
    EXPECT_EQ(gaussian.Sigma, 7.5);
    EXPECT_EQ(gaussian.FftLen, 64);
    EXPECT_EQ(gaussian.ChirpRate, -2.5);
    EXPECT_EQ(gaussian.Time, 2451981.5);
    EXPECT_EQ(gaussian.Freq, 1418745211.5);
    EXPECT_TRUE(gaussian.HasPot);
    EXPECT_EQ(gaussian.MaxPow, 4.25);
    EXPECT_EQ(gaussian.Pot[0], 1);
    EXPECT_EQ(gaussian.Pot[3], 255);
    EXPECT_EQ(gaussian.Pot[63], 0);

    const signals::TTripletRec& triplet = lists.TripletList[0];
    EXPECT_EQ(triplet.Power, 11.5);
    EXPECT_EQ(triplet.Mean, 0.75);
    EXPECT_EQ(triplet.Period, 2.25);
    EXPECT_EQ(triplet.FftLen, 512);
    EXPECT_EQ(triplet.ChirpRate, 3.5);
    EXPECT_EQ(triplet.Time, 2451981.75);
    EXPECT_EQ(triplet.Freq, 1418745212.5);

    const signals::TPulseRec& pulse = lists.PulseList[0];
    EXPECT_EQ(pulse.Power, 4.5);
    EXPECT_EQ(pulse.Mean, 1.25);
    EXPECT_EQ(pulse.Period, 6.5);
    EXPECT_EQ(pulse.FftLen, 256);
    EXPECT_EQ(pulse.ChirpRate, -4.5);
    EXPECT_EQ(pulse.Time, 2451982.0);
    EXPECT_EQ(pulse.Freq, 1418745213.5);
    EXPECT_EQ(pulse.Snr, 20);
    EXPECT_EQ(pulse.Thresh, 16);
    EXPECT_EQ(pulse.Score, 1.25);  // snr / thresh
    EXPECT_EQ(pulse.LenProf, 3);
    EXPECT_EQ(pulse.Prof, (signals::ProfileSamples{0, 16, 255}));
    EXPECT_TRUE(dialogs.warnings.empty());
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST_F(ResultFileReading, SpikePowerIsNormalisedToFft16384) {
    EXPECT_TRUE(ReadResult(Spike(24, 16384)));
    ASSERT_EQ(lists.SpikeList.size(), 1u);
    EXPECT_EQ(lists.SpikeList[0].Power, 24);
    EXPECT_TRUE(dialogs.warnings.empty());

    // Halved by the longer FFT, below the sane range: warned about, kept.
    EXPECT_TRUE(ReadResult(Spike(24, 32768)));
    ASSERT_EQ(lists.SpikeList.size(), 1u);
    EXPECT_EQ(lists.SpikeList[0].Power, 12);
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string>{"This result file contains a peak with a power of 12" +
                                       kComputerError});

    // Above 1e16: warned about and left out.
    EXPECT_TRUE(ReadResult(Spike(1e17, 16384) + Spike(30)));
    ASSERT_EQ(lists.SpikeList.size(), 1u);
    EXPECT_EQ(lists.SpikeList[0].Power, 30);
    ASSERT_EQ(dialogs.warnings.size(), 2u);
    EXPECT_EQ(dialogs.warnings[1],
              "This result file contains a peak with a power of 1E17" + kComputerError);
}

TEST_F(ResultFileReading, AlertPowerUsesTheUsersDecimalSeparator) {
    ResultReadContext context = Archive(9);
    context.decimalSeparator = ',';
    EXPECT_TRUE(ReadResult(Spike(25, 32768), context));
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string>{"Work unit 9 contains a peak with a power of 12,5" +
                                       kComputerError});
}

TEST_F(ResultFileReading, GaussianWithoutSamplesEndsAfterItsDriftRate) {
    Append(GaussianLine({.pot = {}, .withPot = false}) + GaussianLine({.pot = {7}}) + Spike(30));
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(1, 2, 0, 0));
    EXPECT_FALSE(lists.GaussianList[0].HasPot);
    EXPECT_EQ(lists.GaussianList[0].MaxPow, 0);
    EXPECT_EQ(lists.GaussianList[0].Pot[0], 0);
    // The next line's samples were not taken for the first gaussian's.
    EXPECT_TRUE(lists.GaussianList[1].HasPot);
    EXPECT_EQ(lists.GaussianList[1].Pot[0], 7);
}

TEST_F(ResultFileReading, DamagedGaussianSamplesKeepTheBytesBeforeTheDamage) {
    std::string line = GaussianLine({.pot = {1, 2, 3, 4, 5, 6}});
    const std::size_t pot = line.find("pot=") + 4;
    line[pot + 6] = 'A';  // upper case is damage: the fourth byte
    std::string cut = GaussianLine({.pot = {9, 8, 7}});
    cut.resize(cut.find("pot=") + 4 + 5);  // two bytes and a half, then the text ends
    Append(line + Spike(30) + cut);
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(1, 2, 0, 0));
    const signals::TGaussianRec& damaged = lists.GaussianList[0];
    EXPECT_TRUE(damaged.HasPot);
    EXPECT_EQ(damaged.Pot[2], 3);
    EXPECT_EQ(damaged.Pot[3], 0);
    EXPECT_EQ(damaged.Pot[4], 0);
    const signals::TGaussianRec& truncated = lists.GaussianList[1];
    EXPECT_TRUE(truncated.HasPot);
    EXPECT_EQ(truncated.Pot[1], 8);
    EXPECT_EQ(truncated.Pot[2], 0);
}

TEST_F(ResultFileReading, PulseProfilesAreReadOnlyWhenShortAndWhole) {
    const std::vector<std::uint8_t> longProfile(300, 0x42);
    std::string malformed = PulseLine({.prof = {1, 2, 3}});
    malformed[malformed.find(" prof=") + 7] = 'g';
    std::string overlong = PulseLine({.prof = {1, 2}});
    overlong.replace(overlong.find("len_prof=2"), 10, "len_prof=3");
    std::string wrapped = PulseLine({.prof = {1, 2, 3}});
    wrapped.replace(wrapped.find("len_prof=3"), 10, "len_prof=65539");  // 16 bits keep 3
    Append(PulseLine({.prof = longProfile}) + PulseLine({}) + malformed + overlong + wrapped +
           Spike(30));
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(1, 0, 0, 5));

    EXPECT_EQ(lists.PulseList[0].LenProf, 300);
    EXPECT_TRUE(lists.PulseList[0].Prof.empty());
    EXPECT_EQ(lists.PulseList[1].LenProf, 0);
    EXPECT_TRUE(lists.PulseList[1].Prof.empty());
    EXPECT_EQ(lists.PulseList[2].LenProf, 3);
    EXPECT_TRUE(lists.PulseList[2].Prof.empty());
    EXPECT_EQ(lists.PulseList[3].LenProf, 3);  // the line feed ends the samples early
    EXPECT_TRUE(lists.PulseList[3].Prof.empty());
    EXPECT_EQ(lists.PulseList[4].LenProf, 3);
    EXPECT_EQ(lists.PulseList[4].Prof, (signals::ProfileSamples{1, 2, 3}));
}

// ---------------------------------------------------------------- failures

TEST_F(ResultFileReading, TruncatedLineKeepsTheRecordsBeforeIt) {
    const std::string whole = Spike(31);
    const std::size_t cut = whole.find("time=") + 15;
    Append(Spike(30) + Triplet(1) + whole.substr(0, cut));
    EXPECT_FALSE(ReadLive());
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"String \"freq" + kCorrupt});
    ASSERT_TRUE(Counts(1, 0, 1, 0));
    EXPECT_EQ(ReadPos(), outfile.size());

    // The client finishes the line and writes another: only the new whole
    // line counts, the broken one is not taken up again.
    Append(whole.substr(cut) + Spike(32));
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(2, 0, 1, 0));
    EXPECT_EQ(lists.SpikeList[1].Power, 32);
    EXPECT_EQ(dialogs.errors.size(), 1u);
}

TEST_F(ResultFileReading, KeyMissingFromALineIsTakenFromTheNext) {
    std::string noChirp = Spike(30);
    noChirp.resize(noChirp.find(" chirp_rate="));
    Append(noChirp + "\n" + Spike(40, 16384, 2.5));
    EXPECT_TRUE(ReadLive());
    // The first spike took its drift rate from the second line, whose
    // beginning was passed over with it.
    ASSERT_TRUE(Counts(1, 0, 0, 0));
    EXPECT_EQ(lists.SpikeList[0].Power, 30);
    EXPECT_EQ(lists.SpikeList[0].ChirpRate, 2.5);
}

TEST_F(ResultFileReading, ZeroDivisorEndsTheParseSilently) {
    const std::string after = TripletLine({}) + Spike(30);
    const std::vector<std::string> broken = {Spike(30, 0), GaussianLine({.mean = 0, .pot = {}}),
                                             GaussianLine({.chisqr = 0, .pot = {}}),
                                             PulseLine({.thresh = 0, .prof = {}})};
    for (const std::string& line : broken) {
        EXPECT_FALSE(ReadResult(Spike(30) + line + after)) << line;
        ASSERT_TRUE(Counts(1, 0, 0, 0));
    }
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.warnings.empty());

    // A mean of 0 in a triplet divides nothing.
    EXPECT_TRUE(ReadResult(TripletLine({.mean = 0})));
}

TEST_F(ResultFileReading, MalformedIntegerEndsTheParseSilently) {
    std::string line = Spike(30);
    line.replace(line.find("fft_len=16384"), 13, "fft_len=-16384");
    EXPECT_FALSE(ReadResult(Spike(30) + line + Spike(30)));
    ASSERT_TRUE(Counts(1, 0, 0, 0));
    EXPECT_TRUE(dialogs.errors.empty());
}

// ------------------------------------------------------- fast work units

// 50 spikes and 29 triplets at a drift of 1 with a gaussian and a pulse
// among them, then the 80th spike-or-triplet at `drift80`, then a spike and
// a triplet at `driftAfter` and a pulse.
std::string FastCandidate(double drift80, double driftAfter) {
    std::string lines;
    for (int i = 0; i < 50; ++i)
        lines += Spike(30, 16384, i == 20 ? 0.0 : 1.0);  // early ones may drift slowly
    lines += GaussianLine({}) + PulseLine({});
    for (int i = 0; i < 29; ++i)
        lines += Triplet(1);
    lines += Triplet(drift80);
    lines += Spike(30, 16384, driftAfter) + Triplet(driftAfter) + PulseLine({});
    return lines;
}

TEST_F(ResultFileReading, FastWorkUnitContributesNothingToTheTotals) {
    ResultReadContext context = Archive(1);
    context.ignoreFast = true;
    ASSERT_TRUE(
        ReadResult(SpikeLine({}) + GaussianLine({}) + TripletLine({}) + PulseLine({}), context));

    context.currentArchiveNumber = 2;
    EXPECT_FALSE(ReadResult(FastCandidate(0.05, 1), context));
    ASSERT_TRUE(Counts(1, 1, 1, 1));
    for (const auto& spike : lists.SpikeList)
        EXPECT_EQ(spike.WorkUnit, 1);
    EXPECT_EQ(lists.PulseList[0].WorkUnit, 1);
    EXPECT_TRUE(dialogs.errors.empty());

    // The limits themselves are not fast, nor is anything before the 80th.
    context.currentArchiveNumber = 3;
    EXPECT_TRUE(ReadResult(FastCandidate(0.1, -0.00001), context));
    ASSERT_TRUE(Counts(1 + 51, 1 + 1, 1 + 31, 1 + 2));

    context.currentArchiveNumber = 4;
    EXPECT_TRUE(ReadResult(FastCandidate(-0.00001, 0.1), context));
    ASSERT_TRUE(Counts(1 + 102, 1 + 2, 1 + 62, 1 + 4));
}

TEST_F(ResultFileReading, FastWorkUnitsStayOutsideTheIgnoringTotals) {
    ResultReadContext context = Archive(2);
    EXPECT_TRUE(ReadResult(FastCandidate(0.05, 1), context));  // not asked to ignore them
    ASSERT_TRUE(Counts(51, 1, 31, 2));

    lists.ClearSignals();
    context.ignoreFast = true;
    context.selectorTotal = false;  // one archived work unit on its own
    EXPECT_TRUE(ReadResult(FastCandidate(0.05, 1), context));
    ASSERT_TRUE(Counts(51, 1, 31, 2));
}

// ------------------------------------------------------------------ alerts

TEST_F(ResultFileReading, OneComputerErrorAlertPerCall) {
    Append(Spike(24, 32768) + Spike(30, 32768) + Spike(1e17));
    EXPECT_TRUE(ReadLive());
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string>{"This result file contains a peak with a power of 12" +
                                       kComputerError});
    ASSERT_TRUE(Counts(2, 0, 0, 0));

    // The marks start afresh with each call.
    Append(Spike(20, 32768));
    EXPECT_TRUE(ReadLive());
    ASSERT_EQ(dialogs.warnings.size(), 2u);
    EXPECT_EQ(dialogs.warnings[1],
              "This result file contains a peak with a power of 10" + kComputerError);
}

TEST_F(ResultFileReading, PeakAlertSilencesInterestAlertsOfItsWorkUnit) {
    EXPECT_TRUE(
        ReadResult(Spike(24, 32768) + InterestingGaussian() + InterestingPulse(), Archive(5)));
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string>{"Work unit 5 contains a peak with a power of 12" +
                                       kComputerError});
    EXPECT_TRUE(dialogs.informations.empty());

    // One interest box per work unit.
    EXPECT_TRUE(ReadResult(InterestingGaussian() + InterestingPulse(), Archive(6)));
    EXPECT_TRUE(ReadResult(InterestingPulse() + InterestingGaussian(), Archive(7)));
    EXPECT_EQ(
        dialogs.informations,
        (std::vector<std::string>{"Work unit 6 contains a gaussian, that looks very interesting.",
                                  "Work unit 7 contains a pulse, that looks interesting."}));
    EXPECT_EQ(dialogs.warnings.size(), 1u);
}

TEST_F(ResultFileReading, InterestAlertsOnlyForTotalsAndOffRoundNumbers) {
    // A single archived work unit: no interest boxes.
    EXPECT_TRUE(ReadResult(InterestingGaussian() + InterestingPulse(), Archive(4, false)));
    // A round frequency is interference; it also spends the unit's box.
    EXPECT_TRUE(ReadResult(InterestingGaussian(1420000000.0) + InterestingPulse(), Archive(5)));
    // So is a pulse with a round period.
    EXPECT_TRUE(
        ReadResult(PulseLine({.period = 2.5, .snr = 30, .thresh = 20, .prof = {}}), Archive(6)));
    EXPECT_TRUE(dialogs.informations.empty());
    ASSERT_TRUE(Counts(0, 2, 0, 3));

    // Not quite interesting enough.
    EXPECT_TRUE(
        ReadResult(GaussianLine({.peak = 6, .mean = 1, .sigma = 8, .chisqr = 6, .pot = {}}) +
                       GaussianLine({.peak = 5, .mean = 1, .sigma = 8, .chisqr = 1, .pot = {}}) +
                       GaussianLine({.peak = 6, .mean = 1, .sigma = 1, .chisqr = 1.5, .pot = {}}) +
                       PulseLine({.snr = 28, .thresh = 20, .prof = {}}),
                   Archive(7)));
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST_F(ResultFileReading, NoAlertsSilencesEveryBox) {
    ResultReadContext context = Archive(8);
    context.noAlerts = true;
    EXPECT_TRUE(ReadResult(
        Spike(24, 32768) + Spike(1e17) + InterestingGaussian() + InterestingPulse(), context));
    EXPECT_TRUE(dialogs.warnings.empty());
    EXPECT_TRUE(dialogs.informations.empty());
    ASSERT_TRUE(Counts(1, 1, 0, 1));  // the impossible spike is still left out
    EXPECT_EQ(lists.SpikeList[0].Power, 12);
}

// ------------------------------------------------------ kept archives

// A reader on the real files with everything it reads into.
struct ReaderSide {
    explicit ReaderSide(platform::Files& files) : reader(files, gate, dialogs, lists, shown) {}
    testsupport::ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate{dialogs};
    signals::SignalLists lists;
    signals::ShownMarkers shown;
    signals::ResultFileReader reader;
};

// Two readings left the same records and showed the same alerts.
void ExpectSameReading(const ReaderSide& a, const ReaderSide& b) {
    EXPECT_EQ(a.lists.SpikeList, b.lists.SpikeList);
    EXPECT_EQ(a.lists.GaussianList, b.lists.GaussianList);
    EXPECT_EQ(a.lists.TripletList, b.lists.TripletList);
    EXPECT_EQ(a.lists.PulseList, b.lists.PulseList);
    EXPECT_EQ(a.dialogs.warnings, b.dialogs.warnings);
    EXPECT_EQ(a.dialogs.informations, b.dialogs.informations);
}

// An archive parsed once and replayed must leave what reading the file
// leaves, in every totals context: records, alerts (and which of them the
// fast-work-unit rule cuts off), answer, position and version, file after
// file into the same lists.
TEST_F(ResultFileReading, AKeptArchiveReadsAsItsFile) {
    const std::string zeroFft = SpikeLine({.power = 30, .fftLen = 0});
    WriteResult("plain.sah", Spike(30) + GaussianLine({}) + Triplet(1) + PulseLine({}));
    WriteResult("interest.sah", Spike(30) + InterestingGaussian() + InterestingPulse());
    WriteResult("peak.sah", Spike(24, 32768) + InterestingGaussian() + Spike(1e17) + Spike(1e17));
    // Alerts before the fast work unit's 80th signal, and one after it.
    WriteResult("fast.sah", InterestingPulse() + Spike(1e17) + FastCandidate(0.05, 1) +
                                Spike(24, 32768) + InterestingGaussian());
    WriteResult("fastlate.sah", FastCandidate(0.05, 1) + Spike(24, 32768));
    WriteResult("damaged.sah", Spike(30) + InterestingPulse() + zeroFft + Spike(31));
    WriteResult("empty.sah", "");
    const std::vector<std::string> names = {"plain.sah", "interest.sah", "peak.sah",    "fast.sah",
                                            "fastlate.sah", "damaged.sah", "empty.sah"};
    dir.Write("short.sah", "type=result");
    dir.Write("void.sah", "");
    std::vector<std::string> all = names;
    all.insert(all.end(), {"short.sah", "void.sah"});

    for (const bool ignoreFast : {false, true}) {
        for (const bool noAlerts : {false, true}) {
            SCOPED_TRACE(testing::Message() << "ignoreFast " << ignoreFast << ", noAlerts "
                                            << noAlerts);
            ReaderSide read(native.services().files), kept(native.services().files);
            std::int32_t number = 0;
            for (const std::string& name : all) {
                SCOPED_TRACE(name);
                ResultReadContext context = Archive(++number);
                context.ignoreFast = ignoreFast;
                context.noAlerts = noAlerts;
                context.decimalSeparator = ',';
                const std::optional<signals::ArchivedResult> parsed =
                    signals::ResultFileReader::ParseArchivedResult(native.services().files,
                                                                   dir.Path(name), number);
                ASSERT_TRUE(parsed.has_value());
                EXPECT_EQ(kept.reader.ReadArchivedResult(*parsed, context),
                          read.reader.ReadResultFile(dir.Path(name), context));
                ExpectSameReading(kept, read);
                EXPECT_EQ(kept.reader.ResultReadPos(), read.reader.ResultReadPos());
                EXPECT_EQ(kept.reader.ResultVersion(), read.reader.ResultVersion());
            }
            EXPECT_TRUE(read.dialogs.errors.empty());
            // The cases are what they claim: alerts shown, cut off or not.
            if (!noAlerts) {
                EXPECT_GE(read.dialogs.warnings.size(), 2u);
                EXPECT_GE(read.dialogs.informations.size(), 2u);
            }
            EXPECT_EQ(read.lists.SpikeList.size() > 100u, !ignoreFast);
        }
    }

    // A damaged file shows its message from its own reading, each time.
    WriteResult("corrupt.sah", Spike(30));
    std::string bytes = dir.Read("corrupt.sah");
    bytes.erase(bytes.find("time_recorded"), 4);
    dir.Write("corrupt.sah", bytes);
    EXPECT_FALSE(signals::ResultFileReader::ParseArchivedResult(
        native.services().files, dir.Path("corrupt.sah"), 1));
    EXPECT_FALSE(signals::ResultFileReader::ParseArchivedResult(
        native.services().files, dir.Path("missing.sah"), 1));
}

// The totals parse the archives they have not kept yet on every core. What
// they then show must be what one thread reading one archive after another
// shows: records in order, alerts in order, the number read last; on the
// first total and on the next, which replays what was kept.
TEST_F(ResultFileReading, TotalsParsedOnSeveralThreadsReadAsOneAfterAnother) {
    const std::vector<std::string> kinds = {
        sample::ResultFile({}, {}, Spike(30) + GaussianLine({}) + Triplet(1) + PulseLine({})),
        sample::ResultFile({}, {}, Spike(30) + InterestingGaussian() + InterestingPulse()),
        sample::ResultFile({}, {}, Spike(24, 32768) + InterestingGaussian() + Spike(1e17)),
        sample::ResultFile({}, {}, InterestingPulse() + FastCandidate(0.05, 1) + Spike(24, 32768)),
        sample::ResultFile({}, {}, Spike(30) + InterestingPulse() + SpikeLine({.fftLen = 0})),
        "type=result",
        ""};
    const std::string program = dir.Path("");
    for (std::int32_t number = 1; number <= 60; ++number)
        if (number % 11 != 0)  // gaps in the numbers
            dir.Write(history::ArchiveFilePath(program, number).substr(program.size()),
                      kinds[static_cast<std::size_t>(number) % kinds.size()]);

    platform::Files& real = native.services().files;
    ASSERT_TRUE(real.ReadsFromAnyThread());
    testsupport::ForwardingFiles oneAtATime(real);
    ASSERT_FALSE(oneAtATime.ReadsFromAnyThread());
    ReaderSide many(real), one(oneAtATime);
    signals::Totals manyTotals(real, many.reader), oneTotals(oneAtATime, one.reader);
    const auto total = [] { return Archive(0); };
    for (int visit = 1; visit <= 2; ++visit) {
        SCOPED_TRACE(visit);
        many.lists.ClearSignals();
        one.lists.ClearSignals();
        EXPECT_EQ(manyTotals.ReadArchives(program, 1, 60, std::nullopt, total),
                  oneTotals.ReadArchives(program, 1, 60, std::nullopt, total));
        ExpectSameReading(many, one);
        EXPECT_EQ(many.dialogs.errors, one.dialogs.errors);
        EXPECT_EQ(manyTotals.KeptCount(), oneTotals.KeptCount());
    }
    EXPECT_GT(many.lists.PulseList.size(), 40u);
    EXPECT_FALSE(many.dialogs.warnings.empty());
}

// A damaged line ends a live reading silently, and what that reading
// brought counts as read. The sound lines that came with the damaged one
// must still be read: the next reading starts on the line after it.
TEST_F(ResultFileReading, LiveLinesAfterADamagedOneInTheSamePollAreRead) {
    Append(Spike(30));
    ASSERT_TRUE(ReadLive());
    Append(Spike(31) + SpikeLine({.power = 32, .fftLen = 0}) + Spike(33) + Triplet(34));
    EXPECT_FALSE(ReadLive());  // the damage ends this reading
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(ReadLive());  // the next one goes on after the damaged line
    Append(Spike(35));
    EXPECT_TRUE(ReadLive());
    std::vector<double> powers;
    for (const auto& spike : lists.SpikeList)
        powers.push_back(spike.Power);
    EXPECT_EQ(powers, (std::vector<double>{30, 31, 33, 35}));
    EXPECT_EQ(lists.TripletList.size(), 1u);
    EXPECT_EQ(reader.ResultReadPos(), static_cast<std::int32_t>(outfile.size()));
    EXPECT_TRUE(dialogs.errors.empty());

    // Damage on the last line: read once, then nothing is left to read.
    Append(SpikeLine({.power = 36, .fftLen = 0}));
    EXPECT_FALSE(ReadLive());
    EXPECT_FALSE(ReadLive());
    EXPECT_EQ(reader.ResultReadPos(), static_cast<std::int32_t>(outfile.size()));
}

// ------------------------------------------------------- live best markers

TEST_F(ResultFileReading, LiveReadingResetsTheShownBestMarkers) {
    shown = {5, 5, 5};
    Append(TripletLine({}) + GaussianLine({}));
    EXPECT_TRUE(ReadLive());
    EXPECT_EQ(shown.ShownPeak, -100);
    EXPECT_EQ(shown.ShownGaussian, -100);
    EXPECT_EQ(shown.ShownTriplet, 0);

    // A parse that stops early leaves the end-of-read markers alone.
    shown = {5, 5, 5};
    Append(GaussianLine({}) + "spike: power=30");
    EXPECT_FALSE(ReadLive());
    EXPECT_EQ(shown.ShownPeak, 5);
    EXPECT_EQ(shown.ShownGaussian, 0);
    EXPECT_EQ(shown.ShownTriplet, 5);
}

// -------------------------------------------------------------- the gate

TEST_F(ResultFileReading, RefusedWhileAnotherReadingIsActive) {
    Append(Spike(30));
    std::optional<clientfiles::Reading> other = gate.Begin("x=1\n");
    ASSERT_TRUE(other);
    EXPECT_FALSE(ReadLive());
    EXPECT_TRUE(files.calls.empty());
    EXPECT_EQ(ReadPos(), 0u);
    ASSERT_TRUE(Counts(0, 0, 0, 0));

    other.reset();
    EXPECT_TRUE(ReadLive());
    ASSERT_TRUE(Counts(1, 0, 0, 0));
}

TEST_F(ResultFileReading, TickDuringAnAlertConsumesNothing) {
    Append(Spike(30));
    ASSERT_TRUE(ReadLive());

    // GIVEN an alert box open, during which the client appends a line and
    // the poll ticks
    Append(Spike(24, 32768));
    bool ticked = false;
    bool innerResult = true;
    std::size_t posDuringBox = 0;
    dialogs.whileOpen = [&] {
        if (ticked) return;
        ticked = true;
        Append(Triplet(1));
        innerResult = ReadLive();
        posDuringBox = ReadPos();
    };
    EXPECT_TRUE(ReadLive());
    EXPECT_TRUE(ticked);
    EXPECT_FALSE(innerResult);
    EXPECT_EQ(dialogs.warnings.size(), 1u);
    ASSERT_TRUE(Counts(2, 0, 0, 0));

    // THEN the next tick reads the triplet, from where the first call ended
    EXPECT_TRUE(ReadLive());
    EXPECT_EQ(files.ranges.back().offset, posDuringBox);
    ASSERT_TRUE(Counts(2, 0, 1, 0));
    EXPECT_EQ(ReadPos(), outfile.size());
}

// --------------------------------------------------------- damaged input

TEST_F(ResultFileReading, DamagedChunksNeverLeaveTheirBuffers) {
    // GIVEN realistic lines, cut at random places and sprinkled with the
    // characters the scanner reacts to
    const std::string clean = SpikeLine({}) + GaussianLine({.pot = {1, 2, 3}}) + TripletLine({}) +
                              PulseLine({.prof = {4, 5, 6, 7}}) +
                              GaussianLine({.pot = {}, .withPot = false}) + PulseLine({});
    const std::string specials = "=\n 0f9gA.-e+";
    std::mt19937 random(20010312);
    for (int round = 0; round < 400; ++round) {
        std::string text = clean.substr(0, random() % (clean.size() + 1));
        const int damage = static_cast<int>(random() % 6);
        for (int i = 0; i < damage && !text.empty(); ++i)
            text[random() % text.size()] = specials[random() % specials.size()];
        Rewrite(text);
        lists.ClearSignals();
        // WHEN it is read THEN whatever comes of it stays sane (ASan watches
        // the buffers)
        ReadLive();
        for (const signals::TPulseRec& pulse : lists.PulseList)
            EXPECT_TRUE(pulse.Prof.empty() || pulse.Prof.size() == pulse.LenProf);
        for (const signals::TSpikeRec& spike : lists.SpikeList)
            EXPECT_LE(spike.Power, 1e16);
    }
}

// ------------------------------------------------------ repeated digits

TEST(RepeatedDigitRun, FrequenciesInTenthsOfAHertz) {
    EXPECT_EQ(RepeatedDigitRun(0, 1420000000.0), 7);
    EXPECT_EQ(RepeatedDigitRun(0, 1418750000.0), 5);
    EXPECT_EQ(RepeatedDigitRun(0, 1420000000.5), 6);
    EXPECT_EQ(RepeatedDigitRun(0, 1420123456.7), 0);
    EXPECT_EQ(RepeatedDigitRun(0, 1419999999.9), 7);
    EXPECT_EQ(RepeatedDigitRun(0, 1418745210.227335), 0);  // a lone 0 inside is no run
    EXPECT_EQ(RepeatedDigitRun(0, 1419090990.0), 2);       // 0,0 then 9,9: runs of two
    EXPECT_EQ(RepeatedDigitRun(0, 1418000000.04), 7);      // to the nearest tenth
    EXPECT_EQ(RepeatedDigitRun(0, 1418000000.06), 6);
    EXPECT_EQ(RepeatedDigitRun(0, -1420000000.0), 7);
}

TEST(RepeatedDigitRun, PeriodsBySixSignificantDigits) {
    EXPECT_EQ(RepeatedDigitRun(1, 2.5), 4);          // 250000
    EXPECT_EQ(RepeatedDigitRun(1, 2.4999996), 4);    // six decimals round it to 2.500000
    EXPECT_EQ(RepeatedDigitRun(1, 2.4999994), 4);    // 249999: the nines
    EXPECT_EQ(RepeatedDigitRun(1, 0.001), 5);        // 100000
    EXPECT_EQ(RepeatedDigitRun(1, 1234567.891), 1);  // 0123456: the leading zero
    EXPECT_EQ(RepeatedDigitRun(1, 6.782301), 1);
    EXPECT_EQ(RepeatedDigitRun(1, 0), 7);  // no significant digit: all zeros
}

}  // namespace
