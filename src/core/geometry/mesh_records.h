// What a mesh view holds of its mesh: the wire-frame it draws and the triangles that region
// slicing works on. Both lists are plain vectors, so they grow geometrically.
#pragma once

#include "geometry/extents3d.h"
#include "geometry/point3d.h"

#include <vector>

namespace corvane {

// Corners ordered by ascending z: c[0] lowest, c[2] highest. z as in the file.
struct Triangle {
    Point3D c[3];
};

// One wire-frame line. Both z values are stored negated relative to the file, which is
// how the views draw depth below the stock top.
struct Edge {
    Point3D start;
    Point3D end;
};

// Sorted by the z of each triangle's lowest corner, ascending, once loading is complete.
using TTriangleArray = std::vector<Triangle>;
using TEdgeArray = std::vector<Edge>;

struct FacetMesh {
    TEdgeArray edges;
    TTriangleArray triangles;
    Extents3D extents; // over every edge end point, so its z values are the negated ones
};

} // namespace corvane
