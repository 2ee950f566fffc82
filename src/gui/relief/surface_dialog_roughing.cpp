// The surface dialog with "Rough First" checked: Create asks for the finishing program's
// file, then for the roughing program's (proposed beside it as NAME-rough.dnc), and writes
// both, roughing first; Preview carves the roughing program and then the finishing program
// into the same stock. With roughing the finishing program makes one depth pass, as the
// command line's gcode --rough writes it.
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
#include "relief/create_roughing.h"
#include "relief/parameter_checks.h"
#include "simulation/cutter.h"
#include "simulation/planned_program.h"
#include "simulation/preview_settings.h"
#include "simulation/simulate_sequence.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

using corvane::gui::shared;
using corvane::relief::ReliefParameters;
using corvane::relief::RoughingParameters;
using corvane::relief::SurfaceEdit;
using corvane::relief::SurfaceMode;

namespace {

constexpr int kGroupGap = 8;
constexpr int kRoughingHeight = 138;

} // namespace

void TDXF::buildRoughingGroup()
{
    // Across the whole form, under the number edits and the Gouge Control group.
    roughingGroup_ = new corvane::gui::RoughingGroup(this);
    const QRect gouge = gougeGroup_->geometry();
    const int top = std::max(rapidHeightEdit_->geometry().bottom(), gouge.bottom()) + kGroupGap;
    const int left = LabelFor(sizeXEdit_)->geometry().left();
    roughingGroup_->setGeometry(left, top, gouge.right() + 1 - left, kRoughingHeight);
    if (model_.mode() != SurfaceMode::GCode)
        roughingGroup_->hide();
}

void TDXF::showRoughingDefaults()
{
    roughingGroup_->followFinishing(QString::fromStdString(model_.text(SurfaceEdit::DepthPerPass)),
                                    QString::fromStdString(model_.text(SurfaceEdit::Feedrate)));
}

std::optional<RoughingParameters> TDXF::roughingForRun(const ReliefParameters& params)
{
    try {
        // The defaults come from the values as typed, the Depth / Pass among them.
        const RoughingParameters roughing = roughingGroup_->read(params);
        corvane::relief::checkRasterParameters(
            corvane::relief::finishingAfterRoughing(params, false));
        return roughing;
    } catch (const corvane::Error& error) {
        warn(QString::fromStdString(error.what()));
        return std::nullopt;
    }
}

void TDXF::runCreateWithRoughing(const ReliefParameters& values, const RoughingParameters& roughing,
                                 const corvane::machine::MachineSettings& machine)
{
    const ReliefParameters params = corvane::relief::finishingAfterRoughing(values, false);
    const corvane::relief::TZGrid& grid = shared().HeightGrid;
    const std::string sourceName = shared().SourcePictureName.toStdString();
    const auto showMessage = [this](const std::string& text) {
        warn(QString::fromStdString(text));
    };
    std::optional<corvane::relief::RoughingResult> rough;
    corvane::relief::CreateResult result;
    repaint();
    const corvane::gui::RunReport report = run_->run([&](corvane::RunControl& control) {
        // The finishing passes run first; both names are asked after them and the roughing
        // program is made and written before the finishing one, so that a cancelled prompt
        // or a stopped roughing run writes neither file.
        corvane::relief::CreateHooks hooks;
        hooks.showMessage = showMessage;
        hooks.askFileName = [&]() -> std::optional<std::string> {
            const std::optional<QString> finishing =
                askProgramName({}, sourceFolder_, machine.machine);
            if (!finishing)
                return std::nullopt;
            // Beside the finishing program, with its extension: NAME-rough.dnc, or .nc, .ngc...
            const QFileInfo beside(*finishing);
            const QString extension =
                beside.suffix().isEmpty() ? QStringLiteral("dnc") : beside.suffix().toLower();
            const std::optional<QString> roughPath =
                askProgramName(beside.completeBaseName() + QStringLiteral("-rough.") + extension,
                               beside.absolutePath(), machine.machine);
            if (!roughPath)
                return std::nullopt;
            rough = corvane::relief::CreateRoughingProgram(
                grid, params, roughing, sourceName, control,
                {[&] { return std::optional<std::string>(roughPath->toStdString()); }, showMessage},
                machine);
            if (rough->create.outcome != corvane::relief::CreateOutcome::Saved)
                return std::nullopt;
            return finishing->toStdString();
        };
        result =
            corvane::relief::CreateRasterProgram(grid, params, sourceName, control, hooks, machine);
        const bool roughStopped =
            rough && rough->create.outcome == corvane::relief::CreateOutcome::Stopped;
        return result.outcome != corvane::relief::CreateOutcome::Stopped && !roughStopped;
    });
    if (report.outcome == corvane::gui::RunOutcome::Stopped)
        frame_.ShowReady();
    const bool close = result.closeDialog && (!rough || rough->create.closeDialog);
    if (report.outcome != corvane::gui::RunOutcome::Failed && close)
        closeDialog();
}

void TDXF::previewWithRoughing(const ReliefParameters& values, const RoughingParameters& roughing,
                               const corvane::relief::SurfaceDialogModel::Tool& tool)
{
    const ReliefParameters params = corvane::relief::finishingAfterRoughing(values, false);
    const corvane::relief::TZGrid& grid = shared().HeightGrid;
    const auto job = [&](corvane::RunControl& control)
        -> std::optional<corvane::simulation::SequenceSimulation> {
        const corvane::simulation::SimulationSettings settings =
            corvane::simulation::previewSettings(grid, params, tool);
        const corvane::simulation::Cutter roughCutter = corvane::simulation::makeCutter(
            roughing.tool, roughing.toolDiameter, roughing.includedAngle);
        const std::string roughText =
            corvane::simulation::plannedRoughingText(grid, params, roughing, control);
        if (roughText.empty())
            return std::nullopt;
        const std::string finishText =
            corvane::simulation::plannedProgramText(grid, params, control);
        if (finishText.empty())
            return std::nullopt;
        const corvane::dnc::DncProgram first = corvane::dnc::ParseDncProgram(roughText, control);
        const corvane::dnc::DncProgram second = corvane::dnc::ParseDncProgram(finishText, control);
        if (control.escapePressed())
            return std::nullopt;
        return corvane::simulation::SimulateSequence(first, roughCutter, second, settings, control);
    };
    corvane::gui::SimulateSequenceAndPreview(*run_, frame_,
                                             QFileInfo(shared().SourcePictureName).fileName(), job);
}
