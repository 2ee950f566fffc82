// Writing a 2000 x 2000-cell DXF surface to memory: the streaming writer against the same
// loop formatting every number with snprintf("%.4f"), side by side in one run.
#include "relief/dxf_surface.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

using namespace corvane::relief;

namespace {

// Keeps the bytes the way a file's buffer would: copied into memory, then reused.
class MemorySink : public ByteSink {
public:
    void write(std::string_view bytes) override
    {
        if (buffer_.size() < bytes.size())
            buffer_.resize(bytes.size());
        std::memcpy(buffer_.data(), bytes.data(), bytes.size());
        total += bytes.size();
    }
    std::size_t total = 0;

private:
    std::vector<char> buffer_;
};

const TZGrid& surfaceGrid()
{
    static const TZGrid grid = [] {
        TZGrid g(2001, 2001);
        std::mt19937 random(2000);
        for (auto& v : g.cells)
            v = std::uint8_t(random() % 256);
        return g;
    }();
    return grid;
}

ReliefParameters surfaceParameters()
{
    ReliefParameters p;
    p.sizeX = p.sizeY = 20.01;
    p.stepX = p.stepY = 0.01;
    p.depth = 0.25;
    return p;
}

// The baseline: the textbook writer, every number through snprintf.
void writeWithSnprintf(ByteSink& out, const TZGrid& grid, const ReliefParameters& p)
{
    std::string block;
    char number[64];
    const auto put = [&](const char* code, double v) {
        block += code;
        block += "\r\n";
        std::snprintf(number, sizeof number, "%.4f", v);
        block += number;
        block += "\r\n";
    };
    const double cpu = grid.cols / p.sizeX, rpu = grid.rows / p.sizeY;
    const auto z = [&](int v) { return p.depth - v * p.depth / 255.0; };
    const auto nearest = [](double v) { return int(std::nearbyint(v)); };
    double y = 0;
    for (;;) {
        const int r0 = nearest(y * rpu);
        if (r0 >= grid.rows - 1)
            break;
        const int r1 = std::min(nearest((y + p.stepY) * rpu), grid.rows - 1);
        double x = 0;
        for (;;) {
            const int c0 = nearest(x * cpu);
            if (c0 >= grid.cols - 1)
                break;
            const int c1 = std::min(nearest((x + p.stepX) * cpu), grid.cols - 1);
            block += "0\r\n3DFACE\r\n";
            put("10", x);
            put("20", p.sizeY - y);
            put("30", z(grid[r0][c0]));
            put("11", x + p.stepX);
            put("21", p.sizeY - y);
            put("31", z(grid[r0][c1]));
            put("12", x + p.stepX);
            put("22", p.sizeY - y - p.stepY);
            put("32", z(grid[r1][c1]));
            put("13", x);
            put("23", p.sizeY - y - p.stepY);
            put("33", z(grid[r1][c0]));
            if (block.size() > (1 << 20)) {
                out.write(block);
                block.clear();
            }
            x += p.stepX;
        }
        y += p.stepY;
    }
    out.write(block);
}

void streamingWriter(benchmark::State& state)
{
    const ReliefParameters p = surfaceParameters();
    std::size_t bytes = 0;
    for (auto _ : state) {
        MemorySink sink;
        WriteDxfSurface(sink, surfaceGrid(), p, corvane::silentRunControl());
        bytes += sink.total;
    }
    state.SetBytesProcessed(std::int64_t(bytes));
}

void snprintfBaseline(benchmark::State& state)
{
    const ReliefParameters p = surfaceParameters();
    std::size_t bytes = 0;
    for (auto _ : state) {
        MemorySink sink;
        writeWithSnprintf(sink, surfaceGrid(), p);
        bytes += sink.total;
    }
    state.SetBytesProcessed(std::int64_t(bytes));
}

} // namespace

BENCHMARK(streamingWriter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(snprintfBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
