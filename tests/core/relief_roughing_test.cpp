// The roughing program: its floors against the swept envelope, the stock it must leave
// checked move by move and by the cut simulation, the finish it must not change, and the
// pictures and values at the edges (flat, nothing to rough, refused fields, Cancel, Esc).
#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "imaging/picture_io.h"
#include "relief/create_roughing.h"
#include "relief/height_grid.h"
#include "relief/protect_moves.h"
#include "relief/raster_program.h"
#include "relief/roughing_floor.h"
#include "relief_test_support.h"
#include "scratch_folder.h"
#include "simulation/planned_program.h"
#include "simulation/simulate_sequence.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace corvane::relief;
namespace sim = corvane::simulation;
using relief_test::ScriptedControl;

namespace {

using relief_test::ToolCase;
using relief_test::Tools;

// Hills and pits with noise on top: wide hollows the tool fits in, and walls it must not cut.
// The heights are worked out on 0..255 and kept at the grid's full precision.
TZGrid hillyGrid(int rows, int cols, unsigned seed, int white = White8)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    const double a = 3 + 4 * unit(random), b = 2 + 3 * unit(random), phase = 6 * unit(random);
    TZGrid g(rows, cols, 0, white);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const double x = double(c) / cols, y = double(r) / rows;
            double v = 128 + 110 * std::sin(a * x + phase) * std::cos(b * y);
            v += 20 * (unit(random) - 0.5);
            if ((r / 9 + c / 13) % 3 == 0)
                v += 40; // steps
            g[r][c] = TZGrid::Cell(std::clamp(v * (white / 255.0), 0.0, double(white)));
        }
    return g;
}

// Pixels of 0.02, Depth 0.5, Rapid Height 0.1; a 1/8 ball finishing in one pass.
ReliefParameters reliefFor(const TZGrid& grid)
{
    ReliefParameters p;
    p.sizeX = grid.cols * 0.02;
    p.sizeY = grid.rows * 0.02;
    p.stepX = p.stepY = 0.02;
    p.depth = p.depthPerPass = 0.5;
    p.feedRate = 30;
    p.rapidHeight = 0.1;
    p.useGougeControl = true;
    p.tool = ToolShape::BallMill;
    p.toolDiameter = 0.125;
    return p;
}

RoughingParameters roughingWith(const ToolCase& tool, double diameter)
{
    RoughingParameters r;
    r.tool = tool.shape;
    r.includedAngle = tool.angle;
    r.toolDiameter = diameter;
    r.stockToLeave = 0.02;
    r.stepOver = 0.4 * diameter;
    r.stepDown = 0.1;
    r.feedRate = 30;
    return r;
}

std::string roughingText(const TZGrid& grid, const ReliefParameters& p, const RoughingParameters& r,
                         RoughingRun* run = nullptr)
{
    StringSink sink;
    sink.write(rasterProgramHeader("test", "test", r.feedRate));
    const RoughingRun done = writeRoughingBody(grid, p, r, corvane::silentRunControl(), sink);
    EXPECT_TRUE(done.completed);
    if (run)
        *run = done;
    return sink.text;
}

corvane::dnc::DncProgram parsed(const std::string& text)
{
    return corvane::dnc::ParseDncProgram(text, corvane::silentRunControl());
}

sim::SimulationSettings settingsFor(const TZGrid& grid, const ReliefParameters& p)
{
    sim::SimulationSettings s;
    s.cutter = sim::makeCutter(p.tool, p.toolDiameter, p.includedAngle);
    s.cell = 0.02; // on the samples
    s.target = sim::TargetRelief{grid, p.sizeX, p.sizeY, p.depth};
    s.measureBetweenSamples = false;
    return s;
}

// The deepest any feed move of the program cuts into a cell + stock, by the swept envelope
// of the moves as written (<= 0: the stock layer is whole).
double deepestCutIntoStock(const TZGrid& grid, const ReliefParameters& p,
                           const RoughingParameters& r, const corvane::dnc::DncProgram& program)
{
    const SampleField field = sampleField(grid, p.sizeX, p.sizeY, p.depth);
    const ToolProfile tool = toolProfile(r.tool, r.toolDiameter, r.includedAngle);
    double deepest = NoCut, x = 0, y = 0, z = 0;
    for (const auto& m : program.moves) {
        if (m.kind == corvane::dnc::DncFeed)
            deepest = std::max(deepest,
                               deepestCut(field, tool, {x, y, z, m.x, m.y, m.z}) + r.stockToLeave);
        x = m.x, y = m.y, z = m.z;
    }
    return deepest;
}

} // namespace

