// quickSortBy (quick_sort.h) over keys held apart from what they order: a list of keys and a
// list of positions, sorted together. It compares the same keys and swaps the same places as
// quickSortBy over items with those keys, so the positions come out in exactly the order
// that quickSortBy leaves the items in, ties included; yet the scans of each partition read
// a dense list of doubles instead of whole items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace corvane {

namespace detail {

inline void keyQuickSort(double* keys, std::uint32_t* order, std::ptrdiff_t lo, std::ptrdiff_t hi)
{
    while (lo < hi) {
        // quickSortPartition, step for step.
        std::ptrdiff_t i = lo, j = hi;
        const double pivot = keys[lo + (hi - lo) / 2];
        do {
            while (keys[i] < pivot)
                ++i;
            while (keys[j] > pivot)
                --j;
            if (i <= j) {
                std::swap(keys[i], keys[j]);
                std::swap(order[i], order[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The smaller side by recursion, as quickSortBy: [lo, j] and [i, hi] remain.
        if (j - lo < hi - i) {
            keyQuickSort(keys, order, lo, j);
            lo = i;
        } else {
            keyQuickSort(keys, order, i, hi);
            hi = j;
        }
    }
}

} // namespace detail

// Sorts keys ascending and applies the same swaps to order (of the same length).
inline void keyQuickSort(std::vector<double>& keys, std::vector<std::uint32_t>& order)
{
    if (keys.size() > 1)
        detail::keyQuickSort(keys.data(), order.data(), 0, std::ptrdiff_t(keys.size()) - 1);
}

} // namespace corvane
