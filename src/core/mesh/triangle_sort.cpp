#include "mesh/triangle_sort.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace corvane::mesh {

namespace {

// Events are processed after about this many elements have been scanned, so Esc is seen
// within a few milliseconds without the checkpoint's cost showing in the sort.
constexpr std::size_t CheckpointStride = std::size_t(1) << 20;

// What the sort moves about: the key and where the triangle was. A fifth of a triangle's
// size, so the partitions stream through far less memory; the triangles are then moved once.
struct Key {
    double z;
    std::uint64_t from;
};

class CancellableQuicksort {
public:
    CancellableQuicksort(std::vector<Key>& keys, RunControl& control) : a_(keys), control_(control)
    {
    }

    bool run() { return sort(0, std::ptrdiff_t(a_.size()) - 1); }

private:
    // The classic Hoare partition around the middle element. The smaller side is sorted by
    // recursion and the larger one by the loop, so the stack depth stays logarithmic even
    // for orders that make every partition lopsided; the ranges are disjoint, so the order
    // in which they are done does not change the result.
    bool sort(std::ptrdiff_t low, std::ptrdiff_t high)
    {
        while (low < high) {
            if (!keepGoing(std::size_t(high - low + 1)))
                return false;
            std::ptrdiff_t lo = low, hi = high;
            const double mid = a_[std::size_t((low + high) / 2)].z;
            do {
                while (a_[std::size_t(lo)].z < mid)
                    ++lo;
                while (a_[std::size_t(hi)].z > mid)
                    --hi;
                if (lo <= hi) {
                    std::swap(a_[std::size_t(lo)], a_[std::size_t(hi)]);
                    ++lo;
                    --hi;
                }
            } while (lo <= hi);
            // Now [low, hi] and [lo, high] remain.
            if (hi - low < high - lo) {
                if (hi > low && !sort(low, hi))
                    return false;
                low = lo;
            } else {
                if (lo < high && !sort(lo, high))
                    return false;
                high = hi;
            }
        }
        return true;
    }

    bool keepGoing(std::size_t scanned)
    {
        sinceCheckpoint_ += scanned;
        if (sinceCheckpoint_ >= CheckpointStride) {
            sinceCheckpoint_ = 0;
            control_.checkpoint();
        }
        return !control_.escapePressed();
    }

    std::vector<Key>& a_;
    RunControl& control_;
    std::size_t sinceCheckpoint_ = 0;
};

// The triangles in the order of the keys. Gathered into a new list: the reads are independent
// of each other, so the processor overlaps their trips to memory, where following the
// permutation's cycles in place waits for each one in turn.
TTriangleArray inKeyOrder(const TTriangleArray& triangles, const std::vector<Key>& keys)
{
    TTriangleArray sorted;
    sorted.reserve(triangles.size());
    for (const Key& key : keys)
        sorted.push_back(triangles[std::size_t(key.from)]);
    return sorted;
}

} // namespace

bool sortByLowestZ(TTriangleArray& triangles, RunControl& control)
{
    if (triangles.size() < 2)
        return true; // nothing to order, so nothing can be left out of order
    std::vector<Key> keys(triangles.size());
    for (std::size_t i = 0; i < triangles.size(); ++i)
        keys[i] = {triangles[i].c[0].z, i};
    if (!CancellableQuicksort(keys, control).run())
        return false; // the list stays in the order it had
    triangles = inKeyOrder(triangles, keys);
    return true;
}

bool isSortedByLowestZ(const TTriangleArray& triangles)
{
    for (std::size_t i = 1; i < triangles.size(); ++i)
        if (triangles[i].c[0].z < triangles[i - 1].c[0].z)
            return false;
    return true;
}

} // namespace corvane::mesh
