#include "imaging/resolution.h"
#include "imaging/tiff_codec.h"
#include "imaging/tiff_library.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace corvane::imaging {

namespace {

tmsize_t readProc(thandle_t handle, void* into, tmsize_t size)
{
    return tmsize_t(static_cast<ByteInput*>(handle)->read(into, std::size_t(size)));
}
tmsize_t writeProc(thandle_t, void*, tmsize_t)
{
    return 0;
}
toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* in = static_cast<ByteInput*>(handle);
    const toff_t target = whence == SEEK_CUR   ? in->tell() + offset
                          : whence == SEEK_END ? in->size() + offset
                                               : offset;
    return in->seek(target) ? target : toff_t(-1);
}
int closeProc(thandle_t)
{
    return 0;
}
toff_t sizeProc(thandle_t handle)
{
    return static_cast<ByteInput*>(handle)->size();
}
int mapProc(thandle_t, void**, toff_t*)
{
    return 0;
}
void unmapProc(thandle_t, void*, toff_t) {}

struct Fields {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK,
                  planar = PLANARCONFIG_CONTIG, sampleFormat = SAMPLEFORMAT_UINT;
    bool tiled = false;

    bool greyOrPalette() const
    {
        return samples == 1 &&
               (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE ||
                (photometric == PHOTOMETRIC_PALETTE && bits <= 8));
    }
    bool rgb() const
    {
        return samples == 3 && photometric == PHOTOMETRIC_RGB && planar == PLANARCONFIG_CONTIG &&
               (bits == 8 || bits == 16);
    }
    // Read scanline by scanline into the picture's own layout.
    bool direct() const
    {
        return sampleFormat == SAMPLEFORMAT_UINT &&
               (rgb() || (greyOrPalette() &&
                          (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16)));
    }
    // 16-bit grey is a depth map and keeps every sample.
    bool deepGrey() const { return samples == 1 && bits == 16 && photometric != PHOTOMETRIC_PALETTE; }
    int bitCount() const
    {
        return rgb() ? 24 : deepGrey() ? 16 : bits == 1 ? 1 : bits <= 4 ? 4 : 8;
    }
};

Fields readFields(TIFF* tif)
{
    Fields f;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &f.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &f.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &f.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &f.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &f.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &f.sampleFormat);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &f.photometric))
        f.photometric = f.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    f.tiled = TIFFIsTiled(tif) != 0;
    return f;
}

void readResolution(TIFF* tif, Picture& p)
{
    float x = 0, y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    const ResolutionUnit u = unit == RESUNIT_INCH         ? ResolutionUnit::PerInch
                             : unit == RESUNIT_CENTIMETER ? ResolutionUnit::PerCentimetre
                                                          : ResolutionUnit::None;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x))
        p.xRes = pixelsPerInch(x, u);
    if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y))
        p.yRes = pixelsPerInch(y, u);
}

std::vector<Rgb> paletteOf(TIFF* tif, const Fields& f, const ReadJob& job)
{
    const int entries = 1 << std::min<int>(f.bits, 8);
    if (f.photometric != PHOTOMETRIC_PALETTE) {
        std::vector<Rgb> palette = greyPalette(f.bitCount(), entries);
        if (f.photometric == PHOTOMETRIC_MINISWHITE && f.bits <= 8)
            std::reverse(palette.begin(), palette.begin() + entries);
        return palette;
    }
    std::uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b))
        throwDamaged(job, "a palette picture without a colour map");
    // Some old writers store 8-bit values; then no entry reaches 256.
    bool sixteen = false;
    for (int i = 0; i < entries; ++i)
        sixteen = sixteen || r[i] > 255 || g[i] > 255 || b[i] > 255;
    const int shift = sixteen ? 8 : 0;
    std::vector<Rgb> palette(std::size_t(1) << f.bitCount());
    for (int i = 0; i < entries; ++i)
        palette[std::size_t(i)] = {std::uint8_t(r[i] >> shift), std::uint8_t(g[i] >> shift),
                                   std::uint8_t(b[i] >> shift)};
    return palette;
}

