// What a palette picture's colours allow a writer to do: formats without palettes store grey
// pictures as grey samples, and black-and-white ones as bits.
#pragma once

#include "imaging/picture.h"

namespace corvane::imaging {

// Every entry a grey (r = g = b).
bool hasGreyPalette(const Picture& picture);
// 8 bits whose palette is entry i = grey i: a grey file's samples are its indexes.
bool isGreyRamp(const Picture& picture);
// 1 bit whose two entries are pure black and pure white, in either order.
bool isBlackAndWhite(const Picture& picture);

} // namespace corvane::imaging
