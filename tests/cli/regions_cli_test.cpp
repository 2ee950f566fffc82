// corvane-cli regions, run as a user runs it: a DXF mesh or a picture in, G-code, DXF
// polylines or a dump out.
#include "cli_run.h"
#include "scratch_folder.h"
#include "test_files.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using corvane::testing::CliRun;

std::string read(const fs::path& p)
{
    return corvane::testing::readFile(p);
}

using corvane::testing::greyBmp;
using corvane::testing::pyramidDxf;

class RegionsCli : public ::testing::Test {
protected:
    void SetUp() override { corvane::testing::writeFile(dir / "pyramid.dxf", pyramidDxf()); }

    // With a fixed clock and the C locale, so headers are reproducible.
    CliRun cli(const std::string& arguments) const
    {
        return corvane::testing::runCli(dir, "regions " + arguments);
    }

    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

} // namespace

TEST_F(RegionsCli, MeshSlicedAtHalfItsHeightByDefaultAsGCode)
{
    const CliRun run = cli("pyramid.dxf -o square.dnc --cut-depth 0.5 --feed 12.5");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("1 Regions Created..."), std::string::npos) << run.errors;
    EXPECT_EQ(read(dir / "square.dnc"), "( Created 01/01/70 00:00:00 From pyramid.dxf)\r\n"
                                        "G90 T0\r\n"
                                        "F12.5\r\n"
                                        "G00 Z0.25\r\n"
                                        "G00 X1.0000 Y1.0000\r\n"
                                        "G01 Z-0.5\r\n"
                                        "X1.0000 Y3.0000\r\n"
                                        "X3.0000 Y3.0000\r\n"
                                        "X3.0000 Y1.0000\r\n"
                                        "X1.0000 Y1.0000\r\n"
                                        "G00 Z0.25\r\n");
}

TEST_F(RegionsCli, DumpPrintsTheRegionsAloneOnStdout)
{
    const CliRun run = cli("pyramid.dxf --style topography --z-step 0.5 --depths multiple --dump");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::istringstream dump(run.out);
    std::string word;
    int regions = 0;
    while (dump >> word) {
        ASSERT_EQ(word, "region") << run.out;
        int index = 0, open = -1;
        double depth = 0;
        std::size_t segments = 0;
        dump >> index >> depth >> open >> segments;
        EXPECT_EQ(index, ++regions);
        EXPECT_EQ(depth, 0.5 * index);
        EXPECT_EQ(open, 0);
        for (std::size_t s = 0; s < segments; ++s) {
            double x1, y1, x2, y2;
            ASSERT_TRUE(dump >> x1 >> y1 >> x2 >> y2);
            EXPECT_DOUBLE_EQ(std::max(std::abs(x1 - 2), std::abs(y1 - 2)), 2 - depth / 1);
        }
    }
    EXPECT_EQ(regions, 2); // 0.5 and 1, up to the default Op Depth: half the apex
    EXPECT_NE(run.errors.find("Creating Vectors..."), std::string::npos);
}

TEST_F(RegionsCli, DxfOutputAndPictureSourceAndErrors)
{
    ASSERT_EQ(cli("pyramid.dxf --style topography --z-step 0.25 --op-depth 1.5 --depths multiple "
                  "-o rings.dxf --curve-fit 3")
                  .exitCode,
              0);
    const std::string check =
        "/usr/bin/python3 -c \"import ezdxf,sys; d=ezdxf.readfile('" +
        (dir / "rings.dxf").string() +
        "'); p=d.modelspace().query('POLYLINE'); "
        "sys.exit(1 if d.audit().has_errors or len(p) != 6 or not p[0].is_3d_polyline or "
        "list(p[0].points())[0].z != 0.25 else 0)\"";
    EXPECT_EQ(std::system(check.c_str()), 0);

    // A black block on white: its grid surface rises to 255 in the middle. Width 3 over
    // 6 columns: half a unit a cell. Op Depth 0.5 of Depth 2 is the grey level 63.75, a
    // quarter of the way from the white cells (x = 0, y = 1) to the black ones.
    std::ofstream(dir / "dot.bmp", std::ios::binary) << greyBmp({{255, 255, 255, 255, 255, 255},
                                                                 {255, 0, 0, 0, 0, 255},
                                                                 {255, 0, 0, 0, 0, 255},
                                                                 {255, 255, 255, 255, 255, 255}});
    CliRun run = cli("dot.bmp -o dot.dnc --op-depth 0.5 --width 3 --depth 2");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string program = read(dir / "dot.dnc");
    EXPECT_EQ(program.rfind("( Created 01/01/70 00:00:00 From Vector Conversion)\r\n", 0), 0u);
    EXPECT_NE(program.find("G00 X0.1250 Y1.0000\r\n"), std::string::npos) << program;
    EXPECT_NE(program.find("X2.3750 Y1.8750\r\n"), std::string::npos) << program;

    run = cli("dot.bmp -o dot.dnc");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("corvane-cli: No Regions Created...Check Parameters...\n"),
              std::string::npos);
    EXPECT_EQ(cli("pyramid.dxf -o x.dnc --op-depth 1,5").exitCode, 1);
    EXPECT_EQ(cli("pyramid.dxf -o x.txt").exitCode, 1);
    EXPECT_EQ(cli("missing.dxf -o x.dnc").exitCode, 1);
    EXPECT_EQ(cli("pyramid.dxf").exitCode, 1);
    EXPECT_EQ(cli("pyramid.dxf -o x.dnc --style spiral").exitCode, 2);
    EXPECT_FALSE(fs::exists(dir / "x.dnc"));
}

