// Netpbm pictures (PBM, PGM, PPM; plain P1-P3 and raw P4-P6, 1 to 16 bits a sample), read
// and written directly. They are also how pictures travel to and from plug-in filters.
#pragma once

#include "common/atomic_file.h"
#include "common/run_control.h"
#include "imaging/picture.h"
#include "imaging/read_job.h"

#include <string>
#include <string_view>

namespace corvane::imaging {

// P1/P4 give a 1-bit picture (index 1 black, as the file's bit), P2/P5 an 8-bit grey one
// (a 16-bit depth map when the maximum value is above 255, samples scaled to 0..65535),
// P3/P6 a 24-bit one; colour samples above 8 bits are scaled to bytes, halves up. Throws
// corvane::Error naming job.name for anything else, too little data or a damaged header.
Picture readPnm(ReadJob& job);

// P4 for black and white, P5 for a grey palette, P6 for everything else (other palette
// pictures are expanded to their colours); maxval 255, header "P6\n<width> <height>\n255\n".
// A 16-bit depth map is P5 with maxval 65535, two bytes a sample, most significant first.
void writePnm(const Picture& picture, AtomicFile& file, RunControl& control = silentRunControl());

// The same as bytes in memory, for plug-ins; P5 or P6 only (no P4).
std::string encodePnm(const Picture& picture);

// P5 or P6 only; throws corvane::Error (reason only, no file) for anything else.
Picture decodePnm(std::string_view bytes);

} // namespace corvane::imaging
