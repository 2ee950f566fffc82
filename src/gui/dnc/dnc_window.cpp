#include "gui/dnc/dnc_window.h"

#include "common/error.h"
#include "dnc/dnc_drawing.h"
#include "dnc/dnc_reader.h"
#include "dnc/program_lines.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/dnc/dnc_text.h"
#include "gui/dnc/simulate_dialog.h"
#include "gui/draw3d/draw3d_panel.h"
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

TfrmDnc::TfrmDnc(corvane::gui::WindowFrame& frame) : TView3DWindow(frame)
{
    setObjectName(QStringLiteral("frmDnc"));
    corvane::gui::setHelpPage(*this, QStringLiteral("dnc.html"));

    dncText_ = new TDncText;
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setHandleWidth(8);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(&Draw3D());
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

    showInFrame(kDefaultWidth, kDefaultHeight);
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
    corvane::dnc::DncFile file;
    std::optional<corvane::Error> unreadable;
    const corvane::gui::RunReport report = runLoad([&](corvane::RunControl& control) {
        control.checkpoint();
        try {
            file = corvane::dnc::LoadDncProgram(QFile::encodeName(fileName).toStdString(), control);
        } catch (const corvane::Cancelled&) {
            throw; // a stop, not a fault of the file
        } catch (const corvane::Error& error) {
            unreadable = error;
        }
        return !control.escapePressed();
    });
    if (report.outcome == corvane::gui::RunOutcome::Stopped)
        return false; // the caller closes the window
    if (unreadable || report.outcome == corvane::gui::RunOutcome::Failed) {
        if (unreadable) {
            showStatus(QStringLiteral("Ready..."));
            corvane::gui::prompts().message(
                corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
                QString::fromStdString(unreadable->what()), corvane::gui::ButtonOk);
        }
        return false;
    }
    program_ = std::move(file.program);
    dncText_->SetProgram(corvane::dnc::ProgramLines(std::move(file.bytes)));
    setWindowTitle(fileName);
    Isometric1Click();
    Draw3D().Repaint();
    return true;
}

// --- drawing ---

void TfrmDnc::paintView(corvane::gui::TCanvas3D& canvas)
{
    // The drawing's own panel, not the window: the text pane beside it takes its share.
    const corvane::gui::MeshViewScale& view = fitDrawing();
    canvas.SetPen(Qt::black);
    canvas.SetBrush(Qt::black);
    corvane::gui::Hourglass busy;
    canvas.MoveTo(0, view.base, 0); // the machine starts at the origin
    if (BoxOnly()) {
        corvane::gui::drawExtentsBox(canvas, view); // a flat program is boxed in 0..1
        return;
    }
    const double s = view.scale;
    const int base = view.base;
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

// --- commands ---

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
    corvane::gui::LongRun run(frame_);
    corvane::gui::SimulateAndPreview(
        run, frame_, QFileInfo(windowTitle()).fileName(),
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
    if (closeWhileLoading(*event))
        return;
    program_ = {}; // FormClose: the move list goes now, not when the window is deleted
    event->accept();
}

// --- opening a file ---

namespace corvane::gui {

void OpenDncFile(corvane::gui::WindowFrame& frame, const QString& fileName)
{
    auto* view = new TfrmDnc(frame); // owned by its sub-window
    if (finishOpening(frame, *view, view->LoadDncProgram(fileName)) != Opened::Stopped)
        frame.ShowReady();
}

} // namespace corvane::gui
