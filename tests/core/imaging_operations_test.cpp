// The image operations: the depth each result has (the menu's guards depend on it), one
// property of each result, deterministic output, and refused arguments.
#include "common/error.h"
#include "imaging/image_operations.h"
#include "imaging/operation_chain.h"
#include "imaging/operation_table.h"
#include "imaging/palette_kinds.h"
#include "imaging/picture_edit.h"
#include "imaging/picture_io.h"
#include "imaging_test_pictures.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace corvane::imaging {
namespace {

using testing::colourPicture;
using testing::palettePicture;

bool equalPixels(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

// A picture with a raised square in the middle, so edge and relief filters have work.
Picture steppedPicture()
{
    Picture p = colourPicture(40, 30);
    fill(p, {10, 8, 20, 14}, Rgb{230, 220, 210});
    return p;
}

TEST(ImageOperations, EachResultHasTheDepthTheMenuGuardsExpect)
{
    const Picture colour = steppedPicture();
    for (int method : {1, 2, 4}) {
        const Picture grey = convertToGray(colour, method, 0.3f, 0.59f, 0.11f);
        EXPECT_TRUE(isGreyRamp(grey)) << method;
    }
    for (int method : {1, 2, 4, 8, 16, 128}) {
        const Picture p = convertColors(colour, method);
        EXPECT_EQ(p.bitCount, 8) << method;
        EXPECT_TRUE(isConsistent(p)) << method;
    }
    EXPECT_EQ(convertColors(colour, 64).bitCount, 4);
    EXPECT_TRUE(isBlackAndWhite(convertColors(colour, 32)));
    EXPECT_EQ(convertTo24Bit(palettePicture(9, 7, 4)).bitCount, 24);
    EXPECT_EQ(reduceTo8Colors(colour, 100).bitCount, 4);
    EXPECT_TRUE(isGreyRamp(reduceGrayShades(colour, 64)));
    // Colour-value operations keep a palette picture's depth.
    EXPECT_EQ(negative(palettePicture(9, 7, 4)).bitCount, 4);
    EXPECT_EQ(adjustBrightness(palettePicture(9, 7, 8), 20, 3).bitCount, 8);
    // Filters work on colours.
    EXPECT_EQ(sharpen(palettePicture(9, 7, 8)).bitCount, 24);
    EXPECT_EQ(rotateImage(palettePicture(9, 7, 1), 90).bitCount, 1);
}

TEST(ImageOperations, ColourReductionsKeepTheirPromises)
{
    const Picture colour = colourPicture(64, 48);
    std::set<std::uint8_t> used;
    const Picture sixteen = convertColors(colour, 64);
    for (std::uint8_t i : sixteen.pixels)
        used.insert(i);
    EXPECT_LE(used.size(), 16u);
    const Picture grey = convertToGray(colour, 4, 0.3f, 0.59f, 0.11f);
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x) {
            const Rgb c = grey.pixel(x, y);
            ASSERT_TRUE(c.r == c.g && c.g == c.b);
        }
    // Maximum and mean give their own greys: (10, 200, 30) is 200 and 80.
    Picture one = colourPicture(1, 1);
    one.pixels = {10, 200, 30};
    EXPECT_EQ(convertToGray(one, 1, .3f, .5f, .2f).pixels[0], 200);
    EXPECT_EQ(convertToGray(one, 2, .3f, .5f, .2f).pixels[0], 80);
    EXPECT_EQ(convertToGray(one, 4, .3f, .59f, .11f).pixels[0], 124); // 3 + 118 + 3.3
    std::set<std::uint8_t> shades;
    for (std::uint8_t v : reduceGrayShades(colour, 16).pixels)
        shades.insert(v);
    EXPECT_LE(shades.size(), 16u);
    // A picture of few colours survives the 256-colour palettes unchanged.
    const Picture few = palettePicture(20, 10, 4);
    EXPECT_TRUE(equalPixels(convertColors(few, 1), few));
    EXPECT_TRUE(equalPixels(convertColors(few, 2), few));
}

TEST(ImageOperations, ValueAndGeometryOperationsUndoThemselves)
{
    const Picture colour = colourPicture(13, 7);
    EXPECT_TRUE(equalPixels(negative(negative(colour)), colour));
    Picture turned = colour;
    for (int i = 0; i < 4; ++i)
        turned = rotateImage(turned, 90);
    EXPECT_TRUE(equalPixels(turned, colour));
    const Picture flipped = rotateImage(colour, 180);
    EXPECT_EQ(flipped.pixel(0, 0), colour.pixel(12, 6));
    const Picture quarter = rotateImage(colour, 90);
    EXPECT_EQ(quarter.width, 7);
    EXPECT_EQ(quarter.pixel(6, 0), colour.pixel(0, 0)); // clockwise: top left to top right
    EXPECT_TRUE(equalPixels(rotateImage(colour, -90), rotateImage(colour, 270)));
    const Picture half = resizeImage(colourPicture(40, 30), 0.5);
    EXPECT_EQ(half.width, 20);
    EXPECT_EQ(half.height, 15);
    EXPECT_TRUE(isGreyRamp(resizeImage(convertToGray(colour, 4, .3f, .59f, .11f), 2)));
    // The filter's weights add up to one at every size: a flat colour stays that colour,
    // edges included, and a smooth ramp keeps its ends.
    Picture flat = colourPicture(37, 23);
    fill(flat, {0, 0, 37, 23}, Rgb{90, 60, 30});
    for (double ratio : {0.37, 1.0, 2.5}) {
        const Picture r = resizeImage(flat, ratio);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                ASSERT_EQ(r.pixel(x, y), (Rgb{90, 60, 30})) << ratio;
    }
    // Contrast stretches low..high over the whole range.
    Picture one = colourPicture(1, 1);
    one.pixels = {62, 128, 193};
    EXPECT_EQ(adjustContrast(one, 62, 193, 3).pixels, (std::vector<std::uint8_t>{0, 128, 255}));
    EXPECT_EQ(adjustContrast(one, 62, 193, ChannelBlue).pixels,
              (std::vector<std::uint8_t>{62, 128, 255}));
    EXPECT_EQ(adjustColor(one, 10, 0, -100).pixels, (std::vector<std::uint8_t>{88, 128, 0}));
    EXPECT_EQ(posterize(one, 1).pixels, (std::vector<std::uint8_t>{0, 255, 255}));
}

TEST(ImageOperations, DirectionsAndFiltersActOnWhatTheySee)
{
    const Picture stepped = steppedPicture();
    for (int a = 1; a <= 8; ++a)
        for (int b = a + 1; b <= 8; ++b) {
            EXPECT_FALSE(equalPixels(emboss(stepped, a), emboss(stepped, b))) << a << " " << b;
            EXPECT_FALSE(equalPixels(gradientEdge(stepped, a), gradientEdge(stepped, b)))
                << a << " " << b;
        }
    // Emboss leaves flat ground mid grey; Laplace finds no edge there.
    Picture flat = colourPicture(8, 8);
    fill(flat, {0, 0, 8, 8}, Rgb{90, 90, 90});
    EXPECT_EQ(emboss(flat, 5).pixel(4, 4), (Rgb{128, 128, 128}));
    EXPECT_EQ(laplace(flat).pixel(4, 4), (Rgb{0, 0, 0}));
    EXPECT_TRUE(equalPixels(blur(flat), flat));
    // Despeckle removes a lone speck.
    Picture speck = flat;
    fill(speck, {3, 3, 1, 1}, Rgb{255, 0, 0});
    EXPECT_TRUE(equalPixels(despeckle(speck), flat));
    EXPECT_NE(sharpen(speck).pixel(3, 3), (Rgb{90, 90, 90}));
    // Despeckle is the true median of each 3 x 3 neighbourhood (edges repeated).
    Picture noisy = colourPicture(9, 7);
    for (std::size_t i = 0; i < noisy.pixels.size(); ++i)
        noisy.pixels[i] = std::uint8_t((i * 2654435761u) >> 7);
    const Picture median = despeckle(noisy);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            std::vector<std::uint8_t> v;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    v.push_back(noisy.pixel(std::clamp(x + i, 0, 8), std::clamp(y + j, 0, 6)).g);
            std::nth_element(v.begin(), v.begin() + 4, v.end());
            ASSERT_EQ(median.pixel(x, y).g, v[4]) << x << "," << y;
        }
}

