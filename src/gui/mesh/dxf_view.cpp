#include "gui/mesh/dxf_view.h"

#include "common/error.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/draw3d/draw3d_panel.h"
#include "mesh/mesh_file_reader.h"

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

    buildMenus();
    MenuItem(QStringLiteral("SaveDNC1"))->setEnabled(false);
    MenuItem(QStringLiteral("SaveDXF1"))->setEnabled(false);
    MenuItem(QStringLiteral("DepthMap1"))->setEnabled(false);
    setDocumentName(vectorConversion_ ? QStringLiteral("Vector Conversion")
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

bool TfrmDXFView::LoadMesh(const QString& fileName)
{
    corvane::mesh::MeshLoadOutcome outcome = corvane::mesh::MeshLoadOutcome::NoFile;
    std::optional<corvane::Error> fault;
    // Nothing is drawn from half-built lists meanwhile (BoxOnly).
    const corvane::gui::RunReport report = runLoad([&](corvane::RunControl& control) {
        try {
            outcome = corvane::mesh::LoadMeshFile(mesh_, QFile::encodeName(fileName).toStdString(),
                                                  control);
        } catch (const corvane::Cancelled&) {
            throw; // a stop, not a fault of the file
        } catch (const corvane::Error& error) {
            fault = error;
        }
        return outcome != corvane::mesh::MeshLoadOutcome::Cancelled;
    });
    if (report.outcome == corvane::gui::RunOutcome::Stopped)
        return false;
    if (report.outcome == corvane::gui::RunOutcome::Failed)
        return !mesh_.edges.empty(); // told by the run
    auto& status = frame_.StatusBar1();
    if (fault) {
        status.setGaugeVisible(false);
        const QString reason =
            (fault->line() > 0 ? QStringLiteral("Line %1: ").arg(fault->line()) : QString()) +
            QString::fromStdString(fault->reason());
        showStatus(QStringLiteral("Failed: ") + QString::fromStdString(fault->what()));
        if (mesh_.edges.empty()) {
            warn(QStringLiteral("Could not read %1.\n%2").arg(fileName, reason));
            return false;
        }
        // The faces before the fault are kept and shown.
        finishLoad(fileName);
        warn(QStringLiteral("Could not read all of %1.\n%2\nThe %3 facets read before it are "
                            "shown.")
                 .arg(fileName, reason)
                 .arg(mesh_.triangles.size()));
        return true;
    }
    if (outcome == corvane::mesh::MeshLoadOutcome::NoFile) {
        warn(QStringLiteral("Could not read %1.\nThere is no such file.").arg(fileName));
        return false;
    }
    finishLoad(fileName);
    status.setText(1, QStringLiteral("Done"));
    showStatus(QString::fromStdString(
        corvane::mesh::loadedMessage(fileName.toStdString(), mesh_.triangles.size())));
    status.setGaugePosition(100);
    status.setGaugeVisible(false);
    status.repaintNow();
    return true;
}

void TfrmDXFView::warn(const QString& text)
{
    corvane::gui::prompts().message(corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
                                    text, corvane::gui::ButtonOk);
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
    meshFile_ = fileName;
    setDocumentName(fileName);
    // The depth map reads the file again for every triangle, flat ones included, which the
    // lists leave out.
    MenuItem(QStringLiteral("DepthMap1"))->setEnabled(true);
    frame_.StatusBar1().setGaugePosition(95);
    Isometric1Click();
    Draw3D().Repaint();
}

// --- drawing ---

void TfrmDXFView::paintView(corvane::gui::TCanvas3D& canvas)
{
    const corvane::gui::MeshViewScale& view = fitDrawing();
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
    if (closeWhileLoading(*event))
        return;
    mesh_ = corvane::FacetMesh{};
    // The region count belongs to this window.
    frame_.StatusBar1().setText(1, QString());
    showStatus(QStringLiteral("Ready..."));
    frame_.MeshViewClosing(*this);
    event->accept();
}

// --- opening a file ---

namespace corvane::gui {

void OpenMeshFile(corvane::gui::WindowFrame& frame, const QString& fileName)
{
    auto* view = new TfrmDXFView(frame); // owned by its sub-window
    finishOpening(frame, *view, view->LoadMesh(fileName));
}

} // namespace corvane::gui
