#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "relief/gouge_control.h"
#include "relief/tool_mask.h"
#include "relief_test_support.h"
#include "simulation/cut_comparison.h"
#include "simulation/cut_sweep.h"
#include "simulation/move_rows.h"
#include "simulation/planned_program.h"
#include "simulation/simulate_program.h"
#include "simulation/z_map.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace corvane::simulation;
using corvane::relief::ReliefParameters;
using corvane::relief::ToolShape;
using corvane::relief::TZGrid;

namespace {

corvane::dnc::DncProgram parse(const std::string& text)
{
    return corvane::dnc::ParseDncProgram(text, corvane::silentRunControl());
}

std::string randomProgram(unsigned seed, int lines = 40)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> xy(-0.5, 3.5), z(-0.6, 0.2), off(-1, 1);
    std::string text = "G90 T0 F12\n";
    char line[160];
    for (int i = 0; i < lines; ++i) {
        const int kind = int(rng() % 6); // more feeds than rapids and arcs
        const char* word = kind == 0 ? "G00" : kind == 1 ? "G02" : kind == 2 ? "G03" : "G01";
        if (kind == 1 || kind == 2)
            std::snprintf(line, sizeof line, "%s X%.4f Y%.4f Z%.4f I%.4f J%.4f\n", word, xy(rng),
                          xy(rng), z(rng), off(rng), off(rng));
        else
            std::snprintf(line, sizeof line, "%s X%.4f Y%.4f Z%.4f\n", word, xy(rng), xy(rng),
                          z(rng));
        text += line;
    }
    return text;
}

// A picture with sharp detail: steps, single pits and spikes, inside a white margin of
// three cells so every line ends on the stock top.
TZGrid sharpPicture(unsigned seed)
{
    std::mt19937 rng(seed);
    TZGrid g(36, 40, 255);
    for (int r = 3; r < g.rows - 3; ++r)
        for (int c = 3; c < g.cols - 3; ++c)
            g[r][c] = std::uint8_t(((r / 5 + c / 7) % 3) * 100);
    for (int k = 0; k < 25; ++k)
        g[3 + int(rng() % 30)][3 + int(rng() % 34)] = std::uint8_t(rng() % 2 ? 0 : 255);
    return g;
}

ReliefParameters rasterParameters(const TZGrid& g, ToolShape tool, bool gougeControl)
{
    ReliefParameters p;
    p.sizeX = g.cols * 0.01;
    p.sizeY = g.rows * 0.01;
    p.stepX = p.stepY = 0.01;
    p.depth = 0.25;
    p.depthPerPass = 0.1;
    p.feedRate = 10;
    p.rapidHeight = 0.1;
    p.useGougeControl = gougeControl;
    p.tool = tool;
    p.toolDiameter = 0.07;
    p.includedAngle = 90;
    return p;
}

Simulation simulatePlanned(const TZGrid& g, const ReliefParameters& p)
{
    SimulationSettings s;
    s.cutter = makeCutter(p.tool, p.toolDiameter, p.includedAngle);
    s.cell = 0.01;
    s.target = TargetRelief{g, p.sizeX, p.sizeY, p.depth};
    return SimulateProgram(plannedProgram(g, p, corvane::silentRunControl()), s,
                           corvane::silentRunControl());
}

// The carved map when the tool only stands at the end of every cutting move: what gouge
// control reasons about. The moves between samples can cut more (see below).
struct SampleCut {
    ZMap carved;
    std::vector<double> target;
};
SampleCut cutAtSamples(const TZGrid& g, const ReliefParameters& p)
{
    const auto program = plannedProgram(g, p, corvane::silentRunControl());
    std::vector<ToolMove> moves = toolMoves(program.moves, 0.01);
    for (ToolMove& m : moves)
        m.segment = {m.segment.x1, m.segment.y1, m.segment.z1,
                     m.segment.x1, m.segment.y1, m.segment.z1};
    const TargetRelief target{g, p.sizeX, p.sizeY, p.depth};
    SampleCut cut{zMapForTarget(target, 0.01), {}};
    SweepToolMoves(moves, makeCutter(p.tool, p.toolDiameter, p.includedAngle), cut.carved,
                   corvane::silentRunControl());
    cut.target = targetHeights(target, cut.carved);
    return cut;
}

} // namespace

