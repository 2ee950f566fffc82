// Reading picture files through MagickCore. The library decodes; we keep what the program
// needs: the bit depth the file has, its palette padded to 2, 16 or 256 entries, and the
// resolution in pixels per inch.
#include "imaging/library_reader.h"

#include "common/error.h"
#include "imaging/header_bit_count.h"
#include "imaging/magick_library.h"
#include "imaging/picture_io.h"
#include "imaging/read_job.h"
#include "imaging/resolution.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <set>
#include <system_error>

namespace corvane::imaging {

namespace {

namespace fs = std::filesystem;

// The coders we let loose on a file. Anything else (scripts such as MSL or MVG, text,
// vector formats) is refused before the library decides to interpret it.
bool isReadableFormat(const std::string& magick)
{
    static const std::set<std::string> formats = {
        "BMP",    "BMP2",  "BMP3",  "DIB",   "JPEG",  "JPG", "PJPEG", "TIFF", "TIF",
        "TIFF64", "PCX",   "DCX",   "GIF",   "GIF87", "WMF", "WMZ",   "PNG",  "PNG8",
        "PNG24",  "PNG32", "PNG48", "PNG64", "PNG00", "PNM", "PBM",   "PGM",  "PPM"};
    return formats.count(magick) != 0;
}

// Decoding counts for 90 % of the progress, copying into our picture for the rest.
constexpr int percentAfterDecoding = 90;

// The library's progress monitor, turned into the run control's gauge and stop test.
struct ProgressRelay {
    RunControl& control;
    int lastPercent = -1;
    bool stopped = false;
    std::exception_ptr failure; // thrown by the run control; carried across the C library

    // false when the read is to stop
    bool report(int percent)
    {
        if (percent <= lastPercent)
            return true;
        lastPercent = percent;
        control.showProgress(ProgressDisplay::Gauge, percent);
        control.checkpoint();
        stopped = control.escapePressed() || control.takeStopRequest();
        return !stopped;
    }
};

MagickBooleanType relayProgress(const char*, const MagickOffsetType offset,
                                const MagickSizeType extent, void* clientData)
{
    auto& relay = *static_cast<ProgressRelay*>(clientData);
    if (relay.failure || relay.stopped)
        return MagickFalse;
    try {
        if (extent == 0)
            return MagickTrue;
        const double fraction = std::clamp(double(offset) / double(extent), 0.0, 1.0);
        return relay.report(int(fraction * percentAfterDecoding)) ? MagickTrue : MagickFalse;
    } catch (...) {
        relay.failure = std::current_exception();
        return MagickFalse; // stops the decoder; the exception is rethrown by the reader
    }
}

// What the library reads: a file, or bytes in memory.
struct Source {
    std::string name;     // in messages
    std::string absolute; // the file the library opens; empty for bytes
    std::string_view bytes;
    bool inMemory() const { return absolute.empty(); }
};

std::string detectFormat(const Source& source)
{
    auto info = magick::newImageInfo();
    auto exception = magick::newException();
    if (source.inMemory())
        SetImageInfoBlob(info.get(), source.bytes.data(), source.bytes.size());
    else if (!magick::setFileName(info->filename, source.absolute))
        throw Error(source.name, "file name is too long");
    SetImageInfo(info.get(), 0, exception.get());
    if (magick::isError(*exception))
        throw Error(source.name, magick::describe(*exception));
    return info->magick;
}

std::uint8_t toByte(Quantum q)
{
    return ScaleQuantumToChar(q);
}

// Transparent parts become white, the top of the stock, rather than whatever colour the
// file left under them (often black, which would cut to full depth).
Rgb overWhite(const PixelPacket& p, bool hasAlpha)
{
    Rgb c{toByte(GetPixelRed(&p)), toByte(GetPixelGreen(&p)), toByte(GetPixelBlue(&p))};
    if (!hasAlpha)
        return c;
    const double alpha = 1.0 - double(GetPixelOpacity(&p)) / double(QuantumRange);
    auto blend = [alpha](std::uint8_t v) {
        return std::uint8_t(std::lround(v * alpha + 255.0 * (1.0 - alpha)));
    };
    return {blend(c.r), blend(c.g), blend(c.b)};
}

int paletteBitCountFor(std::size_t colours)
{
    return colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
}

std::size_t paletteSizeFor(int bitCount)
{
    return std::size_t(1) << bitCount;
}

void allocatePixels(Picture& picture, const std::string& path)
{
    const auto bytes = std::uint64_t(picture.rowStride()) * std::uint64_t(picture.height);
    try {
        picture.pixels.resize(std::size_t(bytes));
    } catch (const std::bad_alloc&) {
        throw Error(
            path, notEnoughMemory("read", picture.width, picture.height, bytes, availableMemory()));
    }
}

class PixelCopier {
public:
    PixelCopier(Image& image, const std::string& path, ProgressRelay& progress)
        : image_(image), path_(path), progress_(progress), exception_(magick::newException())
    {
    }

