// Protect Moves: the swept envelope against its dense twin, the protected program checked
// move by move and by the cut simulation, and the programs it must leave alone.
#include "common/number_format.h"
#include "imaging/picture_io.h"
#include "relief/create_relief.h"
#include "relief/height_grid.h"
#include "relief/protect_moves.h"
#include "relief/raster_passes.h"
#include "relief/surface_dialog_model.h"
#include "relief_test_support.h"
#include "simulation/cutter.h"
#include "simulation/planned_program.h"
#include "simulation/simulate_program.h"
#include "simulation/simulation_figures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace corvane::relief;
namespace sim = corvane::simulation;

namespace {

using relief_test::protectCase;
using relief_test::ToolCase;
using relief_test::Tools;

// The deepest cut of any feed move into the cells, with the moves as the program writes them.
double deepestFeedCut(const TZGrid& grid, const ReliefParameters& p,
                      const std::vector<RasterMove>& moves)
{
    const SampleField field = sampleField(grid, p.sizeX, p.sizeY, p.depth);
    const ToolProfile tool = toolProfile(p.tool, p.toolDiameter, p.includedAngle);
    double deepest = NoCut;
    RasterMove at{};
    for (const RasterMove& m : moves) {
        const RasterMove to{m.kind, writtenValue(m.x), writtenValue(m.y), writtenValue(m.z)};
        if (m.kind == RasterFeed)
            deepest =
                std::max(deepest, deepestCut(field, tool, {at.x, at.y, at.z, to.x, to.y, to.z}));
        at = to;
    }
    return deepest;
}

std::vector<RasterMove> programMoves(const TZGrid& grid, const ReliefParameters& p)
{
    TZGrid gouged = grid;
    applyGougeForRun(gouged, p, corvane::silentRunControl());
    MoveList list;
    const auto protector = protectorFor(grid, p, list);
    MoveSink& first = protector ? static_cast<MoveSink&>(*protector) : list;
    GenerateRasterPasses(gouged, p, corvane::silentRunControl(), first);
    if (protector)
        protector->finish();
    return list.moves;
}

// The largest gouge the cut simulation finds, with its cells on the samples.
double simulatedGouge(const TZGrid& grid, const ReliefParameters& p, double step)
{
    const auto program = sim::plannedProgram(grid, p, corvane::silentRunControl());
    sim::SimulationSettings settings;
    settings.cutter = sim::makeCutter(p.tool, p.toolDiameter, p.includedAngle);
    settings.cell = step;
    settings.target = sim::TargetRelief{grid, p.sizeX, p.sizeY, p.depth};
    const sim::Simulation s = sim::SimulateProgram(program, settings, corvane::silentRunControl());
    return s.deviation->largestGouge;
}

TZGrid pictureGrid(int rows, int cols, auto value, int white = White8)
{
    TZGrid g(rows, cols, 0, white);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g[r][c] = TZGrid::Cell(std::clamp(value(r, c), 0, white));
    return g;
}

TZGrid dome(int white = White8)
{
    return pictureGrid(
        32, 48,
        [white](int r, int c) {
            const double x = (c - 24) / 24.0, y = (r - 16) / 16.0;
            return int(white * std::sqrt(std::max(0.0, 1 - x * x - y * y)));
        },
        white);
}

TZGrid checkerboard()
{
    return pictureGrid(32, 48, [](int r, int c) { return (r / 5 + c / 5) % 2 ? 220 : 40; });
}

// Dark strokes two pixels wide on white, like letters engraved.
TZGrid textLike()
{
    return pictureGrid(32, 48, [](int r, int c) {
        const bool stroke = (c % 12 < 2 && r > 4 && r < 27) || (r % 11 < 2 && c % 24 < 14) ||
                            std::abs((r - 4) - (c % 16)) < 2;
        return stroke ? 0 : 255;
    });
}

TZGrid sampleRelief()
{
    return FillHeightGrid(corvane::imaging::readPicture(CORVANE_SAMPLES "/relief.bmp"), false);
}

} // namespace

