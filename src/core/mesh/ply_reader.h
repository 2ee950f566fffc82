// PLY files, read directly: the model library's PLY reader writes outside its buffers on
// some damaged files, so PLY bytes never reach it.
//
// A header of lines: "ply", "format ascii|binary_little_endian|binary_big_endian 1.0",
// "comment ..." or "obj_info ...", "element NAME COUNT", "property TYPE NAME" and
// "property list COUNTTYPE ITEMTYPE NAME", ended by "end_header". TYPE is char/int8,
// uchar/uint8, short/int16, ushort/uint16, int/int32, uint/uint32, float/float32 or
// double/float64. The "vertex" element gives x, y and z; the "face" element's list
// ("vertex_indices" or "vertex_index") gives the corners, a polygon split into a fan from
// its first corner; every other element and property is read past. Vertices come before
// faces.
#pragma once

#include "common/run_control.h"
#include "mesh/triangle_sink.h"

#include <string>
#include <string_view>

namespace corvane::mesh {

// Throws corvane::Error naming the file and the reason: a header line it does not read, a
// header whose counts cannot fit the bytes (before anything is allocated), a value that is
// not a number, a coordinate that is not finite, a corner index out of range, bytes that end
// early, no triangle at all. Esc (checked every 65536 faces) stops it and returns false.
bool readPly(std::string_view bytes, const std::string& fileName, TriangleSink& out,
             RunControl& control = silentRunControl());

} // namespace corvane::mesh
