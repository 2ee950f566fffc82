// One-pixel solid lines written straight into a 32-bit image: the wire-frame of a big mesh is
// millions of lines, most shorter than a pixel, and the general painter spends most of its
// time on set-up per line that such lines do not need. Lines are clipped to the image first,
// so a line far off the picture (a mesh zoomed in) costs nothing per pixel it does not set.
#pragma once

#include <QImage>
#include <QLineF>
#include <cstddef>

namespace corvane::gui {

// image: Format_RGB32 or Format_ARGB32_Premultiplied; color opaque. Endpoints in pixels: (x, y)
// lies in the pixel (floor x, floor y).
void drawThinLines(QImage& image, QRgb color, const QLineF* lines, std::size_t count);

} // namespace corvane::gui
