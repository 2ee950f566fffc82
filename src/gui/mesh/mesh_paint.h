// How the mesh view draws its mesh and regions on the 3D panel, with the scale the 3D window
// host fits the mesh with (gui/draw3d/view_scale.h).
#pragma once

#include "geometry/mesh_records.h"
#include "gui/draw3d/canvas3d.h"
#include "gui/draw3d/view_scale.h"
#include "toolpaths/region.h"

namespace corvane::gui {

// Every edge as a move to its start and a line to its end: (round(x s), base - round(y s),
// round(z s)).
void drawEdges(TCanvas3D& canvas, const TEdgeArray& edges, const MeshViewScale& view);

// One region in blue at its depth, with the mapping of the mesh so that it lies on the mesh:
// each segment from (round(x1 s), base - round(y1 s), -round(depth s)) to its end.
void drawRegion(TCanvas3D& canvas, const toolpaths::TRegion& region, const MeshViewScale& view);

} // namespace corvane::gui
