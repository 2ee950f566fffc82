// The steps that turn corners into mesh data, shared by the DXF reader and the picture grid:
// ordering a triangle's corners by z, the flat-triangle rule, one 3DFACE into edges and
// triangles, and the extents of the finished lists.
#pragma once

#include "geometry/mesh_records.h"


namespace corvane::mesh {

// A triangle whose z span (third z minus first z) is no greater than this is flat: region
// slicing could never cut it, so it is left out of the triangle list.
inline constexpr double FlatSpan = 1e-6;

// The corners ordered by ascending z with the exchange sort (each of the first two positions
// against every later one), so corners of equal z keep a fixed order. Inline: the readers
// call it for every triangle of a mesh. The exchanges are made on pointers, chosen without
// a branch: the outcomes are as likely one way as the other, and a mispredicted branch also
// throws away the loads a reader has in flight.
inline Triangle sortedByZ(const Point3D& a, const Point3D& b, const Point3D& c)
{
    const Point3D* p[3] = {&a, &b, &c};
    for (int i = 0; i < 2; ++i)
        for (int j = i + 1; j < 3; ++j) {
            const bool exchange = p[i]->z > p[j]->z;
            const Point3D* low = exchange ? p[j] : p[i];
            p[j] = exchange ? p[i] : p[j];
            p[i] = low;
        }
    return {{*p[0], *p[1], *p[2]}};
}

// One 3DFACE with its corners as read. Appends the sides c1-c2, c2-c3, c3-c1 (z negated) and
// the triangle c1 c2 c3 unless flat; when c4 lies farther than FlatSpan from c3 the face is a
// quadrilateral and also gets the triangle c1 c3 c4 and the sides c3-c4, c4-c1 (the diagonal
// is stored once).
void addFace(FacetMesh& mesh, const Point3D (&corners)[4]);

// c4 lies farther than FlatSpan from c3: the face has a second triangle, c1 c3 c4.
bool isQuadrilateral(const Point3D (&corners)[4]);

// Over both end points of every edge (so z is the negated z). All zero for no edges.
Extents3D edgeExtents(const TEdgeArray& edges);

// Over the three corners of every triangle in x and y; z is left at 0. All zero for none.
Extents3D triangleExtentsXY(const TTriangleArray& triangles);

} // namespace corvane::mesh
