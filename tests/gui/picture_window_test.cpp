// The picture window: loading, saving and its naming rules, the close question, the view
// modes and the hand-off of the picture to the height grid.
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui_test_support.h"
#include "imaging/picture_model.h"
#include "scratch_folder.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>

namespace corvane::gui::testing {
namespace {

QByteArray firstBytes(const QString& path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(count);
}

const QByteArray kJpegStart("\xFF\xD8\xFF", 3);
const QByteArray kBmpStart("BM", 2);

class PictureWindowTest : public FrameTest {
protected:
    TfrmPicture* loadPicture(int width, int height, imaging::Rgb colour,
                             const QString& name = QStringLiteral("picture.bmp"))
    {
        const QString path = writeBmp(folder, name, solidPicture(width, height, colour));
        TfrmPicture* picture = OpenPicture(*frame, path);
        EXPECT_TRUE(picture->TP->HasImage());
        return picture;
    }
    bool isOpen(TfrmPicture* picture)
    {
        for (QMdiSubWindow* window : frame->MdiArea().subWindowList())
            if (window->widget() == picture)
                return true;
        return false;
    }
};

using PictureLoadTest = PictureWindowTest;

TEST_F(PictureLoadTest, LoadedPictureNamesTheWindowAndFitsIt)
{
    const QString path =
        writeBmp(folder, QStringLiteral("wide.bmp"), solidPicture(100, 50, {9, 9, 9}));
    TfrmPicture* picture = OpenPicture(*frame, path);
    EXPECT_EQ(picture->Caption(), path);
    EXPECT_EQ(picture->SubWindow()->size(), QSize(108, 78));
    EXPECT_EQ(picture->TP->size(), QSize(100, 50));
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
    EXPECT_FALSE(picture->Modified);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(PictureLoadTest, FailedLoadSaysWhyAndLeavesAnEmptyNewPicture)
{
    const QString path = writeFile(QStringLiteral("broken.bmp"), "BM this is no bitmap");

    TfrmPicture* picture = OpenPicture(*frame, path);
    EXPECT_FALSE(picture->TP->HasImage());
    EXPECT_EQ(picture->Caption(), QStringLiteral("New Picture"));
    EXPECT_EQ(picture->SubWindow()->size(), QSize(250, 250));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Warning"));
    EXPECT_TRUE(prompts.messages[0].text.contains(path));
    EXPECT_FALSE(frame->StatusBar1().text(0).contains(QStringLiteral("Esc to Cancel")));
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
}

TEST_F(PictureLoadTest, FailedLoadFromTheMenuLeavesNoEmptyWindow)
{
    const QString path = writeFile(QStringLiteral("broken.bmp"), "BM this is no bitmap");
    prompts.answerOpen(FileChoice{path, 1});
    frame->Load1Click();
    flushDeletes();
    EXPECT_TRUE(frame->MdiArea().subWindowList().isEmpty());
    EXPECT_EQ(prompts.messages.size(), 1u);
    const QString filter = prompts.openRequests.at(0).filter;
    EXPECT_TRUE(filter.startsWith(
        QStringLiteral("All image files|*.Bmp;*.Jpg;*.Tif;*.Pcx;*.Gif;*.Wmf;*.Png")));
    EXPECT_TRUE(filter.contains(QStringLiteral("|PNG Files *.Png|*.png|")));
    EXPECT_TRUE(filter.endsWith(QStringLiteral("|All files (*)|*")));
}

TEST_F(PictureLoadTest, EscapeStopsALoadAndClosesTheEmptyWindow)
{
    const QString path =
        writeBmp(folder, QStringLiteral("scan.bmp"), solidPicture(400, 300, {9, 9, 9}));
    prompts.answerOpen(FileChoice{path, 1});
    QTimer::singleShot(0, frame.get(), [&] { QTest::keyClick(frame.get(), Qt::Key_Escape); });
    frame->Load1Click();
    flushDeletes();
    EXPECT_TRUE(frame->MdiArea().subWindowList().isEmpty());
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Process Cancelled..."));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
}

TEST_F(PictureLoadTest, APictureLargerThanTheAreaOpensWithScrollBarsInsideIt)
{
    frame->resize(800, 600);
    TfrmPicture* picture = loadPicture(1500, 1000, {200, 200, 200});
    const QRect area = frame->MdiArea().viewport()->rect();
    EXPECT_EQ(picture->ViewMode, 2);
    EXPECT_TRUE(picture->MenuItem(QStringLiteral("UseScrollBars1"))->isChecked());
    const QRect placed = picture->SubWindow()->geometry();
    EXPECT_TRUE(area.contains(placed))
        << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height()
        << " in " << area.width() << "x" << area.height();
    EXPECT_EQ(picture->TP->size(), QSize(1500, 1000));

    TfrmPicture* small = loadPicture(100, 50, {9, 9, 9}, QStringLiteral("small.bmp"));
    EXPECT_EQ(small->ViewMode, 0);
    EXPECT_EQ(small->SubWindow()->size(), QSize(108, 78));
}

using PictureSaveTest = PictureWindowTest;

TEST_F(PictureSaveTest, SaveOfAKindWeCannotWriteGoesToSaveAs)
{
    const QString gif =
        writeFile(QStringLiteral("drawing.gif"),
                  QByteArray::fromHex(
                      "4749463839610100010080000000000000ffffff2c00000000010001000002024401003b"));
    TfrmPicture* picture = OpenPicture(*frame, gif);
    ASSERT_TRUE(picture->TP->HasImage());
    picture->Modified = true;
    const QString chosen = folder.filePath(QStringLiteral("drawing.bmp"));
    prompts.answerSave(FileChoice{chosen, 1});
    EXPECT_TRUE(picture->mnuSaveClick());
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].fileName, QStringLiteral("drawing"));
    EXPECT_EQ(prompts.saveRequests[0].folder, QDir(folder.path()).absolutePath());
    EXPECT_TRUE(prompts.saveRequests[0].defaultExtension.isEmpty());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(picture->Caption(), chosen);
    EXPECT_FALSE(picture->Modified);
}

TEST_F(PictureSaveTest, SaveAsAppendsTheFiltersExtensionToANameWithoutADot)
{
    TfrmPicture* picture = loadPicture(8, 6, {200, 10, 10});
    picture->Modified = true;
    prompts.answerSave(FileChoice{folder.filePath(QStringLiteral("out")), 2});
    EXPECT_TRUE(picture->mnuSaveAsClick());

    const QString written = folder.filePath(QStringLiteral("out.Jpg"));
    EXPECT_EQ(firstBytes(written, 3), kJpegStart);
    EXPECT_EQ(picture->Caption(), written);
    EXPECT_FALSE(picture->Modified);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].filter,
              QStringLiteral("Bmp Files *.Bmp|*.bmp|JPEG Files *.Jpg|*.jpg|PCX Files *.Pcx|*.pcx|"
                             "TIFF Files *.Tif|*.tif|PNG Files *.Png|*.png|PNM Files *.Pnm|*.pnm"));
    EXPECT_EQ(prompts.saveRequests[0].filterIndex, 1);
}

