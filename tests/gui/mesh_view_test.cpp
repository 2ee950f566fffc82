// The mesh view: importing a DXF file (menu and command line), a bad number, Esc during a
// load, the menus, the mouse rules, the paint, and Raster to Vector's "Vector Conversion".
#include "gui/app/help_pages.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/draw3d/view_drag.h"
#include "gui/mesh/dxf_view.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "gui_test_support.h"
#include "mesh/triangle_sort.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

namespace corvane::gui::testing {
namespace {

// Two quads over a unit square each, one rising, one flat.
const char* const kTwoQuads =
    "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
    "0\r\n3DFACE\r\n10\r\n0\r\n20\r\n0\r\n30\r\n0\r\n11\r\n1\r\n21\r\n"
    "0\r\n31\r\n1\r\n12\r\n1\r\n22\r\n1\r\n32\r\n2\r\n13\r\n0\r\n23\r\n"
    "1\r\n33\r\n1\r\n"
    "0\r\n3DFACE\r\n10\r\n1\r\n30\r\n0\r\n11\r\n2\r\n31\r\n0\r\n12\r\n2\r\n"
    "32\r\n0\r\n13\r\n1\r\n33\r\n0\r\n"
    "0\r\nENDSEC\r\n0\r\nEOF\r\n";

class MeshViewTest : public FrameTest {
protected:
    QString writeDxf(const QString& name, const QByteArray& text) { return writeFile(name, text); }
    TfrmDXFView* activeView() const { return activeChild<TfrmDXFView>(); }
    // Presses and moves the mouse on the panel with the given buttons and keys.
    void drag(TfrmDXFView& view, Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint from,
              QPoint to)
    {
        TDraw3D& panel = view.Draw3D();
        QMouseEvent press(QEvent::MouseButtonPress, from, panel.mapToGlobal(from), button, button,
                          keys);
        QApplication::sendEvent(&panel, &press);
        EXPECT_TRUE(view.BoxOnly());
        QMouseEvent move(QEvent::MouseMove, to, panel.mapToGlobal(to), Qt::NoButton, button, keys);
        QApplication::sendEvent(&panel, &move);
        EXPECT_TRUE(view.BoxOnly());
        QMouseEvent release(QEvent::MouseButtonRelease, to, panel.mapToGlobal(to), button,
                            Qt::NoButton, keys);
        QApplication::sendEvent(&panel, &release);
        EXPECT_FALSE(view.BoxOnly());
    }
};

TEST_F(MeshViewTest, ImportLoadsTheFileIntoANewIsometricView)
{
    const QString path = writeDxf(QStringLiteral("two.dxf"), kTwoQuads);
    frame->New1Click(); // a picture first: the view turns the picture tools off
    shared().CurrentJob = JobRasterToVector;
    prompts.answerOpen(FileChoice{path, 1});
    frame->ImportDXFMesh1Click();

    TfrmDXFView* view = activeView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(shared().CurrentJob, JobMeshImport);
    EXPECT_EQ(view->DocumentName(), path);
    EXPECT_EQ(view->Mesh().edges.size(), 10u);
    EXPECT_EQ(view->Mesh().triangles.size(), 2u);
    EXPECT_FALSE(view->BoxOnly());
    // Isometric, the zoom and offsets fitting the mesh into the panel.
    EXPECT_EQ(view->Draw3D().Rotation(), 345);
    EXPECT_EQ(view->Draw3D().Elevation(), 300);
    EXPECT_EQ(view->Draw3D().Tilt(), 0);
    EXPECT_EQ(frame->StatusBar1().text(0),
              path + " Succesfully loaded... 2 Facets displayed. Use mouse to change view.");
    EXPECT_EQ(frame->StatusBar1().text(1), QStringLiteral("Done"));
    EXPECT_FALSE(frame->ToolButton(3)->isEnabled());
    EXPECT_FALSE(view->MenuItem(QStringLiteral("SaveDNC1"))->isEnabled());
    EXPECT_FALSE(view->MenuItem(QStringLiteral("SaveDXF1"))->isEnabled());
    EXPECT_TRUE(view->MenuItem(QStringLiteral("Create1"))->isVisible());
    // Whole inside the frame's area.
    EXPECT_TRUE(frame->MdiArea().viewport()->rect().contains(view->SubWindow()->geometry()));

    // F1 opens the view's own page.
    std::vector<QUrl> opened;
    setUrlOpener([&](const QUrl& url) { opened.push_back(url); });
    QTest::keyClick(&view->Draw3D(), Qt::Key_F1);
    setUrlOpener({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].path().endsWith(QStringLiteral("/mesh.html")));

    // A .dxf on the command line opens a view as well.
    frame->OpenFile(path);
    ASSERT_NE(activeView(), view);
    ASSERT_NE(activeView(), nullptr);
    EXPECT_EQ(activeView()->DocumentName(), path);
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 3);
}

TEST_F(MeshViewTest, BadNumberIsReportedAndWhatWasReadStays)
{
    QByteArray text(kTwoQuads);
    text.replace("10\r\n1\r\n30", "10\r\n1;5\r\n30");
    const QString path = writeDxf(QStringLiteral("bad.dxf"), text);
    corvane::gui::OpenMeshFile(*frame, path);
    TfrmDXFView* view = activeView();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("Could not read all of %1.\nLine 34: \"1;5\" is not a number\nThe 2 "
                             "facets read before it are shown.")
                  .arg(path));
    EXPECT_TRUE(frame->StatusBar1().text(0).startsWith(QStringLiteral("Failed: ")));
    EXPECT_EQ(view->Mesh().edges.size(), 5u);
    EXPECT_FALSE(view->BoxOnly());
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
}

