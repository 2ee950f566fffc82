#include "gui/mesh/mesh_paint.h"

namespace corvane::gui {

void drawEdges(TCanvas3D& canvas, const TEdgeArray& edges, const MeshViewScale& view)
{
    const double s = view.scale;
    for (const Edge& e : edges) {
        canvas.MoveTo(canvasCoordinate(e.start.x, s), view.base - canvasCoordinate(e.start.y, s),
                      canvasCoordinate(e.start.z, s));
        canvas.LineTo(canvasCoordinate(e.end.x, s), view.base - canvasCoordinate(e.end.y, s),
                      canvasCoordinate(e.end.z, s));
    }
}

void drawRegion(TCanvas3D& canvas, const toolpaths::TRegion& region, const MeshViewScale& view)
{
    const double s = view.scale;
    canvas.SetPen(QColor(0, 0, 255));
    const int z = -canvasCoordinate(region.depth, s);
    for (const toolpaths::TMyEntity& e : region.entities) {
        canvas.MoveTo(canvasCoordinate(e.x1, s), view.base - canvasCoordinate(e.y1, s), z);
        canvas.LineTo(canvasCoordinate(e.x2, s), view.base - canvasCoordinate(e.y2, s), z);
    }
}

} // namespace corvane::gui
