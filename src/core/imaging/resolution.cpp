#include "imaging/resolution.h"

#include "common/round_half_even.h"

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
    return int(roundHalfEven(perInch));
}

} // namespace corvane::imaging
