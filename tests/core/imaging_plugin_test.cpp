// Plug-in filters and the binary PNM pictures they read and write.
#include "common/error.h"
#include "imaging/picture_model.h"
#include "imaging/plugin_filter.h"
#include "imaging/pnm_codec.h"
#include "imaging_test_pictures.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

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

TEST_F(PluginFolder, ARunawayIsStoppedByThePicturesSizeAndItsWordsAreCutToALine)
{
    PictureModel model;
    model.assign(colourPicture(40, 30));
    try {
        model.runPlugin(plugin("runaway", "cat >/dev/null; exec cat /dev/zero"));
        ADD_FAILURE() << "a plug-in writing without end must be stopped";
    } catch (const Error& e) {
        // 16 times a 3.6 kB picture is far below the floor: stopped at 64 MB, not 4 GB.
        EXPECT_NE(e.reason().find("wrote more than 64 MB"), std::string::npos) << e.what();
    }

    try {
        model.runPlugin(
            plugin("verbose", "cat >/dev/null; printf 'bad %05000d\\nmore' 0 >&2; exit 1"));
        ADD_FAILURE() << "the plug-in failed";
    } catch (const Error& e) {
        const std::string reason = e.reason();
        const std::size_t quoted = reason.find("bad 000");
        ASSERT_NE(quoted, std::string::npos) << reason;
        EXPECT_EQ(reason.size() - quoted, 203u) << reason; // 200 characters and "..."
        EXPECT_EQ(reason.substr(reason.size() - 3), "...");
    }
}

TEST_F(PluginFolder, WhatAPluginStartsEndsWithIt)
{
    // Leaves a program running with its output elsewhere, then does its work.
    const std::string child = folder.file("child.pid");
    const std::string script =
        "sleep 600 >/dev/null 2>&1 </dev/null &\necho $! > '" + child + "'\nexec cat";
    PictureModel model;
    model.assign(colourPicture(40, 30));
    model.runPlugin(plugin("leaves-a-child", script));
    const std::string pidText = corvane::testing::readFile(child);
    ASSERT_FALSE(pidText.empty());
    const int pid = std::stoi(pidText);
    // SIGKILL is delivered at once, but the process table shows it a moment later.
    bool gone = false;
    for (int tries = 0; tries < 1000 && !gone; ++tries) {
        const std::string stat =
            corvane::testing::readFile("/proc/" + std::to_string(pid) + "/stat");
        gone = stat.empty() || stat.find(") Z") != std::string::npos;
        if (!gone)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone) << "the plug-in's child " << pid << " is still running";
    if (!gone)
        ::kill(pid, SIGKILL);
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
