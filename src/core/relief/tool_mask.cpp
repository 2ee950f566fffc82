#include "relief/tool_mask.h"

#include "common/error.h"
#include "common/round_half_even.h"
#include "relief/parameter_checks.h"

#include <cmath>
#include <numbers>

namespace corvane::relief {

const std::array<std::string, 3>& toolShapeNames()
{
    static const std::array<std::string, 3> names{"End Mill", "Ball Mill", "V Bit"};
    return names;
}

ToolShape toolShapeFromText(const std::string& text)
{
    const auto& names = toolShapeNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (text == names[i])
            return ToolShape(int(i) + 1);
    return ToolShape::EndMill;
}

namespace {

// nc or nr: cells across the tool less one, made even so the axis has a centre entry.
int evenSpan(double diameter, double cell)
{
    const double span = diameter / cell - 1;
    if (!(span < MaxToolMaskSide))
        throw Error("the tool is more than " + std::to_string(MaxToolMaskSide) +
                    " cells across; use a smaller diameter or a coarser step");
    long long n = roundHalfEven(span);
    if (n < 0)
        n = 0; // cannot happen for diameter > 0, but a negative size must never reach resize
    if (n % 2 != 0)
        ++n;
    return int(n);
}

// Rounds a height in grey steps and limits it to 0..white (huge values never reach the cast).
std::uint16_t quantize(double steps, int white)
{
    if (!(steps < white + 1))
        return std::uint16_t(white);
    if (steps < 0)
        return 0;
    const long long rounded = roundHalfEven(steps);
    return std::uint16_t(rounded > white ? white : rounded);
}

} // namespace

TToolMask BuildToolMask(ToolShape shape, double diameter, double cellWidth, double cellHeight,
                        double negatedDepth, double includedAngle, int white)
{
    if (white != White8 && white != White16)
        throw Error("the height grid's white must be 255 or 65535");
    checkToolDiameter(diameter);
    if (diameter == 0)
        throw Error(ZeroDiameterMessage);
    if (!(cellWidth > 0) || !(cellHeight > 0) || !std::isfinite(cellWidth) ||
        !std::isfinite(cellHeight))
        throw Error("the grid cell size must be positive");
    const double depth = -negatedDepth;
    checkDepth(depth);
    if (depth == 0) // the height scale (white + 1) / D would be infinite
        throw Error("Depth must be a number greater than 0 for gouge control");
    if (shape == ToolShape::VBit)
        checkIncludedAngle(includedAngle);

    const double radius = diameter / 2;
    const double r2 = radius * radius;
    const double k = (white + 1.0) / depth; // grey steps per unit length
    const int nc = evenSpan(diameter, cellWidth);
    const int nr = evenSpan(diameter, cellHeight);
    const double coneSlope = std::tan((90 - includedAngle / 2) * std::numbers::pi / 180);

    TToolMask mask;
    mask.rows = nr + 1;
    mask.cols = nc + 1;
    mask.white = white;
    mask.entries.assign(std::size_t(mask.rows) * std::size_t(mask.cols), TZGrid::Cell(white));
    for (int a = 0; a <= nr; ++a) {
        for (int b = 0; b <= nc; ++b) {
            const double dx = (b - nc / 2) * cellWidth;
            const double dy = (a - nr / 2) * cellHeight;
            const double d2 = dx * dx + dy * dy;
            if (d2 >= r2)
                continue;            // outside the footprint: the boundary counts as outside
            TZGrid::Cell height = 0; // the tip itself, and every entry of an End Mill
            if (d2 > 0 && shape == ToolShape::VBit)
                height = quantize(k * std::sqrt(d2) * coneSlope, white);
            else if (d2 > 0 && shape == ToolShape::BallMill)
                // The sphere's surface above its lowest point at distance sqrt(d2).
                height = quantize(k * (radius - std::sqrt(r2 - d2)), white);
            mask.entries[std::size_t(a) * mask.cols + b] = height;
        }
    }
    return mask;
}

} // namespace corvane::relief