TEST_F(PictureSaveTest, SaveAsKeepsANameWithADotAndWritesTheFiltersType)
{
    TfrmPicture* picture = loadPicture(8, 6, {200, 10, 10});
    const QString typed = folder.filePath(QStringLiteral("my.picture"));
    prompts.answerSave(FileChoice{typed, 2});
    EXPECT_TRUE(picture->mnuSaveAsClick());
    EXPECT_EQ(firstBytes(typed, 3), kJpegStart);
    EXPECT_EQ(picture->Caption(), typed);

    // A later Save goes to the same name; the extension tells no type, so it stays JPEG.
    QFile::remove(typed);
    picture->Modified = true;
    EXPECT_TRUE(picture->mnuSaveClick());
    EXPECT_EQ(firstBytes(typed, 3), kJpegStart);
    EXPECT_FALSE(picture->Modified);
}

TEST_F(PictureSaveTest, SaveWritesTheTypeOfTheCaptionsExtension)
{
    TfrmPicture* picture = loadPicture(8, 6, {200, 10, 10}, QStringLiteral("again.bmp"));
    QFile::remove(picture->Caption());
    picture->Modified = true;
    EXPECT_TRUE(picture->mnuSaveClick());
    EXPECT_EQ(firstBytes(picture->Caption(), 2), kBmpStart);
    EXPECT_FALSE(picture->Modified);
    EXPECT_TRUE(prompts.saveRequests.empty());
}

