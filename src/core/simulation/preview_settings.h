// What the surface dialog's Preview simulates with: the tool typed in the dialog, a cell
// of one step, and the dialog's own height grid as the target.
#pragma once

#include "relief/relief_parameters.h"
#include "relief/surface_dialog_model.h"
#include "relief/zgrid.h"
#include "simulation/simulate_program.h"

namespace corvane::simulation {

// The finer of the steps the program really takes (never finer than a pixel of the grid):
// the cells then stand where the program takes its samples, and the target there is the
// very pixel the program picked; with a coarser Step Y the cells between the raster lines
// show the scallops. No finer than keeps the longer side of the relief within
// MaxPreviewCells cells.
inline constexpr int MaxPreviewCells = 2000;
double previewCell(const relief::TZGrid& grid, const relief::ReliefParameters& params);

// Throws corvane::Error naming Diameter or Included Angle for a tool that cannot cut.
SimulationSettings previewSettings(const relief::TZGrid& grid,
                                   const relief::ReliefParameters& params,
                                   const relief::SurfaceDialogModel::Tool& tool);

} // namespace corvane::simulation
