#include "standin/Generator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "sample/SampleClientFiles.h"
#include "standin/tests/ClientText.h"

using standin::ClientVersion;
using standin::SignalKind;
using standintest::Lines;
using standintest::Number;
using standintest::Value;

namespace {

// The number after " key=" in a signal line.
double Field(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return std::nan("");
    return std::stod(line.substr(at + key.size() + 2));
}

std::string Text(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return {};
    const std::size_t start = at + key.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}

// The keys of a signal line appear in the order the result reader asks for
// them, each after the previous one.
bool KeysInOrder(const std::string& line, std::initializer_list<const char*> keys) {
    std::size_t pos = 0;
    for (const char* key : keys) {
        pos = line.find(key, pos);
        if (pos == std::string::npos) return false;
        pos += std::string(key).size();
    }
    return true;
}

class Plans : public ::testing::Test {
protected:
    const std::string unit = standin::GenerateWorkUnit(7, 0);
    const standin::UnitPlan plan = standin::PlanUnit(7, unit);
};

TEST(Versions, ParseAndDriftRange) {
    ClientVersion version;
    ASSERT_TRUE(standin::ParseVersion("3.03", version));
    EXPECT_EQ(version.major, 3);
    EXPECT_EQ(version.minor, 3);
    EXPECT_EQ(version.DriftRange(), 50);
    ASSERT_TRUE(standin::ParseVersion("2.7", version));
    EXPECT_EQ(version.minor, 70);
    EXPECT_EQ(version.DriftRange(), 10);
    ASSERT_TRUE(standin::ParseVersion("2.71", version));
    EXPECT_EQ(version.DriftRange(), 50);
    ASSERT_TRUE(standin::ParseVersion("1", version));
    EXPECT_EQ(version.minor, 0);
    EXPECT_FALSE(version.GaussianPots());
    EXPECT_FALSE(standin::ParseVersion("3.003", version));
    EXPECT_FALSE(standin::ParseVersion("x.1", version));
    EXPECT_FALSE(standin::ParseVersion("3.", version));
}

TEST(Sweep, GoesUpToPlusRangeThenDownToMinusRange) {
    EXPECT_EQ(standin::DriftRate(0, 50), 0);
    EXPECT_EQ(standin::DriftRate(0.25, 50), 25);
    EXPECT_EQ(standin::DriftRate(0.4999999, 10), 10 * 0.4999999 * 2);
    EXPECT_FALSE(std::signbit(standin::DriftRate(0.5, 50)));  // no "-0"
    EXPECT_EQ(standin::DriftRate(0.75, 10), -5);
    EXPECT_EQ(standin::DriftRate(1, 50), -50);
    EXPECT_EQ(standin::DriftRate(1.5, 50), -50);
}

TEST(WorkUnits, GeneratedUnitsAreDeterministicAndReadable) {
    const std::string a = standin::GenerateWorkUnit(5, 3);
    EXPECT_EQ(a, standin::GenerateWorkUnit(5, 3));
    EXPECT_NE(a, standin::GenerateWorkUnit(5, 4));
    EXPECT_NE(a, standin::GenerateWorkUnit(6, 3));

    const auto info = standin::ParseWorkUnit(a);
    EXPECT_EQ(info.name, Value(a, "name"));
    EXPECT_EQ(info.name.size(), 29u) << info.name;  // "12mr01aa.31054.4098.683214.82"
    EXPECT_NEAR(info.Seconds(), 107.374, 0.001);
    EXPECT_GT(info.timeRecorded, 2451179.5);
    EXPECT_LT(info.timeRecorded, 2452640.0);
    EXPECT_GE(info.startDec, -1.2);
    EXPECT_LE(info.startDec, 37.8);
    EXPECT_EQ(Value(a, "receiver"), "ao1420");
    EXPECT_EQ(Value(a, "subband_sample_rate"), "9765.625");
    // The header a reader needs lies in its first 900 bytes.
    EXPECT_LT(a.find("\nnsamples="), 900u);
    EXPECT_NE(a.find("\nend_seti_header\n"), std::string::npos);
    // "time_recorded= <Julian date> (<date in words>)"
    const std::string recorded = *Value(a, "time_recorded");
    EXPECT_EQ(recorded.front(), ' ');
    EXPECT_NE(recorded.find(" ("), std::string::npos);
    EXPECT_EQ(recorded.back(), ')');
}

TEST(WorkUnits, ParsesHandWrittenHeaders) {
    sample::WorkUnitFields unit;
    unit.name = "hand.made";
    unit.nsamples = 524288;
    const auto info = standin::ParseWorkUnit(sample::WorkUnitFile(unit));
    EXPECT_EQ(info.name, "hand.made");
    EXPECT_EQ(info.nsamples, 524288);
    EXPECT_DOUBLE_EQ(info.timeRecorded, 2451981.3562);
    EXPECT_DOUBLE_EQ(info.subbandBase, 1418741455);
    // Nothing usable: defaults, still a plan.
    const auto plan = standin::PlanUnit(1, "garbage without a header");
    EXPECT_FALSE(plan.signals.empty());
}

TEST_F(Plans, SameSeedAndUnitGiveTheSameSignals) {
    const auto again = standin::PlanUnit(7, unit);
    EXPECT_EQ(plan.SignalLines(plan.signals.size()), again.SignalLines(again.signals.size()));
    EXPECT_EQ(plan.ResultText(unit), again.ResultText(unit));
    const auto otherSeed = standin::PlanUnit(8, unit);
    EXPECT_NE(plan.SignalLines(plan.signals.size()),
              otherSeed.SignalLines(otherSeed.signals.size()));
    const auto otherUnit = standin::PlanUnit(7, standin::GenerateWorkUnit(7, 1));
    EXPECT_NE(plan.SignalLines(plan.signals.size()),
              otherUnit.SignalLines(otherUnit.signals.size()));
}

TEST_F(Plans, OnlyTheHeaderDecidesTheSearch) {
    const std::string header(standin::WorkUnitHeader(unit));
    EXPECT_TRUE(header.ends_with("\nend_seti_header\n"));
    EXPECT_LT(header.size(), unit.size());
    EXPECT_EQ(standin::PlanUnit(7, header).SignalLines(1000), plan.SignalLines(1000));
    EXPECT_EQ(standin::WorkUnitHeader("no header"), "no header");
    EXPECT_EQ(standin::GenerateResult(7, 0), plan.ResultText(unit));
}

TEST_F(Plans, KnowsItsOwnStateFromAnotherUnits) {
    EXPECT_TRUE(plan.OwnsState(plan.StateText(0.37, plan.FoundBy(0.37), 10)));
    EXPECT_TRUE(plan.OwnsState(plan.StateText(1, plan.signals.size(), 10)));
    const auto other = standin::PlanUnit(7, standin::GenerateWorkUnit(7, 1));
    EXPECT_FALSE(plan.OwnsState(other.StateText(0.37, other.FoundBy(0.37), 10)));
    EXPECT_FALSE(plan.OwnsState(sample::StateFile()));
    EXPECT_FALSE(plan.OwnsState("prog=0.5\n"));
}

TEST_F(Plans, DozensToHundredsOfSignalsOfEveryKind) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const auto p = standin::PlanUnit(seed, standin::GenerateWorkUnit(seed, 0));
        EXPECT_GE(p.signals.size(), 28u);
        EXPECT_LE(p.signals.size(), 400u);
        std::set<SignalKind> kinds;
        for (const auto& s : p.signals)
            kinds.insert(s.kind);
        EXPECT_EQ(kinds.size(), 4u) << "seed " << seed;
        EXPECT_GE(p.totalCpu, 4 * 3600.0);
        EXPECT_LE(p.totalCpu, 12 * 3600.0);
    }
}

