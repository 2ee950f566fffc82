// Plain operations on pictures that the model and the image commands share: cutting out a
// rectangle, filling one, pasting one picture into another, checking a picture is sound.
#pragma once

#include "imaging/picture.h"
#include "imaging/selection.h"

namespace corvane::imaging {

// True when sizes, depth, palette and pixel buffer agree and every index has a colour.
bool isConsistent(const Picture& picture);

// The pixels inside area (clamped to the picture), with the same depth and palette.
Picture cropped(const Picture& picture, PixelRect area);

// area (clamped) painted with colour: the colour itself in a 24-bit picture, the nearest
// palette entry in a palette picture, its red as a sample in a 16-bit depth map.
void fill(Picture& picture, PixelRect area, Rgb colour);

// source drawn with its top-left corner at the top-left of area, cut off at the area's
// edges. A palette target keeps its depth and palette: pixels take the nearest entry
// (or the same index when both pictures share the palette); a 16-bit target takes 16-bit
// samples as they are and the red of anything else.
void pasteInto(Picture& target, const Picture& source, PixelRect area);

// The palette entry closest to colour (squared RGB distance).
std::uint8_t nearestIndex(const Picture& picture, Rgb colour);

} // namespace corvane::imaging
