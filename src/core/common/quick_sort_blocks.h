// quickSortPartition's result, exchange for exchange, without a hard-to-predict branch per
// element. The partition's two scans stop at the items that must change sides: from the left
// at every key not below the pivot, from the right at every key not above it, and the k-th
// stop of the one is exchanged with the k-th stop of the other for as long as they have not
// crossed. While the items still to be scanned from the two ends lie well apart, a block of
// them at each end is looked at with no branch on the keys (each position is written down and
// the count of stops grows by the comparison's outcome), and the stops are then exchanged in
// pairs. Those items are exactly the ones the one-by-one scans would stop at: an exchange
// touches only stops already written down, and the two blocks never overlap, so no item is
// looked at after it was moved. Where the ends come within a block of each other, the
// one-by-one loop carries on from the last exchange, as it would have got there itself.
// Faster where keys come in no order (a mispredicted branch for about every other item
// otherwise); the same result always.
#pragma once

#include "common/quick_sort.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace corvane {

template <class T, class Key>
std::pair<std::ptrdiff_t, std::ptrdiff_t>
quickSortPartitionBlocks(std::vector<T>& items, std::ptrdiff_t lo, std::ptrdiff_t hi, Key key)
{
    constexpr std::ptrdiff_t Block = 64; // offsets fit a byte
    const double pivot = key(items[std::size_t(lo + (hi - lo) / 2)]);
    std::uint8_t leftStops[Block], rightStops[Block];
    int leftCount = 0, leftUsed = 0, rightCount = 0, rightUsed = 0;
    // Items [lo, nextLeft) and (nextRight, hi] have been looked at.
    std::ptrdiff_t nextLeft = lo, nextRight = hi;
    std::ptrdiff_t leftBase = lo, rightBase = hi;
    // Where the one-by-one loop would stand: just past the last exchange at each side.
    std::ptrdiff_t i = lo, j = hi;
    for (;;) {
        if (leftUsed == leftCount) {
            if (nextRight - nextLeft + 1 < Block)
                break;
            leftCount = leftUsed = 0;
            leftBase = nextLeft;
            for (std::ptrdiff_t k = 0; k < Block; ++k) {
                leftStops[leftCount] = std::uint8_t(k);
                leftCount += !(key(items[std::size_t(leftBase + k)]) < pivot);
            }
            nextLeft += Block;
        }
        if (rightUsed == rightCount) {
            if (nextRight - nextLeft + 1 < Block)
                break;
            rightCount = rightUsed = 0;
            rightBase = nextRight;
            for (std::ptrdiff_t k = 0; k < Block; ++k) {
                rightStops[rightCount] = std::uint8_t(k);
                rightCount += !(key(items[std::size_t(rightBase - k)]) > pivot);
            }
            nextRight -= Block;
        }
        const int pairs = std::min(leftCount - leftUsed, rightCount - rightUsed);
        for (int k = 0; k < pairs; ++k) {
            i = leftBase + leftStops[leftUsed + k];
            j = rightBase - rightStops[rightUsed + k];
            std::swap(items[std::size_t(i)], items[std::size_t(j)]);
        }
        if (pairs > 0) {
            ++i;
            --j;
        }
        leftUsed += pairs;
        rightUsed += pairs;
    }
    if (i > j)
        return {j, i}; // the last exchange crossed: the one-by-one loop ends there too
    // The one-by-one loop from where it stands; it finds again the stops not yet used.
    return partitionFrom(items, i, j, pivot, key);
}

// quickSortBy with the partition above: the same order, ties included.
template <class T, class Key, class KeepGoing>
bool quickSortByBlocks(std::vector<T>& items, std::ptrdiff_t lo, std::ptrdiff_t hi, Key key,
                       KeepGoing keepGoing)
{
    return quickSortWith(items, lo, hi, key, keepGoing,
                         [](std::vector<T>& v, std::ptrdiff_t l, std::ptrdiff_t h, Key k) {
                             return quickSortPartitionBlocks(v, l, h, k);
                         });
}

} // namespace corvane
