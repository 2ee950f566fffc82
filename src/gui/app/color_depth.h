// The colour-depth check at start-up: the program shows pictures in full colour and warns
// on screens that cannot.
#pragma once

#include <QString>

namespace corvane::gui {

// 2 raised to (min(24, bitsPerPixel) x planes).
long long ScreenColorCount(int bitsPerPixel, int planes = 1);

// The warning for a screen with this many colours; empty when the screen has enough.
QString colorDepthWarning(long long colorCount);

} // namespace corvane::gui
