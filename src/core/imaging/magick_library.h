// The one place that starts ImageMagick and turns its exceptions into ours. Every file that
// talks to MagickCore calls ensureMagickStarted() first; it is cheap after the first call.
#pragma once

#include <magick/api.h>
#include <memory>
#include <string>

namespace corvane::imaging::magick {

void ensureMagickStarted();

// Owning handles for the MagickCore objects we create.
struct ImageDeleter {
    void operator()(Image* image) const { DestroyImageList(image); }
};
struct ImageInfoDeleter {
    void operator()(ImageInfo* info) const { DestroyImageInfo(info); }
};
struct ExceptionDeleter {
    void operator()(ExceptionInfo* e) const { DestroyExceptionInfo(e); }
};
using ImagePtr = std::unique_ptr<Image, ImageDeleter>;
using ImageInfoPtr = std::unique_ptr<ImageInfo, ImageInfoDeleter>;
using ExceptionPtr = std::unique_ptr<ExceptionInfo, ExceptionDeleter>;

ImageInfoPtr newImageInfo();
ExceptionPtr newException();

// The library's reason and description as one readable sentence, without its source
// location; empty when the exception holds nothing.
std::string describe(const ExceptionInfo& exception);

bool isError(const ExceptionInfo& exception);
bool isCorruptionWarning(const ExceptionInfo& exception);

// Copies text into one of the library's fixed-size file name fields, refusing names that
// do not fit instead of cutting them short.
bool setFileName(char (&field)[MaxTextExtent], const std::string& name);

// 8-bit channel values into the library's 16-bit quantum (257 = 65535 / 255).
inline Quantum fromByte(unsigned char v)
{
    return Quantum(v * (QuantumRange / 255));
}

inline bool isGrey(ColorspaceType space)
{
    return space == GRAYColorspace || space == Rec601LumaColorspace ||
           space == Rec709LumaColorspace;
}

} // namespace corvane::imaging::magick
