// The cutting tool as a solid of revolution standing on its tip, and the lowest point its
// surface reaches over a spot of the table while the tip runs along a straight segment.
// The shapes and sizes mean what they mean in the surface dialog: the diameter across the
// cutting end, the V bit's included angle in degrees. The maths is relief's tool profile,
// the one Protect Moves judges the program with, so the simulation carves exactly what the
// protector guards against.
#pragma once

#include "relief/tool_profile.h"

namespace corvane::simulation {

using Cutter = relief::ToolProfile;

// Throws corvane::Error naming the field, as the dialogs do, for a diameter that is not
// above 0 and at most relief::MaxParameterValue, and for a V bit angle outside 5..179
// degrees.
Cutter makeCutter(relief::ToolShape shape, double diameter, double includedAngle);

// A straight move of the tip, from (x0, y0, z0) to (x1, y1, z1).
using Segment = relief::TipSegment;

inline constexpr double NotUnderTool = relief::NeverUnderTool;

// The lowest height of the tool's surface over (qx, qy) along the whole segment, or
// NotUnderTool when the spot never lies strictly inside the tool's footprint (the rim
// counts as outside, as in the tool mask); exact (relief::lowestSurfaceOver).
inline double lowestToolHeight(const Cutter& cutter, const Segment& s, double qx, double qy)
{
    return relief::lowestSurfaceOver(cutter, s, qx, qy);
}

} // namespace corvane::simulation
