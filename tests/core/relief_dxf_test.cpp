#include "common/error.h"
#include "relief/create_relief.h"
#include "relief/dxf_surface.h"
#include "relief/height_grid.h"
#include "relief_test_support.h"

#include <cstdlib>
#include "scratch_folder.h"

#include <gtest/gtest.h>

using namespace corvane::relief;
using relief_test::crlfLines;
using relief_test::readFile;
using relief_test::ScriptedControl;
namespace fs = std::filesystem;

namespace {

// The 2 x 2 picture (black, grey 128 / white, grey 64) at 100 pixels per unit with the
// dialog's defaults: 0.03 by 0.03, steps 0.010, Depth 0.25.
ReliefParameters twoByTwoDefaults()
{
    ReliefParameters p;
    p.sizeX = 0.03;
    p.sizeY = 0.03;
    p.stepX = 0.01;
    p.stepY = 0.01;
    p.depth = 0.25;
    return p;
}

TZGrid framedTwoByTwo()
{
    corvane::imaging::Picture picture;
    picture.width = picture.height = 2;
    picture.pixels = {0, 9, 9, 128, 9, 9, 255, 9, 9, 64, 9, 9};
    return FillHeightGrid(picture, true);
}

// ezdxf is the peer that tells us whether others can read what we write.
void expectEzdxfLoadsAndAudits(const fs::path& file, int facets)
{
    const std::string script =
        "import sys, ezdxf\n"
        "doc = ezdxf.readfile(sys.argv[1])\n"
        "auditor = doc.audit()\n"
        "faces = doc.modelspace().query('3DFACE')\n"
        "print(len(auditor.errors), len(faces))\n"
        "sys.exit(0 if not auditor.has_errors and len(faces) == int(sys.argv[2]) else 1)\n";
    const fs::path scriptFile = file.parent_path() / "audit.py";
    std::ofstream(scriptFile) << script;
    const std::string command = "/usr/bin/python3 " + scriptFile.string() + " " + file.string() +
                                " " + std::to_string(facets) + " > " + file.string() + ".log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << readFile(file.string() + ".log");
}

} // namespace

TEST(DxfSurface, TwoByTwoPictureGivesTheReferenceFile)
{
    StringSink out;
    EXPECT_TRUE(
        WriteDxfSurface(out, framedTwoByTwo(), twoByTwoDefaults(), corvane::silentRunControl()));
    EXPECT_EQ(out.text, readFile(CORVANE_TEST_DATA "/relief/two_by_two.dxf"));

    const auto lines = crlfLines(out.text);
    ASSERT_EQ(lines.size(), 26u + 4 * 26 + 4);
    EXPECT_EQ(lines[26], "0");
    EXPECT_EQ(lines[27], "3DFACE");
    // The black pixel lies under corner 3 of the first facet: z = 0.2500.
    EXPECT_EQ(lines[26 + 19], "0.2500");
}

TEST(DxfSurface, HeightsAndEdgeCases)
{
    // Grey 128 at Depth 0.25: 0.25 - 0.25 * 128 / 255.
    ReliefParameters p = twoByTwoDefaults();
    TZGrid grey(4, 4, 128);
    StringSink out;
    WriteDxfSurface(out, grey, p, corvane::silentRunControl());
    EXPECT_NE(out.text.find("30\r\n0.1245\r\n"), std::string::npos);

    // Too small for a facet: head and trailer alone.
    StringSink empty;
    WriteDxfSurface(empty, TZGrid(1, 1, 0), p, corvane::silentRunControl());
    EXPECT_EQ(crlfLines(empty.text).size(), 30u);
    EXPECT_EQ(empty.text.substr(empty.text.size() - 19), "0\r\nENDSEC\r\n0\r\nEOF\r\n");

    // A step wider than a cell: the facet's corners take the columns at its edges.
    TZGrid ramp(2, 9, 0);
    for (int c = 0; c < 9; ++c)
        ramp[0][c] = ramp[1][c] = std::uint8_t(c * 30);
    p.sizeX = 0.09;
    p.sizeY = 0.02;
    p.stepX = 0.04;
    p.stepY = 0.02;
    StringSink wide;
    WriteDxfSurface(wide, ramp, p, corvane::silentRunControl());
    const auto lines = crlfLines(wide.text);
    ASSERT_EQ(lines.size(), 26u + 2 * 26 + 4);
    EXPECT_EQ(lines[26 + 7], "0.2500");       // column 0
    EXPECT_EQ(lines[26 + 13], "0.1324");      // column 4: 0.25 - 0.25 * 120 / 255
    EXPECT_EQ(lines[26 + 26 + 13], "0.0147"); // column 8 (clamped): 240

    p.stepX = 0.2; // more than twice the width: no sample on a line
    EXPECT_THROW(WriteDxfSurface(wide, ramp, p, corvane::silentRunControl()), corvane::Error);
}

