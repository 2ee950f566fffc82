// Reading and writing picture files: what comes back is what was written, in the depth and
// resolution the format can hold; bad files and bad targets give our error, never a crash.
#include "common/error.h"
#include "imaging/picture_io.h"
#include "imaging/resolution.h"
#include "imaging_test_pictures.h"
#include "relief_test_support.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace corvane::imaging {
namespace {

using namespace std::string_literals;

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
    bool keepsResolution = true;
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
    EXPECT_EQ(back.xRes, c.keepsResolution ? 300 : 0);
    EXPECT_EQ(back.yRes, c.keepsResolution ? 150 : 0);
    expectSamePixels(original, back);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LosslessRoundTrip,
    ::testing::Values(
        LosslessCase{FileTypeBmp, "one.bmp", 1, 1}, LosslessCase{FileTypeBmp, "four.bmp", 4, 4},
        LosslessCase{FileTypeBmp, "eight.bmp", 8, 8},
        LosslessCase{FileTypeBmp, "colour.bmp", 24, 24},
        LosslessCase{FileTypePcx, "one.pcx", 1, 8}, // PCX keeps 1 bit for black and white only
        LosslessCase{FileTypePcx, "eight.pcx", 8, 8},
        LosslessCase{FileTypePcx, "colour.pcx", 24, 24},
        LosslessCase{FileTypePcx, "four.pcx", 4, 8}, LosslessCase{FileTypeTiff, "one.tif", 1, 1},
        LosslessCase{FileTypeTiff, "four.tif", 4, 4}, LosslessCase{FileTypeTiff, "eight.tif", 8, 8},
        LosslessCase{FileTypeTiff, "colour.tif", 24, 24},
        LosslessCase{FileTypePng, "one.png", 1, 1}, LosslessCase{FileTypePng, "four.png", 4, 4},
        LosslessCase{FileTypePng, "eight.png", 8, 8},
        LosslessCase{FileTypePng, "colour.png", 24, 24},
        // netpbm has neither palettes nor a resolution: colours are kept as RGB
        LosslessCase{FileTypePnm, "four.ppm", 4, 24, false},
        LosslessCase{FileTypePnm, "colour.ppm", 24, 24, false}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (ch == '.')
                ch = '_';
        return n;
    });

} // namespace
} // namespace corvane::imaging

