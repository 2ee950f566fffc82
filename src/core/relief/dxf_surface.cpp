#include "relief/dxf_surface.h"

#include "common/number_format.h"
#include "relief/row_progress.h"
#include "relief/sampling.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace corvane::relief {

namespace {

constexpr std::string_view dxfHead =
    "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1009\r\n"
    "0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nTABLES\r\n0\r\nENDSEC\r\n"
    "0\r\nSECTION\r\n2\r\nBLOCKS\r\n0\r\nENDSEC\r\n"
    "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
constexpr std::string_view dxfTrailer = "0\r\nENDSEC\r\n0\r\nEOF\r\n";

// A coordinate as it goes into the file: "%.4f" and the line end.
struct Number {
    char text[MaxFixedLength + 2];
    std::uint16_t length = 0;

    explicit Number(double v)
    {
        char* end = formatFixed(text, v, 4);
        *end++ = '\r';
        *end++ = '\n';
        length = std::uint16_t(end - text);
    }
};

// One cell of a band. Every band repeats the same x positions (x restarts at 0 and advances
// by the same additions), so they are formatted once for the whole mesh.
struct CellColumns {
    int left = 0, right = 0;
    Number xLeft, xRight;
};

std::vector<CellColumns> bandCells(const Sampling& s, int cols)
{
    std::vector<CellColumns> cells;
    double x = 0;
    for (int i = 0; i <= s.nx; ++i) {
        const int c0 = s.columnAt(x);
        if (c0 >= cols - 1)
            break;
        const int c1 = std::min(s.columnAt(x + s.stepX), cols - 1);
        cells.push_back({c0, c1, Number(x), Number(x + s.stepX)});
        x += s.stepX;
    }
    return cells;
}

// Fills a large block before handing it to the sink.
class BlockWriter {
public:
    explicit BlockWriter(ByteSink& out) : out_(out), block_(BlockSize) {}
    void put(std::string_view text)
    {
        std::memcpy(block_.data() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void put(const Number& n)
    {
        std::memcpy(block_.data() + used_, n.text, n.length);
        used_ += n.length;
    }
    // Makes room for `bytes` more.
    void reserve(std::size_t bytes)
    {
        if (used_ + bytes > block_.size())
            flush();
    }
    void flush()
    {
        if (used_)
            out_.write(std::string_view(block_.data(), used_));
        used_ = 0;
    }

    static constexpr std::size_t BlockSize = 1 << 20;

private:
    ByteSink& out_;
    std::vector<char> block_;
    std::size_t used_ = 0;
};

// The largest facet: fixed texts plus twelve numbers.
constexpr std::size_t MaxFacetBytes = 200 + 12 * (MaxFixedLength + 2);

} // namespace

std::uint64_t dxfFacetsMemory(int gridCols)
{
    return (std::uint64_t(gridCols) + 1) * sizeof(CellColumns) + 65536 * sizeof(Number) +
           BlockWriter::BlockSize;
}

void writeDxfHead(ByteSink& out)
{
    out.write(dxfHead);
}
void writeDxfTrailer(ByteSink& out)
{
    out.write(dxfTrailer);
}

bool writeDxfFacets(ByteSink& out, const TZGrid& grid, const ReliefParameters& params,
                    RunControl& control)
{
    const Sampling s = samplingFor(grid, params);
    const double depth = params.depth;
    // Only white + 1 heights exist (256, or 65536 for a depth map): format them once. v*D
    // first, then / white, as the height rule says.
    const double white = grid.white;
    std::vector<Number> heights;
    heights.reserve(std::size_t(grid.white) + 1);
    for (int v = 0; v <= grid.white; ++v)
        heights.emplace_back(depth - v * depth / white);
    const std::vector<CellColumns> cells = bandCells(s, grid.cols);

    BlockWriter writer(out);
    ProgressStride stride(s.ny / 20, s.ny / 10);
    bool completed = true;
    double y = 0;
    for (int k = 0; k <= s.ny; ++k) {
        const int r0 = s.rowAt(y);
        if (r0 >= grid.rows - 1)
            break;
        const int r1 = std::min(s.rowAt(y + s.stepY), grid.rows - 1);
        if (stride.due(k)) {
            control.showProgress(ProgressDisplay::Dialog,
                                 int(static_cast<long long>(r0) * 100 / grid.rows));
            control.checkpoint();
            if (control.takeStopRequest()) {
                completed = false;
                break;
            }
        }
        const Number yTop(s.sizeY - y);
        const Number yBottom(s.sizeY - y - s.stepY);
        const TZGrid::Cell* top = grid[r0];
        const TZGrid::Cell* bottom = grid[r1];
        for (const CellColumns& cell : cells) {
            writer.reserve(MaxFacetBytes);
            writer.put("0\r\n3DFACE\r\n10\r\n");
            writer.put(cell.xLeft);
            writer.put("20\r\n");
            writer.put(yTop);
            writer.put("30\r\n");
            writer.put(heights[top[cell.left]]);
            writer.put("11\r\n");
            writer.put(cell.xRight);
            writer.put("21\r\n");
            writer.put(yTop);
            writer.put("31\r\n");
            writer.put(heights[top[cell.right]]);
            writer.put("12\r\n");
            writer.put(cell.xRight);
            writer.put("22\r\n");
            writer.put(yBottom);
            writer.put("32\r\n");
            writer.put(heights[bottom[cell.right]]);
            writer.put("13\r\n");
            writer.put(cell.xLeft);
            writer.put("23\r\n");
            writer.put(yBottom);
            writer.put("33\r\n");
            writer.put(heights[bottom[cell.left]]);
        }
        y += s.stepY;
    }
    writer.flush();
    control.endProgress(ProgressDisplay::Dialog);
    return completed;
}

bool WriteDxfSurface(ByteSink& out, const TZGrid& grid, const ReliefParameters& params,
                     RunControl& control)
{
    writeDxfHead(out);
    const bool completed = writeDxfFacets(out, grid, params, control);
    writeDxfTrailer(out);
    return completed;
}

} // namespace corvane::relief
