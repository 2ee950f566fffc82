#include "imaging/plain_bmp_writer.h"

#include "common/error.h"
#include "imaging/file_limits.h"
#include "imaging/picture_io.h"
#include "imaging/rows_written.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::imaging {

namespace {

void put16(std::string& out, std::uint32_t v)
{
    out += char(v & 0xFF);
    out += char(v >> 8 & 0xFF);
}
void put32(std::string& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::uint32_t pixelsPerMetre(int pixelsPerInch)
{
    return std::uint32_t(std::lround(pixelsPerInch / 0.0254));
}

void packRow(const Picture& p, int y, std::vector<std::uint8_t>& out)
{
    std::fill(out.begin(), out.end(), 0);
    const std::uint8_t* in = p.row(y);
    switch (p.bitCount) {
    case 1:
        for (int x = 0; x < p.width; ++x)
            out[x >> 3] |= std::uint8_t((in[x] & 1) << (7 - (x & 7)));
        break;
    case 4:
        for (int x = 0; x < p.width; ++x)
            out[x >> 1] |= std::uint8_t((in[x] & 0x0F) << ((x & 1) ? 0 : 4));
        break;
    case 8:
        std::copy(in, in + p.width, out.begin());
        break;
    default:
        for (int x = 0; x < p.width; ++x) { // blue, green, red
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
}

} // namespace

void writePlainBmp(const Picture& p, AtomicFile& file, RunControl& control)
{
    const std::uint64_t stride = (std::uint64_t(p.width) * p.bitCount + 31) / 32 * 4;
    const std::uint32_t paletteBytes = p.indexed() ? 4u << p.bitCount : 0;
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    const std::uint64_t imageBytes = stride * std::uint64_t(p.height);
    if (const std::string problem = fileLimitProblem(FileTypeBmp, p.shape()); !problem.empty())
        throw Error(file.targetPath(), "picture is " + problem);

    std::string header;
    header += "BM";
    put32(header, std::uint32_t(offset + imageBytes));
    put32(header, 0);
    put32(header, offset);
    put32(header, 40);
    put32(header, std::uint32_t(p.width));
    put32(header, std::uint32_t(p.height)); // positive: bottom row first
    put16(header, 1);
    put16(header, std::uint32_t(p.bitCount));
    put32(header, 0); // uncompressed
    put32(header, std::uint32_t(imageBytes));
    put32(header, pixelsPerMetre(p.xRes));
    put32(header, pixelsPerMetre(p.yRes));
    put32(header, p.indexed() ? 1u << p.bitCount : 0);
    put32(header, 0);
    for (std::size_t i = 0; p.indexed() && i < (std::size_t(1) << p.bitCount); ++i) {
        const Rgb c = i < p.palette.size() ? p.palette[i] : Rgb{};
        header += {char(c.b), char(c.g), char(c.r), '\0'};
    }
    file.write(header);

    std::vector<std::uint8_t> row(stride);
    RowsWritten rows(control, file.targetPath(), p.height);
    for (int y = p.height - 1; y >= 0; --y) {
        packRow(p, y, row);
        file.write(reinterpret_cast<const char*>(row.data()), row.size());
        rows.advance(p.height - y);
    }
}

} // namespace corvane::imaging
