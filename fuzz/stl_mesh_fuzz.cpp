// Any bytes as a STL mesh file. A binary one, read straight into the lists, must also give
// exactly what the general road gives (the sink, the extents over the sides, the sort), or
// be refused by both.
#include "mesh/facet_mesh_build.h"
#include "mesh/stl_mesh_lists.h"
#include "mesh/stl_reader.h"
#include "mesh_file_fuzz.h"

#include <cstring>

namespace {

using namespace corvane;
using namespace corvane::mesh;

template <class T> bool sameBytes(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void compareWithGeneralRoad(std::string_view bytes)
{
    if (!isBinaryStl(bytes))
        return;
    FacetMesh reference, fast;
    bool referenceRead = true, fastRead = true;
    try {
        FacetMeshSink sink(reference);
        readStl(bytes, "fuzz.stl", sink);
        reference.extents = edgeExtents(reference.edges);
        sortByLowestZ(reference.triangles, silentRunControl());
    } catch (const Error&) {
        referenceRead = false;
    }
    try {
        if (bytes[80] == 0 && bytes[81] == 0 && bytes[82] == 0 && bytes[83] == 0)
            throw Error("fuzz.stl", "no triangles"); // only files with triangles come here
        loadBinaryStlLists(
            fast, bytes, "fuzz.stl", silentRunControl(), [] { return true; }, 2);
    } catch (const Error&) {
        fastRead = false;
    }
    if (referenceRead != fastRead)
        std::abort();
    if (fastRead && (!sameBytes(fast.edges, reference.edges) ||
                     !sameBytes(fast.triangles, reference.triangles) ||
                     std::memcmp(&fast.extents, &reference.extents, sizeof(Extents3D)) != 0))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    compareWithGeneralRoad(std::string_view(reinterpret_cast<const char*>(data), size));
    return corvane::mesh::fuzz::readMeshBytes(data, size, "stl");
}
