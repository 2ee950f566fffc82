// A direct reader for the BMP files most scanners and paint programs write: uncompressed,
// 1, 4, 8 or 24 bits a pixel. It reads row by row into the picture, so a big scan costs its
// pixels and nothing more (the image library's BMP decoder holds the whole file and its own
// copy of the pixels besides). Every other kind of BMP is left to the library.
#pragma once

#include "imaging/picture.h"
#include "imaging/read_job.h"

#include <optional>

namespace corvane::imaging {

// nullopt when the bytes are not a BMP of the kinds above; throws corvane::Error naming the
// file when they are one but are damaged or truncated, and for any BMP whose pixels would
// start inside its own headers or palette.
std::optional<Picture> readPlainBmp(ReadJob& job);

} // namespace corvane::imaging
