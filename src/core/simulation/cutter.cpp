#include "simulation/cutter.h"

#include "common/error.h"

#include <cmath>

namespace corvane::simulation {

Cutter makeCutter(relief::ToolShape shape, double diameter, double includedAngle)
{
    if (!(diameter > 0) || !std::isfinite(diameter))
        throw Error("the tool diameter must be a number greater than 0");
    if (shape == relief::ToolShape::VBit && !(includedAngle >= 5 && includedAngle <= 179))
        throw Error("the included angle must lie between 5 and 179 degrees");
    return relief::toolProfile(shape, diameter, includedAngle);
}

} // namespace corvane::simulation
