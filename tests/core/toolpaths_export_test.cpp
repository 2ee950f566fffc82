#include "common/error.h"
#include "common/general_number.h"
#include "relief_test_support.h"
#include "scratch_folder.h"
#include "toolpaths/dnc_writer.h"
#include "toolpaths/dxf_polyline_writer.h"
#include "toolpaths/optimize_toolpaths.h"
#include "toolpaths_test_support.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

using namespace corvane::toolpaths;
using namespace toolpaths_test;
using corvane::formatGeneral;
using relief_test::readFile;
namespace fs = std::filesystem;

namespace {

TRegionArray squareRegion(double depth)
{
    TRegionArray list = newRegionList();
    list.push_back(regionThrough({{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}}, false, depth));
    return list;
}

const DncHeader squareHeader{"12/06/2026 21:58:00", "part.dxf", 10, 0.25};

TRegionArray randomRegions(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    // Coarse coordinates make equal distances, so ties to the lower index are exercised.
    std::uniform_int_distribution<int> coordinate(0, 60);
    TRegionArray list = newRegionList();
    for (std::size_t i = 0; i < count; ++i) {
        const double x = coordinate(random) * 0.5, y = coordinate(random) * 0.5;
        const double dx = (coordinate(random) - 30) * 0.1, dy = (coordinate(random) - 30) * 0.1;
        list.push_back(regionThrough({{x, y}, {x + dx, y + dy}, {x, y + 1}}, true));
    }
    return list;
}

// ezdxf is the peer that tells us whether others can read what we write.
std::string ezdxfPolylines(const fs::path& file)
{
    const std::string script = "import sys, ezdxf\n"
                               "doc = ezdxf.readfile(sys.argv[1])\n"
                               "if doc.audit().has_errors: sys.exit(1)\n"
                               "for p in doc.modelspace().query('POLYLINE'):\n"
                               "    print(p.get_mode(), ' '.join('%g,%g,%g' % tuple(v) for v in "
                               "p.points()))\n";
    const fs::path scriptFile = file.parent_path() / "polylines.py";
    std::ofstream(scriptFile) << script;
    const fs::path log = file.string() + ".log";
    const std::string command = "/usr/bin/python3 " + scriptFile.string() + " " + file.string() +
                                " > " + log.string() + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << readFile(log);
    return readFile(log);
}

} // namespace

TEST(FormatGeneral, ShortestFormUpTo15DigitsAndEBeyond)
{
    EXPECT_EQ(formatGeneral(10), "10");
    EXPECT_EQ(formatGeneral(0.25), "0.25");
    EXPECT_EQ(formatGeneral(-1.5), "-1.5");
    EXPECT_EQ(formatGeneral(-0.0), "0");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3"); // rounded to 15 digits
    EXPECT_EQ(formatGeneral(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(formatGeneral(1234567890123456.0), "1.23456789012346E15");
    EXPECT_EQ(formatGeneral(0.00001), "0.00001");
    EXPECT_EQ(formatGeneral(0.0000099), "9.9E-6");
    EXPECT_EQ(formatGeneral(-2.5e-7), "-2.5E-7");
    EXPECT_EQ(formatGeneral(999999999999999.9), "1E15"); // rounding carries into a 16th digit
    EXPECT_EQ(formatGeneral(1e300), "1E300");

    // Whatever the locale's decimal point.
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        EXPECT_EQ(formatGeneral(0.25), "0.25");
        std::setlocale(LC_ALL, "C");
    }
}

TEST(OptimizeToolpaths, StartsLowerLeftAndTakesTheNearestFirstSegmentNext)
{
    TRegionArray list = newRegionList();
    list.push_back(regionThrough({{10, 10}, {11, 10}}, true)); // 1
    list.push_back(regionThrough({{5, 0}, {5, 8}}, true));     // 2: the box corner is (0, 0)
    list.push_back(regionThrough({{0, 9}, {0, 20}}, true));    // 3
    list.push_back(regionThrough({{4, 1}, {6, 1}}, true));     // 4
    // From (0, 0): 4 lies at 17 (measured to its start), 2 at 25, 3 at 81. From (4, 1) 2 is
    // 1 away (perpendicular), and from 2's start (5, 0) 3 (106) comes before 1 (125).
    EXPECT_EQ(OptimizeToolpaths(list), (std::vector<std::size_t>{4, 2, 3, 1}));
    EXPECT_EQ(OptimizeToolpathsDirect(list), OptimizeToolpaths(list));

    // Equal distances: the lower index first.
    TRegionArray tie = newRegionList();
    tie.push_back(regionThrough({{3, 4}, {3, 5}}, true));
    tie.push_back(regionThrough({{4, 3}, {5, 3}}, true));
    tie.push_back(regionThrough({{0, 0}, {0, -1}}, true));
    EXPECT_EQ(OptimizeToolpaths(tie), (std::vector<std::size_t>{3, 1, 2}));

    // t >= 1 is measured to the start: from (0, 0) the segment (3,0)->(1,0) has its end
    // at 1 but counts 9; the point (0, 2.5) at 6.25 wins.
    TRegionArray beyond = newRegionList();
    beyond.push_back(regionThrough({{0, -1}, {0, -1}}, true));
    beyond.push_back(regionThrough({{-3, -1}, {-1, -1}}, true));
    beyond.push_back(regionThrough({{-3, 1.5}, {-3, 1.5}}, true));
    // Start (-3, -1) takes region 2 (distance 0); from (-3, -1): region 1 is at 9, region 3 at
    // 6.25.
    EXPECT_EQ(OptimizeToolpaths(beyond), (std::vector<std::size_t>{2, 3, 1}));
    EXPECT_NEAR(segmentDistance(0, 0, makeSegment(3, 0, 1, 0)), 9, 0);
    EXPECT_NEAR(segmentDistance(0, 3, makeSegment(-1, 0, 1, 0)), 9, 0);   // perpendicular
    EXPECT_NEAR(segmentDistance(-2, 3, makeSegment(-1, 0, 1, 0)), 10, 0); // before the start
}

TEST(OptimizeToolpaths, TreeSearchGivesExactlyTheQuadraticOrder)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        const TRegionArray list = randomRegions(seed == 3 ? 3000 : 800, seed);
        EXPECT_EQ(OptimizeToolpaths(list), OptimizeToolpathsDirect(list)) << seed;
    }
    EXPECT_TRUE(OptimizeToolpaths(newRegionList()).empty());
}

