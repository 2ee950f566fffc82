#include "common/error.h"
#include "relief/collapse_rapids.h"
#include "relief/create_relief.h"
#include "relief/dxf_surface.h"
#include "relief/gouge_control.h"
#include "relief/raster_passes.h"
#include "relief/raster_program.h"
#include "relief_test_support.h"
#include "scratch_folder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace corvane::relief;
using relief_test::crlfLines;
using relief_test::gridOf;
using relief_test::randomGrid;
using relief_test::readFile;
using relief_test::ScriptedControl;
using relief_test::workedParameters;
namespace fs = std::filesystem;

namespace {

TZGrid workedGrid()
{
    return gridOf({{255, 128, 0, 255}, {255, 255, 255, 255}});
}

std::vector<RasterMove> passes(const TZGrid& grid, const ReliefParameters& p)
{
    MoveList list;
    EXPECT_TRUE(GenerateRasterPasses(grid, p, corvane::silentRunControl(), list));
    return list.moves;
}

// How many passes a run announced ("Pass 1", "Pass 2"...).
int passCount(const ScriptedControl& control)
{
    return int(std::count_if(control.statuses.begin(), control.statuses.end(),
                             [](const std::string& s) { return s.rfind("Pass ", 0) == 0; }));
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) { ::setenv(name, value, 1); }
    ~ScopedEnv() { ::unsetenv(name_); }

private:
    const char* name_;
};

} // namespace

TEST(RasterProgram, WorkedExampleGivesTheExactFile)
{
    const std::vector<RasterMove> moves = passes(workedGrid(), workedParameters());
    EXPECT_EQ(moves.size(), 18u);

    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    const fs::path file = dir / "worked.dnc";
    ScopedEnv locale("LC_ALL", "C");
    ScopedEnv epoch("SOURCE_DATE_EPOCH", "0");
    std::vector<RasterMove> thinned = moves;
    ASSERT_TRUE(CollapseRapids(thinned, corvane::silentRunControl()));
    ASSERT_TRUE(
        WriteRasterProgram(file.string(), "worked.bmp", thinned, 10, corvane::silentRunControl()));
    EXPECT_EQ(readFile(file), readFile(CORVANE_TEST_DATA "/relief/worked_example.dnc"));
    const auto lines = crlfLines(readFile(file));
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "( Created 01/01/70 00:00:00 From worked.bmp)");
    EXPECT_EQ(lines[1], "G90 T0 F10.0000");
    EXPECT_EQ(lines[9], " X1.0000");
    EXPECT_EQ(lines[14], " X0.0000 Y1.0000");
}

