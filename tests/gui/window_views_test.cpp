// What the 3D windows and the status bar show: Top and Isometric fit the drawing into its
// panel (and keep it fitted when the window grows), the DNC view scales its drawing to its
// own pane and keeps the panes' shares, the Cut Preview shows its figures whole and leaves
// the frame's size alone, and the status bar forgets a closed view's region count.
#include "dnc/dnc_reader.h"
#include "gui/app/application.h"
#include "gui/dnc/dnc_window.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/dxf_view.h"
#include "gui/mesh/mesh_paint.h"
#include "gui/simulation/cut_preview.h"
#include "gui/simulation/surface_paint.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "gui_test_support.h"
#include "simulation/simulate_program.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>

namespace corvane::gui::testing {
namespace {

// A quad far from the origin, so that the drawing does not start where the canvas does.
const char* const kFarQuad =
    "0\r\n3DFACE\r\n10\r\n50\r\n20\r\n20\r\n30\r\n0\r\n11\r\n54\r\n21\r\n"
    "20\r\n31\r\n1\r\n12\r\n54\r\n22\r\n23\r\n32\r\n2\r\n13\r\n50\r\n23\r\n"
    "23\r\n33\r\n1\r\n0\r\nEOF\r\n";
const char* const kProgram = "G90 T0 F20\r\nG00 X1 Y1 Z0.1\r\nG01 Z-0.2\r\nG01 X9\r\nG01 Y3\r\n";

// Whether the whole box, projected with the panel's view, lies inside the panel's drawing area.
bool showsWhole(const TDraw3D& panel, const CanvasBox& box)
{
    const QRectF area = panel.contentsRect();
    for (double x : {box.minX, box.maxX})
        for (double y : {box.minY, box.maxY})
            for (double z : {box.minZ, box.maxZ}) {
                const ScreenPoint p = panel.Project(int(x), int(y), int(z));
                if (!area.contains(QPointF(p.x, p.y)))
                    return false;
            }
    return true;
}

CanvasBox boxOf(Extents3D extents, const TDraw3D& panel)
{
    return canvasBox(meshViewScale(extents, panel.width(), panel.height(), panel.DrawingBottom()));
}

class WindowViewsTest : public FrameTest {};

TEST_F(WindowViewsTest, TopAndIsometricFitTheMeshAndKeepItFittedWhenTheWindowGrows)
{
    OpenMeshFile(*frame, writeFile(QStringLiteral("far.dxf"), kFarQuad));
    auto* view = activeChild<TfrmDXFView>();
    ASSERT_NE(view, nullptr);
    TDraw3D& panel = view->Draw3D();
    const auto box = [&] { return boxOf(view->Mesh().extents, panel); };
    EXPECT_EQ(panel.Rotation(), 345);
    EXPECT_EQ(panel.Elevation(), 300);
    EXPECT_TRUE(showsWhole(panel, box()));

    // Top after a zoom: the whole mesh again, not the old zoom.
    ViewOptions zoomed = panel.View();
    zoomed.zoom = 500;
    panel.SetView(zoomed);
    EXPECT_FALSE(showsWhole(panel, box()));
    view->Top1Click();
    EXPECT_EQ(panel.Rotation(), 0);
    EXPECT_NE(panel.Zoom(), 500);
    EXPECT_TRUE(showsWhole(panel, box()));

    // Maximised, then back: the fitted view follows the panel.
    view->Isometric1Click();
    view->SubWindow()->showMaximized();
    QApplication::processEvents();
    EXPECT_TRUE(showsWhole(panel, box()));
    view->SubWindow()->showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(showsWhole(panel, box()));

    // Zoom to Fit, on the Home key, in the View menu.
    QAction* fit = view->MenuItem(QStringLiteral("ZoomToFit1"));
    ASSERT_NE(fit, nullptr);
    EXPECT_EQ(fit->text(), QStringLiteral("&Zoom to Fit"));
    EXPECT_EQ(fit->shortcut(), QKeySequence(Qt::Key_Home));
    panel.SetView(zoomed);
    fit->trigger();
    EXPECT_TRUE(showsWhole(panel, box()));

    // The region count in panel 1 goes with the view.
    frame->StatusBar1().setText(1, QStringLiteral("7"));
    view->Close1Click();
    flushDeletes();
    EXPECT_EQ(frame->StatusBar1().text(1), QString());
}

TEST_F(WindowViewsTest, TheDncDrawingScalesToItsOwnPaneWhichKeepsItsShare)
{
    OpenDncFile(*frame, writeFile(QStringLiteral("part.dnc"), kProgram));
    auto* view = activeChild<TfrmDnc>();
    ASSERT_NE(view, nullptr);
    TDraw3D& panel = view->Draw3D();
    view->Draw3D().Repaint();
    Extents3D extents = view->Program().extents;
    EXPECT_DOUBLE_EQ(view->ViewScale().scale,
                     meshViewScale(extents, panel.width(), panel.height(), 0).scale);
    EXPECT_TRUE(showsWhole(panel, boxOf(view->Program().extents, panel)));
    EXPECT_NE(view->MenuItem(QStringLiteral("ZoomToFit1")), nullptr);

    const auto share = [&] {
        const QList<int> sizes = view->Splitter1().sizes();
        return double(sizes[0]) / (sizes[0] + sizes[1]);
    };
    EXPECT_NEAR(share(), 1.0 / 3, 0.02);
    QMdiSubWindow* window = view->SubWindow();
    window->resize(window->width() * 3 / 2, window->height());
    QApplication::processEvents();
    EXPECT_NEAR(share(), 1.0 / 3, 0.02);
    // A divider the user moved keeps its new share.
    view->Splitter1().setSizes({view->Splitter1().width() / 2, view->Splitter1().width() / 2});
    emit view->Splitter1().splitterMoved(view->Splitter1().width() / 2, 1);
    window->resize(window->width() * 2 / 3, window->height());
    QApplication::processEvents();
    EXPECT_NEAR(share(), 0.5, 0.02);
}

TEST_F(WindowViewsTest, TheCutPreviewShowsItsFiguresWholeAndLeavesTheFrameAlone)
{
    const QSize before = frame->size();
    simulation::SimulationSettings settings;
    settings.cutter.radius = 0.25;
    settings.cell = 0.05;
    const dnc::DncProgram program = dnc::ParseDncProgram(kProgram, silentRunControl());
    auto* preview = new TfrmCutPreview(
        *frame, simulation::SimulateProgram(program, settings, silentRunControl()),
        QStringLiteral("part.dnc"));
    QApplication::processEvents();
    EXPECT_EQ(frame->size(), before);
    EXPECT_TRUE(frame->MdiArea().viewport()->rect().contains(preview->SubWindow()->geometry()));
    const QLabel& line = preview->FiguresLine();
    EXPECT_TRUE(line.isVisible());
    EXPECT_EQ(line.text(), preview->Figures());
    EXPECT_GE(line.height(), line.heightForWidth(line.width())) << "no line cut off";
    EXPECT_GT(line.y(), preview->Draw3D().geometry().bottom());
    EXPECT_TRUE(showsWhole(preview->Draw3D(),
                           boxOf(surfaceExtents(preview->Surface()), preview->Draw3D())));
}

TEST_F(WindowViewsTest, AMeshViewIsMarkedWhileItHoldsUnsavedRegions)
{
    const QString mesh = writeFile(QStringLiteral("far.dxf"), kFarQuad);
    OpenMeshFile(*frame, mesh);
    auto* view = activeChild<TfrmDXFView>();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->isWindowModified());
    EXPECT_EQ(view->windowTitle(), mesh + QStringLiteral("[*]"));
    view->MenuItem(QStringLiteral("Toolpaths1"))->trigger();
    TfrmToolPaths& d = toolpathsDialog();
    d.SetStyleIndex(1);
    d.SetRegionDepthsIndex(1);
    d.opDepthEdit()->setText(QStringLiteral("1.5"));
    d.zStepEdit()->setText(QStringLiteral("0.5"));
    d.cutDepthEdit()->setText(QStringLiteral("0"));
    d.createButton()->click();
    ASSERT_TRUE(view->RegionsExist());
    EXPECT_TRUE(view->isWindowModified());

