// --machine, --units, --spindle-speed and --plunge-feed on gcode (and its roughing program)
// and regions, and LinuxCNC's own interpreter running what we write for it.
#include "cli_run.h"
#include "grbl_grammar.h"
#include "scratch_folder.h"
#include "test_files.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using corvane::testing::CliRun;

class MachineCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        corvane::testing::writeFile(dir / "pyramid.dxf", corvane::testing::pyramidDxf());
    }
    CliRun cli(const std::string& arguments) const
    {
        return corvane::testing::runCli(dir, arguments);
    }
    std::string read(const std::string& name) const
    {
        return corvane::testing::readFile(dir / name);
    }

    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

const std::string Sample = CORVANE_SAMPLES "/relief.bmp";
// The sample as the manual carves it: 3 x 2 inches, a 1/8 ball, two passes.
const std::string SampleProgram = "gcode " + Sample +
                                  " --size-x 3 --depth 0.2 --depth-per-pass 0.1 --feed 30 "
                                  "--tool \"Ball Mill\" --diameter 0.125 --step-x 0.05 "
                                  "--step-y 0.05";

struct Point {
    double x, y, z;
};

// The end points of the rapid and feed moves `corvane-cli dnc --dump` reads, without moves
// that go nowhere.
std::vector<Point> dumpedWay(const fs::path& folder, const std::string& file)
{
    const CliRun run = corvane::testing::runCli(folder, "dnc --dump " + file);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    std::vector<Point> out;
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line); // extents
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        int kind = 0, number = 0;
        double feed, a0, a1;
        Point p{};
        words >> kind >> number >> feed >> a0 >> a1 >> p.x >> p.y >> p.z;
        if (kind != 1 && kind != 2)
            continue;
        if (!out.empty() && out.back().x == p.x && out.back().y == p.y && out.back().z == p.z)
            continue;
        out.push_back(p);
    }
    return out;
}

} // namespace

TEST_F(MachineCli, GcodeRoughAndRegionsWriteForTheMachine)
{
    CliRun run = cli("gcode " + Sample +
                     " --size-x 3 --depth .5 --depth-per-pass .1 --feed 30 --tool \"Ball Mill\" "
                     "--diameter .125 --machine GRBL --units mm --spindle-speed 18000 "
                     "--plunge-feed 12 -o finish.nc --rough rough.nc --rough-feed 40");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    for (const char* name : {"finish.nc", "rough.nc"}) {
        const std::string program = read(name);
        SCOPED_TRACE(name);
        EXPECT_EQ(corvane::testing::grblProblems(program), std::vector<std::string>{});
        EXPECT_NE(program.find("\r\nG21\r\n"), std::string::npos);
        EXPECT_NE(program.find("\r\nM3 S18000\r\nG4 P3\r\n"), std::string::npos);
        EXPECT_NE(program.find(" F12.0000\r\n"), std::string::npos);
        EXPECT_EQ(program.substr(program.size() - 8), "M5\r\nM2\r\n");
    }
    EXPECT_NE(read("rough.nc").find("G01 Z-0.1000 F12.0000\r\n X1.2250 F40.0000\r\n"),
              std::string::npos);

    run = cli("regions pyramid.dxf -o square.tap --cut-depth 0.5 --feed 12.5 --machine Mach3 "
              "--units inch --spindle-speed 12000");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string square = read("square.tap");
    EXPECT_EQ(square.substr(square.find("G90")), "G90 G17 G94\r\n"
                                                 "G20\r\n"
                                                 "T1 M6\r\n"
                                                 "G00 Z0.25\r\n"
                                                 "M3 S12000\r\n"
                                                 "G00 X1.0000 Y1.0000\r\n"
                                                 "G01 Z-0.5 F12.5\r\n"
                                                 "X1.0000 Y3.0000\r\n"
                                                 "X3.0000 Y3.0000\r\n"
                                                 "X3.0000 Y1.0000\r\n"
                                                 "X1.0000 Y1.0000\r\n"
                                                 "G00 Z0.25\r\n"
                                                 "M5\r\n"
                                                 "M30\r\n");
    EXPECT_NE(square.find("( Toolpaths 2 x 2, depth 0.5 )\r\n"), std::string::npos);

    // As Written is the default and writes what it always wrote.
    ASSERT_EQ(cli("regions pyramid.dxf -o a.dnc --cut-depth 0.5").exitCode, 0);
    ASSERT_EQ(cli("regions pyramid.dxf -o b.dnc --cut-depth 0.5 --machine \"As Written\"").exitCode,
              0);
    EXPECT_EQ(read("a.dnc"), read("b.dnc"));
    EXPECT_EQ(read("a.dnc").find("M"), std::string::npos);
}