TEST_F(Plans, SignalsAreFoundInOrderAtTheSweepsDriftRate) {
    double previous = 0;
    for (const auto& signal : plan.signals) {
        EXPECT_GT(signal.position, 0);
        EXPECT_LE(signal.position, 1);
        EXPECT_GE(signal.position, previous);
        previous = signal.position;
        const std::string key = signal.kind == SignalKind::Gaussian ? "chirprate" : "chirp_rate";
        const double expected = std::round(standin::DriftRate(signal.position, 50) * 1e6) / 1e6;
        EXPECT_NEAR(Field(signal.line, key), expected, 1e-9) << signal.line;
        ASSERT_EQ(signal.line.back(), '\n');
        ASSERT_EQ(signal.line.find('\n'), signal.line.size() - 1);
    }
    EXPECT_EQ(plan.FoundBy(0), 0u);
    EXPECT_EQ(plan.FoundBy(1), plan.signals.size());
    const std::size_t half = plan.FoundBy(0.5);
    EXPECT_GT(half, 0u);
    EXPECT_LT(half, plan.signals.size());
    EXPECT_LE(plan.signals[half - 1].position, 0.5);
    EXPECT_GT(plan.signals[half].position, 0.5);
}

TEST_F(Plans, LinesCarryTheirKeysInTheReadersOrder) {
    for (const auto& signal : plan.signals) {
        const std::string& line = signal.line;
        switch (signal.kind) {
            case SignalKind::Spike:
                EXPECT_TRUE(line.starts_with("spike: power="));
                EXPECT_TRUE(KeysInOrder(line, {"time=", "freq=", "fft_len=", "chirp_rate="}))
                    << line;
                // Every reported spike clears the threshold of 20 once scaled
                // to its FFT length.
                EXPECT_GE(Field(line, "power") / (Field(line, "fft_len") / 16384), 20) << line;
                break;
            case SignalKind::Gaussian: {
                EXPECT_TRUE(KeysInOrder(
                    line, {"gaussian: peak=", "mean=", "ra=", "dec=", "time=", "freq=", "sigma=",
                           "chisqr=", "fft_len=", "chirprate=", "maxpow=", "pot="}))
                    << line;
                const std::string pot = line.substr(line.find(" pot=") + 5, 128);
                EXPECT_EQ(line.size(), line.find(" pot=") + 5 + 128 + 1);
                EXPECT_EQ(pot.find_first_not_of("0123456789abcdef"), std::string::npos) << pot;
                EXPECT_GT(Field(line, "peak") / Field(line, "mean"), 1.5);
                break;
            }
            case SignalKind::Triplet:
                EXPECT_TRUE(KeysInOrder(line, {"triplet: power=", "mean=", "period=", "ra=", "dec=",
                                               "time=", "freq=", "fft_len=", "chirp_rate="}))
                    << line;
                break;
            case SignalKind::Pulse: {
                EXPECT_TRUE(KeysInOrder(
                    line, {"pulse: power=", "mean=", "period=", "ra=", "dec=", "time=", "freq=",
                           "fft_len=", "chirp_rate=", "snr=", "thresh=", "len_prof=", "prof="}))
                    << line;
                const std::string prof = Text(line, "prof");
                EXPECT_EQ(prof.size() - 1, 2 * static_cast<std::size_t>(Field(line, "len_prof")));
                EXPECT_EQ(prof.find_first_not_of("0123456789abcdef\n"), std::string::npos);
                break;
            }
        }
        // Times lie within the recording.
        const auto info = standin::ParseWorkUnit(unit);
        const double seconds = (Field(line, "time") - info.timeRecorded) * 86400;
        EXPECT_GE(seconds, -0.1) << line;
        EXPECT_LE(seconds, info.Seconds() + 0.1) << line;
        EXPECT_GE(Field(line, "freq"), info.subbandBase);
        EXPECT_LE(Field(line, "freq"), info.subbandBase + info.subbandSampleRate);
    }
}

