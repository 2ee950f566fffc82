#include "imaging/header_bit_count.h"

#include <array>
#include <cstdint>
#include <fstream>

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

int pngBitCount(const Header& h)
{
    constexpr int ihdrDepth = 24, ihdrColourType = 25, paletteColourType = 3;
    return h[ihdrColourType] == paletteColourType ? paletteDepth(h[ihdrDepth]) : 0;
}

} // namespace

int declaredPaletteBitCount(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    Header h{};
    if (!in.read(reinterpret_cast<char*>(h.data()), h.size()))
        return 0;
    if (h[0] == 'B' && h[1] == 'M')
        return bmpBitCount(h);
    if (h[0] == 0x0A && h[2] <= 1)
        return pcxBitCount(h);
    if (h[0] == 0x89 && h[1] == 'P' && h[2] == 'N' && h[3] == 'G')
        return pngBitCount(h);
    return 0;
}

} // namespace corvane::imaging
