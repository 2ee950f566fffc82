#include "imaging/plain_bmp_reader.h"

#include "common/error.h"
#include "imaging/resolution.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <limits>
#include <new>
#include <vector>

namespace corvane::imaging {

namespace {

constexpr std::uint32_t fileHeaderSize = 14;
constexpr std::uint32_t uncompressed = 0; // BI_RGB

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
    std::uint32_t pixelOffset = 0, paletteOffset = 0, paletteEntries = 0;
    std::int32_t xPerMetre = 0, yPerMetre = 0;
    std::uint64_t stride() const { return (std::uint64_t(width) * bits + 31) / 32 * 4; }
    std::int64_t rows() const { return height < 0 ? -height : height; }
};

// The header of a BMP we read ourselves, or nullopt for any other file.
std::optional<BmpLayout> plainLayout(std::ifstream& in)
{
    std::array<std::uint8_t, fileHeaderSize + 40> h{};
    if (!in.read(reinterpret_cast<char*>(h.data()), h.size()) || h[0] != 'B' || h[1] != 'M')
        return std::nullopt;
    const std::uint8_t* info = h.data() + fileHeaderSize;
    const std::uint32_t infoSize = u32(info);
    // Windows 3 (40), 4 (108) and 5 (124) headers share the first 40 bytes.
    if (infoSize != 40 && infoSize != 108 && infoSize != 124)
        return std::nullopt;
    BmpLayout b;
    b.pixelOffset = u32(h.data() + 10);
    b.width = i32(info + 4);
    b.height = i32(info + 8);
    b.bits = int(u16(info + 14));
    const std::uint32_t compression = u32(info + 16);
    b.xPerMetre = i32(info + 24);
    b.yPerMetre = i32(info + 28);
    const std::uint32_t coloursUsed = u32(info + 32);
    if (compression != uncompressed || u16(info + 12) != 1 ||
        (b.bits != 1 && b.bits != 4 && b.bits != 8 && b.bits != 24))
        return std::nullopt;
    if (b.bits <= 8) {
        b.paletteOffset = fileHeaderSize + infoSize;
        b.paletteEntries = coloursUsed == 0 ? 1u << b.bits : coloursUsed;
        if (b.paletteEntries > 1u << b.bits)
            return std::nullopt;
    }
    return b;
}

void checkLayout(const BmpLayout& b, std::uint64_t fileSize, const std::string& path)
{
    if (b.width <= 0 || b.rows() == 0)
        throw Error(path, "picture has no pixels (" + std::to_string(b.width) + " x " +
                              std::to_string(b.height) + ")");
    if (b.width > std::numeric_limits<int>::max() / 3 || b.rows() > std::numeric_limits<int>::max())
        throw Error(path, "picture size is out of range");
    if (b.paletteEntries &&
        (b.paletteOffset + 4ull * b.paletteEntries > b.pixelOffset || b.pixelOffset > fileSize))
        throw Error(path, "the palette does not fit before the pixels");
    // Checked before anything is allocated: a damaged header must not cost gigabytes.
    if (b.pixelOffset > fileSize || b.stride() * std::uint64_t(b.rows()) > fileSize - b.pixelOffset)
        throw Error(path, "file is truncated: the header promises " + std::to_string(b.width) +
                              " x " + std::to_string(b.rows()) + " pixels");
}

std::vector<Rgb> readPalette(std::ifstream& in, const BmpLayout& b, const std::string& path)
{
    std::vector<std::uint8_t> raw(4u * b.paletteEntries);
    in.seekg(b.paletteOffset);
    if (!in.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size())))
        throw Error(path, "cannot read the palette");
    std::vector<Rgb> palette(std::size_t(1) << b.bits); // padded: every index has a colour
    for (std::uint32_t i = 0; i < b.paletteEntries; ++i)
        palette[i] = {raw[4 * i + 2], raw[4 * i + 1], raw[4 * i]}; // stored blue first
    return palette;
}

void unpackRow(const std::uint8_t* in, std::uint8_t* out, const BmpLayout& b, int width)
{
    switch (b.bits) {
    case 1:
        for (int x = 0; x < width; ++x)
            out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        for (int x = 0; x < width; ++x)
            out[x] = (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        break;
    case 8:
        std::copy(in, in + width, out);
        break;
    default:
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
}

} // namespace

std::optional<Picture> readPlainBmp(const std::string& path, const ProgressReport& progress)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const auto fileSize = std::uint64_t(in.tellg());
    in.seekg(0);
    const std::optional<BmpLayout> layout = plainLayout(in);
    if (!layout)
        return std::nullopt;
    const BmpLayout& b = *layout;
    checkLayout(b, fileSize, path);

    Picture p;
    p.width = int(b.width);
    p.height = int(b.rows());
    p.bitCount = b.bits;
    if (b.bits <= 8)
        p.palette = readPalette(in, b, path);
    p.xRes = pixelsPerInch(b.xPerMetre / 100.0, ResolutionUnit::PerCentimetre);
    p.yRes = pixelsPerInch(b.yPerMetre / 100.0, ResolutionUnit::PerCentimetre);
    try {
        p.pixels.resize(p.rowStride() * std::size_t(p.height));
    } catch (const std::bad_alloc&) {
        throw Error(path, "not enough memory for a picture of " + std::to_string(p.width) + " x " +
                              std::to_string(p.height) + " pixels");
    }

    std::vector<std::uint8_t> row(b.stride());
    in.seekg(b.pixelOffset);
    const bool bottomUp = b.height > 0;
    for (int i = 0; i < p.height; ++i) {
        if (!in.read(reinterpret_cast<char*>(row.data()), std::streamsize(row.size())))
            throw Error(path, "file is truncated in pixel row " + std::to_string(i));
        unpackRow(row.data(), p.row(bottomUp ? p.height - 1 - i : i), b, p.width);
        if (progress && i % 256 == 0)
            progress(i, p.height);
    }
    // An index past the colours the file lists is damage, refused as the library refuses it.
    if (b.bits <= 8 && b.paletteEntries < p.palette.size())
        for (const std::uint8_t index : p.pixels)
            if (index >= b.paletteEntries)
                throw Error(path, "a pixel uses palette entry " + std::to_string(index) +
                                      " of only " + std::to_string(b.paletteEntries));
    if (progress)
        progress(p.height, p.height);
    return p;
}

} // namespace corvane::imaging
