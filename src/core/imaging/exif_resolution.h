// The resolution a camera or scanner writes into a JPEG's EXIF block (APP1), for files
// without a JFIF density.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane::imaging {

struct ExifResolution {
    int xRes = 0, yRes = 0; // pixels per inch; 0 when the block gives none
};

// data: the APP1 payload ("Exif\0\0" and the TIFF structure after it). Anything malformed
// gives no resolution rather than an error: the pixels do not depend on it.
ExifResolution exifResolution(const std::uint8_t* data, std::size_t size);

} // namespace corvane::imaging
