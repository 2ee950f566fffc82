#include "common/error.h"
#include "relief_test_support.h"
#include "toolpaths/region_builder.h"
#include "toolpaths/toolpaths_fields.h"
#include "toolpaths_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace corvane::toolpaths;
using namespace toolpaths_test;
using relief_test::ScriptedControl;

namespace {

// Circles around (10, 10): the level k cuts the circle of radius k - 0.5.
const TTriangleArray cone =
    gridSurface(21, 21, [](int x, int y) { return std::hypot(x - 10.0, y - 10.0) + 0.5; });

BuildParameters topography(double zStep, double opDepth, bool multiple)
{
    BuildParameters p;
    p.styleCode = styleCode(1, multiple ? 1 : 0);
    p.zStep = zStep;
    p.opDepth = opDepth;
    p.cutDepth = 0.2;
    return p;
}

// At most `limit` levels.
std::vector<double> topographyLevels(double zStep, double opDepth, std::size_t limit = 100)
{
    std::vector<double> levels;
    for (std::optional<double> level = firstTopographyLevel(zStep); level && levels.size() < limit;
         level = nextTopographyLevel(*level, zStep, opDepth))
        levels.push_back(*level);
    return levels;
}

} // namespace

TEST(RegionBuilder, LevelsOfTopography)
{
    const std::vector<double> levels = topographyLevels(0.3, 1);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_DOUBLE_EQ(levels[2], 0.9);
    EXPECT_EQ(topographyLevels(2, 1), std::vector<double>{2});
    EXPECT_EQ(topographyLevels(0.5, 1), (std::vector<double>{0.5, 1})); // Op Depth is cut
    EXPECT_TRUE(topographyLevels(0, 1).empty());
    EXPECT_TRUE(topographyLevels(-0.5, 1).empty()); // would never pass Op Depth
    EXPECT_TRUE(topographyLevels(NAN, 1).empty());
    EXPECT_FALSE(nextTopographyLevel(1e17, 1, 1e300)) << "a step that cannot move the level";
    EXPECT_EQ(topographyLevels(1e-300, 1e-300 * 4).size(), 4u);

    EXPECT_EQ(styleCode(0, 1), 1);
    EXPECT_EQ(styleCode(1, 0), 2);
    EXPECT_EQ(styleCode(1, 1), 3);
    EXPECT_EQ(styleCode(2, 0), 4);
    EXPECT_EQ(styleCode(2, 1), 5);
}

TEST(RegionBuilder, DepthsByStyleAndTheCountsOfCreateUndoAndClear)
{
    RegionList list;
    ScriptedControl control;
    int repaints = 0, drawn = 0, allDrawn = 0;
    const BuildHooks hooks{[&] { ++repaints; }, [&](const TRegion&) { ++drawn; },
                           [&](const RegionList&) { ++allDrawn; }};

    BuildResult r = CreateRegions(list, cone, topography(1, 7, false), {}, control, hooks);
    EXPECT_EQ(r.outcome, BuildOutcome::Created);
    ASSERT_EQ(r.added, 7u);
    EXPECT_EQ(control.statuses.back(), "7 Regions Created...");
    for (std::size_t i = 1; i <= 7; ++i)
        EXPECT_EQ(list.regions[i].depth, 0.2);
    // An empty view is repainted after the first level; later levels draw their regions.
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(drawn, 6);
    EXPECT_EQ(allDrawn, 1);

    r = CreateRegions(list, cone, topography(1, 3, true), {}, control, hooks);
    ASSERT_EQ(r.added, 3u);
    EXPECT_EQ(list.regions[8].depth, 1);
    EXPECT_EQ(list.regions[10].depth, 3);
    EXPECT_EQ(repaints, 1);

    BuildParameters single;
    single.opDepth = 4;
    single.cutDepth = 0.2;
    r = CreateRegions(list, cone, single, {}, control);
    ASSERT_EQ(r.added, 1u);
    EXPECT_EQ(list.regions[11].depth, 0.2);

    EXPECT_EQ(UndoRegions(list), "The last 1 Regions were removed..");
    EXPECT_EQ(regionCount(list.regions), 10u);

    // Nothing cut: the list stays.
    r = CreateRegions(list, cone, topography(0, 7, false), {}, control);
    EXPECT_EQ(r.outcome, BuildOutcome::NoRegions);
    EXPECT_EQ(control.statuses.back(), NoRegionsMessage);
    EXPECT_EQ(regionCount(list.regions), 10u);

    // Filter removing everything still completes, with 0.
    BuildParameters filtered = topography(1, 2, false);
    filtered.post.filter = true;
    filtered.post.filterMinimum = 1000;
    r = CreateRegions(list, cone, filtered, {}, control);
    EXPECT_EQ(r.outcome, BuildOutcome::Created);
    EXPECT_EQ(control.statuses.back(), "0 Regions Created...");

    // Clear, then an Undo removes nothing and adds nothing.
    r = CreateRegions(list, cone, topography(1, 7, false), {}, control);
    ClearRegions(list);
    EXPECT_EQ(UndoRegions(list), "The last 0 Regions were removed..");
    EXPECT_EQ(list.regions.size(), 1u);
}