    Picture copy(int declaredBitCount)
    {
        Picture picture;
        picture.width = int(image_.columns);
        picture.height = int(image_.rows);
        const bool palette = image_.storage_class == PseudoClass && image_.colormap &&
                             image_.colors > 0 && image_.colors <= 256;
        if (palette)
            copyPalette(picture, declaredBitCount);
        else if (magick::isGrey(image_.colorspace))
            greyPalette(picture);
        else
            picture.bitCount = 24;
        allocatePixels(picture, path_);
        for (int y = 0; y < picture.height; ++y) {
            const PixelPacket* row =
                GetVirtualPixels(&image_, 0, y, image_.columns, 1, exception_.get());
            if (!row)
                throw Error(path_, "cannot read pixel row " + std::to_string(y) + ": " +
                                       magick::describe(*exception_));
            if (palette)
                copyIndexRow(picture, y);
            else if (picture.indexed())
                copyGreyRow(picture, y, row);
            else
                copyColourRow(picture, y, row);
            const int percent =
                percentAfterDecoding +
                int(std::int64_t(y + 1) * (100 - percentAfterDecoding) / picture.height);
            if (!progress_.report(percent))
                throw ReadStopped(path_);
        }
        return picture;
    }

private:
    void copyPalette(Picture& picture, int declaredBitCount)
    {
        picture.bitCount =
            std::max(declaredBitCount, paletteBitCountFor(std::size_t(image_.colors)));
        picture.palette.assign(paletteSizeFor(picture.bitCount), Rgb{});
        for (std::size_t i = 0; i < image_.colors; ++i)
            picture.palette[i] = overWhite(image_.colormap[i], image_.matte != MagickFalse);
    }

    void greyPalette(Picture& picture)
    {
        picture.bitCount = 8;
        picture.palette.resize(256);
        for (int i = 0; i < 256; ++i)
            picture.palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    }

    void copyIndexRow(Picture& picture, int y)
    {
        const IndexPacket* indexes = GetVirtualIndexQueue(&image_);
        if (!indexes)
            throw Error(path_, "palette indexes missing in row " + std::to_string(y));
        std::uint8_t* out = picture.row(y);
        // The decoder keeps indexes inside the colour map; the palette is at least that long.
        const std::size_t last = image_.colors - 1;
        for (int x = 0; x < picture.width; ++x)
            out[x] = std::uint8_t(std::min<std::size_t>(std::size_t(indexes[x]), last));
    }

    void copyGreyRow(Picture& picture, int y, const PixelPacket* row)
    {
        const bool alpha = image_.matte != MagickFalse;
        std::uint8_t* out = picture.row(y);
        for (int x = 0; x < picture.width; ++x)
            out[x] = overWhite(row[x], alpha).r;
    }

    void copyColourRow(Picture& picture, int y, const PixelPacket* row)
    {
        const bool alpha = image_.matte != MagickFalse;
        std::uint8_t* out = picture.row(y);
        for (int x = 0; x < picture.width; ++x, out += 3) {
            const Rgb c = overWhite(row[x], alpha);
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
        }
    }