TEST(ImageOperations, ShadingIsRepeatableAndFollowsItsInputs)
{
    const Picture stepped = steppedPicture();
    const Picture a = lambertShade(stepped, 45, 45, 3, 0.1f);
    EXPECT_TRUE(equalPixels(a, lambertShade(stepped, 45, 45, 3, 0.1f)));
    EXPECT_FALSE(equalPixels(a, lambertShade(stepped, 45, 45, 3, 0.5f)));
    EXPECT_FALSE(equalPixels(a, lambertShade(stepped, -45, 45, 3, 0.1f)));
    // Without texture, lit from straight above, flat ground keeps its colour.
    Picture flat = colourPicture(8, 8);
    fill(flat, {0, 0, 8, 8}, Rgb{90, 60, 30});
    EXPECT_TRUE(equalPixels(lambertShade(flat, 0, 0, 1, 0.5f), flat));
}

TEST(ImageOperations, BadArgumentsAreRefusedWithTheAllowedValues)
{
    const Picture colour = colourPicture(4, 4);
    EXPECT_THROW(convertColors(colour, 3), Error);
    EXPECT_THROW(convertToGray(colour, 3, .3f, .5f, .2f), Error);
    EXPECT_THROW(emboss(colour, 0), Error);
    EXPECT_THROW(adjustContrast(colour, 200, 100, 3), Error);
    EXPECT_THROW(rotateImage(colour, 45), Error);
    EXPECT_THROW(resizeImage(colour, 0), Error);
    EXPECT_THROW(resizeImage(colour, 100000), Error);
    EXPECT_THROW(sharpen(Picture{}), Error);

    const OperationCall call = parseOperationCall("adjust-contrast:62,193,3");
    EXPECT_STREQ(call.operation->name, "adjust-contrast");
    EXPECT_EQ(call.arguments, (std::vector<double>{62, 193, 3}));
    EXPECT_EQ(parseOperationCall("resize-image:0.5").arguments, std::vector<double>{0.5});
    EXPECT_EQ(parseOperationCall("convert-to-gray:1").arguments.size(), 4u);
    for (const char* bad : {"embos:3", "emboss:9", "emboss:1.5", "emboss:1,2", "emboss:",
                            "convert-colors:3", "resize-image:x", "adjust-contrast:200,100"}) {
        try {
            parseOperationCall(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(std::string(bad).substr(0, 5)), std::string::npos)
                << e.what();
        }
    }
}

