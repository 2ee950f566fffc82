#include "relief/roughing_parameters.h"

#include "common/error.h"
#include "relief/parameter_checks.h"

#include <cmath>
#include <string>

namespace corvane::relief {

RoughingParameters defaultRoughing(const ReliefParameters& finishing)
{
    RoughingParameters r;
    r.stepOver = defaultStepOver(r.toolDiameter);
    r.stepDown = finishing.depthPerPass;
    r.feedRate = finishing.feedRate;
    return r;
}

namespace {

void requireInRange(double value, const std::string& field, bool zeroAllowed)
{
    if (std::isnan(value))
        throw Error(field + " must be a number");
    if (zeroAllowed ? value < 0 : !(value > 0))
        throw Error(field +
                    (zeroAllowed ? " can not be negative" : " must be a number greater than 0"));
    if (!(value <= MaxParameterValue))
        throw Error(field + " can not be more than 100000");
}

} // namespace

void checkRoughingParameters(const RoughingParameters& r, const ReliefParameters& finishing)
{
    requireInRange(r.toolDiameter, "Roughing Diameter", false);
    if (r.tool == ToolShape::VBit &&
        !(r.includedAngle >= MinIncludedAngle && r.includedAngle <= MaxIncludedAngle))
        throw Error("Roughing Included Angle must lie between " + std::to_string(MinIncludedAngle) +
                    " and " + std::to_string(MaxIncludedAngle) + " degrees");
    requireInRange(r.stockToLeave, "Stock to Leave", true);
    requireInRange(r.stepOver, "Step Over", false);
    // Wider rows would leave ridges of full height between them.
    if (r.stepOver > r.toolDiameter)
        throw Error("Step Over can not be larger than the Diameter");
    requireInRange(r.stepDown, "Step Down", false);
    if (finishing.depth / r.stepDown > MaxRasterPasses)
        throw Error("Step Down is too small: the program would need more than " +
                    std::to_string(MaxRasterPasses) + " levels");
    requireInRange(r.feedRate, "Roughing Feedrate", false);
}

ReliefParameters finishingAfterRoughing(ReliefParameters finishing, bool keepDepthPerPass)
{
    if (!keepDepthPerPass && finishing.depth > 0)
        finishing.depthPerPass = finishing.depth;
    return finishing;
}

} // namespace corvane::relief
