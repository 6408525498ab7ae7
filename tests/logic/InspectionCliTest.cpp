// skyvane-cli's "signals" and "plot": the real executable on a client
// directory with signals of every kind.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "sample/SampleClientFiles.h"
#include "logic/RunCli.h"
#include "support/TempDir.h"

using testsupport::CliRun;
using testsupport::RunCli;
using testsupport::ScopedEnv;
using testsupport::TempDir;

namespace {


class InspectionCliTest : public ::testing::Test {
protected:
    InspectionCliTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")),
          localeEnv_("LC_ALL", "C") {
        sample::WriteSampleClientDir(client_.Path());
        sample::SpikeSignal spike;
        spike.power = 50;
        spike.freq = 1419500000.0;
        sample::GaussianSignal gaussian;
        gaussian.pot.assign(64, 0);
        gaussian.pot[0] = 255;
        sample::GaussianSignal old;
        old.withPot = false;
        sample::PulseSignal pulse;
        pulse.prof.assign(32, 128);
        client_.Write("outfile.sah", sample::SpikeLine(spike) + sample::GaussianLine(gaussian) +
                                         sample::GaussianLine(old) + sample::PulseLine(pulse));
    }

    std::string Args(const std::string& command) const {
        return command + " --client-dir " + client_.Path();
    }
    std::string Err() const { return scratch_.Read("err.txt"); }
    std::string ErrFile() const { return scratch_.Path("err.txt"); }

    TempDir program_, client_, scratch_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_, localeEnv_;
};

TEST_F(InspectionCliTest, SignalsPrintsEveryPagesTexts) {
    const CliRun run = RunCli(Args("signals"), ErrFile());

    ASSERT_EQ(run.status, 0) << Err();
    EXPECT_NE(run.out.find("\"PeakNumLabel\": \"Peak 1 out of 1\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"PeakPowerLabel\": \"50\""), std::string::npos);
    EXPECT_NE(run.out.find("\"PeakFreqLabel\": \"1419500000 Hz\""), std::string::npos);
    EXPECT_NE(run.out.find("\"Memo1\": \"Strong signal from unknown source.This signal is very "
                           "close to a round frequency"),
              std::string::npos);
    EXPECT_NE(run.out.find("\"GausNumLabel\": \"Gaussian 2 out of 2\""), std::string::npos);
    EXPECT_NE(run.out.find("\"GausLabel1\": \"Power 3.134, Fit 1.823, Score 1.719, Sigma 8.441 "
                           "sec, Resolution 152.588 Hz\""),
              std::string::npos);
    EXPECT_NE(run.out.find("\"PulseLabel2\": \"Drift Rate 0 Hz/s, Frequency "), std::string::npos);
    EXPECT_NE(run.out.find("\"Triplets\": []"), std::string::npos);
    // the lists in their order, peaks first
    EXPECT_LT(run.out.find("\"Peaks\""), run.out.find("\"Gaussians\""));
    EXPECT_LT(run.out.find("\"Gaussians\""), run.out.find("\"Pulses\""));
}

TEST_F(InspectionCliTest, PlotWritesThePictureTheWindowDraws) {
    const std::string png = scratch_.Path("plot.png");

    const CliRun run = RunCli(Args("plot") + " --kind gaussian --index 0 --png " + png, ErrFile());

    ASSERT_EQ(run.status, 0) << Err();
    const std::string bytes = scratch_.Read("plot.png");
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    // 461 x 129, as designed
    const auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), 461);
    EXPECT_EQ(be32(20), 129);

    // the gaussian without samples and the pulse have their plots too
    EXPECT_EQ(RunCli(Args("plot") + " --kind gaussian --index 1 --png " + png, ErrFile()).status,
              0);
    EXPECT_EQ(RunCli(Args("plot") + " --kind pulse --index 0 --png " + png, ErrFile()).status, 0);
}

TEST_F(InspectionCliTest, PlotRefusesWhatIsNotThere) {
    const std::string png = scratch_.Path("plot.png");
    EXPECT_EQ(RunCli(Args("plot") + " --kind pulse --index 3 --png " + png, ErrFile()).status, 1);
    EXPECT_NE(Err().find("there is no pulse 3 (the work unit has 1)"), std::string::npos) << Err();
    EXPECT_EQ(RunCli(Args("plot") + " --kind spike --index 0 --png " + png, ErrFile()).status, 2);
    EXPECT_NE(Err().find("the kind must be gaussian or pulse"), std::string::npos) << Err();
    EXPECT_EQ(RunCli(Args("plot") + " --kind pulse --png " + png, ErrFile()).status, 2);
    EXPECT_FALSE(scratch_.Exists("plot.png"));
}

}  // namespace
