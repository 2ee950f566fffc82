// How the mesh view draws its mesh on the 3D panel: the scale that fits the mesh's x and y
// ranges into the window, model points to integer canvas points, the wire-frame, and the
// two rectangles drawn instead of it while the view is being dragged.
#pragma once

#include "geometry/mesh_records.h"
#include "gui/draw3d/canvas3d.h"
#include "toolpaths/region.h"

namespace corvane::gui {

struct MeshViewScale {
    double scale = 1;
    int base = 0; // canvas y of model y = 0: the base line y is flipped about
};

// The smaller of outerWidth / x range and outerHeight / y range, with the base line at the
// bottom of the drawing area. A mesh with no x or no y range (all on a line, or empty) is
// drawn at scale 1 from base line 0, and its extents' x and y become 0 to 1 for the box.
MeshViewScale meshViewScale(Extents3D& extents, int outerWidth, int outerHeight, int drawingBottom);

// The canvas box the extents are drawn in: x and z scaled, y scaled and flipped about the base
// line (as drawEdges maps points).
CanvasBox canvasBox(const Extents3D& extents, const MeshViewScale& view);

// round(v * scale), halves to even, kept within what a canvas coordinate can hold.
int canvasCoordinate(double v, double scale);

// Every edge as a move to its start and a line to its end: (round(x s), base - round(y s),
// round(z s)).
void drawEdges(TCanvas3D& canvas, const TEdgeArray& edges, const MeshViewScale& view);

// The rectangle over the extents' x and y at the depth of minimum z, then at maximum z.
void drawExtentsBox(TCanvas3D& canvas, const Extents3D& extents, const MeshViewScale& view);

// One region in blue at its depth, with the mapping of the mesh so that it lies on the mesh:
// each segment from (round(x1 s), base - round(y1 s), -round(depth s)) to its end.
void drawRegion(TCanvas3D& canvas, const toolpaths::TRegion& region, const MeshViewScale& view);

} // namespace corvane::gui
