// Binary PNM (netpbm) in memory, the way pictures travel to and from plug-in filters.
#pragma once

#include "imaging/picture.h"

#include <string>
#include <string_view>

namespace corvane::imaging {

// P5 (grey) for a palette picture whose palette is all grey, P6 (RGB) for everything else
// (other palette pictures are expanded to their colours). maxval 255, one blank-separated
// header: "P6\n<width> <height>\n255\n".
std::string encodePnm(const Picture& picture);

// P5 or P6 with maxval 1..65535 (two bytes a sample, most significant first, above 255),
// comments allowed in the header. P5 gives an 8-bit picture with a grey palette, P6 a 24-bit
// one. Throws corvane::Error (reason only, no file) for anything else or too little data.
Picture decodePnm(std::string_view bytes);

} // namespace corvane::imaging
