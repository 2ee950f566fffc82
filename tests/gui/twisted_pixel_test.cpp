// The imaging control as the picture window drives it: loading with progress, the mouse
// selection, the clipboard, undo and plug-ins.
#include "common/error.h"
#include "gui/picture/picture_qimage.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/picture_io.h"
#include "imaging/picture_model.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using corvane::imaging::Picture;
using corvane::imaging::Rgb;

Picture gradient(int width, int height)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.resize(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = p.row(y) + 3 * x;
            px[0] = std::uint8_t(x * 4);
            px[1] = std::uint8_t(y * 4);
            px[2] = 77;
        }
    p.xRes = p.yRes = 150;
    return p;
}

class TwistedPixelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        picturePath = folder.filePath("gradient.bmp");
        corvane::imaging::writePicture(gradient(60, 40), picturePath.toStdString(),
                                       corvane::imaging::FileTypeBmp);
        control.resize(200, 200);
        control.SetUndoSize(10);
    }

    QString plugin(const QString& name, const std::string& script)
    {
        const QString path = folder.filePath(name);
        std::ofstream(path.toStdString()) << "#!/bin/sh\n" << script << "\n";
        std::filesystem::permissions(path.toStdString(), std::filesystem::perms::owner_all);
        return path;
    }

    QTemporaryDir folder;
    QString picturePath;
    TTwistedPixel control;
};

TEST_F(TwistedPixelTest, LoadsWithProgressAndKeepsNothingFromAFailedLoad)
{
    EXPECT_FALSE(control.HasImage());
    EXPECT_FALSE(control.LoadImage(folder.filePath("missing.bmp")));
    EXPECT_FALSE(control.HasImage());
    EXPECT_TRUE(control.LastError().contains("missing.bmp"));

    QSignalSpy progress(&control, &TTwistedPixel::OnProgressReport);
    ASSERT_TRUE(control.LoadImage(picturePath)) << control.LastError().toStdString();
    EXPECT_TRUE(control.HasImage());
    EXPECT_EQ(control.ImageWidth(), 60);
    EXPECT_EQ(control.ImageHeight(), 40);
    EXPECT_EQ(control.ImageBitCount(), 24);
    EXPECT_EQ(control.ImageXRes(), 150);
    ASSERT_FALSE(progress.isEmpty());
    const QList<QVariant> last = progress.last();
    EXPECT_EQ(last.at(0).toLongLong(), last.at(1).toLongLong()); // ends at done == total
    EXPECT_EQ(control.GetFileType("x.Jpg"), 11);
    EXPECT_EQ(control.UndoLevels(), 0);
}

TEST_F(TwistedPixelTest, DraggingSelectsInPictureCoordinatesAndCopyTakesTheSelection)
{
    ASSERT_TRUE(control.LoadImage(picturePath));
    control.SetTool(1);
    control.show();
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseMove(&control, QPoint(19, 14));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(19, 14));
    ASSERT_TRUE(control.HasSelection());

    control.ClipboardCopy();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(10, 10));
    EXPECT_EQ(QColor(copied.pixel(0, 0)), QColor(40, 20, 77));

    control.ReleaseSelection();
    EXPECT_FALSE(control.HasSelection());
    control.ClipboardCopy();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(60, 40));
}

TEST_F(TwistedPixelTest, DraggingOutsideThePictureIsClampedToIt)
{
    ASSERT_TRUE(control.LoadImage(picturePath));
    control.show();
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(50, 30));
    QTest::mouseMove(&control, QPoint(190, 190));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(190, 190));
    ASSERT_TRUE(control.HasSelection());
    EXPECT_EQ(*control.Model().selection(), (corvane::imaging::PixelRect{50, 30, 10, 10}));
}

TEST_F(TwistedPixelTest, CutWhitensThePastePicturesReplaceAndUndoGoesBack)
{
    ASSERT_TRUE(control.LoadImage(picturePath));
    control.Model().select({0, 0, 5, 5});
    control.ClipboardCut();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(5, 5));
    EXPECT_EQ(control.Picture().pixel(4, 4), (Rgb{255, 255, 255}));
    EXPECT_EQ(control.UndoLevels(), 1);

    QImage other(7, 3, QImage::Format_RGB32);
    other.fill(QColor(1, 2, 3));
    QGuiApplication::clipboard()->setImage(other);
    control.ReleaseSelection();
    control.ClipboardPaste();
    EXPECT_EQ(control.ImageWidth(), 7);
    EXPECT_EQ(control.ImageHeight(), 3);
    EXPECT_EQ(control.UndoLevels(), 2);

    control.Undo();
    control.Undo();
    EXPECT_EQ(control.ImageWidth(), 60);
    EXPECT_EQ(control.Picture().pixel(4, 4), (Rgb{16, 16, 77}));
}

TEST_F(TwistedPixelTest, CropThroughTheClipboardAsThePictureWindowDoesIt)
{
    ASSERT_TRUE(control.LoadImage(picturePath));
    control.Model().select({10, 10, 20, 5});
    control.ClipboardCopy();
    control.ReleaseSelection();
    control.ClearImage();
    EXPECT_FALSE(control.HasImage());
    control.ClipboardPaste();
    EXPECT_EQ(control.ImageWidth(), 20);
    EXPECT_EQ(control.ImageHeight(), 5);
    EXPECT_EQ(control.Picture().pixel(0, 0), (Rgb{40, 40, 77}));
    EXPECT_EQ(control.ImageXRes(), 150);
    EXPECT_EQ(control.UndoLevels(), 1); // one step back to the whole picture
}

