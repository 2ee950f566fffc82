#include "relief/height_grid.h"

#include "common/out_of_memory.h"

#include <algorithm>
#include <cstring>

namespace corvane::relief {

TZGrid FillHeightGrid(const imaging::Picture& picture, bool withWhiteFrame)
{
    const int w = picture.width, h = picture.height;
    if (picture.empty())
        return {};
    const int frame = withWhiteFrame ? 1 : 0;
    const int rows = h + 2 * frame, cols = w + 2 * frame;
    TZGrid grid = runWithMemoryFor("the height grid", w, h, "picture",
                                   sizeof(TZGrid::Cell) * std::uint64_t(rows) * std::uint64_t(cols),
                                   [&] {
                                       const int white = picture.deep() ? White16 : White8;
                                       return TZGrid(rows, cols, TZGrid::Cell(white), white);
                                   });

    // Only the red component counts: a pure blue area is full depth, a pure red one none.
    std::uint8_t paletteRed[256] = {};
    for (std::size_t i = 0; i < picture.palette.size() && i < 256; ++i)
        paletteRed[i] = picture.palette[i].r;

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = picture.row(y);
        TZGrid::Cell* dst = grid[y + frame] + frame;
        if (picture.deep()) {
            std::copy_n(picture.samples(y), w, dst);
        } else if (picture.indexed()) {
            for (int x = 0; x < w; ++x)
                dst[x] = paletteRed[src[x]];
        } else {
            for (int x = 0; x < w; ++x)
                dst[x] = src[3 * x];
        }
    }
    return grid;
}

imaging::Picture GridPicture(TZGrid&& grid)
{
    imaging::Picture picture;
    picture.width = grid.cols;
    picture.height = grid.rows;
    if (grid.deep()) {
        picture.bitCount = 16;
        picture.pixels.resize(picture.rowStride() * std::size_t(picture.height));
        std::memcpy(picture.pixels.data(), grid.cells.data(), picture.pixels.size());
    } else {
        picture.bitCount = 8;
        for (int v = 0; v < 256; ++v)
            picture.palette.push_back({std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)});
        picture.pixels.assign(grid.cells.begin(), grid.cells.end()); // every cell <= 255
    }
    grid.clear();
    return picture;
}

} // namespace corvane::relief
