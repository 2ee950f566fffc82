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
    draw3D_->SetFitBoxHandler([this] {
        corvane::Extents3D box = mesh_.extents;
        return std::optional(corvane::gui::canvasBox(
            box, corvane::gui::meshViewScale(box, draw3D_->width(), draw3D_->height(),
                                             draw3D_->DrawingBottom())));
    });
    draw3D_->SetMouseHandlers([this](QMouseEvent& e) { Draw3DMouseDown(e); },
                              [this](QMouseEvent& e) { Draw3DMouseMove(e); },
                              [this](QMouseEvent& e) { Draw3DMouseUp(e); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(draw3D_);

    buildMenus();
    MenuItem(QStringLiteral("SaveDNC1"))->setEnabled(false);
    MenuItem(QStringLiteral("SaveDXF1"))->setEnabled(false);
    setDocumentName(vectorConversion_ ? QStringLiteral("Vector Conversion")
                                      : QStringLiteral("DXF Surface Mesh"));

    QMdiSubWindow* window = frame_.AddChildWindow(this);
    const bool saved = vectorConversion_ && shared().SavedViewWidth > 0;
    frame_.PlaceChildInside(*window, saved ? shared().SavedViewWidth : kDefaultWidth,
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

bool TfrmDXFView::LoadDxfMesh(const QString& fileName)
{
    corvane::gui::GuiRunControl control(frame_.StatusBar1());
    corvane::mesh::MeshLoadOutcome outcome = corvane::mesh::MeshLoadOutcome::NoFile;
    loading_ = true; // nothing is drawn from half-built lists
    try {
        corvane::gui::Hourglass busy;
        outcome = corvane::mesh::LoadDxfMeshFile(mesh_, QFile::encodeName(fileName).toStdString(),
                                                 control);
    } catch (const corvane::Error& error) {
        loading_ = false;
        control.endProgress(corvane::ProgressDisplay::Gauge);
        const QString reason =
            (error.line() > 0 ? QStringLiteral("Line %1: ").arg(error.line()) : QString()) +
            QString::fromStdString(error.reason());
        showStatus(QStringLiteral("Failed: ") + QString::fromStdString(error.what()));
        if (mesh_.edges.empty()) {
            // Nothing to show: the caller closes the window.
            corvane::gui::prompts().message(corvane::gui::MessageKind::Warning,
                                            QStringLiteral("Warning"),
                                            QStringLiteral("Could not read %1.\n%2").arg(fileName, reason),
                                            corvane::gui::ButtonOk);
            return false;
        }
        // The faces before the fault are kept and shown.
        finishLoad(fileName);
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
            QStringLiteral("Could not read all of %1.\n%2\nThe %3 facets read before "
                           "it are shown.")
                .arg(fileName, reason)
                .arg(mesh_.triangles.size()),
            corvane::gui::ButtonOk);
        return true;
    }
    loading_ = false;
    if (outcome == corvane::mesh::MeshLoadOutcome::NoFile) {
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
            QStringLiteral("Could not read %1.\nThere is no such file.").arg(fileName),
            corvane::gui::ButtonOk);
        return false;
    }
    if (outcome == corvane::mesh::MeshLoadOutcome::Cancelled)
        return true; // the caller closes the window
    finishLoad(fileName);
    frame_.StatusBar1().setText(1, QStringLiteral("Done"));
    showStatus(QString::fromStdString(
        corvane::mesh::loadedMessage(fileName.toStdString(), mesh_.triangles.size())));
    frame_.StatusBar1().setGaugePosition(100);
    control.endProgress(corvane::ProgressDisplay::Gauge);
    return true;
}

QString TfrmDXFView::DocumentName() const
{
    return windowTitle().remove(QStringLiteral("[*]"));
}

void TfrmDXFView::setDocumentName(const QString& name)
{
    // "[*]" shows as "*" while regions wait to be saved.
    setWindowTitle(name + QStringLiteral("[*]"));
}

void TfrmDXFView::finishLoad(const QString& fileName)
{
    setDocumentName(fileName);
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
    if (BoxOnly()) {
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
    drag_.press(event);
}

void TfrmDXFView::Draw3DMouseMove(QMouseEvent& event)
{
    drag_.move(*draw3D_, event);
}

void TfrmDXFView::Draw3DMouseUp(QMouseEvent&)
{
    drag_.release(*draw3D_);
}

// --- views and toggles ---

void TfrmDXFView::Top1Click()
{
    draw3D_->FitView(corvane::gui::topView(draw3D_->View()));
}

void TfrmDXFView::Isometric1Click()
{
    draw3D_->FitView(corvane::gui::isometricView(draw3D_->View()));
}

void TfrmDXFView::ZoomToFit1Click()
{
    draw3D_->ZoomToFit();
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
    enableSaveItems();
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
    frame_.frmToolPaths().ShowFor(*this);
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
    // The region count belongs to this window.
    frame_.StatusBar1().setText(1, QString());
    showStatus(QStringLiteral("Ready..."));
    frame_.frmToolPaths().ViewClosing(*this);
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
    const bool shown = view->LoadDxfMesh(fileName);
    if (shared().EscapePressed) {
        shared().EscapePressed = false;
        view->Close1Click();
        frame.StatusBar1().setGaugeVisible(false);
        frame.StatusBar1().setText(0, QStringLiteral("Process Cancelled..."));
    } else if (!shown) {
        // The user has been told; an empty view would only be in the way.
        view->Close1Click();
    }
}

} // namespace corvane::gui
