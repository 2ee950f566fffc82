// Numbers typed into the picture dialogs: the leading numeric part of the text, "." as the
// decimal point whatever the locale, 0 when the text starts with no number ("12abc" is 12,
// ".5" is 0.5, "abc" is 0).
#pragma once

#include <string_view>

namespace corvane {

// whole: stop at the decimal point ("45.7" reads 45).
double leadingNumber(std::string_view text, bool whole);

} // namespace corvane