TEST(CutSweep, FastSweepEqualsTheDirectOneOnRandomPrograms)
{
    for (unsigned seed = 1; seed <= 6; ++seed)
        for (ToolShape shape : {ToolShape::EndMill, ToolShape::BallMill, ToolShape::VBit}) {
            const auto program = parse(randomProgram(seed));
            const Cutter cutter = makeCutter(shape, 0.3 + 0.1 * seed, 60);
            const double cell = 0.05;
            // An odd row count, so the two bands differ in size.
            ZMap fast = makeZMap(-0.5, 3.5, cell, 81, 83), direct = fast;
            const auto moves = toolMoves(program.moves, cell);
            const SweepResult a = SweepToolMoves(moves, cutter, fast, corvane::silentRunControl());
            const SweepResult b = SweepToolMovesDirectly(moves, cutter, direct);
            EXPECT_EQ(fast.heights, direct.heights) << "seed " << seed;
            EXPECT_EQ(a.collisionLines, b.collisionLines) << "seed " << seed;
        }
}

// Bit for bit, so that not even the sign of a zero differs.
bool sameBits(const ZMap& a, const ZMap& b)
{
    return a.heights.size() == b.heights.size() &&
           std::memcmp(a.heights.data(), b.heights.data(), a.heights.size() * sizeof(double)) == 0;
}

TEST(CutSweep, RowByRowSweepOnTwoThreadsGivesTheDirectMapBitForBit)
{
    // Raster programs (moves along x, where a row's distance from the move is worked out
    // once a row, with plunges and rapids between the lines) and long random programs
    // (moves and arc chords in every direction), each big enough for the two threads.
    const TZGrid picture = sharpPicture(7);
    for (ToolShape shape : {ToolShape::EndMill, ToolShape::BallMill, ToolShape::VBit}) {
        const ReliefParameters p = rasterParameters(picture, shape, false);
        const auto program = plannedProgram(picture, p, corvane::silentRunControl());
        const Cutter cutter = makeCutter(shape, p.toolDiameter, p.includedAngle);
        const ZMap start =
            zMapForTarget(TargetRelief{picture, p.sizeX, p.sizeY, p.depth}, 0.01);
        ZMap held = start, streamed = start, direct = start;
        const auto moves = toolMoves(program.moves, 0.01);
        ASSERT_GT(moves.size(), 64u) << "the streamed sweep takes them on two threads";
        const SweepResult a = SweepToolMoves(moves, cutter, held, corvane::silentRunControl());
        const SweepResult b =
            SweepProgram(program.moves, 0.01, cutter, streamed, corvane::silentRunControl());
        const SweepResult c = SweepToolMovesDirectly(moves, cutter, direct);
        EXPECT_TRUE(sameBits(held, direct)) << int(shape);
        EXPECT_TRUE(sameBits(streamed, direct)) << int(shape);
        EXPECT_EQ(a.collisionLines, c.collisionLines);
        EXPECT_EQ(b.collisionLines, c.collisionLines);
    }
    for (unsigned seed = 11; seed <= 12; ++seed)
        for (ToolShape shape : {ToolShape::EndMill, ToolShape::BallMill, ToolShape::VBit}) {
            const auto program = parse(randomProgram(seed, 150));
            const Cutter cutter = makeCutter(shape, 0.45, seed == 11 ? 60 : 150);
            ZMap streamed = makeZMap(-0.5, 3.5, 0.1, 41, 42), direct = streamed;
            const SweepResult a =
                SweepProgram(program.moves, 0.1, cutter, streamed, corvane::silentRunControl());
            const SweepResult b =
                SweepToolMovesDirectly(toolMoves(program.moves, 0.1), cutter, direct);
            EXPECT_TRUE(sameBits(streamed, direct)) << "seed " << seed << " " << int(shape);
            EXPECT_EQ(a.collisionLines, b.collisionLines);
        }
}

