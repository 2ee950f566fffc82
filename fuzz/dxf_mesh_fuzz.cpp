// Any bytes as a DXF mesh file: the reader gives a mesh or a corvane::Error, and a mesh it
// gives keeps the orderings region slicing relies on.
#include "common/error.h"
#include "mesh/dxf_mesh_reader.h"
#include "mesh/triangle_sort.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    corvane::FacetMesh mesh;
    try {
        corvane::mesh::LoadDxfMesh(mesh, bytes, "fuzz.dxf", corvane::silentRunControl());
    } catch (const corvane::Error&) {
        // a bad number, a cut face or no face: what was read must still be in order
    }
    if (!corvane::mesh::isSortedByLowestZ(mesh.triangles))
        std::abort();
    for (const corvane::Triangle& t : mesh.triangles)
        if (!(t.c[0].z <= t.c[1].z && t.c[1].z <= t.c[2].z))
            std::abort();
    return 0;
}
