#include "relief_test_support.h"
#include "toolpaths/chain_segments.h"
#include "toolpaths/slice_level.h"
#include "toolpaths_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace corvane::toolpaths;
using namespace toolpaths_test;
using corvane::silentRunControl;

namespace {

TRegionArray sliced(const TTriangleArray& triangles, double level)
{
    TRegionArray regions = newRegionList();
    EXPECT_TRUE(SliceAtLevel(triangles, indexTriangleBlocks(triangles), regions, level,
                             silentRunControl()));
    return regions;
}

const TTriangleArray pyramid = sortedTriangles({
    {{{-1, -1, 0}, {1, -1, 0}, {0, 0, 1}}},
    {{{1, -1, 0}, {1, 1, 0}, {0, 0, 1}}},
    {{{1, 1, 0}, {-1, 1, 0}, {0, 0, 1}}},
    {{{-1, 1, 0}, {-1, -1, 0}, {0, 0, 1}}},
});

std::size_t segmentCount(const TRegionArray& regions)
{
    std::size_t n = 0;
    for (std::size_t i = 1; i < regions.size(); ++i)
        n += regions[i].entities.size();
    return n;
}

} // namespace

TEST(SliceAtLevel, PyramidHalfwayIsOneClockwiseLoop)
{
    const TRegionArray regions = sliced(pyramid, 0.5);
    ASSERT_EQ(regionCount(regions), 1u);
    const TRegion& r = regions[1];
    EXPECT_FALSE(r.open);
    EXPECT_EQ(r.depth, 0.5);
    ASSERT_EQ(r.entities.size(), 4u);
    EXPECT_TRUE(runsContinuously(r));
    EXPECT_NEAR(signedArea2(r), -2 * 1.0, 1e-12); // the square of side 1, clockwise
    EXPECT_DOUBLE_EQ(r.minX, -0.5);
    EXPECT_DOUBLE_EQ(r.maxY, 0.5);
}

TEST(SliceAtLevel, CornersOnTheLevelGiveNothing)
{
    // The level at the pyramid's base (every lowest z) and at its apex (every highest z).
    EXPECT_EQ(regionCount(sliced(pyramid, 0)), 0u);
    EXPECT_EQ(regionCount(sliced(pyramid, 1)), 0u);
    EXPECT_EQ(regionCount(sliced(pyramid, 1.5)), 0u);

    // An edge lying in the level: one triangle above it, one below; neither is cut.
    const TTriangleArray fold = sortedTriangles({
        {{{0, 0, 0.5}, {1, 0, 0.5}, {0.5, 1, 1}}},
        {{{0, 0, 0.5}, {1, 0, 0.5}, {0.5, -1, 0}}},
    });
    EXPECT_EQ(regionCount(sliced(fold, 0.5)), 0u);
}

TEST(SliceAtLevel, IdenticalTrianglesGiveOneSegment)
{
    const Triangle t{{{0, 0, 0}, {2, 0, 1}, {0, 2, 2}}};
    const TRegionArray regions = sliced(sortedTriangles({t, t}), 0.5);
    ASSERT_EQ(regionCount(regions), 1u);
    EXPECT_TRUE(regions[1].open);
    ASSERT_EQ(regions[1].entities.size(), 1u);
    // Crossings on (c0, c1) at (1, 0) and on (c0, c2) at (0, 0.5): the smaller x starts.
    const TMyEntity& s = regions[1].entities[0];
    EXPECT_DOUBLE_EQ(s.x1, 0);
    EXPECT_DOUBLE_EQ(s.y1, 0.5);
    EXPECT_DOUBLE_EQ(s.x2, 1);
    EXPECT_DOUBLE_EQ(s.y2, 0);
}

TEST(SliceAtLevel, LevelLeavingThroughTheBorderIsOneOpenChain)
{
    // A ramp rising along x: the level 2.5 runs as a line from one border to the other.
    const TTriangleArray ramp = gridSurface(6, 30, [](int x, int) { return double(x); });
    const TRegionArray regions = sliced(ramp, 2.5);
    ASSERT_EQ(regionCount(regions), 1u);
    EXPECT_TRUE(regions[1].open);
    EXPECT_EQ(regions[1].entities.size(), 29u * 2 - 0); // one per triangle the line crosses
    EXPECT_TRUE(runsContinuously(regions[1]));
    EXPECT_DOUBLE_EQ(regions[1].minY, 0);
    EXPECT_DOUBLE_EQ(regions[1].maxY, 29);
}