TEST(RoughingFloor, EqualsTheSweptEnvelopeOfEachPiece)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    for (const ToolCase& t : Tools)
        for (unsigned seed = 1; seed <= 8; ++seed) {
            // Seeds 5 to 8 on a depth map's 65535 levels.
            const int white = seed <= 4 ? White8 : White16;
            const TZGrid grid = seed % 2 ? relief_test::randomGrid(23, 31, seed, white)
                                         : hillyGrid(23, 31, seed, white);
            const double sizeX = 0.3 + unit(random), sizeY = 0.2 + unit(random);
            SampleField field = sampleField(grid, sizeX, sizeY, 0.3 + unit(random));
            const ToolProfile tool =
                guardedTool(toolProfile(t.shape, 0.05 + 0.3 * unit(random), t.angle));
            std::vector<double> xs;
            for (int c = 0; c < grid.cols; ++c)
                xs.push_back(writtenValue(field.x(c)));
            for (int k = 0; k < 5; ++k) {
                const double y = writtenValue(sizeY * (1.1 * unit(random) - 0.05));
                const double stock = 0.05 * unit(random);
                const auto fast = pieceFloors(field, tool, y, xs, stock);
                const auto twin = pieceFloorsReference(field, tool, y, xs, stock);
                ASSERT_EQ(fast.size(), twin.size());
                for (std::size_t c = 0; c < fast.size(); ++c)
                    ASSERT_NEAR(fast[c], twin[c], 1e-12)
                        << t.name << " seed " << seed << " y " << y << " piece " << c;
            }
        }
}

TEST(RoughingFloor, LevelsRunFromTheTopToTheDeepestPointPlusStock)
{
    EXPECT_EQ(roughingLevels(-0.5, 0.02, 0.1),
              (std::vector<double>{-0.1, -0.2, -0.3, -0.4, -0.48}));
    // The bottom is rounded up to the last digit, never below the stock layer.
    EXPECT_EQ(roughingLevels(-0.47845, 0, 0.25), (std::vector<double>{-0.25, -0.4784}));
    // A Step Down that divides the depth gives no extra level at the bottom.
    EXPECT_EQ(roughingLevels(-0.3, 0, 0.1), (std::vector<double>{-0.1, -0.2, -0.3}));
    EXPECT_TRUE(roughingLevels(-0.02, 0.02, 0.1).empty());
    EXPECT_TRUE(roughingLevels(-0.01, 0.02, 0.1).empty());
}

// For every roughing tool, on random pictures of 256 and of 65536 levels: every feed move
// keeps above the relief + stock (swept envelope of the written moves), the simulated stock
// after roughing too, no rapid collides, and the finish carves the same surface with or
// without roughing first.
TEST(RoughingProgram, LeavesTheStockAndChangesNothingTheFinishLeaves)
{
    for (const ToolCase& t : Tools)
        for (unsigned seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE(std::string(t.name) + " seed " + std::to_string(seed));
            // Seeds 3 and 4 on a depth map's 65535 levels.
            const TZGrid grid = hillyGrid(36, 48, seed, seed <= 2 ? White8 : White16);
            const ReliefParameters p = reliefFor(grid);
            const RoughingParameters r = roughingWith(t, seed % 2 ? 0.25 : 0.15);
            RoughingRun run;
            const auto rough = parsed(roughingText(grid, p, r, &run));
            EXPECT_GT(run.feedMoves, 0);
            EXPECT_LE(deepestCutIntoStock(grid, p, r, rough),
                      1e-6); // read back in single precision

            const auto finish = sim::plannedProgram(grid, p, corvane::silentRunControl());
            const sim::SimulationSettings settings = settingsFor(grid, p);
            const sim::Cutter roughCutter =
                sim::makeCutter(r.tool, r.toolDiameter, r.includedAngle);
            const auto both = sim::SimulateSequence(rough, roughCutter, finish, settings,
                                                    corvane::silentRunControl());
            EXPECT_TRUE(both.first.collisionLines.empty());
            EXPECT_TRUE(both.final.collisionLines.empty());
            ASSERT_TRUE(both.firstLeastStock);
            EXPECT_GE(*both.firstLeastStock, r.stockToLeave - 1e-4);

            const auto alone = sim::SimulateProgram(finish, settings, corvane::silentRunControl());
            ASSERT_EQ(alone.carved.heights.size(), both.final.carved.heights.size());
            double worst = 0;
            for (std::size_t i = 0; i < alone.carved.heights.size(); ++i)
                worst = std::max(worst,
                                 std::abs(alone.carved.heights[i] - both.final.carved.heights[i]));
            EXPECT_LE(worst, 1e-4);
        }
}

