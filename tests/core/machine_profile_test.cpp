// Programs written for a controller: the preamble and ending each controller gets, the F
// words of plunges, the reader reading every profile back to the same moves, and GRBL 1.1's
// grammar on every program we write for it.
#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "grbl_grammar.h"
#include "machine/program_frame.h"
#include "relief/create_relief.h"
#include "relief/create_roughing.h"
#include "relief_test_support.h"
#include "scratch_folder.h"
#include "simulation/simulation_figures.h"
#include "simulation/tool_moves.h"
#include "toolpaths/dnc_writer.h"
#include "toolpaths_test_support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace corvane;
using machine::Machine;
using machine::MachineSettings;
using machine::Units;
using relief_test::crlfLines;
using relief_test::gridOf;
using relief_test::readFile;
using relief_test::workedParameters;

namespace {

const Machine Profiles[] = {Machine::Grbl, Machine::LinuxCnc, Machine::Mach3};

MachineSettings settingsFor(Machine m, double plunge = 5, Units units = Units::Millimetre)
{
    MachineSettings s;
    s.machine = m;
    s.units = units;
    s.spindleSpeed = 18000;
    s.plungeFeedrate = plunge;
    return s;
}

// Pixels of 0.02 and a 1/8 ball with gouge control: many moves that go down and up.
relief::ReliefParameters gougedParameters(const relief::TZGrid& grid)
{
    relief::ReliefParameters p;
    p.sizeX = grid.cols * 0.02;
    p.sizeY = grid.rows * 0.02;
    p.stepX = p.stepY = 0.02;
    p.depth = 0.5;
    p.depthPerPass = 0.2;
    p.feedRate = 30;
    p.rapidHeight = 0.1;
    p.useGougeControl = true;
    p.tool = relief::ToolShape::BallMill;
    p.toolDiameter = 0.125;
    return p;
}

// A hollow and a ridge a roughing tool fits in, with noise for many short moves.
relief::TZGrid hillyGrid(int rows, int cols, unsigned seed)
{
    relief::TZGrid g = relief_test::randomGrid(rows, cols, seed);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const double v = 128 + 110 * std::sin(6.0 * c / cols) * std::cos(4.0 * r / rows);
            g[r][c] = std::uint8_t(std::clamp(v + (g[r][c] - 128) / 16.0, 0.0, 255.0));
        }
    return g;
}

std::string rasterProgram(const relief::TZGrid& grid, const relief::ReliefParameters& p,
                          const MachineSettings& m, const std::string& source = "worked.bmp")
{
    corvane::testing::ScratchFolder folder;
    const std::string file = (folder.path() / "program").string();
    const relief::CreateResult result = relief::CreateRasterProgram(
        grid, p, source, silentRunControl(), {[&] { return std::optional(file); }, {}}, m);
    EXPECT_EQ(result.outcome, relief::CreateOutcome::Saved);
    return readFile(file);
}

std::string roughingProgram(const relief::TZGrid& grid, const relief::ReliefParameters& p,
                            const MachineSettings& m)
{
    relief::RoughingParameters r;
    r.toolDiameter = 0.25;
    r.stockToLeave = 0.02;
    r.stepOver = 0.1;
    r.stepDown = 0.1;
    r.feedRate = 40;
    corvane::testing::ScratchFolder folder;
    const std::string file = (folder.path() / "rough").string();
    const relief::RoughingResult result = relief::CreateRoughingProgram(
        grid, p, r, "hills.bmp", silentRunControl(), {[&] { return std::optional(file); }, {}}, m);
    EXPECT_EQ(result.create.outcome, relief::CreateOutcome::Saved);
    return readFile(file);
}

toolpaths::TRegionArray twoRegions()
{
    toolpaths::TRegionArray list = toolpaths::newRegionList();
    list.push_back(
        toolpaths_test::regionThrough({{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}}, false, 0.5));
    list.push_back(toolpaths_test::regionThrough({{3, 1}, {4, 1.5}, {5, 1}}, true, 0.25));
    return list;
}