TEST(DxfSurface, CancelEndsTheBandsButTheFileStaysWhole)
{
    TZGrid grid(102, 52, 200);
    ReliefParameters p;
    p.sizeX = 0.52;
    p.sizeY = 1.02;
    p.stepX = p.stepY = 0.01;
    p.depth = 0.25;
    ScriptedControl control;
    control.stopAt = 2;
    StringSink out;
    EXPECT_FALSE(WriteDxfSurface(out, grid, p, control));
    const auto lines = crlfLines(out.text);
    // ny = 102: progress points at bands 6 and 16; the stop at the second leaves 16 bands.
    EXPECT_EQ(lines.size(), 26u + 16 * 51 * 26 + 4);
    EXPECT_EQ(lines[lines.size() - 1], "EOF");
}

TEST(DxfSurface, CreateAppliesGougeControlWritesWholeFilesAndReportsFailures)
{
    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    const fs::path target = dir / "relief.dxf";
    ReliefParameters p = twoByTwoDefaults();
    p.useGougeControl = true;
    p.tool = ToolShape::VBit;
    p.toolDiameter = 0.03;
    p.includedAngle = 60;

    ScriptedControl control;
    std::vector<std::string> messages;
    CreateHooks hooks{[&] { return std::optional<std::string>(target.string()); },
                      [&](const std::string& m) { messages.push_back(m); }};
    TZGrid grid = framedTwoByTwo();
    const CreateResult done = CreateDxfSurface(grid, p, control, hooks);
    EXPECT_EQ(done.outcome, CreateOutcome::Saved);
    EXPECT_TRUE(messages.empty());
    // Cells of 0.03 / 4 = 0.0075: the V bit stands 13 steps up one cell out, so the black
    // pixel is raised by its white neighbours to 255 - 13; on a copy, the grid stays.
    TZGrid gouged = framedTwoByTwo();
    applyGougeForRun(gouged, p, corvane::silentRunControl());
    EXPECT_EQ(gouged[1][1], 242);
    EXPECT_EQ(grid.cells, framedTwoByTwo().cells);
    const std::string firstRun = readFile(target);
    EXPECT_EQ(control.statuses, (std::vector<std::string>{"Applying Gouge Control. Please Wait...",
                                                          "Saving to File...", "Ready..."}));
    expectEzdxfLoadsAndAudits(target, 4);

    // A zero diameter: the message, then the mesh without gouge control.
    p.toolDiameter = 0;
    grid = framedTwoByTwo();
    CreateDxfSurface(grid, p, control, hooks);
    EXPECT_EQ(messages, std::vector<std::string>{"Tool Diameter can not be 0!"});
    EXPECT_EQ(readFile(target), readFile(CORVANE_TEST_DATA "/relief/two_by_two.dxf"));

    // Depth 0 with gouge control: a flat mesh; the tool has nothing to gouge.
    p.toolDiameter = 0.03;
    p.depth = 0;
    grid = framedTwoByTwo();
    CreateDxfSurface(grid, p, control, hooks);
    const std::vector<std::string> lines = crlfLines(readFile(target));
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == "30" || lines[i] == "31" || lines[i] == "32" || lines[i] == "33") {
            EXPECT_EQ(lines[i + 1], "0.0000");
        }
    }
    p = twoByTwoDefaults();
    p.useGougeControl = true;
    p.toolDiameter = 0;

    // Esc: the mesh is still written, and the run says it was cancelled.
    control.escapeFrom = 0;
    CreateDxfSurface(grid, p, control, hooks);
    EXPECT_EQ(control.statuses.back(), "Process Cancelled...");

    // The save prompt cancelled: nothing written.
    const CreateResult declined =
        CreateDxfSurface(grid, p, control, {[] { return std::optional<std::string>(); }, {}});
    EXPECT_EQ(declined.outcome, CreateOutcome::SaveDeclined);

    // A full disk or a missing folder: the file and the reason, never "Ready...".
    for (const std::string& bad :
         {std::string("/dev/full"), (dir / "missing" / "x.dxf").string()}) {
        ScriptedControl quiet;
        try {
            CreateDxfSurface(grid, p, quiet, {[&] { return std::optional(bad); }, {}});
            ADD_FAILURE() << bad;
        } catch (const corvane::Error& e) {
            EXPECT_EQ(e.file(), bad);
        }
        EXPECT_TRUE(std::find(quiet.statuses.begin(), quiet.statuses.end(), "Ready...") ==
                    quiet.statuses.end());
    }
    EXPECT_EQ(readFile(target), readFile(CORVANE_TEST_DATA "/relief/two_by_two.dxf"));

    // With gouge control, a failed write then a retry give the first run's file.
    p.tool = ToolShape::VBit;
    p.toolDiameter = 0.03;
    p.includedAngle = 60;
    control.escapeFrom = -1;
    EXPECT_THROW(CreateDxfSurface(grid, p, control,
                                  {[] { return std::optional<std::string>("/dev/full"); }, {}}),
                 corvane::Error);
    CreateDxfSurface(grid, p, control, hooks);
    EXPECT_EQ(readFile(target), firstRun);

    // Refused before anything is asked.
    p.depth = -1;
    bool asked = false;
    EXPECT_THROW(CreateDxfSurface(grid, p, control,
                                  {[&] {
                                       asked = true;
                                       return std::optional(target.string());
                                   },
                                   {}}),
                 corvane::Error);
    EXPECT_FALSE(asked);
}
