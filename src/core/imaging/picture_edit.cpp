#include "imaging/picture_edit.h"

#include <cstring>
#include <unordered_map>
#include <vector>

namespace corvane::imaging {

bool isConsistent(const Picture& picture)
{
    if (picture.width < 0 || picture.height < 0)
        return false;
    if (picture.empty())
        return picture.pixels.empty();
    if (picture.bitCount != 1 && picture.bitCount != 4 && picture.bitCount != 8 &&
        picture.bitCount != 16 && picture.bitCount != 24)
        return false;
    if (picture.pixels.size() != picture.rowStride() * std::size_t(picture.height))
        return false;
    if (!picture.indexed())
        return true;
    if (picture.palette.size() != std::size_t(1) << picture.bitCount)
        return false;
    for (std::uint8_t index : picture.pixels)
        if (index >= picture.palette.size())
            return false;
    return true;
}

Picture cropped(const Picture& picture, PixelRect area)
{
    area = clampedTo(area, picture.width, picture.height);
    Picture out;
    out.bitCount = picture.bitCount;
    out.palette = picture.palette;
    out.xRes = picture.xRes;
    out.yRes = picture.yRes;
    if (area.empty())
        return out;
    out.width = area.width;
    out.height = area.height;
    out.pixels.resize(out.rowStride() * std::size_t(out.height));
    const std::size_t bytesPerPixel = picture.bytesPerPixel();
    for (int y = 0; y < area.height; ++y)
        std::memcpy(out.row(y), picture.row(area.y + y) + area.x * bytesPerPixel, out.rowStride());
    return out;
}

std::uint8_t nearestIndex(const Picture& picture, Rgb colour)
{
    std::uint8_t best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < picture.palette.size(); ++i) {
        const Rgb p = picture.palette[i];
        const long dr = p.r - colour.r, dg = p.g - colour.g, db = p.b - colour.b;
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = std::uint8_t(i);
            bestDistance = distance;
        }
    }
    return best;
}

void fill(Picture& picture, PixelRect area, Rgb colour)
{
    area = clampedTo(area, picture.width, picture.height);
    const std::uint8_t index = picture.indexed() ? nearestIndex(picture, colour) : 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (picture.indexed()) {
                row[x] = index;
            } else if (picture.deep()) {
                picture.samples(y)[x] = std::uint16_t(colour.r * 257);
            } else {
                row[3 * x] = colour.r;
                row[3 * x + 1] = colour.g;
                row[3 * x + 2] = colour.b;
            }
        }
    }
}

void pasteInto(Picture& target, const Picture& source, PixelRect area)
{
    area = clampedTo(area, target.width, target.height);
    const int width = std::min(area.width, source.width);
    const int height = std::min(area.height, source.height);
    const bool samePalette =
        target.indexed() && source.indexed() && target.palette == source.palette;
    // Nearest-colour lookups are slow; a palette source has at most 256 distinct colours and
    // a colour source rarely many more than that in one paste.
    std::vector<int> mapped(256, -1);
    std::unordered_map<std::uint32_t, std::uint8_t> mappedColours;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = target.row(area.y + y);
        const std::uint8_t* in = source.row(y);
        for (int x = 0; x < width; ++x) {
            const int tx = area.x + x;
            if (samePalette) {
                out[tx] = in[x];
            } else if (target.deep()) {
                target.samples(area.y + y)[tx] =
                    source.deep() ? source.samples(y)[x] : std::uint16_t(source.pixel(x, y).r * 257);
            } else if (!target.indexed()) {
                const Rgb c = source.pixel(x, y);
                out[3 * tx] = c.r;
                out[3 * tx + 1] = c.g;
                out[3 * tx + 2] = c.b;
            } else if (source.indexed()) {
                int& m = mapped[in[x]];
                if (m < 0)
                    m = nearestIndex(target, source.palette[in[x]]);
                out[tx] = std::uint8_t(m);
            } else {
                const Rgb c = source.pixel(x, y);
                const std::uint32_t key = std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
                auto [it, isNew] = mappedColours.try_emplace(key, 0);
                if (isNew)
                    it->second = nearestIndex(target, c);
                out[tx] = it->second;
            }
        }
    }
}

} // namespace corvane::imaging
