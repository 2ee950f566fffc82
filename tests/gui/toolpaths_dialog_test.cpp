// The "Create Regions" dialog over a mesh view and over a picture's raster grid: its rules,
// Create / Undo / Clear / Esc, the regions drawn over the mesh, and the saved files, which
// must be byte for byte those of corvane-cli regions for the same source and values.
#include "gui/app/help_pages.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/dxf_view.h"
#include "gui/picture/picture_window.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "gui_test_support.h"
#include "test_files.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>

namespace corvane::gui::testing {
namespace {

QByteArray pyramidDxf()
{
    return QByteArray::fromStdString(corvane::testing::pyramidDxf());
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

int countPixels(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return n;
}

class ToolpathsDialogTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        // The program header's date then matches corvane-cli's.
        qputenv("SOURCE_DATE_EPOCH", "0");
    }
    void TearDown() override
    {
        qunsetenv("SOURCE_DATE_EPOCH");
        FrameTest::TearDown();
    }

    TfrmToolPaths& dialog() { return toolpathsDialog(); }

    TfrmDXFView* openPyramid()
    {
        dxfPath = folder.filePath(QStringLiteral("pyramid.dxf"));
        QFile file(dxfPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(pyramidDxf());
        file.close();
        prompts.answerOpen(FileChoice{dxfPath, 1});
        frame->ImportDXFMesh1Click();
        auto* view = dynamic_cast<TfrmDXFView*>(frame->ActiveChild()->widget());
        view->MenuItem(QStringLiteral("Toolpaths1"))->trigger();
        return view;
    }

    QString status(int panel) const { return frame->StatusBar1().text(panel); }

    void setFields(const QString& opDepth, const QString& zStep, const QString& cutDepth)
    {
        dialog().opDepthEdit()->setText(opDepth);
        dialog().zStepEdit()->setText(zStep);
        dialog().cutDepthEdit()->setText(cutDepth);
    }

    // corvane-cli regions on the same source; returns the file it wrote.
    QString runCli(const QString& source, const QString& output, const QStringList& options)
    {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("0"));
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(CORVANE_CLI),
                  QStringList{QStringLiteral("regions"), source, QStringLiteral("-o"), output} +
                      options);
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return output;
    }

    QString saveFromView(TfrmDXFView& view, const char* item, const QString& name)
    {
        const QString path = folder.filePath(name);
        prompts.answerSave(FileChoice{path, 1});
        view.MenuItem(QString::fromLatin1(item))->trigger();
        return path;
    }

    QString dxfPath;
};

