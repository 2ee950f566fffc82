// corvane-cli surface -o OUT.stl, depthmap and mesh on STL: the solid checked by peers
// (admesh, assimp) where they are installed, 16-bit files end to end.
#include "cli_run.h"
#include "scratch_folder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using corvane::testing::CliRun;
using corvane::testing::runCli;
using corvane::testing::runCommand;

bool have(const std::string& tool)
{
    return runCommand("command -v " + tool + " >/dev/null 2>&1 && echo yes").out == "yes\n";
}

std::uint32_t stlCount(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char head[84] = {};
    in.read(head, 84);
    std::uint32_t count = 0;
    std::memcpy(&count, head + 80, 4);
    return count;
}

// admesh's report of a solid we wrote: nothing to repair, one part.
void expectAdmeshClean(const fs::path& file)
{
    const CliRun r = runCommand("admesh " + file.string() + " 2>&1");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    for (const char* line : {"Degenerate facets     :     0", "Edges fixed           :     0",
                             "Facets removed        :     0", "Facets added          :     0",
                             "Number of parts       :     1", "Backwards edges       :     0",
                             "Normals fixed         :     0"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

void expectAssimpCount(const fs::path& file, std::uint32_t triangles)
{
    const CliRun r = runCommand("assimp info " + file.string() + " 2>&1");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const std::size_t at = r.out.find("Faces:");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_EQ(std::stoul(r.out.substr(at + 6)), triangles);
}

class SurfaceStlCli : public ::testing::Test {
protected:
    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

TEST_F(SurfaceStlCli, SampleAndNoiseGiveCleanSolids)
{
    const fs::path sample = fs::path(CORVANE_SAMPLES) / "relief.bmp";
    const CliRun r = runCli(dir, "surface " + sample.string() + " -o relief.stl --depth 0.5");
    ASSERT_EQ(r.exitCode, 0) << r.errors;
    // A noise picture: every cell a different height, the hardest case for the walls.
    std::string pgm = "P5\n300 200\n65535\n";
    std::mt19937 random(3);
    for (int i = 0; i < 300 * 200 * 2; ++i)
        pgm += char(random() & 0xFF);
    std::ofstream(dir / "noise.pgm", std::ios::binary) << pgm;
    ASSERT_EQ(runCli(dir, "surface noise.pgm -o noise.stl --base 0.3 --no-gouge").exitCode, 0);
    EXPECT_EQ(stlCount(dir / "noise.stl"), 2u * 299 * 199 + 3u * (2 * 299 + 2 * 199));
    if (!have("admesh") || !have("assimp")) {
        GTEST_SKIP() << "admesh or assimp is not installed (scripts/install-deps.sh)";
    }
    for (const char* name : {"relief.stl", "noise.stl"}) {
        expectAdmeshClean(dir / name);
        expectAssimpCount(dir / name, stlCount(dir / name));
    }
}

TEST_F(SurfaceStlCli, DepthMapOfAMeshIsSixteenBitsAndReadsBack)
{
    const fs::path sample = fs::path(CORVANE_SAMPLES) / "relief.bmp";
    ASSERT_EQ(runCli(dir, "surface " + sample.string() + " -o relief.stl --depth 0.5").exitCode, 0);
    const CliRun mesh = runCli(dir, "mesh relief.stl --json");
    ASSERT_EQ(mesh.exitCode, 0) << mesh.errors;
    EXPECT_NE(mesh.out.find("\"triangles\":"), std::string::npos);
    for (const char* out : {"d.png", "d.tif", "d.pgm"}) {
        const CliRun map = runCli(dir, std::string("depthmap relief.stl --width 300 -o ") + out);
        ASSERT_EQ(map.exitCode, 0) << map.errors;
        const CliRun info = runCli(dir, std::string("info ") + out);
        EXPECT_NE(info.out.find("Width: 300\n"), std::string::npos) << info.out;
        EXPECT_NE(info.out.find("Bit count: 16\n"), std::string::npos) << info.out;
    }
    EXPECT_EQ(runCli(dir, "depthmap relief.stl -o d.bmp").exitCode, 1);
    EXPECT_EQ(runCli(dir, "depthmap relief.stl --pixel 0.1 --width 9 -o d.png").exitCode, 2);
    // The image commands need 256 levels, and say they reduce to them.
    const CliRun image = runCli(dir, "image d.png --op negative -o n.png");
    ASSERT_EQ(image.exitCode, 0) << image.errors;
    EXPECT_NE(image.errors.find("reduced to 256 levels"), std::string::npos) << image.errors;
    EXPECT_NE(runCli(dir, "info n.png").out.find("Bit count: 8\n"), std::string::npos);
    // A broken mesh is named with the reason.
    std::ofstream(dir / "cut.stl", std::ios::binary) << "not an stl file at all, just words";
    const CliRun cut = runCli(dir, "mesh cut.stl");
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_NE(cut.errors.find("cut.stl: the file is too short"), std::string::npos) << cut.errors;
    EXPECT_EQ(runCli(dir, "surface d.png -o s.dxf --base 1").exitCode, 1);
}

} // namespace
