#include "imaging/plain_bmp_reader.h"

#include "common/error.h"
#include "imaging/resolution.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace corvane::imaging {

namespace {

constexpr std::uint32_t fileHeaderSize = 14;
constexpr std::uint32_t uncompressed = 0; // BI_RGB
constexpr std::uint32_t bitFields = 3;    // BI_BITFIELDS: three colour masks follow

std::uint32_t u16(const std::uint8_t* p)
{
    return p[0] | std::uint32_t(p[1]) << 8;
}
std::uint32_t u32(const std::uint8_t* p)
{
    return u16(p) | u16(p + 2) << 16;
}
std::int32_t i32(const std::uint8_t* p)
{
    return std::int32_t(u32(p));
}

struct BmpLayout {
    std::int64_t width = 0, height = 0; // height as stored: negative means top row first
    int bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 0;
    std::uint32_t pixelOffset = 0, paletteOffset = 0, paletteEntries = 0;
    std::int32_t xPerMetre = 0, yPerMetre = 0;
    std::uint64_t stride() const { return (std::uint64_t(width) * bits + 31) / 32 * 4; }
    std::int64_t rows() const { return height < 0 ? -height : height; }
    bool plain() const
    {
        return compression == uncompressed && infoSize >= 40 &&
               (bits == 1 || bits == 4 || bits == 8 || bits == 24);
    }
};

// Any BMP's layout, as far as the checks below need it; nullopt for other files.
std::optional<BmpLayout> readLayout(ByteInput& in)
{
    std::array<std::uint8_t, fileHeaderSize + 40> h{};
    const std::size_t got = in.read(h.data(), h.size());
    if (got < fileHeaderSize + 16 || h[0] != 'B' || h[1] != 'M')
        return std::nullopt;
    const std::uint8_t* info = h.data() + fileHeaderSize;
    BmpLayout b;
    b.infoSize = u32(info);
    b.pixelOffset = u32(h.data() + 10);
    b.paletteOffset = fileHeaderSize + b.infoSize;
    if (b.infoSize == 12) { // OS/2: 16-bit sizes, three-byte palette entries
        b.width = u16(info + 4);
        b.height = u16(info + 6);
        b.bits = int(u16(info + 10));
        b.paletteEntries = b.bits <= 8 ? 1u << b.bits : 0;
        return b;
    }
    if (b.infoSize < 40 || b.infoSize > 124 || got < h.size())
        return std::nullopt; // not a header we know; the image library decides
    b.width = i32(info + 4);
    b.height = i32(info + 8);
    b.bits = int(u16(info + 14));
    b.compression = u32(info + 16);
    b.xPerMetre = i32(info + 24);
    b.yPerMetre = i32(info + 28);
    const std::uint32_t coloursUsed = u32(info + 32);
    if (b.bits <= 8 && b.bits > 0)
        b.paletteEntries = coloursUsed == 0 ? 1u << b.bits : coloursUsed;
    else if (coloursUsed <= 256)
        b.paletteEntries = coloursUsed; // an optional palette of a true-colour file
    if (b.compression == bitFields && b.infoSize == 40)
        b.paletteOffset += 12;
    if (u16(info + 12) != 1 || b.paletteEntries > (b.bits <= 8 ? 1u << b.bits : 256u))
        b.compression = ~0u; // not plain; the image library judges it
    return b;
}

// Pixels that start inside the headers or the palette would be read as pixels.
void checkPixelOffset(const BmpLayout& b, const ReadJob& job)
{
    const std::uint64_t entrySize = b.infoSize == 12 ? 3 : 4;
    const std::uint64_t headersEnd = std::uint64_t(b.paletteOffset) + entrySize * b.paletteEntries;
    if (b.pixelOffset < headersEnd)
        throwDamaged(job, "the pixel data start at byte " + std::to_string(b.pixelOffset) +
                              ", inside the headers and palette (which end at byte " +
                              std::to_string(headersEnd) + ")");
}

void checkLayout(const BmpLayout& b, std::uint64_t fileSize, const ReadJob& job)
{
    if (b.width <= 0 || b.rows() == 0)
        throw Error(job.name, "picture has no pixels (" + std::to_string(b.width) + " x " +
                                  std::to_string(b.height) + ")");
    if (b.width > std::numeric_limits<int>::max() / 3 || b.rows() > std::numeric_limits<int>::max())
        throw Error(job.name, "picture size is out of range");
    // Checked before anything is allocated: a damaged header must not cost gigabytes.
    if (b.pixelOffset > fileSize || b.stride() * std::uint64_t(b.rows()) > fileSize - b.pixelOffset)
        throwDamaged(job, "the header promises " + std::to_string(b.width) + " x " +
                              std::to_string(b.rows()) + " pixels, more than the file holds");
}

std::vector<Rgb> readPalette(ByteInput& in, const BmpLayout& b, const ReadJob& job)
{
    std::vector<std::uint8_t> raw(4u * b.paletteEntries);
    if (!in.seek(b.paletteOffset) || !in.readAll(raw.data(), raw.size()))
        throwDamaged(job, "the palette is cut short");
    std::vector<Rgb> palette(std::size_t(1) << b.bits); // padded: every index has a colour
    for (std::uint32_t i = 0; i < b.paletteEntries; ++i)
        palette[i] = {raw[4 * i + 2], raw[4 * i + 1], raw[4 * i]}; // stored blue first
    return palette;
}

void unpackRow(const std::uint8_t* in, std::uint8_t* out, int bits, int width)
{
    switch (bits) {
    case 1:
        for (int x = 0; x < width; ++x)
            out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        for (int x = 0; x < width; ++x)
            out[x] = (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        break;
    default:
        std::copy(in, in + width, out);
    }
}

void checkIndexes(const Picture& p, const BmpLayout& b, const ReadJob& job)
{
    // An index past the colours the file lists is damage, refused as the library refuses it.
    if (b.paletteEntries >= p.palette.size())
        return;
    for (const std::uint8_t index : p.pixels)
        if (index >= b.paletteEntries)
            throwDamaged(job, "a pixel uses palette entry " + std::to_string(index) + " of only " +
                                  std::to_string(b.paletteEntries));
}

void readRows(ByteInput& in, const BmpLayout& b, Picture& p, const ReadJob& job)
{
    if (!in.seek(b.pixelOffset))
        throwDamaged(job, "the pixel data are missing");
    const std::size_t used = b.bits == 24 ? p.rowStride() : std::size_t(b.stride());
    std::vector<std::uint8_t> scratch(b.bits == 24 ? std::size_t(b.stride()) - used : used);
    const bool bottomUp = b.height > 0;
    RowProgress progress(job, p.height);
    for (int i = 0; i < p.height; ++i) {
        std::uint8_t* out = p.row(bottomUp ? p.height - 1 - i : i);
        if (b.bits == 24) {
            // Straight into the picture, then blue-green-red turned round in place.
            if (!in.readAll(out, used) || !in.readAll(scratch.data(), scratch.size()))
                throwDamaged(job, "the data end in pixel row " + std::to_string(i));
            for (std::size_t x = 0; x < used; x += 3)
                std::swap(out[x], out[x + 2]);
        } else {
            if (!in.readAll(scratch.data(), scratch.size()))
                throwDamaged(job, "the data end in pixel row " + std::to_string(i));
            unpackRow(scratch.data(), out, b.bits, p.width);
        }
        progress.advance(i + 1);
    }
}

} // namespace

std::optional<Picture> readPlainBmp(ReadJob& job)
{
    const std::optional<BmpLayout> layout = readLayout(job.in);
    if (!layout)
        return std::nullopt;
    const BmpLayout& b = *layout;
    checkPixelOffset(b, job);
    if (!b.plain())
        return std::nullopt;
    checkLayout(b, job.in.size(), job);

    Picture p;
    if (b.bits <= 8)
        p.palette = readPalette(job.in, b, job);
    allocatePixels(p, int(b.width), int(b.rows()), b.bits, job);
    p.xRes = pixelsPerInch(b.xPerMetre / 100.0, ResolutionUnit::PerCentimetre);
    p.yRes = pixelsPerInch(b.yPerMetre / 100.0, ResolutionUnit::PerCentimetre);
    readRows(job.in, b, p, job);
    if (b.bits <= 8)
        checkIndexes(p, b, job);
    return p;
}

} // namespace corvane::imaging