TEST_F(ToolpathsDialogTest, ShowingProposesHalfTheMeshHeightAndTheFieldsFollowTheStyle)
{
    TfrmDXFView* view = openPyramid();
    TfrmToolPaths& d = dialog();
    ASSERT_TRUE(d.isVisible());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Create Regions - pyramid.dxf"));
    EXPECT_EQ(shared().CurrentJob, JobMeshToolpaths);
    EXPECT_EQ(d.opDepthEdit()->text(), QStringLiteral("1"));
    EXPECT_FALSE(d.undoButton()->isEnabled());
    EXPECT_TRUE(helpPageOf(d.opDepthEdit()).toString().endsWith(QStringLiteral("/toolpaths.html")));
    const QWidget* area = frame->MdiArea().viewport();
    EXPECT_TRUE(QRect(area->mapToGlobal(QPoint(0, 0)), area->size()).contains(d.frameGeometry()));
    EXPECT_FALSE(d.widthEdit()->isEnabled());
    EXPECT_FALSE(d.depthEdit()->isEnabled());

    // Single Depth: neither Region Depths nor Z Step.
    EXPECT_FALSE(d.regionDepthsGroup()->isEnabled());
    EXPECT_FALSE(d.zStepEdit()->isEnabled());
    EXPECT_TRUE(d.cutDepthEdit()->isEnabled());
    d.SetStyleIndex(1);
    EXPECT_TRUE(d.regionDepthsGroup()->isEnabled());
    EXPECT_TRUE(d.zStepEdit()->isEnabled());
    EXPECT_TRUE(d.cutDepthEdit()->isEnabled());
    d.SetRegionDepthsIndex(1);
    EXPECT_FALSE(d.cutDepthEdit()->isEnabled());
    d.SetStyleIndex(2); // Vectorize with Multiple Depths: only Region Depths
    EXPECT_FALSE(d.opDepthEdit()->isEnabled());
    EXPECT_FALSE(d.zStepEdit()->isEnabled());
    EXPECT_FALSE(d.cutDepthEdit()->isEnabled());
    d.SetStyleIndex(0);
    EXPECT_FALSE(d.regionDepthsGroup()->isEnabled());
    EXPECT_EQ(toolpaths::styleCode(d.Fields().style, d.Fields().regionDepths), 1);

    EXPECT_FALSE(d.reduceEdit()->isEnabled());
    d.reduceCheck()->click();
    EXPECT_TRUE(d.reduceEdit()->isEnabled());
    d.reduceCheck()->click();
    EXPECT_FALSE(d.reduceEdit()->isEnabled());

    // Op Depth, Z Step and Feedrate take digits and "." only, not even Backspace.
    d.feedrateEdit()->clear();
    QTest::keyClicks(d.feedrateEdit(), QStringLiteral("-1a2.5e"));
    EXPECT_EQ(d.feedrateEdit()->text(), QStringLiteral("12.5"));
    QTest::keyClick(d.feedrateEdit(), Qt::Key_Backspace);
    EXPECT_EQ(d.feedrateEdit()->text(), QStringLiteral("12.5"));
    QTest::keyClicks(d.cutDepthEdit(), QStringLiteral("-")); // Cut Depth is free
    EXPECT_TRUE(d.cutDepthEdit()->text().endsWith(QLatin1Char('-')));

    // Esc and Cancel both set Esc and dismiss the idle dialog; opening it again resets.
    d.SetStyleIndex(1);
    shared().EscapePressed = false;
    QTest::keyClick(d.opDepthEdit(), Qt::Key_Escape);
    EXPECT_TRUE(shared().EscapePressed);
    EXPECT_FALSE(d.isVisible());
    view->MenuItem(QStringLiteral("Toolpaths1"))->trigger();
    EXPECT_EQ(d.StyleIndex(), 0);
    d.SetStyleIndex(1);
    shared().EscapePressed = false;
    d.cancelButton()->click();
    EXPECT_TRUE(shared().EscapePressed);
    EXPECT_FALSE(d.isVisible());
    view->MenuItem(QStringLiteral("Toolpaths1"))->trigger();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.StyleIndex(), 0);
    EXPECT_FALSE(d.zStepEdit()->isEnabled());
}

TEST_F(ToolpathsDialogTest, AShowTheWindowSystemRepeatsKeepsWhatTheUserTyped)
{
    openPyramid();
    TfrmToolPaths& d = dialog();
    d.SetStyleIndex(1);
    d.opDepthEdit()->setText(QStringLiteral("0.7"));
    d.reduceCheck()->click();
    // The frame minimised and restored: its dialogs are hidden and shown again by the window
    // system, and then by the frame itself.
    frame->showMinimized();
    QCoreApplication::processEvents();
    frame->showNormal();
    QCoreApplication::processEvents();
    d.hide();
    d.show();
    EXPECT_EQ(d.StyleIndex(), 1);
    EXPECT_TRUE(d.zStepEdit()->isEnabled());
    EXPECT_TRUE(d.regionDepthsGroup()->isEnabled());
    EXPECT_EQ(d.opDepthEdit()->text(), QStringLiteral("0.7"));
    EXPECT_TRUE(d.reduceEdit()->isEnabled());
}

TEST_F(ToolpathsDialogTest, TheDialogServesTheViewItWasOpenedForAndGoesWithIt)
{
    TfrmDXFView* first = openPyramid();
    TfrmToolPaths& d = dialog();
    const QString other = folder.filePath(QStringLiteral("other.dxf"));
    QFile::copy(dxfPath, other);
    prompts.answerOpen(FileChoice{other, 1});
    frame->ImportDXFMesh1Click();
    auto* second = dynamic_cast<TfrmDXFView*>(frame->ActiveChild()->widget());
    ASSERT_TRUE(second && second != first);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Create Regions - pyramid.dxf"));

    // The user clicked the other view before Create: the regions still go to the first.
    frame->MdiArea().setActiveSubWindow(second->SubWindow());
    d.createButton()->click();
    EXPECT_EQ(first->Regions().regions.size(), 2u);
    EXPECT_EQ(second->Regions().regions.size(), 1u);

    // Opened for the second view, it says so; the first view's closing leaves it alone.
    second->MenuItem(QStringLiteral("Toolpaths1"))->trigger();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Create Regions - other.dxf"));
    first->Close1Click();
    flushDeletes();
    EXPECT_TRUE(d.isVisible());
    d.createButton()->click();
    EXPECT_EQ(second->Regions().regions.size(), 2u);

    // Its own view's closing hides it, and a button pressed then does nothing.
    second->Close1Click();
    flushDeletes();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.TargetView(), nullptr);
    d.createButton()->click();
    d.clearButton()->click();
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ToolpathsDialogTest, CancelAndEscDismissTheDialogWhileAnotherKindOfWindowIsActive)
{
    openPyramid();
    TfrmToolPaths& d = dialog();
    TfrmPicture* picture = NewPicture(*frame);
    ASSERT_EQ(ActivePicture(*frame), picture);
    ASSERT_TRUE(d.isVisible());
    d.cancelButton()->click();
    EXPECT_FALSE(d.isVisible());

    auto* view = dynamic_cast<TfrmDXFView*>(frame->ChildWindows().value(1)->widget());
    ASSERT_NE(view, nullptr);
    view->MenuItem(QStringLiteral("Toolpaths1"))->trigger();
    frame->MdiArea().setActiveSubWindow(picture->SubWindow());
    ASSERT_TRUE(d.isVisible());
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    picture->Modified = false;
}