TEST(SweptEnvelope, ToolHeightsAgreeWithTheCutSimulation)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> pos(-0.05, 0.05), z(-0.3, 0.05);
    for (const ToolCase& t : Tools) {
        const ToolProfile tool = toolProfile(t.shape, 0.0625, t.angle);
        const sim::Cutter cutter = sim::makeCutter(t.shape, 0.0625, t.angle);
        for (int i = 0; i < 2000; ++i) {
            const TipSegment s{pos(random), pos(random), z(random),
                               pos(random), pos(random), z(random)};
            const double qx = pos(random), qy = pos(random);
            EXPECT_EQ(lowestSurfaceOver(tool, s, qx, qy),
                      sim::lowestToolHeight(cutter, {s.x0, s.y0, s.z0, s.x1, s.y1, s.z1}, qx, qy))
                << t.name;
        }
    }
}

// The fast envelope against the twin that samples the move densely and tests every cell:
// never below it, and above it by no more than the sampling can miss.
TEST(SweptEnvelope, FastPathEqualsTheDenseTwin)
{
    constexpr int Samples = 4000;
    for (const ToolCase& t : Tools) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            // Seeds 4 to 6 on a depth map's 65535 levels.
            const TZGrid grid = relief_test::randomGrid(9, 11, seed, seed <= 3 ? White8 : White16);
            const SampleField field = sampleField(grid, 0.11, 0.09, 0.25);
            const RowMaxima maxima = rowMaxima(grid);
            const ToolProfile tool = toolProfile(t.shape, 0.0625, t.angle);
            std::mt19937 random(seed);
            std::uniform_int_distribution<int> col(0, 10), row(0, 8);
            std::uniform_real_distribution<double> z(-0.3, 0.02);
            for (int i = 0; i < 12; ++i) {
                // Between samples along a row, a column, and across.
                const int c0 = col(random), r0 = row(random);
                const int c1 = i % 3 == 1 ? c0 : col(random), r1 = i % 3 == 0 ? r0 : row(random);
                const TipSegment s{field.x(c0), field.y(r0), z(random),
                                   field.x(c1), field.y(r1), z(random)};
                const double fast = deepestCut(field, tool, s);
                const double dense = deepestCutDense(field, tool, s, Samples);
                const double length = std::hypot(s.x1 - s.x0, s.y1 - s.y0);
                const double slack =
                    4 * (std::abs(s.z1 - s.z0) + (tool.coneSlope + 1) * length) / Samples;
                EXPECT_GE(fast, dense - 1e-12) << t.name << " seed " << seed << " move " << i;
                EXPECT_LE(fast, dense + slack + 1e-12)
                    << t.name << " seed " << seed << " move " << i;
                // With a floor the answer stays exact above it, with or without the row
                // maxima that skip whole rows.
                SampleField skipping = field;
                skipping.maxima = &maxima;
                const double floor = dense - 0.01;
                EXPECT_EQ(deepestCut(field, tool, s, floor), fast) << t.name;
                EXPECT_EQ(deepestCut(skipping, tool, s, floor), fast) << t.name;
                EXPECT_LE(deepestCut(field, tool, s, fast + 0.01), fast + 0.01) << t.name;
            }
        }
    }
}

// One walk of the grid answers, exactly, the move with its ends raised and the tool standing
// at either end: the protector asks all of these from the walk of the move as it came.
TEST(SweptEnvelope, AMoveBesideTheGridCutsNothing)
{
    // Within the grid's rows but right of its last column (a plunge at the program's far
    // corner): the footprint takes no column, so no row may be looked at.
    const TZGrid grid = relief_test::randomGrid(4, 4, 1);
    SampleField field = sampleField(grid, 5, 5, 1);
    const RowMaxima maxima = rowMaxima(grid);
    field.maxima = &maxima;
    const ToolProfile tool = toolProfile(ToolShape::EndMill, 0.5, 60);
    EXPECT_EQ(deepestCut(field, tool, {5.5, 2.5, 0, 5.5, 2.5, -1}), NoCut);
    EXPECT_EQ(deepestCut(field, tool, {5.5, 5, 0, 5.5, 5, -1}), NoCut);
}

