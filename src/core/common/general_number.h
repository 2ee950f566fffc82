// The general conversion of a double to text, as headers and edits show numbers that are
// not fixed-point: the shortest form of the value rounded to 15 significant digits, no
// trailing zeros, no point for whole numbers (10, 0.25, -1.5). Below 0.00001 or with more
// than 15 digits before the point it switches to a mantissa, "E" and the exponent
// (1E-6, -2.5E20). "." whatever the locale. Negative zero is "0"; NaN and infinities are
// "NAN", "INF" and "-INF".
#pragma once

#include <string>

namespace corvane {

std::string formatGeneral(double v);

} // namespace corvane
