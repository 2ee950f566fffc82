#include "relief/height_grid.h"

#include "common/out_of_memory.h"

#include <algorithm>

namespace corvane::relief {

TZGrid FillHeightGrid(const imaging::Picture& picture, bool withWhiteFrame)
{
    const int w = picture.width, h = picture.height;
    if (picture.empty())
        return {};
    const int frame = withWhiteFrame ? 1 : 0;
    const int rows = h + 2 * frame, cols = w + 2 * frame;
    TZGrid grid = runWithMemoryFor("the height grid", w, h, "picture",
                                   std::uint64_t(rows) * std::uint64_t(cols),
                                   [&] { return TZGrid(rows, cols, 255); });

    // Only the red component counts: a pure blue area is full depth, a pure red one none.
    std::uint8_t paletteRed[256] = {};
    for (std::size_t i = 0; i < picture.palette.size() && i < 256; ++i)
        paletteRed[i] = picture.palette[i].r;

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = picture.row(y);
        std::uint8_t* dst = grid[y + frame] + frame;
        if (picture.indexed()) {
            for (int x = 0; x < w; ++x)
                dst[x] = paletteRed[src[x]];
        } else {
            for (int x = 0; x < w; ++x)
                dst[x] = src[3 * x];
        }
    }
    return grid;
}

} // namespace corvane::relief
