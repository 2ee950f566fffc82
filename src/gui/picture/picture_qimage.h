// Between the core's Picture and Qt's QImage: for drawing and for the system clipboard.
#pragma once

#include "imaging/picture.h"

#include <QImage>

namespace corvane::gui {

// A QImage that reads the picture's own pixels, without copying: for drawing big pictures.
// Valid only while the picture is neither changed nor destroyed.
QImage viewOf(const corvane::imaging::Picture& picture);

// An independent copy: 8-bit indexed for palette pictures, RGB888 for 24-bit ones, with
// the resolution as dots per metre.
QImage toQImage(const corvane::imaging::Picture& picture);

// Indexed and grey images keep their palette (as an 8-bit picture, or 1/4-bit when the
// colour table is that small); everything else becomes 24-bit, transparent parts drawn
// over white. Resolution comes back in pixels per inch.
corvane::imaging::Picture fromQImage(const QImage& image);

} // namespace corvane::gui
