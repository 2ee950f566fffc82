// The partition of the triangle sort's float keys with AVX-512: quickSortPartition's result,
// exchange for exchange, as quickSortPartitionBlocks gives it, but with sixteen keys weighed
// against the pivot per instruction. A block's stops are then the set bits of a 64-bit mask,
// taken in turn from the low end on the left and from the high end on the right. A range, or
// what is left of one, of 256 keys or fewer is done from such masks over the whole of it, so
// the short ranges that make up most of a sort's partitions do not run the one-by-one loop
// with its unpredictable branches (only those of four keys or fewer do). Why that gives the
// one-by-one loop's exchanges is told at partitionShortRange in the .cpp.
#pragma once

#include "mesh/triangle_sort.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace corvane::mesh {

// True where the processor has AVX-512 (and the build is for x86-64).
bool lowestZLanesOffered();

// quickSortPartition(keys, lo, hi, z) with lo < hi; only where lowestZLanesOffered().
std::pair<std::ptrdiff_t, std::ptrdiff_t>
partitionLowestZKeys(std::vector<LowestZKey>& keys, std::ptrdiff_t lo, std::ptrdiff_t hi);

} // namespace corvane::mesh
