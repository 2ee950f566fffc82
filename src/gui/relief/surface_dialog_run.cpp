// The surface dialog at work: "Create" runs the relief engine on the shared height grid
// through the dialog's LongRun, "Cancel" and Esc stop it, and the dialog stays put while a
// run is going.
#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/machine_group.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/relief/roughing_group.h"
#include "gui/relief/surface_dialog.h"
#include "gui/simulation/run_simulation.h"
#include "relief/create_relief.h"
#include "relief/edit_number.h"
#include "relief/stl_surface.h"
#include "simulation/planned_program.h"
#include "simulation/preview_settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <optional>

using corvane::gui::shared;
using corvane::relief::SurfaceMode;

namespace {

// The DXF surface stays the first kind; an STL solid is the second.
const QString kDxfFilter = QStringLiteral("DXF Files|*.Dxf|STL Files|*.Stl");
constexpr int kStlFilterIndex = 2;

// The STL name for the choice, or empty for a DXF surface. A name ending in ".stl" is an STL
// whatever the type; with the STL type chosen, a ".dxf" the dialog may have added becomes
// ".Stl", and a name without it gets ".Stl".
QString stlNameFor(const corvane::gui::FileChoice& choice)
{
    const QFileInfo name(choice.path);
    if (name.suffix().compare(QStringLiteral("stl"), Qt::CaseInsensitive) == 0)
        return choice.path;
    if (choice.filterIndex != kStlFilterIndex)
        return {};
    QString path = choice.path;
    if (name.suffix().compare(QStringLiteral("dxf"), Qt::CaseInsensitive) == 0)
        path.chop(4);
    return path + QStringLiteral(".Stl");
}

// The height grid without the one-cell white frame the DXF surface is filled with: the
// STL solid's walls close the surface themselves.
corvane::relief::TZGrid insideWhiteFrame(const corvane::relief::TZGrid& framed)
{
    if (framed.rows < 3 || framed.cols < 3)
        return {};
    corvane::relief::TZGrid grid(framed.rows - 2, framed.cols - 2, 0, framed.white);
    for (int row = 0; row < grid.rows; ++row)
        std::copy_n(framed[row + 1] + 1, grid.cols, grid[row]);
    return grid;
}

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
    const auto params = valuesForRun();
    if (!params)
        return;
    corvane::machine::MachineSettings machine;
    if (machineGroup_) {
        try {
            machine = machineGroup_->read(params->feedRate);
        } catch (const corvane::Error& error) {
            warn(QString::fromStdString(error.what()));
            return;
        }
    }
    if (!roughingGroup_->roughFirst())
        runCreate(*params, machine);
    else if (const auto roughing = roughingForRun(*params))
        runCreateWithRoughing(*params, *roughing, machine);
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

std::optional<QString> TDXF::askProgramName(const QString& startName, const QString& folder,
                                            corvane::machine::Machine machine)
{
    corvane::gui::NormalCursor arrow; // a prompt shows the arrow, not the hourglass
    const corvane::gui::ProgramSaveKinds kinds = corvane::gui::programSaveKinds(machine);
    return frame_.SaveDialog1().ExecuteForPath({.filter = kinds.filter,
                                                .defaultExtension = kinds.defaultExtension,
                                                .startName = startName,
                                                .documentFolder = folder});
}

void TDXF::runCreate(const corvane::relief::ReliefParameters& params,
                     const corvane::machine::MachineSettings& machine)
{
    auto& saveDialog = frame_.SaveDialog1();
    const bool dxf = model_.mode() == SurfaceMode::DxfSurface;
    double baseThickness = corvane::relief::DefaultBaseThickness;
    if (dxf) {
        const std::optional<double> base =
            corvane::relief::readEditNumber(baseThicknessEdit_->text().toStdString());
        if (!base || !std::isfinite(*base) || *base <= 0) {
            warn(QStringLiteral("Base Thickness must be a number greater than 0."));
            baseThicknessEdit_->setFocus();
            return;
        }
        baseThickness = *base;
    }
    // A name chosen as STL: the DXF run stops at its save prompt, and the STL run takes it.
    QString stlName;
    corvane::relief::CreateHooks hooks;
    hooks.askFileName = [this, &saveDialog, dxf, &machine,
                         &stlName]() -> std::optional<std::string> {
        if (!dxf) {
            const std::optional<QString> name = askProgramName({}, sourceFolder_, machine.machine);
            return name ? std::optional<std::string>(name->toStdString()) : std::nullopt;
        }
        corvane::gui::NormalCursor arrow; // a prompt shows the arrow, not the hourglass
        corvane::gui::SaveRequest request;
        request.filter = kDxfFilter;
        request.defaultExtension = QStringLiteral("Dxf");
        request.documentFolder = sourceFolder_;
        const auto choice = saveDialog.Execute(request);
        if (!choice)
            return std::nullopt;
        stlName = stlNameFor(*choice);
        if (!stlName.isEmpty())
            return std::nullopt;
        return choice->path.toStdString();
    };
    hooks.showMessage = [this](const std::string& text) { warn(QString::fromStdString(text)); };

    corvane::relief::CreateResult result;
    repaint();
    const corvane::gui::RunReport report = run_->run([&](corvane::RunControl& control) {
        if (dxf) {
            result = corvane::relief::CreateDxfSurface(shared().HeightGrid, params, control, hooks);
            if (!stlName.isEmpty()) {
                corvane::relief::CreateHooks stlHooks = hooks;
                stlHooks.askFileName = [&stlName] {
                    return std::optional<std::string>(stlName.toStdString());
                };
                result =
                    corvane::relief::CreateStlSurface(insideWhiteFrame(shared().HeightGrid), params,
                                                      baseThickness, control, stlHooks);
            }
        } else
            result = corvane::relief::CreateRasterProgram(shared().HeightGrid, params,
                                                          shared().SourcePictureName.toStdString(),
                                                          control, hooks, machine);
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
    if (roughingGroup_->roughFirst()) {
        if (const auto roughing = roughingForRun(params))
            previewWithRoughing(params, *roughing, tool);
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
