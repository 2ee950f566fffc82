// TZGrid: the program's grid of heights, [row][column], row 0 at the top of the picture and
// column 0 at its left. 0 is black (deepest), white (the stock's top) is `white`: 255 for a
// grid from an 8-bit picture, 65535 from a 16-bit depth map. A height is depth * v / white,
// so one level is 1/255 or 1/65535 of the depth, and an 8-bit grid gives exactly the values
// it always gave.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::relief {

inline constexpr int White8 = 255;
inline constexpr int White16 = 65535;

struct TZGrid {
    // Wide enough for a 16-bit depth map's samples; an 8-bit grid uses 0..255 of it.
    using Cell = std::uint16_t;

    int rows = 0;
    int cols = 0;
    int white = White8;       // White8 or White16
    std::vector<Cell> cells;  // rows * cols, row by row, each 0..white

    TZGrid() = default;
    TZGrid(int rowCount, int colCount, Cell fill = 0, int whiteLevel = White8)
        : rows(rowCount), cols(colCount), white(whiteLevel),
          cells(std::size_t(rowCount) * std::size_t(colCount), fill)
    {
    }

    bool empty() const { return rows == 0 || cols == 0; }
    bool deep() const { return white == White16; }
    Cell* operator[](int row)
    {
        return cells.data() + std::size_t(row) * std::size_t(cols);
    }
    const Cell* operator[](int row) const
    {
        return cells.data() + std::size_t(row) * std::size_t(cols);
    }
    // Empties the grid to zero rows and gives its memory back.
    void clear()
    {
        rows = cols = 0;
        std::vector<Cell>().swap(cells);
    }
};

} // namespace corvane::relief
