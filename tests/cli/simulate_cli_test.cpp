// corvane-cli simulate as scripts use it: the figures, the carved map and the deviation map.
#include "cli_run.h"
#include "scratch_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SimulateCli : public ::testing::Test {
protected:
    corvane::testing::CliRun cli(const std::string& arguments) const
    {
        // A decimal comma locale: the figures must keep ".".
        return corvane::testing::runCli(dir, "simulate " + arguments, "LC_ALL=de_DE.UTF-8");
    }

    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

} // namespace

TEST_F(SimulateCli, PrintsFiguresAndWritesTheMaps)
{
    // A 4 x 2 picture: black on the left half, white on the right; 1 unit per pixel.
    std::string pgm = "P5\n4 2\n255\n";
    pgm += std::string("\0\0\xff\xff\0\0\xff\xff", 8);
    corvane::testing::writeFile(dir / "target.pgm", pgm);
    // Cuts the left half to depth 1 with a flat tool of diameter 1; the rapid at line 7
    // runs through the stock on the right.
    corvane::testing::writeFile(dir / "cut.dnc", "G90 T0 F10\n"
                                                 "G00 X0 Y2 Z0.5\n"
                                                 "G01 Z-1\n"
                                                 "X1\n"
                                                 "Y1\n"
                                                 "X0\n"
                                                 "G00 X3 Y1 Z-0.5\n");
    const auto run = cli("cut.dnc --tool \"End Mill\" --diameter 1 --cell 1 --target target.pgm "
                         "--size-x 4 --size-y 2 --depth 1 --rapid-rate 50 -o carved.pgm "
                         "--deviation dev.png");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.out.find("columns: 4\nrows: 2\n"), std::string::npos) << run.out;
    // Feeds: 1.5 + 1 + 1 + 1 at F10; the rapids: sqrt(4.25) and sqrt(9.25) at 50.
    EXPECT_NE(run.out.find("machiningMinutes: 0.5520586816\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("collisions: 1\ncollisionLines: 7\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("largestGouge: 0\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("withinTolerance: 1\n"), std::string::npos) << run.out;

    const std::string carved = contents(dir / "carved.pgm");
    EXPECT_EQ(carved, std::string("P5\n4 2\n65535\n") +
                          std::string("\0\0\0\0\xff\xff\xff\xff\0\0\0\0\xff\xff\xff\xff", 16));
    EXPECT_EQ(contents(dir / "dev.png").substr(1, 3), "PNG");

    const auto json = cli("cut.dnc --tool \"Ball Mill\" --diameter 1 --cell 0.5 --json");
    ASSERT_EQ(json.exitCode, 0) << json.errors;
    const auto figures = nlohmann::json::parse(json.out);
    EXPECT_EQ(figures["collisions"], 1);
    EXPECT_EQ(figures["collisionLines"], nlohmann::json::array({7}));
    EXPECT_FALSE(figures.contains("largestGouge"));
}

TEST_F(SimulateCli, ExitCodesForUsageAndFailures)
{
    corvane::testing::writeFile(dir / "p.dnc", "G01 X1 Y1 Z-1\n");
    EXPECT_EQ(cli("p.dnc --tool \"End Mill\" --diameter 1").exitCode, 2); // no --cell
    EXPECT_EQ(cli("p.dnc --tool Drill --diameter 1 --cell 1").exitCode, 2);
    EXPECT_EQ(cli("p.dnc --tool \"V Bit\" --diameter 1 --cell 1 --deviation d.png").exitCode, 2);
    EXPECT_EQ(cli("p.dnc --tool \"V Bit\" --diameter 1 --cell 1 --target t.png").exitCode, 2);
    const auto missing = cli("none.dnc --tool \"V Bit\" --diameter 1 --cell 1");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("none.dnc"), std::string::npos);
    EXPECT_EQ(cli("p.dnc --tool \"V Bit\" --diameter 0 --cell 1").exitCode, 1);
    EXPECT_EQ(cli("p.dnc --tool \"V Bit\" --diameter 1 --cell 1e-12").exitCode, 1);
}

TEST_F(SimulateCli, NamesTheGougeBetweenSamplesThatProtectMovesRemoves)
{
    // Blocks of 5 x 5 pixels, dark and light: steep steps for a ball to descend beside.
    std::string pgm = "P5\n30 20\n255\n";
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 30; ++c)
            pgm += char((r / 5 + c / 5) % 2 ? 220 : 40);
    corvane::testing::writeFile(dir / "blocks.pgm", pgm);
    const std::string relief = "blocks.pgm --size-x .3 --size-y .2 --step-x .01 --depth .25 "
                               "--tool \"Ball Mill\" --diameter .0625";
    const auto gcode = [&](const std::string& name, const std::string& flag) {
        return corvane::testing::runCli(dir, "gcode " + relief + " -o " + name + flag);
    };
    ASSERT_EQ(gcode("plain.dnc", "").exitCode, 0);
    ASSERT_EQ(gcode("guarded.dnc", " --protect-moves").exitCode, 0);
    const std::string check = " --tool \"Ball Mill\" --diameter .0625 --cell .01 --target "
                              "blocks.pgm --size-x .3 --size-y .2 --depth .25 --json";

    const auto plain = nlohmann::json::parse(cli("plain.dnc" + check).out);
    EXPECT_GT(plain["gougeBetweenSamples"].get<double>(), 0.001);
    // Cells on the samples: the gouge the simulation finds is the one between them.
    EXPECT_NEAR(plain["gougeBetweenSamples"].get<double>(), plain["largestGouge"].get<double>(),
                1e-9);
    EXPECT_EQ(plain["gougeBetweenSamplesNote"], "Protect Moves removes it");

    const auto guarded = nlohmann::json::parse(cli("guarded.dnc" + check).out);
    EXPECT_LE(guarded["largestGouge"].get<double>(), 0.0001);
    EXPECT_LE(guarded["gougeBetweenSamples"].get<double>(), 0.0001);
    EXPECT_FALSE(guarded.contains("gougeBetweenSamplesNote"));

    const auto text = cli("plain.dnc" + check.substr(0, check.size() - 7));
    EXPECT_NE(text.out.find("\ngougeBetweenSamplesNote: Protect Moves removes it\n"),
              std::string::npos)
        << text.out;
}

