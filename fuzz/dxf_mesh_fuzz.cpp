// Any bytes as a DXF mesh file: the reader gives a mesh or a corvane::Error, and a mesh it
// gives keeps the orderings region slicing relies on. Read on two threads from a seam in the
// middle, the bytes give exactly what one thread gives. Read as plain triangles (the depth
// map's reading), they fail alike and hold the lists' triangles and the flat ones.
#include "common/error.h"
#include "mesh/dxf_face_scanner.h"
#include "mesh/dxf_mesh_reader.h"
#include "mesh/facet_mesh_build.h"
#include "mesh/triangle_sink.h"
#include "mesh/triangle_sort.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct Reading {
    corvane::FacetMesh mesh;
    std::string error;
};

Reading scan(std::string_view bytes, std::size_t seam)
{
    Reading r;
    try {
        corvane::mesh::scanDxfFaces(bytes, "fuzz.dxf", r.mesh, seam);
    } catch (const corvane::Error& e) {
        r.error = std::to_string(e.line()) + e.reason();
    }
    return r;
}

template <class T> bool sameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

} // namespace

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

    const Reading one = scan(bytes, corvane::mesh::NoSeam), two = scan(bytes, size / 2);
    if (one.error != two.error || !sameBits(one.mesh.edges, two.mesh.edges) ||
        !sameBits(one.mesh.triangles, two.mesh.triangles) ||
        std::memcmp(&one.mesh.extents, &two.mesh.extents, sizeof one.mesh.extents) != 0)
        std::abort();

    corvane::mesh::TriangleSoup soup;
    std::string soupError;
    try {
        corvane::mesh::readDxfFaceTriangles(bytes, "fuzz.dxf", soup, corvane::silentRunControl());
    } catch (const corvane::Error& e) {
        soupError = std::to_string(e.line()) + e.reason();
    }
    std::size_t steep = 0;
    for (std::size_t i = 0; i + 2 < soup.corners.size(); i += 3) {
        const corvane::Triangle t =
            corvane::mesh::sortedByZ(soup.corners[i], soup.corners[i + 1], soup.corners[i + 2]);
        steep += t.c[2].z - t.c[0].z > corvane::mesh::FlatSpan;
    }
    if (soupError != one.error || steep != one.mesh.triangles.size())
        std::abort();
    return 0;
}
