// The carved surface as the cut preview draws it. A map of millions of cells would be
// millions of faces smaller than a pixel, so the preview draws blocks of k x k cells: each
// block stands at the height of its first cell and carries the block's deviation of
// largest size, so that a gouge one cell wide stays in sight.
#pragma once

#include "simulation/simulate_program.h"

#include <vector>

namespace corvane::simulation {

struct PreviewSurface {
    ZMap heights;                  // cell = k times the simulation's cell
    std::vector<double> deviation; // carved - target per cell of heights; empty without one
    double tolerance = 0;
};

// k is the smallest whole number that keeps both sides within maxSide (>= 2) cells.
PreviewSurface previewSurface(const Simulation& sim, int maxSide);

} // namespace corvane::simulation
