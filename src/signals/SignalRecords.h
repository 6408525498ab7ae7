#pragma once
// The four kinds of signal the client reports, as records, and the lists
// that hold them. The lists are the one source for the graph, the best
// signals, the signal info window and the totals. A signal is named by its
// kind and its index in its list; sorting or trimming a list invalidates
// such indices.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/LargeArrays.h"
#include "signals/ProfileSamples.h"

namespace signals {

struct TSpikeRec {
    double Power = 0;  // normalised: the file's value / (FftLen / 16384)
    std::int32_t FftLen = 0;
    double ChirpRate = 0;  // Hz/s
    double Time = 0;       // days since the recording began (raw while live)
    double Freq = 0;       // Hz
    std::int32_t WorkUnit = 0;  // archive number it was read under

    bool operator==(const TSpikeRec&) const = default;
};

struct TGaussianRec {
    double Power = 0;  // peak / mean
    double ChiSqr = 0;
    double Score = 0;  // Power / ChiSqr
    std::int32_t FftLen = 0;
    double ChirpRate = 0;
    double Time = 0;
    double Freq = 0;
    std::array<std::uint8_t, 64> Pot{};  // power over time, scaled to MaxPow
    bool HasPot = false;                 // the line carried maxpow and pot
    double Sigma = 0;
    double MaxPow = 0;
    double Mean = 0;
    std::int32_t WorkUnit = 0;
    float FileVersion = 0;  // client version of the file it came from

    bool operator==(const TGaussianRec&) const = default;
};

struct TTripletRec {
    double Power = 0;
    double Mean = 0;
    double Period = 0;
    std::int32_t FftLen = 0;
    double ChirpRate = 0;
    double Time = 0;
    double Freq = 0;
    std::int32_t WorkUnit = 0;

    bool operator==(const TTripletRec&) const = default;
};

struct TPulseRec {
    double Score = 0;  // Snr / Thresh
    double Power = 0;
    double Mean = 0;
    double Period = 0;
    std::int32_t FftLen = 0;
    double ChirpRate = 0;
    double Time = 0;
    double Freq = 0;
    double Snr = 0;
    double Thresh = 0;
    std::uint16_t LenProf = 0;         // samples the line announced
    ProfileSamples Prof;               // the profile; empty when unusable
    std::int32_t WorkUnit = 0;

    bool operator==(const TPulseRec&) const = default;
};

// A list of one kind. A big result or the totals fill these with hundreds of
// thousands of records, so they take memory meant for large arrays.
template <class Rec>
using SignalList = std::vector<Rec, platform::LargeArrayAllocator<Rec>>;

// The four lists, each owning its records in the order read.
struct SignalLists {
    SignalList<TSpikeRec> SpikeList;
    SignalList<TGaussianRec> GaussianList;
    SignalList<TTripletRec> TripletList;
    SignalList<TPulseRec> PulseList;

    void ClearSignals() {
        SpikeList.clear();
        GaussianList.clear();
        TripletList.clear();
        PulseList.clear();
        ++Clearings;
    }
    bool Empty() const {
        return SpikeList.empty() && GaussianList.empty() && TripletList.empty() &&
               PulseList.empty();
    }
    // How many times ClearSignals ran: lets a reader tell lists emptied for
    // a new work unit or view from lists that simply kept nothing.
    std::uint32_t Clearings = 0;
};

// While the client works, the client's own best value that each best-signal
// label last reflects, so that a label is rebuilt only when that value
// changes; -100 (no value can be) forces the next state reading to rebuild.
// The signal-file reader resets some of them when it reads new signals.
struct ShownMarkers {
    static constexpr double kNone = -100;
    double ShownPeak = kNone;
    double ShownGaussian = kNone;
    double ShownTriplet = kNone;
    double ShownPulse = kNone;
};

}  // namespace signals
