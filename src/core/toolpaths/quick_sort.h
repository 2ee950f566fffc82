// The quicksort the region steps sort with: middle element as pivot, Hoare partition.
// Equal keys end up in an order of its own, so every caller that must give the same regions
// as another (the fast and the reference slicing) sorts with this one.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace corvane::toolpaths {

// Sorts items[lo..hi] ascending by key(item). Recursion goes into the smaller part only,
// so the stack stays shallow on any input.
template <class T, class Key>
void quickSortBy(std::vector<T>& items, std::ptrdiff_t lo, std::ptrdiff_t hi, Key key)
{
    while (lo < hi) {
        std::ptrdiff_t i = lo, j = hi;
        const double pivot = key(items[std::size_t(lo + (hi - lo) / 2)]);
        do {
            while (key(items[std::size_t(i)]) < pivot)
                ++i;
            while (key(items[std::size_t(j)]) > pivot)
                --j;
            if (i <= j) {
                std::swap(items[std::size_t(i)], items[std::size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            quickSortBy(items, lo, j, key);
            lo = i;
        } else {
            quickSortBy(items, i, hi, key);
            hi = j;
        }
    }
}

template <class T, class Key> void quickSortBy(std::vector<T>& items, Key key)
{
    if (items.size() > 1)
        quickSortBy(items, 0, std::ptrdiff_t(items.size()) - 1, key);
}

} // namespace corvane::toolpaths
