#include "relief/create_roughing.h"

#include "common/atomic_file.h"
#include "common/timestamp.h"
#include "relief/collapse_rapids.h"
#include "relief/parameter_checks.h"
#include "relief/program_spool.h"
#include "relief/raster_program.h"
#include "relief/sampling.h"

namespace corvane::relief {

RoughingRun writeRoughingBody(const TZGrid& grid, const ReliefParameters& relief,
                              const RoughingParameters& roughing, RunControl& control,
                              ByteSink& out)
{
    RasterProgramBody body(out);
    return writeRoughingBody(grid, relief, roughing, control, body);
}

RoughingRun writeRoughingBody(const TZGrid& grid, const ReliefParameters& relief,
                              const RoughingParameters& roughing, RunControl& control,
                              RasterProgramBody& body)
{
    checkRasterParameters(relief);
    checkRoughingParameters(roughing, relief);
    // The finish leaves at least what its tip stands on, which with gouge control is the
    // grid raised for the finishing tool: where that tool cannot reach the relief, it stays
    // above it by more than the Stock to Leave. Roughing keeps the stock above those heights,
    // so it never takes what the finish would leave.
    std::optional<TZGrid> raised;
    const TZGrid* surface = &grid;
    if (relief.useGougeControl && relief.toolDiameter > 0) {
        raised.emplace(grid);
        if (!applyGougeForRun(*raised, relief, control))
            return {};
        surface = &*raised;
    }
    RapidCollapser collapser(body);
    const RoughingRun run = GenerateRoughingPasses(*surface, relief, roughing, control, collapser);
    collapser.finish();
    body.flush();
    return run;
}

RoughingResult CreateRoughingProgram(const TZGrid& grid, const ReliefParameters& relief,
                                     const RoughingParameters& roughing,
                                     const std::string& sourceName, RunControl& control,
                                     const CreateHooks& hooks,
                                     const machine::MachineSettings& machine)
{
    checkRasterParameters(relief);
    checkRoughingParameters(roughing, relief);
    machine::checkMachineSettings(machine, roughing.feedRate);
    samplingFor(grid, relief); // refuses an empty grid
    RoughingResult result;
    ProgramSpool spool;
    RasterProgramBody body =
        rasterProgramBody(spool, machine, roughing.feedRate, relief.rapidHeight);
    result.run = writeRoughingBody(grid, relief, roughing, control, body);
    const auto ended = [&](CreateOutcome outcome, bool close) {
        control.endProgress(ProgressDisplay::Dialog);
        control.endProgress(ProgressDisplay::Gauge);
        if (outcome != CreateOutcome::Stopped)
            control.showStatus(control.escapePressed() ? "Process Cancelled..." : "Ready...");
        result.create = {outcome, {}, close};
        return result;
    };
    if (control.escapePressed())
        return ended(CreateOutcome::Abandoned, true);
    if (!result.run.completed)
        return ended(CreateOutcome::Stopped, false);
    if (result.run.feedMoves == 0) {
        control.showStatus(NothingToRoughMessage);
        if (hooks.showMessage)
            hooks.showMessage(NothingToRoughMessage);
    }
    const std::optional<std::string> fileName = hooks.askFileName();
    if (!fileName)
        return ended(CreateOutcome::SaveDeclined, true);
    control.showStatus("Writing to file...");
    AtomicFile file(*fileName);
    file.write(
        rasterProgramStart(machine,
                           rasterFacts(sourceName, relief, roughing.tool, roughing.toolDiameter,
                                       roughing.feedRate, body.cuttingMinutes()),
                           relief.rapidHeight));
    if (!spool.copyTo(file, control)) {
        file.discard();
        return ended(CreateOutcome::Abandoned, true);
    }
    file.write(rasterProgramEnd(machine, body, relief.rapidHeight));
    file.commit();
    ended(CreateOutcome::Saved, true);
    result.create.fileName = *fileName;
    return result;
}

} // namespace corvane::relief