TEST_F(PictureSaveTest, AnExistingFileUnderTheCompletedNameIsReplacedOnlyWhenConfirmed)
{
    TfrmPicture* picture = loadPicture(8, 6, {200, 10, 10});
    const QString existing = writeFile(QStringLiteral("out.Jpg"), "keep me");
    picture->Modified = true;

    prompts.answerSave(FileChoice{folder.filePath(QStringLiteral("out")), 2});
    prompts.answerMessage(ButtonNo);
    EXPECT_FALSE(picture->mnuSaveAsClick());
    EXPECT_EQ(firstBytes(existing, 7), QByteArray("keep me"));
    EXPECT_TRUE(picture->Modified);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Confirm"));
    EXPECT_TRUE(prompts.messages[0].text.startsWith(existing));

    prompts.answerSave(FileChoice{folder.filePath(QStringLiteral("out")), 2});
    prompts.answerMessage(ButtonYes);
    EXPECT_TRUE(picture->mnuSaveAsClick());
    EXPECT_EQ(firstBytes(existing, 3), kJpegStart);
    EXPECT_FALSE(picture->Modified);
}

TEST_F(PictureSaveTest, CancelledSaveOfANewPictureKeepsItModified)
{
    frame->New1Click();
    TfrmPicture* picture = ActivePicture(*frame);
    picture->Modified = true;
    EXPECT_FALSE(picture->mnuSaveClick()); // the save dialog is cancelled
    EXPECT_TRUE(picture->Modified);
    EXPECT_EQ(picture->Caption(), QStringLiteral("New Picture"));
}

TEST_F(PictureSaveTest, FailedSaveSaysSoAndKeepsTheCaptionAndModified)
{
    TfrmPicture* picture = loadPicture(8, 6, {200, 10, 10});
    const QString caption = picture->Caption();
    picture->Modified = true;
    prompts.answerSave(FileChoice{folder.filePath(QStringLiteral("no/such/folder/out.bmp")), 1});
    EXPECT_FALSE(picture->mnuSaveAsClick());
    EXPECT_TRUE(picture->Modified);
    EXPECT_EQ(picture->Caption(), caption);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("out.bmp")));
    EXPECT_NE(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
}

TEST_F(PictureSaveTest, EscDuringASaveKeepsTheFileTheCaptionAndModified)
{
    TfrmPicture* picture = loadPicture(8, 300, {200, 10, 10});
    const QString caption = picture->Caption();
    const std::string before = corvane::testing::readFile(caption.toStdString());
    picture->Modified = true;
    // Pressed at the first point where the save lets events through.
    QTimer::singleShot(0, frame.get(), [] { shared().EscapePressed = true; });
    EXPECT_FALSE(picture->mnuSaveClick());
    EXPECT_TRUE(picture->Modified);
    EXPECT_EQ(picture->Caption(), caption);
    EXPECT_EQ(corvane::testing::readFile(caption.toStdString()), before);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Process Cancelled..."));
}

using PictureCloseTest = PictureWindowTest;

TEST_F(PictureCloseTest, TheCloseQuestionsThreeAnswers)
{
    TfrmPicture* picture = loadPicture(8, 6, {1, 2, 3}, QStringLiteral("keep.bmp"));
    const QString path = picture->Caption();
    QFile::remove(path);
    picture->Modified = true;

    prompts.answerMessage(ButtonCancel);
    picture->mnuCloseClick();
    flushDeletes();
    ASSERT_TRUE(isOpen(picture));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Save changes to %1?").arg(path));
    EXPECT_EQ(prompts.messages[0].buttons, ButtonYes | ButtonNo | ButtonCancel);

    prompts.answerMessage(ButtonYes);
    picture->mnuCloseClick();
    flushDeletes();
    EXPECT_FALSE(isOpen(picture));
    EXPECT_EQ(firstBytes(path, 2), kBmpStart) << "Yes saves before closing";

    TfrmPicture* other = loadPicture(8, 6, {1, 2, 3}, QStringLiteral("drop.bmp"));
    other->Modified = true;
    prompts.answerMessage(ButtonNo);
    other->mnuCloseClick();
    flushDeletes();
    EXPECT_FALSE(isOpen(other));
    EXPECT_EQ(prompts.messages.size(), 3u);
}