TEST(RoughingProgram, FlatPictureGivesOneLevelOverTheWholeArea)
{
    const TZGrid grid(20, 30, 0); // 0.1 deep everywhere
    ReliefParameters p = reliefFor(grid);
    p.depth = p.depthPerPass = 0.1;
    RoughingRun run;
    const auto rough = parsed(roughingText(grid, p, roughingWith(Tools[0], 0.25), &run));
    EXPECT_EQ(run.levels, 1);
    for (const auto& m : rough.moves)
        if (m.kind == corvane::dnc::DncFeed) {
            EXPECT_NEAR(m.z, -0.08, 1e-7);
        }
    // Rows along X over the whole width, 0.1 apart from the top edge to the last row.
    EXPECT_NEAR(rough.extents.minX, 0, 1e-7);
    EXPECT_NEAR(rough.extents.maxX, 0.58, 1e-7);
    EXPECT_NEAR(rough.extents.maxY, 0.4, 1e-7);

    p.depth = p.depthPerPass = 0.5; // the same picture deeper: five levels, the last at -0.48
    roughingText(grid, p, roughingWith(Tools[0], 0.25), &run);
    EXPECT_EQ(run.levels, 5);
}

TEST(RoughingProgram, NothingBelowTheStockGivesNoCuttingMoveAndSaysSo)
{
    const TZGrid grid(20, 30, 250); // 0.0098 deep: within the 0.02 of stock
    const ReliefParameters p = reliefFor(grid);
    corvane::testing::ScratchFolder scratch;
    const auto file = scratch.path() / "rough.dnc";
    ScriptedControl control;
    std::vector<std::string> messages;
    const RoughingResult result =
        CreateRoughingProgram(grid, p, roughingWith(Tools[0], 0.25), "flat.bmp", control,
                              {[&] { return std::optional<std::string>(file.string()); },
                               [&](const std::string& m) { messages.push_back(m); }});
    EXPECT_EQ(result.create.outcome, CreateOutcome::Saved);
    EXPECT_EQ(result.run.feedMoves, 0);
    EXPECT_EQ(messages, std::vector<std::string>{NothingToRoughMessage});
    const std::string text = relief_test::readFile(file);
    EXPECT_EQ(text.find("G01"), std::string::npos) << text;
    EXPECT_NE(text.find("G90 T0 F30.0000\r\n"), std::string::npos) << text;
}

TEST(RoughingProgram, RefusesBadValuesNamingTheFieldBeforeAnyWork)
{
    const TZGrid grid = hillyGrid(20, 30, 1);
    const ReliefParameters p = reliefFor(grid);
    struct Bad {
        const char* field;
        void (*spoil)(RoughingParameters&);
    };
    const Bad cases[] = {
        {"Stock to Leave", [](RoughingParameters& r) { r.stockToLeave = -0.01; }},
        {"Step Over", [](RoughingParameters& r) { r.stepOver = r.toolDiameter * 1.01; }},
        {"Step Down", [](RoughingParameters& r) { r.stepDown = 0; }},
        {"Roughing Diameter", [](RoughingParameters& r) { r.toolDiameter = 0; }},
        {"Roughing Feedrate", [](RoughingParameters& r) { r.feedRate = -1; }},
    };
    for (const Bad& bad : cases) {
        RoughingParameters r = roughingWith(Tools[0], 0.25);
        bad.spoil(r);
        ScriptedControl control;
        bool asked = false;
        try {
            CreateRoughingProgram(grid, p, r, "x.bmp", control,
                                  {[&] {
                                       asked = true;
                                       return std::optional<std::string>("unused.dnc");
                                   },
                                   {}});
            ADD_FAILURE() << bad.field << " accepted";
        } catch (const corvane::Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(bad.field, 0), 0u) << e.what();
        }
        EXPECT_FALSE(asked);
        EXPECT_EQ(control.checkpoints, 0) << bad.field;
        EXPECT_TRUE(control.statuses.empty()) << bad.field;
    }
}

