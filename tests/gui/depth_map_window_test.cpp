// A 16-bit depth map in the picture window: Picture Information, Save at 16 bits or, for
// kinds that hold 256 levels, only once the user agrees to the reduction; image commands
// that ask before they reduce it; and the surface dialog writing the same G-code and STL as
// the command line from it.
#include "depth_pictures.h"
#include "gui/picture/picture_information.h"
#include "imaging/depth_levels.h"
#include "imaging/picture_io.h"
#include "imaging/picture_model.h"
#include "surface_dialog_support.h"

#include <QAction>
#include <QFileInfo>

namespace corvane::gui::testing {
namespace {

using imaging::Picture;

// A ramp across the picture in steps that 256 levels cannot tell apart, a second ramp down.
Picture depthRamp(int width, int height)
{
    return corvane::testing::depthPicture(width, height,
                                          [](int x, int y) { return (x * 977 + y * 61) % 65536; });
}

class DepthMapWindowTest : public SurfaceDialogTest {
protected:
    TfrmPicture* openDepthMap(const Picture& picture,
                              const QString& name = QStringLiteral("ramp.png"))
    {
        picturePath = folder.filePath(name);
        imaging::writePicture(picture, picturePath.toStdString(),
                              imaging::fileTypeFromName(picturePath.toStdString()));
        TfrmPicture* window = OpenPicture(*frame, picturePath);
        EXPECT_TRUE(window->TP->HasImage());
        EXPECT_EQ(window->TP->ImageBitCount(), 16);
        return window;
    }
    static void run(TfrmPicture* window, const char* item)
    {
        QAction* action = window->MenuItem(QString::fromLatin1(item));
        ASSERT_TRUE(action) << item;
        action->trigger();
    }
    std::size_t confirms() const
    {
        std::size_t count = 0;
        for (const AskedMessage& message : prompts.messages)
            count += message.title == QStringLiteral("Confirm") &&
                     message.kind == MessageKind::Confirmation &&
                     message.buttons == (ButtonYes | ButtonNo) &&
                     message.text.contains(QStringLiteral("256 levels"));
        return count;
    }
};

TEST_F(DepthMapWindowTest, PictureInformationTellsTheDepth)
{
    TfrmPicture* window = openDepthMap(depthRamp(33, 7));
    run(window, "PictureInformation1");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].kind, MessageKind::Information);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("16 bits")))
        << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("Width: 33 pixels")));
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("Height: 7 pixels")));

    // An 8-bit grey picture is not called a depth map.
    window->TP->Model().assign(imaging::reducedTo256Levels(depthRamp(4, 4)));
    run(window, "PictureInformation1");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_TRUE(prompts.messages[1].text.contains(QStringLiteral("8 bits")));
    EXPECT_FALSE(prompts.messages[1].text.contains(QStringLiteral("16 bits")));
}

TEST_F(DepthMapWindowTest, SaveKeepsSixteenBitsWhereTheKindHoldsThem)
{
    const Picture ramp = depthRamp(70, 9);
    for (const char* name : {"deep.png", "deep.tif", "deep.pgm"}) {
        TfrmPicture* window = openDepthMap(ramp, QString::fromLatin1(name));
        window->Modified = true;
        ASSERT_TRUE(window->mnuSaveClick()) << name;
        EXPECT_EQ(confirms(), 0u) << name;
        const Picture back = imaging::readPicture(picturePath.toStdString());
        EXPECT_EQ(back.bitCount, 16) << name;
        EXPECT_EQ(back.pixels, ramp.pixels) << name;
        EXPECT_EQ(window->TP->ImageBitCount(), 16);
    }
    // Save As PNG (the fifth type) of a depth map read from a PGM.
    TfrmPicture* window = openDepthMap(ramp, QStringLiteral("source.pgm"));
    const QString out = folder.filePath(QStringLiteral("copy"));
    prompts.answerSave(FileChoice{out, 5});
    ASSERT_TRUE(window->mnuSaveAsClick());
    const Picture back = imaging::readPicture((out + QStringLiteral(".Png")).toStdString());
    EXPECT_EQ(back.bitCount, 16);
    EXPECT_EQ(back.pixels, ramp.pixels);
    EXPECT_EQ(confirms(), 0u);
}