TEST_F(PictureCloseTest, ANewPictureStaysOpenWhenItsSaveIsCancelledOrFails)
{
    frame->New1Click();
    TfrmPicture* picture = ActivePicture(*frame);
    picture->Modified = true;

    prompts.answerMessage(ButtonYes); // and the save dialog is cancelled
    picture->mnuCloseClick();
    flushDeletes();
    ASSERT_TRUE(isOpen(picture));
    EXPECT_TRUE(picture->Modified);

    prompts.answerMessage(ButtonYes);
    prompts.answerSave(FileChoice{folder.filePath(QStringLiteral("missing/new.bmp")), 1});
    picture->mnuCloseClick();
    flushDeletes();
    ASSERT_TRUE(isOpen(picture));
    EXPECT_TRUE(picture->Modified);
}

using PictureViewTest = PictureWindowTest;

TEST_F(PictureViewTest, FitWindowSnapsBackToThePictureSize)
{
    TfrmPicture* picture = loadPicture(100, 50, {5, 5, 5});
    picture->SubWindow()->resize(300, 260);
    EXPECT_EQ(picture->SubWindow()->size(), QSize(108, 78));
}

TEST_F(PictureViewTest, FitPictureSizesTheControlToTheWindow)
{
    TfrmPicture* picture = loadPicture(100, 50, {5, 5, 5});
    picture->FitPicture1Click();
    EXPECT_EQ(picture->ViewMode, 1);
    EXPECT_TRUE(picture->TP->FitToSize());
    EXPECT_TRUE(picture->MenuItem(QStringLiteral("FitPicture1"))->isChecked());
    picture->SubWindow()->resize(300, 228);
    EXPECT_EQ(picture->SubWindow()->size(), QSize(300, 228));
    EXPECT_EQ(picture->TP->size(), QSize(292, 200));

    picture->Fit1Click();
    EXPECT_EQ(picture->ViewMode, 0);
    EXPECT_FALSE(picture->TP->FitToSize());
    EXPECT_EQ(picture->SubWindow()->size(), QSize(108, 78));
}

TEST_F(PictureViewTest, ScrollBarsKeepThePictureAtItsOwnSize)
{
    TfrmPicture* picture = loadPicture(100, 50, {5, 5, 5});
    picture->SubWindow()->resize(120, 90); // still fits mode 0: snaps back
    picture->UseScrollBars1Click();
    EXPECT_EQ(picture->ViewMode, 2);
    EXPECT_TRUE(picture->MenuItem(QStringLiteral("UseScrollBars1"))->isChecked());
    EXPECT_EQ(picture->SubWindow()->width(), 109) << "made one pixel wider";
    picture->SubWindow()->resize(60, 60);
    EXPECT_EQ(picture->SubWindow()->size(), QSize(60, 60));
    EXPECT_EQ(picture->TP->size(), QSize(100, 50));
}

TEST_F(PictureViewTest, EveryRowShowsInFitWindowAndFitPicture)
{
    TfrmPicture* picture = loadPicture(100, 50, {5, 5, 5});
    // The window's inside is the picture, to the last row and column.
    EXPECT_EQ(picture->size(), QSize(100, 50));
    const QMargins decoration = picture->SubWindow()->contentsMargins();
    EXPECT_EQ(picture->SubWindow()->size(), QSize(100 + decoration.left() + decoration.right(),
                                                  50 + decoration.top() + decoration.bottom()));
    picture->FitPicture1Click();
    picture->SubWindow()->resize(300, 227);
    EXPECT_EQ(picture->TP->size(), picture->size());
}

TEST_F(PictureViewTest, FitWindowKeepsAGrownPictureInsideTheAreaAndATinyOneGrabbable)
{
    const QSize area = frame->FreeAreaSize();
    TfrmPicture* picture = loadPicture(40, 30, {5, 5, 5});
    // A picture grown past the area (a Resize, a large paste) goes to the scroll-bar view.
    const QImage large(area.width() + 300, area.height() + 200, QImage::Format_RGB32);
    QApplication::clipboard()->setImage(large);
    frame->New1Click();
    TfrmPicture* pasted = ActivePicture(*frame);
    pasted->mnuPasteClick();
    ASSERT_EQ(pasted->TP->ImageWidth(), large.width());
    EXPECT_EQ(pasted->ViewMode, 2);
    EXPECT_TRUE(pasted->MenuItem(QStringLiteral("UseScrollBars1"))->isChecked());
    EXPECT_TRUE(frame->MdiArea().viewport()->rect().contains(pasted->SubWindow()->geometry()));
    EXPECT_EQ(frame->FreeAreaSize(), area) << "the frame stays as it was";

    // A picture of a few pixels still makes a window whose title bar can be grabbed.
    picture->TP->Process([](const imaging::Picture&) { return solidPicture(3, 2, {1, 1, 1}); });
    picture->Fit1Click();
    EXPECT_GE(picture->SubWindow()->width(), 100);
    EXPECT_GE(picture->SubWindow()->height(), 60);
    EXPECT_EQ(picture->TP->size(), QSize(3, 2));
}

