// The cut a program's moves make between its samples: how deep the tool, carried along each
// straight feed move, passes below any pixel of the relief the program was made from, each
// pixel taken as a point (relief/swept_envelope.h). A raster program written with gouge
// control clears every pixel where the tool stands, yet a move between two samples can cut
// into a higher neighbour; Protect Moves removes that cut.
#pragma once

#include "common/run_control.h"
#include "simulation/cut_comparison.h"
#include "simulation/cutter.h"
#include "simulation/tool_moves.h"

#include <optional>
#include <vector>

namespace corvane::simulation {

// The deepest cut (>= 0) of the program's cutting moves into the target's pixels, exact for
// straight moves (arcs by their chords no longer than half a cell). Nothing when Esc stopped
// it. Progress on the status bar gauge.
std::optional<double> gougeBetweenSamples(const dnc::TGCodeArray& program, double cell,
                                          const Cutter& cutter, const TargetRelief& target,
                                          RunControl& control);

// Whether the cut is worth naming: deeper than the last digit of the written numbers.
bool protectMovesRemoves(double gouge);

} // namespace corvane::simulation
