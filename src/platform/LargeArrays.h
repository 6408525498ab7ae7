#pragma once
// Memory for the few arrays that grow to tens of megabytes and are then read
// over and over: the signal lists of a big result or of the totals. Filling
// fresh memory costs a page fault per 4 KB page, and on the machines we
// measured those faults cost as much as parsing the bytes that fill them; the
// backend hands such arrays out in huge pages where the system offers them.
// Small arrays take the ordinary heap.

#include <cstddef>
#include <new>

namespace platform {

void* AllocateLargeArray(std::size_t bytes);
// `bytes` must be the size the block was allocated with.
void FreeLargeArray(void* block, std::size_t bytes) noexcept;

template <class T>
struct LargeArrayAllocator {
    using value_type = T;

    LargeArrayAllocator() noexcept = default;
    template <class U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLargeArray(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeLargeArray(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const LargeArrayAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace platform
