#include "simulation/z_map.h"

#include "common/error.h"
#include "relief/parameter_checks.h"

#include <cmath>
#include <new>
#include <string>

namespace corvane::simulation {

void checkCellSize(double cell)
{
    relief::checkSize(cell, "Cell Size");
}

ZMap makeZMap(double left, double top, double cell, long long rows, long long cols)
{
    checkCellSize(cell);
    // 200 million cells (1.6 GB) is beyond any sensible preview.
    constexpr long long MaxCells = 200'000'000;
    if (rows < 1 || cols < 1 || rows > MaxCells / cols)
        throw Error("a height map of " + std::to_string(cols) + " x " + std::to_string(rows) +
                    " cells is too large; use a larger cell size");
    ZMap map;
    map.left = left;
    map.top = top;
    map.cell = cell;
    map.rows = int(rows);
    map.cols = int(cols);
    try {
        map.heights.assign(std::size_t(rows) * std::size_t(cols), 0.0);
    } catch (const std::bad_alloc&) {
        throw Error("not enough memory for a height map of " + std::to_string(cols) + " x " +
                    std::to_string(rows) + " cells");
    }
    return map;
}

} // namespace corvane::simulation