TEST(OptimizeToolpaths, RegionsHoweverFarAwayAreAllCut)
{
    // Squared distances of 1e100 and more: the search must not start from a finite "best".
    for (const double far : {1e50, 1e120, 1e200}) {
        TRegionArray list = newRegionList();
        list.push_back(regionThrough({{0, 0}, {1, 0}}, true));
        list.push_back(regionThrough({{far, far}, {far, far + 1}}, true));
        list.push_back(regionThrough({{-far, 0}, {-far, 1}}, true));
        const std::vector<std::size_t> order = OptimizeToolpaths(list);
        EXPECT_EQ(order.size(), 3u) << far;
        EXPECT_EQ(order, OptimizeToolpathsDirect(list)) << far;
        const std::string program = dncProgramText(list, order, squareHeader);
        std::size_t blocks = 0;
        for (const std::string& line : relief_test::crlfLines(program))
            blocks += line.starts_with("G01 Z");
        EXPECT_EQ(blocks, 3u) << far;
    }
}

TEST(OptimizeToolpaths, RegionsSharingFirstSegmentsKeepTheQuadraticOrder)
{
    // The loops of a straight wall, one a level, interleaved with others and with regions
    // whose first segments coincide only in part (same start, other end; same points
    // reversed).
    for (unsigned seed : {4u, 5u}) {
        std::mt19937 random(seed);
        TRegionArray list = newRegionList();
        for (int i = 0; i < 1500; ++i) {
            const int kind = int(random() % 5);
            const double x = double(random() % 6), y = double(random() % 6);
            if (kind == 0)
                list.push_back(regionThrough({{x, y}, {x + 1, y}, {x, y + 1}}, true));
            else if (kind == 1)
                list.push_back(regionThrough({{x + 1, y}, {x, y}, {x, y + 1}}, true));
            else if (kind == 2)
                list.push_back(regionThrough({{x, y}, {x, y + 2}, {x + 1, y}}, true));
            else
                list.push_back(regionThrough({{2, 2}, {2, 3}, {3, 3}, {2, 2}}, false, i * 0.1));
        }
        EXPECT_EQ(OptimizeToolpaths(list), OptimizeToolpathsDirect(list)) << seed;
    }
}

