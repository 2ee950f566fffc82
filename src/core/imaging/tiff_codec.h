// TIFF through libtiff. Files of the usual kinds (grey or palette of 1 to 8 bits, 16-bit
// grey (kept as a 16-bit depth map), RGB of 8 or 16 bits; strips or tiles, any compression the library has) are read
// scanline by scanline (or a band of tiles at a time) straight into the picture, keeping
// their depth and palette; every other kind (alpha, YCbCr, CMYK, planes, ...) through the
// library's RGBA interface a band of rows at a time, as 24-bit colour laid over white. The
// first page of a multi-page file is read.
#pragma once

#include "common/atomic_file.h"
#include "common/run_control.h"
#include "imaging/picture.h"
#include "imaging/read_job.h"

namespace corvane::imaging {

// Throws corvane::Error naming job.name; a file that ends early is refused.
Picture readTiff(ReadJob& job);

// Uncompressed, which every reader takes: palette pictures as palette TIFFs of their depth,
// an 8-bit grey ramp as a grey TIFF, a 16-bit depth map as a 16-bit grey TIFF, everything
// else as 8-bit RGB; resolution per inch.
void writeTiff(const Picture& picture, AtomicFile& file, RunControl& control = silentRunControl());

} // namespace corvane::imaging
