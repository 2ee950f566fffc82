// Writing BMP files directly: the Windows 3 layout (BITMAPINFOHEADER), uncompressed, 1, 4, 8
// or 24 bits a pixel as the picture has them, rows bottom-up padded to four bytes, the
// resolution in pixels per metre. Row by row, so a big scan needs no second copy.
#pragma once

#include "common/atomic_file.h"
#include "common/run_control.h"
#include "imaging/picture.h"

namespace corvane::imaging {

// Throws corvane::Error (naming the file) when the system refuses the bytes.
void writePlainBmp(const Picture& picture, AtomicFile& file,
                   RunControl& control = silentRunControl());

} // namespace corvane::imaging
