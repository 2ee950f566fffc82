#include "simulation/preview_settings.h"

#include "relief/parameter_checks.h"
#include "relief/sampling.h"

#include <algorithm>

namespace corvane::simulation {

double previewCell(const relief::TZGrid& grid, const relief::ReliefParameters& params)
{
    const relief::Sampling sampling = relief::samplingFor(grid, params);
    const double finest = std::max(params.sizeX, params.sizeY) / MaxPreviewCells;
    return std::max(std::min(sampling.stepX, sampling.stepY), finest);
}

SimulationSettings previewSettings(const relief::TZGrid& grid,
                                   const relief::ReliefParameters& params,
                                   const relief::SurfaceDialogModel::Tool& tool)
{
    relief::checkSize(tool.diameter, "Diameter");
    if (tool.shape == relief::ToolShape::VBit)
        relief::checkIncludedAngle(tool.includedAngle);
    SimulationSettings settings;
    settings.cutter = makeCutter(tool.shape, tool.diameter, tool.includedAngle);
    settings.cell = previewCell(grid, params);
    settings.target = TargetRelief{grid, params.sizeX, params.sizeY, params.depth};
    // Without gouge control the samples themselves cut; Protect Moves is no answer to that.
    settings.measureBetweenSamples = params.useGougeControl && !params.protectMoves;
    return settings;
}

} // namespace corvane::simulation
