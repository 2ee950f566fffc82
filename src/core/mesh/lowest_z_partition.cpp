#include "mesh/lowest_z_partition.h"

#include "common/quick_sort.h"

#include <algorithm>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CORVANE_LOWEST_Z_LANES 1
#include <immintrin.h>
#endif

namespace corvane::mesh {

#if CORVANE_LOWEST_Z_LANES

namespace {

// Only the functions marked so use AVX-512; they run only where the processor has it.
#define LANES __attribute__((target("avx512f")))

constexpr std::ptrdiff_t Block = 64; // keys a mask covers
constexpr std::ptrdiff_t TinyKeys = 4;

static_assert(sizeof(LowestZKey) == 8 && offsetof(LowestZKey, z) == 0,
              "the lanes read z as every other float");

// Bit k set where key first[k] (k < n, n in 1..64) is a stop: z not below the pivot for the
// left scan (Predicate _CMP_NLT_UQ), not above it for the right one (_CMP_NGT_UQ). Keys past
// n are neither read nor set.
template <int Predicate>
LANES std::uint64_t stopsOf(const LowestZKey* first, std::ptrdiff_t n, __m512 pivot)
{
    const __m512i zLanes =
        _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    std::uint64_t stops = 0;
    for (std::ptrdiff_t q = 0; q * 16 < n; ++q) {
        const float* floats = reinterpret_cast<const float*>(first + 16 * q);
        const std::ptrdiff_t keys = std::min<std::ptrdiff_t>(16, n - 16 * q);
        const auto loMask = __mmask16(keys >= 8 ? 0xFFFF : (1u << (2 * keys)) - 1);
        const auto hiMask = __mmask16(keys <= 8 ? 0 : (1u << (2 * (keys - 8))) - 1);
        const __m512 z = _mm512_permutex2var_ps(_mm512_maskz_loadu_ps(loMask, floats), zLanes,
                                                _mm512_maskz_loadu_ps(hiMask, floats + 16));
        const auto inRange = __mmask16(keys == 16 ? 0xFFFF : (1u << keys) - 1);
        stops |= std::uint64_t(_mm512_mask_cmp_ps_mask(inRange, z, pivot, Predicate)) << (16 * q);
    }
    return stops;
}

int lowestBit(std::uint64_t bits)
{
    return __builtin_ctzll(bits);
}

int highestBit(std::uint64_t bits)
{
    return 63 - __builtin_clzll(bits);
}

// Keys partitionShortRange takes at once: more than a block's tail can leave (the rest of
// the two blocks and the keys between them).
constexpr std::ptrdiff_t ShortKeys = 4 * Block;

// The stops of keys [first, first + n), n in 1..ShortKeys, a block's mask a word, taken from
// the low end of the left ones and the high end of the right ones.
struct ShortStops {
    static constexpr int Words = int(ShortKeys / Block);
    std::uint64_t left[Words] = {}, right[Words] = {};
    int leftWord = 0, rightWord;

