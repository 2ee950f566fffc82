#include "relief/create_relief.h"

#include "common/atomic_file.h"
#include "common/error.h"
#include "common/out_of_memory.h"
#include "common/timestamp.h"
#include "relief/collapse_rapids.h"
#include "relief/dxf_surface.h"
#include "relief/gouge_control.h"
#include "relief/parameter_checks.h"
#include "relief/program_spool.h"
#include "relief/raster_passes.h"
#include "relief/raster_program.h"
#include "relief/sampling.h"
#include "relief/stl_surface.h"
#include "relief/two_thread_protector.h"

namespace corvane::relief {

namespace {

// Clears both progress displays on every way out of a run.
class ProgressReset {
public:
    explicit ProgressReset(RunControl& control) : control_(control) {}
    ~ProgressReset()
    {
        control_.endProgress(ProgressDisplay::Dialog);
        control_.endProgress(ProgressDisplay::Gauge);
    }
    ProgressReset(const ProgressReset&) = delete;
    ProgressReset& operator=(const ProgressReset&) = delete;

private:
    RunControl& control_;
};

const char* finalStatus(RunControl& control)
{
    return control.escapePressed() ? "Process Cancelled..." : "Ready...";
}

} // namespace

bool applyGougeStep(TZGrid& grid, const ReliefParameters& params, double cellWidth,
                    double cellHeight, RunControl& control)
{
    control.showStatus("Applying Gouge Control. Please Wait...");
    // Before the mask exists, its size from the diameter in cells is near enough (values the
    // mask refuses give nonsense here, never used).
    const double maskCells =
        (params.toolDiameter / cellWidth + 2) * (params.toolDiameter / cellHeight + 2);
    const std::uint64_t maskBytes =
        maskCells > 0 && maskCells < 1e18 ? sizeof(TZGrid::Cell) * std::uint64_t(maskCells) : 0;
    const TToolMask mask =
        runWithMemoryFor("gouge control", grid.cols, grid.rows, "grid", maskBytes, [&] {
            return BuildToolMask(params.tool, params.toolDiameter, cellWidth, cellHeight,
                                 -params.depth, params.includedAngle, grid.white);
        });
    return runWithMemoryFor("gouge control", grid.cols, grid.rows, "grid",
                            GougeControlMemory(grid, mask),
                            [&] { return ApplyGougeControl(grid, mask, control); });
}

bool applyGougeForRun(TZGrid& grid, const ReliefParameters& params, RunControl& control)
{
    if (params.depth == 0)
        return true;
    return applyGougeStep(grid, params, params.sizeX / grid.cols, params.sizeY / grid.rows,
                          control);
}

namespace {

// Gouge control raises cells of the grid; it works on a copy so that the caller's grid stays
// as it was built and a second run (after a failed write, a cancel or a success) starts from
// the same heights as the first.
const TZGrid& gougedGrid(const TZGrid& grid, const ReliefParameters& params, RunControl& control,
                         std::optional<TZGrid>& copy)
{
    runWithMemoryFor("gouge control", grid.cols, grid.rows, "grid",
                     sizeof(TZGrid::Cell) * grid.cells.size(), [&] {
                         copy.emplace(grid);
                         return true;
                     });
    applyGougeForRun(*copy, params, control);
    return *copy;
}

// The heights a surface file is written from: the grid, or its gouge-controlled copy. A zero
// diameter with gouge control on is told and the grid is written as it is.
const TZGrid& surfaceHeights(const TZGrid& grid, const ReliefParameters& params,
                             RunControl& control, const CreateHooks& hooks,
                             std::optional<TZGrid>& copy)
{
    if (!params.useGougeControl)
        return grid;
    if (params.toolDiameter == 0) {
        if (hooks.showMessage)
            hooks.showMessage(ZeroDiameterMessage);
        return grid;
    }
    return gougedGrid(grid, params, control, copy);
}

// The steps the surface files share: the file name asked for, the heights gouged as params
// say, then write(sink, heights). The file replaces what was there only when write returns
// true; otherwise the run counts as stopped and the old file stays.
template <class Write>
CreateResult saveSurface(const TZGrid& grid, const ReliefParameters& params, RunControl& control,
                         const CreateHooks& hooks, Write write)
{
    const std::optional<std::string> fileName = hooks.askFileName();
    if (!fileName)
        return {CreateOutcome::SaveDeclined, {}, true};

    ProgressReset reset(control);
    AtomicFile file(*fileName);
    AtomicFileSink sink(file);
    std::optional<TZGrid> gouged;
    const TZGrid& surface = surfaceHeights(grid, params, control, hooks, gouged);
    control.showStatus("Saving to File...");
    if (!write(sink, surface)) {
        control.showStatus("Process Cancelled...");
        return {CreateOutcome::Stopped, {}, true};
    }
    file.commit();
    control.showStatus(finalStatus(control));
    return {CreateOutcome::Saved, *fileName, true};
}

} // namespace

CreateResult CreateDxfSurface(const TZGrid& grid, const ReliefParameters& params,
                              RunControl& control, const CreateHooks& hooks)
{
    checkSurfaceParameters(params);
    samplingFor(grid, params); // refuses an empty grid or a step without samples
    return saveSurface(grid, params, control, hooks, [&](AtomicFileSink& sink, const TZGrid& z) {
        writeDxfHead(sink);
        runWithMemoryFor("the DXF surface", grid.cols, grid.rows, "grid",
                         dxfFacetsMemory(grid.cols), [&] {
                             // a stop still gets the trailer
                             return writeDxfFacets(sink, z, params, control);
                         });
        writeDxfTrailer(sink);
        return true;
    });
}

CreateResult CreateStlSurface(const TZGrid& grid, const ReliefParameters& params,
                              double baseThickness, RunControl& control, const CreateHooks& hooks)
{
    checkSurfaceParameters(params);
    if (grid.rows < 2 || grid.cols < 2)
        throw Error("an STL surface needs a picture of at least 2 x 2 pixels");
    // An STL cut short would be a broken solid: a stopped run keeps the old file.
    return saveSurface(grid, params, control, hooks, [&](AtomicFileSink& sink, const TZGrid& z) {
        return WriteStlSurface(sink, z, params, baseThickness, control);
    });
}

CreateResult CreateRasterProgram(const TZGrid& grid, const ReliefParameters& params,
                                 const std::string& sourceName, RunControl& control,
                                 const CreateHooks& hooks, const machine::MachineSettings& machine)
{
    checkRasterParameters(params);
    machine::checkMachineSettings(machine, params.feedRate);
    samplingFor(grid, params);
    ProgressReset reset(control);
    std::optional<TZGrid> gouged;
    const TZGrid* surface = &grid;
    if (params.useGougeControl) {
        if (params.toolDiameter == 0) {
            if (hooks.showMessage)
                hooks.showMessage(ZeroDiameterMessage);
            return {CreateOutcome::ZeroDiameter, {}, false};
        }
        surface = &gougedGrid(grid, params, control, gouged);
    }
    control.showStatus("Saving to File...");

    // The moves go through the filter and the formatter straight into a spool, so a program
    // of hundreds of millions of moves never sits in memory; the same bytes a move list
    // would give.
    ProgramSpool spool;
    RasterProgramBody body = rasterProgramBody(spool, machine, params.feedRate, params.rapidHeight);
    RapidCollapser collapser(body);
    const std::unique_ptr<TwoThreadProtector> protector =
        twoThreadProtectorFor(grid, params, collapser);
    MoveSink& moves = protector ? static_cast<MoveSink&>(*protector) : collapser;
    const bool passesDone = runWithMemoryFor(
        "the G-code passes", grid.cols, grid.rows, "grid", rasterPassesMemory(grid.cols),
        [&] { return GenerateRasterPasses(*surface, params, control, moves); });
    if (!passesDone)
        return {CreateOutcome::Stopped, {}, false};
    if (protector)
        protector->finish();
    collapser.finish();
    body.flush();
    gouged.reset(); // the copy is not needed while the prompt is up

    if (control.escapePressed()) {
        control.showStatus(finalStatus(control));
        return {CreateOutcome::Abandoned, {}, true};
    }
    const std::optional<std::string> fileName = hooks.askFileName();
    if (!fileName)
        return {CreateOutcome::SaveDeclined, {}, true};
    control.showStatus("Writing to file...");
    AtomicFile file(*fileName);
    const bool withTool = params.useGougeControl || params.protectMoves;
    file.write(rasterProgramStart(
        machine,
        rasterFacts(sourceName, params, withTool ? params.tool : std::optional<ToolShape>(),
                    params.toolDiameter, params.feedRate, body.cuttingMinutes()),
        params.rapidHeight));
    if (!spool.copyTo(file, control)) {
        file.discard();
        control.showStatus(finalStatus(control));
        return {CreateOutcome::Abandoned, {}, true};
    }
    file.write(rasterProgramEnd(machine, body, params.rapidHeight));
    file.commit();
    control.showStatus(finalStatus(control));
    return {CreateOutcome::Saved, *fileName, true};
}

} // namespace corvane::relief
