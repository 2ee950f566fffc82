// Reading the numbers typed into the surface dialog: leading blanks, an optional "+" or
// "-", digits, an optional "." with fraction digits, and an optional exponent ("E" or "e",
// optional sign, digits). "." is the only decimal point, whatever the locale. An empty text
// reads as 0. Anything else (a comma, a second point, letters, a bare sign) is not a number;
// blanks after the number are allowed.
#pragma once

#include <optional>
#include <string_view>

namespace corvane::relief {

// Nothing when the text is not a number or lies beyond the range of a double.
std::optional<double> readEditNumber(std::string_view text);

// Whole numbers only (the included angle): nothing for "60.5" or "abc".
std::optional<int> readEditInteger(std::string_view text);

} // namespace corvane::relief
