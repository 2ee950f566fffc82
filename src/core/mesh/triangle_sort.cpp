#include "mesh/triangle_sort.h"

#include "common/pages_ahead.h"
#include "common/quick_sort_blocks.h"
#include "mesh/lowest_z_partition.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <thread>
#include <type_traits>
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

// Below this many keys one thread sorts them all.
constexpr std::size_t MinSplitKeys = std::size_t(1) << 20;

// The ranges of keys that remain to be sorted; each is sorted apart from the others.
struct KeyRange {
    std::ptrdiff_t lo, hi;
};

// Ranges of keys that remain to be sorted, shared by two threads. A range above the piece
// limit is partitioned and its two sides go back; a smaller one is sorted whole. Each range
// is sorted apart from the others, so which thread takes which, and when, changes nothing.
class SharedRanges {
public:
    SharedRanges(std::ptrdiff_t lo, std::ptrdiff_t hi) : open_{{lo, hi}} {}

    // The next range to work on; false when all are done or the sort was stopped.
    bool take(KeyRange& range)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || !open_.empty() || busy_ == 0; });
        if (stopped_ || open_.empty())
            return false;
        range = open_.back();
        open_.pop_back();
        ++busy_;
        return true;
    }
    // The range taken is done; `sides` (none, or the two a partition left) are still to do.
    void done(std::initializer_list<KeyRange> sides, bool stop)
    {
        {
            std::lock_guard lock(mutex_);
            open_.insert(open_.end(), sides.begin(), sides.end());
            --busy_;
            stopped_ = stopped_ || stop;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<KeyRange> open_;
    int busy_ = 0;
    bool stopped_ = false;
};

// The fastest partition of K that gives quickSortPartition's result.
template <class K> auto partitionFor()
{
    using Partition = std::pair<std::ptrdiff_t, std::ptrdiff_t> (*)(std::vector<K>&, std::ptrdiff_t,
                                                                    std::ptrdiff_t);
    Partition blocks = [](std::vector<K>& keys, std::ptrdiff_t lo, std::ptrdiff_t hi) {
        return quickSortPartitionBlocks(keys, lo, hi, [](const K& k) { return double(k.z); });
    };
    if constexpr (std::is_same_v<K, LowestZKey>)
        return lowestZLanesOffered() ? Partition(&partitionLowestZKeys) : blocks;
    else
        return blocks;
}

// Sorts the keys by z; false when Esc stopped it. Esc is looked at before the first partition
// and after each checkpoint, passed about every CheckpointStride keys scanned. A large list is
// sorted by two threads unless `threads` is 1: the partitions are the ones one thread would
// make, and disjoint ranges do not affect each other, so the order is the same.
template <class K> bool sortKeys(std::vector<K>& keys, RunControl& control, unsigned threads)
{
    const auto keyOf = [](const K& k) { return double(k.z); };
    const auto fastest = partitionFor<K>();
    const auto partition = [fastest](std::vector<K>& v, std::ptrdiff_t lo, std::ptrdiff_t hi,
                                     const auto&) { return fastest(v, lo, hi); };
    std::atomic<bool> stopped{false};
    std::size_t sinceCheckpoint = 0;
    bool looked = false;
    // Only this thread talks to `control`; the second sees Esc through `stopped`.
    const auto keepGoing = [&](std::size_t scanned) {
        sinceCheckpoint += scanned;
        if (!looked || sinceCheckpoint >= CheckpointStride) {
            if (looked)
                control.checkpoint();
            sinceCheckpoint = 0;
            looked = true;
            if (control.escapePressed())
                stopped = true;
        }
        return !stopped.load(std::memory_order_relaxed);
    };
    const std::ptrdiff_t last = std::ptrdiff_t(keys.size()) - 1;
    if (keys.size() < MinSplitKeys || threads < 2 || std::thread::hardware_concurrency() < 2)
        return quickSortWith(keys, 0, last, keyOf, keepGoing, partition);

    const std::size_t pieceLimit = keys.size() / 32;
    SharedRanges ranges(0, last);
    const auto work = [&](const auto& goOn) {
        for (KeyRange r; ranges.take(r);) {
            const std::size_t n = std::size_t(r.hi - r.lo + 1);
            if (n <= pieceLimit || r.lo >= r.hi) {
                ranges.done({}, !quickSortWith(keys, r.lo, r.hi, keyOf, goOn, partition));
            } else if (!goOn(n)) {
                ranges.done({}, true);
            } else {
                const auto [j, i] = fastest(keys, r.lo, r.hi);
                ranges.done({{r.lo, j}, {i, r.hi}}, false);
            }
        }
    };
    std::thread second([&] { work([&](std::size_t) { return !stopped.load(); }); });
    work(keepGoing);
    second.join();
    return !stopped;
}

// The triangles in the order of the keys. Gathered into a new list: the reads are independent
// of each other, so the processor overlaps their trips to memory, where following the
// permutation's cycles in place waits for each one in turn.
void gatherInKeyOrder(const TTriangleArray& triangles, const std::vector<Key>& keys,
                      TTriangleArray& sorted)
{
    // The reads wait on memory; asking for the ones a little ahead keeps more of them in
    // flight than the processor finds on its own (a triangle spans two cache lines).
    constexpr std::size_t Ahead = 16;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k + Ahead < keys.size()) {
            const auto* next =
                reinterpret_cast<const char*>(&triangles[std::size_t(keys[k + Ahead].from)]);
            __builtin_prefetch(next);
            __builtin_prefetch(next + 64);
        }
        sorted.push_back(triangles[std::size_t(keys[k].from)]);
    }
}

} // namespace

bool sortByLowestZ(TTriangleArray& triangles, RunControl& control)
{
    if (triangles.size() < 2)
        return true; // nothing to order, so nothing can be left out of order
    const std::size_t n = triangles.size();
    std::vector<Key> keys;
    keys.reserve(n);
    TTriangleArray sorted;
    sorted.reserve(n);
    // Both new lists are filled whole: their pages are faulted in on the other core while
    // this one builds the keys and sorts them.
    PagesAhead pages({{keys.data(), n * sizeof(Key)}, {sorted.data(), n * sizeof(Triangle)}},
                     SIZE_MAX);
    for (std::size_t i = 0; i < n; ++i)
        keys.push_back({triangles[i].c[0].z, i});
    if (!sortKeys(keys, control, 2))
        return false; // the list stays in the order it had
    gatherInKeyOrder(triangles, keys, sorted);
    triangles = std::move(sorted);
    return true;
}

bool sortLowestZKeys(std::vector<LowestZKey>& keys, RunControl& control, unsigned threads)
{
    return keys.size() < 2 || sortKeys(keys, control, threads);
}

bool isSortedByLowestZ(const TTriangleArray& triangles)
{
    for (std::size_t i = 1; i < triangles.size(); ++i)
        if (triangles[i].c[0].z < triangles[i - 1].c[0].z)
            return false;
    return true;
}

} // namespace corvane::mesh
