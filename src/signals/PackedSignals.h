#pragma once
// The records of one archived result packed for keeping: the fields one
// after another, without the padding, the archive number and the file
// version that every record of a file shares, or the heap block of each
// pulse's profile. The totals keep thousands of these beside the lists they
// fill, so a kept archive costs about three quarters of its records.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "signals/SignalRecords.h"

namespace signals {

class PackedSignals {
public:
    // Nothing when the records do not share one archive number and (for
    // gaussians) one file version: then they are not the records of one file.
    static std::optional<PackedSignals> Pack(const SignalLists& lists);

    std::array<std::uint32_t, 4> Counts() const { return counts_; }

    // Unpacks the records of each kind in order: each call appends the next
    // ones, up to `until` records of each kind in all.
    class Reader {
    public:
        explicit Reader(const PackedSignals& packed);
        void AppendUntil(const std::array<std::uint32_t, 4>& until, SignalLists& lists);

    private:
        const PackedSignals& packed_;
        std::array<std::uint32_t, 4> taken_{};
        std::array<std::size_t, 4> at_{};  // byte offset of each kind's next record
    };

private:
    std::vector<char> bytes_;                 // spikes, gaussians, triplets, pulses
    std::array<std::size_t, 4> starts_{};     // where each kind begins
    std::array<std::uint32_t, 4> counts_{};
    std::int32_t workUnit_ = 0;
    float fileVersion_ = 0;
};

}  // namespace signals
