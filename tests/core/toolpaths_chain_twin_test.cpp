// The fast chaining (end points looked up in a grid, joins read from packed copies) against
// its reference twin (every search a scan): the same regions, segment for segment, bit for
// bit, on surfaces and on random segment soups built to be awkward.
#include "common/quick_sort.h"
#include "relief_test_support.h"
#include "toolpaths/chain_segments.h"
#include "toolpaths/end_point_grid.h"
#include "toolpaths/slice_level.h"
#include "toolpaths/slice_work.h"
#include "toolpaths_test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

using namespace corvane::toolpaths;
using namespace toolpaths_test;
using corvane::silentRunControl;

namespace {

// Bit for bit, as far as it shows: equal with equal signs (0 and -0 differ), or both NaN.
bool same(double p, double q)
{
    return (std::isnan(p) && std::isnan(q)) || (p == q && std::signbit(p) == std::signbit(q));
}

void expectSameSegment(const TMyEntity& a, const TMyEntity& b, const std::string& where)
{
    EXPECT_TRUE(same(a.x1, b.x1) && same(a.y1, b.y1) && same(a.x2, b.x2) && same(a.y2, b.y2))
        << where << ": (" << a.x1 << ", " << a.y1 << ") - (" << a.x2 << ", " << a.y2
        << ") against (" << b.x1 << ", " << b.y1 << ") - (" << b.x2 << ", " << b.y2 << ")";
    EXPECT_TRUE(same(a.minX, b.minX) && same(a.maxX, b.maxX) && same(a.minY, b.minY) &&
                same(a.maxY, b.maxY))
        << where << ": segment boxes differ";
    EXPECT_TRUE(same(a.z, b.z)) << where;
}

// Same regions in the same order, each with the same segments in the same order and
// direction, the same flags, depth and box.
void expectSameRegions(const TRegionArray& fast, const TRegionArray& direct,
                       const std::string& what)
{
    ASSERT_EQ(fast.size(), direct.size()) << what;
    for (std::size_t i = 0; i < fast.size(); ++i) {
        const TRegion& a = fast[i];
        const TRegion& b = direct[i];
        const std::string where = what + ", region " + std::to_string(i);
        ASSERT_EQ(a.entities.size(), b.entities.size()) << where;
        EXPECT_EQ(a.open, b.open) << where;
        EXPECT_EQ(a.marked, b.marked) << where;
        EXPECT_EQ(a.depth, b.depth) << where;
        EXPECT_TRUE(same(a.minX, b.minX) && same(a.maxX, b.maxX) && same(a.minY, b.minY) &&
                    same(a.maxY, b.maxY))
            << where << ": region boxes differ";
        for (std::size_t k = 0; k < a.entities.size(); ++k)
            expectSameSegment(a.entities[k], b.entities[k],
                              where + ", segment " + std::to_string(k));
        if (::testing::Test::HasFailure())
            return; // one broken region says enough
    }
}

// The fast slicing keeps one set of working lists over all the levels, as a run of levels
// does, so that whatever a level leaves in them must not reach the next.
void expectSameSlices(const TTriangleArray& surface, std::initializer_list<double> levels,
                      const std::string& what)
{
    const TriangleBlocks blocks = indexTriangleBlocks(surface);
    SliceWork work;
    TRegionArray fast = newRegionList(), direct = newRegionList();
    for (double level : levels) {
        ASSERT_TRUE(SliceAtLevel(surface, blocks, fast, level, silentRunControl(), work));
        ASSERT_TRUE(SliceAtLevelDirect(surface, direct, level, silentRunControl()));
    }
    EXPECT_GT(regionCount(fast), 0u) << what;
    expectSameRegions(fast, direct, what);
}

} // namespace

