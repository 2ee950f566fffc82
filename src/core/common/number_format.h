// Fixed-point formatting of doubles for the files and edits we write: "." as the decimal
// point whatever the locale, "-" before negative values (negative zero included, as printf
// does), no exponent and no padding. The result is exactly what glibc's printf("%.Nf")
// gives: the binary value is rounded as an exact number, exact halves to the even digit.
// It is many times faster than snprintf, which matters for meshes of millions of numbers.
#pragma once

#include <string>

namespace corvane {

// Longest text formatFixed can produce (a sign, 309 digits, "." and 9 decimals), with room.
inline constexpr int MaxFixedLength = 330;

// Writes v with `decimals` (0..9) digits after the point to out, which must hold
// MaxFixedLength chars; returns the end of the text (no terminating zero).
char* formatFixed(char* out, double v, int decimals);

// Appends v with `decimals` (0..9) digits after the point.
void appendFixed(std::string& out, double v, int decimals);

// v with `decimals` digits after the point, as the text of an edit ("0.03", "0.010").
std::string fixedText(double v, int decimals);

} // namespace corvane
