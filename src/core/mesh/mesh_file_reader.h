// Mesh files of every kind the program reads, the kind told by the extension: DXF (3DFACE,
// dxf_mesh_reader.h), STL (stl_reader.h; binary STL straight into the lists,
// stl_mesh_lists.h), PLY (ply_reader.h), and OBJ, OFF and 3MF (assimp_reader.h).
// Every kind gives the same lists a DXF mesh gives: wire-frame sides, triangles sorted by
// lowest z, extents over the sides.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"
#include "mesh/dxf_mesh_reader.h"
#include "mesh/triangle_sink.h"

#include <string>
#include <string_view>

namespace corvane::mesh {

enum class MeshFileKind { Unknown, Dxf, Stl, Ply, Assimp };

// From the extension, case-insensitive: .dxf, .stl, .obj/.ply/.off/.3mf.
MeshFileKind meshKindFromName(const std::string& path);

// "DXF, STL, OBJ, PLY, OFF or 3MF": for messages that list what can be read.
inline constexpr const char* MeshKindsText = "DXF, STL, OBJ, PLY, OFF or 3MF";

// Reads any of the kinds into the mesh view's lists, with the DXF reader's status texts,
// progress and Esc points. NoFile when the file does not exist; corvane::Error naming the
// file and the reason for an unknown kind, a broken file or one without triangles (the mesh
// is then left empty, except for DXF, which keeps what it read).
MeshLoadOutcome LoadMeshFile(FacetMesh& mesh, const std::string& path, RunControl& control);

// The same from bytes in memory, for STL, OBJ, PLY, OFF and 3MF (extension without the dot).
MeshLoadOutcome LoadMeshBytes(FacetMesh& mesh, std::string_view bytes, const std::string& extension,
                              const std::string& fileName, RunControl& control);

// Every triangle of a mesh file as it is, flat ones included (for the depth map). Throws as
// LoadMeshFile; false when Esc stopped the reading.
bool readMeshTriangles(const std::string& path, TriangleSink& out, RunControl& control);

} // namespace corvane::mesh