TEST(SliceAtLevel, LongContourAcrossManyBatchesIsOneLoop)
{
    // A cone: its circle at r = 20.5 crosses hundreds of triangles, far more than a batch.
    const TTriangleArray cone =
        gridSurface(61, 61, [](int x, int y) { return std::hypot(x - 30.0, y - 30.0) + 0.01 * x; });
    const TRegionArray regions = sliced(cone, 20.5);
    ASSERT_EQ(regionCount(regions), 1u);
    const TRegion& r = regions[1];
    EXPECT_FALSE(r.open);
    EXPECT_GT(r.entities.size(), 200u);
    EXPECT_TRUE(runsContinuously(r));
    EXPECT_LT(signedArea2(r), 0);
    EXPECT_NEAR(-signedArea2(r) / 2, M_PI * 20.5 * 20.5, 40);
}

TEST(OrientClosedRegion, ReversesALoopRunningWithItsInteriorOnTheLeft)
{
    TRegion ccw = regionThrough({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}, false);
    OrientClosedRegion(ccw);
    const TRegion cw = regionThrough({{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}}, false);
    ASSERT_EQ(ccw.entities.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ccw.entities[i].x1, cw.entities[i].x1) << i;
        EXPECT_EQ(ccw.entities[i].y1, cw.entities[i].y1) << i;
        EXPECT_EQ(ccw.entities[i].x2, cw.entities[i].x2) << i;
        EXPECT_EQ(ccw.entities[i].y2, cw.entities[i].y2) << i;
    }
    TRegion stays = cw;
    OrientClosedRegion(stays);
    EXPECT_EQ(stays.entities[0].x2, 0);
    EXPECT_EQ(stays.entities[0].y2, 2);

    // A first segment shorter than 1e-6 is passed over for the test point.
    TRegion tiny = regionThrough({{0, 0}, {0, 1e-9}, {2, 2}, {2, 0}, {0, 0}}, false);
    OrientClosedRegion(tiny);
    EXPECT_LT(signedArea2(tiny), 0);
}

TEST(ChainSegments, JoinsPiecesFoundInAnyDirectionAndOrder)
{
    // A clockwise square's sides, some reversed, seeded in the middle of the chain.
    TMyEntityArray segments = {makeSegment(0, 0, 0, 1), makeSegment(0, 1, 1, 1),
                               makeSegment(1, 0, 1, 1), makeSegment(0, 0, 1, 0)};
    segments[1].x1 += 4e-7; // within the tolerance: snapped exactly
    TRegionArray regions = newRegionList();
    ASSERT_TRUE(ChainSegments(segments, regions, 3, silentRunControl()));
    ASSERT_EQ(regionCount(regions), 1u);
    EXPECT_FALSE(regions[1].open);
    EXPECT_TRUE(runsContinuously(regions[1]));
    EXPECT_LT(signedArea2(regions[1]), 0);
    EXPECT_EQ(regions[1].depth, 3);

    // An open chain seeded in its middle: the backward part comes first.
    TMyEntityArray chain = {makeSegment(1, 0, 2, 0), makeSegment(2, 0, 3, 1),
                            makeSegment(0, 5, 1, 0)};
    TRegionArray open = newRegionList();
    ASSERT_TRUE(ChainSegments(chain, open, 0, silentRunControl()));
    ASSERT_EQ(regionCount(open), 1u);
    EXPECT_TRUE(open[1].open);
    ASSERT_TRUE(runsContinuously(open[1]));
    EXPECT_EQ(open[1].entities.front().x1, 0);
    EXPECT_EQ(open[1].entities.back().x2, 3);

    // A lone segment from the origin along the y axis is a region like any other.
    TMyEntityArray lone = {makeSegment(0, 0, 0, 5)};
    TRegionArray one = newRegionList();
    ASSERT_TRUE(ChainSegments(lone, one, 1, silentRunControl()));
    EXPECT_EQ(regionCount(one), 1u);
}

