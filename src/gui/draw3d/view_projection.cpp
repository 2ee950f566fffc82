#include "gui/draw3d/view_projection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace corvane::gui {

namespace {

struct Vector {
    double x, y, z;
};

double radians(int degrees)
{
    return double(degrees % 360) * std::numbers::pi / 180.0;
}

// The screen position (y up, relative to the centre, before zoom) of a unit step along one
// canvas axis, given as a vector in the y-up frame.
Vector turned(Vector v, const ViewOptions& view)
{
    const double r = radians(view.rotation), e = radians(view.elevation), t = radians(view.tilt);
    // Rotation about the depth axis.
    v = {v.x * std::cos(r) - v.y * std::sin(r), v.x * std::sin(r) + v.y * std::cos(r), v.z};
    // Elevation about the horizontal axis.
    v = {v.x, v.y * std::cos(e) - v.z * std::sin(e), v.y * std::sin(e) + v.z * std::cos(e)};
    // Tilt about the line of sight.
    return {v.x * std::cos(t) - v.y * std::sin(t), v.x * std::sin(t) + v.y * std::cos(t), v.z};
}

} // namespace

ViewProjection::ViewProjection(const ViewOptions& view, double centreX, double centreY)
{
    const double k = view.zoom / 100.0;
    // Canvas y grows downwards, the frame above grows upwards: canvas +y is frame -y, and the
    // frame's y comes back to the screen negated.
    const Vector ex = turned({1, 0, 0}, view), ey = turned({0, -1, 0}, view),
                 ez = turned({0, 0, 1}, view);
    xx_ = k * ex.x;
    xy_ = k * ey.x;
    xz_ = k * ez.x;
    yx_ = -k * ex.y;
    yy_ = -k * ey.y;
    yz_ = -k * ez.y;
    // The turned frame's z points at the viewer.
    zx_ = ex.z;
    zy_ = ey.z;
    zz_ = ez.z;
    // The centre stays where it is (before the offsets).
    ox_ = centreX + view.horizOffset - (xx_ * centreX + xy_ * centreY);
    oy_ = centreY + view.vertOffset - (yx_ * centreX + yy_ * centreY);
}

ViewOptions fitView(ViewOptions view, const CanvasBox& box, double left, double top, double width,
                    double height, double margin)
{
    // At zoom k and offsets d a point p lands at c + d + k * q(p), where q(p) is where it lands
    // at zoom 100 without offsets, less the centre c: fit the box of q over the eight corners.
    const double cx = left + width / 2, cy = top + height / 2;
    ViewOptions unit = view;
    unit.zoom = 100;
    unit.horizOffset = unit.vertOffset = 0;
    const ViewProjection projection(unit, cx, cy);
    double lowX = std::numeric_limits<double>::infinity(), highX = -lowX;
    double lowY = lowX, highY = -lowX;
    for (const double x : {box.minX, box.maxX})
        for (const double y : {box.minY, box.maxY})
            for (const double z : {box.minZ, box.maxZ}) {
                const ScreenPoint p = projection.project(x, y, z);
                lowX = std::min(lowX, p.x - cx);
                highX = std::max(highX, p.x - cx);
                lowY = std::min(lowY, p.y - cy);
                highY = std::max(highY, p.y - cy);
            }
    if (!std::isfinite(lowX) || !std::isfinite(highX) || !std::isfinite(lowY) ||
        !std::isfinite(highY))
        return view;
    const double roomX = std::max(width - 2 * margin, 1.0),
                 roomY = std::max(height - 2 * margin, 1.0);
    // The largest zoom that keeps both spans inside their room; a span of nothing sets no limit.
    double k = std::numeric_limits<double>::infinity();
    if (highX - lowX > 1e-9)
        k = std::min(k, roomX / (highX - lowX));
    if (highY - lowY > 1e-9)
        k = std::min(k, roomY / (highY - lowY));
    if (std::isfinite(k)) {
        // A zoom past a thousandfold only magnifies the canvas's whole units.
        view.zoom = int(std::clamp(std::floor(k * 100), 1.0, 100000.0));
    }
    const double scale = view.zoom / 100.0;
    const auto whole = [](double v) { return int(std::clamp(std::round(v), -1e9, 1e9)); };
    view.horizOffset = whole(-scale * (lowX + highX) / 2);
    view.vertOffset = whole(-scale * (lowY + highY) / 2);
    return view;
}

} // namespace corvane::gui
