// The Image menu's commands in a picture window: guards and their boxes, status endings,
// Modified, the 3D Shade sequence, Rotate 90 in Fit Window mode, and the same pixels as
// corvane-cli image.
#include "gui/app/frame.h"
#include "gui/picture/direction_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui_test_support.h"
#include "imaging/image_operations.h"
#include "imaging/picture_io.h"
#include "imaging/picture_model.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTimer>
#include <cstdlib>

namespace corvane::gui::testing {
namespace {

using imaging::Picture;
using imaging::Rgb;

Picture gradient(int width, int height)
{
    Picture p = solidPicture(width, height, {0, 0, 0});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = p.row(y) + 3 * x;
            px[0] = std::uint8_t(x * 7);
            px[1] = std::uint8_t(y * 11);
            px[2] = std::uint8_t((x * y) % 251);
        }
    return p;
}

Picture palettePicture(int width, int height, int bits)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.bitCount = bits;
    p.palette.resize(std::size_t(1) << bits);
    for (std::size_t i = 0; i < p.palette.size(); ++i)
        p.palette[i] = {std::uint8_t(i * 37), std::uint8_t(255 - i * 11), std::uint8_t(i * 5)};
    p.pixels.resize(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = std::uint8_t(i % p.palette.size());
    return p;
}

class ImageCommandTest : public FrameTest {
protected:
    TfrmPicture* openPicture(const Picture& picture)
    {
        TfrmPicture* window = NewPicture(*frame);
        window->TP->Model().assign(picture);
        window->FitWindowToImage();
        return window;
    }
    void run(TfrmPicture* window, const char* item)
    {
        QAction* action = window->MenuItem(QString::fromLatin1(item));
        ASSERT_TRUE(action) << item;
        action->trigger();
    }
    // Answers the next direction dialog with the given direction.
    void chooseDirectionLater(int direction)
    {
        QTimer::singleShot(0, frame.get(), [this, direction] {
            directionDialog().directionButton(direction - 1)->click();
            directionDialog().accept();
        });
    }
    QString panel0() const { return frame->StatusBar1().text(0); }
};

TEST_F(ImageCommandTest, FailedGuardsShowTheirBoxAndChangeNothing)
{
    struct Case {
        int bits;
        const char* item;
        MessageKind kind; // Information or Confirmation; Error for silent guards
        const char* text;
    };
    const Case cases[] = {
        {8, "mnuSharpen", MessageKind::Information, "Works on 24 Bit Images only"},
        {24, "mnuConvertToMillions", MessageKind::Error, nullptr},
        {1, "mnu8Colors", MessageKind::Error, nullptr},
        {4, "mnuConvertTo16", MessageKind::Error, nullptr},
        {8, "Popularity1", MessageKind::Confirmation, "Image is already 8 Bits"},
        {8, "Halftone1", MessageKind::Confirmation, "Image is already 8 Bits"},
        {8, "BlackandWhite2", MessageKind::Confirmation,
         "Image is 8 Bit. Convert to Millions Colors"},
        {24, "mnuReduceTo64", MessageKind::Information, "Works on 8 Bit Images only"},
        {4, "mnuFlip", MessageKind::Confirmation, "Works on 24 and 8 Bit Images only"},
        {4, "Flip901", MessageKind::Confirmation, "Works on 24 and 8 Bit Images only"},
        {4, "mnu3dShade2", MessageKind::Information, "Works on 24 and 8 Bit Images only"},
    };
    for (const Case& c : cases) {
        const Picture picture = c.bits == 24 ? gradient(12, 9) : palettePicture(12, 9, c.bits);
        TfrmPicture* window = openPicture(picture);
        frame->StatusBar1().setText(0, QStringLiteral("before"));
        shared().PictureChanged = false;
        prompts.messages.clear();
        run(window, c.item);
        if (c.text) {
            ASSERT_EQ(prompts.messages.size(), 1u) << c.item;
            EXPECT_EQ(prompts.messages[0].kind, c.kind) << c.item;
            EXPECT_EQ(prompts.messages[0].title, c.kind == MessageKind::Information
                                                     ? QStringLiteral("Information")
                                                     : QStringLiteral("Confirm"));
            EXPECT_EQ(prompts.messages[0].text, QString::fromLatin1(c.text));
            EXPECT_EQ(prompts.messages[0].buttons, ButtonOk);
        } else {
            EXPECT_TRUE(prompts.messages.empty()) << c.item;
        }
        EXPECT_FALSE(window->Modified) << c.item;
        EXPECT_FALSE(shared().PictureChanged) << c.item;
        EXPECT_EQ(window->TP->UndoLevels(), 0) << c.item;
        EXPECT_EQ(panel0(), QStringLiteral("before")) << c.item;
        window->SubWindow()->close();
        flushDeletes();
    }
}

TEST_F(ImageCommandTest, PassedGuardsRunAndGiveTheDepthTheNextGuardExpects)
{
    struct Case {
        int bits;
        const char* item;
        int resultBits;
    };
    const Case cases[] = {
        {8, "mnuConvertToMillions", 24}, {4, "mnu8Colors", 4},      {24, "Popularity1", 8},
        {24, "GreyScale1", 8},           {24, "mnuConvertTo16", 4}, {24, "BlackandWhite2", 1},
        {24, "mnuGrayWeighted", 8},      {8, "mnuReduce16", 8},     {8, "mnuFlip", 8},
        {24, "mnuSharpen", 24}};
    for (const Case& c : cases) {
        const Picture picture = c.bits == 24 ? gradient(12, 9) : palettePicture(12, 9, c.bits);
        TfrmPicture* window = openPicture(picture);
        shared().PictureChanged = false;
        run(window, c.item);
        EXPECT_TRUE(prompts.messages.empty()) << c.item;
        EXPECT_EQ(window->TP->ImageBitCount(), c.resultBits) << c.item;
        EXPECT_EQ(window->TP->UndoLevels(), 1) << c.item;
        EXPECT_TRUE(window->Modified) << c.item;
        EXPECT_TRUE(shared().PictureChanged) << c.item;
        EXPECT_EQ(panel0(), QStringLiteral("Ready...")) << c.item;
        window->Modified = false; // no close question
        window->SubWindow()->close();
        flushDeletes();
    }
}

TEST_F(ImageCommandTest, SomeCommandsEndWithoutReady)
{
    TfrmPicture* window = openPicture(gradient(12, 9));
    for (const char* item : {"mnuLaplace", "mnuSobel"}) {
        frame->StatusBar1().setText(0, QStringLiteral("before"));
        run(window, item);
        EXPECT_EQ(panel0(), QStringLiteral("before")) << item;
    }
    chooseDirectionLater(3);
    run(window, "mnuEmboss");
    EXPECT_EQ(panel0(), QStringLiteral("before"));
    EXPECT_EQ(window->TP->UndoLevels(), 3);
    EXPECT_EQ(shared().LightDirection, 3);
    chooseDirectionLater(5);
    run(window, "mnuGradientEdge");
    EXPECT_EQ(panel0(), QStringLiteral("Ready..."));
    window->Modified = false;
}

TEST_F(ImageCommandTest, ThreeDShadeConvertsToColourOnlyWhenNeeded)
{
    for (int bits : {8, 24}) {
        TfrmPicture* window = openPicture(bits == 24 ? gradient(12, 9) : palettePicture(12, 9, 8));
        chooseDirectionLater(2);
        run(window, "mnu3dShade"); // the item named mnu3dShade is "3&D Shade"
        EXPECT_EQ(window->MenuItem(QStringLiteral("mnu3dShade"))->text(),
                  QStringLiteral("3&D Shade"));
        // Optional colour conversion, then negative, emboss and grey: one level each.
        EXPECT_EQ(window->TP->UndoLevels(), bits == 24 ? 3 : 4) << bits;
        EXPECT_EQ(window->TP->ImageBitCount(), 8);
        EXPECT_EQ(panel0(), QStringLiteral("Ready..."));
        EXPECT_TRUE(window->Modified);
        window->Modified = false;
        window->SubWindow()->close();
        flushDeletes();
    }
}

TEST_F(ImageCommandTest, RotateNinetyFitsTheWindowToTheTurnedPicture)
{
    TfrmPicture* window = openPicture(gradient(60, 20));
    const QSize before = window->SubWindow()->size();
    run(window, "Flip901");
    EXPECT_EQ(window->TP->ImageWidth(), 20);
    EXPECT_NE(window->SubWindow()->size(), before);
    EXPECT_EQ(window->SubWindow()->size(), fittedWindowSize(*window->SubWindow(), {20, 60}));
    EXPECT_EQ(panel0(), QStringLiteral("Ready..."));
    window->Modified = false;
}

TEST_F(ImageCommandTest, GivesTheSamePixelsAsTheCommandLine)
{
    const Picture picture = gradient(31, 17);
    const QString in = writeBmp(folder, QStringLiteral("in.bmp"), picture);
    struct Case {
        const char* item;
        const char* op;
    };
    for (const Case& c : {Case{"mnuSharpen", "sharpen"}, Case{"MedianCut1", "convert-colors:2"},
                          Case{"mnuConvertTo16", "convert-colors:64"},
                          Case{"mnuGrayMax", "convert-to-gray:1,0.3,0.5,0.2"},
                          Case{"mnuShiftDifference", "shift-difference:3"}}) {
        TfrmPicture* window = openPicture(picture);
        run(window, c.item);
        const QString out = folder.filePath(QStringLiteral("out.bmp"));
        const std::string command = std::string(CORVANE_CLI) + " image '" + in.toStdString() +
                                    "' -o '" + out.toStdString() + "' --op " + c.op;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const Picture written = imaging::readPicture(out.toStdString());
        const Picture& shown = window->TP->Picture();
        ASSERT_EQ(written.width, shown.width);
        for (int y = 0; y < shown.height; ++y)
            for (int x = 0; x < shown.width; ++x)
                ASSERT_EQ(written.pixel(x, y), shown.pixel(x, y)) << c.item << " " << x << "," << y;
        window->Modified = false;
        window->SubWindow()->close();
        flushDeletes();
    }
}

} // namespace
} // namespace corvane::gui::testing
