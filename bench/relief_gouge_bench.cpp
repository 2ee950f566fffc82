// Gouge control on a 2048 x 2048 noisy grid: the plain sweep against the dilation, for the
// three tool shapes, side by side in one run.
#include "relief/gouge_control.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace corvane::relief;

namespace {

const TZGrid& noisyGrid()
{
    static const TZGrid grid = [] {
        TZGrid g(2048, 2048);
        std::mt19937 random(2048);
        for (auto& v : g.cells)
            v = std::uint8_t(random() % 256);
        return g;
    }();
    return grid;
}

// Diameter 0.31 on cells of 0.01: a 31 x 31 mask. Depth 0.25 (K = 1024).
TToolMask maskFor(ToolShape shape)
{
    return BuildToolMask(shape, 0.31, 0.01, 0.01, -0.25, 60);
}

void run(benchmark::State& state, ToolShape shape, bool direct)
{
    const TToolMask mask = maskFor(shape);
    for (auto _ : state) {
        state.PauseTiming();
        TZGrid grid = noisyGrid();
        state.ResumeTiming();
        if (direct)
            ApplyGougeControlDirect(grid, mask, corvane::silentRunControl());
        else
            ApplyGougeControl(grid, mask, corvane::silentRunControl());
        benchmark::DoNotOptimize(grid.cells.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(noisyGrid().cells.size()));
}

} // namespace

BENCHMARK_CAPTURE(run, BallMill_Direct, ToolShape::BallMill, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(run, BallMill_Fast, ToolShape::BallMill, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(run, EndMill_Direct, ToolShape::EndMill, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(run, EndMill_Fast, ToolShape::EndMill, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(run, VBit_Direct, ToolShape::VBit, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(run, VBit_Fast, ToolShape::VBit, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
