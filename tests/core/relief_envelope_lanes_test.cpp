// The footprint's lanes, which weigh eight cells of a row at once before each is held to its
// exact bound: the vector form against its plain twin, and the cells a move lists with the
// lanes against those it lists weighing every cell on its own.
#include "relief/swept_envelope.h"
#include "relief_test_support.h"

#include <bit>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace corvane::relief;

namespace {

using relief_test::ToolCase;
using relief_test::Tools;

bool sameCells(const std::vector<CutCell>& a, const std::vector<CutCell>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto p, auto q) {
               return std::bit_cast<std::uint64_t>(p.x) == std::bit_cast<std::uint64_t>(q.x) &&
                      std::bit_cast<std::uint64_t>(p.y) == std::bit_cast<std::uint64_t>(q.y) &&
                      std::bit_cast<std::uint64_t>(p.z) == std::bit_cast<std::uint64_t>(q.z);
           });
}

} // namespace

// Cells and bounds at the ends of their ranges too: the vector form compares them as signed
// 16-bit numbers, where 0 and 65535, a base of one level and the never-passing lane meet.
TEST(EnvelopeLanes, VectorMasksEqualThePlainTwin)
{
    std::mt19937 random(5);
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int trial = 0; trial < 4000; ++trial) {
        const int white = trial % 2 ? White16 : White8;
        LaneRows f;
        f.blocks = pick(1, 4);
        f.lanes = pick(1, f.blocks * LaneRows::Block);
        f.rows = pick(1, 12);
        f.boxFirst = pick(0, f.rows - 1);
        f.boxLast = pick(f.boxFirst, f.rows - 1);
        f.stride = std::size_t(f.blocks * LaneRows::Block + pick(0, 5));
        const int riseRows = std::max(f.boxFirst, f.rows - 1 - f.boxLast) + 1;
        std::vector<TZGrid::Cell> cells(f.stride * std::size_t(f.rows));
        std::vector<std::int16_t> rise(std::size_t(riseRows * f.blocks * LaneRows::Block));
        const auto extreme = [&](int lo, int hi) {
            return pick(0, 3) == 0 ? (pick(0, 1) ? lo : hi) : pick(lo, hi);
        };
        for (auto& v : cells)
            v = TZGrid::Cell(extreme(0, white));
        for (auto& r : rise)
            r = std::int16_t(pick(0, 9) == 0 ? FootprintTable::LaneNever : extreme(-1, white / 8));
        f.cells = cells.data();
        f.rise = rise.data();
        f.floorBase = extreme(1, white);
        std::vector<std::uint32_t> fast(std::size_t(f.rows)), plain(std::size_t(f.rows));
        const std::uint64_t fastRows = laneMasks(f, fast.data());
        const std::uint64_t plainRows = laneMasksPlain(f, plain.data());
        ASSERT_EQ(fastRows, plainRows) << "trial " << trial;
        ASSERT_EQ(fast, plain) << "trial " << trial;
        if (f.lanes < 32) {
            for (int k = 0; k < f.rows; ++k) {
                EXPECT_EQ(plain[std::size_t(k)] >> f.lanes, 0u) << "a lane past the footprint";
            }
        }
    }
}

// With the lanes and with every cell weighed on its own, a move lists the same cells in the
// same order: between cell centres one step or a few apart, along and across, at the grid's
// edges, near the floor and above the stock, on 8- and 16-bit grids.
TEST(EnvelopeLanes, ListingEqualsTheCellByCellListing)
{
    for (const ToolCase& t : Tools)
        for (unsigned seed = 1; seed <= 4; ++seed) {
            const int white = seed % 2 ? White8 : White16;
            const TZGrid grid = relief_test::randomGrid(20, 40, seed, white);
            // Cells of 0.01 by 0.0125 (three columns and two rows of reach); with the wider
            // tool, eleven columns.
            SampleField field = sampleField(grid, 0.40, 0.25, 0.25);
            const RowMaxima maxima = rowMaxima(grid);
            field.maxima = &maxima;
            const double diameter = seed <= 2 ? 0.0625 : 0.22;
            const ToolProfile tool = toolProfile(t.shape, diameter, t.angle);
            FootprintTable laned = footprintTable(field, tool);
            ASSERT_FALSE(laned.lanesByWidth.empty());
            FootprintTable single = laned;
            single.lanesByWidth.clear();
            SampleField withLanes = field, cellByCell = field;
            withLanes.footprint = &laned;
            cellByCell.footprint = &single;
            std::mt19937 random(seed);
            std::uniform_int_distribution<int> col(-1, 40), row(-1, 20), near(-3, 3);
            std::uniform_real_distribution<double> z(-0.3, 0.02);
            int listed = 0;
            for (int i = 0; i < 400; ++i) {
                const int c0 = col(random), r0 = row(random);
                const int c1 = c0 + (i % 3 == 1 ? 0 : near(random));
                const int r1 = r0 + (i % 3 == 0 ? 0 : near(random));
                const TipSegment s{field.x(c0), field.y(r0), z(random),
                                   field.x(c1), field.y(r1), z(random)};
                const double floor = i % 5 == 0 ? NoCut : 0.0001 * (i % 7);
                std::vector<CutCell> a, b;
                cellsThatMayBeCut(withLanes, tool, s, floor, a);
                cellsThatMayBeCut(cellByCell, tool, s, floor, b);
                EXPECT_TRUE(sameCells(a, b)) << t.name << " seed " << seed << " move " << i << ": "
                                             << a.size() << " vs " << b.size();
                listed += !a.empty();
            }
            EXPECT_GT(listed, 100) << t.name; // the moves do reach cells
        }
}
