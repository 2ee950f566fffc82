// A direct reader for the BMP files most scanners and paint programs write: uncompressed,
// 1, 4, 8 or 24 bits a pixel. It reads row by row into the picture, so a big scan costs its
// pixels and nothing more (the image library's BMP decoder holds the whole file and its own
// copy of the pixels besides). Every other kind of BMP is left to the library.
#pragma once

#include "imaging/picture.h"
#include "imaging/picture_io.h"

#include <optional>
#include <string>

namespace corvane::imaging {

// nullopt when the file is not a BMP of the kinds above; throws corvane::Error naming the
// file when it is one but is damaged or truncated.
std::optional<Picture> readPlainBmp(const std::string& path, const ProgressReport& progress);

} // namespace corvane::imaging