TEST(CutSweep, BothBuildsOfTheRowLoopGiveEachCellTheExactLowestPointBitForBit)
{
    // Moves along x (whose positions along the move are kept per column) with rows on both
    // sides, through the row itself (wy of either zero) and with cells exactly at the move's
    // ends; and moves in any direction, uphill, downhill and level. Every cell must get
    // what the cell by cell sweep gives it, zeros' signs included, in either build.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> pick(-1, 1);
    const double cell = 0.125, left = -2; // cells land exactly on the move's ends
    const int cols = 33;
    RowScratch scratch;
    for (ToolShape shape : {ToolShape::EndMill, ToolShape::BallMill, ToolShape::VBit})
        for (int k = 0; k < 240; ++k) {
            const Cutter cutter = makeCutter(shape, 1.2, k % 3 ? 60 : 140);
            const bool alongX = k % 2 == 0;
            const double y0 = k % 4 == 0 ? -0.0 : k % 8 == 2 ? 0.0 : pick(rng);
            Segment s{pick(rng), y0, 0.4 * pick(rng), pick(rng), alongX ? y0 : pick(rng),
                      k % 7 == 0 ? 0.0 : 0.4 * pick(rng)};
            if (k % 7 == 0)
                s.z0 = s.z1;
            if (k % 5 == 0) // a cell on the start, where a zero's sign can reach the height
                s.x0 = 0.25, s.x1 = -0.5, s.z0 = -0.0;
            for (RowLoops loops : {RowLoops::Fastest, RowLoops::Portable}) {
                MoveRows rows(cutter, s, {left, cell}, 0, cols, scratch, loops);
                int slot = 0;
                for (double qy : {-1.0, -0.5, -0.0, 0.0, y0, 0.375, 1.0}) {
                    double heights[cols], expected[cols];
                    for (int col = 0; col < cols; ++col) {
                        heights[col] = col % 3 == 0 ? 0.5 : -0.3 + 0.02 * col;
                        const double z = lowestToolHeight(cutter, s, left + col * cell, qy);
                        const bool lowers =
                            !(heights[col] <= std::min(s.z0, s.z1)) && z < heights[col];
                        expected[col] = lowers ? z : heights[col];
                    }
                    rows.cut(slot++ % 3, qy, heights, 0, cols);
                    ASSERT_EQ(std::memcmp(heights, expected, sizeof heights), 0)
                        << "shape " << int(shape) << " move " << k << " row " << qy
                        << (loops == RowLoops::Portable ? " portable" : " fastest");
                }
            }
        }
}

TEST(CutSweep, ArcsAreSweptAsTheirChordsAreMadeWithTheSameMap)
{
    // Full circles of many chords each, between feeds and a rapid through the stock:
    // batches end inside arcs and between moves.
    std::string text = "G90 T0 F10\nG00 X1 Y0 Z0.1\nG01 Z-0.1\n";
    for (int k = 0; k < 12; ++k)
        text += k % 2 ? "G02 X1 Y0 Z-0.2 I-1 J0\n" : "G03 X1 Y0 Z-0.1 I-1 J0\n";
    text += "G00 X-1 Y0 Z-0.15\nG01 X0 Y-1 Z-0.3\n";
    const auto program = parse(text);
    const double cell = 0.01; // about 1257 chords a circle
    const std::vector<ToolMove> all = toolMoves(program.moves, cell);

    std::vector<ToolMove> streamed;
    std::size_t largest = 0, lastDone = 0;
    bool doneRises = true;
    forEachToolMoveBatch(program.moves, cell, 1000,
                         [&](const std::vector<ToolMove>& batch, std::size_t done) {
                             largest = std::max(largest, batch.size());
                             doneRises &= done >= lastDone && done <= program.moves.size();
                             lastDone = done;
                             streamed.insert(streamed.end(), batch.begin(), batch.end());
                             return true;
                         });
    EXPECT_LE(largest, 1000u);
    EXPECT_TRUE(doneRises);
    EXPECT_EQ(lastDone, program.moves.size());
    ASSERT_EQ(streamed.size(), all.size());
    EXPECT_GT(all.size(), 12000u);
    for (std::size_t i = 0; i < all.size(); ++i)
        ASSERT_TRUE(std::memcmp(&streamed[i].segment, &all[i].segment, sizeof(Segment)) == 0 &&
                    streamed[i].cuts == all[i].cuts && streamed[i].line == all[i].line)
            << i;

    // The whole simulation sweeps as it makes them: the same map, collisions and counts.
    const Cutter cutter = makeCutter(ToolShape::BallMill, 0.2, 60);
    ZMap held = makeZMap(-1.2, 1.2, 0.02, 121, 121), streamedMap = held;
    const SweepResult a = SweepToolMoves(all, cutter, held, corvane::silentRunControl());
    const SweepResult b =
        SweepProgram(program.moves, cell, cutter, streamedMap, corvane::silentRunControl());
    EXPECT_EQ(held.heights, streamedMap.heights);
    EXPECT_EQ(a.collisionLines, b.collisionLines);
    EXPECT_FALSE(b.collisionLines.empty());
    EXPECT_EQ(b.feedMoves + b.rapidMoves, all.size());
    EXPECT_EQ(b.rapidMoves, 2u);

    // Stopping ends the making too.
    std::size_t batches = 0;
    forEachToolMoveBatch(program.moves, cell, 1000,
                         [&](const std::vector<ToolMove>&, std::size_t) { return ++batches < 2; });
    EXPECT_EQ(batches, 2u);
}