TEST(RoughingProgram, CancelAndEscWriteNothing)
{
    const TZGrid grid = hillyGrid(60, 80, 3);
    const ReliefParameters p = reliefFor(grid);
    corvane::testing::ScratchFolder scratch;
    const auto file = scratch.path() / "rough.dnc";
    const CreateHooks hooks{[&] { return std::optional<std::string>(file.string()); }, {}};
    ScriptedControl cancel;
    cancel.stopAt = 2;
    const auto stopped =
        CreateRoughingProgram(grid, p, roughingWith(Tools[1], 0.25), "x.bmp", cancel, hooks);
    EXPECT_EQ(stopped.create.outcome, CreateOutcome::Stopped);
    EXPECT_FALSE(stopped.create.closeDialog);
    ScriptedControl esc;
    esc.escapeFrom = 2;
    const auto abandoned =
        CreateRoughingProgram(grid, p, roughingWith(Tools[1], 0.25), "x.bmp", esc, hooks);
    EXPECT_EQ(abandoned.create.outcome, CreateOutcome::Abandoned);
    EXPECT_EQ(esc.statuses.back(), "Process Cancelled...");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(SimulateSequence, QuantileCountsTheCellsAtOrUnderIt)
{
    std::vector<double> cuts(19, 0.0);
    cuts.push_back(1);
    EXPECT_EQ(sim::quantileAtOrUnder(cuts, 0.95), 0); // 19 of 20 are at 0
    cuts.push_back(2);
    EXPECT_EQ(sim::quantileAtOrUnder(cuts, 0.95), 1);
    EXPECT_EQ(sim::quantileAtOrUnder({}, 0.95), 0);
}

// The bundled sample at 4.8 x 3.2, Depth 0.5: a 1/4 end mill roughing (Stock 0.02, Step
// Over 0.1, Step Down 0.1) then a 1/8 ball finishing in one pass at steps 0.02, against
// the same ball finishing in passes of 0.1.
TEST(RoughingProgram, RoughThenFinishTheSampleIsFasterAndLoadsTheBallLess)
{
    const auto picture =
        corvane::imaging::readPicture(std::string(CORVANE_SAMPLES) + "/relief.bmp");
    const TZGrid grid = FillHeightGrid(picture, false);
    ReliefParameters p = reliefFor(grid);
    ASSERT_DOUBLE_EQ(p.sizeX, 4.8);
    ASSERT_DOUBLE_EQ(p.sizeY, 3.2);
    const RoughingParameters r = roughingWith(Tools[0], 0.25);
    const auto rough = parsed(roughingText(grid, p, r));
    const auto finish = sim::plannedProgram(grid, p, corvane::silentRunControl());
    ReliefParameters passes = p;
    passes.depthPerPass = 0.1;
    const auto inPasses = sim::plannedProgram(grid, passes, corvane::silentRunControl());

    const sim::SimulationSettings settings = settingsFor(grid, p);
    const auto both = sim::SimulateSequence(rough, sim::makeCutter(r.tool, r.toolDiameter, 60),
                                            finish, settings, corvane::silentRunControl());
    const auto alone = sim::SimulateProgram(inPasses, settings, corvane::silentRunControl());
    EXPECT_LE(both.first.time.minutes + both.final.time.minutes, 0.85 * alone.time.minutes);
    EXPECT_LE(both.secondCut95, r.stockToLeave + r.stepDown);
    ASSERT_TRUE(both.firstLeastStock);
    EXPECT_GE(*both.firstLeastStock, r.stockToLeave - 1e-4);
    const auto finishAlone = sim::SimulateProgram(finish, settings, corvane::silentRunControl());
    for (std::size_t i = 0; i < finishAlone.carved.heights.size(); ++i)
        ASSERT_NEAR(finishAlone.carved.heights[i], both.final.carved.heights[i], 1e-4) << i;
}
