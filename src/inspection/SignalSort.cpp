#include "inspection/SignalSort.h"

#include <algorithm>
#include <cmath>

namespace inspection {

namespace {

// Orders by a key of the record; NaN after every number, so that the order
// stays a strict weak one whatever the file held.
template <typename Record, typename Key>
void SortBy(signals::SignalList<Record>& list, bool descending, Key key) {
    std::sort(list.begin(), list.end(), [&](const Record& a, const Record& b) {
        const double ka = static_cast<double>(key(a));
        const double kb = static_cast<double>(key(b));
        if (std::isnan(ka)) return false;
        if (std::isnan(kb)) return true;
        return descending ? ka > kb : ka < kb;
    });
}

constexpr bool kDescending = true;
constexpr bool kAscending = false;

void SortSpikes(signals::SignalList<signals::TSpikeRec>& list, std::uint8_t key) {
    using R = signals::TSpikeRec;
    switch (key) {
        case sortkey::kSpikePower:
            return SortBy(list, kDescending, [](const R& r) { return r.Power; });
        case sortkey::kSpikeResolution:
            // The longest transform resolves finest.
            return SortBy(list, kDescending, [](const R& r) { return r.FftLen; });
        case sortkey::kSpikeAbsPower:
            return SortBy(list, kDescending, [](const R& r) { return r.Power * r.FftLen; });
        case sortkey::kSpikeDriftRate:
            return SortBy(list, kAscending, [](const R& r) { return r.ChirpRate; });
        case sortkey::kSpikeFrequency:
            return SortBy(list, kAscending, [](const R& r) { return r.Freq; });
        default:
            return;
    }
}

void SortGaussians(signals::SignalList<signals::TGaussianRec>& list, std::uint8_t key) {
    using R = signals::TGaussianRec;
    switch (key) {
        case sortkey::kGaussianPower:
            return SortBy(list, kDescending, [](const R& r) { return r.Power; });
        case sortkey::kGaussianFit:
            // A small chi-square is a good fit.
            return SortBy(list, kAscending, [](const R& r) { return r.ChiSqr; });
        case sortkey::kGaussianScore:
            return SortBy(list, kDescending, [](const R& r) { return r.Power / r.ChiSqr; });
        case sortkey::kGaussianSigma:
            return SortBy(list, kDescending, [](const R& r) { return r.Sigma; });
        case sortkey::kGaussianDriftRate:
            return SortBy(list, kAscending, [](const R& r) { return r.ChirpRate; });
        case sortkey::kGaussianFrequency:
            return SortBy(list, kAscending, [](const R& r) { return r.Freq; });
        default:
            return;
    }
}

void SortTriplets(signals::SignalList<signals::TTripletRec>& list, std::uint8_t key) {
    using R = signals::TTripletRec;
    switch (key) {
        case sortkey::kTripletPower:
            return SortBy(list, kDescending, [](const R& r) { return r.Power; });
        case sortkey::kTripletPeriod:
            return SortBy(list, kDescending, [](const R& r) { return r.Period; });
        case sortkey::kTripletResolution:
            return SortBy(list, kDescending, [](const R& r) { return r.FftLen; });
        case sortkey::kTripletDriftRate:
            return SortBy(list, kAscending, [](const R& r) { return r.ChirpRate; });
        case sortkey::kTripletFrequency:
            return SortBy(list, kAscending, [](const R& r) { return r.Freq; });
        default:
            return;
    }
}

void SortPulses(signals::SignalList<signals::TPulseRec>& list, std::uint8_t key) {
    using R = signals::TPulseRec;
    switch (key) {
        case sortkey::kPulseScore:
            return SortBy(list, kDescending, [](const R& r) { return r.Score; });
        case sortkey::kPulsePower:
            return SortBy(list, kDescending, [](const R& r) { return r.Power; });
        case sortkey::kPulsePeriod:
            return SortBy(list, kDescending, [](const R& r) { return r.Period; });
        case sortkey::kPulseLength:
            return SortBy(list, kDescending, [](const R& r) { return r.LenProf; });
        case sortkey::kPulseResolution:
            return SortBy(list, kDescending, [](const R& r) { return r.FftLen; });
        case sortkey::kPulseDriftRate:
            return SortBy(list, kAscending, [](const R& r) { return r.ChirpRate; });
        case sortkey::kPulseFrequency:
            return SortBy(list, kAscending, [](const R& r) { return r.Freq; });
        default:
            return;
    }
}

}  // namespace

std::vector<std::string> SortBoxItems(int kind) {
    switch (kind) {
        case 0:
            return {"Unsorted", "Power", "Resolution", "Abs. Power", "Drift Rate", "Frequency"};
        case 1:
            return {"Unsorted", "Power", "Fit", "Score", "Sigma", "Drift Rate", "Frequency"};
        case 2:
            return {"Unsorted", "Power", "Period", "Resolution", "Drift Rate", "Frequency"};
        case 3:
            return {"Unsorted", "Score",      "Power",      "Period",
                    "Length",   "Resolution", "Drift Rate", "Frequency"};
        default:
            return {};
    }
}

void SortSignalList(signals::SignalLists& lists, int kind, std::uint8_t key) {
    switch (kind) {
        case 0:
            return SortSpikes(lists.SpikeList, key);
        case 1:
            return SortGaussians(lists.GaussianList, key);
        case 2:
            return SortTriplets(lists.TripletList, key);
        case 3:
            return SortPulses(lists.PulseList, key);
        default:
            return;
    }
}

}  // namespace inspection