TEST(CutSweep, FastAndDirectSweepsAgreeOnCellsExactlyOnTheRim)
{
    // Row 0 lies exactly one radius above a move along y = 0. The exact distance is the
    // radius, but the cell's own test computes it a hair short for these lengths: both
    // sweeps must leave that to the cell, and so carve the same.
    const std::pair<double, double> cases[] = {{0.2, 0.3},  {0.2, 0.7}, {0.35, 1.3},
                                               {0.45, 2.9}, {0.3, 1.1}, {0.25, 0.75}};
    for (const auto& [radius, length] : cases)
        for (ToolShape shape : {ToolShape::EndMill, ToolShape::BallMill, ToolShape::VBit}) {
            const Cutter cutter = makeCutter(shape, 2 * radius, 60);
            ZMap fast = makeZMap(-0.5, radius, 0.05, 2 * int(radius / 0.05) + 3,
                                 int((length + 1) / 0.05) + 1);
            ZMap direct = fast;
            const std::vector<ToolMove> moves = {{{0, 0, -0.1, length, 0, -0.1}, true, 1},
                                                 {{length, 0, -0.1, 0, 0, -0.2}, true, 2}};
            SweepToolMoves(moves, cutter, fast, corvane::silentRunControl());
            SweepToolMovesDirectly(moves, cutter, direct);
            EXPECT_EQ(fast.heights, direct.heights) << radius << " " << length;
        }
}

TEST(CutSweep, LowestPointsOfEachShapeAgainstDenseSampling)
{
    // The closed forms against many tip positions along each segment.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    for (ToolShape shape : {ToolShape::EndMill, ToolShape::BallMill, ToolShape::VBit}) {
        const Cutter cutter = makeCutter(shape, 1.0, 70);
        for (int k = 0; k < 300; ++k) {
            const Segment s{u(rng), u(rng), u(rng), u(rng), u(rng), u(rng)};
            const double qx = u(rng), qy = u(rng);
            double sampled = NotUnderTool;
            for (int i = 0; i <= 20000; ++i) {
                const double t = i / 20000.0;
                const double x = s.x0 + t * (s.x1 - s.x0), y = s.y0 + t * (s.y1 - s.y0),
                             z = s.z0 + t * (s.z1 - s.z0);
                const Segment still{x, y, z, x, y, z};
                sampled = std::min(sampled, lowestToolHeight(cutter, still, qx, qy));
            }
            const double exact = lowestToolHeight(cutter, s, qx, qy);
            if (std::isinf(sampled))
                continue; // the spot is only grazed between samples
            EXPECT_LE(exact, sampled + 1e-12);
            EXPECT_NEAR(exact, sampled, 2e-3) << int(shape) << " case " << k;
        }
    }
}

TEST(CutSweep, RapidsBelowTheSurfaceAreCollisionsAndDoNotCut)
{
    const auto program = parse("G90 T0 F10\n"
                               "G01 X1 Y1 Z-0.5\n"  // line 2: into the stock
                               "G00 Z0.1\n"         // line 3: straight up out of the cut
                               "G00 X3 Y1 Z-0.2\n"  // line 4: through stock
                               "G00 X3 Y1 Z0.1\n"); // line 5
    SimulationSettings s;
    s.cutter = makeCutter(ToolShape::EndMill, 0.5, 60);
    s.cell = 0.05;
    const Simulation sim = SimulateProgram(program, s, corvane::silentRunControl());
    EXPECT_EQ(sim.collisionLines, (std::vector<int>{4, 5})); // in and out through stock
    double lowest = 0;
    for (double h : sim.carved.heights)
        lowest = std::min(lowest, h);
    EXPECT_DOUBLE_EQ(lowest, -0.5);
}

