// The picture readers and writers of each kind against each other, against the image
// library as a reference, and against damage: what comes back is what was written, in the
// depth the kind can hold; cut or corrupt files give our error naming the file.
#include "common/error.h"
#include "imaging/depth_levels.h"
#include "imaging/magick_library.h"
#include "imaging/picture_io.h"
#include "imaging_test_pictures.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace corvane::imaging {
namespace {

using namespace std::string_literals;

using testing::colourPicture;
using testing::palettePicture;
using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;

Picture greyRamp(int width, int height)
{
    Picture p = palettePicture(width, height, 8);
    for (int i = 0; i < 256; ++i)
        p.palette[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.row(y)[x] = std::uint8_t(x * 16 + y * 3);
    return p;
}

// Pixels equal within tolerance per channel (0 for the lossless kinds).
void expectClose(const Picture& expected, const Picture& actual, int tolerance,
                 const std::string& what)
{
    ASSERT_EQ(expected.width, actual.width) << what;
    ASSERT_EQ(expected.height, actual.height) << what;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const Rgb a = expected.pixel(x, y), b = actual.pixel(x, y);
            ASSERT_LE(std::abs(a.r - b.r), tolerance) << what << " at " << x << "," << y;
            ASSERT_LE(std::abs(a.g - b.g), tolerance) << what << " at " << x << "," << y;
            ASSERT_LE(std::abs(a.b - b.b), tolerance) << what << " at " << x << "," << y;
        }
}

TEST(PictureKinds, GreyAndBlackAndWhitePicturesKeepTheirDepth)
{
    ScratchFolder folder;
    const Picture grey = greyRamp(16, 9);
    for (const auto& [name, type, tolerance] :
         {std::tuple{"g.png", FileTypePng, 0}, std::tuple{"g.tif", FileTypeTiff, 0},
          std::tuple{"g.pgm", FileTypePnm, 0}, std::tuple{"g.jpg", FileTypeJpeg, 8}}) {
        writePicture(grey, folder.file(name), type);
        const Picture back = readPicture(folder.file(name));
        EXPECT_EQ(back.bitCount, 8) << name;
        expectClose(grey, back, tolerance, name);
    }
    Picture bits = palettePicture(19, 3, 1);
    bits.palette = {{255, 255, 255}, {0, 0, 0}};
    for (const auto& [name, type] :
         {std::pair{"b.pbm", FileTypePnm}, std::pair{"b.png", FileTypePng},
          std::pair{"b.tif", FileTypeTiff}}) {
        writePicture(bits, folder.file(name), type);
        const Picture back = readPicture(folder.file(name));
        EXPECT_EQ(back.bitCount, 1) << name;
        expectClose(bits, back, 0, name);
    }
    EXPECT_EQ(readBytes(folder.file("b.pbm")).substr(0, 8), "P4\n19 3\n");
}

// Colour samples above 8 bits become bytes; grey ones keep 16 bits as a depth map.
TEST(PictureKinds, PlainNetpbmAndSixteenBitSamples)
{
    const Picture colour = readPictureFromBytes("P3\n2 1 # two\n15\n15 0 0   0 15 7\n"s, "c.ppm");
    EXPECT_EQ(colour.bitCount, 24);
    EXPECT_EQ(colour.pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(colour.pixel(1, 0), (Rgb{0, 255, 119}));
    const Picture bits = readPictureFromBytes("P1\n3 2\n101\n0 1 0\n"s, "b.pbm");
    EXPECT_EQ(bits.bitCount, 1);
    EXPECT_EQ(bits.pixel(0, 0), (Rgb{0, 0, 0})); // 1 is black
    EXPECT_EQ(bits.pixel(1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(bits.pixel(1, 1), (Rgb{0, 0, 0}));
    const Picture grey = readPictureFromBytes("P2 3 1 1000 0 1000 500"s, "g.pgm");
    EXPECT_EQ(grey.bitCount, 16);
    EXPECT_EQ(grey.pixel(1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(grey.samples(0)[0], 0);
    EXPECT_EQ(grey.samples(0)[1], 65535);
    EXPECT_EQ(grey.samples(0)[2], 32768); // 500 * 65535 / 1000, halves up

    ScratchFolder folder;
    const Picture deep = colourPicture(7, 5);
    testing::writeWithCoder(deep, "PNG48", folder.file("deep.png"));
    const Picture back = readPicture(folder.file("deep.png"));
    EXPECT_EQ(back.bitCount, 24);
    expectClose(deep, back, 0, "16-bit PNG");
}

// Files the image library writes in kinds our writers never make, read by both readers.
void writeThroughLibrary(const Picture& p, const std::string& coder, const std::string& path,
                         const std::function<void(ImageInfo&, Image&)>& adjust)
{
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Rgb c = p.pixel(x, y);
            samples.insert(samples.end(), {c.r, c.g, c.b, std::uint8_t(x * 40)});
        }
    auto exception = magick::newException();
    magick::ImagePtr image(ConstituteImage(std::size_t(p.width), std::size_t(p.height), "RGBA",
                                           CharPixel, samples.data(), exception.get()));
    ASSERT_TRUE(image);
    auto info = magick::newImageInfo();
    adjust(*info, *image);
    const std::string target = coder + ":" + path;
    magick::setFileName(info->filename, target);
    magick::setFileName(image->filename, target);
    ASSERT_TRUE(WriteImage(info.get(), image.get())) << path;
}

TEST(PictureKinds, OtherVariantsReadAsTheImageLibraryReadsThem)
{
    ScratchFolder folder;
    const Picture p = colourPicture(37, 21); // partial tiles at the right and bottom
    auto opaque = [](ImageInfo&, Image& image) { image.matte = MagickFalse; };
    struct Variant {
        const char* name;
        const char* coder;
        std::function<void(ImageInfo&, Image&)> adjust;
        int tolerance;
    };
    const std::vector<Variant> variants = {
        {"alpha.png", "PNG32", [](ImageInfo&, Image&) {}, 1},
        {"interlaced-alpha.png", "PNG64",
         [](ImageInfo& info, Image&) { info.interlace = LineInterlace; }, 1},
        {"interlaced.png", "PNG24",
         [&](ImageInfo& info, Image& image) {
             opaque(info, image);
             info.interlace = LineInterlace;
         },
         0},
        {"lzw.tif", "TIFF",
         [&](ImageInfo& info, Image& image) {
             opaque(info, image);
             info.compression = image.compression = LZWCompression;
         },
         0},
        {"deep-grey.tif", "TIFF",
         [&](ImageInfo& info, Image& image) {
             opaque(info, image);
             TransformImageColorspace(&image, GRAYColorspace);
             image.depth = 16;
         },
         1},
        {"tiled.tif", "TIFF",
         [&](ImageInfo& info, Image& image) {
             opaque(info, image);
             SetImageOption(&info, "tiff:tile-geometry", "16x16");
         },
         0},
        {"tiled-grey.tif", "TIFF",
         [&](ImageInfo& info, Image& image) {
             opaque(info, image);
             TransformImageColorspace(&image, GRAYColorspace);
             image.depth = 16;
             SetImageOption(&info, "tiff:tile-geometry", "16x16");
         },
         1},
        {"planes.tif", "TIFF",
         [&](ImageInfo& info, Image& image) {
             opaque(info, image);
             info.interlace = image.interlace = PlaneInterlace;
         },
         0},
        {"alpha.tif", "TIFF", [](ImageInfo&, Image&) {}, 1},
        {"cmyk.jpg", "JPEG",
         [&](ImageInfo& info, Image& image) {
             opaque(info, image);
             TransformImageColorspace(&image, CMYKColorspace);
             info.quality = image.quality = 100;
         },
         2},
    };
    for (const Variant& v : variants) {
        const std::string path = folder.file(v.name);
        writeThroughLibrary(p, v.coder, path, v.adjust);
        const Picture ours = readPicture(path);
        const Picture library = readPictureThroughLibrary(path);
        // 16-bit grey stays a depth map here, where the library gives 8 bits.
        const bool deepGrey = std::string(v.name).find("grey") != std::string::npos;
        EXPECT_EQ(ours.bitCount, deepGrey ? 16 : library.bitCount) << v.name;
        EXPECT_EQ(reducedTo256Levels(ours).bitCount, library.bitCount) << v.name;
        expectClose(library, ours, v.tolerance, v.name);
    }
}

// A file cut anywhere, read from disk or from memory, is refused naming the file.
TEST(PictureKinds, CutFilesOfEveryKindAreRefused)
{
    ScratchFolder folder;
    for (const auto& [name, type] :
         {std::pair{"p.bmp", FileTypeBmp}, std::pair{"p.jpg", FileTypeJpeg},
          std::pair{"p.png", FileTypePng}, std::pair{"p.tif", FileTypeTiff},
          std::pair{"p.ppm", FileTypePnm}, std::pair{"p.pcx", FileTypePcx}})
        for (const Picture& picture : {colourPicture(64, 40), greyRamp(64, 40)}) {
            const std::string whole = folder.file(name);
            writePicture(picture, whole, type);
            const std::string bytes = readBytes(whole);
            // The last byte of a TIFF ends the (empty) link to a next page: no loss.
            const std::size_t nearlyAll = bytes.size() - (type == FileTypeTiff ? 0 : 1);
            for (const std::size_t length : {std::size_t(12), bytes.size() / 2, nearlyAll}) {
                if (length == bytes.size())
                    continue;
                const std::string cut = folder.file("cut-" + std::to_string(length) + "-" + name);
                writeBytes(cut, bytes.substr(0, length));
                try {
                    readPicture(cut);
                    ADD_FAILURE() << cut << " was read";
                } catch (const Error& e) {
                    EXPECT_EQ(e.file(), cut);
                }
                EXPECT_THROW(readPictureFromBytes(bytes.substr(0, length), cut), Error) << cut;
            }
            expectClose(readPicture(whole), readPictureFromBytes(bytes, whole), 0, name);
        }
}

TEST(PictureKinds, APictureLargerThanTheMemoryIsRefusedWithTheMemoryItNeeds)
{
    const std::string ppm = "P6\n1000 1000\n255\n"s + std::string(3000000, '\x7F');
    try {
        readPictureFromBytes(ppm, "big.ppm", silentRunControl(), 2000000);
        ADD_FAILURE() << "read beyond the limit";
    } catch (const Error& e) {
        EXPECT_NE(e.reason().find("1000 x 1000 pixels: it needs 3 MB"), std::string::npos)
            << e.reason();
    }
    EXPECT_EQ(readPictureFromBytes(ppm, "big.ppm", silentRunControl(), 3000000).width, 1000);
}

std::uint32_t crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        crc ^= std::uint8_t(ch);
        for (int k = 0; k < 8; ++k)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string be32(std::uint32_t v)
{
    return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
}

// The size of a big scan reaches the memory check instead of being called damage.
TEST(PictureKinds, AWidePngIsJudgedByTheMemoryItNeeds)
{
    const std::string ihdr = "IHDR"s + be32(20000) + be32(20000) + "\x08\x02\x00\x00\x00"s;
    const std::string idat = "IDAT"s + std::string(10, '\0');
    const std::string png = "\x89PNG\r\n\x1A\n"s + be32(13) + ihdr + be32(crc32(ihdr)) + be32(10) +
                            idat + be32(crc32(idat));
    try {
        readPictureFromBytes(png, "scan.png", silentRunControl(), std::uint64_t(1) << 30);
        ADD_FAILURE() << "read beyond the limit";
    } catch (const Error& e) {
        EXPECT_NE(e.reason().find("20000 x 20000 pixels: it needs 1145 MB"), std::string::npos)
            << e.reason();
    }
}

TEST(PictureKinds, JpegResolutionComesFromExifWhenJfifHasNone)
{
    ScratchFolder folder;
    writePicture(colourPicture(8, 8), folder.file("p.jpg"), FileTypeJpeg); // JFIF 1:1, no unit
    const std::string jpeg = readBytes(folder.file("p.jpg"));
    auto le16 = [](unsigned v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
    auto le32 = [&](unsigned v) { return le16(v & 0xFFFF) + le16(v >> 16); };
    auto entry = [&](unsigned tag, unsigned type, unsigned value) {
        return le16(tag) + le16(type) + le32(1) + le32(value);
    };
    // IFD at 8: three entries (2 + 36 + 4 bytes), then the two rationals at 50 and 58.
    const std::string tiff = "II*\0"s + le32(8) + le16(3) + entry(0x011A, 5, 50) +
                             entry(0x011B, 5, 58) + entry(0x0128, 3, 3) + le32(0) + le32(11811) +
                             le32(100) + le32(2835) + le32(100);
    const std::string app1 = "Exif\0\0"s + tiff;
    const std::string segment =
        "\xFF\xE1"s + char((app1.size() + 2) >> 8) + char((app1.size() + 2) & 0xFF) + app1;
    const Picture p =
        readPictureFromBytes(jpeg.substr(0, 2) + segment + jpeg.substr(2), "exif.jpg");
    EXPECT_EQ(p.xRes, 300); // 118.11 per centimetre
    EXPECT_EQ(p.yRes, 72);
}

TEST(PictureKinds, WritableKindsFollowTheName)
{
    EXPECT_EQ(fileTypeFromName("scan.PNG"), FileTypePng);
    EXPECT_EQ(fileTypeFromName("/a.b/grey.pgm"), FileTypePnm);
    EXPECT_EQ(fileTypeFromName("photo.JPEG"), FileTypeJpeg);
    EXPECT_TRUE(canWriteFileKind("x.tiff"));
    for (const char* name : {"anim.gif", "drawing.wmf", "noextension", "archive.png.gz"})
        EXPECT_FALSE(canWriteFileKind(name)) << name;
}

} // namespace
} // namespace corvane::imaging
