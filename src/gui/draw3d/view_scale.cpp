#include "gui/draw3d/view_scale.h"

#include "common/round_half_even.h"

#include <algorithm>

namespace corvane::gui {

namespace {

// Far outside any screen, yet safe to add and subtract as int.
constexpr double CanvasLimit = 1e9;

} // namespace

MeshViewScale meshViewScale(const Extents3D& extents, int outerWidth, int outerHeight,
                            int drawingBottom)
{
    if (extents.rangeX == 0 || extents.rangeY == 0) {
        Extents3D box = extents;
        box.minX = box.minY = 0;
        box.maxX = box.maxY = 1;
        return {1, 0, box};
    }
    return {std::min(outerWidth / extents.rangeX, outerHeight / extents.rangeY), drawingBottom,
            extents};
}

CanvasBox canvasBox(const MeshViewScale& view)
{
    const Extents3D& e = view.box;
    const double s = view.scale;
    return {double(canvasCoordinate(e.minX, s)),
            double(canvasCoordinate(e.maxX, s)),
            double(view.base - canvasCoordinate(e.maxY, s)),
            double(view.base - canvasCoordinate(e.minY, s)),
            double(canvasCoordinate(e.minZ, s)),
            double(canvasCoordinate(e.maxZ, s))};
}

int canvasCoordinate(double v, double scale)
{
    const double product = v * scale;
    // Also false for NaN, which has no canvas position either.
    if (!(product > -CanvasLimit && product < CanvasLimit))
        return product > 0 ? int(CanvasLimit) : -int(CanvasLimit);
    return int(corvane::roundHalfEven(product));
}

void drawExtentsBox(TCanvas3D& canvas, const MeshViewScale& view)
{
    const Extents3D& e = view.box;
    const double s = view.scale;
    const int left = canvasCoordinate(e.minX, s), right = canvasCoordinate(e.maxX, s);
    const int top = view.base - canvasCoordinate(e.minY, s);
    const int bottom = view.base - canvasCoordinate(e.maxY, s);
    canvas.Rectangle(left, top, right, bottom, canvasCoordinate(e.minZ, s));
    canvas.Rectangle(left, top, right, bottom, canvasCoordinate(e.maxZ, s));
}

} // namespace corvane::gui
