// PNG through libpng, row by row straight into the picture: palette files keep their depth
// (1, 4 or 8 bits; 2 bits widen to 4) and palette, grey ones become grey palettes of their
// depth, colour ones 24-bit; 16-bit grey without transparency becomes a 16-bit depth map,
// other 16-bit samples are scaled to 8 bits, and transparent parts are laid over white, the
// top of the stock. The resolution comes from pHYs.
#pragma once

#include "common/atomic_file.h"
#include "common/run_control.h"
#include "imaging/picture.h"
#include "imaging/read_job.h"

namespace corvane::imaging {

// Throws corvane::Error naming job.name; a CRC error or a file that ends early is refused.
Picture readPng(ReadJob& job);

// A palette picture as a palette PNG of its depth, an 8-bit picture whose palette is the
// grey ramp as a grey PNG, a 16-bit depth map as a 16-bit grey PNG, everything else as RGB;
// default compression.
void writePng(const Picture& picture, AtomicFile& file, RunControl& control = silentRunControl());

} // namespace corvane::imaging
