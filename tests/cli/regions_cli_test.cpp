// corvane-cli regions, run as a user runs it: a DXF mesh or a picture in, G-code, DXF
// polylines or a dump out.
#include <cstdint>
#include "cli_run.h"
#include "scratch_folder.h"

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

// A square pyramid over [0,4] x [0,4], apex (2, 2, 2), as four triangular 3DFACEs.
std::string pyramidDxf()
{
    const double corners[4][2] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    std::string dxf = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (int k = 0; k < 4; ++k) {
        const double* a = corners[k];
        const double* b = corners[(k + 1) % 4];
        const double points[4][3] = {{a[0], a[1], 0}, {b[0], b[1], 0}, {2, 2, 2}, {2, 2, 2}};
        dxf += "0\r\n3DFACE\r\n8\r\n0\r\n";
        for (int c = 0; c < 4; ++c)
            for (int axis = 0; axis < 3; ++axis)
                dxf += std::to_string(10 * (axis + 1) + c) + "\r\n" +
                       std::to_string(points[c][axis]) + "\r\n";
    }
    return dxf + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
}

// A 24-bit BMP of grey levels, top row first.
std::string greyBmp(const std::vector<std::vector<int>>& rows)
{
    const int h = int(rows.size()), w = int(rows[0].size());
    const int stride = (w * 3 + 3) / 4 * 4;
    std::string data;
    for (int r = h - 1; r >= 0; --r) {
        std::string line;
        for (int v : rows[std::size_t(r)])
            line.append(3, char(v));
        line.resize(std::size_t(stride), '\0');
        data += line;
    }
    std::string header = "BM";
    const auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header += char((v >> (8 * i)) & 0xff);
    };
    const auto put16 = [&](std::uint16_t v) {
        header += char(v & 0xff);
        header += char(v >> 8);
    };
    put32(std::uint32_t(54 + data.size()));
    put32(0);
    put32(54);
    put32(40);
    put32(std::uint32_t(w));
    put32(std::uint32_t(h));
    put16(1);
    put16(24);
    put32(0);
    put32(std::uint32_t(data.size()));
    put32(3937);
    put32(3937);
    put32(0);
    put32(0);
    return header + data;
}

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
