#include "gui/draw3d/view_projection.h"

#include <cmath>
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

} // namespace corvane::gui
