// How the cut preview draws the carved surface on the 3D panel: two faces per block of the
// preview surface, lit from the upper left and the front, white or in the colours of the
// deviation map. Model points go to the canvas as in the mesh view: (x s, base - y s, z s).
#pragma once

#include "geometry/extents3d.h"
#include "gui/draw3d/canvas3d.h"
#include "gui/draw3d/view_scale.h"
#include "simulation/preview_surface.h"

namespace corvane::gui {

// The surface's X, Y and Z extents (Z over the heights present).
Extents3D surfaceExtents(const simulation::PreviewSurface& surface);

// byDeviation: colour each face by its block's deviation (needs surface.deviation); else
// every face is white before shading.
void drawCarvedSurface(TCanvas3D& canvas, const simulation::PreviewSurface& surface,
                       const MeshViewScale& view, bool byDeviation);

} // namespace corvane::gui
