// A height grid as a triangulated surface, without going through a file: each sample is a
// grid point whose height is its darkness. Grid units: x is the column index, y is the number
// of rows minus the row index (the top row lies at y = rows, the bottom row at y = 1), and
// z = 255 - sample, so black is highest (255) and white lowest (0); a 16-bit grid's samples
// are scaled to the same span, (65535 - sample) * 255 / 65535.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"
#include "relief/zgrid.h"

namespace corvane::mesh {

// The program's one grid surface, shared by every window that slices the picture's grid.
struct GridSurface {
    TTriangleArray triangles; // corners by ascending z; the list sorted by lowest z
    Extents3D extents;        // x and y over every corner; z both 0
    // Set when the last build's sort was stopped by Esc: the list is then only partly
    // ordered, and slicing it would silently miss triangles, so it must be built again.
    bool sortCutShort = false;
};

// Two triangles per cell, split along the diagonal from the top-right to the bottom-left
// sample, top row first, left to right:
//   (k, top, h(r,k)), (k+1, top, h(r,k+1)), (k, bottom, h(r+1,k)) and
//   (k+1, bottom, h(r+1,k+1)), (k+1, top, h(r,k+1)), (k, bottom, h(r+1,k)),
// each with its corners ordered by z; triangles whose first and third z are equal are left
// out. In build order (not sorted).
TTriangleArray gridTriangles(const relief::TZGrid& grid);

// Whether the surface must be built again before use: the picture changed since, the list
// holds fewer than two triangles, or its sort was cut short.
bool needsRebuild(const GridSurface& surface, bool pictureChanged);

// Builds the surface from the grid: triangles, extents, then the cancellable sort.
// When Esc stops the sort, the surface is marked sortCutShort and false is returned.
bool buildGridSurface(GridSurface& surface, const relief::TZGrid& grid, RunControl& control);

} // namespace corvane::mesh
