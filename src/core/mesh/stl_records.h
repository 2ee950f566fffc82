// The fixed layout of binary STL, shared by the reader and the direct road into the mesh
// view's lists: an 80-byte header, a little-endian 32-bit triangle count, then 50 bytes a
// triangle (a normal, three corners of three 32-bit floats, two attribute bytes).
#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace corvane::mesh::stl {

inline constexpr std::size_t HeaderBytes = 84;
inline constexpr std::size_t RecordBytes = 50;
inline constexpr std::size_t CornersOffset = 12;  // after the normal
inline constexpr std::size_t EscStride = 1 << 20; // triangles between looks at Esc

inline std::uint32_t littleEndian32(const char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap32(v);
    return v;
}

inline float littleEndianFloat(const char* p)
{
    return std::bit_cast<float>(littleEndian32(p));
}

// The announced triangle count; the bytes must hold the header.
inline std::uint32_t triangleCount(const char* bytes)
{
    return littleEndian32(bytes + 80);
}

// x, y, z of the three corners of the record that starts at `record`.
inline void recordCorners(const char* record, float (&v)[9])
{
    for (int i = 0; i < 9; ++i)
        v[i] = littleEndianFloat(record + CornersOffset + 4 * i);
}

// One test for all nine: a sum of finite floats in double is finite.
inline bool allFinite(const float (&v)[9])
{
    const double sum = double(v[0]) + v[1] + v[2] + v[3] + v[4] + v[5] + v[6] + v[7] + v[8];
    return std::isfinite(sum);
}

// Throws corvane::Error naming the file and the triangle (counted from 0 here, from 1 in
// the message).
[[noreturn]] void notFinite(const std::string& fileName, std::size_t triangle);

} // namespace corvane::mesh::stl