TEST_F(MachineCli, RefusesMachineValuesNamingTheField)
{
    const std::string gcode = SampleProgram + " -o out.nc";
    const std::string grbl = " --machine GRBL --units mm --spindle-speed 18000";
    const std::pair<std::string, std::string> cases[] = {
        {gcode + " --machine Fanuc",
         "Machine must be one of \"As Written\", \"GRBL\", \"LinuxCNC\", \"Mach3\": \"Fanuc\""},
        {gcode + " --machine GRBL --spindle-speed 18000", "Units must be given for GRBL"},
        {gcode + " --machine GRBL --units cm --spindle-speed 1", "Units must be inch or mm"},
        {gcode + " --machine LinuxCNC --units mm", "Spindle Speed must be given for LinuxCNC"},
        {gcode + " --machine GRBL --units mm --spindle-speed fast",
         "Spindle Speed must be a number: \"fast\""},
        {gcode + " --machine GRBL --units mm --spindle-speed 0",
         "Spindle Speed must be a number greater than 0"},
        {gcode + grbl + " --plunge-feed -3", "Plunge Feedrate must be a number greater than 0"},
        {gcode + grbl + " --plunge-feed 0", "Plunge Feedrate must be a number greater than 0"},
        {gcode + grbl + " --plunge-feed 1e9", "Plunge Feedrate can not be more than 100000"},
        {gcode + " --units mm", "--units, --spindle-speed and --plunge-feed need --machine"},
        {gcode + grbl + " --rough r.nc --rough-feed 0", "Roughing Feedrate"},
        {"regions pyramid.dxf -o out.dxf" + grbl, "--machine is for G-code programs, not DXF"},
        {"regions pyramid.dxf -o out.ngc --feed 0" + grbl,
         "Feedrate must be a number greater than 0"},
    };
    for (const auto& [arguments, expected] : cases) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments;
        EXPECT_NE(run.errors.find(expected), std::string::npos) << arguments << "\n" << run.errors;
        EXPECT_FALSE(fs::exists(dir / "out.nc") || fs::exists(dir / "r.nc") ||
                     fs::exists(dir / "out.dxf") || fs::exists(dir / "out.ngc"))
            << arguments;
    }
}

// LinuxCNC's interpreter is the peer that tells us whether a controller runs our programs
// as we mean them: it must take the LinuxCNC and the GRBL program of the sample without an
// error and move the tool through exactly the points our reader reads.
TEST_F(MachineCli, LinuxCncInterpreterRunsTheSampleProgramsAsWeReadThem)
{
    if (std::system("command -v rs274 > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "rs274 (LinuxCNC's interpreter, package linuxcnc-uspace) is not "
                        "installed; see docs/manual/cli.html for the manual check";
    struct Case {
        const char* arguments;
        const char* file;
    };
    const Case cases[] = {
        {" --machine LinuxCNC --units inch --spindle-speed 18000 --plunge-feed 10", "s.ngc"},
        {" --machine GRBL --units mm --spindle-speed 18000 --plunge-feed 10", "s.nc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ASSERT_EQ(cli(SampleProgram + c.arguments + " -o " + c.file).exitCode, 0);
        const fs::path canon = dir / (std::string(c.file) + ".canon");
        const fs::path errors = dir / (std::string(c.file) + ".err");
        const std::string command = "cd " + dir.string() + " && rs274 -g " + c.file +
                                    " < /dev/null > " + canon.string() + " 2> " + errors.string();
        EXPECT_EQ(std::system(command.c_str()), 0) << corvane::testing::readFile(errors);
        // Besides its own "executing", the interpreter says nothing: no error, no warning.
        std::string said = corvane::testing::readFile(errors);
        if (said.rfind("executing", 0) == 0)
            said.erase(0, 9);
        EXPECT_EQ(said.find_first_not_of(" \r\n"), std::string::npos) << said;

        std::vector<Point> interpreted;
        std::istringstream lines(corvane::testing::readFile(canon));
        std::string line;
        while (std::getline(lines, line)) {
            const std::size_t open = line.find("STRAIGHT_");
            if (open == std::string::npos)
                continue;
            Point p{};
            std::sscanf(line.c_str() + line.find('(', open) + 1, "%lf, %lf, %lf", &p.x, &p.y, &p.z);
            if (!interpreted.empty() && interpreted.back().x == p.x &&
                interpreted.back().y == p.y && interpreted.back().z == p.z)
                continue;
            interpreted.push_back(p);
        }
        const std::vector<Point> read = dumpedWay(dir, c.file);
        ASSERT_GT(read.size(), 1000u);
        ASSERT_EQ(interpreted.size(), read.size());
        // Both print what "%.4f" wrote; ours went through single precision.
        for (std::size_t i = 0; i < read.size(); ++i)
            ASSERT_TRUE(std::abs(interpreted[i].x - read[i].x) < 1e-4 &&
                        std::abs(interpreted[i].y - read[i].y) < 1e-4 &&
                        std::abs(interpreted[i].z - read[i].z) < 1e-4)
                << "move " << i << ": " << interpreted[i].x << " " << interpreted[i].y << " "
                << interpreted[i].z << " against " << read[i].x << " " << read[i].y << " "
                << read[i].z;
    }
}
