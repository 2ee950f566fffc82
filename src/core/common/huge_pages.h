// Large buffers filled once (a mesh's lists, hundreds of megabytes) cost a page fault every
// 4 kB on first write, and the faults, not the writing, then take most of the time. Backed by
// 2 MB pages the same buffer takes a few hundred faults. Only a hint to the kernel: where
// transparent huge pages are switched off, or for a buffer too small to hold one, nothing
// changes, and the contents are never touched.
#pragma once

#include <cstddef>

namespace corvane {

// Asks for 2 MB pages for the whole 2 MB pieces of [data, data + bytes). Call it before the
// buffer is first written: pages already there stay small.
void adviseHugePages(const void* data, std::size_t bytes);

} // namespace corvane
