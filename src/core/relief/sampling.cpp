#include "relief/sampling.h"

#include "common/error.h"
#include "common/round_half_even.h"
#include "relief/parameter_checks.h"

#include <algorithm>
#include <cmath>

namespace corvane::relief {

// Positions far beyond the grid (a step of 1e300) all mean "past the last row or column";
// limiting them first keeps the conversion to int defined.
static int gridIndex(double cells)
{
    return int(roundHalfEven(std::clamp(cells, -1e9, 1e9)));
}

int Sampling::columnAt(double x) const
{
    return gridIndex(x * cellsPerUnitX);
}
int Sampling::rowAt(double y) const
{
    return gridIndex(y * rowsPerUnitY);
}

Sampling samplingFor(const TZGrid& grid, const ReliefParameters& params)
{
    if (grid.empty())
        throw Error("there is no height grid to work on; open the dialog again from the picture");
    if ((params.gridRows || params.gridCols) &&
        (params.gridRows != grid.rows || params.gridCols != grid.cols))
        throw Error("the height grid was rebuilt for another picture; open the dialog again "
                    "from the picture");
    return samplingFor(grid.rows, grid.cols, params);
}

Sampling samplingFor(int gridRows, int gridCols, const ReliefParameters& params)
{
    checkSize(params.sizeX, "Size X");
    checkSize(params.sizeY, "Size Y");
    checkStep(params.stepX, "Step X");
    checkStep(params.stepY, "Step Y");
    Sampling s;
    s.sizeX = params.sizeX;
    s.sizeY = params.sizeY;
    s.stepX = std::max(params.stepX, params.sizeX / gridCols);
    s.stepY = std::max(params.stepY, params.sizeY / gridRows);
    s.cellsPerUnitX = gridCols / s.sizeX;
    s.rowsPerUnitY = gridRows / s.sizeY;
    if (!std::isfinite(s.cellsPerUnitX) || !std::isfinite(s.rowsPerUnitY))
        throw Error("Size X and Size Y are too small to hold the picture's cells");
    // The step floor bounds both quotients by the grid's size (plus a half), so they fit.
    s.nx = int(roundHalfEven(s.sizeX / s.stepX)) - 1;
    s.ny = int(roundHalfEven(s.sizeY / s.stepY));
    if (s.nx < 0)
        throw Error("Step X is more than twice Size X: a line would have no sample");
    return s;
}

} // namespace corvane::relief
