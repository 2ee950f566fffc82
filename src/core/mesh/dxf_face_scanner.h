// The reading part of the DXF mesh reader: the 3DFACE entities of a DXF file's bytes, each
// turned into edges and triangles as it is read (no list of faces is kept). The layout it
// accepts is described in dxf_mesh_reader.h.
#pragma once

#include "geometry/mesh_records.h"

#include <string>
#include <string_view>

namespace corvane::mesh {

// Appends the faces of `bytes` to mesh.edges and mesh.triangles of an empty mesh and sets
// mesh.extents over the edges (as edgeExtents would, but taken on the way). Throws corvane::Error
// naming fileName, the line and the text when a group code or a coordinate is not a finite number
// (or does not fit), naming the line of a face the bytes end inside, and naming the file when
// there is no face at all; the whole faces read before it stay in the mesh, with their extents.
void scanDxfFaces(std::string_view bytes, const std::string& fileName, FacetMesh& mesh);

} // namespace corvane::mesh
