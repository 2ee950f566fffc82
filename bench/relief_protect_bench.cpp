// Writing the raster program of a 1500 x 1500 picture with and without Protect Moves: the
// whole Create (gouge control, passes, the protector, the file), side by side in one run;
// then the passes alone, unprotected and protected on one and on two threads.
// A 1/16 ball on cells of 0.01, Depth 0.25 in one pass; a smooth relief with ridges and
// steps, and random noise as the worst case. The wall time is what the user waits for; the
// CPU time counts every thread of the process.
#include "bench_grids.h"
#include "relief/collapse_rapids.h"
#include "relief/create_relief.h"
#include "relief/raster_passes.h"
#include "relief/raster_program.h"
#include "relief/two_thread_protector.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <optional>
#include <random>

using namespace corvane::relief;

namespace {

using bench_grids::noiseGrid;
using bench_grids::reliefGrid;
using bench_grids::Side;

ReliefParameters parameters(bool protect)
{
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
    return p;
}

void write(benchmark::State& state, bool noise, bool protect)
{
    static const TZGrid relief = reliefGrid(), noisy = noiseGrid();
    const TZGrid& grid = noise ? noisy : relief;
    const ReliefParameters p = parameters(protect);
    const std::string file =
        (std::filesystem::temp_directory_path() / "corvane_protect_bench.dnc").string();
    const CreateHooks hooks{[&] { return std::optional<std::string>(file); }, {}};
    for (auto _ : state)
        CreateRasterProgram(grid, p, "bench.bmp", corvane::silentRunControl(), hooks);
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}

// The stage the protector adds, apart from gouge control and the file: the passes
// formatted into memory with no protector (threads 0), or protected on one or two threads.
void passes(benchmark::State& state, bool noise)
{
    static const TZGrid relief = reliefGrid(), noisy = noiseGrid();
    const TZGrid& grid = noise ? noisy : relief;
    const int threads = int(state.range(0));
    const ReliefParameters p = parameters(threads > 0);
    TZGrid gouged = grid;
    applyGougeForRun(gouged, p, corvane::silentRunControl());
    TwoThreadProtector::Settings settings;
    settings.threads = threads;
    std::size_t bytes = 0;
    for (auto _ : state) {
        StringSink sink;
        RasterProgramBody body(sink);
        RapidCollapser collapser(body);
        std::optional<TwoThreadProtector> protector;
        if (threads > 0)
            protector.emplace(sampleField(grid, p.sizeX, p.sizeY, p.depth),
                              toolProfile(p.tool, p.toolDiameter, p.includedAngle), collapser,
                              MoveProtector::Path::Fast, settings);
        MoveSink& moves = protector ? static_cast<MoveSink&>(*protector) : collapser;
        GenerateRasterPasses(gouged, p, corvane::silentRunControl(), moves);
        if (protector)
            protector->finish();
        collapser.finish();
        body.flush();
        bytes = sink.text.size();
    }
    state.counters["bytes"] = double(bytes);
}

// Wall time, with the CPU time of both threads beside it.
void wallAndCpuTime(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

} // namespace

BENCHMARK_CAPTURE(write, Relief_Unprotected, false, false)->Apply(wallAndCpuTime);
BENCHMARK_CAPTURE(write, Relief_Protected, false, true)->Apply(wallAndCpuTime);
BENCHMARK_CAPTURE(write, Noise_Unprotected, true, false)->Apply(wallAndCpuTime);
BENCHMARK_CAPTURE(write, Noise_Protected, true, true)->Apply(wallAndCpuTime);
BENCHMARK_CAPTURE(passes, Relief, false)->Arg(0)->Arg(1)->Arg(2)->Apply(wallAndCpuTime);
BENCHMARK_CAPTURE(passes, Noise, true)->Arg(0)->Arg(1)->Arg(2)->Apply(wallAndCpuTime);
