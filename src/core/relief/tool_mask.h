// The tool as a small grid of heights: entry [a][b] holds how far the cutting surface
// stands above the tool's tip at an offset of (b - nc/2) cells to the right and (a - nr/2)
// cells down, in grey steps (K = 256 / depth steps per unit length for an 8-bit grid,
// 65536 / depth for a 16-bit one). The grid's white (255 or 65535) marks offsets outside the
// footprint; they never constrain anything.
#pragma once

#include "relief/zgrid.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::relief {

enum class ToolShape { EndMill = 1, BallMill = 2, VBit = 3 };

// The tool list's items, in the order of ToolShape: "End Mill", "Ball Mill", "V Bit".
const std::array<std::string, 3>& toolShapeNames();

// The tool list's texts; any other text is an End Mill (the list is editable).
ToolShape toolShapeFromText(const std::string& text);

inline constexpr const char* ZeroDiameterMessage = "Tool Diameter can not be 0!";

struct TToolMask {
    int rows = 1;                         // nr + 1, always odd
    int cols = 1;                         // nc + 1, always odd
    int white = White8;                    // the grid's white; also the mark for "outside"
    std::vector<TZGrid::Cell> entries{0};  // rows * cols, row by row, each 0..white

    TZGrid::Cell at(int row, int col) const { return entries[std::size_t(row) * cols + col]; }
};

// Largest mask side we build: a tool that spans more cells than this is a sign of a cell
// size or diameter typed wrong, and would take hours to apply.
inline constexpr int MaxToolMaskSide = 2049;

// diameter and the cell sizes in the user's length unit (diameter > 0, cells > 0);
// negatedDepth is -D (D > 0); includedAngle in degrees, used by the V Bit only (5..179).
// white is the grid's white, 255 or 65535: the mask's steps are the grid's levels.
// Throws corvane::Error on values outside those ranges (parameter_checks.h).
TToolMask BuildToolMask(ToolShape shape, double diameter, double cellWidth, double cellHeight,
                        double negatedDepth, double includedAngle, int white = White8);

} // namespace corvane::relief
