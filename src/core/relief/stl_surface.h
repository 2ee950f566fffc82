// The relief as a binary STL solid, for printing or for other CAM programs: the height grid
// as a surface closed by four side walls and a flat base, watertight and outward-facing.
//
// Geometry (unit as Size X / Size Y, z up): one vertex a grid cell, at
//   x = c * SizeX / (cols - 1),  y = SizeY - r * SizeY / (rows - 1),
//   z = base + Depth * v / white,
// so the solid covers exactly Size X by Size Y, white is highest (base + Depth) and black
// lowest (base). Steps are not used: every cell is a vertex. Each cell gives two top
// triangles split along its top-left to bottom-right diagonal; each boundary segment a wall
// quad down to z = 0 (two triangles); the base is a fan from its centre to every boundary
// segment, so no triangle has three corners in a line. Corners are counter-clockwise seen
// from outside, and each normal is the unit normal of its triangle.
//
// The file: an 80-byte header that does not start with "solid", the triangle count, then
// 50 bytes a triangle (normal, three corners, two zero bytes), all little-endian floats.
#pragma once

#include "common/run_control.h"
#include "relief/byte_sink.h"
#include "relief/relief_parameters.h"
#include "relief/zgrid.h"

#include <cstdint>

namespace corvane::relief {

inline constexpr double DefaultBaseThickness = 0.1;

// 2 (rows - 1)(cols - 1) on top, 2 a boundary segment in the walls, 1 a segment in the base.
std::uint64_t stlTriangleCount(int rows, int cols);

// Throws corvane::Error for a grid of fewer than 2 x 2 cells, a base that is not a positive
// finite number, sizes or a depth out of their ranges, and more triangles than an STL file
// can count. Progress to the dialog gauge by rows; Cancel (the run's stop request) or Esc
// stops between rows and returns false, the file then incomplete (the caller does not
// commit it).
bool WriteStlSurface(ByteSink& out, const TZGrid& grid, const ReliefParameters& params,
                     double baseThickness, RunControl& control);

} // namespace corvane::relief
