#include "imaging/png_codec.h"
#include "imaging/png_library.h"
#include "imaging/resolution.h"

#include <algorithm>
#include <bit>
#include <new>
#include <vector>

namespace corvane::imaging {

namespace {

struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, &info, nullptr); }
};

void readData(png_structp png, png_bytep data, std::size_t length)
{
    auto* in = static_cast<ByteInput*>(png_get_io_ptr(png));
    if (!in->readAll(data, length))
        png_error(png, "the file ends before the picture does");
}

std::uint8_t overWhite(unsigned value, unsigned alpha)
{
    return std::uint8_t((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

// How the file's samples become the picture's.
struct Layout {
    int bitCount = 24;
    int channels = 3;   // samples a pixel after libpng's transformations
    bool alpha = false; // the last channel is alpha, to be laid over white
    int paletteEntries = 0;
};

Layout chooseLayout(png_structp png, png_infop info, Picture& p)
{
    const int depth = png_get_bit_depth(png, info);
    const int colourType = png_get_color_type(png, info);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    Layout l;
    if (depth == 16 && colourType == PNG_COLOR_TYPE_GRAY && !transparency) {
        // A depth map: every sample kept, in the machine's byte order.
        if constexpr (std::endian::native == std::endian::little)
            png_set_swap(png);
        l.bitCount = 16;
        l.channels = 2;
        return l;
    }
    if (depth == 16)
        png_set_scale_16(png);
    const int indexBits = depth == 1 ? 1 : depth <= 4 ? 4 : 8;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(png);
        l.bitCount = indexBits;
        l.channels = 1;
        png_colorp colours = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &colours, &count);
        png_bytep alphas = nullptr;
        int alphaCount = 0;
        if (transparency)
            png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
        p.palette.assign(std::size_t(1) << indexBits, Rgb{});
        l.paletteEntries = std::min(count, 1 << indexBits);
        for (int i = 0; i < l.paletteEntries; ++i) {
            const unsigned a = i < alphaCount ? alphas[i] : 255;
            p.palette[std::size_t(i)] = {overWhite(colours[i].red, a),
                                         overWhite(colours[i].green, a),
                                         overWhite(colours[i].blue, a)};
        }
    } else if (colourType == PNG_COLOR_TYPE_GRAY && !transparency) {
        png_set_packing(png);
        l.bitCount = indexBits;
        l.channels = 1;
        p.palette = greyPalette(indexBits, 1 << std::min(depth, 8));
    } else if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_expand_gray_1_2_4_to_8(png);
        if (transparency)
            png_set_tRNS_to_alpha(png);
        l.bitCount = 8;
        l.channels = 2;
        l.alpha = true;
        p.palette = greyPalette(8, 256);
    } else {
        if (transparency)
            png_set_tRNS_to_alpha(png);
        l.alpha = transparency || colourType == PNG_COLOR_TYPE_RGB_ALPHA;
        l.channels = l.alpha ? 4 : 3;
    }
    return l;
}

void blendRow(const std::uint8_t* in, std::uint8_t* out, int width, int channels)
{
    const int colours = channels - 1;
    for (int x = 0; x < width; ++x, in += channels)
        for (int c = 0; c < colours; ++c)
            *out++ = overWhite(in[c], in[colours]);
}

void checkIndexes(const Picture& p, int y, int entries, const ReadJob& job)
{
    const std::uint8_t* row = p.row(y);
    for (int x = 0; x < p.width; ++x)
        if (row[x] >= entries)
            throwDamaged(job, "a pixel uses palette entry " + std::to_string(row[x]) + " of only " +
                                  std::to_string(entries));
}

// Rows straight into the picture; with alpha, through a row buffer (or, for an interlaced
// file, whose passes revisit every row, a buffer of the whole picture).
void readRows(png_structp png, const Layout& l, int passes, Picture& p, const ReadJob& job)
{
    const std::size_t rowBytes = std::size_t(p.width) * std::size_t(l.channels);
    std::vector<std::uint8_t> buffer;
    if (l.alpha) {
        const std::uint64_t bytes = rowBytes * std::uint64_t(passes > 1 ? p.height : 1);
        if (bytes > job.memoryLimit)
            throw Error(job.name,
                        notEnoughMemory("read", p.width, p.height, bytes, job.memoryLimit));
        try {
            buffer.resize(std::size_t(bytes));
        } catch (const std::bad_alloc&) {
            throw Error(job.name,
                        notEnoughMemory("read", p.width, p.height, bytes, availableMemory()));
        }
    }
    RowProgress progress(job, std::int64_t(p.height) * passes);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < p.height; ++y) {
            std::uint8_t* row = !l.alpha     ? p.row(y)
                                : passes > 1 ? buffer.data() + rowBytes * std::size_t(y)
                                             : buffer.data();
            png_read_row(png, row, nullptr);
            if (l.alpha && pass == passes - 1)
                blendRow(row, p.row(y), p.width, l.channels);
            if (l.paletteEntries && l.paletteEntries < (1 << l.bitCount) && pass == passes - 1)
                checkIndexes(p, y, l.paletteEntries, job);
            progress.advance(std::int64_t(pass) * p.height + y + 1);
        }
}

} // namespace

Picture readPng(ReadJob& job)
{
    ReadStructs s;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png::fail, png::ignoreWarning);
    if (s.png)
        s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info)
        throw Error(job.name, "not enough memory to start reading");
    Picture p;
    try {
        png_set_read_fn(s.png, &job.in, readData);
        png_set_crc_action(s.png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
        png_set_user_limits(s.png, 0x7FFFFFFF, 0x7FFFFFFF); // no size limit but memory
        png_read_info(s.png, s.info);
        const Layout l = chooseLayout(s.png, s.info, p);
        const int passes = png_set_interlace_handling(s.png);
        png_read_update_info(s.png, s.info);
        const auto width = png_get_image_width(s.png, s.info);
        const auto height = png_get_image_height(s.png, s.info);
        if (width > 0x7FFFFFFFu / 3 || height > 0x7FFFFFFFu)
            throw Error(job.name, "picture size is out of range");
        if (png_get_rowbytes(s.png, s.info) != std::size_t(width) * std::size_t(l.channels))
            throwDamaged(job, "unexpected sample layout");
        allocatePixels(p, int(width), int(height), l.bitCount, job);
        png_uint_32 xPerMetre = 0, yPerMetre = 0;
        int unit = 0;
        if (png_get_pHYs(s.png, s.info, &xPerMetre, &yPerMetre, &unit) &&
            unit == PNG_RESOLUTION_METER) {
            p.xRes = pixelsPerInch(xPerMetre / 100.0, ResolutionUnit::PerCentimetre);
            p.yRes = pixelsPerInch(yPerMetre / 100.0, ResolutionUnit::PerCentimetre);
        }
        readRows(s.png, l, passes, p, job);
        png_read_end(s.png, nullptr); // checks the rest of the file, CRCs included
    } catch (const png::Failure& failure) {
        throwDamaged(job, failure.message);
    }
    return p;
}

} // namespace corvane::imaging
