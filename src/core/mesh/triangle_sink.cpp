#include "mesh/triangle_sink.h"

#include "mesh/facet_mesh_build.h"

namespace corvane::mesh {

void FacetMeshSink::expect(std::size_t triangles)
{
    mesh_.edges.reserve(mesh_.edges.size() + 3 * triangles);
    mesh_.triangles.reserve(mesh_.triangles.size() + triangles);
}

void FacetMeshSink::add(const Point3D& a, const Point3D& b, const Point3D& c)
{
    const Point3D corners[4] = {a, b, c, c}; // a fourth corner on the third: a triangle
    addFace(mesh_, corners);
    ++count_;
}

} // namespace corvane::mesh
