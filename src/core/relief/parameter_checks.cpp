#include "relief/parameter_checks.h"

#include "common/error.h"

#include <cmath>
#include <string>

namespace corvane::relief {

namespace {

void requireNumber(double value, const char* field)
{
    if (std::isnan(value))
        throw Error(std::string(field) + " must be a number");
}

void requireAtMostMax(double value, const char* field)
{
    if (!(value <= MaxParameterValue))
        throw Error(std::string(field) + " can not be more than 100000");
}

void requirePositive(double value, const char* field)
{
    requireNumber(value, field);
    if (!(value > 0))
        throw Error(std::string(field) + " must be a number greater than 0");
    requireAtMostMax(value, field);
}

void requireNotNegative(double value, const char* field)
{
    requireNumber(value, field);
    if (value < 0)
        throw Error(std::string(field) + " can not be negative");
    requireAtMostMax(value, field);
}

} // namespace

void checkSize(double value, const char* field)
{
    requirePositive(value, field);
}

void checkStep(double value, const char* field)
{
    requirePositive(value, field);
}

void checkDepth(double depth)
{
    requireNotNegative(depth, "Depth");
}

void checkDepthPerPass(double depth, double depthPerPass)
{
    requirePositive(depthPerPass, "Depth / Pass");
    // A floor lowered by a vanishing amount would take forever, or never reach the Depth
    // once the additions stop changing it.
    if (depth / depthPerPass > MaxRasterPasses)
        throw Error("Depth / Pass is too small: the program would need more than " +
                    std::to_string(MaxRasterPasses) + " passes");
}

void checkFeedrate(double feedRate)
{
    requirePositive(feedRate, "Feedrate");
}

void checkRapidHeight(double rapidHeight)
{
    requireNotNegative(rapidHeight, "Rapid Height");
}

void checkToolDiameter(double diameter)
{
    requireNotNegative(diameter, "Diameter");
}

void checkIncludedAngle(double degrees)
{
    if (!(degrees >= MinIncludedAngle && degrees <= MaxIncludedAngle))
        throw Error("Included Angle must lie between " + std::to_string(MinIncludedAngle) +
                    " and " + std::to_string(MaxIncludedAngle) + " degrees");
}

void checkSurfaceParameters(const ReliefParameters& params)
{
    checkSize(params.sizeX, "Size X");
    checkSize(params.sizeY, "Size Y");
    checkStep(params.stepX, "Step X");
    checkStep(params.stepY, "Step Y");
    checkDepth(params.depth);
    if (params.useGougeControl) {
        checkToolDiameter(params.toolDiameter);
        if (params.tool == ToolShape::VBit)
            checkIncludedAngle(params.includedAngle);
    }
}

void checkRasterParameters(const ReliefParameters& params)
{
    checkSurfaceParameters(params);
    checkDepthPerPass(params.depth, params.depthPerPass);
    checkFeedrate(params.feedRate);
    checkRapidHeight(params.rapidHeight);
}

} // namespace corvane::relief