TEST_F(PictureViewTest, UnsavedChangesMarkTheTitle)
{
    TfrmPicture* picture = loadPicture(8, 6, {200, 10, 10}, QStringLiteral("mark.bmp"));
    EXPECT_FALSE(picture->isWindowModified());
    EXPECT_TRUE(picture->windowTitle().endsWith(QStringLiteral("[*]")));
    EXPECT_EQ(picture->Caption(), folder.filePath(QStringLiteral("mark.bmp")));
    picture->mnuConvertToNegativeClick();
    EXPECT_TRUE(picture->Modified);
    EXPECT_TRUE(picture->isWindowModified());
    EXPECT_TRUE(picture->mnuSaveClick());
    EXPECT_FALSE(picture->isWindowModified());
}

using PictureProgressTest = PictureWindowTest;

TEST_F(PictureProgressTest, ReportsMoveTheGaugeInStepsAndEndAbove95)
{
    frame->New1Click();
    TfrmPicture* picture = ActivePicture(*frame);
    auto& status = frame->StatusBar1();
    shared().ProgressStep = 0;

    picture->TPProgressReport(5, 100);
    EXPECT_TRUE(status.gaugeVisible());
    EXPECT_EQ(status.gaugePosition(), 5);
    picture->TPProgressReport(12, 100);
    EXPECT_EQ(status.gaugePosition(), 12);
    picture->TPProgressReport(15, 100);
    EXPECT_EQ(status.gaugePosition(), 12) << "15 is not above 20";
    picture->TPProgressReport(30, 100);
    EXPECT_EQ(status.gaugePosition(), 30);
    EXPECT_NE(status.text(1), QStringLiteral("Done"));
    picture->TPProgressReport(97, 100);
    EXPECT_EQ(status.gaugePosition(), 97);
    EXPECT_FALSE(status.gaugeVisible());
    EXPECT_EQ(status.text(1), QStringLiteral("Done"));
    EXPECT_EQ(shared().ProgressStep, 0);
}

using PictureHandOffTest = PictureWindowTest;

TEST_F(PictureHandOffTest, DxfSurfaceFillsAFramedGridFromTheRedChannel)
{
    TfrmPicture* picture = loadPicture(100, 50, {0, 0, 255}); // pure blue: red is 0
    shared().TargetChildIndex = 0;
    picture->DXFSurface1Click();
    const auto& grid = shared().HeightGrid;
    ASSERT_EQ(grid.rows, 52);
    ASSERT_EQ(grid.cols, 102);
    EXPECT_EQ(shared().CurrentJob, JobDxfSurface);
    EXPECT_EQ(shared().TargetChildIndex, 1);
    for (int col = 0; col < grid.cols; ++col) {
        EXPECT_EQ(grid[0][col], 255);
        EXPECT_EQ(grid[51][col], 255);
    }
    for (int row = 1; row <= 50; ++row) {
        EXPECT_EQ(grid[row][0], 255);
        EXPECT_EQ(grid[row][101], 255);
        EXPECT_EQ(grid[row][1], 0);
        EXPECT_EQ(grid[row][100], 0);
    }
}

TEST_F(PictureHandOffTest, GCodeFillsAnUnframedGridAndNamesTheSource)
{
    TfrmPicture* picture = loadPicture(100, 50, {255, 0, 0}, QStringLiteral("red.bmp"));
    picture->GCode1Click();
    const auto& grid = shared().HeightGrid;
    ASSERT_EQ(grid.rows, 50);
    ASSERT_EQ(grid.cols, 100);
    EXPECT_EQ(grid[0][0], 255);
    EXPECT_EQ(grid[49][99], 255);
    EXPECT_EQ(shared().CurrentJob, JobGCode);
    EXPECT_EQ(shared().SourcePictureName, QStringLiteral("red.bmp"));
}

TEST_F(PictureHandOffTest, NothingHappensWithoutAPicture)
{
    frame->New1Click();
    shared().CurrentJob = JobMeshImport;
    ActivePicture(*frame)->DXFSurface1Click();
    ActivePicture(*frame)->GCode1Click();
    EXPECT_EQ(shared().CurrentJob, JobMeshImport);
    EXPECT_TRUE(shared().HeightGrid.empty());
}

