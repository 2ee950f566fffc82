// The rules for the numbers of the surface dialog, one function a rule, each throwing
// corvane::Error with a message that starts with the field's label ("Feedrate must be a
// number greater than 0"). The dialog, the command line and the engine's own entry points
// all call these, so a value is judged the same way wherever it is typed.
#pragma once

#include "relief/relief_parameters.h"

namespace corvane::relief {

// No length, depth or speed may exceed this, in the user's unit. Far beyond any machine,
// it keeps every coordinate a short, finite number that "%.4f" prints as the CAD programs
// and controllers that read our files expect (1e308 would print 309 digits, and a Depth
// of 1e306 makes heights overflow to infinity).
inline constexpr double MaxParameterValue = 100000;

// More passes than this are refused: the Depth / Pass was mistyped.
inline constexpr int MaxRasterPasses = 100000;

// The V bit's included angle, whole degrees.
inline constexpr int MinIncludedAngle = 5;
inline constexpr int MaxIncludedAngle = 179;

// Size X, Size Y, Step X, Step Y: greater than 0, at most MaxParameterValue.
void checkSize(double value, const char* field);
void checkStep(double value, const char* field);
// 0 (a flat relief) up to MaxParameterValue.
void checkDepth(double depth);
// Greater than 0, at most MaxParameterValue, and no more than MaxRasterPasses passes.
void checkDepthPerPass(double depth, double depthPerPass);
// The F word: greater than 0 (0 or less never moves the tool, or moves it backwards in
// time), at most MaxParameterValue.
void checkFeedrate(double feedRate);
// The z of rapid moves: at or above the stock top (below it the rapids would cut), at most
// MaxParameterValue.
void checkRapidHeight(double rapidHeight);
// 0 up to MaxParameterValue; 0 is left to the callers, who show "Tool Diameter can not be 0!".
void checkToolDiameter(double diameter);
void checkIncludedAngle(double degrees);

// Every field the DXF surface uses; the tool's only with gouge control on.
void checkSurfaceParameters(const ReliefParameters& params);
// The DXF surface's fields and Depth / Pass, Feedrate and Rapid Height.
void checkRasterParameters(const ReliefParameters& params);

} // namespace corvane::relief
