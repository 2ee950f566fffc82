#include "mesh/facet_mesh_build.h"

#include "mesh/bounds.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvane::mesh {

namespace {

Edge negatedEdge(const Point3D& a, const Point3D& b)
{
    return {{a.x, a.y, -a.z}, {b.x, b.y, -b.z}};
}

void appendUnlessFlat(TTriangleArray& triangles, const Triangle& t)
{
    if (t.c[2].z - t.c[0].z > FlatSpan)
        triangles.push_back(t);
}

} // namespace

bool isQuadrilateral(const Point3D (&c)[4])
{
    const double dx = c[3].x - c[2].x, dy = c[3].y - c[2].y, dz = c[3].z - c[2].z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) > FlatSpan;
}

void addFace(FacetMesh& mesh, const Point3D (&c)[4])
{
    appendUnlessFlat(mesh.triangles, sortedByZ(c[0], c[1], c[2]));
    mesh.edges.push_back(negatedEdge(c[0], c[1]));
    mesh.edges.push_back(negatedEdge(c[1], c[2]));
    mesh.edges.push_back(negatedEdge(c[2], c[0]));
    if (isQuadrilateral(c)) {
        appendUnlessFlat(mesh.triangles, sortedByZ(c[0], c[2], c[3]));
        mesh.edges.push_back(negatedEdge(c[2], c[3]));
        mesh.edges.push_back(negatedEdge(c[3], c[0]));
    }
}

Extents3D edgeExtents(const TEdgeArray& edges)
{
    Bounds b;
    for (const Edge& e : edges) {
        b.add(e.start);
        b.add(e.end);
    }
    return b.extents();
}

Extents3D triangleExtentsXY(const TTriangleArray& triangles)
{
    Bounds b;
    for (const Triangle& t : triangles)
        for (const Point3D& p : t.c)
            b.add(p);
    Extents3D e = b.extents();
    e.minZ = e.maxZ = 0;
    return e;
}

} // namespace corvane::mesh
