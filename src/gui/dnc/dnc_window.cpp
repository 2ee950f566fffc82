#include "gui/dnc/dnc_window.h"

#include "common/error.h"
#include "dnc/dnc_drawing.h"
#include "dnc/dnc_reader.h"
#include "dnc/program_lines.h"
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/dnc/dnc_text.h"
#include "gui/dnc/simulate_dialog.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/mouse_rules.h"
#include "gui/simulation/run_simulation.h"
#include "imaging/picture_io.h"
#include "relief/height_grid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

using corvane::gui::shared;

namespace {

constexpr int kDefaultWidth = 600;
constexpr int kDefaultHeight = 400;
const QColor kFeedColor(0, 128, 0);
const QColor kRapidColor(0, 0, 255);

} // namespace

TfrmDnc::TfrmDnc(TCorvaneFrame& frame) : frame_(frame)
{
    setObjectName(QStringLiteral("frmDnc"));
    corvane::gui::setHelpPage(*this, QStringLiteral("dnc.html"));

    draw3D_ = new corvane::gui::TDraw3D;
    draw3D_->SetPaintHandler([this](corvane::gui::TCanvas3D& canvas) { Draw3DPaint(canvas); });
    draw3D_->SetFitBoxHandler([this] {
        corvane::Extents3D box = program_.extents;
        return std::optional(corvane::gui::canvasBox(box, drawingScale(box)));
    });
    draw3D_->SetMouseHandlers([this](QMouseEvent& e) { Draw3DMouseDown(e); },
                              [this](QMouseEvent& e) { Draw3DMouseMove(e); },
                              [this](QMouseEvent& e) { Draw3DMouseUp(e); });
    dncText_ = new TDncText;
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setHandleWidth(8);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(draw3D_);
    splitter_->addWidget(dncText_);
    // The panes keep their shares of the width when the window is resized; moving the
    // divider sets new shares.
    splitter_->installEventFilter(this);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = splitter_->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        if (total > 0)
            drawingShare_ = double(sizes.value(0)) / total;
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);

    buildMenus();
    setWindowTitle(QStringLiteral("View DNC File"));
    FormCreate();

    QMdiSubWindow* window = frame_.AddChildWindow(this);
    frame_.PlaceChildInside(*window, kDefaultWidth, kDefaultHeight);
    // The divider starts at a third of the window's width, once the window has its size.
    layout->activate();
    applyDrawingShare();
}

void TfrmDnc::applyDrawingShare()
{
    const int room = std::max(splitter_->width() - splitter_->handleWidth(), 2);
    const int left = std::clamp(int(std::lround(room * drawingShare_)), 1, room - 1);
    splitter_->setSizes({left, room - left});
}

bool TfrmDnc::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == splitter_ && event->type() == QEvent::Resize)
        applyDrawingShare();
    return QWidget::eventFilter(watched, event);
}

TfrmDnc::~TfrmDnc() = default;

void TfrmDnc::FormCreate()
{
    draw3D_->SetOrthogonal(false);
    draw3D_->SetColor(Qt::white);
    draw3D_->SetPerspective(0);
    corvane::gui::ViewOptions view = draw3D_->View();
    view.rotation = view.elevation = 0;
    draw3D_->SetView(view);
}

QMdiSubWindow* TfrmDnc::SubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void TfrmDnc::showStatus(const QString& text)
{
    frame_.StatusBar1().setText(0, text);
    frame_.StatusBar1().repaintNow();
}

// --- loading ---

bool TfrmDnc::LoadDncProgram(const QString& fileName)
{
    program_ = {};
    if (fileName.isEmpty())
        return true;
    corvane::gui::GuiRunControl control(frame_.StatusBar1());
    corvane::dnc::DncFile file;
    loading_ = true;
    try {
        corvane::gui::Hourglass busy;
        QApplication::processEvents();
        file = corvane::dnc::LoadDncProgram(QFile::encodeName(fileName).toStdString(), control);
    } catch (const corvane::Error& error) {
        loading_ = false;
        showStatus(QStringLiteral("Ready..."));
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
            QString::fromStdString(error.what()), corvane::gui::ButtonOk);
        return false;
    }
    loading_ = false;
    program_ = std::move(file.program);
    dncText_->SetProgram(corvane::dnc::ProgramLines(std::move(file.bytes)));
    setWindowTitle(fileName);
    Isometric1Click();
    draw3D_->Repaint();
    return true;
}

// --- drawing ---

corvane::gui::MeshViewScale TfrmDnc::drawingScale(corvane::Extents3D& box) const
{
    // The drawing's own panel, not the window: the text pane beside it takes its share.
    return corvane::gui::meshViewScale(box, draw3D_->width(), draw3D_->height(),
                                       draw3D_->DrawingBottom());
}