TEST_F(TwistedPixelTest, ClipboardKeepsDepthAndResolution)
{
    Picture grey;
    grey.width = 3;
    grey.height = 2;
    grey.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        grey.palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    grey.pixels = {0, 50, 100, 150, 200, 250};
    const Picture back = corvane::gui::fromQImage(corvane::gui::toQImage(grey));
    EXPECT_EQ(back.bitCount, 8);
    EXPECT_EQ(back.pixels, grey.pixels);
    EXPECT_EQ(back.palette, grey.palette);
    EXPECT_EQ(back.xRes, 0); // no resolution stays none, not Qt's 96 dpi default

    grey.xRes = 300;
    grey.yRes = 299;
    const Picture withResolution = corvane::gui::fromQImage(corvane::gui::toQImage(grey));
    EXPECT_EQ(withResolution.xRes, 300);
    EXPECT_EQ(withResolution.yRes, 299);

    QImage foreign(2, 2, QImage::Format_ARGB32);
    foreign.fill(Qt::transparent);
    foreign.setDotsPerMeterX(11811);
    const Picture pasted = corvane::gui::fromQImage(foreign);
    EXPECT_EQ(pasted.bitCount, 24);
    EXPECT_EQ(pasted.xRes, 300);
    EXPECT_EQ(pasted.pixel(1, 1), (Rgb{255, 255, 255})); // transparent onto white
}

TEST_F(TwistedPixelTest, PluginsRunUndoablyAndFailuresLeaveThePicture)
{
    plugin("pass", "cat");
    plugin("broken", "cat >/dev/null; echo 'bad input' >&2; exit 1");
    control.SetPluginPathName(folder.path());
    control.LoadPlugins();
    ASSERT_EQ(control.Plugins().size(), 2);
    ASSERT_TRUE(control.LoadImage(picturePath));
    QSignalSpy complete(&control, &TTwistedPixel::OnPluginFilterComplete);

    EXPECT_FALSE(control.RunPlugin(folder.filePath("broken")));
    EXPECT_TRUE(control.LastError().contains("broken"));
    EXPECT_TRUE(control.LastError().contains("bad input"));
    EXPECT_EQ(control.UndoLevels(), 0);
    EXPECT_EQ(control.ImageWidth(), 60);

    EXPECT_TRUE(control.RunPlugin(folder.filePath("pass")));
    EXPECT_EQ(control.UndoLevels(), 1);
    EXPECT_EQ(complete.count(), 2);
}

TEST_F(TwistedPixelTest, DrawsInEveryViewModeWithoutAPictureToo)
{
    control.show();
    EXPECT_FALSE(control.grab().isNull());
    ASSERT_TRUE(control.LoadImage(picturePath));
    control.resize(30, 30);
    for (const bool fit : {false, true})
        for (const bool bars : {false, true}) {
            control.SetFitToSize(fit);
            control.SetScrollbarsVisible(bars);
            const QImage shot = control.grab().toImage();
            ASSERT_FALSE(shot.isNull());
            if (!fit && !bars) {
                EXPECT_EQ(QColor(shot.pixel(3, 2)), QColor(12, 8, 77)); // 1:1 at top-left
            }
        }
    control.Model().assign(Picture{});
    control.RecoverFromError();
    EXPECT_FALSE(control.grab().isNull());
}

} // namespace

namespace {

TEST_F(TwistedPixelTest, AProgressSlotCanStopTheLoadWithoutLosingThePicture)
{
    ASSERT_TRUE(control.LoadImage(picturePath));
    control.Model().select({1, 1, 3, 3});
    control.ClipboardCut();
    const auto connection = QObject::connect(&control, &TTwistedPixel::OnProgressReport,
                                             [](long, long) { throw corvane::Error("Cancelled"); });
    EXPECT_FALSE(control.LoadImage(picturePath));
    QObject::disconnect(connection);
    EXPECT_TRUE(control.LastError().contains("Cancelled"));
    EXPECT_EQ(control.UndoLevels(), 1); // the document as it was, undo levels included
    EXPECT_EQ(control.Picture().pixel(2, 2), (Rgb{255, 255, 255}));
}

} // namespace

namespace {

TEST_F(TwistedPixelTest, SelectionFollowsTheFittedScaleAndTheScrollBars)
{
    ASSERT_TRUE(control.LoadImage(picturePath));
    control.resize(120, 90); // the 60 x 40 picture fits at twice its size
    control.SetFitToSize(true);
    control.show();
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(&control, QPoint(39, 29));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(39, 29));
    ASSERT_TRUE(control.HasSelection());
    EXPECT_EQ(*control.Model().selection(), (corvane::imaging::PixelRect{10, 5, 10, 10}));

    control.SetFitToSize(false);
    control.SetScrollbarsVisible(true);
    control.resize(30, 30);
    QScrollBar* bars[2] = {};
    int found = 0;
    for (QScrollBar* bar : control.findChildren<QScrollBar*>())
        if (found < 2)
            bars[found++] = bar;
    ASSERT_EQ(found, 2);
    for (QScrollBar* bar : bars) {
        EXPECT_FALSE(bar->isHidden()); // the picture is larger both ways
        bar->setValue(bar->orientation() == Qt::Horizontal ? 25 : 8);
    }
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(2, 3));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(6, 5));
    ASSERT_TRUE(control.HasSelection());
    EXPECT_EQ(*control.Model().selection(), (corvane::imaging::PixelRect{27, 11, 5, 3}));
}

} // namespace
