// Writing picture files, into a temporary file that replaces the target only once complete:
// BMP and netpbm by our own code, JPEG, PNG and TIFF through their libraries, PCX through the
// image library (Magick).
#include "common/atomic_file.h"
#include "common/error.h"
#include "imaging/depth_levels.h"
#include "imaging/jpeg_codec.h"
#include "imaging/magick_library.h"
#include "imaging/picture_io.h"
#include "imaging/plain_bmp_writer.h"
#include "imaging/png_codec.h"
#include "imaging/pnm_codec.h"
#include "imaging/rows_written.h"
#include "imaging/tiff_codec.h"

#include <filesystem>
#include <string>

namespace corvane::imaging {

namespace {

void checkConsistent(const Picture& picture, const std::string& path)
{
    if (picture.empty())
        throw Error(path, "there is no picture to save");
    const bool depthKnown = picture.bitCount == 1 || picture.bitCount == 4 ||
                            picture.bitCount == 8 || picture.bitCount == 16 ||
                            picture.bitCount == 24;
    if (!depthKnown || picture.pixels.size() != picture.rowStride() * std::size_t(picture.height) ||
        (picture.indexed() && (picture.palette.empty() || picture.palette.size() > 256)))
        throw Error(path, "the picture in memory is inconsistent; nothing was written");
}

Quantum toQuantum(std::uint8_t v)
{
    return magick::fromByte(v);
}

void setColour(PixelPacket& p, Rgb c)
{
    SetPixelRed(&p, toQuantum(c.r));
    SetPixelGreen(&p, toQuantum(c.g));
    SetPixelBlue(&p, toQuantum(c.b));
    SetPixelOpacity(&p, OpaqueOpacity);
}

void fillPixels(Image& image, const Picture& picture, const std::string& path, RowsWritten& rows)
{
    auto exception = magick::newException();
    if (picture.indexed() && (image.storage_class != PseudoClass || !image.colormap ||
                              image.colors != picture.palette.size()))
        throw Error(path, "not enough memory for the palette");
    for (std::size_t i = 0; picture.indexed() && i < picture.palette.size(); ++i)
        setColour(image.colormap[i], picture.palette[i]);
    const std::size_t lastIndex = picture.palette.empty() ? 0 : picture.palette.size() - 1;
    for (int y = 0; y < picture.height; ++y) {
        PixelPacket* q = QueueAuthenticPixels(&image, 0, y, image.columns, 1, exception.get());
        if (!q)
            throw Error(path, "cannot prepare the picture: " + magick::describe(*exception));
        const std::uint8_t* in = picture.row(y);
        if (picture.indexed()) {
            IndexPacket* indexes = GetAuthenticIndexQueue(&image);
            for (int x = 0; x < picture.width; ++x) {
                const std::size_t i = std::min<std::size_t>(in[x], lastIndex);
                indexes[x] = IndexPacket(i);
                q[x] = image.colormap[i];
            }
        } else {
            for (int x = 0; x < picture.width; ++x, in += 3)
                setColour(q[x], {in[0], in[1], in[2]});
        }
        if (!SyncAuthenticPixels(&image, exception.get()))
            throw Error(path, "cannot prepare the picture: " + magick::describe(*exception));
        rows.advance(y + 1);
    }
}

magick::ImagePtr toMagickImage(const Picture& picture, const ImageInfo& info,
                               const std::string& path, RowsWritten& rows)
{
    magick::ImagePtr image(AcquireImage(&info));
    if (!image)
        throw Error(path, "not enough memory to prepare the picture for writing");
    // The colour map goes on before the size: switching a full-size pixel cache to palette
    // would briefly need two caches, more than the library's resource limits allow for a
    // big scan.
    if (picture.indexed()) {
        AcquireImageColormap(image.get(), picture.palette.size());
        ClearMagickException(&image->exception); // the empty cache's complaint is no error
    }
    if (!SetImageExtent(image.get(), std::size_t(picture.width), std::size_t(picture.height)))
        throw Error(path, "picture too large to write: " + magick::describe(image->exception));
    image->depth = 8;
    fillPixels(*image, picture, path, rows);
    if (picture.xRes > 0 || picture.yRes > 0) {
        image->units = PixelsPerInchResolution;
        image->x_resolution = picture.xRes;
        image->y_resolution = picture.yRes;
    }
    return image;
}

// The library encodes the file in one call: the progress covers handing it the rows.
void writeThroughLibrary(const Picture& picture, AtomicFile& file, const std::string& coder,
                         RunControl& control)
{
    const std::string& path = file.targetPath();
    auto info = magick::newImageInfo();
    // Keep the depth we hold: the library would otherwise turn a grey 24-bit picture into a
    // grey one, or a palette picture into true colour where it thinks that smaller.
    info->type = picture.indexed() ? PaletteType : TrueColorType;
    RowsWritten rows(control, path, picture.height);
    magick::ImagePtr image = toMagickImage(picture, *info, path, rows);
    file.closeForExternalWriter();
    const std::string target = coder + ":" + file.workingPath();
    if (!magick::setFileName(info->filename, target) ||
        !magick::setFileName(image->filename, target))
        throw Error(path, "file name is too long");
    const MagickBooleanType written = WriteImage(info.get(), image.get());
    if (!written || magick::isError(image->exception)) {
        const std::string reason = magick::describe(image->exception);
        throw Error(path, reason.empty() ? "cannot write the picture" : reason);
    }
}

} // namespace

void writePicture(const Picture& picture, const std::string& path, int fileType,
                  const WriteOptions& options, RunControl& control)
{
    if (!(fileType == FileTypeBmp || fileType == FileTypePcx || fileType == FileTypeTiff ||
          fileType == FileTypeJpeg || fileType == FileTypePng || fileType == FileTypePnm))
        throw Error(path, "cannot save a picture in this kind of file (save it as BMP, JPEG, "
                          "PCX, PNG, PNM or TIFF)");
    checkConsistent(picture, path);
    // BMP, JPEG and PCX hold at most 8 bits of grey: a depth map goes there as 256 levels.
    const bool keepsSixteenBits =
        fileType == FileTypePng || fileType == FileTypeTiff || fileType == FileTypePnm;
    if (picture.deep() && !keepsSixteenBits) {
        writePicture(reducedTo256Levels(picture), path, fileType, options, control);
        return;
    }
    AtomicFile file(path);
    switch (fileType) {
    case FileTypeBmp:
        writePlainBmp(picture, file, control);
        break;
    case FileTypeJpeg:
        writeJpeg(picture, file, options.jpegQuality, control);
        break;
    case FileTypePng:
        writePng(picture, file, control);
        break;
    case FileTypeTiff:
        writeTiff(picture, file, control);
        break;
    case FileTypePnm:
        writePnm(picture, file, control);
        break;
    default:
        writeThroughLibrary(picture, file, "PCX", control);
    }
    file.commit();
}

} // namespace corvane::imaging
