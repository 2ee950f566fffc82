// One cutting move carved into the map row by row. Over a row the lowest point of the
// tool's surface along a straight move is a function of x alone, so a row is one short
// loop over its cells with every branch turned into a choice between two values: the
// compiler runs it on several cells per instruction. Each cell gets exactly the value the
// cell by cell sweep gives it: the same operations on the same numbers, in the same order
// (relief::lowestSurfaceOver), only the parts that do not change along the row worked out
// once for it.
#pragma once

#include "simulation/cutter.h"

namespace corvane::simulation {

// Where cell col of a row lies: x = left + col · cell (the map's own formula).
struct RowGeometry {
    double left = 0;
    double cell = 1;
};

// Lowers heights[from, to) of the row at y = qy to the surface of the cutting move s wherever
// that passes below them; a cell at or below the move's lowest tip is left alone. The same
// result, bit for bit, as lowering each cell to lowestToolHeight(cutter, s, x, qy).
void cutRow(const Cutter& cutter, const Segment& s, RowGeometry row, double qy,
            double* heights, int from, int to);

} // namespace corvane::simulation
