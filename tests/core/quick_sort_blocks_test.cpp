// The block partitions against the one-by-one partition they stand in for: the same items in
// the same places and the same two ends, on every shape of input, ties above all. The block
// partition of any list, and the AVX-512 one of the triangle sort's keys where the processor
// has it.
#include "common/quick_sort_blocks.h"
#include "mesh/lowest_z_partition.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace corvane;

namespace {

using Item = mesh::LowestZKey; // from: the item's place in the list it was made as

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
    while (k < a.size() && a[k].from == b[k].from)
        ++k;
    EXPECT_EQ(k, a.size()) << what << " differs at " << k;
}

} // namespace

using Partition = std::pair<std::ptrdiff_t, std::ptrdiff_t> (*)(std::vector<Item>&, std::ptrdiff_t,
                                                                std::ptrdiff_t);

// Every partition that stands in for the one-by-one loop, with its name.
std::vector<std::pair<const char*, Partition>> partitions()
{
    std::vector<std::pair<const char*, Partition>> all{
        {"blocks", [](std::vector<Item>& v, std::ptrdiff_t lo, std::ptrdiff_t hi) {
             return quickSortPartitionBlocks(v, lo, hi, keyOf);
         }}};
    if (mesh::lowestZLanesOffered())
        all.push_back({"lanes", &mesh::partitionLowestZKeys});
    return all;
}

TEST(QuickSortBlocks, PartitionsAndSortsExactlyAsTheOneByOneLoop)
{
    std::mt19937 random(17);
    const std::size_t sizes[] = {2,   3,   5,   63,  64,  65,  127, 128,  129,
                                 191, 192, 193, 200, 255, 256, 257, 1000, 4099};
    const std::uint32_t distincts[] = {1, 2, 3, 10, 1000, 1u << 30};
    const auto always = [](std::size_t) { return true; };
    for (const auto& [name, partition] : partitions())
        for (const std::size_t n : sizes)
            for (const std::uint32_t distinct : distincts)
                for (int shape = 0; shape < 5; ++shape) {
                    SCOPED_TRACE(::testing::Message() << name << ", " << n << " items, " << distinct
                                                      << " keys, shape " << shape);
                    const std::vector<Item> start = listOf(n, distinct, shape, random);
                    std::vector<Item> a = start, b = start;
                    const auto last = std::ptrdiff_t(n) - 1;
                    EXPECT_EQ(quickSortPartition(a, 0, last, keyOf), partition(b, 0, last));
                    expectSame(a, b, "partition");

                    // A piece inside a longer list, as the sort hands it over.
                    if (n > 10) {
                        a = start;
                        b = start;
                        EXPECT_EQ(quickSortPartition(a, 3, last - 4, keyOf),
                                  partition(b, 3, last - 4));
                        expectSame(a, b, "piece");
                    }

                    a = start;
                    b = start;
                    quickSortBy(a, 0, last, keyOf, always);
                    quickSortWith(b, 0, last, keyOf, always,
                                  [&](std::vector<Item>& v, std::ptrdiff_t lo, std::ptrdiff_t hi,
                                      auto) { return partition(v, lo, hi); });
                    expectSame(a, b, "sort");
                }
}
