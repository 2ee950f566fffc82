// The surface dialog at work: "Create" runs the relief engine on the shared height grid
// through the dialog's LongRun, "Cancel" and Esc stop it, and the dialog stays put while a
// run is going.
#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/relief/surface_dialog.h"
#include "gui/simulation/run_simulation.h"
#include "relief/create_relief.h"
#include "simulation/planned_program.h"
#include "simulation/preview_settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <optional>

using corvane::gui::shared;
using corvane::relief::SurfaceMode;

namespace {

const QString kDxfFilter = QStringLiteral("DXF Files|*.Dxf");
const QString kDncFilter = QStringLiteral("DNC Files|*.Dnc");

} // namespace

void TDXF::warn(const QString& text)
{
    corvane::gui::NormalCursor arrow; // a prompt shows the arrow, not the hourglass
    corvane::gui::prompts().message(corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
                                    text, corvane::gui::ButtonOk);
}

bool TDXF::ownsHeightGrid() const
{
    const auto& grid = shared().HeightGrid;
    return shared().HeightGridStamp == heightGridStamp_ && !grid.empty() &&
           grid.rows == model_.gridRows() && grid.cols == model_.gridCols();
}

void TDXF::Button1Click()
{
    // A second press while the first run lets events through would start a run inside it.
    if (Busy())
        return;
    if (const auto params = valuesForRun())
        runCreate(*params);
}

std::optional<corvane::relief::ReliefParameters> TDXF::valuesForRun()
{
    corvane::relief::ReliefParameters params;
    try {
        params = model_.read();
    } catch (const corvane::Error& error) {
        warn(QString::fromStdString(error.what()));
        return std::nullopt;
    }
    if (!ownsHeightGrid()) {
        warn(QStringLiteral("The picture for this dialog is no longer prepared: another "
                            "command has replaced or emptied it. Close this dialog and choose "
                            "the command again from the picture window."));
        return std::nullopt;
    }
    return params;
}

void TDXF::runCreate(const corvane::relief::ReliefParameters& params)
{
    auto& saveDialog = frame_.SaveDialog1();
    const bool dxf = model_.mode() == SurfaceMode::DxfSurface;
    corvane::relief::CreateHooks hooks;
    hooks.askFileName = [this, &saveDialog, dxf]() -> std::optional<std::string> {
        corvane::gui::NormalCursor arrow; // a prompt shows the arrow, not the hourglass
        corvane::gui::SaveRequest request;
        request.filter = dxf ? kDxfFilter : kDncFilter;
        request.defaultExtension = dxf ? QStringLiteral("Dxf") : QStringLiteral("Dnc");
        request.documentFolder = sourceFolder_;
        const auto choice = saveDialog.Execute(request);
        if (!choice)
            return std::nullopt;
        return choice->path.toStdString();
    };
    hooks.showMessage = [this](const std::string& text) { warn(QString::fromStdString(text)); };

    corvane::relief::CreateResult result;
    repaint();
    const corvane::gui::RunReport report = run_->run([&](corvane::RunControl& control) {
        if (dxf)
            result = corvane::relief::CreateDxfSurface(shared().HeightGrid, params, control, hooks);
        else
            result = corvane::relief::CreateRasterProgram(shared().HeightGrid, params,
                                                          shared().SourcePictureName.toStdString(),
                                                          control, hooks);
        return result.outcome != corvane::relief::CreateOutcome::Stopped;
    });
    // A run stopped by Cancel leaves no "Pass n" of its own behind: the dialog is ready for
    // the next Create.
    if (report.outcome == corvane::gui::RunOutcome::Stopped)
        frame_.ShowReady();
    // A failed run leaves the dialog open, so the user can choose another file or values.
    if (report.outcome != corvane::gui::RunOutcome::Failed && result.closeDialog)
        closeDialog();
}

void TDXF::PreviewClick()
{
    if (Busy())
        return;
    const auto values = valuesForRun();
    if (!values)
        return;
    const corvane::relief::ReliefParameters params = *values;
    corvane::relief::SurfaceDialogModel::Tool tool;
    try {
        tool = model_.readTool();
    } catch (const corvane::Error& error) {
        warn(QString::fromStdString(error.what()));
        return;
    }
    const corvane::relief::TZGrid& grid = shared().HeightGrid;
    const auto job =
        [&](corvane::RunControl& control) -> std::optional<corvane::simulation::Simulation> {
        const corvane::simulation::SimulationSettings settings =
            corvane::simulation::previewSettings(grid, params, tool);
        const std::string text = corvane::simulation::plannedProgramText(grid, params, control);
        if (text.empty())
            return std::nullopt;
        const corvane::dnc::DncProgram program = corvane::dnc::ParseDncProgram(text, control);
        if (control.escapePressed())
            return std::nullopt;
        return corvane::simulation::SimulateProgram(program, settings, control);
    };
    corvane::gui::SimulateAndPreview(*run_, frame_,
                                     QFileInfo(shared().SourcePictureName).fileName(), job);
}

void TDXF::closeDialog()
{
    // Through the sub-window, so that the frame around the dialog goes with it.
    if (QMdiSubWindow* window = SubWindow())
        window->close();
    else
        close();
}

void TDXF::Button2Click()
{
    if (Busy()) {
        run_->requestStop();
        return;
    }
    closeDialog();
}

bool TDXF::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        // "Cancel" is the dialog's cancel button: Esc presses it (and, through the frame,
        // stops what the run is doing).
        cancelButton_->click();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Enter presses the button that has the focus, else "Create", the default button.
        auto* focusedButton = qobject_cast<QPushButton*>(watched);
        (focusedButton ? focusedButton : createButton_)->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TDXF::closeEvent(QCloseEvent* event)
{
    // A run lets events through at its checkpoints; closing then would empty the grid
    // under the running loop.
    if (Busy()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    // Without this the area brings forward the oldest child, burying the picture the user
    // worked on. Once the dialog's own window is gone.
    QTimer::singleShot(0, &frame_.Widget(), [window = sourceWindow_, &area = frame_.MdiArea()] {
        if (window)
            area.setActiveSubWindow(window);
    });
}

void TDXF::FormClose()
{
    // Another dialog opened later has a grid of its own in the shared slot: leave it be.
    if (shared().HeightGridStamp == heightGridStamp_) {
        shared().HeightGrid.clear();
        heightGridStamp_ = ++shared().HeightGridStamp;
    }
}