TEST_F(ToolpathsDialogTest, FieldsTheStyleDoesNotUseDoNotBlockCreate)
{
    TfrmDXFView* view = openPyramid();
    TfrmToolPaths& d = dialog();
    // Single Depth reads no Z Step.
    setFields(QStringLiteral("1"), QStringLiteral("0..3"), QStringLiteral("0"));
    d.createButton()->click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(view->Regions().regions.size(), 2u);
    // Topography with Multiple Depths reads no Cut Depth.
    d.SetStyleIndex(1);
    d.SetRegionDepthsIndex(1);
    setFields(QStringLiteral("1"), QStringLiteral("0.5"), QStringLiteral("deep"));
    d.createButton()->click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(view->Regions().regions.size(), 4u);
    // ... but it does read Z Step.
    setFields(QStringLiteral("1"), QStringLiteral("0..3"), QStringLiteral("0"));
    d.createButton()->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("Z Step")));
}

TEST_F(ToolpathsDialogTest, CreateShowsItsRegionsAndOffersToSaveThemAtOnce)
{
    // The mesh view is the only child window: it is never activated again meanwhile.
    TfrmDXFView* view = openPyramid();
    ASSERT_EQ(frame->ChildWindows().size(), 1);
    TfrmToolPaths& d = dialog();
    QAction* saveDnc = view->MenuItem(QStringLiteral("SaveDNC1"));
    QAction* saveDxf = view->MenuItem(QStringLiteral("SaveDXF1"));
    EXPECT_FALSE(saveDnc->isEnabled());

    // View > Toolpaths was off: the regions just created are drawn all the same.
    QAction* toolpaths = view->MenuItem(QStringLiteral("Toolpaths2"));
    toolpaths->trigger();
    ASSERT_FALSE(toolpaths->isChecked());
    d.createButton()->click();
    ASSERT_EQ(view->Regions().regions.size(), 2u);
    EXPECT_TRUE(toolpaths->isChecked());
    EXPECT_GT(countPixels(view->Draw3D().PictureOnWhite(), qRgb(0, 0, 255)), 0);
    EXPECT_TRUE(saveDnc->isEnabled());
    EXPECT_TRUE(saveDxf->isEnabled());

    d.undoButton()->click();
    EXPECT_FALSE(saveDnc->isEnabled());
    EXPECT_FALSE(saveDxf->isEnabled());
    d.createButton()->click();
    EXPECT_TRUE(saveDnc->isEnabled());
    d.clearButton()->click();
    EXPECT_FALSE(saveDnc->isEnabled());
    EXPECT_FALSE(saveDxf->isEnabled());

    // A Create that finds nothing leaves View > Toolpaths as the user set it.
    toolpaths->trigger();
    setFields(QStringLiteral("50"), QStringLiteral("0"), QStringLiteral("0"));
    d.createButton()->click();
    EXPECT_FALSE(toolpaths->isChecked());
}