TEST(SweptEnvelope, OneCellListServesRaisedEndsAndTheStillTool)
{
    for (const ToolCase& t : Tools)
        for (unsigned seed = 1; seed <= 3; ++seed) {
            const TZGrid grid = relief_test::randomGrid(9, 11, seed);
            SampleField field = sampleField(grid, 0.11, 0.09, 0.25);
            const RowMaxima maxima = rowMaxima(grid);
            field.maxima = &maxima;
            const ToolProfile tool = toolProfile(t.shape, 0.0625, t.angle);
            std::mt19937 random(seed);
            std::uniform_real_distribution<double> pos(0, 0.11), z(-0.3, 0.02), up(0, 0.01);
            for (int i = 0; i < 60; ++i) {
                const TipSegment s{pos(random), pos(random), z(random),
                                   pos(random), pos(random), z(random)};
                const double floor = 0.001 * (i % 3);
                std::vector<CutCell> cells;
                cellsThatMayBeCut(field, tool, s, floor, cells);
                const auto same = [&](const TipSegment& m, const char* what) {
                    const double full = deepestCut(field, tool, m, floor);
                    const double listed = deepestCutOf(cells, tool, m);
                    if (full > floor || listed > floor) {
                        EXPECT_EQ(listed, full) << t.name << " seed " << seed << ' ' << what;
                    }
                };
                same(s, "move");
                same({s.x0, s.y0, s.z0 + up(random), s.x1, s.y1, s.z1 + up(random)}, "raised");
                same({s.x0, s.y0, s.z0, s.x0, s.y0, s.z0}, "at the start");
                same({s.x1, s.y1, s.z1, s.x1, s.y1, s.z1 + up(random)}, "at the end");
            }
        }
}

// The fast listing (the footprint table for moves between cell centres, the grey-value test
// for the rest) against the reference: the same cells cut deeper than the floor, for the
// move, its ends raised and the tool standing at either end.
TEST(SweptEnvelope, FastListingFindsTheReferenceCuts)
{
    for (const ToolCase& t : Tools)
        for (unsigned seed = 1; seed <= 3; ++seed) {
            const TZGrid grid = relief_test::randomGrid(12, 14, seed);
            // Cells of 0.01 by 0.0125: the tool reaches three columns and two rows.
            SampleField field = sampleField(grid, 0.14, 0.15, 0.25);
            const RowMaxima maxima = rowMaxima(grid);
            field.maxima = &maxima;
            const ToolProfile tool = toolProfile(t.shape, 0.0625, t.angle);
            const FootprintTable table = footprintTable(field, tool);
            SampleField tabled = field;
            tabled.footprint = &table;
            std::mt19937 random(seed);
            std::uniform_int_distribution<int> col(-1, 14), row(-1, 12), near(-2, 2);
            std::uniform_real_distribution<double> z(-0.3, 0.02), up(0, 0.01), off(-0.004, 0.004);
            for (int i = 0; i < 150; ++i) {
                // On cell centres: one step along a row or a column, a few steps, across;
                // every fourth off them.
                const int c0 = col(random), r0 = row(random);
                const int c1 = c0 + (i % 3 == 1 ? 0 : near(random));
                const int r1 = r0 + (i % 3 == 0 ? 0 : near(random));
                const double jog = i % 4 == 3 ? off(random) : 0;
                const TipSegment s{field.x(c0) + jog, field.y(r0),       z(random),
                                   field.x(c1),       field.y(r1) - jog, z(random)};
                const double floor = i % 5 == 0 ? NoCut : 0.0001 * (i % 7);
                std::vector<CutCell> fast, reference;
                cellsThatMayBeCut(tabled, tool, s, floor, fast);
                cellsThatMayBeCutReference(field, tool, s, floor, reference);
                const auto same = [&](const TipSegment& m, const char* what) {
                    const double a = deepestCutOf(fast, tool, m);
                    const double b = deepestCutOf(reference, tool, m);
                    if (a > floor || b > floor) {
                        EXPECT_EQ(a, b)
                            << t.name << " seed " << seed << " move " << i << ' ' << what;
                    }
                    EXPECT_EQ(std::max(a, floor),
                              std::max(deepestCut(tabled, tool, m, floor), floor))
                        << t.name << " seed " << seed << " move " << i << ' ' << what;
                };
                same(s, "move");
                same({s.x0, s.y0, s.z0 + up(random), s.x1, s.y1, s.z1 + up(random)}, "raised");
                same({s.x0, s.y0, s.z0, s.x0, s.y0, s.z0}, "at the start");
                same({s.x1, s.y1, s.z1, s.x1, s.y1, s.z1 + up(random)}, "at the end");
            }
        }
}

