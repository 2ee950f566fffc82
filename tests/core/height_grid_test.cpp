#include "relief/height_grid.h"

#include <gtest/gtest.h>

using corvane::imaging::Picture;
using corvane::imaging::Rgb;
using corvane::relief::FillHeightGrid;

namespace {

Picture rgbPicture(int w, int h, Rgb fill)
{
    Picture p;
    p.width = w;
    p.height = h;
    p.bitCount = 24;
    for (int i = 0; i < w * h; ++i)
        p.pixels.insert(p.pixels.end(), {fill.r, fill.g, fill.b});
    return p;
}

} // namespace

TEST(FillHeightGrid, ShapesWithAndWithoutTheWhiteFrame)
{
    const Picture p = rgbPicture(100, 50, {10, 20, 30});
    const auto framed = FillHeightGrid(p, true);
    ASSERT_EQ(framed.rows, 52);
    ASSERT_EQ(framed.cols, 102);
    for (int c = 0; c < framed.cols; ++c) {
        EXPECT_EQ(framed[0][c], 255);
        EXPECT_EQ(framed[51][c], 255);
    }
    for (int r = 0; r < framed.rows; ++r) {
        EXPECT_EQ(framed[r][0], 255);
        EXPECT_EQ(framed[r][101], 255);
    }
    EXPECT_EQ(framed[1][1], 10);
    EXPECT_EQ(framed[50][100], 10);

    const auto bare = FillHeightGrid(p, false);
    EXPECT_EQ(bare.rows, 50);
    EXPECT_EQ(bare.cols, 100);
    EXPECT_EQ(bare[0][0], 10);
}

TEST(FillHeightGrid, SamplesTheRedComponentOnly)
{
    Picture p = rgbPicture(2, 1, {0, 0, 255}); // pure blue
    p.pixels[3] = 255;                          // second pixel pure red
    p.pixels[5] = 0;
    const auto g = FillHeightGrid(p, false);
    EXPECT_EQ(g[0][0], 0);
    EXPECT_EQ(g[0][1], 255);

    Picture indexed;
    indexed.width = 2;
    indexed.height = 1;
    indexed.bitCount = 1;
    indexed.palette = {{0, 0, 255}, {255, 0, 0}};
    indexed.pixels = {1, 0};
    const auto gi = FillHeightGrid(indexed, false);
    EXPECT_EQ(gi[0][0], 255);
    EXPECT_EQ(gi[0][1], 0);
}
