// The roughing program's settings: the big tool that takes the bulk of the material away in
// levels before the finishing raster, leaving an even layer of stock. Plain numbers in the
// user's length unit, like ReliefParameters.
#pragma once

#include "relief/relief_parameters.h"

namespace corvane::relief {

struct RoughingParameters {
    ToolShape tool = ToolShape::EndMill;
    double toolDiameter = 0.25; // > 0
    int includedAngle = 60;     // V Bit only, degrees
    double stockToLeave = 0.02; // >= 0: the layer kept above the relief for the finish
    double stepOver = 0.1;      // > 0, at most the diameter: distance between rows (Y)
    double stepDown = 0;        // > 0: distance between levels (Z)
    double feedRate = 0;        // > 0: the roughing program's F word
};

// The Step Over a roughing tool gets unless one is typed: 40 % of its diameter, a common
// load for an end mill clearing a pocket.
inline constexpr double DefaultStepOverShare = 0.4;
inline double defaultStepOver(double diameter)
{
    return DefaultStepOverShare * diameter;
}

// The defaults for a finishing program: a 1/4 End Mill, Stock to Leave 0.02, Step Over 40 %
// of the diameter, Step Down the finishing Depth / Pass and its Feedrate.
RoughingParameters defaultRoughing(const ReliefParameters& finishing);

// Throws corvane::Error naming the field ("Step Over can not be larger than the Diameter")
// for a value outside its range, before any work. The finishing parameters give the depth
// that bounds the number of levels.
void checkRoughingParameters(const RoughingParameters& roughing, const ReliefParameters& finishing);

// The finishing raster that follows roughing: the bulk is gone, so one depth pass unless
// the user keeps their Depth / Pass.
ReliefParameters finishingAfterRoughing(ReliefParameters finishing, bool keepDepthPerPass);

} // namespace corvane::relief
