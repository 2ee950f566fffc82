// Writing the roughing program of a 1500 x 1500 picture: the whole Create (gouge control for
// the finishing tool, the floors, the levels, the file). Cells of 0.01 (15 x 15 units),
// Depth 0.5; a 1/4 end mill and a 1/4 ball, Stock 0.02, Step Over 0.1, Step Down 0.1; a
// smooth relief with ridges and steps, and random noise as the worst case.
#include "bench_grids.h"
#include "relief/create_roughing.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <random>

using namespace corvane::relief;

namespace {

using bench_grids::noiseGrid;
using bench_grids::reliefGrid;
using bench_grids::Side;

void write(benchmark::State& state, bool noise, ToolShape roughingTool)
{
    static const TZGrid relief = reliefGrid(), noisy = noiseGrid();
    const TZGrid& grid = noise ? noisy : relief;
    ReliefParameters p;
    p.sizeX = p.sizeY = Side * 0.01;
    p.stepX = p.stepY = 0.01;
    p.depth = p.depthPerPass = 0.5;
    p.feedRate = 30;
    p.rapidHeight = 0.1;
    p.useGougeControl = true;
    p.tool = ToolShape::BallMill;
    p.toolDiameter = 0.125;
    RoughingParameters r = defaultRoughing(p);
    r.tool = roughingTool;
    r.stepDown = 0.1;
    const std::string file =
        (std::filesystem::temp_directory_path() / "corvane_roughing_bench.dnc").string();
    const CreateHooks hooks{[&] { return std::optional<std::string>(file); }, {}};
    long long feeds = 0;
    for (auto _ : state)
        feeds = CreateRoughingProgram(grid, p, r, "bench.bmp", corvane::silentRunControl(), hooks)
                    .run.feedMoves;
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    state.counters["feedMoves"] = double(feeds);
    std::filesystem::remove(file);
}

} // namespace

BENCHMARK_CAPTURE(write, Relief_EndMill, false, ToolShape::EndMill)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Relief_BallMill, false, ToolShape::BallMill)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Noise_EndMill, true, ToolShape::EndMill)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(write, Noise_BallMill, true, ToolShape::BallMill)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
