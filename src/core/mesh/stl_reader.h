// STL files, read directly: binary STL is a fixed record a triangle, so it is read straight
// from the mapped file at the speed of memory; ASCII STL is read word by word.
//
// Binary: an 80-byte header, a little-endian 32-bit triangle count, then 50 bytes a
// triangle (a normal, three corners of three 32-bit floats, two attribute bytes). The file
// must be exactly 84 + 50 x count bytes: a count that disagrees with the size is refused,
// before anything is allocated. ASCII: "solid", then "facet normal nx ny nz / outer loop /
// vertex x y z (three times) / endloop / endfacet" repeated, then "endsolid"; any blank
// separates words, names after solid and endsolid are free, numbers use ".". A file that
// starts with "solid" but has exactly the size of a binary file of its count is binary
// (some writers put "solid" in the binary header).
#pragma once

#include "common/run_control.h"
#include "mesh/triangle_sink.h"

#include <string>
#include <string_view>

namespace corvane::mesh {

// Throws corvane::Error naming the file and the reason: a size that does not fit the
// count, a broken ASCII facet (with its line), a coordinate that is not a finite number
// (with the triangle), and a file without any triangle. Esc (control.escapePressed(),
// checked every million triangles) stops the reading and returns false.
bool readStl(std::string_view bytes, const std::string& fileName, TriangleSink& out,
             RunControl& control = silentRunControl());

// Whether the bytes are binary STL by the rule above.
bool isBinaryStl(std::string_view bytes);

} // namespace corvane::mesh
