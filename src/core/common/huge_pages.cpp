#include "common/huge_pages.h"

#include <cstdint>
#include <sys/mman.h>

namespace corvane {

void askForHugePages(void* data, std::size_t bytes)
{
    constexpr std::size_t hugePage = std::size_t(2) << 20;
    if (bytes < 2 * hugePage)
        return;
    const auto start = (reinterpret_cast<std::uintptr_t>(data) + hugePage - 1) & ~(hugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(hugePage - 1);
    if (end > start)
        (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

} // namespace corvane