TEST_F(ToolpathsDialogTest, CreateUndoAndClearChangeTheViewsRegions)
{
    TfrmDXFView* view = openPyramid();
    TfrmToolPaths& d = dialog();
    d.SetStyleIndex(1);
    setFields(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"));
    d.createButton()->click();
    EXPECT_EQ(status(0), QStringLiteral("No Regions Created...Check Parameters..."));
    EXPECT_EQ(status(1), QStringLiteral("0"));
    EXPECT_FALSE(view->RegionsExist());

    // Z Step 0.3 up to Op Depth 1: the levels 0.3, 0.6 and 0.9, each its own depth.
    d.SetRegionDepthsIndex(1);
    setFields(QStringLiteral("1"), QStringLiteral("0.3"), QStringLiteral("0"));
    d.createButton()->click();
    EXPECT_EQ(status(0), QStringLiteral("3 Regions Created..."));
    EXPECT_EQ(status(1), QStringLiteral("3"));
    EXPECT_TRUE(d.undoButton()->isEnabled());
    const auto& regions = view->Regions().regions;
    ASSERT_EQ(regions.size(), 4u);
    EXPECT_NEAR(regions[1].depth, 0.3, 1e-9);
    EXPECT_NEAR(regions[2].depth, 0.6, 1e-9);
    EXPECT_NEAR(regions[3].depth, 0.9, 1e-9);

    // Blue regions over a faded mesh; with Toolpaths off, the mesh in black and no blue.
    const QImage withRegions = view->Draw3D().PictureOnWhite();
    EXPECT_GT(countPixels(withRegions, qRgb(0, 0, 255)), 0);
    EXPECT_EQ(countPixels(withRegions, qRgb(0, 0, 0)), 0);
    view->MenuItem(QStringLiteral("Toolpaths2"))->trigger();
    const QImage withoutRegions = view->Draw3D().PictureOnWhite();
    EXPECT_EQ(countPixels(withoutRegions, qRgb(0, 0, 255)), 0);
    EXPECT_GT(countPixels(withoutRegions, qRgb(0, 0, 0)), 0);
    view->MenuItem(QStringLiteral("Toolpaths2"))->trigger();

    // Save items follow the regions at activation.
    view->FormActivate();
    EXPECT_TRUE(view->MenuItem(QStringLiteral("SaveDNC1"))->isEnabled());
    EXPECT_TRUE(view->MenuItem(QStringLiteral("SaveDXF1"))->isEnabled());

    d.clearButton()->click();
    EXPECT_EQ(regions.size(), 1u);
    EXPECT_EQ(status(0), QStringLiteral("Ready..."));
    EXPECT_EQ(status(1), QStringLiteral("0"));

    // Seven levels, 0.25 to 1.75; Undo takes all seven back, once.
    d.SetRegionDepthsIndex(0);
    setFields(QStringLiteral("1.75"), QStringLiteral("0.25"), QStringLiteral("0.1"));
    d.createButton()->click();
    ASSERT_EQ(regions.size(), 8u);
    EXPECT_EQ(regions[7].depth, 0.1);
    d.undoButton()->click();
    EXPECT_EQ(status(0), QStringLiteral("The last 7 Regions were removed.."));
    EXPECT_EQ(regions.size(), 1u);
    EXPECT_FALSE(d.undoButton()->isEnabled());
    view->FormActivate();
    EXPECT_FALSE(view->MenuItem(QStringLiteral("SaveDNC1"))->isEnabled());
}

TEST_F(ToolpathsDialogTest, BadFieldsAreRefusedAndEscLeavesTheRegionsAsTheyWere)
{
    TfrmDXFView* view = openPyramid();
    TfrmToolPaths& d = dialog();
    d.createButton()->click(); // Single Depth at Op Depth 1
    ASSERT_EQ(view->Regions().regions.size(), 2u);

    // Pasted text the typing filter never sees.
    d.SetStyleIndex(1);
    setFields(QStringLiteral("1"), QStringLiteral("-0.5"), QStringLiteral("0"));
    d.createButton()->click();
    setFields(QStringLiteral("1"), QStringLiteral("0.5"), QStringLiteral("0,2"));
    d.createButton()->click();
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Z Step can not be negative!"));
    EXPECT_TRUE(prompts.messages[1].text.contains(QStringLiteral("Cut Depth")));
    EXPECT_EQ(view->Regions().regions.size(), 2u);

    // Esc arrives while the levels are being cut.
    setFields(QStringLiteral("1.9"), QStringLiteral("0.01"), QStringLiteral("0"));
    QTimer::singleShot(0, &d, [&d] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &esc);
    });
    d.createButton()->click();
    EXPECT_EQ(status(0), QStringLiteral("Process Cancelled..."));
    EXPECT_FALSE(shared().EscapePressed);
    EXPECT_EQ(view->Regions().regions.size(), 2u);
    EXPECT_TRUE(d.isVisible());
}