TEST_F(DepthMapWindowTest, SaveToAKindOf256LevelsAsksFirst)
{
    const Picture ramp = depthRamp(70, 9);
    TfrmPicture* window = openDepthMap(ramp);
    const QString bmp = folder.filePath(QStringLiteral("flat.bmp"));

    // No: nothing written, the depth map as it was, still unsaved under its old name.
    prompts.answerSave(FileChoice{bmp, 1});
    prompts.answerMessage(ButtonNo);
    window->Modified = true;
    EXPECT_FALSE(window->mnuSaveAsClick());
    ASSERT_EQ(confirms(), 1u);
    EXPECT_TRUE(prompts.messages.back().text.contains(QStringLiteral("BMP")));
    EXPECT_FALSE(QFileInfo::exists(bmp));
    EXPECT_EQ(window->TP->ImageBitCount(), 16);
    EXPECT_EQ(window->TP->UndoLevels(), 0);
    EXPECT_EQ(window->Caption(), picturePath);
    EXPECT_TRUE(window->Modified);

    // Yes: the window's picture becomes 256 levels (one undo level) and the file holds it.
    prompts.answerSave(FileChoice{bmp, 1});
    prompts.answerMessage(ButtonYes);
    ASSERT_TRUE(window->mnuSaveAsClick());
    EXPECT_EQ(confirms(), 2u);
    EXPECT_EQ(window->TP->ImageBitCount(), 8);
    EXPECT_EQ(window->TP->UndoLevels(), 1);
    const Picture reduced = imaging::reducedTo256Levels(ramp);
    EXPECT_EQ(window->TP->Picture().pixels, reduced.pixels);
    const Picture back = imaging::readPicture(bmp.toStdString());
    ASSERT_EQ(back.width, ramp.width);
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x)
            ASSERT_EQ(back.pixel(x, y), reduced.pixel(x, y)) << x << "," << y;
    window->mnuUndoClick();
    EXPECT_EQ(window->TP->ImageBitCount(), 16);
    EXPECT_EQ(window->TP->Picture().pixels, ramp.pixels);
}

TEST_F(DepthMapWindowTest, ImageCommandsAskToReduceTheDepthMapFirst)
{
    const Picture ramp = depthRamp(40, 6);
    TfrmPicture* window = openDepthMap(ramp);

    // No leaves the picture, its undo and its saved state alone.
    for (const char* item : {"mnuConvertToNegative", "mnuFlip", "mnuGrayWeighted", "Resize1"}) {
        prompts.answerMessage(ButtonNo);
        run(window, item);
    }
    EXPECT_EQ(confirms(), 4u);
    EXPECT_EQ(window->TP->ImageBitCount(), 16);
    EXPECT_EQ(window->TP->Picture().pixels, ramp.pixels);
    EXPECT_EQ(window->TP->UndoLevels(), 0);
    EXPECT_FALSE(window->Modified);

    // Yes reduces it as one undo level, then the command runs on the 256 levels.
    prompts.answerMessage(ButtonYes);
    run(window, "mnuConvertToNegative");
    EXPECT_EQ(confirms(), 5u);
    ASSERT_EQ(window->TP->ImageBitCount(), 8);
    EXPECT_TRUE(window->Modified);
    const Picture reduced = imaging::reducedTo256Levels(ramp);
    for (int x = 0; x < ramp.width; ++x)
        ASSERT_EQ(int(window->TP->Picture().pixel(x, 2).r), 255 - int(reduced.pixel(x, 2).r)) << x;
    EXPECT_EQ(window->TP->UndoLevels(), 2);
    window->mnuUndoClick();
    EXPECT_EQ(window->TP->Picture().pixels, reduced.pixels);
    window->mnuUndoClick();
    EXPECT_EQ(window->TP->Picture().pixels, ramp.pixels);

    // Once it is 256 levels nothing more is asked.
    prompts.answerMessage(ButtonYes);
    run(window, "mnuFlip");
    const std::size_t asked = confirms();
    run(window, "mnuFlip");
    EXPECT_EQ(confirms(), asked);
}