TEST(CutSweep, TwoMoveProgramTakesItsTimeByHand)
{
    // A rapid of length 5 at 100 per minute, then a plunge of 2 at F8.
    const auto program = parse("G90 T0 F8\nG00 X3 Y4\nG01 Z-2\n");
    EXPECT_NEAR(machiningTime(program.moves, 100).minutes, 5.0 / 100 + 2.0 / 8, 1e-12);
    // A quarter circle of radius 2 at F4, after a rapid to its start.
    const auto arc = parse("G90 T0 F4\nG00 X2 Y0\nG03 X0 Y2 I-2 J0\n");
    EXPECT_NEAR(machiningTime(arc.moves, 50).minutes, 2.0 / 50 + std::acos(-1.0) / 4, 1e-6);
    const auto noFeed = parse("G90\nG01 X1\n");
    EXPECT_EQ(machiningTime(noFeed.moves, 100).untimedMoves, 1);
}

TEST(CutSweep, FlatEndMillOverFlatTargetLeavesNoDeviation)
{
    const TZGrid flat(24, 30, 51); // z = -0.2, exact in four decimals
    ReliefParameters p = rasterParameters(flat, ToolShape::EndMill, true);
    p.toolDiameter = 0.03;
    const Simulation sim = simulatePlanned(flat, p);
    ASSERT_TRUE(sim.deviation);
    EXPECT_LT(sim.deviation->largestGouge, 1e-7); // the reader works in single precision
    EXPECT_LT(sim.deviation->largestLeftover, 1e-7);
    EXPECT_EQ(sim.deviation->withinTolerance, 1);
}

TEST(CutSweep, GougeControlLeavesNoGougeOnSharpDetail)
{
    for (ToolShape shape : {ToolShape::EndMill, ToolShape::BallMill, ToolShape::VBit})
        for (unsigned seed = 1; seed <= 3; ++seed) {
            const TZGrid g = sharpPicture(seed);
            const ReliefParameters p = rasterParameters(g, shape, true);
            const SampleCut cut = cutAtSamples(g, p);
            // Rounding: the grey steps of the grid and of the tool mask, and the four
            // decimals of the program.
            const Deviation d = compareWithTarget(cut.carved, cut.target, 0.001);
            EXPECT_LE(d.largestGouge, 2 * p.depth / 255) << int(shape) << " seed " << seed;
            // Between samples the tool runs straight, and a descent next to a higher
            // neighbour cuts into it; never deeper than the descent itself.
            const Simulation sim = simulatePlanned(g, p);
            EXPECT_TRUE(sim.collisionLines.empty());
            EXPECT_LE(sim.deviation->largestGouge, p.depth);
        }
}

TEST(CutSweep, WithoutGougeControlTheGougesLieWhereTheToolMaskPredicts)
{
    for (ToolShape shape : {ToolShape::BallMill, ToolShape::VBit})
        for (unsigned seed = 1; seed <= 3; ++seed) {
            const TZGrid g = sharpPicture(seed);
            const ReliefParameters p = rasterParameters(g, shape, false);
            const SampleCut sim = cutAtSamples(g, p);
            // Cells the tool cannot sit in without cutting a neighbour: gouge control
            // raises them.
            TZGrid raised = g;
            corvane::relief::ApplyGougeControl(raised,
                                               corvane::relief::BuildToolMask(shape, p.toolDiameter,
                                                                              0.01, 0.01, -p.depth,
                                                                              p.includedAngle),
                                               corvane::silentRunControl());
            const double step = p.depth / 255, radiusCells = p.toolDiameter / 2 / 0.01;
            const ZMap& map = sim.carved;
            ASSERT_EQ(map.rows, g.rows);
            ASSERT_EQ(map.cols, g.cols);
            auto near = [&](int r, int c, auto&& test) {
                for (int q = 0; q < g.rows; ++q)
                    for (int s = 0; s < g.cols; ++s)
                        if (std::hypot(q - r, s - c) < radiusCells && test(q, s))
                            return true;
                return false;
            };
            auto gouge = [&](int r, int c) {
                return sim.target[std::size_t(r) * map.cols + c] - map.at(r, c);
            };
            int gouged = 0, predicted = 0;
            for (int r = 0; r < g.rows; ++r)
                for (int c = 0; c < g.cols; ++c) {
                    if (gouge(r, c) > 2 * step) {
                        ++gouged;
                        EXPECT_TRUE(
                            near(r, c, [&](int q, int s) { return raised[q][s] > g[q][s]; }))
                            << "unexpected gouge at " << r << "," << c;
                    }
                    if (raised[r][c] - g[r][c] >= 4) {
                        ++predicted;
                        EXPECT_TRUE(near(r, c, [&](int q, int s) { return gouge(q, s) > step; }))
                            << "missing gouge around " << r << "," << c;
                    }
                }
            EXPECT_GT(gouged, 0);
            EXPECT_GT(predicted, 0);
        }
}

