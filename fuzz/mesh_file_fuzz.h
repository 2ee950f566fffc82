// What every mesh file reader's fuzz target checks: the reader gives the mesh view's lists or
// a corvane::Error, a refused file leaves nothing behind, the lists keep the orderings region
// slicing relies on, and the depth map of what was read renders too.
#pragma once

#include "common/error.h"
#include "mesh/depth_map.h"
#include "mesh/mesh_file_reader.h"
#include "mesh/triangle_sort.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::mesh::fuzz {

// `kind` is the file's extension without the dot ("stl", "obj", "ply").
inline int readMeshBytes(const uint8_t* data, size_t size, const std::string& kind)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FacetMesh mesh;
    try {
        LoadMeshBytes(mesh, bytes, kind, "fuzz." + kind, silentRunControl());
    } catch (const Error&) {
        if (!mesh.edges.empty() || !mesh.triangles.empty())
            std::abort();
        return 0;
    }
    if (!isSortedByLowestZ(mesh.triangles))
        std::abort();
    std::vector<Point3D> corners;
    for (const Triangle& t : mesh.triangles)
        corners.insert(corners.end(), {t.c[0], t.c[1], t.c[2]});
    try {
        renderDepthMap(corners, {}); // at most 1000 x 1000
    } catch (const Error&) {
        // no triangles, or no extent from above
    }
    return 0;
}

} // namespace corvane::mesh::fuzz