    Image& image_;
    const std::string& path_;
    ProgressRelay& progress_;
    magick::ExceptionPtr exception_;
};

ResolutionUnit unitOf(const Image& image)
{
    switch (image.units) {
    case PixelsPerInchResolution:
        return ResolutionUnit::PerInch;
    case PixelsPerCentimeterResolution:
        return ResolutionUnit::PerCentimetre;
    default:
        return ResolutionUnit::None;
    }
}

std::string readFailure(const ExceptionInfo& exception, const std::string& path,
                        const std::string& format)
{
    std::string reason = magick::describe(exception);
    // Some coders repeat the file name in front of their message.
    if (reason.rfind(path + ": ", 0) == 0)
        reason.erase(0, path.size() + 2);
    if (reason.find("exceeds limit") != std::string::npos)
        return "picture is larger than the image library's resource limits allow (" + reason + ")";
    if (reason.empty())
        return "cannot read the picture (damaged or unsupported " + format + " file)";
    if (exception.severity == ResourceLimitError)
        return "picture is larger than the image library's resource limits allow (" + reason + ")";
    return reason;
}

// The library keeps a picture in a cache of 8 bytes a pixel (10 with a palette) and refuses
// one larger than its resource policy allows (/etc/ImageMagick-6/policy.xml). Some decoders
// then fail without a word, so the size is looked up to say what went wrong.
std::string beyondLimits(const std::string& absolute, const std::string& format)
{
    if (absolute.empty())
        return {};
    auto info = magick::newImageInfo();
    auto exception = magick::newException();
    if (!magick::setFileName(info->filename, format + ":" + absolute))
        return {};
    info->number_scenes = 1;
    magick::ImagePtr header(PingImage(info.get(), exception.get()));
    if (!header)
        return {};
    const double pixels = double(header->columns) * double(header->rows);
    const double cacheLimit = double(
        std::max({GetMagickResourceLimit(MemoryResource), GetMagickResourceLimit(MapResource),
                  GetMagickResourceLimit(DiskResource)}));
    const bool tooWide = header->columns > GetMagickResourceLimit(WidthResource) ||
                         header->rows > GetMagickResourceLimit(HeightResource);
    if (!tooWide && pixels * 10 <= cacheLimit)
        return {};
    return "the picture's " + std::to_string(header->columns) + " x " +
           std::to_string(header->rows) +
           " pixels are beyond the image library's resource limits (its policy.xml); an "
           "uncompressed BMP of it can be read";
}

magick::ImagePtr decode(const Source& source, const std::string& format, ProgressRelay& relay)
{
    const std::string& path = source.name;
    const std::string& absolute = source.absolute;
    auto info = magick::newImageInfo();
    auto exception = magick::newException();
    // Naming the coder in front keeps the library from reading anything into the file name
    // (a "png:" prefix, a "[2]" frame suffix) and from second-guessing the format.
    if (!magick::setFileName(info->filename, format + ":" + absolute))
        throw Error(path, "file name is too long");
    info->scene = 0;
    info->number_scenes = 1; // the first frame of an animation or a multi-page file
    SetImageInfoProgressMonitor(info.get(), relayProgress, &relay);
    magick::ImagePtr image(source.inMemory() ? BlobToImage(info.get(), source.bytes.data(),
                                                           source.bytes.size(), exception.get())
                                             : ReadImage(info.get(), exception.get()));
    if (relay.failure)
        std::rethrow_exception(relay.failure);
    if (relay.stopped)
        throw ReadStopped(path);
    if (magick::isError(*exception) || !image) {
        const std::string limits = beyondLimits(absolute, format);
        throw Error(path, limits.empty() ? readFailure(*exception, absolute, format) : limits);
    }
    // A truncated or damaged file still decodes, with the missing part filled in grey. A
    // relief cut from that would be wrong, so it is refused.
    // Some decoders (JPEG) leave their complaints on the image rather than the read.
    for (const ExceptionInfo* found : {exception.get(), &image->exception})
        if (magick::isCorruptionWarning(*found) || magick::isError(*found))
            throw Error(path, "file is truncated or damaged: " + magick::describe(*found));
    if (image->columns == 0 || image->rows == 0 ||
        image->columns > std::size_t(std::numeric_limits<int>::max() / 3) ||
        image->rows > std::size_t(std::numeric_limits<int>::max()))
        throw Error(path, "picture has no usable size");
    return image;
}

void convertToRgbIfNeeded(Image& image, const std::string& path)
{
    if (magick::isGrey(image.colorspace) || image.colorspace == sRGBColorspace ||
        image.colorspace == RGBColorspace)
        return;
    if (!TransformImageColorspace(&image, sRGBColorspace))
        throw Error(path, "cannot convert the picture's colours to RGB: " +
                              magick::describe(image.exception));
}

std::string firstBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes(80, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(in.gcount()));
    return bytes;
}

Picture readSource(const Source& source, RunControl& control)
{
    const std::string format = detectFormat(source);
    if (!isReadableFormat(format))
        throw Error(source.name, format.empty()
                                     ? "not a picture file"
                                     : "not a picture format this program reads (" + format + ")");
    ProgressRelay relay{control, -1, false, nullptr};
    magick::ImagePtr image = decode(source, format, relay);
    convertToRgbIfNeeded(*image, source.name);
    const int declaredBits = declaredPaletteBitCount(
        source.inMemory() ? std::string(source.bytes.substr(0, 80)) : firstBytes(source.absolute));
    Picture picture = PixelCopier(*image, source.name, relay).copy(declaredBits);
    picture.xRes = pixelsPerInch(image->x_resolution, unitOf(*image));
    picture.yRes = pixelsPerInch(image->y_resolution, unitOf(*image));
    relay.report(100);
    return picture;
}

} // namespace

Picture readPictureThroughLibrary(const std::string& path, RunControl& control)
{
    checkIsReadableFile(path);
    std::error_code ec;
    return readSource({path, fs::absolute(path, ec).string(), {}}, control);
}

Picture readBytesThroughLibrary(std::string_view bytes, const std::string& name,
                                RunControl& control)
{
    return readSource({name, {}, bytes}, control);
}

} // namespace corvane::imaging
