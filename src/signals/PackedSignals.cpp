#include "signals/PackedSignals.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace signals {

namespace {

// A field added to a record must be packed and unpacked below as well (the
// sizes are those of 64-bit builds).
static_assert(sizeof(void*) != 8 || (sizeof(TSpikeRec) == 48 && sizeof(TGaussianRec) == 160 &&
                                     sizeof(TTripletRec) == 64 && sizeof(TPulseRec) == 176),
              "a record changed: pack its new fields");

constexpr std::size_t kSpikeBytes = 4 * 8 + 4;
constexpr std::size_t kGaussianBytes = 9 * 8 + 4 + 1;  // and the samples, when kept
constexpr std::size_t kTripletBytes = 6 * 8 + 4;
constexpr std::size_t kPulseBytes = 9 * 8 + 4 + 2 + 2;  // and the profile

constexpr std::uint8_t kHasPot = 1;
constexpr std::uint8_t kPotKept = 2;  // the samples follow: not all zero, or announced

bool PotKept(const TGaussianRec& g) {
    return g.HasPot || std::any_of(g.Pot.begin(), g.Pot.end(), [](std::uint8_t b) { return b; });
}

class Writer {
public:
    explicit Writer(char* p) : p_(p) {}
    template <class T>
    void Put(const T& value) {
        std::memcpy(p_, &value, sizeof value);
        p_ += sizeof value;
    }
    void PutBytes(const std::uint8_t* bytes, std::size_t count) {
        // An empty profile's data() may be null, which memcpy must not get.
        if (count == 0) return;
        std::memcpy(p_, bytes, count);
        p_ += count;
    }

private:
    char* p_;
};

class Cursor {
public:
    explicit Cursor(const char* p) : p_(p) {}
    template <class T>
    void Get(T& value) {
        std::memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
    }
    void GetBytes(std::uint8_t* bytes, std::size_t count) {
        if (count == 0) return;
        std::memcpy(bytes, p_, count);
        p_ += count;
    }
    const char* At() const { return p_; }

private:
    const char* p_;
};

}  // namespace

std::optional<PackedSignals> PackedSignals::Pack(const SignalLists& lists) {
    PackedSignals packed;
    std::optional<std::int32_t> workUnit;
    std::optional<float> fileVersion;
    bool shared = true;
    const auto sameUnit = [&](std::int32_t unit) {
        if (!workUnit) workUnit = unit;
        shared = shared && *workUnit == unit;
    };

    std::size_t size = 0;
    packed.starts_[0] = size;
    for (const TSpikeRec& s : lists.SpikeList) {
        sameUnit(s.WorkUnit);
        size += kSpikeBytes;
    }
    packed.starts_[1] = size;
    for (const TGaussianRec& g : lists.GaussianList) {
        sameUnit(g.WorkUnit);
        if (!fileVersion) fileVersion = g.FileVersion;
        shared = shared && std::memcmp(&*fileVersion, &g.FileVersion, sizeof(float)) == 0;
        size += kGaussianBytes + (PotKept(g) ? g.Pot.size() : 0);
    }
    packed.starts_[2] = size;
    for (const TTripletRec& t : lists.TripletList) {
        sameUnit(t.WorkUnit);
        size += kTripletBytes;
    }
    packed.starts_[3] = size;
    for (const TPulseRec& p : lists.PulseList) {
        sameUnit(p.WorkUnit);
        shared = shared && p.Prof.size() <= std::numeric_limits<std::uint16_t>::max();
        size += kPulseBytes + p.Prof.size();
    }
    if (!shared) return std::nullopt;
    packed.workUnit_ = workUnit.value_or(0);
    packed.fileVersion_ = fileVersion.value_or(0);
    packed.counts_ = {static_cast<std::uint32_t>(lists.SpikeList.size()),
                      static_cast<std::uint32_t>(lists.GaussianList.size()),
                      static_cast<std::uint32_t>(lists.TripletList.size()),
                      static_cast<std::uint32_t>(lists.PulseList.size())};

    packed.bytes_.resize(size);
    Writer out(packed.bytes_.data());
    for (const TSpikeRec& s : lists.SpikeList) {
        out.Put(s.Power);
        out.Put(s.FftLen);
        out.Put(s.ChirpRate);
        out.Put(s.Time);
        out.Put(s.Freq);
    }
    for (const TGaussianRec& g : lists.GaussianList) {
        for (const double v : {g.Power, g.ChiSqr, g.Score, g.ChirpRate, g.Time, g.Freq, g.Sigma,
                               g.MaxPow, g.Mean})
            out.Put(v);
        out.Put(g.FftLen);
        const bool kept = PotKept(g);
        out.Put(static_cast<std::uint8_t>((g.HasPot ? kHasPot : 0) | (kept ? kPotKept : 0)));
        if (kept) out.PutBytes(g.Pot.data(), g.Pot.size());
    }
    for (const TTripletRec& t : lists.TripletList) {
        for (const double v : {t.Power, t.Mean, t.Period, t.ChirpRate, t.Time, t.Freq})
            out.Put(v);
        out.Put(t.FftLen);
    }
    for (const TPulseRec& p : lists.PulseList) {
        for (const double v :
             {p.Score, p.Power, p.Mean, p.Period, p.ChirpRate, p.Time, p.Freq, p.Snr, p.Thresh})
            out.Put(v);
        out.Put(p.FftLen);
        out.Put(p.LenProf);
        out.Put(static_cast<std::uint16_t>(p.Prof.size()));
        out.PutBytes(p.Prof.data(), p.Prof.size());
    }
    return packed;
}

