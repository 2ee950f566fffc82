// What the surface dialog's Preview simulates with: the tool typed in the dialog, a cell
// fine enough to show the scallops between raster lines, and the dialog's own height grid
// as the target.
#pragma once

#include "relief/relief_parameters.h"
#include "relief/surface_dialog_model.h"
#include "relief/zgrid.h"
#include "simulation/simulate_program.h"

namespace corvane::simulation {

// Half the finer step, so that every raster line has a cell between it and the next; but
// no finer than keeps the longer side of the relief within MaxPreviewCells cells.
inline constexpr int MaxPreviewCells = 2000;
double previewCell(const relief::ReliefParameters& params);

// Throws corvane::Error naming Diameter or Included Angle for a tool that cannot cut.
SimulationSettings previewSettings(const relief::TZGrid& grid,
                                   const relief::ReliefParameters& params,
                                   const relief::SurfaceDialogModel::Tool& tool);

} // namespace corvane::simulation
