// TZGrid: the program's grid of heights as bytes, [row][column], row 0 at the top of the
// picture and column 0 at its left. 0 is black (deepest), 255 white (the stock's top).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::relief {

struct TZGrid {
    using Cell = std::uint8_t;

    int rows = 0;
    int cols = 0;
    std::vector<std::uint8_t> cells; // rows * cols, row by row

    TZGrid() = default;
    TZGrid(int rowCount, int colCount, std::uint8_t fill = 0)
        : rows(rowCount), cols(colCount), cells(std::size_t(rowCount) * std::size_t(colCount), fill)
    {
    }

    bool empty() const { return rows == 0 || cols == 0; }
    std::uint8_t* operator[](int row)
    {
        return cells.data() + std::size_t(row) * std::size_t(cols);
    }
    const std::uint8_t* operator[](int row) const
    {
        return cells.data() + std::size_t(row) * std::size_t(cols);
    }
    // Empties the grid to zero rows and gives its memory back.
    void clear()
    {
        rows = cols = 0;
        std::vector<std::uint8_t>().swap(cells);
    }
};

} // namespace corvane::relief