TEST(ChainTwins, SlicesOfRandomSurfacesAreIdentical)
{
    // Noise: many small loops, chains cut at every batch border. 240 x 220 gives a middle
    // level of more than 50,100 segments, so batches grow beyond 100 segments.
    expectSameSlices(randomSurface(240, 220, 7), {20.5, 127.5, 128, 250.5}, "noise");

    // Smooth hills: long contours crossing hundreds of batches.
    expectSameSlices(gridSurface(300, 200,
                                 [](int x, int y) {
                                     return std::round(127.5 + 80 * std::sin(x * 0.05) *
                                                                   std::cos(y * 0.07));
                                 }),
                     {60, 100.5, 127.5, 190}, "smooth");

    // Plateaus of four heights, cut exactly at the heights too: crossings fall on corners,
    // where several segments meet at one shared end point and the first match decides.
    std::mt19937 random(11);
    std::vector<int> heights(std::size_t(90 * 70));
    for (int& h : heights)
        h = int(random() % 4) * 10;
    expectSameSlices(
        gridSurface(90, 70, [&](int x, int y) { return double(heights[std::size_t(y * 90 + x)]); }),
        {5, 10, 15, 20, 25}, "plateaus");

    // A fine surface (a tenth of a unit a cell, far from the origin): end points that are
    // computed from the two sides of an edge may differ in their last bits.
    std::vector<double> grain(std::size_t(150 * 120));
    for (double& g : grain)
        g = double(random() % 7) * 0.37;
    const TTriangleArray fine = gridSurface(150, 120, [&](int x, int y) {
        return std::sin(x * 0.31) * 40 + std::cos(y * 0.23) * 40 + grain[std::size_t(y * 150 + x)];
    });
    TTriangleArray moved = fine;
    for (corvane::Triangle& t : moved)
        for (corvane::Point3D& c : t.c) {
            c.x = 1e5 + c.x * 0.1;
            c.y = -3e3 + c.y * 0.1;
        }
    expectSameSlices(moved, {-30.5, 0.25, 17, 44.75}, "fine and far");
}

TEST(ChainTwins, RandomSegmentSoupsChainIdentically)
{
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 400; ++round) {
        // End points drawn from a small pool, so that many segments share them; some nudged
        // by less than the tolerance, some by just more, some across the grid's band borders.
        const std::size_t poolSize = 3 + random() % 60;
        const double span = round % 5 == 0 ? 1e-3 : round % 5 == 1 ? 1e6 : 50;
        std::vector<ChainEnd> pool(poolSize);
        for (ChainEnd& p : pool) {
            p = {unit(random) * span, unit(random) * span};
            if (random() % 4 == 0)
                p.y = std::round(p.y * 65536) / 65536; // on a band border
        }
        const auto pick = [&]() {
            ChainEnd p = pool[random() % poolSize];
            switch (random() % 8) {
            case 0:
                p.x += (unit(random) - 0.5) * 1.8e-6;
                break;
            case 1:
                p.y += (unit(random) - 0.5) * 1.8e-6;
                break;
            case 2:
                p.y += unit(random) < 0.5 ? 1.5e-6 : -1.5e-6;
                break;
            default:
                break;
            }
            return p;
        };
        TMyEntityArray segments;
        const std::size_t count = 1 + random() % (round % 50 == 0 ? 3000 : 250);
        for (std::size_t i = 0; i < count; ++i) {
            const ChainEnd a = pick(), b = pick();
            segments.push_back(makeSegment(a.x, a.y, b.x, b.y));
        }
        // Now and then a point no grid can index, or that matches nothing.
        if (round % 7 == 3)
            segments[random() % count] = makeSegment(0, 0, 3e12, 1);
        const double nan = std::numeric_limits<double>::quiet_NaN();
        if (round % 11 == 5)
            segments[random() % count].y2 = nan;
        if (round % 13 == 6) {
            TMyEntity& s = segments[random() % count];
            s = makeSegment(nan, s.y1, s.x2, s.y2);
        }
        corvane::quickSortBy(segments, [](const TMyEntity& s) { return s.minX; });

        TMyEntityArray copy = segments;
        TRegionArray fast = newRegionList(), direct = newRegionList();
        ASSERT_TRUE(ChainSegments(segments, fast, 2, silentRunControl()));
        ASSERT_TRUE(ChainSegmentsDirect(copy, direct, 2, silentRunControl()));
        expectSameRegions(fast, direct, "round " + std::to_string(round));
        if (HasFailure())
            return;
    }
}

