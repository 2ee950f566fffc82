// The sampling geometry shared by the DXF surface and the raster passes: physical sizes and
// steps mapped onto grid rows and columns. x runs from the left edge, y from the top edge;
// the output coordinates are X = x and Y = SizeY - y.
#pragma once

#include "relief/relief_parameters.h"
#include "relief/zgrid.h"

namespace corvane::relief {

struct Sampling {
    double sizeX = 0, sizeY = 0;
    double stepX = 0, stepY = 0; // after the step floor: never finer than one grid cell
    double cellsPerUnitX = 0;    // cpu = cols / SizeX
    double rowsPerUnitY = 0;     // rpu = rows / SizeY
    int nx = 0;                  // round(SizeX / StepX) - 1, >= 0
    int ny = 0;                  // round(SizeY / StepY)

    int columnAt(double x) const; // round(x * cpu), halves to even
    int rowAt(double y) const;    // round(y * rpu), halves to even
};

// Applies the step floor and counts the samples. Throws corvane::Error for sizes or steps
// that break their rules (parameter_checks.h), and for a Step X so large that a line has no
// sample.
Sampling samplingFor(const TZGrid& grid, const ReliefParameters& params);
Sampling samplingFor(int gridRows, int gridCols, const ReliefParameters& params);

} // namespace corvane::relief