TEST(OldClients, GaussiansWithoutSamplesAndANarrowSweep) {
    ClientVersion version;
    ASSERT_TRUE(standin::ParseVersion("1.6", version));
    const std::string unit = standin::GenerateWorkUnit(3, 0);
    const auto plan = standin::PlanUnit(3, unit, version);
    bool sawGaussian = false;
    for (const auto& signal : plan.signals) {
        if (signal.kind == SignalKind::Gaussian) {
            sawGaussian = true;
            EXPECT_EQ(signal.line.find("maxpow"), std::string::npos);
            // The line ends with the drift rate.
            EXPECT_EQ(signal.line.find(' ', signal.line.rfind(" chirprate=") + 1),
                      std::string::npos);
        }
        EXPECT_LE(std::abs(Field(signal.line,
                                 signal.kind == SignalKind::Gaussian ? "chirprate" : "chirp_rate")),
                  10.0);
    }
    EXPECT_TRUE(sawGaussian);
    EXPECT_TRUE(standintest::IsResultLayout(plan.ResultText(unit), 10, "1", "60"));
}

TEST_F(Plans, StateKeepsItsShapeFromStartToEnd) {
    for (const double progress : {0.0, 0.1, 0.37, 0.5, 0.81, 1.0}) {
        const std::size_t found = plan.FoundBy(progress);
        const std::string state = plan.StateText(progress, found, 1234);
        EXPECT_TRUE(standintest::IsWholeState(state));
        // A realistic size, with the triplet's score where a reader of the
        // first 3000 bytes finds it.
        EXPECT_GE(state.size(), 3700u) << progress;
        EXPECT_LE(state.size(), 4600u) << progress;
        const std::size_t btScore = state.find("\nbt_score=") + 1;
        EXPECT_GE(btScore, 2600u) << progress;
        EXPECT_LE(btScore, 2900u) << progress;
        EXPECT_EQ(Value(state, "outfilepos"), "1234");
        EXPECT_NEAR(Number(state, "prog"), progress, 1e-8);
        EXPECT_NEAR(Number(state, "cr"), standin::DriftRate(progress, 50), 1e-5 * 50);
        EXPECT_NEAR(Number(state, "cpu"), plan.totalCpu * progress, 1e-5);
    }
    const std::string start = plan.StateText(0, 0, 0);
    EXPECT_EQ(Value(start, "cr"), "0.000000e+00");
    EXPECT_EQ(Value(start, "prog"), "0.00000000");
    EXPECT_EQ(Value(start, "bs_power"), "0.000000");
    EXPECT_EQ(Value(start, "bg_power"), "0.000000");
    EXPECT_EQ(Value(start, "bp_score"), "0.000000");
    EXPECT_EQ(Value(start, "bt_score"), "0.000000");
    EXPECT_EQ(Value(start, "bp_pot"), std::string(1000, '0'));
    EXPECT_EQ(Value(plan.StateText(1, plan.signals.size(), 0), "cr"), "-5.000000e+01");
}

