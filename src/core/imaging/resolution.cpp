#include "imaging/resolution.h"

#include <cfenv>
#include <cmath>

namespace corvane::imaging {

namespace {
// Above this a value is damage in the file rather than a resolution.
constexpr double maxPixelsPerInch = 100000.0;
} // namespace

int pixelsPerInch(double value, ResolutionUnit unit)
{
    if (unit == ResolutionUnit::None || !std::isfinite(value) || value <= 0)
        return 0;
    const double perInch = unit == ResolutionUnit::PerCentimetre ? value * 2.54 : value;
    if (perInch > maxPixelsPerInch)
        return 0;
    // nearbyint rounds in the current mode; make sure that is to nearest, ties to even.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(perInch);
    std::fesetround(previous);
    return int(rounded);
}

} // namespace corvane::imaging