TEST_F(DepthMapWindowTest, TheDialogWritesTheCommandLinesProgramFromADepthMap)
{
    const Picture ramp = depthRamp(48, 20);
    TfrmPicture* window = openDepthMap(ramp);
    TDXF* dialog = openDialog(window, true);
    type(dialog->depthEdit(), QStringLiteral(".25"));
    type(dialog->depthPerPassEdit(), QStringLiteral(".25"));
    const QString written = folder.filePath(QStringLiteral("gui.Dnc"));
    answerSave(written);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.saveRequests.size(), 1u);

    const QString expected = folder.filePath(QStringLiteral("cli.dnc"));
    ASSERT_EQ(runCli({QStringLiteral("gcode"), picturePath, QStringLiteral("-o"), expected,
                      QStringLiteral("--depth"), QStringLiteral(".25"),
                      QStringLiteral("--depth-per-pass"), QStringLiteral(".25")}),
              0)
        << cliErrors.toStdString();
    const QByteArray bytes = fileBytes(written);
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_EQ(bytes, fileBytes(expected));
}

TEST_F(DepthMapWindowTest, TheDialogWritesTheCommandLinesStl)
{
    const Picture ramp = depthRamp(30, 17);
    for (const bool byType : {true, false}) {
        TfrmPicture* window = openDepthMap(ramp);
        TDXF* dialog = openDialog(window, false);
        ASSERT_TRUE(dialog->baseThicknessEdit());
        EXPECT_TRUE(dialog->baseThicknessEdit()->isVisibleTo(dialog));
        EXPECT_EQ(dialog->baseThicknessEdit()->text(), QStringLiteral("0.1"));
        type(dialog->sizeXEdit(), QStringLiteral("3"));
        type(dialog->depthEdit(), QStringLiteral(".4"));
        type(dialog->baseThicknessEdit(), QStringLiteral(".25"));
        // The STL type with the DXF extension a dialog adds, or an .stl name under the DXF type.
        const QString stem =
            folder.filePath(byType ? QStringLiteral("typed") : QStringLiteral("named"));
        prompts.answerSave(byType ? FileChoice{stem + QStringLiteral(".Dxf"), 2}
                                  : FileChoice{stem + QStringLiteral(".stl"), 1});
        QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
        const QString written = stem + (byType ? QStringLiteral(".Stl") : QStringLiteral(".stl"));
        EXPECT_FALSE(QFileInfo::exists(stem + QStringLiteral(".Dxf")));

        const QString expected = folder.filePath(QStringLiteral("cli.stl"));
        ASSERT_EQ(
            runCli({QStringLiteral("surface"), picturePath, QStringLiteral("-o"), expected,
                    QStringLiteral("--size-x"), QStringLiteral("3"), QStringLiteral("--depth"),
                    QStringLiteral(".4"), QStringLiteral("--base"), QStringLiteral(".25")}),
            0)
            << cliErrors.toStdString();
        const QByteArray bytes = fileBytes(written);
        // 80-byte header, count, 50 bytes a triangle.
        ASSERT_GT(bytes.size(), 84);
        EXPECT_EQ((bytes.size() - 84) % 50, 0);
        EXPECT_EQ(bytes, fileBytes(expected)) << byType;
        flushDeletes();
        EXPECT_FALSE(isOpen(dialog));
    }
}

TEST_F(DepthMapWindowTest, ABaseThicknessThatIsNoNumberIsNamedAndNothingIsWritten)
{
    TfrmPicture* window = openDepthMap(depthRamp(10, 10));
    TDXF* dialog = openDialog(window, false);
    for (const char* text : {"abc", "0", "-1"}) {
        type(dialog->baseThicknessEdit(), QString::fromLatin1(text));
        QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
        EXPECT_TRUE(prompts.saveRequests.empty()) << text;
        ASSERT_FALSE(prompts.messages.empty()) << text;
        EXPECT_TRUE(prompts.messages.back().text.contains(QStringLiteral("Base Thickness")));
        EXPECT_TRUE(isOpen(dialog));
    }
}

} // namespace
} // namespace corvane::gui::testing
