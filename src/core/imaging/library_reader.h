// Reading through the image library (Magick) the kinds our own readers leave to it: PCX,
// GIF, WMF, compressed or bit-field BMPs and the like.
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"

#include <string>
#include <string_view>

namespace corvane::imaging {

// bytes: a whole file in memory; name stands for it in messages. Throws corvane::Error, or
// ReadStopped when control says Esc during the read.
Picture readBytesThroughLibrary(std::string_view bytes, const std::string& name,
                                RunControl& control);

} // namespace corvane::imaging
