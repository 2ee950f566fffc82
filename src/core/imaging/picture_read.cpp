// Which reader a file goes to: decided by its first bytes, not its name, so a JPEG saved
// as .bmp still reads. Our own readers take what they know; the image library the rest.
#include "common/error.h"
#include "imaging/jpeg_codec.h"
#include "imaging/library_reader.h"
#include "imaging/picture_io.h"
#include "imaging/plain_bmp_reader.h"
#include "imaging/png_codec.h"
#include "imaging/pnm_codec.h"
#include "imaging/tiff_codec.h"

#include <cstring>
#include <optional>

namespace corvane::imaging {

namespace {

enum class Kind { Bmp, Jpeg, Png, Tiff, Pnm, Other };

Kind kindOf(ByteInput& in)
{
    unsigned char h[8] = {};
    const std::size_t n = in.read(h, sizeof h);
    in.seek(0);
    auto starts = [&](const char* magic, std::size_t size) {
        return n >= size && std::memcmp(h, magic, size) == 0;
    };
    if (starts("BM", 2))
        return Kind::Bmp;
    if (starts("\xFF\xD8\xFF", 3))
        return Kind::Jpeg;
    if (starts("\x89PNG\r\n\x1A\n", 8))
        return Kind::Png;
    if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4))
        return Kind::Tiff;
    if (n >= 2 && h[0] == 'P' && h[1] >= '1' && h[1] <= '6')
        return Kind::Pnm;
    return Kind::Other;
}

// nullopt: a kind our own readers leave to the image library.
std::optional<Picture> readOwnKinds(ReadJob& job)
{
    switch (kindOf(job.in)) {
    case Kind::Bmp:
        return readPlainBmp(job);
    case Kind::Jpeg:
        return readJpeg(job);
    case Kind::Png:
        return readPng(job);
    case Kind::Tiff:
        return readTiff(job);
    case Kind::Pnm:
        return readPnm(job);
    default:
        return std::nullopt;
    }
}

} // namespace

Picture readPicture(const std::string& path, RunControl& control)
{
    checkIsReadableFile(path);
    std::optional<Picture> picture;
    {
        FileInput in(path);
        ReadJob job{in, path, control, availableMemory()};
        picture = readOwnKinds(job);
    }
    if (picture)
        return std::move(*picture);
    return readPictureThroughLibrary(path, control);
}

Picture readPictureFromBytes(std::string_view bytes, const std::string& name, RunControl& control,
                             std::uint64_t memoryLimit)
{
    if (bytes.empty())
        throw Error(name, "file is empty");
    MemoryInput in(bytes);
    ReadJob job{in, name, control, memoryLimit};
    if (std::optional<Picture> picture = readOwnKinds(job))
        return std::move(*picture);
    return readBytesThroughLibrary(bytes, name, control);
}

} // namespace corvane::imaging
