// One picture as the program holds it in memory: a plain value, cheap to reason about.
// Rows run from the top of the picture down. A 24-bit picture keeps three bytes a pixel
// (red, green, blue); a 1-, 4- or 8-bit picture keeps one palette index byte a pixel, so a
// 10000 x 10000 scan costs 300 MB in colour and 100 MB in grey.
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
    int bitCount = 24;                // 1, 4, 8 (palette) or 24 (RGB)
    int xRes = 0, yRes = 0;           // pixels per unit; 0 when the file gave none
    std::vector<Rgb> palette;         // 2, 16 or 256 entries for 1, 4 or 8 bits
    std::vector<std::uint8_t> pixels; // rowStride() bytes a row, height rows

    bool empty() const { return width <= 0 || height <= 0; }
    PictureShape shape() const { return {width, height, bitCount}; }
    bool indexed() const { return bitCount != 24; }
    std::size_t rowStride() const
    {
        return indexed() ? std::size_t(width) : std::size_t(width) * 3;
    }
    const std::uint8_t* row(int y) const { return pixels.data() + std::size_t(y) * rowStride(); }
    std::uint8_t* row(int y) { return pixels.data() + std::size_t(y) * rowStride(); }

    Rgb pixel(int x, int y) const
    {
        const std::uint8_t* p = row(y);
        if (indexed())
            return palette[p[x]];
        return {p[3 * x], p[3 * x + 1], p[3 * x + 2]};
    }
};

} // namespace corvane::imaging
