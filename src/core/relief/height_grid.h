// Sampling a picture into the height grid: the red component of every pixel (the sample of a
// 16-bit depth map, at its full 65535 levels), optionally inside a one-cell white frame that
// makes the outer edge of a surface mesh fall to z = 0.
#pragma once

#include "imaging/picture.h"
#include "relief/zgrid.h"

namespace corvane::relief {

// Without the frame: height rows by width columns. With it: height + 2 rows by width + 2
// columns, the picture at rows 1..height and columns 1..width, white all round. The grid's
// white is White16 for a 16-bit picture and White8 for every other. Throws corvane::Error
// naming the sizes when there is not enough memory for the grid.
TZGrid FillHeightGrid(const imaging::Picture& picture, bool withWhiteFrame);

// The other way: a grid as a grey picture, 8-bit (grey ramp palette) for an 8-bit grid and a
// 16-bit depth map for a 16-bit one; the grid's memory moves into the picture's.
imaging::Picture GridPicture(TZGrid&& grid);

} // namespace corvane::relief