TEST(SliceAtLevel, RandomSurfacesGiveContinuousClockwiseLoopsAndMatchTheDirectWalk)
{
    // 240 x 180 noisy heights: the middle level gives more than 50,100 segments, so batches
    // grow beyond 100, and chains are cut at many batch borders.
    for (unsigned seed : {1u, 2u}) {
        const int cols = seed == 1 ? 240 : 40, rows = seed == 1 ? 180 : 150;
        const TTriangleArray surface = randomSurface(cols, rows, seed);
        const TriangleBlocks blocks = indexTriangleBlocks(surface);
        for (double level : {20.5, 127.5, 250.5}) {
            TRegionArray fast = newRegionList(), direct = newRegionList();
            ASSERT_TRUE(SliceAtLevel(surface, blocks, fast, level, silentRunControl()));
            ASSERT_TRUE(SliceAtLevelDirect(surface, direct, level, silentRunControl()));
            TMyEntityArray cut;
            ASSERT_TRUE(CutSegments(surface, nullptr, level, cut, silentRunControl()));
            EXPECT_EQ(segmentCount(fast), cut.size()) << "every segment in exactly one region";
            if (seed == 1 && level == 127.5) {
                EXPECT_GT(cut.size(), 50100u);
            }

            ASSERT_EQ(fast.size(), direct.size());
            for (std::size_t i = 1; i < fast.size(); ++i) {
                const TRegion& r = fast[i];
                ASSERT_EQ(r.entities.size(), direct[i].entities.size());
                EXPECT_EQ(r.entities.front().x1, direct[i].entities.front().x1);
                EXPECT_EQ(r.entities.back().y2, direct[i].entities.back().y2);
                ASSERT_TRUE(runsContinuously(r)) << "seed " << seed << " level " << level;
                if (!r.open)
                    ASSERT_LT(signedArea2(r), 0) << "seed " << seed << " level " << level;
                else // open chains end at the border of the surface
                    ASSERT_TRUE(r.entities.front().x1 == 0 || r.entities.front().y1 == 0 ||
                                r.entities.front().y1 == rows - 1 ||
                                r.entities.front().x1 == cols - 1);
            }
        }
    }
}

TEST(SliceAtLevel, EscAddsNothing)
{
    const TTriangleArray surface = randomSurface(60, 60, 3);
    relief_test::ScriptedControl control;
    control.escapeFrom = 1;
    TRegionArray regions = newRegionList();
    EXPECT_FALSE(SliceAtLevel(surface, indexTriangleBlocks(surface), regions, 100.5, control));
    EXPECT_FALSE(VectorizeEdges(surface, regions, control));
    EXPECT_EQ(regions.size(), 1u);
}

TEST(VectorizeEdges, ChainsHorizontalUpperEdgesLevelByLevel)
{
    // Two terraces: the upper edges at z = 1 form a chain of two, the one at z = 2 a single.
    const TTriangleArray terraces = sortedTriangles({
        {{{0, 0, 0}, {0, 1, 1}, {1, 1, 1}}},
        {{{1, 0, 0}, {1, 1, 1}, {2, 1, 1}}},
        {{{5, 0, 0}, {6, 1, 2}, {5, 1, 2}}},
        {{{8, 0, 0}, {9, 1, 2}, {8, 3, 1}}}, // upper edge not horizontal
    });
    TRegionArray regions = newRegionList();
    ASSERT_TRUE(VectorizeEdges(terraces, regions, silentRunControl()));
    ASSERT_EQ(regionCount(regions), 2u);
    EXPECT_EQ(regions[1].depth, 1);
    EXPECT_EQ(regions[1].entities.size(), 2u);
    EXPECT_TRUE(regions[1].open);
    EXPECT_TRUE(runsContinuously(regions[1]));
    EXPECT_EQ(regions[2].depth, 2);
    EXPECT_EQ(regions[2].entities[0].x1, 5); // the end with the smaller x starts
    EXPECT_EQ(regions[2].entities[0].z, 2);
}