TEST(RasterProgram, PassesAndSkipsFollowTheDepths)
{
    ReliefParameters p = workedParameters();
    ScriptedControl control;

    // All white: rapids only, at the rapid height once the tool is over the stock.
    TZGrid white(6, 5, 255);
    MoveList list;
    GenerateRasterPasses(white, p, control, list);
    EXPECT_TRUE(std::all_of(list.moves.begin(), list.moves.end(), [&](const RasterMove& m) {
        return m.kind == RasterRapid && m.z == p.rapidHeight;
    }));
    EXPECT_EQ(passCount(control), 2);

    // Depth 0: one pass in which every sample is skipped.
    ScriptedControl flat;
    p.depth = 0;
    list.moves.clear();
    GenerateRasterPasses(randomGrid(6, 5, 4), p, flat, list);
    EXPECT_EQ(passCount(flat), 1);
    EXPECT_TRUE(std::all_of(list.moves.begin(), list.moves.end(),
                            [](const RasterMove& m) { return m.kind == RasterRapid; }));

    // 0.25 with 0.1 a pass: floors 0.1, 0.2 and 0.25 on a black picture.
    ScriptedControl three;
    p.depth = 0.25;
    TZGrid black(4, 8, 0);
    p.sizeX = 8;
    list.moves.clear();
    GenerateRasterPasses(black, p, three, list);
    EXPECT_EQ(passCount(three), 3);
    std::vector<double> floors;
    for (const RasterMove& m : list.moves)
        if (m.kind == RasterFeed && std::find(floors.begin(), floors.end(), m.z) == floors.end())
            floors.push_back(m.z);
    EXPECT_EQ(floors, (std::vector<double>{-0.1, -0.2, -0.25}));

    // Three rows at one row a step: the second line pair would need row 3, so only the first
    // pair (at Y 3 and Y 2) is machined and the last row is lost.
    p = workedParameters();
    p.sizeY = 3;
    const auto odd = passes(gridOf({{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}), p);
    double lowestY = 1e9;
    for (const RasterMove& m : odd)
        if (m.kind == RasterFeed)
            lowestY = std::min(lowestY, m.y);
    EXPECT_EQ(lowestY, 2.0);
}

TEST(RasterProgram, MoveListGrowsBeyondItsEstimate)
{
    // Alternating skipped and cut samples need about three moves a sample.
    TZGrid stripes(8, 40, 255);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 40; c += 2)
            stripes[r][c] = 0;
    ReliefParameters p = workedParameters();
    p.sizeX = 40;
    p.sizeY = 8;
    const auto moves = passes(stripes, p);
    const int nx = 39, ny = 8, np = 3;
    EXPECT_GT(moves.size(), std::size_t(nx * ny * np));
}

TEST(RasterProgram, CollapseKeepsTheEndsOfEachRapidRun)
{
    std::vector<RasterMove> moves = {
        {RasterRapid, 0, 0, 1}, {RasterRapid, 1, 0, 1}, {RasterRapid, 2, 0, 1},
        {RasterRapid, 2, 0, 0}, {RasterFeed, 3, 0, -1}, {RasterRapid, 3, 0, 1},
        {RasterFeed, 4, 0, -1},
    };
    ASSERT_TRUE(CollapseRapids(moves, corvane::silentRunControl()));
    EXPECT_EQ(moves, (std::vector<RasterMove>{{RasterRapid, 0, 0, 1},
                                              {RasterRapid, 2, 0, 1},
                                              {RasterRapid, 2, 0, 0},
                                              {RasterFeed, 3, 0, -1},
                                              {RasterRapid, 3, 0, 1},
                                              {RasterRapid, 3, 0, 1},
                                              {RasterFeed, 4, 0, -1}}));

    ScriptedControl esc;
    esc.escapeFrom = 0;
    std::vector<RasterMove> untouched = moves;
    EXPECT_FALSE(CollapseRapids(untouched, esc));
    EXPECT_EQ(untouched, moves);
}

TEST(RasterProgram, RefusesParametersThatNeverEnd)
{
    ReliefParameters p = workedParameters();
    MoveList list;
    for (double perPass : {0.0, -0.1, std::nan(""), 1e-17}) {
        p.depthPerPass = perPass;
        EXPECT_THROW(GenerateRasterPasses(workedGrid(), p, corvane::silentRunControl(), list),
                     corvane::Error);
    }
    p = workedParameters();
    p.stepX = 9; // more than twice Size X
    EXPECT_THROW(GenerateRasterPasses(workedGrid(), p, corvane::silentRunControl(), list),
                 corvane::Error);
    p = workedParameters();
    p.gridRows = 3; // the grid was rebuilt for another picture
    p.gridCols = 4;
    EXPECT_THROW(GenerateRasterPasses(workedGrid(), p, corvane::silentRunControl(), list),
                 corvane::Error);
    EXPECT_THROW(
        GenerateRasterPasses(TZGrid(), workedParameters(), corvane::silentRunControl(), list),
        corvane::Error);
    p = workedParameters();
    p.sizeX = 1e-320; // the cells would be infinitely many per unit
    EXPECT_THROW(GenerateRasterPasses(workedGrid(), p, corvane::silentRunControl(), list),
                 corvane::Error);
    p = workedParameters();
    p.stepY = 1e5; // no line pair fits: an empty pass, not an overflow
    EXPECT_TRUE(GenerateRasterPasses(workedGrid(), p, corvane::silentRunControl(), list));
    p = workedParameters();
    p.sizeY = -2;
    EXPECT_THROW(GenerateRasterPasses(workedGrid(), p, corvane::silentRunControl(), list),
                 corvane::Error);
}