std::string regionsProgram(const MachineSettings& m)
{
    const toolpaths::DncHeader header{"12/06/2026 21:58:00", "part.dxf", 10, 0.25};
    return toolpaths::dncProgramText(twoRegions(), {1, 2}, header, m);
}

dnc::TGCodeArray parsed(const std::string& text)
{
    return dnc::ParseDncProgram(text, silentRunControl()).moves;
}

// The tool's way through a program as the reader sees it: no feed changes, no move that
// goes nowhere, and neither the line nor the feed (profiles add lines and F words).
std::vector<dnc::DncMove> way(const std::string& text)
{
    std::vector<dnc::DncMove> out;
    for (dnc::DncMove m : parsed(text)) {
        if (m.kind == dnc::DncFeedChange)
            continue;
        m.line = 0;
        m.feed = 0;
        if (!out.empty() && out.back().kind == m.kind && out.back().x == m.x &&
            out.back().y == m.y && out.back().z == m.z)
            continue;
        out.push_back(m);
    }
    return out;
}

// Every feed move that goes down runs at `plunge`, every other one at `feed`.
void expectPlungeFeeds(const std::string& text, double feed, double plunge)
{
    double x = 0, y = 0, z = 0;
    int downs = 0, others = 0;
    for (const dnc::DncMove& m : parsed(text)) {
        if (m.kind == dnc::DncFeedChange)
            continue;
        if (m.kind == dnc::DncFeed && (m.x != x || m.y != y || m.z != z)) {
            EXPECT_EQ(m.feed, m.z < z ? plunge : feed) << "line " << m.line;
            ++(m.z < z ? downs : others);
        }
        x = m.x, y = m.y, z = m.z;
    }
    EXPECT_GT(downs, 0);
    EXPECT_GT(others, 0);
}

// The first move where two ways part, or nothing when they are the same.
std::string firstDifference(const std::vector<dnc::DncMove>& a, const std::vector<dnc::DncMove>& b)
{
    const auto text = [](const dnc::DncMove& m) {
        return std::to_string(m.kind) + " " + std::to_string(m.x) + " " + std::to_string(m.y) +
               " " + std::to_string(m.z);
    };
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (!(a[i] == b[i]))
            return "move " + std::to_string(i) + ": " + text(a[i]) + " against " + text(b[i]);
    if (a.size() != b.size())
        return std::to_string(a.size()) + " moves against " + std::to_string(b.size());
    return {};
}

std::string withoutFirstLine(const std::string& text)
{
    return text.substr(text.find("\r\n") + 2);
}

} // namespace

TEST(MachineProfile, GrblWorkedExampleExactly)
{
    const relief::TZGrid grid = gridOf({{255, 128, 0, 255}, {255, 255, 255, 255}});
    const std::string program = rasterProgram(grid, workedParameters(), settingsFor(Machine::Grbl));
    EXPECT_EQ(withoutFirstLine(program),
              "( GRBL, units mm )\r\n"
              "( Relief 4.0000 x 2.0000, depth 0.2000 )\r\n"
              "( Feedrate 10.0000, plunge 5.0000, spindle 18000 rpm )\r\n"
              "( Machining 1.0 min at the feed rates, rapids not counted )\r\n"
              "G90 G17 G94\r\n"
              "G21\r\n"
              "G00 Z0.1000\r\n"
              "M3 S18000\r\n"
              "G4 P3\r\n"
              " X0.0000 Y0.0000\r\n"
              " Y2.0000\r\n"
              " Z0.0000\r\n"
              "G01 X1.0000 Z-0.0996 F5.0000\r\n"
              " X2.0000 Z-0.1000\r\n"
              " X4.0000 Z0.0000 F10.0000\r\n"
              "G00 Z0.1000\r\n"
              " X1.0000\r\n"
              " Z-0.0996\r\n"
              "G01 X2.0000 Z-0.2000 F5.0000\r\n"
              " X4.0000 Z0.0000 F10.0000\r\n"
              "G00 Z0.1000\r\n"
              " X0.0000 Y1.0000\r\n"
              "M5\r\n"
              "M2\r\n");
    EXPECT_EQ(crlfLines(program)[0].rfind("( Created ", 0), 0u);
    EXPECT_EQ(crlfLines(program)[0].find("From worked.bmp )"), crlfLines(program)[0].size() - 17);
}

