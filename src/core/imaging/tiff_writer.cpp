#include "common/error.h"
#include "imaging/palette_kinds.h"
#include "imaging/rows_written.h"
#include "imaging/tiff_codec.h"
#include "imaging/tiff_library.h"

#include <algorithm>
#include <vector>

namespace corvane::imaging {

namespace {

void packRow(const std::uint8_t* in, std::uint8_t* out, int width, int bits)
{
    std::fill(out, out + (std::size_t(width) * bits + 7) / 8, 0);
    for (int x = 0; x < width; ++x) {
        const std::size_t bit = std::size_t(x) * bits;
        out[bit >> 3] |= std::uint8_t((in[x] & ((1u << bits) - 1)) << (8 - bits - (bit & 7)));
    }
}

void describe(TIFF* tif, const Picture& p)
{
    const bool grey = p.deep() || isGreyRamp(p);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(p.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(p.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(p.indexed() || p.deep() ? p.bitCount : 8));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(p.indexed() || p.deep() ? 1 : 3));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                 !p.indexed() && !p.deep() ? PHOTOMETRIC_RGB
                 : grey       ? PHOTOMETRIC_MINISBLACK
                              : PHOTOMETRIC_PALETTE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    // Strips of about 256 kB: few enough for big pictures, small enough for any reader.
    const std::size_t rowBytes = (std::size_t(p.width) * (p.indexed() || p.deep() ? p.bitCount : 24) + 7) / 8;
    TIFFSetField(
        tif, TIFFTAG_ROWSPERSTRIP,
        std::uint32_t(std::clamp<std::size_t>((256u << 10) / rowBytes, 1, std::size_t(p.height))));
    if (p.xRes > 0 || p.yRes > 0) {
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(p.xRes));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(p.yRes));
    }
    if (p.indexed() && !grey) {
        const std::size_t entries = std::size_t(1) << p.bitCount;
        std::vector<std::uint16_t> r(entries), g(entries), b(entries);
        for (std::size_t i = 0; i < entries && i < p.palette.size(); ++i) {
            r[i] = std::uint16_t(p.palette[i].r * 257);
            g[i] = std::uint16_t(p.palette[i].g * 257);
            b[i] = std::uint16_t(p.palette[i].b * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
}

} // namespace

void writeTiff(const Picture& p, AtomicFile& file, RunControl& control)
{
    // libtiff goes back to patch offsets, so it writes the temporary file itself.
    file.closeForExternalWriter();
    tiff::OpenOptions options(std::uint64_t(-1));
    const bool big = p.rowStride() * std::uint64_t(p.height) > (std::uint64_t(3) << 30);
    tiff::TiffPtr tif(TIFFOpenExt(file.workingPath().c_str(), big ? "w8" : "w", options.get()));
    auto fail = [&](const std::string& fallback) {
        throw Error(file.targetPath(),
                    "cannot write the TIFF file: " +
                        (options.lastError().empty() ? fallback : options.lastError()));
    };
    if (!tif)
        fail("cannot open it");
    describe(tif.get(), p);
    std::vector<std::uint8_t> packed(p.bitCount < 8 ? (std::size_t(p.width) * p.bitCount + 7) / 8
                                                    : 0);
    RowsWritten rows(control, file.targetPath(), p.height);
    for (int y = 0; y < p.height; ++y) {
        rows.advance(y);
        auto* row = const_cast<std::uint8_t*>(p.row(y)); // the library only reads it
        if (!packed.empty()) {
            packRow(p.row(y), packed.data(), p.width, p.bitCount);
            row = packed.data();
        }
        if (TIFFWriteScanline(tif.get(), row, std::uint32_t(y), 0) < 0)
            fail("a row was refused");
    }
    if (!TIFFFlush(tif.get()))
        fail("the data did not reach the disk");
}

} // namespace corvane::imaging
