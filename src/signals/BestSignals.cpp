#include "signals/BestSignals.h"

#include "clientfiles/Format.h"
#include "clientfiles/Readers.h"
#include "clientfiles/Scanner.h"
#include "views/MainView.h"

namespace signals {

namespace {

using views::Control;

// A state prefix shorter than this ends before the client's best pulse and
// triplet.
constexpr std::size_t kPulseAndTripletBytes = 2500;

}  // namespace

std::string BestSignals::FormatBest(double value) const {
    return clientfiles::ShortestForm(clientfiles::RoundTo(value, 2), decimalSeparator_);
}

void BestSignals::ComputeBestSignals(bool updateLabels) {
    best_.BestPeak = best_.BestGaussianScore = best_.BestTriplet = best_.BestPulse = 0;
    if (updateLabels)
        shown_.ShownPeak = shown_.ShownGaussian = shown_.ShownTriplet = shown_.ShownPulse =
            ShownMarkers::kNone;

    // Only a strictly greater value replaces the best: ties keep the first.
    for (const TSpikeRec& r : lists_.SpikeList)
        if (r.Power > best_.BestPeak) best_.BestPeak = r.Power;
    for (const TGaussianRec& r : lists_.GaussianList) {
        if (r.Power / r.ChiSqr > best_.BestGaussianScore) {
            best_.BestGaussianPower = r.Power;
            best_.BestGaussianFit = r.ChiSqr;
            best_.BestGaussianScore = best_.BestGaussianPower / best_.BestGaussianFit;
        }
    }
    for (const TTripletRec& r : lists_.TripletList)
        if (r.Power > best_.BestTriplet) best_.BestTriplet = r.Power;
    for (const TPulseRec& r : lists_.PulseList)
        if (r.Score > best_.BestPulse) best_.BestPulse = r.Score;

    if (!updateLabels) return;
    shown_.ShownGaussian = best_.BestGaussianPower;
    const auto text = [this](double v) { return v == 0 ? std::string("none") : FormatBest(v); };
    view_.SetText(Control::BestPeakLabel, text(best_.BestPeak));
    if (best_.BestGaussianScore == 0)
        readers_.ShowTelescopeSpeed();
    else
        ShowGaussian(best_.BestGaussianScore, best_.BestGaussianPower, best_.BestGaussianFit);
    view_.SetText(Control::BestTripletLabel, text(best_.BestTriplet));
    view_.SetText(Control::BestPulseLabel, text(best_.BestPulse));
}

void BestSignals::ShowGaussian(double score, double power, double fit) {
    view_.SetText(Control::BestGaussianLabel, "score:" + FormatBest(score) + ", power:" +
                                                  FormatBest(power) + ", fit:" + FormatBest(fit));
}

void BestSignals::UpdateLiveBests(clientfiles::Reading& reading, std::size_t bytesLoaded) {
    // The client keeps its best spike's power eight times as large.
    reading.FindLine("bs_power");
    const double peak = reading.ReadReal() / 8;
    if (peak != shown_.ShownPeak) {
        ComputeBestSignals(false);
        if (peak > best_.BestPeak) best_.BestPeak = peak;
        view_.SetText(Control::BestPeakLabel, FormatBest(best_.BestPeak));
        shown_.ShownPeak = best_.BestPeak;
    }

    reading.FindLine("bg_power");
    const double power = reading.ReadReal();
    if (power != shown_.ShownGaussian) {
        if (!lists_.GaussianList.empty()) {
            // The gaussians read so far are better figures than the client's.
            ComputeBestSignals(false);
            if (best_.BestGaussianScore == 0)
                readers_.ShowTelescopeSpeed();
            else
                ShowGaussian(best_.BestGaussianScore, best_.BestGaussianPower,
                             best_.BestGaussianFit);
        } else {
            reading.FindLine("bg_tr");
            const double mean = reading.ReadReal();
            reading.FindLine("bg_chisq");
            const double chisq = reading.ReadReal();
            const double score = power == 0 ? 0 : power / mean / chisq;
            if (score == 0)
                readers_.ShowTelescopeSpeed();
            else
                ShowGaussian(score, power / mean, chisq);
        }
        shown_.ShownGaussian = power;
    }

    if (bytesLoaded < kPulseAndTripletBytes) {
        view_.SetText(Control::BestPulseLabel, "none");
        view_.SetText(Control::BestTripletLabel, "none");
        return;
    }
    const auto text = [this](double v) { return v == 0 ? std::string("none") : FormatBest(v); };
    reading.FindLine("bp_score");
    const double pulse = reading.ReadReal();
    if (pulse != shown_.ShownPulse) {
        ComputeBestSignals(false);
        view_.SetText(Control::BestPulseLabel, text(pulse));
        shown_.ShownPulse = pulse;
    }
    reading.FindLine("bt_score");
    const double triplet = reading.ReadReal();
    if (triplet != shown_.ShownTriplet) {
        ComputeBestSignals(false);
        view_.SetText(Control::BestTripletLabel, text(triplet));
        shown_.ShownTriplet = triplet;
    }
}

}  // namespace signals
