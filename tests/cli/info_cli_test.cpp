// corvane-cli info: the four text lines, the JSON line, and the error for a bad file.
#include "cli_run.h"
#include "scratch_folder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using CliResult = corvane::testing::CliRun;

CliResult run(const std::string& arguments)
{
    return corvane::testing::runCliFolded(arguments);
}

const std::string sample = std::string(CORVANE_SAMPLES) + "/relief.bmp";

TEST(InfoCli, PrintsSizeDepthAndResolution)
{
    const CliResult r = run("info " + sample);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Width: 240\nHeight: 160\nBit count: 8\nResolution: 100 x 100\n");
}

TEST(InfoCli, PrintsOneJsonLine)
{
    const CliResult r = run("info --json " + sample);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "{\"file\":\"" + sample +
                         "\",\"width\":240,\"height\":160,\"bitCount\":8,\"xRes\":100,"
                         "\"yRes\":100}\n");
}

TEST(InfoCli, AnUnreadableFileIsOneErrorLineAndExitOne)
{
    const corvane::testing::ScratchFolder folder;
    const fs::path bad = folder.path() / "damaged.bmp";
    corvane::testing::writeFile(bad, "BM but nothing else");
    const CliResult r = run("info " + bad.string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find(bad.string()), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;

    EXPECT_EQ(run("info").exitCode, 2); // the picture is required
}

TEST(InfoCli, OutputThatCannotBeWrittenIsAFailure)
{
    EXPECT_EQ(run("info " + sample + " > /dev/full").exitCode, 1);
    EXPECT_EQ(run("info --json " + sample + " > /dev/full").exitCode, 1);
}

} // namespace
