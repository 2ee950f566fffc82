// The roughing passes: the bulk of the material above the relief + Stock to Leave taken
// away by a large tool in levels, from the top down, each level a raster of rows along X.
//
//   Levels: z = −StepDown, −2 StepDown, ... down to the deepest point of the relief + stock,
//   each rounded up to the program's last digit (never below the floor it stands for).
//   Rows: Y = SizeY, SizeY − StepOver, ... down to the last grid row; the tip positions of a
//   row are the grid's columns, as written (four decimals).
//   Spans: at a level, the runs of pieces of a row whose floor (roughing_floor.h) lies at or
//   below the level. The levels above ran the same rows and, since a floor at or below this
//   level is below theirs, every span of this level was cut there too: the material left over
//   a span is the layer between the level above and this one, and a span is only cut where
//   there is such a layer. Stretches where the tool would reach into the stock layer are
//   never entered.
//   Links: the tool stays down along a span. From the end of a row's last span to the start
//   of the next row's first span it stays down too when that straight move is short (at most
//   two diameters) and its swept envelope keeps above the relief + stock; otherwise it lifts
//   to the Rapid Height, crosses, drops by rapid to the level above (where the previous level
//   left the material) and feeds down. Rows alternate direction, and levels run their rows
//   alternately down and up the picture, so crossings stay short.
#pragma once

#include "common/run_control.h"
#include "relief/raster_move.h"
#include "relief/relief_parameters.h"
#include "relief/roughing_parameters.h"
#include "relief/zgrid.h"

#include <vector>

namespace corvane::relief {

// The heights of the levels, top down, as the program writes them. Empty when the deepest
// point + stock is at or above the stock top (nothing to rough).
std::vector<double> roughingLevels(double deepest, double stock, double stepDown);

struct RoughingRun {
    bool completed = false;  // false: Cancel or Esc stopped it (the moves are incomplete)
    int levels = 0;          // levels that cut anything
    long long feedMoves = 0; // the cutting moves
};

// Streams the moves to `moves`, starting and ending at the Rapid Height. Uses the sizes,
// Depth and Rapid Height of `relief`; `grid` holds the heights to keep the stock above (the
// roughing tool is judged on its own shape, not through a tool mask). Progress on the dialog's bar; Cancel and
// Esc stop it at the next progress point. The caller checks the parameters first
// (checkRasterParameters, checkRoughingParameters).
RoughingRun GenerateRoughingPasses(const TZGrid& grid, const ReliefParameters& relief,
                                   const RoughingParameters& roughing, RunControl& control,
                                   MoveSink& moves);

} // namespace corvane::relief
