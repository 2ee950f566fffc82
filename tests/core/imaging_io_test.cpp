// Reading and writing picture files: what comes back is what was written, in the depth and
// resolution the format can hold; bad files and bad targets give our error, never a crash.
#include "imaging_test_pictures.h"

#include "common/error.h"
#include "imaging/picture_io.h"

#include <gtest/gtest.h>

namespace corvane::imaging {
namespace {

using testing::colourPicture;
using testing::palettePicture;
using testing::ScratchFolder;

void expectSamePixels(const Picture& a, const Picture& b)
{
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << "at " << x << "," << y;
}

struct LosslessCase {
    int fileType;
    const char* name;
    int bitCount;
    int expectedBitCount;
};

class LosslessRoundTrip : public ::testing::TestWithParam<LosslessCase> {};

TEST_P(LosslessRoundTrip, KeepsSizeDepthPixelsAndResolution)
{
    const LosslessCase c = GetParam();
    ScratchFolder folder;
    Picture original = c.bitCount == 24 ? colourPicture(13, 7) : palettePicture(13, 7, c.bitCount);
    original.xRes = 300;
    original.yRes = 150;
    const std::string path = folder.file(c.name);
    writePicture(original, path, c.fileType);
    const Picture back = readPicture(path);
    EXPECT_EQ(back.bitCount, c.expectedBitCount);
    EXPECT_EQ(back.palette.size(), back.indexed() ? std::size_t(1) << back.bitCount : 0u);
    EXPECT_EQ(back.xRes, 300);
    EXPECT_EQ(back.yRes, 150);
    expectSamePixels(original, back);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LosslessRoundTrip,
    ::testing::Values(LosslessCase{FileTypeBmp, "one.bmp", 1, 1},
                      LosslessCase{FileTypeBmp, "four.bmp", 4, 4},
                      LosslessCase{FileTypeBmp, "eight.bmp", 8, 8},
                      LosslessCase{FileTypeBmp, "colour.bmp", 24, 24},
                      LosslessCase{FileTypePcx, "one.pcx", 1, 8}, // PCX keeps 1 bit for black and white only
                      LosslessCase{FileTypePcx, "eight.pcx", 8, 8},
                      LosslessCase{FileTypePcx, "colour.pcx", 24, 24},
                      LosslessCase{FileTypeTiff, "four.tif", 4, 4},
                      LosslessCase{FileTypeTiff, "eight.tif", 8, 8},
                      LosslessCase{FileTypeTiff, "colour.tif", 24, 24}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (ch == '.')
                ch = '_';
        return n;
    });

} // namespace
} // namespace corvane::imaging
