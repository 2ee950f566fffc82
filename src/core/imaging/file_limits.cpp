#include "imaging/file_limits.h"

#include "imaging/picture_io.h"

#include <cstdint>

namespace corvane::imaging {

std::string fileLimitProblem(int fileType, PictureShape shape)
{
    if (fileType == FileTypeBmp) {
        // A depth map goes into a BMP file as 256 levels of grey.
        const int bits = shape.bitCount == 16 ? 8 : shape.bitCount;
        // Rows padded to 4 bytes; the file's size and offsets are 32-bit.
        const std::uint64_t stride =
            (std::uint64_t(shape.width) * std::uint64_t(bits) + 31) / 32 * 4;
        const std::uint64_t paletteBytes = bits == 24 ? 0 : std::uint64_t(4) << bits;
        if (14 + 40 + paletteBytes + stride * std::uint64_t(shape.height) > 0xFFFFFFFFull)
            return "too large for a BMP file (4 GB at most)";
    }
    if (fileType == FileTypeJpeg && (shape.width > 65500 || shape.height > 65500))
        return "too large for a JPEG file (65500 pixels a side at most)";
    return {};
}

} // namespace corvane::imaging
