// The stock as a grid of heights: one height per cell, sampled at the cell's point.
// Cell (row, col) stands at X = left + col·cell and Y = top − row·cell, so row 0 is the
// top edge (largest Y), as in the height grid of a picture.
#pragma once

#include <cstddef>
#include <vector>

namespace corvane::simulation {

struct ZMap {
    double left = 0; // X of column 0
    double top = 0;  // Y of row 0
    double cell = 1; // > 0
    int rows = 0, cols = 0;
    std::vector<double> heights; // rows * cols, row by row

    double x(int col) const { return left + col * cell; }
    double y(int row) const { return top - row * cell; }
    double& at(int row, int col) { return heights[std::size_t(row) * cols + col]; }
    double at(int row, int col) const { return heights[std::size_t(row) * cols + col]; }
};

// The one rule for a cell size, wherever one is typed or passed in: a number greater than 0
// and at most MaxParameterValue. Throws corvane::Error "Cell Size must be a number greater
// than 0" (or the like for the other refusals).
void checkCellSize(double cell);

// A map of rows x cols cells at the stock top z = 0. Throws corvane::Error when the map
// would be empty or too large to hold.
ZMap makeZMap(double left, double top, double cell, long long rows, long long cols);

} // namespace corvane::simulation