TEST(CutSweep, ToolAndCellAreJudgedByTheDialogsRulesWithTheirMessages)
{
    const auto refusal = [](const auto& make) -> std::string {
        try {
            make();
        } catch (const corvane::Error& error) {
            return error.what();
        }
        return "accepted";
    };
    EXPECT_EQ(refusal([] { makeCutter(ToolShape::EndMill, 0, 60); }),
              "Diameter must be a number greater than 0");
    EXPECT_EQ(refusal([] { makeCutter(ToolShape::VBit, 1, 180); }),
              "Included Angle must lie between 5 and 179 degrees");
    EXPECT_EQ(refusal([] { makeCutter(ToolShape::BallMill, 1, 180); }), "accepted");

    // Every entry point that takes a cell size says the same about a bad one.
    const std::string cell = "Cell Size must be a number greater than 0";
    EXPECT_EQ(refusal([] { makeZMap(0, 0, 0, 1, 1); }), cell);
    EXPECT_EQ(refusal([] { zMapForTarget(TargetRelief{TZGrid{}, 1, 1, 1}, -1); }), cell);
    SimulationSettings s;
    s.cutter = makeCutter(ToolShape::EndMill, 0.1, 60);
    s.cell = 0;
    EXPECT_EQ(
        refusal([&] { SimulateProgram(parse("G01 X5 Y5\n"), s, corvane::silentRunControl()); }),
        cell);
}

TEST(CutSweep, RefusesSettingsItCannotSimulate)
{
    EXPECT_THROW(makeCutter(ToolShape::BallMill, 0, 60), corvane::Error);
    EXPECT_THROW(makeCutter(ToolShape::VBit, 0.1, 2), corvane::Error);
    SimulationSettings s;
    s.cutter = makeCutter(ToolShape::EndMill, 0.1, 60);
    s.cell = 1e-9; // a map of 10^18 cells
    EXPECT_THROW(SimulateProgram(parse("G01 X5 Y5\n"), s, corvane::silentRunControl()),
                 corvane::Error);
    s.cell = 0.1;
    s.rapidRate = 0;
    EXPECT_THROW(SimulateProgram(parse("G01 X5 Y5\n"), s, corvane::silentRunControl()),
                 corvane::Error);
}

// The message of the error a call throws, or "" when it throws none.
template <class F> std::string errorOf(F&& call)
{
    try {
        call();
    } catch (const corvane::Error& e) {
        return e.what();
    }
    return "";
}

TEST(CutSweep, ValuesWhoseResultsCannotBeRepresentedAreRefusedByField)
{
    // A diameter this large made the map too large and blamed the cell size.
    EXPECT_EQ(errorOf([] { makeCutter(ToolShape::BallMill, 1e308, 60); }),
              "Diameter can not be more than 100000");
    const auto program = parse("G90 T0 F10\nG00 X5 Y5\nG01 Z-1\n");
    SimulationSettings s;
    s.cutter = makeCutter(ToolShape::EndMill, 0.5, 60);
    s.cell = 0.1;
    // 1e-310 is above 0, but a rapid of length 7 would take infinitely many minutes.
    s.rapidRate = 1e-310;
    EXPECT_EQ(errorOf([&] {
                  SimulateProgram(program, s, corvane::silentRunControl());
              }).rfind("Rapid Rate is too small", 0),
              0u);
    s.rapidRate = 100;
    s.target = TargetRelief{TZGrid(4, 4, 0), 5, 5, 1e308}; // heights of -1e308 overflow
    EXPECT_EQ(errorOf([&] { SimulateProgram(program, s, corvane::silentRunControl()); }),
              "Depth can not be more than 100000");
    s.target->depth = 1;
    const Simulation sim = SimulateProgram(program, s, corvane::silentRunControl());
    ASSERT_TRUE(sim.deviation);
    EXPECT_TRUE(std::isfinite(sim.deviation->largestGouge));
    EXPECT_TRUE(std::isfinite(sim.time.minutes));
}
