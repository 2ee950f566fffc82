// Writing regions as DXF polylines: an R12 file (header, empty tables and blocks, the
// entities) in which each region is one POLYLINE with a VERTEX at its start and one at the
// end of every segment, all at the region's depth as z. A closed region repeats its first
// point as its last vertex. Lines end with CR LF; numbers are "%.4f" with ".".
//
// Each POLYLINE carries group 70 with flag 8 (a 3D polyline), and each VERTEX flag 32 (a 3D
// polyline vertex): without them a reader takes the polyline as 2D, whose vertices lie at
// the polyline's elevation, and the depths of the cut are lost.
#pragma once

#include "toolpaths/region.h"

#include <string>

namespace corvane::toolpaths {

// Regions 1 to the last, in list order.
std::string dxfPolylineText(const TRegionArray& regions);

// Writes the file whole or not at all; throws corvane::Error naming the file on failure.
void SaveDxfPolylines(const std::string& path, const TRegionArray& regions);

} // namespace corvane::toolpaths
