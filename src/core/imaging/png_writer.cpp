#include "common/error.h"
#include "imaging/palette_kinds.h"
#include "imaging/png_codec.h"
#include "imaging/png_library.h"
#include "imaging/rows_written.h"

#include <bit>
#include <cmath>
#include <vector>

namespace corvane::imaging {

namespace {

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteStructs() { png_destroy_write_struct(&png, &info); }
};

void writeData(png_structp png, png_bytep data, std::size_t length)
{
    static_cast<AtomicFile*>(png_get_io_ptr(png))
        ->write(reinterpret_cast<const char*>(data), length);
}

void flushData(png_structp) {}

png_uint_32 perMetre(int pixelsPerInch)
{
    return png_uint_32(std::lround(pixelsPerInch / 0.0254));
}

void describe(png_structp png, png_infop info, const Picture& p)
{
    const bool grey = p.deep() || isGreyRamp(p);
    const int colourType = p.deep()       ? PNG_COLOR_TYPE_GRAY
                           : !p.indexed() ? PNG_COLOR_TYPE_RGB
                           : grey       ? PNG_COLOR_TYPE_GRAY
                                        : PNG_COLOR_TYPE_PALETTE;
    png_set_IHDR(png, info, png_uint_32(p.width), png_uint_32(p.height),
                 p.indexed() || p.deep() ? p.bitCount : 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> colours(std::size_t(1) << p.bitCount, png_color{0, 0, 0});
        for (std::size_t i = 0; i < colours.size() && i < p.palette.size(); ++i)
            colours[i] = {p.palette[i].r, p.palette[i].g, p.palette[i].b};
        png_set_PLTE(png, info, colours.data(), int(colours.size()));
    }
    if (p.xRes > 0 || p.yRes > 0)
        png_set_pHYs(png, info, perMetre(p.xRes), perMetre(p.yRes), PNG_RESOLUTION_METER);
}

} // namespace

void writePng(const Picture& p, AtomicFile& file, RunControl& control)
{
    WriteStructs s;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png::fail, png::ignoreWarning);
    if (s.png)
        s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info)
        throw Error(file.targetPath(), "not enough memory to start writing");
    try {
        png_set_write_fn(s.png, &file, writeData, flushData);
        describe(s.png, s.info, p);
        png_write_info(s.png, s.info);
        if (p.indexed() && p.bitCount < 8)
            png_set_packing(s.png); // our one byte a pixel into the file's bits
        if (p.deep() && std::endian::native == std::endian::little)
            png_set_swap(s.png); // PNG samples are big-endian
        RowsWritten rows(control, file.targetPath(), p.height);
        for (int y = 0; y < p.height; ++y) {
            png_write_row(s.png, p.row(y));
            rows.advance(y + 1);
        }
        png_write_end(s.png, nullptr);
    } catch (const png::Failure& failure) {
        throw Error(file.targetPath(), "cannot write the PNG file: " + failure.message);
    }
}

} // namespace corvane::imaging
