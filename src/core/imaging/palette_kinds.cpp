#include "imaging/palette_kinds.h"

#include <algorithm>

namespace corvane::imaging {

bool hasGreyPalette(const Picture& picture)
{
    return picture.indexed() && std::all_of(picture.palette.begin(), picture.palette.end(),
                                            [](Rgb c) { return c.r == c.g && c.g == c.b; });
}

bool isGreyRamp(const Picture& picture)
{
    if (picture.bitCount != 8 || picture.palette.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if (picture.palette[std::size_t(i)] !=
            Rgb{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)})
            return false;
    return true;
}

bool isBlackAndWhite(const Picture& picture)
{
    if (picture.bitCount != 1 || picture.palette.size() != 2)
        return false;
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    const Rgb a = picture.palette[0], b = picture.palette[1];
    return (a == black && b == white) || (a == white && b == black);
}

} // namespace corvane::imaging