TEST(RegionBuilder, EscWhileSlicingAddsNothingAndLeavesUndoEmpty)
{
    RegionList list;
    ScriptedControl plain;
    CreateRegions(list, cone, topography(1, 2, false), {}, plain);
    ASSERT_EQ(regionCount(list.regions), 2u);

    ScriptedControl control;
    control.escapeFrom = 3;
    const BuildResult r = CreateRegions(list, cone, topography(1, 7, false), {}, control);
    EXPECT_EQ(r.outcome, BuildOutcome::Cancelled);
    EXPECT_EQ(regionCount(list.regions), 2u);
    EXPECT_EQ(UndoRegions(list), "The last 0 Regions were removed..");
    EXPECT_EQ(regionCount(list.regions), 2u);

    // Through the dialog's Create: the status says so.
    ToolpathsFields fields;
    fields.style = 1;
    fields.zStep = "1";
    fields.opDepth = "7";
    ScriptedControl esc;
    esc.escapeFrom = 2;
    RunToolpathsCreate(list, cone, readToolpathsFields(fields, false, 1), esc);
    EXPECT_EQ(esc.statuses.back(), "Process Cancelled...");
    EXPECT_EQ(regionCount(list.regions), 2u);
}

TEST(RegionBuilder, RasterGridScalesSegmentsButNotTheirBoxes)
{
    ToolpathsFields fields;
    fields.width = "2.1";
    fields.depth = "0.5";
    fields.opDepth = "0.1";
    fields.zStep = "x"; // not a number: 0
    fields.style = 2;
    fields.regionDepths = 1;
    fields.reduce = true;
    fields.reduceValue = "-3";
    const ToolpathsRun run = readToolpathsFields(fields, true, 7);
    ASSERT_TRUE(run.grid);
    EXPECT_EQ(run.grid->gridScale, float(double(2.1f) / 7));
    EXPECT_EQ(run.grid->gridDepthScale, float(0.5 / 255));
    EXPECT_DOUBLE_EQ(run.params.opDepth, 0.1 / 0.5 * 255);
    EXPECT_EQ(run.params.zStep, 0);
    EXPECT_EQ(run.params.styleCode, 5);
    EXPECT_EQ(run.params.post.reduceStep, 1);
    EXPECT_DOUBLE_EQ(run.rapidHeight, 0.25);

    ToolpathsFields topo = fields;
    topo.style = 1;
    topo.zStep = "0.01"; // 5.1 grey levels; the cone's levels cross its circles
    topo.opDepth = "0.02";
    topo.reduce = false;
    const ToolpathsRun grid = readToolpathsFields(topo, true, 7);
    RegionList list;
    ScriptedControl control;
    const BuildResult r = RunToolpathsCreate(list, cone, grid, control);
    ASSERT_EQ(r.added, 2u);
    EXPECT_EQ(control.statuses.front(), "Creating Vectors...");
    const TRegion& first = list.regions[1];
    EXPECT_DOUBLE_EQ(first.depth, 0.01 / 0.5 * 255 * double(grid.grid->gridDepthScale));
    // Segments in units, boxes still in grid cells.
    const double scale = double(grid.grid->gridScale);
    for (const TMyEntity& s : first.entities) {
        EXPECT_GE(s.x1 / scale, s.minX - 1e-9);
        EXPECT_LE(s.x1 / scale, s.maxX + 1e-9);
    }
    EXPECT_GT(first.minX, 4);
    double largest = 0;
    for (const TMyEntity& s : first.entities)
        largest = std::max(largest, s.x2);
    EXPECT_LT(largest, 20 * 0.3);

    ToolpathsFields noDepth = topo;
    noDepth.depth = "0";
    const BuildResult none =
        RunToolpathsCreate(list, cone, readToolpathsFields(noDepth, true, 7), control);
    EXPECT_EQ(none.outcome, BuildOutcome::NoRegions);
    EXPECT_EQ(regionCount(list.regions), 2u);

    corvane::Extents3D edges;
    edges.minZ = -2;
    EXPECT_EQ(proposedOpDepth(edges), "1");
    EXPECT_EQ(proposedOpDepth(corvane::Extents3D{}), "0");
}

