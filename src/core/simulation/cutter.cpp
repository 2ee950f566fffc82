#include "simulation/cutter.h"

#include "relief/parameter_checks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane::simulation {

using relief::ToolShape;

Cutter makeCutter(ToolShape shape, double diameter, double includedAngle)
{
    // The dialogs' rules: a diameter of 1e308 would otherwise make the map's margin, and so
    // the map, too large, and the blame would fall on the cell size.
    relief::checkSize(diameter, "Diameter");
    Cutter cutter;
    cutter.shape = shape;
    cutter.radius = diameter / 2;
    if (shape == ToolShape::VBit) {
        relief::checkIncludedAngle(includedAngle);
        cutter.coneSlope = std::tan((90 - includedAngle / 2) * std::numbers::pi / 180);
    }
    return cutter;
}

namespace {

// The surface above the tip at squared distance rho2 (< radius²) from the axis.
double heightAboveTip(const Cutter& c, double rho2)
{
    switch (c.shape) {
    case ToolShape::BallMill:
        return c.radius - std::sqrt(std::max(0.0, c.radius * c.radius - rho2));
    case ToolShape::VBit:
        return c.coneSlope * std::sqrt(rho2);
    default:
        return 0;
    }
}

} // namespace

double lowestToolHeight(const Cutter& c, const Segment& s, double qx, double qy)
{
    const double r2 = c.radius * c.radius;
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0, dz = s.z1 - s.z0;
    const double wx = qx - s.x0, wy = qy - s.y0;
    const double a = dx * dx + dy * dy;
    if (a == 0) { // a plunge or a move on the spot: the lowest point comes at the lower end
        const double rho2 = wx * wx + wy * wy;
        return rho2 < r2 ? std::min(s.z0, s.z1) + heightAboveTip(c, rho2) : NotUnderTool;
    }
    // Along the segment the squared distance is a (t - t0)² + b2.
    const double t0 = (wx * dx + wy * dy) / a;
    const double cross = wx * dy - wy * dx;
    const double b2 = cross * cross / a;
    if (!(b2 < r2))
        return NotUnderTool;
    const double half = std::sqrt((r2 - b2) / a);
    const double lo = std::max(0.0, t0 - half);
    const double hi = std::min(1.0, t0 + half);
    if (!(lo < hi))
        return NotUnderTool;

    // Where the derivative of z(t) + height(t) vanishes, as an offset u from t0; the
    // function is convex, so clamping that point to [lo, hi] gives the minimum.
    double t;
    const double downhill = dz > 0 ? lo : hi; // the flat tool's answer
    switch (c.shape) {
    case ToolShape::BallMill: {
        const double u = std::sqrt(dz * dz * (r2 - b2) / (a * (a + dz * dz)));
        t = std::clamp(dz > 0 ? t0 - u : t0 + u, lo, hi);
        break;
    }
    case ToolShape::VBit: {
        const double k2a = c.coneSlope * c.coneSlope * a;
        if (k2a > dz * dz) {
            const double u = std::sqrt(dz * dz * b2 / (a * (k2a - dz * dz)));
            t = std::clamp(dz > 0 ? t0 - u : t0 + u, lo, hi);
        } else {
            t = downhill; // the move is steeper than the cone: the height only falls
        }
        break;
    }
    default:
        t = downhill;
    }
    const double rho2 = std::min(r2, a * (t - t0) * (t - t0) + b2);
    return s.z0 + dz * t + heightAboveTip(c, rho2);
}

} // namespace corvane::simulation
