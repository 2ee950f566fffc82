// The picture's grid as triangles: the worked 2 x 2 example, pictures that give none, the
// extents, and when the surface must be built again.
#include "mesh/raster_grid.h"
#include "mesh/triangle_sort.h"
#include "relief_test_support.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::mesh;
using relief_test::gridOf;

TEST(MeshGrid, TwoByTwoExampleGivesOneTriangle)
{
    const TTriangleArray t = gridTriangles(gridOf({{0, 255}, {255, 255}}));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].c[0], (Point3D{1, 2, 0}));
    EXPECT_EQ(t[0].c[1], (Point3D{0, 1, 0}));
    EXPECT_EQ(t[0].c[2], (Point3D{0, 2, 255}));
}

TEST(MeshGrid, PicturesWithoutTrianglesAndTheExtents)
{
    GridSurface surface;
    EXPECT_TRUE(buildGridSurface(surface, relief::TZGrid(5, 7, 90), silentRunControl()));
    EXPECT_TRUE(surface.triangles.empty());
    EXPECT_EQ(surface.extents, Extents3D{});
    EXPECT_TRUE(gridTriangles(gridOf({{0, 255, 0, 255}})).empty());
    EXPECT_TRUE(gridTriangles(gridOf({{0}, {255}, {0}})).empty());
    EXPECT_TRUE(gridTriangles(relief::TZGrid()).empty());

    // Random W x H: at most two per cell, sorted, corners ordered, extents 0..W-1 by 1..H.
    const relief::TZGrid grid = relief_test::randomGrid(9, 13, 4);
    ASSERT_TRUE(buildGridSurface(surface, grid, silentRunControl()));
    EXPECT_LE(surface.triangles.size(), 2u * 12 * 8);
    EXPECT_GT(surface.triangles.size(), 2u * 12 * 8 - 4);
    EXPECT_TRUE(isSortedByLowestZ(surface.triangles));
    for (const Triangle& t : surface.triangles)
        EXPECT_TRUE(t.c[0].z <= t.c[1].z && t.c[1].z <= t.c[2].z && t.c[0].z < t.c[2].z);
    EXPECT_EQ(surface.extents, (Extents3D{0, 12, 1, 9, 0, 0, 8, 12}));
}

TEST(MeshGrid, RebuildWhenChangedTooSmallOrSortCutShort)
{
    GridSurface surface;
    EXPECT_TRUE(needsRebuild(surface, false)); // never built
    const relief::TZGrid grid = relief_test::randomGrid(30, 30, 8);
    ASSERT_TRUE(buildGridSurface(surface, grid, silentRunControl()));
    EXPECT_FALSE(needsRebuild(surface, false));
    EXPECT_TRUE(needsRebuild(surface, true));

    // Esc still set from an earlier Cancel: the sort gives up, and the list is not used.
    relief_test::ScriptedControl esc;
    esc.escapeFrom = 0;
    EXPECT_FALSE(buildGridSurface(surface, grid, esc));
    EXPECT_TRUE(surface.sortCutShort);
    EXPECT_TRUE(needsRebuild(surface, false));
    ASSERT_TRUE(buildGridSurface(surface, grid, silentRunControl()));
    EXPECT_FALSE(needsRebuild(surface, false));
}
