// A mesh seen from above as a 16-bit depth map: the height of the highest surface over each
// sample point, scaled so that the mesh's lowest z is black (0) and its highest white
// (65535), or the other way round with `invert`. Sample points where no triangle lies take
// the lowest level (black, or white inverted).
//
// Samples lie on a square grid of pitch p (model units) from the mesh's corner: column i at
// x = minX + i p, row j at y = maxY - j p (row 0 at the top), so the first and last columns
// and rows fall on the mesh's extents when they are a whole number of pitches apart. A
// corner of the mesh on a sample point gets its own height there, within half a level. The
// picture's resolution is 1 / p samples a unit (rounded; 0 when under 1).
//
// A sample covered by several triangles takes the highest (the top view); a sample on an
// edge or a corner counts as inside every triangle that has it, so neighbouring triangles
// leave no gaps. Triangles seen edge-on (no area from above) add nothing.
#pragma once

#include "common/run_control.h"
#include "geometry/point3d.h"
#include "imaging/picture.h"

#include <span>

namespace corvane::mesh {

inline constexpr int DefaultDepthMapSide = 1000;

struct DepthMapOptions {
    double pixelSize = 0; // p in model units, > 0; 0: from `width`
    int width = 0;        // samples across x (>= 2) when pixelSize is 0; 0: longer side 1000
    bool invert = false;  // white = lowest
};

struct DepthMapLayout {
    int width = 0, height = 0; // samples
    double pitch = 0;          // p
    double minX = 0, maxY = 0; // the first sample's position
    double minZ = 0, maxZ = 0; // black and white
};

// The sample grid for corners (three a triangle). Throws corvane::Error when there are no
// corners, the mesh has no extent in x or y, the options are out of range, or the picture
// would be larger than 2^28 samples (naming its size).
DepthMapLayout depthMapLayout(std::span<const Point3D> corners, const DepthMapOptions& options);

// The depth map of the triangles (three corners each). Esc (checked about every 64k
// triangles) throws corvane::Cancelled.
imaging::Picture renderDepthMap(std::span<const Point3D> corners, const DepthMapOptions& options,
                                RunControl& control = silentRunControl());

// The same, testing every sample against every triangle: the reference the fast version
// must equal, for small meshes only.
imaging::Picture renderDepthMapDirect(std::span<const Point3D> corners,
                                      const DepthMapOptions& options);

} // namespace corvane::mesh