TEST_F(SimulateCli, RefusesValuesWhoseResultsCannotBeRepresentedByField)
{
    corvane::testing::writeFile(dir / "p.dnc", "G90 T0 F10\nG00 X5 Y5\nG01 Z-1\n");
    corvane::testing::writeFile(dir / "t.pgm",
                                std::string("P5\n2 2\n255\n") + std::string("\0\0\0\0", 4));
    const std::pair<const char*, const char*> cases[] = {
        {"--diameter 1e308 --cell 1", "corvane-cli: Diameter can not be more than 100000\n"},
        {"--diameter 1 --cell 1 --rapid-rate 1e-310", "corvane-cli: Rapid Rate is too small"},
        {"--diameter 1 --cell 1 --target t.pgm --size-x 2 --size-y 2 --depth 1e308",
         "corvane-cli: Depth can not be more than 100000\n"},
        {"--diameter 1 --cell 1 --target t.pgm --size-x 2 --size-y 2 --depth 0",
         "corvane-cli: Depth must be a number greater than 0\n"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto run = cli(std::string("p.dnc --tool \"End Mill\" ") + arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments;
        EXPECT_NE(run.errors.find(message), std::string::npos) << arguments << "\n" << run.errors;
        EXPECT_EQ(run.out.find("inf"), std::string::npos) << run.out;
    }
}

TEST_F(SimulateCli, RoughsThenFinishesAndReportsTheSequence)
{
    // A dark square pocket in a light picture: deep enough for three roughing levels.
    std::string pgm = "P5\n40 30\n255\n";
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 40; ++c)
            pgm += char(r >= 5 && r < 25 && c >= 8 && c < 32 ? 10 : 230);
    corvane::testing::writeFile(dir / "pocket.pgm", pgm);
    const std::string relief = "pocket.pgm --size-x .8 --size-y .6 --step-x .02 --depth .3 "
                               "--feed 30 --tool \"Ball Mill\" --diameter .125 --depth-per-pass .1";
    const auto gcode = corvane::testing::runCli(
        dir, "gcode " + relief + " -o finish.dnc --rough rough.dnc --rough-diameter .25");
    ASSERT_EQ(gcode.exitCode, 0) << gcode.errors;
    // Step Down from the Depth / Pass; the finish then in one pass.
    const std::string rough = contents(dir / "rough.dnc");
    EXPECT_NE(rough.find("G01 Z-0.1000\r\n"), std::string::npos) << rough;
    EXPECT_NE(rough.find("Z-0.2000\r\n"), std::string::npos) << rough;
    EXPECT_NE(rough.find("G90 T0 F30.0000\r\n"), std::string::npos) << rough;
    // No floor of a first pass of 0.1 in the finish: it runs in one pass.
    EXPECT_EQ(contents(dir / "finish.dnc").find("Z-0.1000"), std::string::npos);

    const std::string check = "finish.dnc --tool \"Ball Mill\" --diameter .125 --cell .02 "
                              "--target pocket.pgm --size-x .8 --size-y .6 --depth .3 "
                              "--first rough.dnc --first-tool \"End Mill\" --first-diameter .25";
    const auto json = nlohmann::json::parse(cli(check + " --json").out);
    EXPECT_GT(json["firstMachiningMinutes"].get<double>(), 0);
    EXPECT_EQ(json["firstCollisions"], 0);
    EXPECT_LE(json["secondCut95"].get<double>(), json["largestSecondCut"].get<double>());
    EXPECT_LE(json["largestSecondCut"].get<double>(), 0.3);
    EXPECT_GE(json["firstLeastStock"].get<double>(), 0.02 - 0.0001);
    const auto text = cli(check);
    EXPECT_NE(text.out.find("\nfirst: rough.dnc\nfirstMachiningMinutes: "), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("\nsecondCut95: "), std::string::npos) << text.out;

    // A bad roughing value is refused by name, and neither program is written.
    const auto bad = corvane::testing::runCli(
        dir, "gcode " + relief + " -o other.dnc --rough other-rough.dnc --rough-step-over .3");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.errors.find("Step Over can not be larger than the Diameter"), std::string::npos)
        << bad.errors;
    EXPECT_FALSE(fs::exists(dir / "other.dnc"));
    EXPECT_FALSE(fs::exists(dir / "other-rough.dnc"));
    const auto negative = corvane::testing::runCli(
        dir, "gcode " + relief + " -o other.dnc --rough other-rough.dnc --stock -0.01");
    EXPECT_NE(negative.errors.find("Stock to Leave can not be negative"), std::string::npos)
        << negative.errors;
}
