// The height grid as a DXF surface mesh: a minimal R12 head, empty TABLES and BLOCKS, and
// one 3DFACE quadrilateral per sample cell, in bands from the top of the picture down, each
// band from left to right. z = D - D*v/white: white at 0, black rising to +D. Lines end in
// CR LF; numbers have four decimals and "." whatever the locale.
#pragma once

#include "common/run_control.h"
#include "relief/byte_sink.h"
#include "relief/relief_parameters.h"
#include "relief/zgrid.h"

#include <cstdint>

namespace corvane::relief {

void writeDxfHead(ByteSink& out);
void writeDxfTrailer(ByteSink& out);

// The facets. Streams: nothing but a line of preformatted numbers is held. Progress goes to
// the dialog's bar about ten times; a stop request (Cancel) ends the bands early, leaving
// what was written whole. Returns false when stopped. Throws corvane::Error for sizes and
// steps that are not positive numbers.
bool writeDxfFacets(ByteSink& out, const TZGrid& grid, const ReliefParameters& params,
                    RunControl& control);

// About the most memory writeDxfFacets takes for a grid this wide, in bytes: the cells of a
// band with their numbers preformatted, and the block written at a time.
std::uint64_t dxfFacetsMemory(int gridCols);

// Head, facets and trailer: always a well-formed file, stopped or not.
bool WriteDxfSurface(ByteSink& out, const TZGrid& grid, const ReliefParameters& params,
                     RunControl& control);

} // namespace corvane::relief