TEST_F(Plans, StateNamesTheBestSignalsFoundSoFar) {
    const std::size_t found = plan.FoundBy(0.6);
    double bestSpike = 0, bestGaussian = 0, bestTriplet = 0, bestPulse = 0;
    for (std::size_t i = 0; i < found; ++i) {
        const std::string& line = plan.signals[i].line;
        switch (plan.signals[i].kind) {
            case SignalKind::Spike:
                bestSpike =
                    std::max(bestSpike, Field(line, "power") / (Field(line, "fft_len") / 16384));
                break;
            case SignalKind::Gaussian:
                bestGaussian = std::max(bestGaussian, Field(line, "peak") / Field(line, "mean") /
                                                          Field(line, "chisqr"));
                break;
            case SignalKind::Triplet:
                bestTriplet = std::max(bestTriplet, Field(line, "power"));
                break;
            case SignalKind::Pulse:
                bestPulse = std::max(bestPulse, Field(line, "snr") / Field(line, "thresh"));
                break;
        }
    }
    const std::string state = plan.StateText(0.6, found, 0);
    // What a reader shows from the state agrees with what it computes from
    // the signal lines.
    EXPECT_NEAR(Number(state, "bs_power") / 8, bestSpike, 1e-5);
    EXPECT_NEAR(
        Number(state, "bg_power") / Number(state, "bg_true_mean") / Number(state, "bg_chisq"),
        bestGaussian, 1e-5);
    EXPECT_NEAR(Number(state, "bt_score"), bestTriplet, 1e-6);
    EXPECT_NEAR(Number(state, "bp_score"), bestPulse, 1e-5);
    EXPECT_EQ(Value(state, "bp_pot")->size(), 1000u);
    EXPECT_EQ(Value(state, "bt_pot")->size(), 1024u);
}

