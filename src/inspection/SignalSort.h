#pragma once
// Sorting the shared signal lists by the keys of the signal info window's
// sort boxes. Sorting reorders the lists themselves: every index into a
// sorted list (selections, the graph's hit table) must be renewed after.

#include <cstdint>
#include <string>
#include <vector>

#include "signals/SignalRecords.h"

namespace inspection {

// No sort key applied.
inline constexpr std::uint8_t kNoSortKey = 255;

// The keys, by kind, as indices into the sort box's items without
// "Unsorted".
namespace sortkey {
inline constexpr std::uint8_t kSpikePower = 0, kSpikeResolution = 1, kSpikeAbsPower = 2,
                              kSpikeDriftRate = 3, kSpikeFrequency = 4;
inline constexpr std::uint8_t kGaussianPower = 0, kGaussianFit = 1, kGaussianScore = 2,
                              kGaussianSigma = 3, kGaussianDriftRate = 4, kGaussianFrequency = 5;
inline constexpr std::uint8_t kTripletPower = 0, kTripletPeriod = 1, kTripletResolution = 2,
                              kTripletDriftRate = 3, kTripletFrequency = 4;
inline constexpr std::uint8_t kPulseScore = 0, kPulsePower = 1, kPulsePeriod = 2, kPulseLength = 3,
                              kPulseResolution = 4, kPulseDriftRate = 5, kPulseFrequency = 6;
}  // namespace sortkey

// The items of a kind's sort box as the window opens, "Unsorted" first.
std::vector<std::string> SortBoxItems(int kind);

// Sorts the list of `kind` (0 spikes, 1 gaussians, 2 triplets, 3 pulses)
// by `key`. Strengths, sizes and periods sort descending, fits, drift rates
// and frequencies ascending. Entries with equal keys may come in any order;
// a key that is no number sorts after every number. An unknown kind or key
// leaves the list as it is.
void SortSignalList(signals::SignalLists& lists, int kind, std::uint8_t key);

}  // namespace inspection
