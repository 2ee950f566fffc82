// Reading and writing picture files (through Magick++). Readers keep the bit depth a file
// has: a 4-bit BMP comes back as a 4-bit picture with its 16-entry palette.
#pragma once

#include "imaging/picture.h"

#include <functional>
#include <string>

namespace corvane::imaging {

// Called during long reads with the work done so far out of total (any unit).
using ProgressReport = std::function<void(long done, long total)>;

// File type codes, as GetFileType gives them and SaveImage takes them.
enum FileType : int {
    FileTypeUnknown = 0,
    FileTypeBmp = 4,
    FileTypePcx = 8,
    FileTypeTiff = 9,
    FileTypeJpeg = 11
};

// Throws corvane::Error naming the file and the reason when it cannot be read.
// A palette picture always comes back with 2, 16 or 256 palette entries.
Picture readPicture(const std::string& path, const ProgressReport& progress = {});

// readPicture without the direct BMP reader: every file through the image library. For
// comparing the two; the program itself calls readPicture.
Picture readPictureThroughLibrary(const std::string& path, const ProgressReport& progress = {});

// Writes to a temporary file beside the target and moves it into place only when complete,
// so a failed write never destroys an existing file. Throws corvane::Error on failure.
void writePicture(const Picture& picture, const std::string& path, int fileType);

// The type code for a file name, from its extension (case-insensitive); FileTypeUnknown
// for names that are none of BMP, PCX, TIFF or JPEG.
int fileTypeFromName(const std::string& path);

} // namespace corvane::imaging
