#include "common/huge_pages.h"

#include <cstdint>
#include <sys/mman.h>

namespace corvane {

void adviseHugePages(const void* data, std::size_t bytes)
{
    constexpr std::uintptr_t HugePage = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t from = (start + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t to = (start + bytes) & ~(HugePage - 1);
    // A hint: where it is refused, the buffer keeps small pages.
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

} // namespace corvane
