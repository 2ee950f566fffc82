// A rectangle of pixels in picture coordinates: x and y of the top-left pixel, x to the right
// and y down, width and height in pixels.
#pragma once

#include <algorithm>
#include <cstdlib>

namespace corvane::imaging {

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The part of r inside a picture of width x height; empty when none of it is.
inline PixelRect clampedTo(PixelRect r, int width, int height)
{
    const int left = std::clamp(r.x, 0, width), top = std::clamp(r.y, 0, height);
    const int right = std::clamp(r.x + std::max(r.width, 0), 0, width);
    const int bottom = std::clamp(r.y + std::max(r.height, 0), 0, height);
    return {left, top, right - left, bottom - top};
}

// The rectangle spanned by two corner pixels given in either order, both included.
inline PixelRect spanning(int x1, int y1, int x2, int y2)
{
    return {std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1};
}

} // namespace corvane::imaging
