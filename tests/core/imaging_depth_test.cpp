// 16-bit depth maps: every sample kept through the files that hold 16 bits, 256 levels where
// a command or a file kind needs them, and the full precision all the way into the relief.
#include "common/error.h"
#include "depth_pictures.h"
#include "imaging/depth_levels.h"
#include "imaging/operation_chain.h"
#include "imaging/picture_io.h"
#include "imaging/picture_model.h"
#include "imaging_test_pictures.h"
#include "relief/byte_sink.h"
#include "relief/dxf_surface.h"
#include "relief/gouge_control.h"
#include "relief/height_grid.h"
#include "relief/raster_move.h"
#include "relief/raster_passes.h"
#include "scratch_folder.h"
#include "simulation/planned_program.h"

#include <gtest/gtest.h>
#include <set>

using namespace corvane;
using namespace corvane::imaging;

namespace {

using corvane::testing::depthPicture;

// Every one of the 65536 levels once, 256 x 256.
Picture everyLevel()
{
    return depthPicture(256, 256, [](int x, int y) { return y * 256 + x; });
}

} // namespace

TEST(DepthMap, RoundTripsKeepEverySample)
{
    corvane::testing::ScratchFolder folder;
    Picture p = everyLevel();
    p.xRes = p.yRes = 300;
    for (const auto& [name, type] :
         {std::pair{"d.png", FileTypePng}, std::pair{"d.tif", FileTypeTiff},
          std::pair{"d.pgm", FileTypePnm}}) {
        writePicture(p, folder.file(name), type);
        const Picture back = readPicture(folder.file(name));
        EXPECT_EQ(back.bitCount, 16) << name;
        EXPECT_EQ(back.width, 256) << name;
        EXPECT_EQ(back.pixels, p.pixels) << name;
        if (type != FileTypePnm) {
            EXPECT_EQ(back.xRes, 300) << name;
        }
    }
    // PGM samples are big-endian whatever the machine: white is FF FF.
    const std::string pgm = corvane::imaging::testing::readBytes(folder.file("d.pgm"));
    EXPECT_EQ(pgm.substr(0, 16), "P5\n256 256\n65535");
    EXPECT_EQ(std::uint8_t(pgm[17 + 2 * 1]), 0x00);
    EXPECT_EQ(std::uint8_t(pgm[17 + 2 * 1 + 1]), 0x01);
    EXPECT_EQ(std::uint8_t(pgm.back()), 0xFF);
}

TEST(DepthMap, KindsOfEightBitsGetTheNearestOf256Levels)
{
    corvane::testing::ScratchFolder folder;
    const Picture p = everyLevel();
    const Picture reduced = reducedTo256Levels(p);
    EXPECT_EQ(reduced.bitCount, 8);
    EXPECT_EQ(reduced.palette.size(), 256u);
    for (int v : {0, 128, 129, 257, 32767, 65535})
        EXPECT_EQ(reduced.row(v / 256)[v % 256], (v * 255 + 32767) / 65535) << v;
    writePicture(p, folder.file("d.bmp"), FileTypeBmp);
    const Picture bmp = readPicture(folder.file("d.bmp"));
    EXPECT_EQ(bmp.bitCount, 8);
    EXPECT_EQ(bmp.pixel(255, 255), (Rgb{255, 255, 255}));
    EXPECT_EQ(bmp.pixel(200, 100), p.pixel(200, 100));
}

TEST(DepthMap, ImageCommandsAskForTheReductionFirst)
{
    PictureModel model;
    model.assign(everyLevel());
    EXPECT_EQ(model.bitCount(), 16);
    try {
        model.process([](const Picture& p) { return p; });
        FAIL() << "a 16-bit picture reached an 8-bit operation";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("reduce it to 256 levels"), std::string::npos);
    }
    EXPECT_EQ(model.bitCount(), 16);
    EXPECT_TRUE(model.reduceTo256Levels());
    EXPECT_EQ(model.bitCount(), 8);
    EXPECT_FALSE(model.reduceTo256Levels());
    EXPECT_TRUE(model.undo());
    EXPECT_EQ(model.bitCount(), 16);
    // The clipboard commands keep the samples.
    model.select({10, 20, 3, 2});
    const Picture part = model.copy();
    EXPECT_EQ(part.bitCount, 16);
    EXPECT_EQ(part.samples(1)[2], 21 * 256 + 12);
    model.cut();
    EXPECT_EQ(model.picture().samples(20)[10], 65535);
    model.paste(part);
    EXPECT_EQ(model.picture().samples(21)[12], 21 * 256 + 12);
}

