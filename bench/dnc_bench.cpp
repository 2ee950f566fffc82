// Reading a 10-million-line raster program, as our raster writer writes it: from memory
// (the parse alone) and from a file (reading included). Set CORVANE_BENCH_DNC_FILE to a
// path to keep the program there, for timing other readers on the same file.
#include "dnc/dnc_reader.h"
#include "relief/raster_program.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace corvane;

namespace {

constexpr int Columns = 1000;
constexpr int Rows = 10000; // Columns x Rows feed moves, one line each

// A zigzag over a wavy surface: every move changes X and Z, every row end steps Y.
const std::string& rasterProgram()
{
    static const std::string text = [] {
        relief::StringSink sink;
        sink.write(relief::rasterProgramHeader("01/01/70 00:00:00", "bench.bmp", 800));
        relief::RasterProgramBody body(sink);
        for (int r = 0; r < Rows; ++r) {
            for (int k = 0; k < Columns; ++k) {
                const int c = r % 2 ? Columns - 1 - k : k;
                const double z = -double((c * 7 + r * 13) % 1000) / 400.0;
                body.add({relief::RasterFeed, c * 0.1, 1000.0 - r * 0.1, z});
            }
        }
        body.flush();
        return sink.text;
    }();
    return text;
}

// The reading as the program does it: for a file this size, with a helper thread faulting
// in the records' pages ahead of the reading.
void BM_ParseRasterProgram(benchmark::State& state)
{
    const std::string& text = rasterProgram();
    for (auto _ : state) {
        const dnc::DncProgram p = dnc::ParseDncProgram(text, silentRunControl());
        benchmark::DoNotOptimize(p.moves.data());
        state.counters["records"] = double(p.moves.size());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
// Wall time for the rate, and the CPU time of both threads beside it.
BENCHMARK(BM_ParseRasterProgram)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// Its twin with no helper thread: the rate on one core.
void BM_ParseRasterProgramOneThread(benchmark::State& state)
{
    const std::string& text = rasterProgram();
    for (auto _ : state) {
        const dnc::DncProgram p = dnc::ParseDncProgramOnOneThread(text, silentRunControl());
        benchmark::DoNotOptimize(p.moves.data());
        state.counters["records"] = double(p.moves.size());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_ParseRasterProgramOneThread)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadRasterProgramFile(benchmark::State& state)
{
    const char* keep = std::getenv("CORVANE_BENCH_DNC_FILE");
    const std::filesystem::path path =
        keep ? std::filesystem::path(keep)
             : std::filesystem::temp_directory_path() / "corvane-bench-raster.dnc";
    std::ofstream(path, std::ios::binary) << rasterProgram();
    for (auto _ : state) {
        const dnc::DncFile f = dnc::LoadDncProgram(path.string(), silentRunControl());
        benchmark::DoNotOptimize(f.program.moves.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(rasterProgram().size()));
    if (!keep)
        std::filesystem::remove(path);
}
BENCHMARK(BM_LoadRasterProgramFile)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace
