#include "relief/tool_profile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane::relief {

ToolProfile toolProfile(ToolShape shape, double diameter, double includedAngle)
{
    ToolProfile tool;
    tool.shape = shape;
    tool.radius = diameter / 2;
    if (shape == ToolShape::VBit)
        tool.coneSlope = std::tan((90 - includedAngle / 2) * std::numbers::pi / 180);
    return tool;
}

double lowestSurfaceOver(const ToolProfile& tool, const TipSegment& s, double qx, double qy)
{
    const double r2 = tool.radius * tool.radius;
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0, dz = s.z1 - s.z0;
    const double wx = qx - s.x0, wy = qy - s.y0;
    const double a = dx * dx + dy * dy;
    if (a == 0) { // a plunge: the lowest point comes at the lower end
        const double rho2 = wx * wx + wy * wy;
        return rho2 < r2 ? std::min(s.z0, s.z1) + heightAboveTip(tool, rho2) : NeverUnderTool;
    }
    // Along the move the squared distance is a (t - t0)² + b2, t from 0 to 1.
    const double t0 = (wx * dx + wy * dy) / a;
    const double cross = wx * dy - wy * dx;
    const double b2 = cross * cross / a;
    if (!(b2 < r2))
        return NeverUnderTool;
    const double half = std::sqrt((r2 - b2) / a);
    const double lo = std::max(0.0, t0 - half);
    const double hi = std::min(1.0, t0 + half);
    if (!(lo < hi))
        return NeverUnderTool;

    // Where the derivative of z(t) + height(t) vanishes, as an offset u from t0; the sum is
    // convex, so clamping that point to [lo, hi] gives the minimum. A flat tool's minimum
    // lies at the downhill end of the stretch.
    double t = dz > 0 ? lo : hi;
    if (tool.shape == ToolShape::BallMill) {
        const double u = std::sqrt(dz * dz * (r2 - b2) / (a * (a + dz * dz)));
        t = std::clamp(dz > 0 ? t0 - u : t0 + u, lo, hi);
    } else if (tool.shape == ToolShape::VBit) {
        const double k2a = tool.coneSlope * tool.coneSlope * a;
        if (k2a > dz * dz) { // otherwise the move is steeper than the cone: downhill end
            const double u = std::sqrt(dz * dz * b2 / (a * (k2a - dz * dz)));
            t = std::clamp(dz > 0 ? t0 - u : t0 + u, lo, hi);
        }
    }
    const double rho2 = std::min(r2, a * (t - t0) * (t - t0) + b2);
    return s.z0 + dz * t + heightAboveTip(tool, rho2);
}

} // namespace corvane::relief