void convertRow(const std::uint8_t* in, std::uint8_t* out, const Fields& f, int width)
{
    if (f.bits < 8) {
        const unsigned mask = (1u << f.bits) - 1;
        for (int x = 0; x < width; ++x) {
            const std::size_t bit = std::size_t(x) * f.bits;
            out[x] = std::uint8_t(in[bit >> 3] >> (8 - f.bits - (bit & 7)) & mask);
        }
        return;
    }
    // 16 bits, in the machine's byte order after the library's swap.
    const auto* wide = reinterpret_cast<const std::uint16_t*>(in);
    const std::size_t count = std::size_t(width) * f.samples;
    const bool invert = f.photometric == PHOTOMETRIC_MINISWHITE;
    if (f.deepGrey()) {
        auto* samples = reinterpret_cast<std::uint16_t*>(out);
        for (std::size_t i = 0; i < count; ++i)
            samples[i] = invert ? std::uint16_t(65535 - wide[i]) : wide[i];
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto v = std::uint8_t((unsigned(wide[i]) * 255 + 32767) / 65535);
        out[i] = invert ? std::uint8_t(255 - v) : v;
    }
}

void readScanlines(TIFF* tif, const Fields& f, Picture& p, const ReadJob& job,
                   const tiff::OpenOptions& options)
{
    const std::uint64_t expected = (std::uint64_t(f.width) * f.samples * f.bits + 7) / 8;
    if (std::uint64_t(TIFFScanlineSize64(tif)) != expected)
        throwDamaged(job, "unexpected scanline size");
    const bool inPlace = f.bits == 8;
    std::vector<std::uint8_t> scratch(inPlace ? 0 : std::size_t(expected));
    RowProgress progress(job, p.height);
    for (int y = 0; y < p.height; ++y) {
        void* into = inPlace ? static_cast<void*>(p.row(y)) : scratch.data();
        if (TIFFReadScanline(tif, into, std::uint32_t(y), 0) < 0)
            throwDamaged(job, options.lastError().empty() ? "cannot read row " + std::to_string(y)
                                                          : options.lastError());
        if (!inPlace)
            convertRow(scratch.data(), p.row(y), f, p.width);
        progress.advance(y + 1);
    }
}

// Tiles of the direct kinds: a band of tiles at a time, each tile's rows copied (and
// widened, for fewer or more than 8 bits) into the picture's rows.
void readTiles(TIFF* tif, const Fields& f, Picture& p, const ReadJob& job,
               const tiff::OpenOptions& options)
{
    std::uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
    const std::uint64_t tileRowBytes = (std::uint64_t(tileWidth) * f.samples * f.bits + 7) / 8;
    if (tileWidth == 0 || tileHeight == 0 ||
        std::uint64_t(TIFFTileSize64(tif)) != tileRowBytes * tileHeight)
        throwDamaged(job, "unexpected tile size");
    std::vector<std::uint8_t> tile(std::size_t(tileRowBytes * tileHeight));
    const std::size_t pixelBytes = f.rgb() ? 3 : f.deepGrey() ? 2 : 1;
    std::vector<std::uint8_t> widened(std::size_t(tileWidth) * pixelBytes);
    RowProgress progress(job, p.height);
    for (std::uint32_t y0 = 0; y0 < std::uint32_t(p.height); y0 += tileHeight) {
        for (std::uint32_t x0 = 0; x0 < std::uint32_t(p.width); x0 += tileWidth) {
            if (TIFFReadTile(tif, tile.data(), x0, y0, 0, 0) < 0)
                throwDamaged(job, options.lastError().empty() ? "cannot read a tile"
                                                              : options.lastError());
            const std::uint32_t columns = std::min(tileWidth, std::uint32_t(p.width) - x0);
            const std::uint32_t rows = std::min(tileHeight, std::uint32_t(p.height) - y0);
            for (std::uint32_t r = 0; r < rows; ++r) {
                const std::uint8_t* in = tile.data() + tileRowBytes * r;
                if (f.bits != 8) {
                    convertRow(in, widened.data(), f, int(columns));
                    in = widened.data();
                }
                std::copy(in, in + columns * pixelBytes, p.row(int(y0 + r)) + x0 * pixelBytes);
            }
        }
        progress.advance(std::min<std::int64_t>(std::int64_t(y0) + tileHeight, p.height));
    }
}

