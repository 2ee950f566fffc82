// Writing the raster program of a 1500 x 1500 picture with and without Protect Moves: the
// whole Create (gouge control, passes, the protector, the file), side by side in one run.
// A 1/16 ball on cells of 0.01, Depth 0.25 in one pass; a smooth relief with ridges and
// steps, and random noise as the worst case. The wall time is what the user waits for; the
// CPU time counts every thread of the process.
#include "bench_grids.h"
#include "relief/create_relief.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <random>

using namespace corvane::relief;

namespace {

using bench_grids::noiseGrid;
using bench_grids::reliefGrid;
using bench_grids::Side;

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
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Relief_Protected, false, true)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Noise_Unprotected, true, false)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Noise_Protected, true, true)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
