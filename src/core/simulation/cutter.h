// The cutting tool as a solid of revolution standing on its tip, and the lowest point its
// surface reaches over a spot of the table while the tip runs along a straight segment.
// The shapes and sizes mean what they mean in the surface dialog: the diameter across the
// cutting end, the V bit's included angle in degrees.
#pragma once

#include "relief/tool_mask.h"

#include <limits>

namespace corvane::simulation {

struct Cutter {
    relief::ToolShape shape = relief::ToolShape::EndMill;
    double radius = 0;    // > 0
    double coneSlope = 0; // V bit: height gained per unit of distance from the axis
};

// Throws corvane::Error naming the field, as the dialogs do, for a diameter that is not
// above 0 and at most relief::MaxParameterValue, and for a V bit angle outside 5..179
// degrees.
Cutter makeCutter(relief::ToolShape shape, double diameter, double includedAngle);

// A straight move of the tip, from (x0, y0, z0) to (x1, y1, z1).
struct Segment {
    double x0, y0, z0, x1, y1, z1;
};

inline constexpr double NotUnderTool = std::numeric_limits<double>::infinity();

// The lowest height of the tool's surface over (qx, qy) along the whole segment, or
// NotUnderTool when the spot never lies strictly inside the tool's footprint (the rim
// counts as outside, as in the tool mask). Exact: the height along the segment is a convex
// function of the position, so its minimum has a closed form.
double lowestToolHeight(const Cutter& cutter, const Segment& s, double qx, double qy);

} // namespace corvane::simulation
