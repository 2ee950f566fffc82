// corvane-cli info: the four text lines, the JSON line, and the error for a bad file.
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

struct CliResult {
    int exitCode;
    std::string out;
};

// Runs the command line with stderr folded into the captured output.
CliResult run(const std::string& arguments)
{
    const std::string command = std::string(CORVANE_CLI) + " " + arguments + " 2>&1";
    CliResult r{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        r.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
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
