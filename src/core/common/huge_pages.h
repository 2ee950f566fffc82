// A big buffer touches tens of thousands of 4 kB pages, and faulting them in costs about as
// much as filling it; in 2 MB pages it costs next to nothing.
#pragma once

#include <cstddef>

namespace corvane {

// Asks the system to back the whole 2 MB pages of [data, data + bytes) with 2 MB pages.
// Only a hint, for storage not yet written: where the system has no such pages, nothing
// changes. Buffers under 4 MB are left alone.
void askForHugePages(void* data, std::size_t bytes);

} // namespace corvane
