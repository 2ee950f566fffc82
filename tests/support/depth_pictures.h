// 16-bit depth-map pictures for tests, each sample given by a function of its column and row.
#pragma once

#include "imaging/picture.h"

#include <cstdint>

namespace corvane::testing {

inline imaging::Picture depthPicture(int width, int height, const auto& sampleAt)
{
    imaging::Picture p;
    p.width = width;
    p.height = height;
    p.bitCount = 16;
    p.pixels.resize(p.rowStride() * std::size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.samples(y)[x] = std::uint16_t(sampleAt(x, y));
    return p;
}

} // namespace corvane::testing