    view->FormActivate(); // the Save items follow the regions
    prompts.answerSave(FileChoice{folder.filePath(QStringLiteral("paths.dxf")), 1});
    view->MenuItem(QStringLiteral("SaveDXF1"))->trigger();
    EXPECT_FALSE(view->isWindowModified());
    d.createButton()->click();
    EXPECT_TRUE(view->isWindowModified());
    d.clearButton()->click();
    EXPECT_FALSE(view->isWindowModified());
    d.hide();
}

TEST_F(WindowViewsTest, TheGaugeShownDuringAJobLeavesPanelOneInSight)
{
    TStatusPanels& status = frame->StatusBar1();
    QApplication::processEvents();
    status.setText(1, QStringLiteral("12"));
    // A job shows the gauge and paints at once, before the bar has been laid out again.
    status.setGaugeVisible(true);
    status.repaintNow();
    const auto* gauge = frame->statusBar()->findChild<QProgressBar*>();
    ASSERT_NE(gauge, nullptr);
    const QRect gaugeArea(gauge->mapTo(frame->statusBar(), QPoint()), gauge->size());
    int panels = 0;
    for (const QLabel* panel : frame->statusBar()->findChildren<QLabel*>()) {
        if (panel->objectName() != QStringLiteral("StatusPanel"))
            continue;
        ++panels;
        EXPECT_FALSE(panel->geometry().intersects(gaugeArea))
            << "gauge " << gaugeArea.x() << "," << gaugeArea.width() << " over the panel at "
            << panel->geometry().x() << "," << panel->geometry().width() << " showing "
            << panel->text().toStdString() << " bar " << frame->statusBar()->width();
    }
    EXPECT_EQ(panels, 2);
    status.setGaugeVisible(false);
}

TEST_F(WindowViewsTest, AMaximisedChildsTitleIsNotFollowedByTheProgramsNameAgain)
{
    // The window system appends the display name to any title that does not end in it; the
    // program sets none, so "Corvane - [New Picture]" stays as it is.
    const QString name = QCoreApplication::applicationName();
    nameApplication();
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QCoreApplication::setApplicationName(name);
}

} // namespace
} // namespace corvane::gui::testing
