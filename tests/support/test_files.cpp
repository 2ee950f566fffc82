#include "test_files.h"

#include <cstdint>

namespace corvane::testing {

std::string greyBmp(const std::vector<std::vector<int>>& rows)
{
    const int h = int(rows.size()), w = int(rows[0].size());
    const int stride = (w * 3 + 3) / 4 * 4;
    std::string data;
    for (int r = h - 1; r >= 0; --r) {
        std::string line;
        for (int v : rows[std::size_t(r)])
            line.append(3, char(v));
        line.resize(std::size_t(stride), '\0');
        data += line;
    }
    std::string header = "BM";
    const auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header += char((v >> (8 * i)) & 0xff);
    };
    const auto put16 = [&](std::uint16_t v) {
        header += char(v & 0xff);
        header += char(v >> 8);
    };
    put32(std::uint32_t(54 + data.size()));
    put32(0);
    put32(54);
    put32(40);
    put32(std::uint32_t(w));
    put32(std::uint32_t(h));
    put16(1);
    put16(24);
    put32(0);
    put32(std::uint32_t(data.size()));
    put32(3937);
    put32(3937);
    put32(0);
    put32(0);
    return header + data;
}

std::string pyramidDxf()
{
    const double corners[4][2] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    std::string dxf = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (int k = 0; k < 4; ++k) {
        const double* a = corners[k];
        const double* b = corners[(k + 1) % 4];
        const double points[4][3] = {{a[0], a[1], 0}, {b[0], b[1], 0}, {2, 2, 2}, {2, 2, 2}};
        dxf += "0\r\n3DFACE\r\n8\r\n0\r\n";
        for (int c = 0; c < 4; ++c)
            for (int axis = 0; axis < 3; ++axis)
                dxf += std::to_string(10 * (axis + 1) + c) + "\r\n" +
                       std::to_string(points[c][axis]) + "\r\n";
    }
    return dxf + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
}

} // namespace corvane::testing
