// The block partition against the one-by-one partition it stands in for: the same items in the
// same places and the same two ends, on every shape of input, ties above all.
#include "common/quick_sort_blocks.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace corvane;

namespace {

struct Item {
    float z;
    std::uint32_t id;
};

double keyOf(const Item& item)
{
    return item.z;
}

// Lists of n items whose keys come from `distinct` values, in one of several arrangements.
std::vector<Item> listOf(std::size_t n, std::uint32_t distinct, int shape, std::mt19937& random)
{
    std::vector<Item> items(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t r = std::uint32_t(random() % distinct);
        const float z = shape == 0   ? float(r)
                        : shape == 1 ? float(k % distinct)                 // saw teeth
                        : shape == 2 ? float(n - k)                        // descending
                        : shape == 3 ? float(k < n / 2 ? k : n - k)        // organ pipes
                                     : (k % 7 == 0 ? float(r) : float(k)); // nearly sorted
        items[k] = {z == 0 && k % 2 ? -0.0f : z, std::uint32_t(k)};
    }
    return items;
}

void expectSame(const std::vector<Item>& a, const std::vector<Item>& b, const char* what)
{
    ASSERT_EQ(a.size(), b.size());
    std::size_t k = 0;
    while (k < a.size() && a[k].id == b[k].id)
        ++k;
    EXPECT_EQ(k, a.size()) << what << " differs at " << k;
}

} // namespace

TEST(QuickSortBlocks, PartitionsAndSortsExactlyAsTheOneByOneLoop)
{
    std::mt19937 random(17);
    const std::size_t sizes[] = {2, 3, 63, 64, 65, 127, 128, 129, 200, 1000, 4099};
    const std::uint32_t distincts[] = {1, 2, 3, 10, 1000, 1u << 30};
    for (const std::size_t n : sizes)
        for (const std::uint32_t distinct : distincts)
            for (int shape = 0; shape < 5; ++shape) {
                const std::vector<Item> start = listOf(n, distinct, shape, random);
                std::vector<Item> a = start, b = start;
                const auto ends = quickSortPartition(a, 0, std::ptrdiff_t(n) - 1, keyOf);
                const auto blockEnds = quickSortPartitionBlocks(b, 0, std::ptrdiff_t(n) - 1, keyOf);
                EXPECT_EQ(ends, blockEnds)
                    << n << " items, " << distinct << " keys, shape " << shape;
                expectSame(a, b, "partition");

                // A piece inside a longer list, as the sort hands it over.
                if (n > 10) {
                    a = start;
                    b = start;
                    const std::ptrdiff_t lo = 3, hi = std::ptrdiff_t(n) - 5;
                    EXPECT_EQ(quickSortPartition(a, lo, hi, keyOf),
                              quickSortPartitionBlocks(b, lo, hi, keyOf));
                    expectSame(a, b, "piece");
                }

                a = start;
                b = start;
                const auto always = [](std::size_t) { return true; };
                quickSortBy(a, 0, std::ptrdiff_t(n) - 1, keyOf, always);
                quickSortByBlocks(b, 0, std::ptrdiff_t(n) - 1, keyOf, always);
                expectSame(a, b, "sort");
            }
}
