// What every picture reader's fuzz target checks: the reader answers a picture that holds
// together or our error, never a crash, a leak or a picture whose pixels and palette do not
// match its size and depth.
#pragma once

#include "common/error.h"
#include "imaging/byte_input.h"
#include "imaging/picture.h"
#include "imaging/read_job.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace corvane::imaging::fuzz {

// Enough for a few megapixels; a damaged header asking for more is refused as a real one
// beyond the free memory would be.
constexpr std::uint64_t memoryLimit = std::uint64_t(64) << 20;

inline void checkPicture(const Picture& p)
{
    const bool depthKnown = p.bitCount == 1 || p.bitCount == 4 || p.bitCount == 8 ||
                            p.bitCount == 16 || p.bitCount == 24;
    const bool paletteRight =
        p.indexed() ? p.palette.size() == std::size_t(1) << p.bitCount : p.palette.empty();
    if (p.empty() || !depthKnown || !paletteRight ||
        p.pixels.size() != p.rowStride() * std::size_t(p.height))
        std::abort();
    if (p.indexed())
        for (const std::uint8_t index : p.pixels)
            if (index >= p.palette.size())
                std::abort();
}

template <typename Reader> int readBytes(const std::uint8_t* data, std::size_t size, Reader reader)
{
    MemoryInput in(std::string_view(reinterpret_cast<const char*>(data), size));
    ReadJob job{in, "fuzz", silentRunControl(), memoryLimit};
    try {
        if (const std::optional<Picture> p = reader(job))
            checkPicture(*p);
    } catch (const Error&) {
    }
    return 0;
}

} // namespace corvane::imaging::fuzz
