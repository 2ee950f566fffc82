// The roughing floor: how low the roughing tool's tip may run along a row and keep its whole
// cutting surface at or above the relief + Stock to Leave. Cells are points, as the swept
// envelope sees them (swept_envelope.h). The row is cut into pieces, the straight moves
// between two neighbouring tip positions x[c] and x[c + 1] at one Y; the floor of a piece is
//   stock + max over cells q under the tool somewhere on the piece of (zq − height(dist(q, piece)))
// i.e. stock + the swept envelope of the piece run at z = 0. A move at constant height z
// over a run of pieces keeps above every cell + stock exactly when z is at or above each of
// their floors: the tool's lowest point over a cell along a union of pieces is the lowest
// along one of them.
#pragma once

#include "relief/swept_envelope.h"
#include "relief/tool_profile.h"

#include <span>
#include <vector>

namespace corvane::relief {

// The tool wider by half the program's last digit: a cell on the rim, or just beyond it,
// then counts as under it. The program is read back from its written numbers (rounded to
// four decimals, and read in single precision by some readers, ours included), which can
// move a position by that much, and a flat end mill wrongly thought to miss a high cell
// would cut it to the floor of the level. A wider ball or cone stands no higher over any
// cell, so the floors only rise.
ToolProfile guardedTool(const ToolProfile& tool);

// The floors of the pieces of the row at Y = y between the positions xs (ascending, at
// least two): xs.size() − 1 values, NoCut for a piece no cell comes under. The fast path:
// grid rows nearest the row first; a grid row is skipped for a piece when its highest cell
// in reach, less the tool's height at the row's distance, cannot raise the floor found so
// far (the height only grows away from the piece); otherwise its cells in reach are tested
// exactly.
std::vector<double> pieceFloors(const SampleField& field, const ToolProfile& tool, double y,
                                std::span<const double> xs, double stock);

// The reference: each piece's swept envelope by deepestCut, every cell tested.
std::vector<double> pieceFloorsReference(const SampleField& field, const ToolProfile& tool,
                                         double y, std::span<const double> xs, double stock);

} // namespace corvane::relief
