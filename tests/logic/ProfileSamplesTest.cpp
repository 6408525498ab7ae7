#include "signals/ProfileSamples.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>
#include <vector>

namespace {

using signals::ProfileSamples;

std::vector<std::uint8_t> Bytes(const ProfileSamples& p) { return {p.begin(), p.end()}; }

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), std::uint8_t{1});
    return v;
}

// Profiles move between the record and the heap as they grow and shrink
// across 64 samples; none of those moves may lose or invent a sample.
TEST(ProfileSamples, SamplesSurviveEveryMoveBetweenRecordAndHeap) {
    ProfileSamples p;
    EXPECT_TRUE(p.empty());
    p.assign(Counting(40));
    p.resize(64);
    EXPECT_EQ(p.HeapBytes(), 0u);
    std::vector<std::uint8_t> want = Counting(40);
    want.resize(64);  // new samples are zero
    EXPECT_EQ(Bytes(p), want);

    p.resize(299);  // onto the heap
    want.resize(299);
    EXPECT_EQ(Bytes(p), want);
    EXPECT_GE(p.HeapBytes(), 299u);

    p.resize(100);
    p.resize(200);  // shrunk and regrown on the heap: the dropped samples are zero again
    want.resize(100);
    want.resize(200);
    EXPECT_EQ(Bytes(p), want);

    p.resize(10);  // back into the record
    EXPECT_EQ(p.HeapBytes(), 0u);
    want.resize(10);
    EXPECT_EQ(Bytes(p), want);
    p.clear();
    EXPECT_TRUE(p.empty());
}

// A profile moved onto one with a larger heap block takes the moved block's
// size with it: growing it afterwards must not write past that block.
TEST(ProfileSamples, AMovedHeapProfileGrowsWithinItsOwnBlock) {
    ProfileSamples large;
    large.assign(Counting(299));
    ProfileSamples small;
    small.assign(Counting(65));
    large = std::move(small);
    EXPECT_EQ(large.HeapBytes(), 65u);
    EXPECT_EQ(small.HeapBytes(), 0u);
    large.resize(200);
    std::vector<std::uint8_t> want = Counting(65);
    want.resize(200);
    EXPECT_EQ(Bytes(large), want);
}

TEST(ProfileSamples, CopiesAndMovesAreIndependentAndEqual) {
    for (std::size_t n : {std::size_t{0}, std::size_t{64}, std::size_t{65}, std::size_t{299}}) {
        ProfileSamples a;
        a.assign(Counting(n));
        ProfileSamples b = a;
        EXPECT_EQ(a, b) << n;
        if (n > 0) {
            b.data()[0] = 0;
            EXPECT_NE(a, b) << n;  // a copy shares nothing
        }
        ProfileSamples c = std::move(a);
        EXPECT_EQ(Bytes(c), Counting(n)) << n;
        a = c;  // a moved-from profile takes new samples
        EXPECT_EQ(a, c) << n;
        const ProfileSamples& same = a;
        a = same;
        EXPECT_EQ(Bytes(a), Counting(n)) << n;
        a.assign(std::span<const std::uint8_t>(a.data() + n / 2, n - n / 2));  // a part of itself
        const std::vector<std::uint8_t> all = Counting(n);
        EXPECT_EQ(Bytes(a), std::vector<std::uint8_t>(all.begin() + static_cast<long>(n / 2), all.end()))
            << n;
    }
    EXPECT_EQ((ProfileSamples{1, 2}), (ProfileSamples{1, 2}));
    EXPECT_NE((ProfileSamples{1, 2}), (ProfileSamples{1, 2, 0}));
}

}  // namespace
