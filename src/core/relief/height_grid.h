// Sampling a picture into the height grid: the red component of every pixel, optionally
// inside a one-cell white frame that makes the outer edge of a surface mesh fall to z = 0.
#pragma once

#include "imaging/picture.h"
#include "relief/zgrid.h"

namespace corvane::relief {

// Without the frame: height rows by width columns. With it: height + 2 rows by width + 2
// columns, the picture at rows 1..height and columns 1..width, 255 all round. Throws
// corvane::Error naming the sizes when there is not enough memory for the grid.
TZGrid FillHeightGrid(const imaging::Picture& picture, bool withWhiteFrame);

} // namespace corvane::relief
