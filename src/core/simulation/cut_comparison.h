// How the carved surface compares with the relief the program was made from: for each cell
// carved − target, where the target is the height grid of the picture (z = −D + D·v/white,
// the picture spread over SizeX by SizeY with Y = SizeY at its top edge).
#pragma once

#include "relief/zgrid.h"
#include "simulation/z_map.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::simulation {

struct TargetRelief {
    relief::TZGrid grid; // the picture's height grid, without the frame
    double sizeX = 0, sizeY = 0, depth = 0;
};

// A Z-map over the target's area (X 0..SizeX, Y 0..SizeY) at the stock top.
ZMap zMapForTarget(const TargetRelief& target, double cell);

// The target height under each cell of the map: the nearest grid cell, as the program's
// sampling picks it (round half to even), clamped to the grid.
std::vector<double> targetHeights(const TargetRelief& target, const ZMap& map);

struct Deviation {
    double largestGouge = 0; // how far the most gouged cell lies below its target (>= 0)
    double gougeX = 0, gougeY = 0;
    double largestLeftover = 0; // how far the highest leftover stands above its target (>= 0)
    double leftoverX = 0, leftoverY = 0;
    double meanAbsolute = 0;
    double tolerance = 0;
    double withinTolerance = 0; // share of the cells, 0..1
};

Deviation compareWithTarget(const ZMap& carved, const std::vector<double>& target,
                            double tolerance);

// The deviation map's colours: white within the tolerance, blue where material is left,
// red where the tool cut below the target, deeper as the deviation grows to ten tolerances.
struct DeviationColour {
    std::uint8_t r, g, b;
};
DeviationColour deviationColour(double deviation, double tolerance);

} // namespace corvane::simulation
