#include "relief_test_support.h"
#include "toolpaths/post_process.h"
#include "toolpaths_test_support.h"

#include <gtest/gtest.h>

using namespace corvane::toolpaths;
using namespace toolpaths_test;
using corvane::silentRunControl;

namespace {

// A closed nonagon V0..V8 (clockwise), back to V0.
TRegion nonagon()
{
    return regionThrough(
        {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {2, 3}, {3, 2}, {3, 1}, {2, 0}, {1, 0}, {0, 0}}, false,
        0.5);
}

// The outline of [0,4] x [0,6] in 40 steps of 0.5, clockwise from (0, startY).
TRegion rectangleOfSmallSteps(double startY)
{
    std::vector<std::pair<double, double>> p;
    for (double y = startY; y < 6; y += 0.5)
        p.push_back({0, y});
    for (double x = 0; x < 4; x += 0.5)
        p.push_back({x, 6});
    for (double y = 6; y > 0; y -= 0.5)
        p.push_back({4, y});
    for (double x = 4; x > 0; x -= 0.5)
        p.push_back({x, 0});
    for (double y = 0; y <= startY; y += 0.5)
        p.push_back({0, y});
    TRegion r;
    for (std::size_t i = 1; i < p.size(); ++i)
        r.entities.push_back(makeSegment(p[i - 1].first, p[i - 1].second, p[i].first, p[i].second));
    recomputeBox(r);
    return r;
}

} // namespace

TEST(ReduceRegion, KeepsEveryNthVertexAndTheEnd)
{
    TRegion r = nonagon();
    ASSERT_TRUE(ReduceRegion(r, 2));
    ASSERT_EQ(r.entities.size(), 5u);
    const double expected[][2] = {{0, 0}, {0, 2}, {2, 3}, {3, 1}, {1, 0}};
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(r.entities[k].x1, expected[k][0]) << k;
        EXPECT_EQ(r.entities[k].y1, expected[k][1]) << k;
    }
    EXPECT_EQ(r.entities.back().x2, 0);
    EXPECT_EQ(r.entities.back().y2, 0);
    EXPECT_TRUE(runsContinuously(r));
    EXPECT_EQ(r.entities[1].maxX, 2); // boxes of the new segments
    EXPECT_EQ(r.depth, 0.5);

    TRegion same = nonagon();
    ASSERT_TRUE(ReduceRegion(same, 0)); // acts as 1: the shape stays
    EXPECT_EQ(same.entities.size(), 9u);

    TRegion two = regionThrough({{0, 0}, {1, 0}, {2, 1}}, true);
    EXPECT_FALSE(ReduceRegion(two, 2));
    EXPECT_EQ(two.entities.size(), 2u);
}

TEST(CurveFitRegion, RoundsASquareInwardsAndStartsAnOpenChainAtItsDoubledEnd)
{
    const TRegion square = regionThrough({{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}}, false);
    const TRegion fitted = CurveFitRegion(square, 1);
    ASSERT_EQ(fitted.entities.size(), 5u);
    EXPECT_TRUE(runsContinuously(fitted));
    for (const TMyEntity& s : fitted.entities) {
        EXPECT_TRUE(s.x2 >= 0 && s.x2 <= 2 && s.y2 >= 0 && s.y2 <= 2) << s.x2 << " " << s.y2;
        EXPECT_FALSE((s.x2 == 0 || s.x2 == 2) && (s.y2 == 0 || s.y2 == 2)) << "a corner kept";
    }
    // The span after the corner (0,2) ends at (P1 + 4 P2 + P3) / 6.
    EXPECT_DOUBLE_EQ(fitted.entities[0].x2, (0 + 0 + 2) / 6.0);
    EXPECT_DOUBLE_EQ(fitted.entities[0].y2, (0 + 8 + 2) / 6.0);
    EXPECT_EQ(fitted.maxX, square.maxX); // the box is kept as it was

    const TRegion chain = regionThrough({{0, 0}, {6, 0}, {6, 6}, {12, 6}}, true);
    const TRegion curve = CurveFitRegion(chain, 4);
    ASSERT_EQ(curve.entities.size(), 12u);
    EXPECT_TRUE(runsContinuously(curve));
    EXPECT_DOUBLE_EQ(curve.entities[0].x1, (5 * 0 + 6) / 6.0);
    EXPECT_DOUBLE_EQ(curve.entities[0].y1, 0);
    EXPECT_DOUBLE_EQ(curve.entities.back().x2, (6 + 5 * 12) / 6.0);
    EXPECT_DOUBLE_EQ(curve.entities.back().y2, 6);

    EXPECT_EQ(CurveFitRegion(chain, 0).entities.size(), 3u) << "m of 0 acts as 1";
    const TRegion one = regionThrough({{0, 0}, {1, 1}}, true);
    EXPECT_EQ(CurveFitRegion(one, 4).entities.size(), 1u);
}

