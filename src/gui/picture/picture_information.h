// The text of the picture window's Picture Information box: size, depth and resolution.
#pragma once

#include "imaging/picture.h"

#include <QString>

namespace corvane::gui {

// "Width: ... pixels", "Height: ... pixels", the depth in bits (a 16-bit depth map says so,
// with its levels) and the resolution when the file gave one.
QString pictureInformation(const corvane::imaging::Picture& picture);

} // namespace corvane::gui