TEST(DepthMap, HeightGridKeepsSixteenBits)
{
    const Picture p = depthPicture(3, 1, [](int x, int) { return x * 30000; });
    const relief::TZGrid grid = relief::FillHeightGrid(p, true);
    EXPECT_EQ(grid.white, relief::White16);
    EXPECT_EQ(grid[0][0], 65535); // the frame is white
    EXPECT_EQ(grid[1][1], 0);
    EXPECT_EQ(grid[1][3], 60000);
    relief::TZGrid copy = grid;
    const Picture back = relief::GridPicture(std::move(copy));
    EXPECT_EQ(back.bitCount, 16);
    EXPECT_EQ(back.samples(1)[3], 60000);
}

// A ramp of 4096 levels across 4096 columns: an 8-bit reading could give at most 256 depths.
TEST(DepthMap, RampOf4096LevelsGives4096DistinctDepths)
{
    const Picture ramp = depthPicture(4096, 2, [](int x, int) { return x * 16; });
    const relief::TZGrid grid = relief::FillHeightGrid(ramp, false);
    relief::ReliefParameters p;
    p.sizeX = 4096;
    p.sizeY = 2;
    p.stepX = p.stepY = 1;
    p.depth = 25;
    p.depthPerPass = 100;
    p.rapidHeight = 1;
    p.feedRate = 10;
    relief::MoveList list;
    ASSERT_TRUE(relief::GenerateRasterPasses(grid, p, silentRunControl(), list));
    std::set<double> depths;
    for (const relief::RasterMove& m : list.moves)
        if (m.kind == relief::RasterFeed)
            depths.insert(m.z);
    EXPECT_EQ(depths.size(), 4096u);

    // The program as written, through gouge control and Protect Moves: every level keeps a
    // Z word of its own (beside the Rapid Height and the stock top).
    p.useGougeControl = p.protectMoves = true;
    p.tool = relief::ToolShape::BallMill;
    p.toolDiameter = 0.5;
    const std::string program = simulation::plannedProgramText(grid, p, silentRunControl());
    std::set<std::string> zWords;
    for (std::size_t at = program.find('Z'); at != std::string::npos;
         at = program.find('Z', at + 1))
        zWords.insert(program.substr(at + 1, program.find_first_of(" \r", at) - at - 1));
    EXPECT_GE(zWords.size(), 4096u);

    // The DXF surface too: far more heights than 256 (its sampling of the framed grid passes
    // over a column or two).
    relief::StringSink dxf;
    ASSERT_TRUE(
        relief::writeDxfFacets(dxf, relief::FillHeightGrid(ramp, true), p, silentRunControl()));
    std::set<std::string> heights;
    for (std::size_t at = dxf.text.find("\r\n30\r\n"); at != std::string::npos;
         at = dxf.text.find("\r\n30\r\n", at + 1))
        heights.insert(dxf.text.substr(at + 6, dxf.text.find('\r', at + 6) - at - 6));
    EXPECT_GE(heights.size(), 4090u);
}

// Gouge control on a 16-bit grid is the same sweep as on an 8-bit one, at 65535 levels:
// the fast path equals the plain reference, and an 8-bit grid widened by 257 gives results
// within a level (times 257) of its own.
TEST(DepthMap, GougeControlAtSixteenBits)
{
    relief::TZGrid grid(40, 50, 0, relief::White16);
    std::uint32_t seed = 7;
    for (auto& v : grid.cells) {
        seed = seed * 1664525u + 1013904223u;
        v = std::uint16_t(seed >> 16);
    }
    for (relief::ToolShape shape :
         {relief::ToolShape::EndMill, relief::ToolShape::BallMill, relief::ToolShape::VBit}) {
        const relief::TToolMask mask =
            relief::BuildToolMask(shape, 0.3, 0.02, 0.025, -0.5, 90, relief::White16);
        relief::TZGrid fast = grid, direct = grid;
        relief::ApplyGougeControl(fast, mask, silentRunControl(), 2);
        relief::ApplyGougeControlDirect(direct, mask, silentRunControl());
        EXPECT_EQ(fast.cells, direct.cells) << int(shape);
        EXPECT_NE(fast.cells, grid.cells) << int(shape);
    }
    const relief::TToolMask eight =
        relief::BuildToolMask(relief::ToolShape::BallMill, 0.3, 0.02, 0.025, -0.5, 90);
    relief::TZGrid wrongKind = grid;
    EXPECT_THROW(relief::ApplyGougeControl(wrongKind, eight, silentRunControl()), Error);
}

// A depth map goes into a BMP file at 256 levels, a byte a pixel: the largest one a BMP file
// holds at 8 bits is not refused as if it took two.
TEST(DepthMap, BmpLimitCountsTheLevelsItWrites)
{
    const std::uint64_t plenty = std::uint64_t(1) << 50;
    EXPECT_NO_THROW(checkOperationChain({60000, 70000, 16}, {}, {FileTypeBmp, "deep.bmp"}, plenty));
    EXPECT_THROW(checkOperationChain({70000, 70000, 16}, {}, {FileTypeBmp, "deep.bmp"}, plenty),
                 Error);
}