TEST(ChainTwins, EscAtAnyCheckpointStopsBothAlikeAndAddsNothing)
{
    const TTriangleArray surface = randomSurface(120, 90, 4);
    TMyEntityArray cut;
    ASSERT_TRUE(CutSegments(surface, nullptr, 127.5, cut, silentRunControl()));
    corvane::quickSortBy(cut, [](const TMyEntity& s) { return s.minX; });

    relief_test::ScriptedControl counting;
    TMyEntityArray all = cut;
    TRegionArray whole = newRegionList();
    ASSERT_TRUE(ChainSegments(all, whole, 127.5, counting));
    ASSERT_GT(counting.checkpoints, 10); // batches and join both check

    for (int from = 1; from <= counting.checkpoints + 1; ++from) {
        relief_test::ScriptedControl fastControl, directControl;
        fastControl.escapeFrom = directControl.escapeFrom = from;
        TMyEntityArray a = cut, b = cut;
        TRegionArray fast = newRegionList(), direct = newRegionList();
        const bool fastDone = ChainSegments(a, fast, 127.5, fastControl);
        const bool directDone = ChainSegmentsDirect(b, direct, 127.5, directControl);
        ASSERT_EQ(fastDone, directDone) << "Esc from checkpoint " << from;
        EXPECT_EQ(fastControl.checkpoints, directControl.checkpoints) << from;
        EXPECT_EQ(fastControl.progress, directControl.progress) << from;
        if (!fastDone)
            ASSERT_EQ(fast.size(), 1u) << "Esc from checkpoint " << from << " added regions";
        else
            expectSameRegions(fast, direct, "Esc from checkpoint " + std::to_string(from));
    }
}

TEST(EndPointGrid, AnswersAsAScanInOrderWould)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 200; ++round) {
        // Points on and beside band borders at every scale the grid may choose.
        const double band = std::ldexp(1.0, -int(random() % 20));
        std::vector<ChainEnd> points(1 + random() % 300);
        for (ChainEnd& p : points) {
            const double border = std::round(unit(random) * 40) * band;
            p = {std::round(unit(random) * 4), border + (unit(random) - 0.5) * 2.2e-6};
        }
        EndPointGrid grid;
        ASSERT_TRUE(grid.build(points));
        for (int q = 0; q < 50; ++q) {
            const ChainEnd at = points[random() % points.size()];
            const double x = at.x + (unit(random) - 0.5) * 2e-6;
            const double y = at.y + (unit(random) - 0.5) * 2e-6;
            const unsigned skip = unsigned(random() % 3); // refuse some numbers
            const auto accept = [&](std::size_t p) { return (p + skip) % 3 != 0; };
            std::size_t scanned = EndPointGrid::none;
            for (std::size_t p = 0; p < points.size() && scanned == EndPointGrid::none; ++p)
                if (pointsMatch(points[p].x, points[p].y, x, y) && accept(p))
                    scanned = p;
            ASSERT_EQ(grid.firstMatch(x, y, accept), scanned)
                << "round " << round << " at (" << x << ", " << y << ")";
        }
    }

    // What no grid can index is refused; what matches nothing is left out.
    EndPointGrid grid;
    EXPECT_FALSE(grid.build({{0, 0}, {0, 2e12}}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ASSERT_TRUE(grid.build({{nan, 0}, {1, 1}, {1, std::numeric_limits<double>::infinity()}}));
    const auto any = [](std::size_t) { return true; };
    EXPECT_EQ(grid.firstMatch(1, 1, any), 1u);
    EXPECT_EQ(grid.firstMatch(nan, 0, any), EndPointGrid::none);
    EXPECT_EQ(grid.firstMatch(1, nan, any), EndPointGrid::none);
    EXPECT_EQ(grid.firstMatch(1, 5e12, any), EndPointGrid::none);
}
