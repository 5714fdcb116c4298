#include "platform/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void preferHugePages(const void* data, qsizetype size) {
    constexpr std::uintptr_t hugePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t end = (begin + static_cast<std::uintptr_t>(size)) & ~(hugePage - 1);
    // Only whole huge pages, which lie inside the buffer's own mapping: the advice is a wish,
    // and a kernel without huge pages refuses it harmlessly.
    if (size > 0 && end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

} // namespace platform
