// Any bytes as a PLY mesh file: the reader gives the mesh view's lists or a corvane::Error,
// and the lists it gives keep the orderings region slicing relies on; the depth map of what
// was read is rendered too.
#include "common/error.h"
#include "mesh/depth_map.h"
#include "mesh/mesh_file_reader.h"
#include "mesh/triangle_sort.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    corvane::FacetMesh mesh;
    try {
        corvane::mesh::LoadMeshBytes(mesh, bytes, "ply", "fuzz.ply",
                                     corvane::silentRunControl());
    } catch (const corvane::Error&) {
        if (!mesh.edges.empty() || !mesh.triangles.empty())
            std::abort(); // a refused file leaves nothing behind
        return 0;
    }
    if (!corvane::mesh::isSortedByLowestZ(mesh.triangles))
        std::abort();
    std::vector<corvane::Point3D> corners;
    for (const corvane::Triangle& t : mesh.triangles)
        corners.insert(corners.end(), {t.c[0], t.c[1], t.c[2]});
    try {
        corvane::mesh::renderDepthMap(corners, {}); // at most 1000 x 1000
    } catch (const corvane::Error&) {
        // no triangles, or no extent from above
    }
    return 0;
}