TEST_F(RegionsCli, RefusesFieldsInTheDialogsWordsAndNamesAnEmptyMesh)
{
    std::ofstream(dir / "dot.bmp", std::ios::binary)
        << greyBmp({{255, 255, 255}, {255, 0, 255}, {255, 255, 255}});
    const std::pair<const char*, const char*> cases[] = {
        {"dot.bmp -o x.dnc --style topography --z-step -0.1 --op-depth 0.5",
         "corvane-cli: Z Step can not be negative!\n"},
        {"dot.bmp -o x.dnc --depth 0 --op-depth 0.5", "corvane-cli: Depth can not be 0!\n"},
        {"dot.bmp -o x.dnc --depth 1e39 --op-depth 0.5",
         "corvane-cli: Depth can not be more than 100000\n"},
        {"dot.bmp -o x.dxf --width 1e39 --op-depth 0.5",
         "corvane-cli: Width can not be more than 100000\n"},
        {"pyramid.dxf -o x.dnc --style topography --z-step 1e-9",
         "corvane-cli: Z Step is too small for the Op Depth: Topography would cut 1000000000 "
         "levels, at most 100000 are allowed\n"},
        {"pyramid.dxf -o x.dnc --style topography --op-depth 1e308 --z-step 0.1",
         "corvane-cli: Z Step is too small for the Op Depth: Topography would cut more than "
         "1E308 levels, at most 100000 are allowed\n"},
        {"pyramid.dxf -o x.dnc --curve-fit 2147483647",
         "corvane-cli: Curve Fit can not be more than 1000 points a span\n"},
        {"pyramid.dxf -o x.dnc --op-depth 1,5", "corvane-cli: Op Depth is not a number: \"1,5\"\n"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments;
        EXPECT_NE(run.errors.find(message), std::string::npos) << arguments << "\n" << run.errors;
        EXPECT_EQ(run.errors.find("No Regions Created"), std::string::npos) << arguments;
    }

    // A DXF without any 3DFACE: the file is named, not the parameters blamed.
    corvane::testing::writeFile(dir / "empty.dxf", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");
    const CliRun empty = cli("empty.dxf -o x.dnc");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.errors.find("corvane-cli: empty.dxf: no 3DFACE found"), std::string::npos)
        << empty.errors;
    EXPECT_FALSE(fs::exists(dir / "x.dnc"));
    EXPECT_FALSE(fs::exists(dir / "x.dxf"));
}

TEST_F(RegionsCli, DncHoldsEveryRegionTheDxfHoldsHoweverFarAway)
{
    // Three pyramids: a small one at the origin and two of 1e50 and 1e55 units, 1e50 and
    // 1e60 units away (squared distances far beyond 1e99).
    std::string mesh = "0\nSECTION\n2\nENTITIES\n";
    const std::pair<double, double> placements[] = {{0, 1}, {1e50, 1e50}, {-1e60, 1e55}};
    for (const auto& [offset, scale] : placements) {
        auto face = [&](const std::array<std::array<double, 3>, 3>& corners) {
            mesh += "0\n3DFACE\n8\n0\n";
            for (int k = 0; k < 4; ++k) {
                const auto& c = corners[std::size_t(std::min(k, 2))];
                char text[200];
                std::snprintf(text, sizeof text, "1%d\n%.17g\n2%d\n%.17g\n3%d\n%.17g\n", k,
                              offset + c[0] * scale, k, c[1] * scale, k, c[2]);
                mesh += text;
            }
        };
        face({{{0, 0, 0}, {4, 0, 0}, {2, 2, 1}}});
        face({{{4, 0, 0}, {4, 4, 0}, {2, 2, 1}}});
        face({{{4, 4, 0}, {0, 4, 0}, {2, 2, 1}}});
        face({{{0, 4, 0}, {0, 0, 0}, {2, 2, 1}}});
    }
    mesh += "0\nENDSEC\n0\nEOF\n";
    corvane::testing::writeFile(dir / "far.dxf", mesh);
    CliRun run = cli("far.dxf -o far-regions.dxf --op-depth 0.5");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    run = cli("far.dxf -o far.dnc --op-depth 0.5");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string dxf = read(dir / "far-regions.dxf"), dnc = read(dir / "far.dnc");
    auto count = [](const std::string& text, const std::string& word) {
        std::size_t n = 0;
        for (std::size_t at = text.find(word); at != std::string::npos;
             at = text.find(word, at + 1))
            ++n;
        return n;
    };
    // Far out the chaining may leave a loop in pieces; whatever the DXF holds, so must the
    // program.
    EXPECT_GE(count(dxf, "POLYLINE"), 3u);
    EXPECT_EQ(count(dnc, "G01 Z"), count(dxf, "POLYLINE")) << dnc;
}