TEST(MachineProfile, EachControllerGetsItsPreambleToolChangeDwellAndEnd)
{
    // The last sample of the last line is black: the program ends in the material, and
    // the profile lifts the tool before it stops the spindle.
    const relief::TZGrid grid = gridOf({{255, 0}, {0, 0}});
    relief::ReliefParameters p = workedParameters();
    p.sizeX = p.sizeY = 2;
    const std::string asWritten = rasterProgram(grid, p, {});
    EXPECT_EQ(asWritten.find("M5"), std::string::npos);
    EXPECT_NE(asWritten.substr(asWritten.size() - 13), "G00 Z0.1000\r\n");

    struct Expected {
        Machine machine;
        bool toolChange, dwell;
        const char* end;
    };
    for (const Expected& e : {Expected{Machine::Grbl, false, true, "M2"},
                              Expected{Machine::LinuxCnc, true, false, "M2"},
                              Expected{Machine::Mach3, true, false, "M30"}}) {
        const std::string program = rasterProgram(grid, p, settingsFor(e.machine, 0, Units::Inch));
        SCOPED_TRACE(machine::machineName(e.machine));
        EXPECT_NE(program.find("\r\nG90 G17 G94\r\nG20\r\n"), std::string::npos);
        EXPECT_EQ(program.find("G21"), std::string::npos);
        EXPECT_EQ(program.find("\r\nT1 M6\r\n") != std::string::npos, e.toolChange);
        EXPECT_EQ(program.find('T', program.find("G90")) != std::string::npos, e.toolChange);
        EXPECT_EQ(program.find("\r\nM3 S18000\r\nG4 P3\r\n") != std::string::npos, e.dwell);
        EXPECT_NE(program.find("\r\nM3 S18000\r\n"), std::string::npos);
        const std::string ending = std::string("\r\nG00 Z0.1000\r\nM5\r\n") + e.end + "\r\n";
        EXPECT_EQ(program.substr(program.size() - ending.size()), ending);
        // No Plunge Feedrate: one F word, the Feedrate, on the first feed move.
        const std::size_t moves = program.find("G90");
        EXPECT_EQ(program.find(" F", moves), program.rfind(" F"));
        EXPECT_NE(program.find("G01 X2.0000 Z-0.1000 F10.0000\r\n"), std::string::npos);
    }
}

TEST(MachineProfile, TheReaderReadsEveryProfileBackToTheSameMoves)
{
    const relief::TZGrid hills = hillyGrid(40, 50, 7);
    const relief::ReliefParameters p = gougedParameters(hills);
    const auto rasterWay = way(rasterProgram(hills, p, {}));
    const auto roughWay = way(roughingProgram(hills, p, {}));
    const auto regionsWay = way(regionsProgram({}));
    ASSERT_GT(rasterWay.size(), 100u);
    for (Machine m : Profiles) {
        SCOPED_TRACE(machine::machineName(m));
        const std::string raster = rasterProgram(hills, p, settingsFor(m, 12));
        auto expected = rasterWay;
        if (expected.back().z != double(float(p.rapidHeight))) {
            dnc::DncMove lift = expected.back();
            lift.kind = dnc::DncRapid;
            lift.z = float(p.rapidHeight);
            expected.push_back(lift);
        }
        EXPECT_EQ(firstDifference(way(raster), expected), "");
        expectPlungeFeeds(raster, 30, 12);

        const std::string rough = roughingProgram(hills, p, settingsFor(m, 12));
        EXPECT_EQ(firstDifference(way(rough), roughWay), "");
        expectPlungeFeeds(rough, 40, 12);

        const std::string regions = regionsProgram(settingsFor(m, 4));
        EXPECT_EQ(firstDifference(way(regions), regionsWay), "");
        expectPlungeFeeds(regions, 10, 4);
        EXPECT_NE(regions.find("\r\nG01 Z-0.5 F4\r\nX0.0000 Y2.0000 F10\r\n"), std::string::npos);
    }
}

