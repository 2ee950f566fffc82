// How a 3D window fits what it draws into itself: the scale that fits the x and y ranges
// into the window, model points to integer canvas points, and the two rectangles drawn
// instead of the whole drawing while the view is being dragged.
#pragma once

#include "geometry/extents3d.h"
#include "gui/draw3d/canvas3d.h"
#include "gui/draw3d/view_projection.h"

namespace corvane::gui {

struct MeshViewScale {
    double scale = 1;
    int base = 0; // canvas y of model y = 0: the base line y is flipped about
    // The box drawn while the view is dragged: the extents, or 0 to 1 in x and y for a
    // drawing without an x or y range.
    Extents3D box;
};

// The smaller of outerWidth / x range and outerHeight / y range, with the base line at the
// bottom of the drawing area. A drawing with no x or no y range (all on a line, or empty)
// is drawn at scale 1 from base line 0, boxed in 0 to 1 for x and y. The extents are the
// document's and stay as they are.
MeshViewScale meshViewScale(const Extents3D& extents, int outerWidth, int outerHeight,
                            int drawingBottom);

// The canvas box the scale's box is drawn in: x and z scaled, y scaled and flipped about the
// base line (as the drawings map their points).
CanvasBox canvasBox(const MeshViewScale& view);

// round(v * scale), halves to even, kept within what a canvas coordinate can hold.
int canvasCoordinate(double v, double scale);

// The rectangle over the box's x and y at the depth of minimum z, then at maximum z.
void drawExtentsBox(TCanvas3D& canvas, const MeshViewScale& view);

} // namespace corvane::gui
