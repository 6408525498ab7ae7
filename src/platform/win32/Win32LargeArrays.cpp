// Windows grants large pages only to accounts holding the "Lock pages in
// memory" right, which a desktop user does not have: large arrays take the
// ordinary heap.
#include "platform/LargeArrays.h"

namespace platform {

void* AllocateLargeArray(std::size_t bytes) { return ::operator new(bytes); }

void FreeLargeArray(void* block, std::size_t) noexcept { ::operator delete(block); }

}  // namespace platform
