#include "relief/stl_surface.h"

#include "common/error.h"
#include "relief/parameter_checks.h"
#include "relief/row_progress.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace corvane::relief {

namespace {

struct Vertex {
    float x, y, z;
};

constexpr std::size_t RecordBytes = 50;

// Triangles collected into blocks of about 1 MB before they go to the sink.
class StlWriter {
public:
    explicit StlWriter(ByteSink& out) : out_(out) { block_.reserve(BlockTriangles * RecordBytes); }
    ~StlWriter() = default;

    void add(const Vertex& a, const Vertex& b, const Vertex& c)
    {
        const double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
        const double vx = double(c.x) - a.x, vy = double(c.y) - a.y, vz = double(c.z) - a.z;
        double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (length > 0) {
            nx /= length;
            ny /= length;
            nz /= length;
        }
        const float record[12] = {float(nx), float(ny), float(nz), a.x, a.y, a.z,
                                  b.x,       b.y,       b.z,       c.x, c.y, c.z};
        const std::size_t at = block_.size();
        block_.resize(at + RecordBytes);
        char* p = block_.data() + at;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(p, record, sizeof record);
        } else {
            for (int i = 0; i < 12; ++i) {
                const std::uint32_t v = __builtin_bswap32(std::bit_cast<std::uint32_t>(record[i]));
                std::memcpy(p + 4 * i, &v, 4);
            }
        }
        p[48] = p[49] = 0;
        if (block_.size() >= BlockTriangles * RecordBytes)
            flush();
    }
    void flush()
    {
        out_.write({block_.data(), block_.size()});
        block_.clear();
    }

private:
    static constexpr std::size_t BlockTriangles = 20000;
    ByteSink& out_;
    std::vector<char> block_;
};

std::string header()
{
    std::string h = "Binary STL relief surface, closed with walls and a base";
    h.resize(80, ' ');
    return h;
}

} // namespace

std::uint64_t stlTriangleCount(int rows, int cols)
{
    const std::uint64_t r = std::uint64_t(rows), c = std::uint64_t(cols);
    const std::uint64_t boundary = 2 * (r - 1) + 2 * (c - 1);
    return 2 * (r - 1) * (c - 1) + 2 * boundary + boundary;
}

bool WriteStlSurface(ByteSink& out, const TZGrid& grid, const ReliefParameters& params,
                     double baseThickness, RunControl& control)
{
    if (grid.rows < 2 || grid.cols < 2)
        throw Error("an STL surface needs a picture of at least 2 x 2 pixels");
    checkSize(params.sizeX, "Size X");
    checkSize(params.sizeY, "Size Y");
    checkDepth(params.depth);
    if (!(baseThickness > 0) || !(float(baseThickness) > 0) || !(baseThickness <= 1e9))
        throw Error("Base Thickness must be a number greater than 0");
    const std::uint64_t triangles = stlTriangleCount(grid.rows, grid.cols);
    if (triangles > 0xFFFFFFFFu)
        throw Error("the relief needs " + std::to_string(triangles) +
                    " triangles, more than an STL file can count; use a smaller picture");

    const int rows = grid.rows, cols = grid.cols;
    std::vector<float> xs(static_cast<std::size_t>(cols)), ys(static_cast<std::size_t>(rows));
    for (int c = 0; c < cols; ++c)
        xs[std::size_t(c)] = float(c * params.sizeX / (cols - 1));
    for (int r = 0; r < rows; ++r)
        ys[std::size_t(r)] = float(params.sizeY - r * params.sizeY / (rows - 1));
    // Each of the white + 1 levels has one height.
    std::vector<float> heights(std::size_t(grid.white) + 1);
    for (int v = 0; v <= grid.white; ++v)
        heights[std::size_t(v)] = float(baseThickness + params.depth * v / grid.white);
    const auto top = [&](int r, int c) {
        return Vertex{xs[std::size_t(c)], ys[std::size_t(r)], heights[grid[r][c]]};
    };

    const std::string h = header();
    out.write(h);
    const auto count = std::uint32_t(triangles);
    const char countBytes[4] = {char(count & 0xFF), char(count >> 8 & 0xFF),
                                char(count >> 16 & 0xFF), char(count >> 24)};
    out.write({countBytes, 4});

    StlWriter writer(out);
    ProgressStride stride(0, std::max(1, rows / 20));
    for (int r = 0; r + 1 < rows; ++r) {
        if (stride.due(r)) {
            control.showProgress(ProgressDisplay::Dialog, int(static_cast<long long>(r) * 100 / rows));
            control.checkpoint();
            if (control.takeStopRequest() || control.escapePressed()) {
                control.endProgress(ProgressDisplay::Dialog);
                return false;
            }
        }
        for (int c = 0; c + 1 < cols; ++c) {
            const Vertex tl = top(r, c), tr = top(r, c + 1), bl = top(r + 1, c),
                         br = top(r + 1, c + 1);
            writer.add(tl, bl, br);
            writer.add(tl, br, tr);
        }
    }

    // The boundary counter-clockwise seen from above: the bottom row left to right, the right
    // column upwards, the top row right to left, the left column downwards.
    std::vector<Vertex> ring;
    ring.reserve(std::size_t(2 * (rows + cols)));
    for (int c = 0; c < cols - 1; ++c)
        ring.push_back(top(rows - 1, c));
    for (int r = rows - 1; r > 0; --r)
        ring.push_back(top(r, cols - 1));
    for (int c = cols - 1; c > 0; --c)
        ring.push_back(top(0, c));
    for (int r = 0; r < rows - 1; ++r)
        ring.push_back(top(r, 0));
    const Vertex centre{float(params.sizeX / 2), float(params.sizeY / 2), 0};
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Vertex a = ring[i], b = ring[(i + 1) % ring.size()];
        const Vertex aBase{a.x, a.y, 0}, bBase{b.x, b.y, 0};
        writer.add(a, aBase, bBase);
        writer.add(a, bBase, b);
        writer.add(centre, bBase, aBase);
    }
    writer.flush();
    control.endProgress(ProgressDisplay::Dialog);
    return true;
}

} // namespace corvane::relief
