#include "platform/LargeArrays.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace {

using Numbers = std::vector<std::uint64_t, platform::LargeArrayAllocator<std::uint64_t>>;

bool Holds(const Numbers& numbers, std::size_t count) {
    if (numbers.size() != count) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (numbers[i] != i) return false;
    return true;
}

// Growing through the small sizes into the mapped ones and back: every
// element survives each move between blocks, and each block is given back
// with the size it was taken with (a wrong size would unmap a neighbour or
// leak, and the sanitizers and the later checks would see it).
TEST(LargeArrays, ArraysKeepTheirElementsAcrossEverySize) {
    Numbers numbers;
    for (std::size_t i = 0; i < 3'000'000; ++i) numbers.push_back(i);  // 24 MB, doubling up
    EXPECT_TRUE(Holds(numbers, 3'000'000));

    Numbers copy = numbers;
    numbers.resize(1'000);
    numbers.shrink_to_fit();  // back to the heap
    EXPECT_TRUE(Holds(numbers, 1'000));
    EXPECT_TRUE(Holds(copy, 3'000'000));

    Numbers exact;
    exact.reserve(std::size_t{2} << 17);  // exactly one huge page
    exact.resize(exact.capacity());
    std::iota(exact.begin(), exact.end(), std::uint64_t{0});
    EXPECT_TRUE(Holds(exact, exact.size()));

    copy = std::move(exact);
    EXPECT_TRUE(Holds(copy, std::size_t{2} << 17));
}

TEST(LargeArrays, AnImpossibleSizeIsRefusedNotWrapped) {
    platform::LargeArrayAllocator<std::uint64_t> allocator;
    EXPECT_THROW((void)allocator.allocate(static_cast<std::size_t>(-1) / 4), std::bad_array_new_length);
}

}  // namespace
