// The best signal of each kind above the graph, from the lists and, while
// the client works, from the client's own figures.

#include <gtest/gtest.h>

#include "clientfiles/Readers.h"
#include "platform/Platform.h"
#include "signals/BestSignals.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

using signals::BestSignals;
using testsupport::RecordingView;
using testsupport::ScriptedDialogs;
using views::Control;

namespace {

class BestSignalsTest : public ::testing::Test {
protected:
    void AddSpike(double power) {
        signals::TSpikeRec r;
        r.Power = power;
        lists_.SpikeList.push_back(r);
    }
    void AddGaussian(double power, double chisq) {
        signals::TGaussianRec r;
        r.Power = power;
        r.ChiSqr = chisq;
        lists_.GaussianList.push_back(r);
    }
    // A state text of the client padded to `size` bytes after its keys.
    void Live(const std::string& keys, std::size_t size = 3000) {
        std::string text = keys;
        if (text.size() < size) text += std::string(size - text.size() - 1, 'x') + "\n";
        auto reading = gate_.Begin(text);
        ASSERT_TRUE(reading);
        bests_.UpdateLiveBests(*reading, text.size());
    }
    std::string Text(Control c) const { return view_.Text(c); }

    platform::NativePlatform native_;
    RecordingView view_;
    ScriptedDialogs dialogs_;
    clientfiles::ReadingGate gate_{dialogs_};
    clientfiles::ClientFigures figures_;
    clientfiles::ClientReaders readers_{native_.services().files, gate_, view_, figures_};
    signals::SignalLists lists_;
    signals::ShownMarkers shown_;
    BestSignals bests_{view_, lists_, shown_, readers_, '.'};
};

TEST_F(BestSignalsTest, FromTheListsTheFirstOfEqualBestsWins) {
    AddSpike(30);
    AddSpike(45.678);
    AddSpike(45.678);
    AddGaussian(6, 2);
    AddGaussian(9, 4);

    bests_.ComputeBestSignals(true);

    EXPECT_EQ(Text(Control::BestPeakLabel), "45.68");
    EXPECT_EQ(Text(Control::BestGaussianLabel), "score:3, power:6, fit:2");
    EXPECT_EQ(Text(Control::BestTripletLabel), "none");
    EXPECT_EQ(Text(Control::BestPulseLabel), "none");
    EXPECT_DOUBLE_EQ(shown_.ShownGaussian, 6);
    EXPECT_EQ(shown_.ShownPeak, signals::ShownMarkers::kNone);

    // Two gaussians of score 3: the first one's figures.
    lists_.GaussianList.clear();
    AddGaussian(6, 2);
    AddGaussian(9, 3);
    bests_.ComputeBestSignals(true);
    EXPECT_EQ(Text(Control::BestGaussianLabel), "score:3, power:6, fit:2");
}

TEST_F(BestSignalsTest, WithoutGaussiansTheLabelTellsTheTelescopesSpeed) {
    figures_.TelescopeRate = 0.002;
    bests_.ComputeBestSignals(true);
    EXPECT_EQ(Text(Control::BestGaussianLabel), "The telescope is moving too slowly.");
}

TEST_F(BestSignalsTest, FormatBestRoundsToTwoDecimals) {
    EXPECT_EQ(bests_.FormatBest(24.567), "24.57");
    EXPECT_EQ(bests_.FormatBest(24.5), "24.5");
    EXPECT_EQ(bests_.FormatBest(24), "24");
}

TEST_F(BestSignalsTest, LivePeakIsTheLargerOfTheClientsAndTheLists) {
    AddSpike(31);
    Live("bs_power=200\nbg_power=0\nbg_true_mean=0\nbg_chisq=0\nbp_score=0\nbt_score=0\n");
    EXPECT_EQ(Text(Control::BestPeakLabel), "31");

    Live("bs_power=400\nbg_power=0\nbg_true_mean=0\nbg_chisq=0\nbp_score=0\nbt_score=0\n");
    EXPECT_EQ(Text(Control::BestPeakLabel), "50");

    // The same figure again: the label is left alone.
    const int writes = view_.State(Control::BestPeakLabel).textWrites;
    Live("bs_power=400\nbg_power=0\nbg_true_mean=0\nbg_chisq=0\nbp_score=0\nbt_score=0\n");
    EXPECT_EQ(view_.State(Control::BestPeakLabel).textWrites, writes);
}

TEST_F(BestSignalsTest, LiveGaussianFromTheClientUntilOneIsRead) {
    figures_.TelescopeRate = 0.02;
    Live("bs_power=0\nbg_power=0\nbg_true_mean=2\nbg_chisq=1.5\nbp_score=0\nbt_score=0\n");
    EXPECT_EQ(Text(Control::BestGaussianLabel), "The telescope is moving too quickly.");

    Live("bs_power=0\nbg_power=12\nbg_true_mean=2\nbg_chisq=1.5\nbp_score=0\nbt_score=0\n");
    EXPECT_EQ(Text(Control::BestGaussianLabel), "score:4, power:6, fit:1.5");

    AddGaussian(8, 2);
    Live("bs_power=0\nbg_power=13\nbg_true_mean=2\nbg_chisq=1.5\nbp_score=0\nbt_score=0\n");
    EXPECT_EQ(Text(Control::BestGaussianLabel), "score:4, power:8, fit:2");
}

TEST_F(BestSignalsTest, ShortStateLeavesPulseAndTripletAtNone) {
    signals::TPulseRec pulse;
    pulse.Score = 3;
    lists_.PulseList.push_back(pulse);

    const std::string keys =
        "bs_power=0\nbg_power=0\nbg_true_mean=2\nbg_chisq=1\nbp_score=2.5\nbt_score=7\n";
    Live(keys, 2499);
    EXPECT_EQ(Text(Control::BestPulseLabel), "none");
    EXPECT_EQ(Text(Control::BestTripletLabel), "none");

    // 2500 bytes are enough.
    Live(keys, 2500);
    EXPECT_EQ(Text(Control::BestPulseLabel), "2.5");
    EXPECT_EQ(Text(Control::BestTripletLabel), "7");

    Live(keys, 2499);
    EXPECT_EQ(Text(Control::BestPulseLabel), "none");
}

}  // namespace