PackedSignals::Reader::Reader(const PackedSignals& packed) : packed_(packed), at_(packed.starts_) {}

void PackedSignals::Reader::AppendUntil(const std::array<std::uint32_t, 4>& until,
                                        SignalLists& lists) {
    const char* const bytes = packed_.bytes_.data();
    const auto take = [&](std::size_t kind, auto& list, auto unpack) {
        const std::uint32_t last = std::min(until[kind], packed_.counts_[kind]);
        if (taken_[kind] >= last) return;
        Cursor in(bytes + at_[kind]);
        for (; taken_[kind] < last; ++taken_[kind]) {
            auto& record = list.emplace_back();
            unpack(in, record);
            record.WorkUnit = packed_.workUnit_;
        }
        at_[kind] = static_cast<std::size_t>(in.At() - bytes);
    };
    take(0, lists.SpikeList, [](Cursor& in, TSpikeRec& s) {
        in.Get(s.Power);
        in.Get(s.FftLen);
        in.Get(s.ChirpRate);
        in.Get(s.Time);
        in.Get(s.Freq);
    });
    take(1, lists.GaussianList, [this](Cursor& in, TGaussianRec& g) {
        for (double* v : {&g.Power, &g.ChiSqr, &g.Score, &g.ChirpRate, &g.Time, &g.Freq, &g.Sigma,
                          &g.MaxPow, &g.Mean})
            in.Get(*v);
        in.Get(g.FftLen);
        std::uint8_t flags = 0;
        in.Get(flags);
        g.HasPot = (flags & kHasPot) != 0;
        if ((flags & kPotKept) != 0) in.GetBytes(g.Pot.data(), g.Pot.size());
        g.FileVersion = packed_.fileVersion_;
    });
    take(2, lists.TripletList, [](Cursor& in, TTripletRec& t) {
        for (double* v : {&t.Power, &t.Mean, &t.Period, &t.ChirpRate, &t.Time, &t.Freq})
            in.Get(*v);
        in.Get(t.FftLen);
    });
    take(3, lists.PulseList, [](Cursor& in, TPulseRec& p) {
        for (double* v : {&p.Score, &p.Power, &p.Mean, &p.Period, &p.ChirpRate, &p.Time, &p.Freq,
                          &p.Snr, &p.Thresh})
            in.Get(*v);
        in.Get(p.FftLen);
        in.Get(p.LenProf);
        std::uint16_t profile = 0;
        in.Get(profile);
        p.Prof.resize(profile);
        in.GetBytes(p.Prof.data(), profile);
    });
}

}  // namespace signals