TEST(ProtectMoves, NoFeedMoveCutsACellOnRandomPictures)
{
    for (const int white : {White8, White16})
        for (const ToolCase& t : Tools)
            for (const double step : {0.01, 0.03})
                for (const double perPass : {0.25, 0.1}) {
                    const TZGrid grid = relief_test::randomGrid(
                        20, 26, unsigned(step * 1000 + perPass * 10), white);
                    const ReliefParameters off = protectCase(grid, t, step, perPass, false);
                    const ReliefParameters on = protectCase(grid, t, step, perPass, true);
                    const std::vector<RasterMove> plain = programMoves(grid, off);
                    const std::vector<RasterMove> guarded = programMoves(grid, on);
                    EXPECT_GT(deepestFeedCut(grid, off, plain), 0.001) << t.name; // the fault
                    EXPECT_LE(deepestFeedCut(grid, on, guarded), ProtectAllowance + 1e-12)
                        << t.name << " step " << step << " per pass " << perPass << " white "
                        << white;
                    // Only heights are raised: the same floors, never a lower point.
                    double lowest = 0;
                    for (const RasterMove& m : guarded)
                        lowest = std::min(lowest, m.z);
                    EXPECT_GE(lowest, -0.25 - 1e-9);
                }
}

TEST(ProtectMoves, PlaneAndGentleSlopeKeepTheirBytes)
{
    const TZGrid plane = pictureGrid(20, 30, [](int, int) { return 128; });
    // One grey step every three pixels: samples three pixels apart lie on a line above the
    // pixels between them. At Depth 0.1 a ball's back dips into the sample it leaves on a
    // descent by 0.00002 at most, below what the program can write. Falling from line to
    // line (a step over rising into the next line cuts it before the tool climbs), and along
    // the lines at one-pixel steps only (the last sample stands at the right edge, two steps
    // from the one before).
    const TZGrid across = pictureGrid(21, 30, [](int r, int) { return 120 - r / 3; });
    const TZGrid along = pictureGrid(20, 30, [](int r, int c) { return 120 + c / 3 - r / 3; });
    // The same two as depth maps: 257 levels of 65535 for each grey step.
    const TZGrid deepPlane = pictureGrid(
        20, 30, [](int, int) { return 128 * 257; }, White16);
    const TZGrid deepAcross = pictureGrid(
        21, 30, [](int r, int) { return (120 - r / 3) * 257; }, White16);
    const std::pair<const TZGrid*, double> cases[] = {
        {&plane, 0.01},     {&plane, 0.03},      {&across, 0.01},
        {&across, 0.03},    {&along, 0.01},      {&deepPlane, 0.01},
        {&deepPlane, 0.03}, {&deepAcross, 0.01}, {&deepAcross, 0.03}};
    for (const auto& [grid, step] : cases)
        for (const ToolCase& t : {Tools[1], Tools[2], Tools[3]}) {
            const auto text = [&](bool protect) {
                ReliefParameters p = protectCase(*grid, t, step, 0.05, protect);
                p.depth = 0.1;
                return sim::plannedProgramText(*grid, p, corvane::silentRunControl());
            };
            EXPECT_EQ(text(true), text(false)) << t.name << " step " << step;
        }
}

// The protector's fast path writes the program of its reference twin, move for move: on
// noise and on smooth ground, for every tool, at one and three pixels, with one and with
// several passes, and with samples off the cell centres.
TEST(ProtectMoves, FastPathWritesTheReferenceProgram)
{
    const TZGrid smooth = pictureGrid(30, 40, [](int r, int c) {
        return int(128 + 90 * std::sin(c / 5.0) * std::cos(r / 7.0) + ((r / 8 + c / 8) % 2) * 20);
    });
    const TZGrid noise = relief_test::randomGrid(30, 40, 9);
    for (const TZGrid* grid : {&smooth, &noise})
        for (const ToolCase& t : Tools)
            for (const double step : {0.01, 0.03, 0.0137})
                for (const double perPass : {0.25, 0.1}) {
                    const ReliefParameters p = protectCase(*grid, t, step, perPass, true);
                    const auto moves = [&](MoveProtector::Path path) {
                        TZGrid gouged = *grid;
                        applyGougeForRun(gouged, p, corvane::silentRunControl());
                        MoveList list;
                        const auto protector = protectorFor(*grid, p, list, path);
                        GenerateRasterPasses(gouged, p, corvane::silentRunControl(), *protector);
                        protector->finish();
                        return list.moves;
                    };
                    const std::vector<RasterMove> fast = moves(MoveProtector::Path::Fast);
                    const std::vector<RasterMove> reference = moves(MoveProtector::Path::Reference);
                    ASSERT_EQ(fast.size(), reference.size()) << t.name << " step " << step;
                    for (std::size_t i = 0; i < fast.size(); ++i) {
                        const RasterMove &a = fast[i], &b = reference[i];
                        ASSERT_TRUE(a.kind == b.kind && a.x == b.x && a.y == b.y && a.z == b.z)
                            << t.name << " step " << step << " per pass " << perPass << " move "
                            << i;
                    }
                }
}

