// JPEG through libjpeg-turbo, row by row straight into the picture: colour files give 24-bit
// pictures, grey ones 8-bit grey; CMYK files are turned into RGB. The resolution comes from
// the JFIF density or else the EXIF block.
#pragma once

#include "common/atomic_file.h"
#include "common/run_control.h"
#include "imaging/picture.h"
#include "imaging/read_job.h"

namespace corvane::imaging {

constexpr int defaultJpegQuality = 90;

// Throws corvane::Error naming job.name; a file that ends early or has corrupt data is
// refused (the library would fill the rest with grey).
Picture readJpeg(ReadJob& job);

// A grey palette picture is written as a grey JPEG, everything else as colour (4:2:0).
// quality 1..100.
void writeJpeg(const Picture& picture, AtomicFile& file, int quality,
               RunControl& control = silentRunControl());

} // namespace corvane::imaging