TEST_F(Plans, ResultIsLaidOutForItsReaders) {
    const std::string result = plan.ResultText(unit);
    EXPECT_TRUE(standintest::IsResultLayout(result, 50));
    EXPECT_TRUE(result.starts_with(sample::kResultFirstLine));
    EXPECT_EQ(standintest::SignalSection(result), plan.SignalLines(plan.signals.size()));
    // The header without its data, the name as the unit's.
    EXPECT_EQ(result.find("type=work unit"), std::string::npos);
    EXPECT_EQ(Value(result, "name"), Value(unit, "name"));
    EXPECT_LT(result.size(), 60000u);
}

TEST(SampleFiles, ResultFixtureFromSpecs) {
    sample::StateFields state;
    state.cr = -50;
    state.prog = 1;
    const std::string lines = sample::SpikeLine({}) + sample::GaussianLine({}) +
                              sample::TripletLine({}) + sample::PulseLine({});
    state.outfilepos = static_cast<std::int64_t>(lines.size());
    EXPECT_TRUE(standintest::IsResultLayout(sample::ResultFile({}, state, lines), 50));
    EXPECT_EQ(sample::ConfigBinFile().size(), 680u);
    EXPECT_EQ(sample::ConfigBinFile(0)[16], '\0');
    EXPECT_EQ(sample::ConfigBinFile(1)[16], '\1');
}

TEST(SampleFiles, DefaultStateIsAboutFourKilobytes) {
    const std::string state = sample::StateFile();
    EXPECT_TRUE(standintest::IsWholeState(state));
    EXPECT_NEAR(static_cast<double>(state.find("\nbt_score=")), 2750, 150);
    EXPECT_NEAR(static_cast<double>(state.size()), 4096, 400);
}

TEST(SampleFiles, SignalLinesHaveTheClientsFormat) {
    sample::PulseSignal pulse;
    pulse.prof = {0x00, 0x0a, 0xff};
    EXPECT_EQ(sample::PulseLine(pulse),
              "pulse: power=4.625519 mean=1.002313 period=6.782301 ra=7.500000 dec=21.250000 "
              "time=2451981.356829 freq=1418745210.227335 fft_len=256 chirp_rate=0.000000 "
              "snr=17.215537 thresh=16.084923 len_prof=3 prof=000aff\n");
    sample::GaussianSignal gaussian;
    gaussian.withPot = false;
    EXPECT_EQ(sample::GaussianLine(gaussian),
              "gaussian: peak=3.166201 mean=1.010428 ra=7.500000 dec=21.250000 "
              "time=2451981.356829 freq=1418745210.227335 sigma=8.441237 chisqr=1.823351 "
              "fft_len=64 chirprate=0.000000\n");
    EXPECT_EQ(sample::SpikeLine({}),
              "spike: power=24.116882 ra=7.500000 dec=21.250000 time=2451981.356829 "
              "freq=1418745210.227335 fft_len=16384 chirp_rate=0.000000\n");
    EXPECT_EQ(Lines(sample::TripletLine({})).size(), 1u);
}

}  // namespace