TEST(ToolpathsFields, OnlyFieldsThatCountAreRefused)
{
    ToolpathsFields f;
    EXPECT_FALSE(toolpathsFieldsProblem(f, false));
    EXPECT_FALSE(toolpathsFieldsProblem(f, true));

    // Width and Depth count only for the raster grid, a post-processing value only when on.
    f.width = "wide";
    f.reduceValue = "2.5";
    EXPECT_FALSE(toolpathsFieldsProblem(f, false));
    EXPECT_TRUE(toolpathsFieldsProblem(f, true));
    f.width = "1";
    f.reduce = true;
    EXPECT_TRUE(toolpathsFieldsProblem(f, false));
    f.reduceValue = "0"; // read as 1, not refused
    EXPECT_FALSE(toolpathsFieldsProblem(f, false));

    // A Depth of 0 (also written "0.0" or "-0") cannot turn levels into grey levels.
    for (const char* zero : {"0", "0.0", "-0", ""}) {
        f.depth = zero;
        EXPECT_EQ(toolpathsFieldsProblem(f, true).value_or(""), "Depth can not be 0!") << zero;
        EXPECT_FALSE(toolpathsFieldsProblem(f, false));
    }
    f.depth = "1";

    // A negative step would never reach Op Depth; it matters for Topography only.
    f.zStep = "-0.1";
    EXPECT_FALSE(toolpathsFieldsProblem(f, false));
    f.style = 1;
    EXPECT_TRUE(toolpathsFieldsProblem(f, false));
    f.zStep = "1e400"; // beyond a double
    EXPECT_TRUE(toolpathsFieldsProblem(f, false));
}

TEST(ToolpathsFields, FieldsTheStyleDoesNotReadAreNotRefused)
{
    // What each style reads: Single Depth Op Depth and Cut Depth; Topography Op Depth, Z Step
    // and (One Depth) Cut Depth; Vectorize only (One Depth) Cut Depth.
    struct Case {
        int style, regionDepths;
        bool opDepth, zStep, cutDepth;
    };
    const Case cases[] = {{0, 0, true, false, true},  {0, 1, true, false, true},
                          {1, 0, true, true, true},   {1, 1, true, true, false},
                          {2, 0, false, false, true}, {2, 1, false, false, false}};
    for (const Case& c : cases) {
        ToolpathsFields f;
        f.style = c.style;
        f.regionDepths = c.regionDepths;
        const std::pair<std::string ToolpathsFields::*, bool> fields[] = {
            {&ToolpathsFields::opDepth, c.opDepth},
            {&ToolpathsFields::zStep, c.zStep},
            {&ToolpathsFields::cutDepth, c.cutDepth}};
        for (const auto& [field, read] : fields) {
            ToolpathsFields bad = f;
            bad.*field = "1..2";
            EXPECT_EQ(toolpathsFieldsProblem(bad, false).has_value(), read)
                << "style " << c.style << ", depths " << c.regionDepths << ": " << bad.*field;
        }
    }
}

TEST(ToolpathsFields, RefusesWhatCannotBeCutOrRepresentedNamingTheField)
{
    // Topography counts its levels first: a step a billion times smaller than Op Depth, or
    // an Op Depth whose quotient overflows, is refused with the count and the field.
    ToolpathsFields f;
    f.style = 1;
    f.opDepth = "1";
    f.zStep = "1e-9";
    EXPECT_EQ(toolpathsFieldsProblem(f, false).value_or(""),
              "Z Step is too small for the Op Depth: Topography would cut 1000000000 levels, at "
              "most 100000 are allowed");
    f.opDepth = "1e308";
    f.zStep = "0.1";
    EXPECT_EQ(toolpathsFieldsProblem(f, false).value_or(""),
              "Z Step is too small for the Op Depth: Topography would cut more than 1E308 "
              "levels, at most 100000 are allowed");
    f.opDepth = "10000";
    EXPECT_FALSE(toolpathsFieldsProblem(f, false)); // 100000 levels are allowed
    // The raster grid counts grey levels: the same quotient.
    f.opDepth = "1";
    f.zStep = "1e-9";
    EXPECT_TRUE(toolpathsFieldsProblem(f, true));
    // Single Depth has no levels to count.
    f.style = 0;
    EXPECT_FALSE(toolpathsFieldsProblem(f, false));

    // The engine refuses them too, before cutting anything.
    RegionList list;
    ScriptedControl control;
    EXPECT_THROW(CreateRegions(list, cone, topography(1e-9, 1, false), std::nullopt, control),
                 corvane::Error);
    EXPECT_EQ(regionCount(list.regions), 0u);
    EXPECT_TRUE(control.statuses.empty());

    // Width and Depth are read in single precision: beyond it they would be infinite.
    f = ToolpathsFields{};
    for (const char* big : {"1e39", "-1e39", "100001"}) {
        f.depth = big;
        EXPECT_EQ(toolpathsFieldsProblem(f, true).value_or(""), "Depth can not be more than 100000")
            << big;
        EXPECT_FALSE(toolpathsFieldsProblem(f, false)); // not used for a mesh
        f.depth = "1";
        f.width = big;
        EXPECT_EQ(toolpathsFieldsProblem(f, true).value_or(""), "Width can not be more than 100000")
            << big;
        f.width = "1";
    }

    // Curve Fit samples each span that many times: beyond the limit it cannot be held.
    f.curveFit = true;
    f.curveFitValue = "2147483647";
    EXPECT_EQ(toolpathsFieldsProblem(f, false).value_or(""),
              "Curve Fit can not be more than 1000 points a span");
    f.curveFitValue = "1000";
    EXPECT_FALSE(toolpathsFieldsProblem(f, false));
    f.curveFit = false;
    f.curveFitValue = "2147483647"; // unchecked: not used
    EXPECT_FALSE(toolpathsFieldsProblem(f, false));
}
