// Large arrays in transparent huge pages: an anonymous mapping aligned to
// 2 MB and marked MADV_HUGEPAGE, so that a system whose huge pages are
// granted on request ("madvise") fills it 2 MB per fault. Where the system
// refuses, the mapping still works in small pages.
#include "platform/LargeArrays.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// AddressSanitizer watches the heap, not our mappings: under it every array
// takes the heap, so an overrun is still reported.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

bool Mapped(std::size_t bytes) { return !kSanitized && bytes >= kHugePage; }

std::size_t Rounded(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* AllocateLargeArray(std::size_t bytes) {
    if (!Mapped(bytes)) return ::operator new(bytes);
    const std::size_t size = Rounded(bytes);
    // Map one huge page more than needed and trim both ends to alignment.
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                     -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::size_t tail = kHugePage - (aligned - start);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, size, MADV_HUGEPAGE);  // a hint; refused, small pages serve
    return block;
}

void FreeLargeArray(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    if (!Mapped(bytes)) {
        ::operator delete(block);
        return;
    }
    munmap(block, Rounded(bytes));
}

}  // namespace platform
