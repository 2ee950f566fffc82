// Reading and writing picture files. BMP, JPEG, PNG, TIFF and netpbm go through their own
// libraries (and our own code for BMP and netpbm) straight into the picture, row by row;
// PCX, GIF, WMF and the rarer kinds of BMP through the image library (Magick). Readers keep
// the bit depth a file has: a 4-bit BMP comes back as a 4-bit picture with its 16-entry
// palette, a 16-bit grey PNG, TIFF or PGM as a 16-bit depth map.
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"
#include "imaging/read_job.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::imaging {

// File type codes, as GetFileType gives them and SaveImage takes them.
enum FileType : int {
    FileTypeUnknown = 0,
    FileTypeBmp = 4,
    FileTypePcx = 8,
    FileTypeTiff = 9,
    FileTypeJpeg = 11,
    FileTypePng = 13,
    FileTypePnm = 14
};

// Reads the whole picture, reporting progress on the gauge and stopping with ReadStopped
// when control says Esc (or Cancel). Throws corvane::Error naming the file and the reason
// when it cannot be read, including a picture larger than the memory there is (named with
// the memory it needs). A palette picture always comes back with 2, 16 or 256 entries.
Picture readPicture(const std::string& path, RunControl& control = silentRunControl());

// The same from a whole file held in memory; name stands for the file in messages.
// memoryLimit caps the bytes the picture's pixels may take (the memory free by default).
Picture readPictureFromBytes(std::string_view bytes, const std::string& name,
                             RunControl& control = silentRunControl(),
                             std::uint64_t memoryLimit = availableMemory());

// A file through the image library alone, without our own readers: readPicture's road for
// the kinds it has no reader of its own for (PCX, GIF, metafiles, ...).
Picture readPictureThroughLibrary(const std::string& path,
                                  RunControl& control = silentRunControl());

struct WriteOptions {
    int jpegQuality = 90; // 1..100
};

// A 16-bit depth map keeps its 16 bits in PNG, TIFF and netpbm, and goes into the other
// kinds as 256 levels.
// Writes to a temporary file beside the target and moves it into place only when complete,
// so a failed write never destroys an existing file. Throws corvane::Error on failure, and
// corvane::Cancelled when Esc stopped it (progress by rows on the gauge).
void writePicture(const Picture& picture, const std::string& path, int fileType,
                  const WriteOptions& options = {}, RunControl& control = silentRunControl());

// The type code for a file name, from its extension (case-insensitive): BMP, PCX, TIFF,
// JPEG, PNG or netpbm (.pbm, .pgm, .ppm, .pnm); FileTypeUnknown for every other name.
int fileTypeFromName(const std::string& path);

// Whether a picture can be saved under this name in the kind its extension says. Save of a
// picture whose name says another kind (.gif, .wmf, none) has to ask for a new name.
bool canWriteFileKind(const std::string& path);

} // namespace corvane::imaging
