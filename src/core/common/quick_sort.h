// The program's one quicksort: middle element as pivot, Hoare partition. Equal keys end up in
// an order of its own, the same on every run and machine, so every caller that must give
// the same result as another (the fast and the reference slicing, the triangle order that
// slicing relies on) sorts with this one.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace corvane {

// The partition's scans and exchanges, from i rightwards and j leftwards, around pivot,
// until the two cross. Returns {j, i} where they stop.
template <class T, class Key>
std::pair<std::ptrdiff_t, std::ptrdiff_t> partitionFrom(std::vector<T>& items, std::ptrdiff_t i,
                                                        std::ptrdiff_t j, double pivot, Key key)
{
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
    return {j, i};
}

// One partition of items[lo..hi] (lo < hi) around the key of its middle element: afterwards
// [lo, first] holds no key above the pivot and [second, hi] none below it, and the two can be
// sorted apart, even on two threads. Returns {first, second}.
template <class T, class Key>
std::pair<std::ptrdiff_t, std::ptrdiff_t>
quickSortPartition(std::vector<T>& items, std::ptrdiff_t lo, std::ptrdiff_t hi, Key key)
{
    return partitionFrom(items, lo, hi, key(items[std::size_t(lo + (hi - lo) / 2)]), key);
}

// Sorts items[lo..hi] ascending by key(item), with partition(items, lo, hi, key) doing what
// quickSortPartition does (or another that gives exactly its result). The smaller side is
// sorted by recursion and the larger one by the loop, so the stack stays shallow on any
// input; the sides are disjoint, so the order they are done in does not change the result.
// keepGoing(n) is asked before each partition of n items; false stops the sort where it is
// (the items then lie in no particular order) and returns false.
template <class T, class Key, class KeepGoing, class Partition>
bool quickSortWith(std::vector<T>& items, std::ptrdiff_t lo, std::ptrdiff_t hi, Key key,
                   KeepGoing keepGoing, Partition partition)
{
    while (lo < hi) {
        if (!keepGoing(std::size_t(hi - lo + 1)))
            return false;
        const auto [j, i] = partition(items, lo, hi, key);
        // Now [lo, j] and [i, hi] remain.
        if (j - lo < hi - i) {
            if (!quickSortWith(items, lo, j, key, keepGoing, partition))
                return false;
            lo = i;
        } else {
            if (!quickSortWith(items, i, hi, key, keepGoing, partition))
                return false;
            hi = j;
        }
    }
    return true;
}

template <class T, class Key, class KeepGoing>
bool quickSortBy(std::vector<T>& items, std::ptrdiff_t lo, std::ptrdiff_t hi, Key key,
                 KeepGoing keepGoing)
{
    return quickSortWith(items, lo, hi, key, keepGoing,
                         [](std::vector<T>& v, std::ptrdiff_t l, std::ptrdiff_t h, Key k) {
                             return quickSortPartition(v, l, h, k);
                         });
}

template <class T, class Key> void quickSortBy(std::vector<T>& items, Key key)
{
    if (items.size() > 1)
        quickSortBy(items, 0, std::ptrdiff_t(items.size()) - 1, key,
                    [](std::size_t) { return true; });
}

} // namespace corvane
