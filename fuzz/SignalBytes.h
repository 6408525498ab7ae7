#pragma once
// Signal lists as bytes, for the harnesses that compare two readings.

#include <string>

#include "signals/SignalRecords.h"

namespace fuzzing {

// A record's fields, bit for bit (NaNs included), as one string.
struct Flattened {
    std::string bytes;
    template <typename T>
    Flattened& operator<<(const T& value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
};

inline std::string Flatten(const signals::SignalLists& lists) {
    Flattened out;
    for (const auto& s : lists.SpikeList)
        out << 'S' << s.Power << s.FftLen << s.ChirpRate << s.Time << s.Freq << s.WorkUnit;
    for (const auto& g : lists.GaussianList) {
        out << 'G' << g.Power << g.ChiSqr << g.Score << g.FftLen << g.ChirpRate << g.Time << g.Freq
            << g.Pot << g.HasPot << g.Sigma << g.MaxPow << g.Mean << g.WorkUnit << g.FileVersion;
    }
    for (const auto& t : lists.TripletList)
        out << 'T' << t.Power << t.Mean << t.Period << t.FftLen << t.ChirpRate << t.Time << t.Freq
            << t.WorkUnit;
    for (const auto& p : lists.PulseList) {
        out << 'P' << p.Score << p.Power << p.Mean << p.Period << p.FftLen << p.ChirpRate << p.Time
            << p.Freq << p.Snr << p.Thresh << p.LenProf << p.WorkUnit;
        out.bytes.append(p.Prof.begin(), p.Prof.end());
    }
    return out.bytes;
}

}  // namespace fuzzing
