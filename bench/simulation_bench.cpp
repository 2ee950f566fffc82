// The cut simulation of a raster program made from a 2000 x 2000 picture (about 4 million
// feed moves, one pass, no gouge control) on a 2000 x 2000 map with a ball 31 cells across.
// The direct sweep visits every cell for every move, which would take hours on the whole
// program: it runs on a slice of the moves, and its time is scaled by the number of moves
// (the report's "direct_seconds_whole"). The slice is also swept the fast way and the two
// maps must be identical.
#include "simulation/cut_sweep.h"
#include "simulation/planned_program.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>

using namespace corvane;
using namespace corvane::simulation;

namespace {

constexpr int Side = 2000;
constexpr double Cell = 1.0;
constexpr std::size_t SliceMoves = 40;

const std::vector<ToolMove>& benchMoves()
{
    static const std::vector<ToolMove> moves = [] {
        relief::TZGrid grid(Side, Side);
        for (int r = 0; r < Side; ++r)
            for (int c = 0; c < Side; ++c)
                // A smooth relief with a one-step ripple, so every sample is a move.
                grid[r][c] =
                    std::uint8_t(128 + std::lround(100 * std::sin(c / 23.0) * std::cos(r / 31.0)) +
                                 ((r + c) & 1));
        relief::ReliefParameters p;
        p.sizeX = p.sizeY = Side * Cell;
        p.stepX = p.stepY = Cell;
        p.depth = p.depthPerPass = 100;
        p.feedRate = 800;
        p.rapidHeight = 5;
        const dnc::DncProgram program = plannedProgram(grid, p, silentRunControl());
        return toolMoves(program.moves, Cell);
    }();
    return moves;
}

Cutter ball()
{
    return makeCutter(relief::ToolShape::BallMill, 31 * Cell, 60);
}

ZMap freshMap()
{
    return makeZMap(0, Side * Cell, Cell, Side, Side);
}

void BM_SimulateRasterProgram(benchmark::State& state)
{
    const auto& moves = benchMoves();
    for (auto _ : state) {
        ZMap map = freshMap();
        SweepToolMoves(moves, ball(), map, silentRunControl());
        benchmark::DoNotOptimize(map.heights.data());
    }
    std::size_t feeds = 0;
    for (const ToolMove& m : moves)
        feeds += m.cuts;
    state.counters["feed_moves"] = double(feeds);
    state.counters["moves"] = double(moves.size());
}
BENCHMARK(BM_SimulateRasterProgram)->Unit(benchmark::kSecond)->Iterations(1);

// The same program's moves in the middle of the picture, both ways.
void BM_DirectSweepOnASlice(benchmark::State& state)
{
    const auto& all = benchMoves();
    const std::size_t first = all.size() / 2;
    const std::vector<ToolMove> slice(all.begin() + first, all.begin() + first + SliceMoves);
    double seconds = 0;
    for (auto _ : state) {
        ZMap direct = freshMap(), fast = freshMap();
        const auto start = std::chrono::steady_clock::now();
        SweepToolMovesDirectly(slice, ball(), direct);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        SweepToolMoves(slice, ball(), fast, silentRunControl());
        if (fast.heights != direct.heights)
            state.SkipWithError("the fast and the direct sweep disagree");
    }
    state.counters["slice_moves"] = double(SliceMoves);
    state.counters["direct_seconds_whole"] = seconds * double(all.size()) / double(SliceMoves);
}
BENCHMARK(BM_DirectSweepOnASlice)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