struct RgbaImageEnd {
    void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

void readThroughRgba(TIFF* tif, Picture& p, const ReadJob& job, const tiff::OpenOptions& options)
{
    char why[1024] = {};
    if (!TIFFRGBAImageOK(tif, why))
        throw Error(job.name, std::string("not a kind of TIFF this program reads: ") + why);
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageBegin(&image, tif, 0, why))
        throwDamaged(job, why);
    std::unique_ptr<TIFFRGBAImage, RgbaImageEnd> end(&image);
    image.req_orientation = ORIENTATION_TOPLEFT;
    // Bands of up to 64 rows, smaller for very wide pictures (the band is 4 bytes a pixel).
    const int band =
        int(std::clamp<std::int64_t>((std::int64_t(1) << 24) / (4 * std::int64_t(p.width)), 1, 64));
    std::vector<std::uint32_t> raster(std::size_t(p.width) * band);
    RowProgress progress(job, p.height);
    for (int y = 0; y < p.height; y += band) {
        const int rows = std::min(band, p.height - y);
        image.row_offset = y;
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, raster.data(), std::uint32_t(p.width), std::uint32_t(rows)))
            throwDamaged(job, options.lastError().empty() ? "cannot read row " + std::to_string(y)
                                                          : options.lastError());
        for (int r = 0; r < rows; ++r) {
            const std::uint32_t* in = raster.data() + std::size_t(r) * std::size_t(p.width);
            std::uint8_t* out = p.row(y + r);
            for (int x = 0; x < p.width; ++x, out += 3) {
                // Colours come premultiplied by alpha: over white is colour + (255 - alpha).
                const unsigned white = 255 - TIFFGetA(in[x]);
                out[0] = std::uint8_t(std::min(255u, TIFFGetR(in[x]) + white));
                out[1] = std::uint8_t(std::min(255u, TIFFGetG(in[x]) + white));
                out[2] = std::uint8_t(std::min(255u, TIFFGetB(in[x]) + white));
            }
        }
        progress.advance(y + rows);
    }
}

} // namespace

Picture readTiff(ReadJob& job)
{
    tiff::OpenOptions options(job.memoryLimit);
    tiff::TiffPtr tif(TIFFClientOpenExt(job.name.c_str(), "rm", &job.in, readProc, writeProc,
                                        seekProc, closeProc, sizeProc, mapProc, unmapProc,
                                        options.get()));
    if (!tif)
        throwDamaged(job, options.lastError().empty() ? "not a readable TIFF file"
                                                      : options.lastError());
    const Fields f = readFields(tif.get());
    if (f.width > std::uint32_t(std::numeric_limits<int>::max() / 3) ||
        f.height > std::uint32_t(std::numeric_limits<int>::max()))
        throw Error(job.name, "picture size is out of range");
    Picture p;
    if (f.direct()) {
        if (!f.rgb() && !f.deepGrey())
            p.palette = paletteOf(tif.get(), f, job);
        allocatePixels(p, int(f.width), int(f.height), f.bitCount(), job);
        if (f.tiled)
            readTiles(tif.get(), f, p, job, options);
        else
            readScanlines(tif.get(), f, p, job, options);
    } else {
        allocatePixels(p, int(f.width), int(f.height), 24, job);
        readThroughRgba(tif.get(), p, job, options);
    }
    readResolution(tif.get(), p);
    return p;
}

} // namespace corvane::imaging