TEST(ImageOperations, TheShapeForeseenIsTheShapeMadeAndAHopelessChainIsRefused)
{
    // The foreseen size is exact and the foreseen depth never above the real one, for every
    // operation on a colour picture, a grey one and a palette one, at a few arguments.
    Picture grey = palettePicture(7, 5, 8);
    for (int i = 0; i < 256; ++i)
        grey.palette[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    for (const Picture& input : {colourPicture(7, 5), grey, palettePicture(7, 5, 4)}) {
        for (const ImageOperation& op : imageOperations()) {
            std::vector<std::vector<double>> argumentSets{{}};
            for (const OperationArgument& a : op.arguments)
                argumentSets[0].push_back(a.fallback);
            if (std::string(op.name) == "resize-image")
                argumentSets.push_back({2.6});
            if (std::string(op.name) == "rotate-image")
                argumentSets.push_back({-270});
            if (std::string(op.name) == "convert-colors")
                for (double method : {32, 64})
                    argumentSets.push_back({method});
            for (const std::vector<double>& arguments : argumentSets) {
                const OperationCall call{&op, arguments};
                const PictureShape foreseen = resultShape(call, input.shape());
                const Picture made = op.run(input, arguments, silentRunControl());
                EXPECT_EQ(foreseen.width, made.width) << op.name;
                EXPECT_EQ(foreseen.height, made.height) << op.name;
                EXPECT_LE(foreseen.bitCount, made.bitCount) << op.name << " " << input.bitCount;
                EXPECT_GE(workingMemory(call, input.shape()), made.pixels.size()) << op.name;
            }
        }
    }

    const std::vector<std::optional<OperationCall>> enlarge{parseOperationCall("resize-image:100")};
    const PictureShape photo{600, 400, 24};
    const std::uint64_t plenty = std::uint64_t(1) << 50;
    const auto reasonOf = [&](const std::vector<std::optional<OperationCall>>& steps,
                              const ChainOutput& output, std::uint64_t memory) {
        try {
            checkOperationChain(photo, steps, output, memory);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    // 60000 x 40000 in colour: 7.2 GB, more than a BMP file holds.
    EXPECT_EQ(reasonOf(enlarge, {FileTypeBmp, "out.bmp"}, plenty),
              "out.bmp: resize-image would make a 60000 x 40000 picture, too large for a BMP "
              "file (4 GB at most); nothing was done");
    EXPECT_EQ(reasonOf(enlarge, {FileTypePng, "out.png"}, plenty), "");
    // The result, a colour copy of the input and the rows resampled across.
    EXPECT_EQ(reasonOf(enlarge, {FileTypePng, "out.png"}, std::uint64_t(1) << 30),
              "Not enough memory: resize-image for a 60000 x 40000 picture needs about 7.0 GB.");
    // After a plug-in nothing is known: nothing is refused.
    EXPECT_EQ(reasonOf({std::nullopt, enlarge[0]}, {FileTypeBmp, "out.bmp"}, 1), "");
    EXPECT_EQ(reasonOf({}, {FileTypeBmp, "out.bmp"}, 1), "");
}

} // namespace
} // namespace corvane::imaging
