// The program's one rounding rule from a real to an integer: to the nearest integer, exact
// halves to the even neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2). Grid rows and
// columns, tool mask sizes and entries, resolutions and progress percentages all round so.
#pragma once

#include <cmath>

namespace corvane {

// v must be finite and within the range of long long.
inline long long roundHalfEven(double v)
{
    // nearbyint follows the current rounding mode, which is round-to-nearest-even unless
    // someone changed it; spell the rule out instead of trusting the environment.
    const double lower = std::floor(v);
    const double diff = v - lower;
    long long result = static_cast<long long>(lower);
    if (diff > 0.5 || (diff == 0.5 && (result & 1)))
        ++result;
    return result;
}

} // namespace corvane
