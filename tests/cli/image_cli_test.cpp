// corvane-cli image: a chain runs in order into the named kind of file, bad steps are
// refused before anything is read or written, and a failed step leaves OUT untouched.
#include "cli_run.h"
#include "imaging/image_operations.h"
#include "imaging/picture_io.h"

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
using namespace corvane::imaging;

using CliResult = corvane::testing::CliRun;

CliResult run(const std::string& arguments)
{
    return corvane::testing::runCliFolded(arguments);
}

const std::string sample = std::string(CORVANE_SAMPLES) + "/relief.bmp";

struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("corvane-image-" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
    std::string file(const std::string& name) const { return (dir / name).string(); }
};

TEST(ImageCli, RunsTheChainInOrderIntoTheKindTheExtensionNames)
{
    Scratch s;
    const CliResult r = run("image " + sample + " -o " + s.file("out.ppm") +
                            " --op rotate-image:90 --op emboss:3 --op resize-image:0.5");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const Picture expected = resizeImage(emboss(rotateImage(readPicture(sample), 90), 3), 0.5);
    const Picture written = readPicture(s.file("out.ppm"));
    EXPECT_EQ(written.width, 80);
    EXPECT_EQ(written.height, 120);
    EXPECT_EQ(written.pixels, expected.pixels);
}

TEST(ImageCli, RefusesBadStepsBeforeAnyWorkAndKeepsOutput)
{
    Scratch s;
    const std::string out = s.file("keep.bmp");
    std::ofstream(out) << "precious";
    for (const char* op : {"embos:3", "emboss:9", "adjust-contrast:62,193,9", "resize-image:x"}) {
        const CliResult r = run("image /no/such/file.bmp -o " + out + " --op " + op);
        EXPECT_EQ(r.exitCode, 2) << op << r.out; // refused before the missing file is read
        EXPECT_NE(r.out.find(std::string(op).substr(0, 5)), std::string::npos) << r.out;
    }
    EXPECT_EQ(run("image " + sample + " -o " + s.file("x.gif")).exitCode, 2);
    EXPECT_EQ(run("image " + sample).exitCode, 2);
    EXPECT_EQ(run("image /no/such/file.bmp -o " + out + " --op emboss:1").exitCode, 1);
    // A plug-in that fails half way through the chain leaves OUT as it was.
    EXPECT_EQ(run("image " + sample + " -o " + out + " --op negative --plugin /bin/false").exitCode,
              1);
    std::ifstream kept(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "precious");
}

TEST(ImageCli, ListsEveryOperationWithItsArguments)
{
    const CliResult r = run("image --list-ops");
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("emboss direction=1..8"), std::string::npos);
    EXPECT_NE(r.out.find("convert-colors method=1|2|4|8|16|32|64|128"), std::string::npos);
    EXPECT_NE(r.out.find("\nrotate-image degrees="), std::string::npos);
}

} // namespace
