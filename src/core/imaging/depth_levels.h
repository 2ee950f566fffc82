// Between a 16-bit depth map and the 256 levels that the image commands, the palette kinds
// and most file kinds work in.
#pragma once

#include "imaging/picture.h"

#include <cstdint>

namespace corvane::imaging {

// The nearest of 256 levels to a 16-bit sample: round(v * 255 / 65535).
inline std::uint8_t levelOf16(std::uint16_t v)
{
    return std::uint8_t((unsigned(v) * 255 + 32767) / 65535);
}

// A 16-bit depth map as an 8-bit grey picture (grey ramp palette, each sample its nearest
// level), size and resolution kept. Any other picture comes back as it is.
Picture reducedTo256Levels(const Picture& picture);

// Why a command that works on 8 or 24 bits reduces a depth map first, for the CLI and the
// Confirm that asks before it.
inline constexpr const char* ReduceTo256LevelsMessage =
    "The picture is a 16-bit depth map; this command works on 256 levels, so it is reduced to "
    "256 levels first.";

} // namespace corvane::imaging