TEST(MergeCollinear, JoinsRunsOfOneDirection)
{
    std::vector<std::pair<double, double>> line;
    for (int i = 0; i <= 10; ++i)
        line.push_back({i * 0.1, i * 0.3});
    TRegion r;
    for (std::size_t i = 1; i < line.size(); ++i)
        r.entities.push_back(
            makeSegment(line[i - 1].first, line[i - 1].second, line[i].first, line[i].second));
    MergeCollinear(r);
    ASSERT_EQ(r.entities.size(), 1u);
    EXPECT_DOUBLE_EQ(r.entities[0].x2, 1.0);
    EXPECT_DOUBLE_EQ(r.entities[0].maxY, 3.0);

    TRegion corner = rectangleOfSmallSteps(0);
    ASSERT_EQ(corner.entities.size(), 40u);
    MergeCollinear(corner);
    EXPECT_EQ(corner.entities.size(), 4u);
    EXPECT_TRUE(runsContinuously(corner));

    TRegion side = rectangleOfSmallSteps(2);
    MergeCollinear(side);
    EXPECT_EQ(side.entities.size(), 5u);
    EXPECT_EQ(side.entities[0].y1, 2);
    EXPECT_EQ(side.entities[4].y2, 2);
}

TEST(PostProcessRegions, ReducesFitsFiltersAndMergesInThatOrder)
{
    TRegionArray list = newRegionList();
    list.push_back(regionThrough({{0, 0}, {1, 0}}, true));                 // 1 segment
    list.push_back(regionThrough({{0, 0}, {1, 0}, {1, 1}}, true));         // 2 segments
    list.push_back(nonagon());                                             // 9 -> 5
    list.push_back(regionThrough({{0, 0}, {1, 0}, {2, 0}, {3, 0}}, true)); // 3 -> 2

    PostProcessing reduce;
    reduce.reduce = true;
    TRegionArray reduced = list;
    ASSERT_TRUE(PostProcessRegions(reduced, reduce, silentRunControl()));
    ASSERT_EQ(regionCount(reduced), 2u);
    EXPECT_EQ(reduced[1].entities.size(), 5u);
    EXPECT_EQ(reduced[2].entities.size(), 2u); // too few to merge

    PostProcessing filter;
    filter.filter = true;
    filter.filterMinimum = 3;
    TRegionArray filtered = list;
    ASSERT_TRUE(PostProcessRegions(filtered, filter, silentRunControl()));
    ASSERT_EQ(regionCount(filtered), 2u); // 9 and 3 segments stay, before merging
    EXPECT_EQ(filtered[2].entities.size(), 1u);

    filter.filterMinimum = 9;
    TRegionArray nine = list;
    ASSERT_TRUE(PostProcessRegions(nine, filter, silentRunControl()));
    ASSERT_EQ(regionCount(nine), 1u);
    filter.filterMinimum = 10;
    ASSERT_TRUE(PostProcessRegions(nine, filter, silentRunControl()));
    EXPECT_EQ(regionCount(nine), 0u);

    // Curve Fit before Filter: the chain of 3 becomes 12 segments and passes F = 10.
    PostProcessing fitAndFilter;
    fitAndFilter.curveFit = true;
    fitAndFilter.curveFitSubdivisions = 4;
    fitAndFilter.filter = true;
    fitAndFilter.filterMinimum = 10;
    TRegionArray fitted = list;
    ASSERT_TRUE(PostProcessRegions(fitted, fitAndFilter, silentRunControl()));
    EXPECT_EQ(regionCount(fitted), 2u);

    // Esc during the merge: every region stays, the rest unmerged.
    relief_test::ScriptedControl control;
    control.escapeFrom = 3;
    TRegionArray stopped = list;
    EXPECT_FALSE(PostProcessRegions(stopped, PostProcessing{}, control));
    ASSERT_EQ(regionCount(stopped), 4u);
    EXPECT_EQ(stopped[4].entities.size(), 3u);
}
