#include "imaging/header_bit_count.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace corvane::imaging {

namespace {

using Header = std::array<std::uint8_t, 80>;

unsigned littleEndian16(const Header& h, int at)
{
    return h[at] | unsigned(h[at + 1]) << 8;
}
unsigned littleEndian32(const Header& h, int at)
{
    return littleEndian16(h, at) | littleEndian16(h, at + 2) << 16;
}

int paletteDepth(unsigned bits)
{
    if (bits == 1)
        return 1;
    if (bits == 2 || bits == 4)
        return 4; // a 2-bit index is widened to the next depth we hold
    if (bits == 8)
        return 8;
    return 0;
}

int bmpBitCount(const Header& h)
{
    // The OS/2 header (12 bytes) keeps the count at 24, all Windows headers at 28.
    const unsigned infoSize = littleEndian32(h, 14);
    return paletteDepth(littleEndian16(h, infoSize == 12 ? 24 : 28));
}

int pcxBitCount(const Header& h)
{
    return paletteDepth(unsigned(h[3]) * h[65]);
}

} // namespace

int declaredPaletteBitCount(std::string_view header)
{
    Header h{};
    if (header.size() < h.size())
        return 0;
    std::memcpy(h.data(), header.data(), h.size());
    if (h[0] == 'B' && h[1] == 'M')
        return bmpBitCount(h);
    if (h[0] == 0x0A && h[2] <= 1)
        return pcxBitCount(h);
    return 0;
}

} // namespace corvane::imaging