TEST_F(MeshViewTest, FilesThatAreNoMeshAreReportedAndTheirEmptyViewsClose)
{
    // Random bytes, an empty file, a folder, a file that is not there: nothing to show.
    QByteArray noise(2048, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    const QString random = writeDxf(QStringLiteral("random.dxf"), noise);
    const QString empty = writeDxf(QStringLiteral("empty.dxf"), QByteArray());
    const QString missing = folder.filePath(QStringLiteral("missing.dxf"));
    const std::pair<QString, QString> cases[] = {
        {random, QStringLiteral("no 3DFACE found: not a DXF surface mesh")},
        {empty, QStringLiteral("no 3DFACE found: not a DXF surface mesh")},
        {missing, QStringLiteral("There is no such file.")},
        {folder.path(), QString()},
    };
    for (const auto& [path, reason] : cases) {
        prompts.messages.clear();
        corvane::gui::OpenMeshFile(*frame, path);
        flushDeletes();
        EXPECT_TRUE(frame->MdiArea().subWindowList().isEmpty()) << path.toStdString();
        ASSERT_EQ(prompts.messages.size(), 1u) << path.toStdString();
        EXPECT_TRUE(
            prompts.messages[0].text.startsWith(QStringLiteral("Could not read %1.\n").arg(path)))
            << prompts.messages[0].text.toStdString();
        EXPECT_TRUE(prompts.messages[0].text.endsWith(reason))
            << prompts.messages[0].text.toStdString();
        EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
    }

    // Cut short inside the second face: the first stays, and the line of the cut face is named.
    QByteArray text(kTwoQuads);
    text.truncate(text.indexOf("0\r\nENDSEC"));
    const QString cut = writeDxf(QStringLiteral("cut.dxf"), text);
    prompts.messages.clear();
    corvane::gui::OpenMeshFile(*frame, cut);
    TfrmDXFView* view = activeView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Mesh().edges.size(), 5u);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("Could not read all of %1.\nLine 32: the file ends inside this "
                             "3DFACE\nThe 2 facets read before it are shown.")
                  .arg(cut));
}

