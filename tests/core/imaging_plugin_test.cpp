// Plug-in filters and the binary PNM pictures they read and write.
#include "common/error.h"
#include "imaging/picture_model.h"
#include "imaging/plugin_filter.h"
#include "imaging/pnm_codec.h"
#include "imaging_test_pictures.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace corvane::imaging {
namespace {

using namespace std::string_literals;

using testing::colourPicture;
using testing::palettePicture;
using testing::ScratchFolder;
using testing::writeBytes;

Picture greyPicture(int width, int height)
{
    Picture p = palettePicture(width, height, 8);
    for (int i = 0; i < 256; ++i)
        p.palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    return p;
}

TEST(Pnm, EncodesColourAsP6AndGreyPaletteAsP5)
{
    Picture colour;
    colour.width = 2;
    colour.height = 1;
    colour.pixels = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(encodePnm(colour), "P6\n2 1\n255\n\x01\x02\x03\x04\x05\x06"s);

    Picture grey = greyPicture(3, 1);
    grey.pixels = {0, 128, 255};
    EXPECT_EQ(encodePnm(grey), "P5\n3 1\n255\n\x00\x80\xFF"s);

    Picture coloured = palettePicture(1, 1, 1); // a colour palette is expanded to RGB
    EXPECT_EQ(encodePnm(coloured).substr(0, 2), "P6");
}

TEST(Pnm, DecodesCommentsSixteenBitSamplesAndScalesToBytes)
{
    const Picture grey = decodePnm("P5 # made by hand\n2 1 # size\n15\n\x0F\x05"s);
    EXPECT_EQ(grey.bitCount, 8);
    EXPECT_EQ(grey.pixel(0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(grey.pixel(1, 0), (Rgb{85, 85, 85}));

    const Picture deep = decodePnm("P6\n1 1\n65535\n\xFF\xFF\x00\x00\x80\x00"s);
    EXPECT_EQ(deep.bitCount, 24);
    EXPECT_EQ(deep.pixel(0, 0), (Rgb{255, 0, 128}));
}

TEST(Pnm, RefusesWhatIsNotABinaryPicture)
{
    for (const std::string& bad :
         {"hello"s, "P3\n1 1\n255\n1 2 3\n"s, "P6\n2 2\n255\n\x01"s, "P5\n0 3\n255\n"s,
          "P5\n1 1\n0\n\x01"s, "P5\n99999999999 1\n255\n"s, "P5\n1 1\n255"s})
        EXPECT_THROW(decodePnm(bad), Error) << bad;
}

class PluginFolder : public ::testing::Test {
protected:
    std::string plugin(const std::string& name, const std::string& script)
    {
        const std::string path = folder.file(name);
        writeBytes(path, "#!/bin/sh\n" + script + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    ScratchFolder folder;
};

TEST_F(PluginFolder, ListsExecutableFilesOnly)
{
    plugin("b-invert", "cat");
    plugin("a-smooth", "cat");
    writeBytes(folder.file("readme.txt"), "not a program");
    std::filesystem::create_directory(folder.file("subfolder"));
    const auto found = listPlugins(folder.path().string());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(pluginName(found[0]), "a-smooth");
    EXPECT_EQ(pluginName(found[1]), "b-invert");
    EXPECT_TRUE(listPlugins(folder.file("missing")).empty());
}

TEST_F(PluginFolder, ABigPictureGoesThroughAndBackAsOneUndoLevel)
{
    // More than a pipe holds, so both directions must flow at once.
    PictureModel model;
    Picture big = colourPicture(300, 200);
    big.xRes = 254;
    model.assign(big);
    model.runPlugin(plugin("pass", "cat"));
    EXPECT_EQ(model.picture().pixels, big.pixels);
    EXPECT_EQ(model.xRes(), 254);
    EXPECT_EQ(model.undoLevels(), 1);
}

TEST_F(PluginFolder, AGreyResultOfAPalettePictureKeepsItsDepth)
{
    PictureModel model;
    Picture fourBit = palettePicture(4, 2, 4);
    for (int i = 0; i < 16; ++i)
        fourBit.palette[i] = {std::uint8_t(i * 17), std::uint8_t(i * 17), std::uint8_t(i * 17)};
    model.assign(fourBit);
    model.runPlugin(plugin("pass", "cat"));
    EXPECT_EQ(model.bitCount(), 4);
    EXPECT_EQ(model.picture().pixels, fourBit.pixels);
}

TEST_F(PluginFolder, AResultOfAnotherSizeReplacesThePicture)
{
    // Does not read its input at all: writing the picture must not fail or hang.
    PictureModel model;
    model.assign(colourPicture(300, 200));
    model.runPlugin(plugin("tiny", R"(printf 'P5\n2 1\n255\n\001\002')"));
    EXPECT_EQ(model.width(), 2);
    EXPECT_EQ(model.bitCount(), 8);
    model.undo();
    EXPECT_EQ(model.width(), 300);
}

TEST_F(PluginFolder, FailuresNameThePluginAndLeaveThePictureAlone)
{
    struct Case {
        std::string name, script, expected;
    };
    const Case cases[] = {
        {"refuses", "cat >/dev/null; echo 'needs a colour picture' >&2; exit 3",
         "exit status 3: needs a colour picture"},
        {"crashes", "kill -SEGV $$", "crashed (signal 11)"},
        {"chatters", "cat >/dev/null; echo hello", "no usable picture"},
        {"explains", "cat >/dev/null; echo 'out of ink' >&2", "no usable picture: "},
        {"silent", "cat >/dev/null", "no usable picture"},
    };
    PictureModel model;
    const Picture original = colourPicture(40, 30);
    model.assign(original);
    for (const Case& c : cases) {
        try {
            model.runPlugin(plugin(c.name, c.script));
            ADD_FAILURE() << c.name << " succeeded";
        } catch (const Error& e) {
            EXPECT_EQ(e.file(), c.name);
            EXPECT_NE(e.reason().find(c.expected), std::string::npos) << e.what();
        }
        EXPECT_EQ(model.picture().pixels, original.pixels);
        EXPECT_EQ(model.undoLevels(), 0);
    }
    EXPECT_THROW(model.runPlugin(folder.file("not-there")), Error);
}

// Esc after a few checkpoints: stands for the user giving up on a plug-in that hangs.
class EscapeAfter : public RunControl {
public:
    void checkpoint() override { ++checkpoints; }
    bool escapePressed() override { return checkpoints >= 3; }
    void showStatus(const std::string& text) override { status = text; }
    int checkpoints = 0;
    std::string status;
};

TEST_F(PluginFolder, EscapeEndsAPluginThatHangsAndKeepsThePicture)
{
    PictureModel model;
    const Picture original = colourPicture(40, 30);
    model.assign(original);
    EscapeAfter control;
    EXPECT_THROW(model.runPlugin(plugin("hangs", "exec sleep 600"), control), Cancelled);
    EXPECT_EQ(control.checkpoints, 3);
    EXPECT_EQ(control.status, "Running plug-in hangs... Esc to Cancel.");
    EXPECT_EQ(model.picture().pixels, original.pixels);
    EXPECT_EQ(model.undoLevels(), 0);
}

} // namespace
} // namespace corvane::imaging