TEST(MachineProfile, EveryGrblProgramKeepsToGrbl11sGrammar)
{
    const relief::TZGrid hills = hillyGrid(40, 50, 11);
    relief::ReliefParameters p = gougedParameters(hills);
    // A long source name with parentheses must neither break a comment nor a line.
    const std::string source = "a (very) long name of a picture file from a camera, "
                               "\xc3\xa9t\xc3\xa9 2026 (copy 2).bmp";
    for (Units units : {Units::Inch, Units::Millimetre}) {
        const MachineSettings grbl = settingsFor(Machine::Grbl, 12, units);
        const std::string programs[] = {rasterProgram(hills, p, grbl, source),
                                        roughingProgram(hills, p, grbl), regionsProgram(grbl)};
        EXPECT_NE(programs[1].find("G01"), std::string::npos);
        for (const std::string& program : programs) {
            EXPECT_EQ(corvane::testing::grblProblems(program), std::vector<std::string>{});
            EXPECT_NE(program.find("( Created "), std::string::npos);
        }
        EXPECT_NE(programs[0].find("( Tool Ball Mill, diameter 0.1250 )"), std::string::npos);
        EXPECT_NE(programs[1].find("( Tool End Mill, diameter 0.2500 )"), std::string::npos);
        EXPECT_NE(programs[2].find("( Toolpaths 5 x 2, depth 0.5 )"), std::string::npos);
    }
    // The other controllers take longer lines: the name stays whole there.
    const std::string linuxCnc = rasterProgram(hills, p, settingsFor(Machine::LinuxCnc), source);
    EXPECT_NE(linuxCnc.find("a [very] long name of a picture file from a camera, ??t?? 2026 "
                            "[copy 2].bmp )\r\n"),
              std::string::npos);
}

TEST(MachineProfile, TheHeaderTimesTheFeedMovesAsTheSimulationDoes)
{
    const relief::TZGrid hills = hillyGrid(40, 50, 3);
    const relief::ReliefParameters p = gougedParameters(hills);
    for (const std::string& program : {rasterProgram(hills, p, settingsFor(Machine::Mach3, 7)),
                                       regionsProgram(settingsFor(Machine::Mach3, 7))}) {
        const double minutes =
            simulation::machiningTime(parsed(program), std::numeric_limits<double>::infinity())
                .minutes;
        ASSERT_GT(minutes, 0);
        EXPECT_NE(program.find("( Machining " + simulation::machiningTimeText(minutes) +
                               " at the feed rates, rapids not counted )"),
                  std::string::npos);
    }
}

TEST(MachineProfile, RefusesWhatAControllerCannotRunNamingTheField)
{
    const relief::TZGrid grid = gridOf({{255, 128, 0, 255}, {255, 255, 255, 255}});
    const auto refusal = [&](MachineSettings m, double feed = 10) -> std::string {
        relief::ReliefParameters p = workedParameters();
        p.feedRate = feed;
        try {
            machine::checkMachineSettings(m, p.feedRate);
        } catch (const Error& e) {
            // The writers refuse in the same words, before anything is written.
            corvane::testing::ScratchFolder folder;
            const std::string file = (folder.path() / "never").string();
            EXPECT_THROW(relief::CreateRasterProgram(grid, p, "x.bmp", silentRunControl(),
                                                     {[&] { return std::optional(file); }, {}}, m),
                         Error);
            EXPECT_FALSE(std::filesystem::exists(file));
            return e.what();
        }
        return "accepted";
    };
    MachineSettings m = settingsFor(Machine::Grbl);
    m.spindleSpeed = 0;
    EXPECT_EQ(refusal(m), "Spindle Speed must be a number greater than 0");
    m.spindleSpeed = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(refusal(m), "Spindle Speed must be a number");
    m = settingsFor(Machine::LinuxCnc, -1);
    EXPECT_EQ(refusal(m), "Plunge Feedrate must be a number greater than 0");
    m = settingsFor(Machine::Mach3, 1e9);
    EXPECT_EQ(refusal(m), "Plunge Feedrate can not be more than 100000");
    // As Written reads none of the fields.
    m.machine = Machine::AsWritten;
    EXPECT_EQ(refusal(m), "accepted");
    // A profile cannot run a feed move at F0; the regions' writer takes any Feedrate as
    // written, so the profile is what refuses it there.
    const toolpaths::DncHeader header{"t", "part.dxf", 0, 0.25};
    EXPECT_THROW(
        toolpaths::dncProgramText(twoRegions(), {1, 2}, header, settingsFor(Machine::Grbl)), Error);
    EXPECT_NO_THROW(toolpaths::dncProgramText(twoRegions(), {1, 2}, header));
}