void TfrmDnc::Draw3DPaint(corvane::gui::TCanvas3D& canvas)
{
    corvane::Extents3D box = program_.extents; // a flat program is boxed in 0..1
    scale_ = drawingScale(box);
    canvas.SetPen(Qt::black);
    canvas.SetBrush(Qt::black);
    corvane::gui::Hourglass busy;
    canvas.MoveTo(0, scale_.base, 0); // the machine starts at the origin
    if (BoxOnly()) {
        corvane::gui::drawExtentsBox(canvas, box, scale_);
        return;
    }
    const double s = scale_.scale;
    const int base = scale_.base;
    const auto toCanvas = [s, base](double x, double y, double z) {
        return corvane::dnc::CanvasPoint{corvane::gui::canvasCoordinate(x, s),
                                         base - corvane::gui::canvasCoordinate(y, s),
                                         corvane::gui::canvasCoordinate(z, s)};
    };
    std::int32_t penKind = -1; // a pen change draws the batched lines: change only when needed
    corvane::dnc::forEachDncLine(program_.moves, toCanvas,
                                 [&](corvane::dnc::DncMoveKind kind, corvane::dnc::CanvasPoint,
                                     corvane::dnc::CanvasPoint to) {
                                     if (kind != penKind) {
                                         canvas.SetPen(kind == corvane::dnc::DncFeed ? kFeedColor
                                                                                     : kRapidColor);
                                         penKind = kind;
                                     }
                                     canvas.LineTo(to.x, to.y, to.z);
                                 });
}

void TfrmDnc::Draw3DMouseDown(QMouseEvent& event)
{
    drag_.press(event);
}

void TfrmDnc::Draw3DMouseMove(QMouseEvent& event)
{
    drag_.move(*draw3D_, event);
}

void TfrmDnc::Draw3DMouseUp(QMouseEvent&)
{
    drag_.release(*draw3D_);
}

// --- views and commands ---

void TfrmDnc::Top1Click()
{
    draw3D_->FitView(corvane::gui::topView(draw3D_->View()));
}

void TfrmDnc::Isometric1Click()
{
    draw3D_->FitView(corvane::gui::isometricView(draw3D_->View()));
}

void TfrmDnc::ZoomToFit1Click()
{
    draw3D_->ZoomToFit();
}

void TfrmDnc::Simulate1Click()
{
    if (program_.moves.empty()) {
        corvane::gui::prompts().message(
            corvane::gui::MessageKind::Information, QStringLiteral("Simulate"),
            QStringLiteral("This window holds no moves to simulate."), corvane::gui::ButtonOk);
        return;
    }
    TfrmSimulate dialog(
        this, simulateTexts_.value_or(corvane::simulation::simulateDialogDefaults(program_)));
    if (dialog.exec() != QDialog::Accepted)
        return;
    simulateTexts_ = dialog.Texts();
    corvane::simulation::SimulationSettings settings = dialog.Settings();
    const std::optional<corvane::simulation::TargetRequest> target = dialog.Target();
    corvane::gui::SimulateAndPreview(
        frame_, QFileInfo(windowTitle()).fileName(), {},
        [&](corvane::RunControl& control) -> std::optional<corvane::simulation::Simulation> {
            if (target) {
                const corvane::imaging::Picture picture =
                    corvane::imaging::readPicture(target->picture, control);
                if (control.escapePressed())
                    return std::nullopt;
                settings.target = corvane::simulation::TargetRelief{
                    corvane::relief::FillHeightGrid(picture, false), target->sizeX, target->sizeY,
                    target->depth};
            }
            return corvane::simulation::SimulateProgram(program_, settings, control);
        });
}

void TfrmDnc::closeEvent(QCloseEvent* event)
{
    if (loading_) {
        // The file is being read: closing acts as Esc, and the window closes after the read.
        shared().EscapePressed = true;
        event->ignore();
        return;
    }
    program_ = {}; // FormClose: the move list goes now, not when the window is deleted
    event->accept();
}

void TfrmDnc::Close1Click()
{
    if (QMdiSubWindow* window = SubWindow())
        window->close();
    showStatus(QStringLiteral("Ready..."));
}

void TfrmDnc::Exit1Click()
{
    frame_.Exit1Click();
}

void TfrmDnc::NewImage1Click()
{
    frame_.New1Click();
}

void TfrmDnc::LoadImage1Click()
{
    frame_.Load1Click();
}

void TfrmDnc::ImportDNCFile1Click()
{
    frame_.ImportDNCFile1Click();
}

void TfrmDnc::ImportDXFMesh1Click()
{
    frame_.ImportDXFMesh1Click();
}

void TfrmDnc::Tile1Click()
{
    frame_.Tile1Click();
}

void TfrmDnc::Cascade1Click()
{
    frame_.Cascade1Click();
}

void TfrmDnc::Contents1Click()
{
    frame_.Contents1Click();
}

void TfrmDnc::About1Click()
{
    frame_.About1Click();
}

// --- opening a file ---

namespace corvane::gui {

void OpenDncFile(TCorvaneFrame& frame, const QString& fileName)
{
    auto* view = new TfrmDnc(frame); // owned by its sub-window
    view->Draw3D().SetView3D(true);
    view->Draw3D().SetRotation(0);
    view->Draw3D().SetElevation(0);
    shared().EscapePressed = false;
    const bool read = view->LoadDncProgram(fileName);
    if (shared().EscapePressed) {
        shared().EscapePressed = false;
        view->Close1Click();
        frame.StatusBar1().setGaugeVisible(false);
        frame.StatusBar1().setText(0, QStringLiteral("Process Cancelled..."));
        return;
    }
    if (!read) {
        // The user has been told; an empty view would only be in the way.
        view->Close1Click();
    }
    frame.ShowReady();
}

} // namespace corvane::gui