using PictureEditTest = PictureWindowTest;

TEST_F(PictureEditTest, UndoAndCropWithoutWorkOnlyTellTheUser)
{
    frame->New1Click();
    TfrmPicture* picture = ActivePicture(*frame);
    picture->mnuUndoClick();
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Can Not Undo - At Top Level..."));
    picture->mnuCropClick();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Information"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Select Area and try again"));
    EXPECT_FALSE(picture->Modified);
}

TEST_F(PictureEditTest, CutAndPasteMarkTheirWindowsChanged)
{
    TfrmPicture* source = loadPicture(30, 20, {10, 20, 30});
    source->mnuCopyClick();
    EXPECT_FALSE(source->Modified) << "a copy changes nothing";
    frame->New1Click();
    TfrmPicture* target = ActivePicture(*frame);
    shared().PictureChanged = false;
    target->mnuPasteClick();
    EXPECT_TRUE(target->TP->HasImage());
    EXPECT_EQ(target->SubWindow()->size(), fittedWindowSize(*target->SubWindow(), {30, 20}));
    EXPECT_TRUE(target->Modified);
    EXPECT_TRUE(shared().PictureChanged);
    source->mnuCutClick();
    EXPECT_TRUE(source->Modified);
}

TEST_F(PictureEditTest, CropKeepsTheDraggedAreaFitsTheWindowAndCanBeUndone)
{
    TfrmPicture* picture = loadPicture(100, 50, {90, 90, 90});
    shared().PictureChanged = false;
    QTest::mousePress(picture->TP, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(picture->TP, QPoint(40, 30));
    QTest::mouseRelease(picture->TP, Qt::LeftButton, {}, QPoint(40, 30));
    ASSERT_TRUE(picture->TP->HasSelection());

    picture->mnuCropClick();
    const QSize cropped(picture->TP->ImageWidth(), picture->TP->ImageHeight());
    EXPECT_LT(cropped.width(), 100);
    EXPECT_LT(cropped.height(), 50);
    EXPECT_EQ(picture->SubWindow()->size(), fittedWindowSize(*picture->SubWindow(), cropped));
    EXPECT_TRUE(picture->Modified);
    EXPECT_TRUE(shared().PictureChanged);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));

    ASSERT_GT(picture->TP->UndoLevels(), 0);
    frame->StatusBar1().setText(0, QString());
    picture->mnuUndoClick();
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
    EXPECT_TRUE(picture->Modified) << "Undo leaves the document's state alone";
    EXPECT_EQ(picture->SubWindow()->size(), QSize(108, 78)) << "the window follows the picture";
}

TEST_F(PictureEditTest, CropLeavesTheClipboardAlone)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's words"));
    TfrmPicture* picture = loadPicture(100, 50, {90, 90, 90});
    picture->TP->Model().select({10, 10, 20, 20});
    picture->mnuCropClick();
    EXPECT_EQ(picture->TP->ImageWidth(), 20);
    EXPECT_EQ(picture->TP->UndoLevels(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's words"));
}

TEST_F(PictureEditTest, APluginThatFailsIsToldWithItsNameAndWhatItSaid)
{
    TfrmPicture* picture = loadPicture(30, 20, {10, 20, 30});
    const QString plugin = folder.filePath(QStringLiteral("smudge"));
    QFile script(plugin);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ncat >/dev/null; echo 'no ink left' >&2; exit 2\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(picture->RunPlugin(plugin));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("smudge")));
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("no ink left")));
    EXPECT_FALSE(picture->Modified);
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_NE(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
}

TEST_F(PictureEditTest, LoadPluginsAsksForAFolderOnlyWhenNoneIsSet)
{
    frame->New1Click();
    TfrmPicture* picture = ActivePicture(*frame);
    frame->ShowReady();
    picture->LoadPlugins1Click(); // the folder browser is cancelled: nothing happens
    EXPECT_EQ(prompts.folderTitles.size(), 1u);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));

    prompts.answerFolder(folder.path());
    picture->LoadPlugins1Click();
    EXPECT_EQ(picture->TP->PluginPathName(), folder.path());
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Right click image for plugins..."));

    picture->LoadPlugins1Click();
    EXPECT_EQ(prompts.folderTitles.size(), 2u) << "a set folder is used without asking";
}

} // namespace
} // namespace corvane::gui::testing
