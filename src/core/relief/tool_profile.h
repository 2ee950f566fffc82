// The cutting end of a tool as an exact solid of revolution standing on its tip: the height
// of its surface above the tip at a distance from the axis (End Mill flat, Ball Mill a
// sphere, V Bit a cone), and the lowest point that surface reaches over a point of the
// table while the tip runs along a straight move. The tool mask quantizes the same heights
// to grey steps; moves are judged with these exact ones, the way the cut simulation carves.
#pragma once

#include "relief/tool_mask.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::relief {

struct ToolProfile {
    ToolShape shape = ToolShape::EndMill;
    double radius = 0;    // > 0, in the user's unit
    double coneSlope = 0; // V Bit only: height gained per unit of distance from the axis
};

// diameter > 0; includedAngle in degrees (5..179), read for the V Bit only. The caller
// checks the ranges (parameter_checks.h).
ToolProfile toolProfile(ToolShape shape, double diameter, double includedAngle);

// The surface above the tip at squared distance rho2 from the axis, 0 <= rho2 <= radius².
// Inline: the envelope asks for it for every row a move passes.
inline double heightAboveTip(const ToolProfile& tool, double rho2)
{
    switch (tool.shape) {
    case ToolShape::BallMill:
        return tool.radius - std::sqrt(std::max(0.0, tool.radius * tool.radius - rho2));
    case ToolShape::VBit:
        return tool.coneSlope * std::sqrt(rho2);
    default:
        return 0;
    }
}

// A straight move of the tip from (x0, y0, z0) to (x1, y1, z1), in program coordinates.
struct TipSegment {
    double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
};

inline constexpr double NeverUnderTool = std::numeric_limits<double>::infinity();

// The lowest height of the tool's surface over (qx, qy) along the whole move, or
// NeverUnderTool when the point never lies strictly inside the footprint (the rim counts
// as outside, as in the tool mask). Exact: along the move the surface height over a fixed
// point is a convex function of the position, so its minimum has a closed form.
double lowestSurfaceOver(const ToolProfile& tool, const TipSegment& move, double qx, double qy);

} // namespace corvane::relief
