#include "imaging/depth_levels.h"

#include "imaging/read_job.h"

namespace corvane::imaging {

Picture reducedTo256Levels(const Picture& picture)
{
    if (!picture.deep())
        return picture;
    Picture out;
    out.width = picture.width;
    out.height = picture.height;
    out.bitCount = 8;
    out.xRes = picture.xRes;
    out.yRes = picture.yRes;
    out.palette = greyPalette(8, 256);
    out.pixels.resize(out.rowStride() * std::size_t(out.height));
    for (int y = 0; y < picture.height; ++y) {
        const std::uint16_t* in = picture.samples(y);
        std::uint8_t* row = out.row(y);
        for (int x = 0; x < picture.width; ++x)
            row[x] = levelOf16(in[x]);
    }
    return out;
}

} // namespace corvane::imaging