TEST(MachineProfile, NamesUnitsAndFileKindsForTheSavePrompt)
{
    for (Machine m : {Machine::AsWritten, Machine::Grbl, Machine::LinuxCnc, Machine::Mach3})
        EXPECT_EQ(machine::machineFromName(machine::machineName(m)), m);
    EXPECT_EQ(machine::machineFromName("grbl"), std::nullopt);
    EXPECT_EQ(machine::unitsFromName("mm"), Units::Millimetre);
    EXPECT_EQ(machine::unitsFromName("in"), std::nullopt);
    using Kinds = std::vector<std::string>;
    EXPECT_EQ(machine::programExtensions(Machine::Grbl),
              (Kinds{"nc", "gcode", "Dnc", "ngc", "tap"}));
    EXPECT_EQ(machine::programExtensions(Machine::LinuxCnc),
              (Kinds{"ngc", "Dnc", "nc", "gcode", "tap"}));
    EXPECT_EQ(machine::programExtensions(Machine::Mach3),
              (Kinds{"tap", "Dnc", "nc", "gcode", "ngc"}));
    EXPECT_EQ(machine::programExtensions(Machine::AsWritten),
              (Kinds{"Dnc", "nc", "gcode", "ngc", "tap"}));
}

TEST(GrblGrammar, CatchesWhatGrbl11Refuses)
{
    const auto problems = [](const std::string& program) {
        return corvane::testing::grblProblems(program);
    };
    EXPECT_TRUE(problems("G90 G17 G94\r\nG21\r\nG00 Z1\r\nM3 S100\r\nG4 P3\r\nG01 X1 F5\r\n"
                         " Y2\r\n(ok)\r\nM5\r\nM2\r\n")
                    .empty());
    const std::pair<const char*, const char*> faults[] = {
        {"T1 M6\r\n", "does not support M6"},
        {"G00 G01 X1 F1\r\n", "two words of one modal group"},
        {"G90 G91\r\n", "two words of one modal group"},
        {"G41\r\n", "does not support G41"},
        {"G00 X1 X2\r\n", "the word X twice"},
        {"G00 A1\r\n", "does not read the word A"},
        {"G01 X1\r\n", "a feed move before any feed rate"},
        {"X1\r\n", "axis words without a motion mode"},
        {"G4\r\n", "G4 without P"},
        {"(a (b) c)\r\n", "a comment is nested"},
        {"(open\r\n", "a comment is not closed"},
        {"G00 X\r\n", "the X word has no number"},
        {"M3 S100\n", "does not end in CR LF"},
        {"G00 X1.0000 Y1.0000 Z1.0000 (a comment that makes this line longer than 80 "
         "characters)\r\n",
         "longer than 80 characters"},
    };
    for (const auto& [program, expected] : faults) {
        const auto found = problems(program);
        ASSERT_EQ(found.size(), 1u) << program;
        EXPECT_NE(found[0].find(expected), std::string::npos) << program << ": " << found[0];
    }
}
