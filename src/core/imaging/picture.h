// One picture as the program holds it in memory: a plain value, cheap to reason about.
// Rows run from the top of the picture down. A 24-bit picture keeps three bytes a pixel
// (red, green, blue); a 1-, 4- or 8-bit picture keeps one palette index byte a pixel, so a
// 10000 x 10000 scan costs 300 MB in colour and 100 MB in grey. A 16-bit picture is a depth
// map: one grey sample of 0 (black) to 65535 (white) a pixel, two bytes in the machine's own
// order, no palette. Depth maps from 3D programs come that way, and 256 levels would leave
// visible terraces in a deep relief.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::imaging {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A picture's size and depth without its pixels: what a chain of operations is checked
// with before it runs.
struct PictureShape {
    int width = 0;
    int height = 0;
    int bitCount = 24;
};

struct Picture {
    int width = 0;
    int height = 0;
    int bitCount = 24;                // 1, 4, 8 (palette), 16 (grey samples) or 24 (RGB)
    int xRes = 0, yRes = 0;           // pixels per unit; 0 when the file gave none
    std::vector<Rgb> palette;         // 2, 16 or 256 entries for 1, 4 or 8 bits; none else
    std::vector<std::uint8_t> pixels; // rowStride() bytes a row, height rows

    bool empty() const { return width <= 0 || height <= 0; }
    PictureShape shape() const { return {width, height, bitCount}; }
    bool indexed() const { return bitCount <= 8; }
    bool deep() const { return bitCount == 16; }
    std::size_t bytesPerPixel() const { return indexed() ? 1 : deep() ? 2 : 3; }
    std::size_t rowStride() const { return std::size_t(width) * bytesPerPixel(); }
    const std::uint8_t* row(int y) const { return pixels.data() + std::size_t(y) * rowStride(); }
    std::uint8_t* row(int y) { return pixels.data() + std::size_t(y) * rowStride(); }

    // A 16-bit picture's samples, row by row.
    const std::uint16_t* samples(int y) const
    {
        return reinterpret_cast<const std::uint16_t*>(row(y));
    }
    std::uint16_t* samples(int y) { return reinterpret_cast<std::uint16_t*>(row(y)); }

    Rgb pixel(int x, int y) const
    {
        const std::uint8_t* p = row(y);
        if (indexed())
            return palette[p[x]];
        if (deep()) { // the nearest of 256 greys
            const auto g = std::uint8_t((unsigned(samples(y)[x]) * 255 + 32767) / 65535);
            return {g, g, g};
        }
        return {p[3 * x], p[3 * x + 1], p[3 * x + 2]};
    }
};

} // namespace corvane::imaging
