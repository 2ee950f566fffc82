#include "simulation/cutter.h"

#include "relief/parameter_checks.h"


namespace corvane::simulation {

Cutter makeCutter(relief::ToolShape shape, double diameter, double includedAngle)
{
    // The dialogs' rules: a diameter of 1e308 would otherwise make the map's margin, and so
    // the map, too large, and the blame would fall on the cell size.
    relief::checkSize(diameter, "Diameter");
    if (shape == relief::ToolShape::VBit)
        relief::checkIncludedAngle(includedAngle);
    return relief::toolProfile(shape, diameter, includedAngle);
}

} // namespace corvane::simulation