TEST(RasterProgram, CreateStreamsTheSameProgramAsTheMoveList)
{
    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    const fs::path file = dir / "relief.dnc";
    ScopedEnv locale("LC_ALL", "C");
    ScopedEnv epoch("SOURCE_DATE_EPOCH", "1000000000");
    ReliefParameters p = workedParameters();
    p.sizeX = 0.6;
    p.sizeY = 0.5;
    p.stepX = p.stepY = 0.02;
    p.depth = 0.25;
    p.depthPerPass = 0.1;
    p.useGougeControl = true;
    p.tool = ToolShape::BallMill;
    p.toolDiameter = 0.1;
    const TZGrid picture = randomGrid(50, 60, 11);

    // The reference: the batch functions on a move list.
    TZGrid gouged = picture;
    applyGougeForRun(gouged, p, corvane::silentRunControl());
    std::vector<RasterMove> moves = passes(gouged, p);
    CollapseRapids(moves, corvane::silentRunControl());
    const fs::path reference = dir / "reference.dnc";
    WriteRasterProgram(reference.string(), "noise.bmp", moves, p.feedRate,
                       corvane::silentRunControl());

    TZGrid grid = picture;
    ScriptedControl control;
    const CreateResult result = CreateRasterProgram(
        grid, p, "noise.bmp", control, {[&] { return std::optional(file.string()); }, {}});
    EXPECT_EQ(result.outcome, CreateOutcome::Saved);
    EXPECT_EQ(grid.cells, picture.cells); // gouge control worked on a copy
    EXPECT_EQ(readFile(file), readFile(reference));
    EXPECT_EQ(control.statuses.front(), "Applying Gouge Control. Please Wait...");
    EXPECT_EQ(control.statuses.back(), "Ready...");
    EXPECT_NE(std::find(control.statuses.begin(), control.statuses.end(), "Writing to file..."),
              control.statuses.end());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST(RasterProgram, CreateSavesNothingWhenStoppedAbandonedOrFailing)
{
    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    const fs::path file = dir / "old.dnc";
    std::ofstream(file) << "the program that was there";
    ReliefParameters p = workedParameters();
    p.sizeX = 0.6;
    p.sizeY = 0.5;
    p.stepX = p.stepY = 0.01;
    p.useGougeControl = true;
    p.toolDiameter = 0.05;
    const TZGrid picture = randomGrid(50, 60, 12);
    bool asked = false;
    const CreateHooks hooks{[&] {
                                asked = true;
                                return std::optional(file.string());
                            },
                            {}};

    // Cancel during the passes: nothing saved, the grid as it was built.
    TZGrid grid = picture;
    ScriptedControl cancel;
    cancel.stopAt = 3;
    EXPECT_EQ(CreateRasterProgram(grid, p, "x.bmp", cancel, hooks).outcome, CreateOutcome::Stopped);
    EXPECT_FALSE(asked);
    EXPECT_EQ(grid.cells, picture.cells);

    // Esc: the passes run to the end, nothing is asked or saved.
    ScriptedControl esc;
    esc.escapeFrom = 1;
    grid = picture;
    const CreateResult abandoned = CreateRasterProgram(grid, p, "x.bmp", esc, hooks);
    EXPECT_EQ(abandoned.outcome, CreateOutcome::Abandoned);
    EXPECT_FALSE(asked);
    EXPECT_EQ(esc.statuses.back(), "Process Cancelled...");

    // A zero diameter: the message and no pass.
    std::string message;
    p.toolDiameter = 0;
    grid = picture;
    ScriptedControl zero;
    const CreateResult refused = CreateRasterProgram(
        grid, p, "x.bmp", zero, {hooks.askFileName, [&](const std::string& m) { message = m; }});
    EXPECT_EQ(refused.outcome, CreateOutcome::ZeroDiameter);
    EXPECT_FALSE(refused.closeDialog);
    EXPECT_EQ(message, "Tool Diameter can not be 0!");
    EXPECT_EQ(passCount(zero), 0);

    // A full disk: the file and the reason; "Ready..." never shows.
    p.useGougeControl = false;
    grid = picture;
    ScriptedControl full;
    try {
        CreateRasterProgram(grid, p, "x.bmp", full,
                            {[] { return std::optional<std::string>("/dev/full"); }, {}});
        ADD_FAILURE() << "a full disk must fail";
    } catch (const corvane::Error& e) {
        EXPECT_EQ(e.file(), "/dev/full");
    }
    EXPECT_NE(full.statuses.back(), "Ready...");

    EXPECT_EQ(readFile(file), "the program that was there");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    // With gouge control, a failed write then a retry on the same grid give the file a
    // first run on a fresh grid gives.
    p.useGougeControl = true;
    p.toolDiameter = 0.05;
    EXPECT_THROW(CreateRasterProgram(grid, p, "x.bmp", full,
                                     {[] { return std::optional<std::string>("/dev/full"); }, {}}),
                 corvane::Error);
    const fs::path retried = dir / "retried.dnc";
    const fs::path fresh = dir / "fresh.dnc";
    CreateRasterProgram(grid, p, "x.bmp", full,
                        {[&] { return std::optional(retried.string()); }, {}});
    TZGrid freshGrid = picture;
    CreateRasterProgram(freshGrid, p, "x.bmp", full,
                        {[&] { return std::optional(fresh.string()); }, {}});
    EXPECT_EQ(readFile(retried), readFile(fresh));

    // Refused before any work.
    p.depthPerPass = 0;
    EXPECT_THROW(CreateRasterProgram(grid, p, "x.bmp", full, hooks), corvane::Error);
}

TEST(ReliefEngine, NonsenseNumbersAreRefusedNeverCrash)
{
    const double values[] = {-1, 0, 1e-320, 1e-9,  0.01,         0.3,
                             1,  7, 1e5,    1e300, std::nan(""), HUGE_VAL};
    std::mt19937 random(5);
    const auto pick = [&] { return values[random() % std::size(values)]; };
    const TZGrid grid = randomGrid(9, 11, 6);
    int written = 0, refused = 0;
    // Anything but corvane::Error escaping, or a sanitizer report, fails the test.
    const auto attempt = [&](const auto& work) {
        try {
            work();
            ++written;
        } catch (const corvane::Error&) {
            ++refused;
        }
    };
    for (int i = 0; i < 400; ++i) {
        ReliefParameters p;
        p.sizeX = pick();
        p.sizeY = pick();
        p.stepX = pick();
        p.stepY = pick();
        p.depth = random() % 2 ? 0.25 : pick();
        p.depthPerPass = p.depth / double(1 + random() % 5);
        p.rapidHeight = 0.1;
        StringSink dxf;
        MoveList moves;
        attempt([&] { WriteDxfSurface(dxf, grid, p, corvane::silentRunControl()); });
        attempt([&] { GenerateRasterPasses(grid, p, corvane::silentRunControl(), moves); });
        attempt([&] {
            TZGrid gouged = grid;
            const TToolMask mask = BuildToolMask(ToolShape(1 + random() % 3), pick(), pick(),
                                                 pick(), -p.depth, double(random() % 200));
            ApplyGougeControl(gouged, mask, corvane::silentRunControl());
        });
    }
    EXPECT_GT(written, 50);
    EXPECT_GT(refused, 100);
}
