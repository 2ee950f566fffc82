// Writing the raster program of a 1500 x 1500 picture with and without Protect Moves: the
// whole Create (gouge control, passes, the protector, the file), side by side in one run.
// A 1/16 ball on cells of 0.01, Depth 0.25 in one pass; a smooth relief with ridges and
// steps, and random noise as the worst case.
#include "relief/create_relief.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <random>

using namespace corvane::relief;

namespace {

constexpr int Side = 1500;

TZGrid reliefGrid()
{
    TZGrid g(Side, Side);
    for (int r = 0; r < Side; ++r)
        for (int c = 0; c < Side; ++c) {
            const double x = double(c) / Side - 0.5, y = double(r) / Side - 0.5;
            double v = 200 * std::max(0.0, 1 - 4 * (x * x + y * y)); // a dome
            v += 30 * std::sin(40 * x) * std::cos(30 * y);           // ripples
            if ((r / 150 + c / 150) % 2 == 0)
                v += 25; // steps
            g[r][c] = std::uint8_t(std::clamp(v, 0.0, 255.0));
        }
    return g;
}

TZGrid noiseGrid()
{
    TZGrid g(Side, Side);
    std::mt19937 random(Side);
    for (auto& v : g.cells)
        v = std::uint8_t(random() % 256);
    return g;
}

void write(benchmark::State& state, bool noise, bool protect)
{
    static const TZGrid relief = reliefGrid(), noisy = noiseGrid();
    const TZGrid& grid = noise ? noisy : relief;
    ReliefParameters p;
    p.sizeX = p.sizeY = Side * 0.01;
    p.stepX = p.stepY = 0.01;
    p.depth = p.depthPerPass = 0.25;
    p.feedRate = 10;
    p.rapidHeight = 0.1;
    p.useGougeControl = true;
    p.protectMoves = protect;
    p.tool = ToolShape::BallMill;
    p.toolDiameter = 0.0625;
    const std::string file =
        (std::filesystem::temp_directory_path() / "corvane_protect_bench.dnc").string();
    const CreateHooks hooks{[&] { return std::optional<std::string>(file); }, {}};
    for (auto _ : state)
        CreateRasterProgram(grid, p, "bench.bmp", corvane::silentRunControl(), hooks);
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}

} // namespace

BENCHMARK_CAPTURE(write, Relief_Unprotected, false, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Relief_Protected, false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Noise_Unprotected, true, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Noise_Protected, true, true)->Unit(benchmark::kMillisecond)->UseRealTime();
