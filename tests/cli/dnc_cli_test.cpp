// corvane-cli dnc as scripts use it: the summary, its JSON and the exact record dump.
#include "cli_run.h"
#include "scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using DncRun = corvane::testing::CliRun;

class DncCli : public ::testing::Test {
protected:
    // In a locale with a decimal comma: the dump must not follow it.
    DncRun cli(const std::string& arguments) const
    {
        return corvane::testing::runCli(dir, "dnc " + arguments, "LC_ALL=de_DE.UTF-8");
    }

    void write(const std::string& name, const std::string& text) const
    {
        corvane::testing::writeFile(dir / name, text);
    }

    static std::string read(const fs::path& p) { return corvane::testing::readFile(p); }

    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

} // namespace

TEST_F(DncCli, DumpsEveryRecordAsStored)
{
    write("arcs.dnc", "G90 T0 F250.5\r\nG01 X0.1 Z-1\r\nG02 X10.1 Y0 I5 J0\r\nX0.1 Y0\r\n");
    const DncRun run = cli("arcs.dnc --dump");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    // The last line keeps I5 from the arc before: centre 15.1, a clockwise half turn from π
    // to −π, and its circle reaches x 20.1.
    EXPECT_EQ(run.out,
              "extents 0 20.100000381469727 -5 5 -1 0 10 20.100000381469727\n"
              "8 1 250.5 0 0 0 0 0 0 0\n"
              "2 2 250.5 0 0 0.10000000149011612 0 -1 0 0\n"
              "3 3 250.5 3.1415927410125732 0 10.100000381469727 0 -1 5 0\n"
              "3 4 250.5 3.1415927410125732 -3.1415927410125732 0.10000000149011612 0 -1 5 0\n");
}

TEST_F(DncCli, SummaryAsTextAndJson)
{
    const std::string worked = CORVANE_TEST_DATA "/relief/worked_example.dnc";
    DncRun run = cli(worked);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.out.find("Rapid (G00): 8\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Feed (G01): 5\n"), std::string::npos) << run.out;
    EXPECT_NE(run.errors.find("Loading " + worked + "... Esc to Cancel."), std::string::npos);

    run = cli(worked + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto info = nlohmann::json::parse(run.out);
    EXPECT_EQ(info["records"], 14);
    EXPECT_EQ(info["kinds"]["rapid"], 8);
    EXPECT_EQ(info["kinds"]["feedChange"], 1);
    EXPECT_EQ(info["extents"]["rangeX"], 4.0);
    EXPECT_EQ(info["extents"]["minZ"], double(float(-0.2)));

    run = cli("missing.dnc");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("missing.dnc: cannot be opened"), std::string::npos) << run.errors;
    EXPECT_EQ(cli(worked + " --json --dump").exitCode, 2);
}
