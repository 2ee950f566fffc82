#include "gui/mesh/dxf_view.h"

#include "common/error.h"
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/mouse_rules.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "mesh/dxf_mesh_reader.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QVBoxLayout>

using corvane::gui::shared;

namespace {

constexpr int kDefaultWidth = 480;
constexpr int kDefaultHeight = 360;

// Keeps the window whole inside the visible part of the frame's area: no larger than it,
// and moved in from the right and bottom edges.
void placeInside(QMdiSubWindow& window, const QMdiArea& area, int width, int height)
{
    const QRect visible = area.viewport()->rect();
    width = std::clamp(width, std::min(200, visible.width()), std::max(visible.width(), 1));
    height = std::clamp(height, std::min(150, visible.height()), std::max(visible.height(), 1));
    window.resize(width, height);
    const int x = std::clamp(window.x(), 0, std::max(0, visible.width() - width));
    const int y = std::clamp(window.y(), 0, std::max(0, visible.height() - height));
    window.move(x, y);
}

} // namespace

TfrmDXFView::TfrmDXFView(TCorvaneFrame& frame) : frame_(frame)
{
    setObjectName(QStringLiteral("frmDXFView"));
    corvane::gui::setHelpContext(*this, corvane::gui::HelpMeshView);
    vectorConversion_ = shared().CurrentJob == corvane::gui::JobRasterToVector;

    draw3D_ = new corvane::gui::TDraw3D(this);
    draw3D_->SetOrthogonal(false);
    draw3D_->SetPerspective(0);
    draw3D_->SetColor(Qt::white);
    draw3D_->SetView({0, 0, 0, draw3D_->Zoom(), 0, 0});
    draw3D_->SetPaintHandler([this](corvane::gui::TCanvas3D& canvas) { Draw3DPaint(canvas); });
    draw3D_->SetMouseHandlers([this](QMouseEvent& e) { Draw3DMouseDown(e); },
                              [this](QMouseEvent& e) { Draw3DMouseMove(e); },
                              [this](QMouseEvent& e) { Draw3DMouseUp(e); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(draw3D_);

    buildMenus();
    MenuItem(QStringLiteral("SaveDNC1"))->setEnabled(false);
    MenuItem(QStringLiteral("SaveDXF1"))->setEnabled(false);
    setWindowTitle(vectorConversion_ ? QStringLiteral("Vector Conversion")
                                     : QStringLiteral("DXF Surface Mesh"));

    QMdiSubWindow* window = frame_.AddChildWindow(this);
    const bool saved = vectorConversion_ && shared().SavedViewWidth > 0;
    placeInside(*window, frame_.MdiArea(), saved ? shared().SavedViewWidth : kDefaultWidth,
                saved ? shared().SavedViewHeight : kDefaultHeight);
}

TfrmDXFView::~TfrmDXFView() = default;

QMdiSubWindow* TfrmDXFView::SubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void TfrmDXFView::showStatus(const QString& text)
{
    frame_.StatusBar1().setText(0, text);
    frame_.StatusBar1().repaintNow();
}

// --- loading ---

void TfrmDXFView::LoadDxfMesh(const QString& fileName)
{
    corvane::gui::GuiRunControl control(frame_.StatusBar1());
    corvane::mesh::MeshLoadOutcome outcome = corvane::mesh::MeshLoadOutcome::NoFile;
    boxOnly_ = true; // nothing is drawn from half-built lists
    loading_ = true;
    try {
        corvane::gui::Hourglass busy;
        outcome = corvane::mesh::LoadDxfMeshFile(mesh_, QFile::encodeName(fileName).toStdString(),
                                                 control);
    } catch (const corvane::Error& error) {
        loading_ = false;
        control.endProgress(corvane::ProgressDisplay::Gauge);
        // The faces before the bad number are kept and shown.
        finishLoad(fileName);
        showStatus(QStringLiteral("Failed: ") + QString::fromStdString(error.what()));
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
            QStringLiteral("Could not read all of %1.\nLine %2: %3\nThe %4 facets read before "
                           "it are shown.")
                .arg(fileName)
                .arg(error.line())
                .arg(QString::fromStdString(error.reason()))
                .arg(mesh_.triangles.size()),
            corvane::gui::ButtonOk);
        return;
    }
    loading_ = false;
    if (outcome == corvane::mesh::MeshLoadOutcome::NoFile) {
        boxOnly_ = false;
        return;
    }
    if (outcome == corvane::mesh::MeshLoadOutcome::Cancelled)
        return; // the caller closes the window
    finishLoad(fileName);
    frame_.StatusBar1().setText(1, QStringLiteral("Done"));
    showStatus(QString::fromStdString(
        corvane::mesh::loadedMessage(fileName.toStdString(), mesh_.triangles.size())));
    frame_.StatusBar1().setGaugePosition(100);
    control.endProgress(corvane::ProgressDisplay::Gauge);
}

void TfrmDXFView::finishLoad(const QString& fileName)
{
    setWindowTitle(fileName);
    boxOnly_ = false;
    frame_.StatusBar1().setGaugePosition(95);
    Isometric1Click();
    draw3D_->Repaint();
}

// --- drawing ---

void TfrmDXFView::Draw3DPaint(corvane::gui::TCanvas3D& canvas)
{
    // The panel fills the window, so its size stands for the window's.
    scale_ = corvane::gui::meshViewScale(mesh_.extents, draw3D_->width(), draw3D_->height(),
                                         draw3D_->DrawingBottom());
    const bool toolpaths = MenuItem(QStringLiteral("Toolpaths2"))->isChecked();
    // With toolpaths to show, the mesh fades behind them.
    canvas.SetPen(RegionsExist() && toolpaths ? palette().color(QPalette::Button)
                                              : QColor(Qt::black));
    canvas.SetBrush(Qt::black);
    if (boxOnly_) {
        corvane::gui::drawExtentsBox(canvas, mesh_.extents, scale_);
        return;
    }
    corvane::gui::Hourglass busy;
    if (MenuItem(QStringLiteral("Mesh1"))->isChecked())
        corvane::gui::drawEdges(canvas, mesh_.edges, scale_);
    if (toolpaths)
        DrawRegions(canvas);
}

void TfrmDXFView::Draw3DMouseDown(QMouseEvent& event)
{
    last_ = event.position().toPoint();
    boxOnly_ = true;
}

void TfrmDXFView::Draw3DMouseMove(QMouseEvent& event)
{
    const QPoint now = event.position().toPoint();
    draw3D_->SetView(corvane::gui::viewAfterDrag(draw3D_->View(), event.buttons(),
                                                 event.modifiers(), last_, now, draw3D_->height()));
    last_ = now;
}

void TfrmDXFView::Draw3DMouseUp(QMouseEvent&)
{
    boxOnly_ = false;
    draw3D_->Repaint();
}

// --- views and toggles ---

void TfrmDXFView::Top1Click()
{
    corvane::gui::ViewOptions view = draw3D_->View();
    view.rotation = view.elevation = view.tilt = 0;
    draw3D_->SetView(view);
}

void TfrmDXFView::Isometric1Click()
{
    corvane::gui::ViewOptions view = draw3D_->View();
    view.rotation = 345;
    view.elevation = 300;
    view.tilt = 0;
    draw3D_->SetView(view);
}

void TfrmDXFView::Mesh1Click()
{
    // The item's check mark has already been turned by the click.
    draw3D_->Repaint();
}

void TfrmDXFView::Toolpaths2Click()
{
    draw3D_->Repaint();
}

void TfrmDXFView::Copy1Click()
{
    draw3D_->CopyToClipboard();
}

// --- activation, the toolpaths dialog, closing ---

void TfrmDXFView::FormActivate()
{
    frame_.DisablePictureTools(true);
    const bool regions = RegionsExist();
    MenuItem(QStringLiteral("SaveDNC1"))->setEnabled(regions);
    MenuItem(QStringLiteral("SaveDXF1"))->setEnabled(regions);
    // What this window was opened as decides, not the job another window last started.
    for (const QString& name : {QStringLiteral("Create1"), QStringLiteral("N2"),
                                QStringLiteral("Mesh1"), QStringLiteral("Toolpaths2")})
        MenuItem(name)->setVisible(!vectorConversion_);
}

void TfrmDXFView::ToolPaths1Click()
{
    const QList<QMdiSubWindow*> children = frame_.ChildWindows();
    for (int position = int(children.size()) - 1; position >= 0; --position) {
        if (children[position] == frame_.ActiveChild()) {
            shared().TargetChildIndex = position;
            break;
        }
    }
    shared().CurrentJob = corvane::gui::JobMeshToolpaths;
    frame_.frmToolPaths().show();
    frame_.frmToolPaths().raise();
}

void TfrmDXFView::closeEvent(QCloseEvent* event)
{
    if (loading_) {
        // The lists are being filled: closing acts as Esc, and the window closes once the
        // reader has stopped.
        shared().EscapePressed = true;
        event->ignore();
        return;
    }
    mesh_ = corvane::FacetMesh{};
    showStatus(QStringLiteral("Ready..."));
    frame_.frmToolPaths().hide();
    event->accept();
}

void TfrmDXFView::Close1Click()
{
    if (QMdiSubWindow* window = SubWindow())
        window->close();
    showStatus(QStringLiteral("Ready..."));
}

void TfrmDXFView::Exit1Click()
{
    frame_.Exit1Click();
}

// --- opening a file ---

namespace corvane::gui {

void OpenDxfMeshFile(TCorvaneFrame& frame, const QString& fileName)
{
    TfrmDXFView* view = frame.OpenMeshView();
    view->Draw3D().SetView3D(true);
    view->Draw3D().SetRotation(0);
    view->Draw3D().SetElevation(0);
    shared().EscapePressed = false;
    view->LoadDxfMesh(fileName);
    if (shared().EscapePressed) {
        shared().EscapePressed = false;
        view->Close1Click();
        frame.StatusBar1().setGaugeVisible(false);
    }
}

} // namespace corvane::gui
