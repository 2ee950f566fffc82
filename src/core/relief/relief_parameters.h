// What the "Create" of the surface dialog hands the engine: plain numbers in the user's
// length unit (the unit of the picture's resolution, pixels per unit).
#pragma once

#include "relief/tool_mask.h"

namespace corvane::relief {

struct ReliefParameters {
    double sizeX = 0;        // width of the relief, > 0
    double sizeY = 0;        // height of the relief, > 0
    double stepX = 0;        // distance between sampled columns, > 0; raised to one cell
    double stepY = 0;        // distance between sampled rows, > 0; raised to one cell
    double depth = 0;        // D: black lies D below the stock top (G-code) or D above (DXF)
    double depthPerPass = 0; // G-code only: floor lowered by this each pass, > 0
    double feedRate = 0;     // G-code only: written as the program's F word
    double rapidHeight = 0;  // G-code only: z of rapid moves
    bool useGougeControl = false;
    // G-code with gouge control only: no feed move cuts below a cell of the grid the program
    // is made from (protect_moves.h). Off keeps the program byte for byte as before.
    bool protectMoves = false;
    ToolShape tool = ToolShape::EndMill;
    double toolDiameter = 0; // 0 with gouge control on: the caller's "can not be 0" case
    int includedAngle = 60;  // V Bit only, degrees
    // The grid the dialog was opened for. Another command may rebuild or empty the one
    // shared grid while a dialog is open; a run refuses a grid of another shape.
    // 0 = not checked.
    int gridRows = 0, gridCols = 0;
};

} // namespace corvane::relief