TEST(OptimizeToolpaths, ManyIdenticalLoopsShowProgressAndStopOnEsc)
{
    TRegionArray list = newRegionList();
    for (int i = 0; i < 100002; ++i)
        list.push_back(regionThrough({{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}}, false, i * 0.01));
    relief_test::ScriptedControl control;
    const std::vector<std::size_t> order = OptimizeToolpaths(list, control);
    ASSERT_EQ(order.size(), 100002u);
    for (std::size_t k = 0; k < order.size(); ++k)
        ASSERT_EQ(order[k], k + 1); // equally near: the lower index first
    ASSERT_FALSE(control.progress.empty());
    EXPECT_TRUE(std::is_sorted(control.progress.begin(), control.progress.end()));
    EXPECT_EQ(control.progress.front().first, corvane::ProgressDisplay::Gauge);
    EXPECT_GT(control.checkpoints, 10);

    relief_test::ScriptedControl esc;
    esc.escapeFrom = 3;
    EXPECT_THROW(OptimizeToolpaths(list, esc), corvane::Cancelled);
    EXPECT_EQ(esc.checkpoints, 3);

    // Saving stops too: nothing is written, and the status says so.
    const corvane::testing::ScratchFolder folder;
    relief_test::ScriptedControl saving;
    saving.escapeFrom = 1;
    EXPECT_THROW(SaveDncProgram((folder.path() / "walls.dnc").string(), list, squareHeader, saving),
                 corvane::Cancelled);
    EXPECT_FALSE(fs::exists(folder.path() / "walls.dnc"));
    EXPECT_EQ(saving.statuses,
              (std::vector<std::string>{"Optimizing toolpaths...", "Process Cancelled..."}));
}

TEST(DncWriter, SquareExampleExactlyAndNegativeDepths)
{
    const TRegionArray square = squareRegion(0.5);
    EXPECT_EQ(dncProgramText(square, OptimizeToolpaths(square), squareHeader),
              readFile(CORVANE_TEST_DATA "/toolpaths/square.dnc"));

    const std::string raised = dncProgramText(squareRegion(-0.125), {1}, squareHeader);
    EXPECT_NE(raised.find("\r\nG01 Z0.125\r\n"), std::string::npos);
    const std::string surface = dncProgramText(squareRegion(0), {1}, squareHeader);
    EXPECT_NE(surface.find("\r\nG01 Z0\r\n"), std::string::npos);

    const std::string empty = dncProgramText(newRegionList(), {}, squareHeader);
    EXPECT_EQ(relief_test::crlfLines(empty).size(), 4u);
}

TEST(DncWriter, SavesWholeOrNamesTheFile)
{
    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    relief_test::ScriptedControl control;
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    SaveDncProgram((dir / "square.dnc").string(), squareRegion(0.5), squareHeader, control);
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(readFile(dir / "square.dnc"), readFile(CORVANE_TEST_DATA "/toolpaths/square.dnc"));
    EXPECT_EQ(control.statuses,
              (std::vector<std::string>{"Optimizing toolpaths...", "Writing toolpaths to file...",
                                        "Ready..."}));
    try {
        SaveDncProgram((dir / "missing" / "x.dnc").string(), squareRegion(0.5), squareHeader,
                       control);
        FAIL() << "no error";
    } catch (const corvane::Error& e) {
        EXPECT_NE(std::string(e.what()).find("missing/x.dnc"), std::string::npos) << e.what();
    }
    EXPECT_EQ(control.statuses.back(), "Ready...");
}

TEST(DxfPolylineWriter, SquareGivesFiveVerticesThatEzdxfReadsIn3D)
{
    const std::string text = dxfPolylineText(squareRegion(0.5));
    EXPECT_EQ(text, readFile(CORVANE_TEST_DATA "/toolpaths/square.dxf"));

    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    TRegionArray list = squareRegion(0.5);
    list.push_back(regionThrough({{1, 1}, {3, 1.5}, {4, -2}}, true, -0.75));
    SaveDxfPolylines((dir / "regions.dxf").string(), list);
    EXPECT_EQ(ezdxfPolylines(dir / "regions.dxf"),
              "AcDb3dPolyline 0,0,0.5 0,2,0.5 2,2,0.5 2,0,0.5 0,0,0.5\n"
              "AcDb3dPolyline 1,1,-0.75 3,1.5,-0.75 4,-2,-0.75\n");

    SaveDxfPolylines((dir / "empty.dxf").string(), newRegionList());
    EXPECT_EQ(ezdxfPolylines(dir / "empty.dxf"), "");
    EXPECT_THROW(SaveDxfPolylines((dir / "no" / "x.dxf").string(), list), corvane::Error);
}