namespace corvane::imaging {
namespace {

using testing::readBytes;
using testing::writeBytes;
using testing::writeWithCoder;

TEST(ReadPicture, GreyFilesWithoutPaletteBecomeEightBitGrey)
{
    ScratchFolder folder;
    const std::string path = folder.file("grey.pgm");
    writeBytes(path, "P5\n3 2\n255\n"s + "\x00\x10\x20\x80\xC0\xFF"s);
    const Picture p = readPicture(path);
    EXPECT_EQ(p.bitCount, 8);
    ASSERT_EQ(p.palette.size(), 256u);
    EXPECT_EQ(p.palette[0x80], (Rgb{0x80, 0x80, 0x80}));
    EXPECT_EQ(p.pixel(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(p.pixel(1, 1), (Rgb{0xC0, 0xC0, 0xC0}));
    EXPECT_EQ(p.pixel(2, 1), (Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(p.xRes, 0); // the format has no resolution
}

TEST(ReadPicture, ColourNetpbmIsTwentyFourBit)
{
    ScratchFolder folder;
    const std::string path = folder.file("colour.ppm");
    writeBytes(path, "P6\n2 1\n255\n\x01\x02\x03\xFA\xFB\xFC"s);
    const Picture p = readPicture(path);
    EXPECT_EQ(p.bitCount, 24);
    EXPECT_EQ(p.pixel(0, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(p.pixel(1, 0), (Rgb{0xFA, 0xFB, 0xFC}));
}

TEST(ReadPicture, PngAndGifKeepTheirPixels)
{
    ScratchFolder folder;
    const Picture colour = colourPicture(9, 5);
    writeWithCoder(colour, "PNG24", folder.file("colour.png"));
    const Picture png = readPicture(folder.file("colour.png"));
    EXPECT_EQ(png.bitCount, 24);
    expectSamePixels(colour, png);

    // Three colours: a GIF palette that the reader pads to the 16 entries of a 4-bit picture.
    Picture three = palettePicture(6, 4, 4);
    for (auto& index : three.pixels)
        index %= 3;
    writeWithCoder(three, "GIF", folder.file("three.gif"));
    const Picture gif = readPicture(folder.file("three.gif"));
    EXPECT_EQ(gif.bitCount, 4);
    EXPECT_EQ(gif.palette.size(), 16u);
    expectSamePixels(three, gif);
}

// Every road: our own readers and, for PCX, the image library.
TEST(ReadPicture, ReportsProgressUpToAHundredAndStopsOnEsc)
{
    ScratchFolder folder;
    const std::vector<std::pair<std::string, int>> files = {
        {"p.bmp", FileTypeBmp},  {"p.tif", FileTypeTiff}, {"p.png", FileTypePng},
        {"p.jpg", FileTypeJpeg}, {"p.ppm", FileTypePnm},  {"p.pcx", FileTypePcx}};
    for (const auto& [name, type] : files) {
        writePicture(colourPicture(40, 300), folder.file(name), type);
        relief_test::ScriptedControl watch;
        readPicture(folder.file(name), watch);
        ASSERT_FALSE(watch.progress.empty()) << name;
        EXPECT_TRUE(std::is_sorted(watch.progress.begin(), watch.progress.end())) << name;
        EXPECT_EQ(watch.progress.back().second, 100) << name;
        EXPECT_GE(watch.checkpoints, 10) << name;

        relief_test::ScriptedControl esc;
        esc.escapeFrom = 3;
        EXPECT_THROW(readPicture(folder.file(name), esc), ReadStopped) << name;
        EXPECT_EQ(esc.checkpoints, 3) << name;
    }
}

TEST(JpegFiles, ColourStaysColourAndGreyPaletteComesBackGrey)
{
    ScratchFolder folder;
    Picture colour = colourPicture(16, 16);
    colour.xRes = colour.yRes = 200;
    writePicture(colour, folder.file("c.jpg"), FileTypeJpeg);
    const Picture c = readPicture(folder.file("c.jpg"));
    EXPECT_EQ(c.bitCount, 24);
    EXPECT_EQ(c.width, 16);
    EXPECT_EQ(c.xRes, 200);

    Picture grey = palettePicture(16, 8, 8);
    for (int i = 0; i < 256; ++i)
        grey.palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    writePicture(grey, folder.file("g.jpg"), FileTypeJpeg);
    const Picture g = readPicture(folder.file("g.jpg"));
    EXPECT_EQ(g.bitCount, 8);
    EXPECT_EQ(g.height, 8);
}

TEST(ReadPicture, FilesThatAreNoPicturesGiveAnErrorNamingTheFile)
{
    ScratchFolder folder;
    writeBytes(folder.file("notes.jpg"), "just some text, not a picture\n");
    writeBytes(folder.file("empty.bmp"), "");
    for (const std::string& path : {folder.file("missing.bmp"), folder.file("notes.jpg"),
                                    folder.file("empty.bmp"), folder.path().string()}) {
        try {
            readPicture(path);
            ADD_FAILURE() << path << " was read";
        } catch (const Error& e) {
            EXPECT_EQ(e.file(), path);
            EXPECT_FALSE(e.reason().empty());
        }
    }
}

// Damaged files kept beside the tests: each must give our error, not a crash, a hang or a
// half-grey picture.
class BrokenFile : public ::testing::TestWithParam<const char*> {};

TEST_P(BrokenFile, IsRefusedWithAReason)
{
    const std::string path = std::string(CORVANE_TEST_DATA) + "/imaging/" + GetParam();
    ASSERT_FALSE(readBytes(path).empty()) << path << " is missing";
    try {
        readPicture(path);
        ADD_FAILURE() << path << " was read";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), path);
        EXPECT_FALSE(e.reason().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Imaging, BrokenFile,
                         ::testing::Values("truncated.bmp", "header-only.bmp", "huge-size.bmp",
                                           "zero-size.bmp", "truncated.png", "bad-crc.png",
                                           "truncated.jpg", "truncated.gif", "truncated.pcx",
                                           "truncated.tif", "garbage.tif", "script.mvg.bmp"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& ch : n)
                                 if (ch == '.' || ch == '-')
                                     ch = '_';
                             return n;
                         });

TEST(WritePicture, FailuresNameTheFileAndKeepWhatWasThere)
{
    ScratchFolder folder;
    const Picture picture = colourPicture(8, 8);
    const std::string existing = folder.file("keep.bmp");
    writeBytes(existing, "precious");

    EXPECT_THROW(writePicture(picture, existing, 3), Error); // no such type
    EXPECT_THROW(writePicture(Picture{}, existing, FileTypeBmp), Error);
    Picture broken = picture;
    broken.pixels.resize(5);
    EXPECT_THROW(writePicture(broken, existing, FileTypeBmp), Error);
    EXPECT_EQ(readBytes(existing), "precious");

    const std::string missingFolder = folder.file("no/such/folder/p.bmp");
    try {
        writePicture(picture, missingFolder, FileTypeBmp);
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), missingFolder);
    }
}

TEST(WritePicture, EscStopsEveryKindAndKeepsWhatWasThere)
{
    ScratchFolder folder;
    const Picture picture = colourPicture(40, 300);
    for (int type :
         {FileTypeBmp, FileTypePcx, FileTypeTiff, FileTypeJpeg, FileTypePng, FileTypePnm}) {
        const std::string path = folder.file("keep" + std::to_string(type));
        writeBytes(path, "precious");
        relief_test::ScriptedControl control;
        control.escapeFrom = 3; // a few rows in
        EXPECT_THROW(writePicture(picture, path, type, {}, control), Cancelled) << type;
        EXPECT_EQ(readBytes(path), "precious") << type;
        EXPECT_GE(control.checkpoints, 3) << type;
    }
    // Nothing of the stopped writes is left beside the files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              6);
    // Left alone, the gauge reaches 100.
    relief_test::ScriptedControl control;
    writePicture(picture, folder.file("whole.png"), FileTypePng, {}, control);
    ASSERT_FALSE(control.progress.empty());
    EXPECT_EQ(control.progress.back().second, 100);
}

TEST(WritePicture, AFullDiskIsAnError)
{
    for (int type : {FileTypeBmp, FileTypePcx, FileTypeTiff, FileTypeJpeg}) {
        try {
            writePicture(colourPicture(64, 64), "/dev/full", type);
            ADD_FAILURE() << "type " << type << " reported success on a full disk";
        } catch (const Error& e) {
            EXPECT_EQ(e.file(), "/dev/full");
        }
    }
}

TEST(Resolution, PerCentimetreBecomesWholePixelsPerInchHalvesToEven)
{
    EXPECT_EQ(pixelsPerInch(28.35, ResolutionUnit::PerCentimetre), 72); // 2835 per metre
    EXPECT_EQ(pixelsPerInch(118.11, ResolutionUnit::PerCentimetre), 300);
    EXPECT_EQ(pixelsPerInch(72.5, ResolutionUnit::PerInch), 72);
    EXPECT_EQ(pixelsPerInch(73.5, ResolutionUnit::PerInch), 74);
    EXPECT_EQ(pixelsPerInch(300, ResolutionUnit::None), 0);
    EXPECT_EQ(pixelsPerInch(-5, ResolutionUnit::PerInch), 0);
    EXPECT_EQ(pixelsPerInch(1e12, ResolutionUnit::PerInch), 0);
}

} // namespace
} // namespace corvane::imaging

namespace corvane::imaging {
namespace {

void expectSamePicture(const Picture& direct, const Picture& library)
{
    EXPECT_EQ(direct.bitCount, library.bitCount);
    EXPECT_EQ(direct.xRes, library.xRes);
    EXPECT_EQ(direct.yRes, library.yRes);
    expectSamePixels(direct, library);
}

// The direct BMP reader against the image library's decoder, which serves as the reference.
TEST(PlainBmp, ReadsWhatTheLibraryReads)
{
    ScratchFolder folder;
    for (int bits : {1, 4, 8, 24}) {
        Picture p = bits == 24 ? colourPicture(13, 5) : palettePicture(13, 5, bits);
        p.xRes = 96;
        p.yRes = 300;
        const std::string path = folder.file("p" + std::to_string(bits) + ".bmp");
        writePicture(p, path, FileTypeBmp);
        SCOPED_TRACE(bits);
        expectSamePicture(readPicture(path), readPictureThroughLibrary(path));
        const std::string bytes = readBytes(path);
        ASSERT_GT(bytes.size(), 34u);
        EXPECT_EQ(bytes.substr(28, 2), (std::string{char(bits), '\0'})); // bits a pixel
        EXPECT_EQ(bytes.substr(30, 4), std::string(4, '\0'));            // uncompressed
    }
}

std::string le16(unsigned v)
{
    return {char(v & 0xFF), char(v >> 8 & 0xFF)};
}
std::string le32(unsigned v)
{
    return le16(v & 0xFFFF) + le16(v >> 16);
}

TEST(PlainBmp, TopDownRowsAndShortPalettes)
{
    // 3 x 2, 4 bits, top row first (negative height), three palette entries of sixteen.
    const std::string palette = "\x00\x00\xFF\x00"s
                                "\x00\xFF\x00\x00"s
                                "\xFF\x00\x00\x00"s;
    auto bmp = [&](const std::string& rows) {
        const unsigned offset = 14 + 40 + unsigned(palette.size());
        return "BM"s + le32(offset + unsigned(rows.size())) + le32(0) + le32(offset) + le32(40) +
               le32(3) + le32(unsigned(-2)) + le16(1) + le16(4) + le32(0) +
               le32(unsigned(rows.size())) + le32(11811) + le32(11811) + le32(3) + le32(0) +
               palette + rows;
    };
    ScratchFolder folder;
    const std::string path = folder.file("topdown.bmp");
    writeBytes(path, bmp("\x01\x20\x00\x00"s
                         "\x22\x10\x00\x00"s));
    const Picture direct = readPicture(path);
    EXPECT_EQ(direct.bitCount, 4);
    EXPECT_EQ(direct.palette.size(), 16u);
    EXPECT_EQ(direct.xRes, 300);
    EXPECT_EQ(direct.pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(direct.pixel(1, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(direct.pixel(2, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(direct.pixel(0, 1), (Rgb{0, 0, 255}));
    EXPECT_EQ(direct.pixel(2, 1), (Rgb{0, 255, 0}));
    expectSamePicture(direct, readPictureThroughLibrary(path));

    // Index 15 has no colour: damage, refused by both readers.
    writeBytes(path, bmp("\x01\x20\x00\x00"s
                         "\x22\xF0\x00\x00"s));
    EXPECT_THROW(readPicture(path), Error);
    EXPECT_THROW(readPictureThroughLibrary(path), Error);
}

// Pixels said to start inside the headers or the palette would read header bytes as pixels.
TEST(PlainBmp, PixelsStartingInsideTheHeadersAreRefused)
{
    auto bmp = [](unsigned offset, unsigned bits, unsigned compression, const std::string& rest) {
        return "BM"s + le32(14 + 40 + unsigned(rest.size())) + le32(0) + le32(offset) + le32(40) +
               le32(1) + le32(1) + le16(1) + le16(bits) + le32(compression) + le32(4) + le32(0) +
               le32(0) + le32(0) + le32(0) + rest;
    };
    ScratchFolder folder;
    const std::string palette(8, '\x40'), pixels = "\x01\x02\x03\x00"s;
    for (const auto& [name, bytes] :
         {std::pair{"colour.bmp", bmp(14 + 40 - 8, 24, 0, pixels)},
          std::pair{"palette.bmp", bmp(14 + 40 + 4, 1, 0, palette + pixels)},
          std::pair{"rle.bmp", bmp(20, 8, 1, std::string(1024, '\0') + pixels)}}) {
        writeBytes(folder.file(name), bytes);
        try {
            readPicture(folder.file(name));
            ADD_FAILURE() << name << " was read";
        } catch (const Error& e) {
            EXPECT_NE(e.reason().find("inside the headers"), std::string::npos) << e.reason();
        }
    }
    writeBytes(folder.file("sound.bmp"), bmp(14 + 40 + 8, 1, 0, palette + pixels));
    EXPECT_EQ(readPicture(folder.file("sound.bmp")).bitCount, 1);
}

} // namespace
} // namespace corvane::imaging

namespace corvane::imaging {
namespace {

TEST(PlainBmp, WritesTheWindowsThreeLayoutByteForByte)
{
    Picture p;
    p.width = 3;
    p.height = 2;
    p.bitCount = 1;
    p.palette = {{0, 0, 0}, {0xFF, 0x80, 0x01}};
    p.pixels = {1, 0, 1,  // top row
                0, 1, 1}; // bottom row, written first
    p.xRes = 300;
    p.yRes = 72;
    ScratchFolder folder;
    writePicture(p, folder.file("p.bmp"), FileTypeBmp);
    const std::string expected =
        "BM"s + "\x46\x00\x00\x00"s + "\x00\x00\x00\x00"s +
        "\x3E\x00\x00\x00"s                                               // 70 bytes, pixels at 62
        + "\x28\x00\x00\x00"s + "\x03\x00\x00\x00"s + "\x02\x00\x00\x00"s // 40, 3 x 2
        + "\x01\x00"s + "\x01\x00"s + "\x00\x00\x00\x00"s + "\x08\x00\x00\x00"s // 1 plane, 1 bit
        + "\x23\x2E\x00\x00"s + "\x13\x0B\x00\x00"s                             // 11811, 2835 /m
        + "\x02\x00\x00\x00"s + "\x00\x00\x00\x00"s                             // two colours
        + "\x00\x00\x00\x00"s + "\x01\x80\xFF\x00"s                             // blue first
        + "\x60\x00\x00\x00"s + "\xA0\x00\x00\x00"s;                            // 011, 101
    EXPECT_EQ(readBytes(folder.file("p.bmp")), expected);
}

TEST(PlainBmp, WriteFailuresKeepTheOldFile)
{
    ScratchFolder folder;
    const std::string path = folder.file("old.bmp");
    writeBytes(path, "old contents");
    EXPECT_THROW(writePicture(colourPicture(300, 300), "/dev/full", FileTypeBmp), Error);
    EXPECT_THROW(writePicture(colourPicture(3, 3), folder.file("missing/x.bmp"), FileTypeBmp),
                 Error);
    EXPECT_EQ(readBytes(path), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1); // no temporary files left behind
}

} // namespace
} // namespace corvane::imaging

namespace corvane::imaging {
namespace {

// A Windows metafile kept beside the tests: a red rectangle on a 100 x 100 unit page at 72
// units an inch, which the library draws as a 100 x 100 pixel picture.
TEST(ReadPicture, WindowsMetafilesAreDrawnIntoPixels)
{
    const Picture p = readPicture(std::string(CORVANE_TEST_DATA) + "/imaging/rectangle.wmf");
    EXPECT_EQ(p.width, 100);
    EXPECT_EQ(p.height, 100);
    EXPECT_EQ(p.bitCount, 24);
    EXPECT_EQ(p.pixel(50, 50), (Rgb{255, 0, 0}));
}

} // namespace
} // namespace corvane::imaging

namespace corvane::imaging {
namespace {

TEST(ReadPicture, TransparentPartsBecomeWhiteNotBlack)
{
    ScratchFolder folder;
    Picture black = colourPicture(2, 1);
    black.pixels.assign(6, 0);
    writeWithCoder(black, {0, 255}, "PNG32", folder.file("alpha.png"));
    const Picture p = readPicture(folder.file("alpha.png"));
    EXPECT_EQ(p.pixel(0, 0), (Rgb{255, 255, 255})); // fully transparent
    EXPECT_EQ(p.pixel(1, 0), (Rgb{0, 0, 0}));       // opaque
}

} // namespace
} // namespace corvane::imaging
