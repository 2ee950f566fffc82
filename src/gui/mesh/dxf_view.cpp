#include "gui/mesh/dxf_view.h"

#include "common/error.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/draw3d/draw3d_panel.h"
#include "mesh/dxf_mesh_reader.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPalette>
#include <QVBoxLayout>

using corvane::gui::shared;

namespace {

constexpr int kDefaultWidth = 480;
constexpr int kDefaultHeight = 360;

} // namespace

TfrmDXFView::TfrmDXFView(corvane::gui::WindowFrame& frame) : TView3DWindow(frame)
{
    setObjectName(QStringLiteral("frmDXFView"));
    corvane::gui::setHelpContext(*this, corvane::gui::HelpMeshView);
    vectorConversion_ = shared().CurrentJob == corvane::gui::JobRasterToVector;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&Draw3D());
    // The view itself takes input while it loads: closing it abandons the load.
    corvane::gui::LongRun::Options load;
    load.window = this;
    loadRun_ = std::make_unique<corvane::gui::LongRun>(frame_, load);

    buildMenus();
    MenuItem(QStringLiteral("SaveDNC1"))->setEnabled(false);
    MenuItem(QStringLiteral("SaveDXF1"))->setEnabled(false);
    setWindowTitle(vectorConversion_ ? QStringLiteral("Vector Conversion")
                                     : QStringLiteral("DXF Surface Mesh"));

    const bool saved = vectorConversion_ && shared().SavedViewWidth > 0;
    showInFrame(saved ? shared().SavedViewWidth : kDefaultWidth,
                saved ? shared().SavedViewHeight : kDefaultHeight);
}

TfrmDXFView::~TfrmDXFView() = default;

void TfrmDXFView::showStatus(const QString& text)
{
    frame_.StatusBar1().setText(0, text);
    frame_.StatusBar1().repaintNow();
}

// --- loading ---

bool TfrmDXFView::LoadDxfMesh(const QString& fileName)
{
    corvane::mesh::MeshLoadOutcome outcome = corvane::mesh::MeshLoadOutcome::NoFile;
    std::optional<corvane::Error> badNumber;
    // Nothing is drawn from half-built lists meanwhile (BoxOnly).
    const corvane::gui::RunReport report = loadRun_->run([&](corvane::RunControl& control) {
        try {
            outcome = corvane::mesh::LoadDxfMeshFile(
                mesh_, QFile::encodeName(fileName).toStdString(), control);
        } catch (const corvane::Error& error) {
            badNumber = error;
        }
        return outcome != corvane::mesh::MeshLoadOutcome::Cancelled;
    });
    auto& status = frame_.StatusBar1();
    if (report.outcome == corvane::gui::RunOutcome::Stopped)
        return false;
    if (badNumber) {
        status.setGaugeVisible(false);
        // The faces before the bad number are kept and shown.
        finishLoad(fileName);
        showStatus(QStringLiteral("Failed: ") + QString::fromStdString(badNumber->what()));
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
            QStringLiteral("Could not read all of %1.\nLine %2: %3\nThe %4 facets read before "
                           "it are shown.")
                .arg(fileName)
                .arg(badNumber->line())
                .arg(QString::fromStdString(badNumber->reason()))
                .arg(mesh_.triangles.size()),
            corvane::gui::ButtonOk);
        return true;
    }
    if (report.outcome == corvane::gui::RunOutcome::Failed ||
        outcome == corvane::mesh::MeshLoadOutcome::NoFile)
        return true;
    finishLoad(fileName);
    status.setText(1, QStringLiteral("Done"));
    showStatus(QString::fromStdString(
        corvane::mesh::loadedMessage(fileName.toStdString(), mesh_.triangles.size())));
    status.setGaugePosition(100);
    status.setGaugeVisible(false);
    status.repaintNow();
    return true;
}

bool TfrmDXFView::BoxOnly() const
{
    return TView3DWindow::BoxOnly() || loadRun_->running();
}

void TfrmDXFView::finishLoad(const QString& fileName)
{
    setWindowTitle(fileName);
    frame_.StatusBar1().setGaugePosition(95);
    Isometric1Click();
    Draw3D().Repaint();
}

// --- drawing ---

void TfrmDXFView::paintView(corvane::gui::TCanvas3D& canvas)
{
    // The panel fills the window, so its size stands for the window's.
    const corvane::gui::MeshViewScale& view = fitView(mesh_.extents, Draw3D().size());
    const bool toolpaths = MenuItem(QStringLiteral("Toolpaths2"))->isChecked();
    // With toolpaths to show, the mesh fades behind them.
    canvas.SetPen(RegionsExist() && toolpaths ? palette().color(QPalette::Button)
                                              : QColor(Qt::black));
    canvas.SetBrush(Qt::black);
    if (BoxOnly()) {
        corvane::gui::drawExtentsBox(canvas, view);
        return;
    }
    corvane::gui::Hourglass busy;
    if (MenuItem(QStringLiteral("Mesh1"))->isChecked())
        corvane::gui::drawEdges(canvas, mesh_.edges, view);
    if (toolpaths)
        DrawRegions(canvas);
}

// --- toggles ---

void TfrmDXFView::Mesh1Click()
{
    // The item's check mark has already been turned by the click.
    Draw3D().Repaint();
}

void TfrmDXFView::Toolpaths2Click()
{
    Draw3D().Repaint();
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
    frame_.ShowToolpathsDialog(*this);
}

void TfrmDXFView::closeEvent(QCloseEvent* event)
{
    if (loadRun_->running()) {
        // The lists are being filled: closing abandons the load, and the window closes once
        // the reader has stopped.
        loadRun_->abandon();
        event->ignore();
        return;
    }
    mesh_ = corvane::FacetMesh{};
    showStatus(QStringLiteral("Ready..."));
    frame_.MeshViewClosing(*this);
    event->accept();
}

// --- opening a file ---

namespace corvane::gui {

void OpenDxfMeshFile(corvane::gui::WindowFrame& frame, const QString& fileName)
{
    auto* view = new TfrmDXFView(frame); // owned by its sub-window
    if (!view->LoadDxfMesh(fileName)) {
        view->Close1Click();
        frame.StatusBar1().setGaugeVisible(false);
        frame.StatusBar1().setText(0, QStringLiteral("Process Cancelled..."));
    }
}

} // namespace corvane::gui
