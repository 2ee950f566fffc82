// The operations that change each channel value on its own, through one lookup table a
// channel: applied to the palette of a palette picture (which keeps its depth) and to the
// pixels of a colour one.
#include "imaging/image_operations.h"
#include "imaging/operation_support.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace corvane::imaging {

namespace {

using Table = std::array<std::uint8_t, 256>;

struct ChannelTables {
    Table r, g, b;
};

Table identity()
{
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = std::uint8_t(i);
    return t;
}

std::uint8_t clampByte(long v)
{
    return std::uint8_t(std::clamp(v, 0L, 255L));
}

Picture mapped(const Picture& picture, const ChannelTables& t)
{
    Picture out = picture;
    if (out.indexed()) {
        for (Rgb& c : out.palette)
            c = {t.r[c.r], t.g[c.g], t.b[c.b]};
        return out;
    }
    std::uint8_t* p = out.pixels.data();
    const std::size_t n = std::size_t(out.width) * std::size_t(out.height);
    for (std::size_t i = 0; i < n; ++i, p += 3) {
        p[0] = t.r[p[0]];
        p[1] = t.g[p[1]];
        p[2] = t.b[p[2]];
    }
    return out;
}

// The table for the chosen channel(s); identity for the others.
ChannelTables onChannel(const Table& table, int channel)
{
    const Table same = identity();
    return {channel == ChannelRed || channel == ChannelAll ? table : same,
            channel == ChannelGreen || channel == ChannelAll ? table : same,
            channel == ChannelBlue || channel == ChannelAll ? table : same};
}

// Percent of full scale as a table that adds it; half-way values round to even.
Table offsetTable(int percent)
{
    const long offset = std::lrint(percent * 255.0 / 100.0);
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = clampByte(i + offset);
    return t;
}

} // namespace

Picture negative(const Picture& picture, int flags)
{
    detail::requireImage("negative", picture);
    detail::requireRange("negative", "flags", flags, 0, 0);
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = std::uint8_t(255 - i);
    return mapped(picture, {t, t, t});
}

Picture posterize(const Picture& picture, int bits)
{
    detail::requireImage("posterize", picture);
    detail::requireRange("posterize", "bits", bits, 1, 8);
    // Each value goes to the nearest of 2^bits evenly spread levels, so black and white stay.
    const int levels = 1 << bits;
    Table t{};
    for (int i = 0; i < 256; ++i) {
        const long level = std::lrint(i * (levels - 1) / 255.0);
        t[std::size_t(i)] = clampByte(std::lrint(level * 255.0 / (levels - 1)));
    }
    return mapped(picture, {t, t, t});
}

Picture adjustColor(const Picture& picture, int red, int green, int blue)
{
    detail::requireImage("adjust-color", picture);
    detail::requireRange("adjust-color", "red", red, -100, 100);
    detail::requireRange("adjust-color", "green", green, -100, 100);
    detail::requireRange("adjust-color", "blue", blue, -100, 100);
    return mapped(picture, {offsetTable(red), offsetTable(green), offsetTable(blue)});
}

Picture adjustBrightness(const Picture& picture, int amount, int channel)
{
    detail::requireImage("adjust-brightness", picture);
    detail::requireRange("adjust-brightness", "amount", amount, -100, 100);
    detail::requireRange("adjust-brightness", "channel", channel, 0, 3);
    return mapped(picture, onChannel(offsetTable(amount), channel));
}

Picture adjustContrast(const Picture& picture, int low, int high, int channel)
{
    detail::requireImage("adjust-contrast", picture);
    detail::requireRange("adjust-contrast", "low", low, 0, 254);
    detail::requireRange("adjust-contrast", "high", high, low + 1, 255);
    detail::requireRange("adjust-contrast", "channel", channel, 0, 3);
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = clampByte(std::lrint((i - low) * 255.0 / (high - low)));
    return mapped(picture, onChannel(t, channel));
}

Picture convertTo24Bit(const Picture& picture)
{
    detail::requireImage("convert-to-24-bit", picture);
    return detail::expandedTo24(picture);
}

} // namespace corvane::imaging
