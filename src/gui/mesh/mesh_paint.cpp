#include "gui/mesh/mesh_paint.h"

#include "common/round_half_even.h"

#include <algorithm>

namespace corvane::gui {

namespace {

// Far outside any screen, yet safe to add and subtract as int.
constexpr double CanvasLimit = 1e9;

} // namespace

MeshViewScale meshViewScale(Extents3D& extents, int outerWidth, int outerHeight, int drawingBottom)
{
    if (extents.rangeX == 0 || extents.rangeY == 0) {
        extents.minX = extents.minY = 0;
        extents.maxX = extents.maxY = 1;
        return {1, 0};
    }
    return {std::min(outerWidth / extents.rangeX, outerHeight / extents.rangeY), drawingBottom};
}

CanvasBox canvasBox(const Extents3D& extents, const MeshViewScale& view)
{
    const double s = view.scale;
    return {double(canvasCoordinate(extents.minX, s)),
            double(canvasCoordinate(extents.maxX, s)),
            double(view.base - canvasCoordinate(extents.maxY, s)),
            double(view.base - canvasCoordinate(extents.minY, s)),
            double(canvasCoordinate(extents.minZ, s)),
            double(canvasCoordinate(extents.maxZ, s))};
}

int canvasCoordinate(double v, double scale)
{
    const double product = v * scale;
    // Also false for NaN, which has no canvas position either.
    if (!(product > -CanvasLimit && product < CanvasLimit))
        return product > 0 ? int(CanvasLimit) : -int(CanvasLimit);
    return int(corvane::roundHalfEven(product));
}

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

void drawExtentsBox(TCanvas3D& canvas, const Extents3D& e, const MeshViewScale& view)
{
    const double s = view.scale;
    const int left = canvasCoordinate(e.minX, s), right = canvasCoordinate(e.maxX, s);
    const int top = view.base - canvasCoordinate(e.minY, s);
    const int bottom = view.base - canvasCoordinate(e.maxY, s);
    canvas.Rectangle(left, top, right, bottom, canvasCoordinate(e.minZ, s));
    canvas.Rectangle(left, top, right, bottom, canvasCoordinate(e.maxZ, s));
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
