#include "common/error.h"
#include "relief/gouge_control.h"
#include "relief/tool_mask.h"
#include "relief_test_support.h"

#include <gtest/gtest.h>

using namespace corvane::relief;
using relief_test::gridOf;
using relief_test::randomGrid;
using relief_test::ScriptedControl;

namespace {

std::vector<int> entries(const TToolMask& m)
{
    return {m.entries.begin(), m.entries.end()};
}

TZGrid gouged(TZGrid grid, const TToolMask& mask)
{
    ApplyGougeControl(grid, mask, corvane::silentRunControl());
    return grid;
}

} // namespace

TEST(ToolMask, VBitEndMillAndBallMillOnTheWorkedCells)
{
    // Depth 0.25 (K = 1024), cells of 0.01, diameter 0.03, included angle 60.
    const TToolMask vbit = BuildToolMask(ToolShape::VBit, 0.03, 0.01, 0.01, -0.25, 60);
    ASSERT_EQ(vbit.rows, 3);
    ASSERT_EQ(vbit.cols, 3);
    EXPECT_EQ(entries(vbit), (std::vector<int>{25, 18, 25, 18, 0, 18, 25, 18, 25}));

    const TToolMask endMill = BuildToolMask(ToolShape::EndMill, 0.03, 0.01, 0.01, -0.25, 60);
    EXPECT_EQ(entries(endMill), std::vector<int>(9, 0));

    // Ball: 1024 * (0.015 - sqrt(0.015^2 - d^2)): 3.91 at one cell, 10.24 at the diagonal.
    const TToolMask ball = BuildToolMask(ToolShape::BallMill, 0.03, 0.01, 0.01, -0.25, 60);
    EXPECT_EQ(entries(ball), (std::vector<int>{10, 4, 10, 4, 0, 4, 10, 4, 10}));

    // Half a cell across: one entry, the tip.
    const TToolMask tiny = BuildToolMask(ToolShape::EndMill, 0.005, 0.01, 0.01, -0.25, 60);
    EXPECT_EQ(entries(tiny), std::vector<int>{0});

    // Odd spans are made even; a wider tool leaves its corners outside the footprint (255),
    // and a steep cone is limited to 255.
    const TToolMask wide = BuildToolMask(ToolShape::VBit, 0.05, 0.01, 0.02, -0.05, 10);
    EXPECT_EQ(wide.cols, 5);
    EXPECT_EQ(wide.rows, 3); // 0.05 / 0.02 - 1 = 1.5 rounds to 2
    EXPECT_EQ(wide.at(0, 0), 255);
    EXPECT_EQ(wide.at(1, 2), 0);
    EXPECT_EQ(wide.at(1, 3), 255); // 5120 * 0.01 * tan(85 deg) = 585, limited to 255
}

TEST(ToolMask, RefusesNonsenseTools)
{
    EXPECT_THROW(BuildToolMask(ToolShape::EndMill, -0.1, 0.01, 0.01, -0.25, 60), corvane::Error);
    EXPECT_THROW(BuildToolMask(ToolShape::EndMill, 0, 0.01, 0.01, -0.25, 60), corvane::Error);
    EXPECT_THROW(BuildToolMask(ToolShape::VBit, 0.1, 0.01, 0.01, -0.25, 4), corvane::Error);
    EXPECT_THROW(BuildToolMask(ToolShape::VBit, 0.1, 0.01, 0.01, -0.25, 180), corvane::Error);
    EXPECT_THROW(BuildToolMask(ToolShape::BallMill, 0.1, 0.01, 0.01, 0, 60), corvane::Error);
    EXPECT_THROW(BuildToolMask(ToolShape::BallMill, 1000, 0.0001, 0.01, -0.25, 60), corvane::Error);
    EXPECT_NO_THROW(BuildToolMask(ToolShape::EndMill, 0.1, 0.01, 0.01, -0.25, 500)); // unused
    EXPECT_EQ(toolShapeFromText("Ball Mill"), ToolShape::BallMill);
    EXPECT_EQ(toolShapeFromText("V Bit"), ToolShape::VBit);
    EXPECT_EQ(toolShapeFromText("ball mill"), ToolShape::EndMill);
}

