// The raster pass generator: the relief milled in depth passes, each pass a zigzag of lines
// (left to right at y, right to left at y + StepY) that follows the surface but never goes
// below the pass floor. Stretches that an earlier pass finished, and white stock, are
// crossed at the rapid height.
#pragma once

#include "common/run_control.h"
#include "relief/raster_move.h"
#include "relief/relief_parameters.h"
#include "relief/zgrid.h"

#include <cstdint>

namespace corvane::relief {

// Streams the moves of every pass to `moves`, in machining order, starting with the rapids
// to the bottom-left and top-left corners. Uses sizes, steps, depth (>= 0), depth per pass
// (> 0) and rapid height of params; gouge control is the caller's. Progress goes to the
// dialog's bar and "Pass n" to the status text. A stop request (Cancel) ends the run at
// the next progress point: returns false. Esc does not stop the passes.
// Throws corvane::Error for sizes, steps, depths and a rapid height that break their rules
// (parameter_checks.h); a Depth of 0 makes one pass that skips every sample.
bool GenerateRasterPasses(const TZGrid& grid, const ReliefParameters& params, RunControl& control,
                          MoveSink& moves);

// About the most memory GenerateRasterPasses takes for a grid this wide, in bytes (the
// moves themselves stream to the sink).
std::uint64_t rasterPassesMemory(int gridCols);

} // namespace corvane::relief
