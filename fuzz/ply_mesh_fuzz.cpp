// Any bytes as a PLY mesh file.
#include "mesh_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return corvane::mesh::fuzz::readMeshBytes(data, size, "ply");
}
