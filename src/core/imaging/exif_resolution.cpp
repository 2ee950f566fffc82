#include "imaging/exif_resolution.h"

#include "imaging/resolution.h"

#include <cstring>

namespace corvane::imaging {

namespace {

class TiffBytes {
public:
    TiffBytes(const std::uint8_t* data, std::size_t size, bool bigEndian)
        : data_(data), size_(size), bigEndian_(bigEndian)
    {
    }
    bool has(std::uint64_t at, std::uint64_t n) const { return at <= size_ && n <= size_ - at; }
    std::uint32_t u16(std::size_t at) const
    {
        return bigEndian_ ? std::uint32_t(data_[at]) << 8 | data_[at + 1]
                          : std::uint32_t(data_[at + 1]) << 8 | data_[at];
    }
    std::uint32_t u32(std::size_t at) const
    {
        return bigEndian_ ? u16(at) << 16 | u16(at + 2) : u16(at + 2) << 16 | u16(at);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool bigEndian_;
};

constexpr std::uint32_t tagXResolution = 0x011A, tagYResolution = 0x011B,
                        tagResolutionUnit = 0x0128, typeShort = 3, typeRational = 5;

double rational(const TiffBytes& t, std::uint32_t offset)
{
    if (!t.has(offset, 8))
        return 0;
    const std::uint32_t denominator = t.u32(offset + 4);
    return denominator ? double(t.u32(offset)) / denominator : 0;
}

} // namespace

ExifResolution exifResolution(const std::uint8_t* data, std::size_t size)
{
    if (size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return {};
    data += 6;
    size -= 6;
    const bool big = data[0] == 'M' && data[1] == 'M';
    if (!big && !(data[0] == 'I' && data[1] == 'I'))
        return {};
    const TiffBytes t(data, size, big);
    const std::uint32_t ifd = t.u32(4);
    if (!t.has(ifd, 2))
        return {};
    const std::uint32_t entries = t.u16(ifd);
    double x = 0, y = 0;
    ResolutionUnit unit = ResolutionUnit::PerInch; // the EXIF default
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint64_t at = std::uint64_t(ifd) + 2 + 12ull * i;
        if (!t.has(at, 12))
            break;
        const std::uint32_t tag = t.u16(at), type = t.u16(at + 2);
        if (tag == tagXResolution && type == typeRational)
            x = rational(t, t.u32(at + 8));
        else if (tag == tagYResolution && type == typeRational)
            y = rational(t, t.u32(at + 8));
        else if (tag == tagResolutionUnit && type == typeShort)
            unit = t.u16(at + 8) == 3   ? ResolutionUnit::PerCentimetre
                   : t.u16(at + 8) == 2 ? ResolutionUnit::PerInch
                                        : ResolutionUnit::None;
    }
    return {pixelsPerInch(x, unit), pixelsPerInch(y, unit)};
}

} // namespace corvane::imaging