TEST_F(MeshViewTest, EscDuringTheLoadClosesTheView)
{
    const QString path = writeDxf(QStringLiteral("two.dxf"), kTwoQuads);
    // The key waits in the queue until the reader lets pending input through after reading.
    QCoreApplication::postEvent(frame.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    corvane::gui::OpenMeshFile(*frame, path);
    flushDeletes();
    EXPECT_TRUE(frame->MdiArea().subWindowList().isEmpty());
    EXPECT_FALSE(shared().EscapePressed);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Process Cancelled..."));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MeshViewTest, MouseRulesAndViews)
{
    // Exact buttons and keys: Ctrl or a second button make a drag do nothing.
    const ViewOptions start{10, 20, 0, 100, 0, 0};
    const QPoint a(50, 50), b(60, 30);
    EXPECT_EQ(viewAfterDrag(start, Qt::LeftButton, Qt::ControlModifier, a, b, 200), start);
    EXPECT_EQ(viewAfterDrag(start, Qt::LeftButton | Qt::RightButton, {}, a, b, 200), start);
    EXPECT_EQ(viewAfterDrag(start, Qt::RightButton, Qt::ShiftModifier, a, b, 200), start);
    EXPECT_EQ(viewAfterDrag(start, Qt::LeftButton, {}, a, b, 200),
              (ViewOptions{0, 0, 0, 100, 0, 0}));
    EXPECT_EQ(viewAfterDrag(start, Qt::LeftButton, Qt::ShiftModifier, a, b, 200),
              (ViewOptions{10, 20, 0, 100, 10, -20}));
    // Zoom: (50 - 30) * 100 / 200 = 10; 2.5 goes to 2; never down to 0.
    EXPECT_EQ(viewAfterDrag(start, Qt::RightButton, {}, a, b, 200).zoom, 110);
    EXPECT_EQ(viewAfterDrag(start, Qt::RightButton, {}, {0, 5}, {0, 0}, 200).zoom, 102);
    EXPECT_EQ(viewAfterDrag(start, Qt::RightButton, {}, {0, 0}, {0, 400}, 200).zoom, 100);
    EXPECT_EQ(viewAfterDrag(start, Qt::RightButton, {}, {0, 0}, {0, 10}, 0).zoom, 100);

    const QString path = writeDxf(QStringLiteral("two.dxf"), kTwoQuads);
    corvane::gui::OpenMeshFile(*frame, path);
    TfrmDXFView* view = activeView();
    ASSERT_NE(view, nullptr);
    const ViewOptions fitted = view->Draw3D().View(); // isometric, fitted to the panel
    drag(*view, Qt::LeftButton, Qt::ControlModifier, {40, 40}, {90, 10});
    EXPECT_EQ(view->Draw3D().View(), fitted);
    drag(*view, Qt::LeftButton, Qt::NoModifier, {40, 40}, {50, 45});
    ViewOptions turned = fitted;
    turned.rotation = 335;
    turned.elevation = 305;
    EXPECT_EQ(view->Draw3D().View(), turned);
    view->Top1Click();
    EXPECT_EQ(view->Draw3D().Rotation(), 0);
    EXPECT_EQ(view->Draw3D().Elevation(), 0);
    EXPECT_EQ(view->Draw3D().Tilt(), 0);
}

TEST_F(MeshViewTest, PaintTogglesAndCopy)
{
    const QString path = writeDxf(QStringLiteral("two.dxf"), kTwoQuads);
    corvane::gui::OpenMeshFile(*frame, path);
    TfrmDXFView* view = activeView();
    ASSERT_NE(view, nullptr);
    view->Top1Click();
    const auto hasInk = [](const QImage& picture) {
        for (int y = 3; y < picture.height() - 3; ++y)
            for (int x = 3; x < picture.width() - 3; ++x)
                if (picture.pixelColor(x, y) != QColor(Qt::white))
                    return true;
        return false;
    };
    EXPECT_TRUE(hasInk(view->Draw3D().PictureOnWhite()));
    // The whole mesh, 2 by 1 units, fits the panel: the scale is the smaller quotient.
    EXPECT_DOUBLE_EQ(view->ViewScale().scale,
                     std::min(view->Draw3D().width() / 2.0, view->Draw3D().height() / 1.0));
    EXPECT_EQ(view->ViewScale().base, view->Draw3D().DrawingBottom());

    view->MenuItem(QStringLiteral("Mesh1"))->trigger(); // off: nothing but the background
    EXPECT_FALSE(view->MenuItem(QStringLiteral("Mesh1"))->isChecked());
    EXPECT_FALSE(hasInk(view->Draw3D().PictureOnWhite()));
    view->MenuItem(QStringLiteral("Mesh1"))->trigger();

    view->MenuItem(QStringLiteral("Copy1"))->trigger();
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), view->Draw3D().size());
    EXPECT_TRUE(hasInk(copied));

    view->MenuItem(QStringLiteral("Close1"))->trigger();
    flushDeletes();
    EXPECT_TRUE(frame->MdiArea().subWindowList().isEmpty());
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));
}

TEST_F(MeshViewTest, RasterToVectorOpensAVectorConversionOverTheGrid)
{
    imaging::Picture picture = solidPicture(2, 2, {255, 255, 255});
    picture.pixels[0] = picture.pixels[1] = picture.pixels[2] = 0; // top left black
    TfrmPicture* source = OpenPicture(*frame, writeBmp(folder, QStringLiteral("two.bmp"), picture));
    ASSERT_TRUE(source->TP->HasImage());
    const QSize pictureSize = source->SubWindow()->size();
    shared().EscapePressed = true; // left over from an earlier Cancel
    source->MenuItem(QStringLiteral("RastertoDXF1"))->trigger();

    TfrmDXFView* view = activeView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->IsVectorConversion());
    EXPECT_EQ(view->DocumentName(), QStringLiteral("Vector Conversion"));
    EXPECT_EQ(shared().CurrentJob, JobRasterToVector);
    EXPECT_EQ(shared().TargetChildIndex, 0);
    EXPECT_EQ(shared().SavedViewWidth, pictureSize.width());
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Done..."));
    EXPECT_EQ(shared().VectorGridColumns, 2);
    EXPECT_EQ(shared().VectorGridRows, 2);
    ASSERT_EQ(shared().VectorGrid.triangles.size(), 1u);
    EXPECT_EQ(shared().VectorGrid.triangles[0].c[2], (Point3D{0, 2, 255}));
    EXPECT_FALSE(shared().VectorGrid.sortCutShort);
    EXPECT_TRUE(view->Mesh().edges.empty());
    for (const QString& hidden : {QStringLiteral("Create1"), QStringLiteral("N2"),
                                  QStringLiteral("Mesh1"), QStringLiteral("Toolpaths2")})
        EXPECT_FALSE(view->MenuItem(hidden)->isVisible()) << hidden.toStdString();
    EXPECT_TRUE(toolpathsDialog().isVisible());

    // A DXF view opened afterwards keeps its Create menu although CurrentJob is still 35.
    shared().CurrentJob = JobMeshImport;
    corvane::gui::OpenMeshFile(*frame, writeDxf(QStringLiteral("two.dxf"), kTwoQuads));
    shared().CurrentJob = JobRasterToVector;
    activeView()->FormActivate();
    EXPECT_TRUE(activeView()->MenuItem(QStringLiteral("Create1"))->isVisible());
}

} // namespace
} // namespace corvane::gui::testing
