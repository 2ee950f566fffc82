// corvane-cli mesh: the dump format, JSON, failures, and the triangle count against assimp's
// on a surface from our own writer.
#include "cli_run.h"
#include "relief/dxf_surface.h"
#include "scratch_folder.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using Outcome = corvane::testing::CliRun;

Outcome run(const std::string& command)
{
    return corvane::testing::runCommand(command);
}

// The status lines go to stderr, the results to stdout.
corvane::testing::CliRun mesh(const std::string& arguments)
{
    return corvane::testing::runCli(fs::temp_directory_path(), "mesh " + arguments, "LC_ALL=C");
}

class MeshCli : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }

    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

// One quad with a third corner of 0.1 (not exact in binary) and one flat triangle.
const std::string twoFaces =
    "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
    "0\r\n3DFACE\r\n10\r\n0\r\n20\r\n0\r\n30\r\n0.1\r\n"
    "11\r\n1\r\n21\r\n0\r\n31\r\n1\r\n12\r\n1\r\n22\r\n1\r\n32\r\n2\r\n"
    "13\r\n0\r\n23\r\n1\r\n33\r\n3\r\n"
    "0\r\n3DFACE\r\n30\r\n0\r\n31\r\n0\r\n32\r\n0\r\n13\r\n1\r\n33\r\n0\r\n"
    "0\r\nENDSEC\r\n0\r\nEOF\r\n";

TEST_F(MeshCli, DumpJsonAndText)
{
    const std::string file = write("two.dxf", twoFaces);
    const corvane::testing::CliRun dump = mesh(file + " --dump");
    ASSERT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.out, "triangles 2\n"
                        "edges 8\n"
                        "extents 0 1 0 1 -3 -0 1 1\n"
                        "0 0 0.10000000000000001 1 1 2 0 1 3\n"
                        "0 0 0.10000000000000001 1 0 1 1 1 2\n");

    const corvane::testing::CliRun json = mesh(file + " --json");
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_NE(json.out.find("\"triangles\":2,\"edges\":8,\"extents\":{\"minX\":0.0,\"maxX\":1.0"),
              std::string::npos)
        << json.out;

    const corvane::testing::CliRun text = mesh(file);
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out.substr(0, 21), "Triangles: 2\nEdges: 8");
}

TEST_F(MeshCli, FailuresExitWithOneAndSayWhere)
{
    const std::string bad = write("bad.dxf", "0\n3DFACE\n10\n1\n20\nabc\n");
    const corvane::testing::CliRun r = mesh(bad);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.errors.find(bad + ":6: \"abc\" is not a number"), std::string::npos) << r.errors;
    EXPECT_EQ(mesh((dir / "missing.dxf").string()).exitCode, 1);
    // Bytes with no face are no mesh; a face cut short names the line of its "3DFACE".
    const std::string empty = write("empty.dxf", "");
    const corvane::testing::CliRun none = mesh(empty);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.errors.find(empty + ": no 3DFACE found: not a DXF surface mesh"),
              std::string::npos)
        << none.errors;
    const std::string cut = write("cut.dxf", "0\n3DFACE\n10\n1\n0\n3DFACE\n10\n2\n20\n");
    const corvane::testing::CliRun ends = mesh(cut);
    EXPECT_EQ(ends.exitCode, 1);
    EXPECT_NE(ends.errors.find(cut + ":6: the file ends inside this 3DFACE"), std::string::npos)
        << ends.errors;
    EXPECT_EQ(mesh("").exitCode, 2);
}

TEST_F(MeshCli, TriangleCountAgreesWithAssimpOnAWrittenSurface)
{
    corvane::relief::TZGrid grid(24, 31);
    std::mt19937 random(17);
    for (auto& v : grid.cells)
        v = std::uint8_t(random() % 256);
    corvane::relief::ReliefParameters p;
    p.sizeX = 0.31;
    p.sizeY = 0.24;
    p.stepX = p.stepY = 0.01;
    p.depth = 0.5;
    corvane::relief::StringSink sink;
    corvane::relief::WriteDxfSurface(sink, grid, p, corvane::silentRunControl());
    const std::string file = write("surface.dxf", sink.text);

    const corvane::testing::CliRun ours = mesh(file + " --dump");
    ASSERT_EQ(ours.exitCode, 0);
    const Outcome theirs = run("assimp info " + file + " 2>&1");
    ASSERT_EQ(theirs.exitCode, 0) << theirs.out;
    const std::size_t at = theirs.out.find("Faces:");
    ASSERT_NE(at, std::string::npos) << theirs.out;
    const long faces = std::stol(theirs.out.substr(at + 6));
    // Random heights leave no flat triangle for us to drop, so the counts must be equal.
    EXPECT_EQ(ours.out.substr(0, ours.out.find('\n')), "triangles " + std::to_string(faces));
    EXPECT_GT(faces, 1000);
}

} // namespace