    LANES ShortStops(const LowestZKey* first, std::ptrdiff_t n, __m512 pivot)
        : rightWord(int((n - 1) / Block))
    {
        for (int w = 0; w * Block < n; ++w) {
            const std::ptrdiff_t keys = std::min(Block, n - w * Block);
            left[w] = stopsOf<_CMP_NLT_UQ>(first + w * Block, keys, pivot);
            right[w] = stopsOf<_CMP_NGT_UQ>(first + w * Block, keys, pivot);
        }
    }
    // The lowest left stop not yet taken, or `none`; the words below it are empty for good.
    std::ptrdiff_t lowestLeft(std::ptrdiff_t none)
    {
        while (leftWord < Words && left[leftWord] == 0)
            ++leftWord;
        return leftWord < Words ? leftWord * Block + lowestBit(left[leftWord]) : none;
    }
    std::ptrdiff_t highestRight()
    {
        while (rightWord >= 0 && right[rightWord] == 0)
            --rightWord;
        return rightWord >= 0 ? rightWord * Block + highestBit(right[rightWord]) : -1;
    }
    void take(std::ptrdiff_t a, std::ptrdiff_t b)
    {
        left[a / Block] &= ~(std::uint64_t(1) << (a % Block));
        right[b / Block] &= ~(std::uint64_t(1) << (b % Block));
    }
};

// The one-by-one loop from (i, j) over keys [i, j], 1 to ShortKeys of them, none moved yet,
// where either the last exchange was at i - 1 and j + 1 or the range holds the pivot's own
// key. The left scan stops at the first key from i not below the pivot; the keys it passes
// over in [i, j] are untouched, so that is the lowest left stop, unless the scan first
// reaches the right end of the last exchange, which now holds a left stop (a key not below
// the pivot) and stops it. Mirrored for the right scan. So each step takes
// i = min(lowest left stop, last right exchange) and j = max(highest right stop, last left
// exchange), and exchanges while i <= j, as the loop does. Returns {j, i} where it ends.
LANES std::pair<std::ptrdiff_t, std::ptrdiff_t>
partitionShortRange(LowestZKey* keys, std::ptrdiff_t i, std::ptrdiff_t j, __m512 pivot)
{
    const std::ptrdiff_t n = j - i + 1;
    ShortStops stops(keys + i, n, pivot);
    // Offsets from i; -1 and n stand for the ends beyond the range.
    std::ptrdiff_t lastLeft = -1, lastRight = n;
    for (;;) {
        const std::ptrdiff_t a = std::min(stops.lowestLeft(n), lastRight);
        const std::ptrdiff_t b = std::max(stops.highestRight(), lastLeft);
        if (a > b)
            return {i + b, i + a};
        std::swap(keys[i + a], keys[i + b]);
        stops.take(a, b);
        if (a + 1 > b - 1)
            return {i + b - 1, i + a + 1};
        lastLeft = a;
        lastRight = b;
    }
}

// quickSortPartitionBlocks with masks for its blocks' stops, and partitionShortRange for what
// is left once the ends are within a block of each other.
LANES std::pair<std::ptrdiff_t, std::ptrdiff_t> partitionLanes(std::vector<LowestZKey>& items,
                                                               std::ptrdiff_t lo, std::ptrdiff_t hi)
{
    LowestZKey* keys = items.data();
    const float pivotZ = keys[lo + (hi - lo) / 2].z;
    const auto zOf = [](const LowestZKey& k) { return double(k.z); };
    // A handful of keys is done sooner one by one than by setting up the masks.
    if (hi - lo < TinyKeys)
        return partitionFrom(items, lo, hi, double(pivotZ), zOf);
    const __m512 pivot = _mm512_set1_ps(pivotZ);
    std::uint64_t left = 0, right = 0; // the stops not yet exchanged in the current blocks
    // Keys [lo, nextLeft) and (nextRight, hi] have been looked at.
    std::ptrdiff_t nextLeft = lo, nextRight = hi;
    std::ptrdiff_t leftBase = lo, rightBase = hi; // the blocks' first keys
    // Where the one-by-one loop would stand: just past the last exchange at each side.
    std::ptrdiff_t i = lo, j = hi;
    for (;;) {
        if (left == 0) {
            if (nextRight - nextLeft + 1 < Block)
                break;
            leftBase = nextLeft;
            left = stopsOf<_CMP_NLT_UQ>(keys + leftBase, Block, pivot);
            nextLeft += Block;
        }
        if (right == 0) {
            if (nextRight - nextLeft + 1 < Block)
                break;
            rightBase = nextRight - (Block - 1);
            right = stopsOf<_CMP_NGT_UQ>(keys + rightBase, Block, pivot);
            nextRight -= Block;
        }
        if (left != 0 && right != 0) {
            std::ptrdiff_t a, b;
            do {
                a = leftBase + lowestBit(left);
                left &= left - 1;
                const int top = highestBit(right);
                right ^= std::uint64_t(1) << top;
                b = rightBase + top;
                std::swap(keys[a], keys[b]);
            } while (left != 0 && right != 0);
            i = a + 1;
            j = b - 1;
        }
    }
    if (i > j)
        return {j, i}; // the last exchange crossed: the one-by-one loop ends there too
    if (j - i + 1 <= ShortKeys)
        return partitionShortRange(keys, i, j, pivot);
    // No exchange yet, and the blocks found no stops on one side: rare enough for the loop.
    return partitionFrom(items, i, j, double(pivotZ), zOf);
}

} // namespace

bool lowestZLanesOffered()
{
    static const bool offered = __builtin_cpu_supports("avx512f");
    return offered;
}

std::pair<std::ptrdiff_t, std::ptrdiff_t> partitionLowestZKeys(std::vector<LowestZKey>& keys,
                                                               std::ptrdiff_t lo, std::ptrdiff_t hi)
{
    return partitionLanes(keys, lo, hi);
}

#else

bool lowestZLanesOffered()
{
    return false;
}

std::pair<std::ptrdiff_t, std::ptrdiff_t> partitionLowestZKeys(std::vector<LowestZKey>& keys,
                                                               std::ptrdiff_t lo, std::ptrdiff_t hi)
{
    return quickSortPartition(keys, lo, hi, [](const LowestZKey& k) { return double(k.z); });
}

#endif

} // namespace corvane::mesh
