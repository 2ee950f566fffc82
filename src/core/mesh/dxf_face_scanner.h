// The reading part of the DXF mesh reader: the 3DFACE entities of a DXF file's bytes, each
// turned into edges and triangles as it is read (no list of faces is kept). The layout it
// accepts is described in dxf_mesh_reader.h.
//
// A large file is read by two threads, each from one half. The second starts at the first
// line after the seam that is exactly "3DFACE", as if the reading had just reached it. The
// first reads on until it reaches that line between faces; then the second's faces follow its
// own, and the reading is the same as one thread's. Only the coordinates a face does not give
// depend on what came before: the second thread holds back its faces until each of the twelve
// coordinates has been given once after the seam (nearly always its first face), and they are
// finished with the first thread's last corners. When the first thread never lands on the
// second's starting line (that "3DFACE" was the value of another group code), reaches "EOF"
// or an error first, or the second holds back too many faces, the second's work is thrown
// away and the first reads on to the end: slower, never different.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"
#include "mesh/triangle_sink.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::mesh {

// Appends the faces of `bytes` to mesh.edges and mesh.triangles of an empty mesh and sets
// mesh.extents over the edges (as edgeExtents would, but taken on the way). Throws corvane::Error
// naming fileName, the line and the text when a group code or a coordinate is not a finite number
// (or does not fit), naming the line of a face the bytes end inside, and naming the file when
// there is no face at all; the whole faces read before it stay in the mesh, with their extents.
// On two threads where the machine has them and the bytes are many.
void scanDxfFaces(std::string_view bytes, const std::string& fileName, FacetMesh& mesh);

// Reads on one thread when `seam` is NoSeam (the reference), else on two with the second
// starting at the first "3DFACE" line at or after byte `seam`. The result is the same.
inline constexpr std::size_t NoSeam = SIZE_MAX;
void scanDxfFaces(std::string_view bytes, const std::string& fileName, FacetMesh& mesh,
                  std::size_t seam);

// Where scanDxfFaces cuts bytes of this size: the middle of files large enough for a second
// thread to pay (on a machine with two cores or more), else NoSeam.
std::size_t defaultSeam(std::size_t byteCount);

// Every triangle of the faces of `bytes` as read, flat ones included (what a depth map
// renders): c1 c2 c3, and c1 c3 c4 for a quadrilateral, as the lists split them. One
// thread. Throws as scanDxfFaces; false when Esc stopped the reading.
bool readDxfFaceTriangles(std::string_view bytes, const std::string& fileName, TriangleSink& out,
                          RunControl& control);

} // namespace corvane::mesh