TEST_F(ToolpathsDialogTest, SavedFilesAreThoseOfTheCommandLine)
{
    TfrmDXFView* view = openPyramid();
    TfrmToolPaths& d = dialog();
    d.SetStyleIndex(1);
    setFields(QStringLiteral("1.5"), QStringLiteral("0.5"), QStringLiteral("0.2"));
    d.feedrateEdit()->setText(QStringLiteral("20"));
    d.rapidEdit()->setText(QStringLiteral("0.5"));
    d.createButton()->click();
    ASSERT_EQ(view->Regions().regions.size(), 4u);
    view->FormActivate();

    const QString dnc = saveFromView(*view, "SaveDNC1", QStringLiteral("window.dnc"));
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].filter, QStringLiteral("DNC Files|*.Dnc"));
    EXPECT_EQ(prompts.saveRequests[0].defaultExtension, QStringLiteral("Dnc"));
    EXPECT_EQ(prompts.saveRequests[0].folder, folder.path());
    EXPECT_EQ(status(0), QStringLiteral("Ready..."));
    const QString dxf = saveFromView(*view, "SaveDXF1", QStringLiteral("window.dxf"));
    EXPECT_EQ(prompts.saveRequests[1].filter, QStringLiteral("DXF Files|*.Dxf"));
    EXPECT_EQ(prompts.saveRequests[1].defaultExtension, QStringLiteral("Dxf"));

    const QStringList options{"--style",     "topography", "--op-depth", "1.5", "--z-step", "0.5",
                              "--cut-depth", "0.2",        "--feed",     "20",  "--rapid",  "0.5"};
    const QByteArray fromWindow = readAll(dnc);
    EXPECT_TRUE(fromWindow.startsWith("( Created "));
    EXPECT_TRUE(fromWindow.contains(" From pyramid.dxf)\r\nG90 T0\r\nF20\r\nG00 Z0.5\r\n"));
    EXPECT_EQ(fromWindow, readAll(runCli(dxfPath, folder.filePath("cli.dnc"), options)));
    EXPECT_EQ(readAll(dxf), readAll(runCli(dxfPath, folder.filePath("cli.dxf"), options)));

    // A cancelled prompt writes nothing; a file that cannot be written is reported.
    prompts.answerSave(std::nullopt);
    view->MenuItem(QStringLiteral("SaveDNC1"))->trigger();
    EXPECT_EQ(status(0), QStringLiteral("Ready..."));
    saveFromView(*view, "SaveDNC1", QStringLiteral("no such folder/out.dnc"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("out.dnc")));
}

TEST_F(ToolpathsDialogTest, RasterToVectorThroughToASavedProgram)
{
    // A dark disc on white: its levels are rings.
    imaging::Picture picture = solidPicture(12, 12, {255, 255, 255});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const double r = std::hypot(x - 5.5, y - 5.5);
            const auto grey = std::uint8_t(std::min(255.0, r * 40));
            std::uint8_t* p = picture.row(y) + 3 * x;
            p[0] = p[1] = p[2] = grey;
        }
    const QString bmp = writeBmp(folder, QStringLiteral("disc.bmp"), picture);
    TfrmPicture* source = OpenPicture(*frame, bmp);
    source->MenuItem(QStringLiteral("RastertoDXF1"))->trigger();
    auto* view = dynamic_cast<TfrmDXFView*>(frame->ActiveChild()->widget());
    ASSERT_TRUE(view && view->IsVectorConversion());
    TfrmToolPaths& d = dialog();
    ASSERT_TRUE(d.isVisible());
    EXPECT_TRUE(d.widthEdit()->isEnabled());
    EXPECT_TRUE(d.depthEdit()->isEnabled());

    d.depthEdit()->setText(QStringLiteral("0"));
    d.createButton()->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Depth can not be 0!"));

    d.widthEdit()->setText(QStringLiteral("6"));
    d.depthEdit()->setText(QStringLiteral("2"));
    d.SetStyleIndex(1);
    d.SetRegionDepthsIndex(1);
    setFields(QStringLiteral("1.5"), QStringLiteral("0.5"), QStringLiteral("0"));
    d.createButton()->click();
    ASSERT_GE(view->Regions().regions.size(), 2u);
    EXPECT_EQ(view->Mesh().extents.maxX, 11 * 0.5); // the grid's extents, in units

    view->FormActivate();
    const QString dnc = saveFromView(*view, "SaveDNC1", QStringLiteral("disc.dnc"));
    const QStringList options{"--style",  "topography", "--depths", "multiple", "--op-depth", "1.5",
                              "--z-step", "0.5",        "--width",  "6",        "--depth",    "2"};
    const QByteArray fromWindow = readAll(dnc);
    EXPECT_TRUE(fromWindow.contains(" From Vector Conversion)\r\n"));
    EXPECT_EQ(fromWindow, readAll(runCli(bmp, folder.filePath("cli.dnc"), options)));
}

} // namespace
} // namespace corvane::gui::testing