TEST(GougeControl, RaisesCellsTheToolCannotReach)
{
    const TToolMask vbit = BuildToolMask(ToolShape::VBit, 0.03, 0.01, 0.01, -0.25, 60);
    const TToolMask endMill = BuildToolMask(ToolShape::EndMill, 0.03, 0.01, 0.01, -0.25, 60);
    const TZGrid lone = gridOf({{255, 255, 255}, {255, 0, 255}, {255, 255, 255}});
    EXPECT_EQ(gouged(lone, vbit)[1][1], 237);
    EXPECT_EQ(gouged(lone, endMill)[1][1], 255);

    TZGrid square(5, 5, 255);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            square[r][c] = 0;
    const TZGrid cut = gouged(square, endMill);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(cut[r][c], r == 2 && c == 2 ? 0 : 255) << r << "," << c;

    // A 1 x 1 mask changes nothing; nor does a footprint that is nowhere higher.
    const TZGrid noisy = randomGrid(7, 9, 3);
    const TToolMask tiny = BuildToolMask(ToolShape::EndMill, 0.005, 0.01, 0.01, -0.25, 60);
    EXPECT_EQ(gouged(noisy, tiny).cells, noisy.cells);
    const TZGrid bowl = gridOf({{10, 10, 10}, {10, 40, 10}, {10, 10, 10}});
    EXPECT_EQ(gouged(bowl, endMill).cells[4], 40);

    // At the edge only the neighbours that exist count.
    const TZGrid edge = gridOf({{0, 255}});
    EXPECT_EQ(gouged(edge, vbit).cells, (std::vector<std::uint16_t>{237, 255}));
}

TEST(GougeControl, FastSweepEqualsTheDirectSweep)
{
    struct Case {
        ToolShape shape;
        double diameter, cw, ch, depth;
        int angle;
    };
    const Case cases[] = {
        {ToolShape::EndMill, 0.07, 0.01, 0.01, 0.25, 60},  // 7 x 7
        {ToolShape::EndMill, 0.06, 0.01, 0.013, 0.25, 60}, // 5 x 5 after evening
        {ToolShape::EndMill, 0.2, 0.01, 0.01, 0.25, 60},   // flat rows of up to 21
        {ToolShape::EndMill, 0.45, 0.01, 0.01, 0.25, 60},  // rows longer than 32 cells
        {ToolShape::BallMill, 0.09, 0.01, 0.01, 0.25, 60}, // 9 x 9
        {ToolShape::BallMill, 0.05, 0.012, 0.01, 1.0, 60},
        {ToolShape::BallMill, 0.3, 0.01, 0.01, 0.1, 60}, // mask wider than the grid
        {ToolShape::VBit, 0.11, 0.01, 0.01, 0.25, 90},
        {ToolShape::VBit, 0.04, 0.01, 0.02, 2.0, 30},
        {ToolShape::VBit, 0.2, 0.01, 0.01, 5.0, 120},
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        const TToolMask mask = BuildToolMask(c.shape, c.diameter, c.cw, c.ch, -c.depth, c.angle);
        for (auto [rows, cols] : {std::pair{1, 1}, {13, 17}, {24, 16}, {31, 40}}) {
            const TZGrid original = randomGrid(rows, cols, seed++);
            TZGrid direct = original;
            ApplyGougeControlDirect(direct, mask, corvane::silentRunControl());
            for (int threads : {1, 2, 3}) {
                for (GougeKernel kernel :
                     {GougeKernel::Fastest, GougeKernel::Sse2, GougeKernel::Plain}) {
                    TZGrid fast = original;
                    ApplyGougeControl(fast, mask, corvane::silentRunControl(), threads, kernel);
                    ASSERT_EQ(fast.cells, direct.cells)
                        << "shape " << int(c.shape) << " mask " << mask.rows << "x" << mask.cols
                        << " grid " << rows << "x" << cols << " threads " << threads << " kernel "
                        << int(kernel);
                }
            }
        }
    }
}

TEST(GougeControl, EscStopsAtAProgressPointLeavingLaterRowsAlone)
{
    const TToolMask mask = BuildToolMask(ToolShape::VBit, 0.05, 0.01, 0.01, -0.25, 60);
    const TZGrid original = randomGrid(41, 23, 9);
    for (bool fast : {true, false}) {
        ScriptedControl control;
        control.escapeFrom = 3; // seen at the third progress point: rows 0..11 are done
        TZGrid grid = original;
        const bool completed = fast ? ApplyGougeControl(grid, mask, control, 2)
                                    : ApplyGougeControlDirect(grid, mask, control);
        EXPECT_FALSE(completed);
        EXPECT_EQ(control.checkpoints, 3);
        TZGrid full = original;
        ApplyGougeControlDirect(full, mask, corvane::silentRunControl());
        // Progress points at rows 1, 5, 9: rows before 9 are adjusted, the rest untouched.
        for (int r = 0; r < grid.rows; ++r)
            for (int c = 0; c < grid.cols; ++c)
                ASSERT_EQ(grid[r][c], r < 9 ? full[r][c] : original[r][c]) << r << "," << c;
        EXPECT_EQ(control.progress.front().second, 2); // row 1 of 40
    }
}