// Cells on the samples: the cut simulation finds no gouge beyond the written numbers' last
// digit, on every kind of picture, tool, step and number of passes.
TEST(ProtectMoves, SimulationFindsNoGougeAtTheSamples)
{
    const std::pair<const char*, TZGrid> pictures[] = {
        {"dome", dome()},
        {"checkerboard", checkerboard()},
        {"text", textLike()},
        {"noise", relief_test::randomGrid(32, 48, 5)},
        {"16-bit dome", dome(White16)},
        {"16-bit noise", relief_test::randomGrid(32, 48, 5, White16)}};
    for (const auto& [name, grid] : pictures)
        for (const ToolCase& t : Tools)
            for (const double step : {0.01, 0.03})
                for (const double perPass : {0.25, 0.1}) {
                    const ReliefParameters p = protectCase(grid, t, step, perPass, true);
                    EXPECT_LE(simulatedGouge(grid, p, step), ProgramResolution)
                        << name << ", " << t.name << ", step " << step << ", per pass " << perPass;
                }
}

TEST(ProtectMoves, SampleReliefLosesItsGougeForFewLines)
{
    const TZGrid grid = sampleRelief();
    ReliefParameters p = protectCase(grid, Tools[1], 0.01, 0.25, false);
    const std::string plain = sim::plannedProgramText(grid, p, corvane::silentRunControl());
    EXPECT_GT(simulatedGouge(grid, p, 0.01), 0.02);
    p.protectMoves = true;
    const std::string guarded = sim::plannedProgramText(grid, p, corvane::silentRunControl());
    EXPECT_LE(simulatedGouge(grid, p, 0.01), ProgramResolution);
    const auto lines = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    EXPECT_LE(double(lines(guarded)), 1.5 * double(lines(plain)));
}

TEST(ProtectMoves, FiguresNameTheGougeBetweenSamples)
{
    const TZGrid grid = checkerboard();
    const ReliefParameters p = protectCase(grid, Tools[1], 0.01, 0.25, false);
    sim::SimulationSettings settings;
    settings.cutter = sim::makeCutter(p.tool, p.toolDiameter, p.includedAngle);
    settings.cell = 0.01;
    settings.target = sim::TargetRelief{grid, p.sizeX, p.sizeY, p.depth};
    const auto program = sim::plannedProgram(grid, p, corvane::silentRunControl());
    const sim::Simulation s = sim::SimulateProgram(program, settings, corvane::silentRunControl());
    ASSERT_TRUE(s.gougeBetweenSamples);
    // With cells on the samples the simulation's gouge is the one between them.
    EXPECT_NEAR(*s.gougeBetweenSamples, s.deviation->largestGouge, 1e-9);
    EXPECT_NE(sim::figuresLine(s).find(", gouge between samples " +
                                       corvane::fixedText(*s.gougeBetweenSamples, 4) +
                                       " (Protect Moves removes it), "),
              std::string::npos)
        << sim::figuresLine(s);

    settings.measureBetweenSamples = false;
    const sim::Simulation quiet =
        sim::SimulateProgram(program, settings, corvane::silentRunControl());
    EXPECT_FALSE(quiet.gougeBetweenSamples);
    EXPECT_EQ(sim::figuresLine(quiet).find("between samples"), std::string::npos);
}

TEST(ProtectMoves, OnlyWithGougeControlInGCodeMode)
{
    const SurfaceSource source{48, 32, 100, 100};
    SurfaceDialogModel gcode(SurfaceMode::GCode, source);
    EXPECT_FALSE(gcode.read().protectMoves);
    gcode.setProtectMoves(true);
    EXPECT_TRUE(gcode.read().protectMoves);
    gcode.setUseGougeControl(false);
    EXPECT_FALSE(gcode.read().protectMoves);
    SurfaceDialogModel dxf(SurfaceMode::DxfSurface, source);
    dxf.setProtectMoves(true);
    EXPECT_FALSE(dxf.read().protectMoves);
}
