// Where the readers of mesh files put the triangles they find, one at a time, corners as in
// the file. The mesh view's lists and the depth map each take them their own way.
#pragma once

#include "geometry/mesh_records.h"

#include <cstddef>
#include <vector>

namespace corvane::mesh {

class TriangleSink {
public:
    virtual ~TriangleSink() = default;
    // About how many triangles follow, when the file says so; a hint for reserving memory.
    virtual void expect(std::size_t /*triangles*/) {}
    virtual void add(const Point3D& a, const Point3D& b, const Point3D& c) = 0;
};

// Every triangle, flat ones included, three corners each: what the depth map renders.
class TriangleSoup : public TriangleSink {
public:
    void expect(std::size_t triangles) override { corners.reserve(3 * triangles); }
    void add(const Point3D& a, const Point3D& b, const Point3D& c) override
    {
        corners.insert(corners.end(), {a, b, c});
    }
    std::vector<Point3D> corners; // 3 a triangle
};

// The mesh view's lists, as a DXF 3DFACE gives them (facet_mesh_build.h): three sides a
// triangle, z negated, and the triangle unless flat. Extents and the sort come afterwards.
class FacetMeshSink : public TriangleSink {
public:
    explicit FacetMeshSink(FacetMesh& mesh) : mesh_(mesh) {}
    void expect(std::size_t triangles) override;
    void add(const Point3D& a, const Point3D& b, const Point3D& c) override;
    std::size_t count() const { return count_; }

private:
    FacetMesh& mesh_;
    std::size_t count_ = 0;
};

} // namespace corvane::mesh
