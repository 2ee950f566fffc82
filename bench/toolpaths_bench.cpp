// The region engine at the sizes that matter: a 50-level topography over the surface of a
// 2000 x 1000 picture (about 4 million triangles), sliced by the block walk (on one thread
// and on two) and by the walk over every triangle; and the cutting order of 100,000 regions by the
// tree search and by the quadratic search, scattered and all on the same spot.
#include "toolpaths/optimize_toolpaths.h"
#include "toolpaths/slice_level.h"
#include "toolpaths/slice_levels.h"
#include "toolpaths/slice_work.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <random>

using namespace corvane;
using namespace corvane::toolpaths;

namespace {

// A picture-like relief: broad hills, with or without a grain of +-4 grey levels, grey
// levels 0 to 255, split into triangles as the raster grid does (two a cell, flat ones left
// out), sorted by lowest z. One surface is kept at a time: each takes about 300 MB.
TTriangleArray makeSurface(bool grain)
{
    const int cols = 2000, rows = 1000;
    std::mt19937 random(2000);
    std::vector<double> h(std::size_t(cols) * rows);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const double hills =
                std::sin(x * 0.013) * std::cos(y * 0.021) + 0.5 * std::sin((x + 2 * y) * 0.0071);
            h[std::size_t(y) * cols + x] = std::round(std::clamp(
                127.5 + 80 * hills + (grain ? double(random() % 9) - 4 : 0), 0.0, 255.0));
        }
    TTriangleArray list;
    list.reserve(std::size_t(2) * cols * rows);
    auto corner = [&](int x, int y) {
        return Point3D{double(x), double(rows - y), h[std::size_t(y) * cols + x]};
    };
    auto add = [&](Point3D a, Point3D b, Point3D c) {
        Triangle t{{a, b, c}};
        std::sort(t.c, t.c + 3, [](const Point3D& p, const Point3D& q) { return p.z < q.z; });
        if (t.c[0].z != t.c[2].z)
            list.push_back(t);
    };
    for (int y = 0; y + 1 < rows; ++y)
        for (int x = 0; x + 1 < cols; ++x) {
            add(corner(x, y), corner(x + 1, y), corner(x, y + 1));
            add(corner(x + 1, y + 1), corner(x + 1, y), corner(x, y + 1));
        }
    std::stable_sort(list.begin(), list.end(),
                     [](const Triangle& a, const Triangle& b) { return a.c[0].z < b.c[0].z; });
    return list;
}

const TTriangleArray& pictureSurface(bool grain)
{
    static TTriangleArray triangles;
    static int made = -1;
    if (made != int(grain)) {
        triangles = TTriangleArray();
        triangles = makeSurface(grain);
        made = int(grain);
    }
    return triangles;
}

constexpr int levelCount = 50;
constexpr double zStep = 5;

void cutLevels(benchmark::State& state, bool blocks, bool grain)
{
    const TTriangleArray& triangles = pictureSurface(grain);
    std::size_t segments = 0;
    for (auto _ : state) {
        const TriangleBlocks index = indexTriangleBlocks(triangles);
        segments = 0;
        for (int k = 1; k <= levelCount; ++k) {
            TMyEntityArray cut;
            CutSegments(triangles, blocks ? &index : nullptr, k * zStep, cut, silentRunControl());
            segments += cut.size();
        }
        benchmark::DoNotOptimize(segments);
    }
    state.counters["triangles"] = double(triangles.size());
    state.counters["segments"] = double(segments);
}

void sliceLevels(benchmark::State& state, bool blocks, bool grain)
{
    const TTriangleArray& triangles = pictureSurface(grain);
    std::size_t regions = 0;
    for (auto _ : state) {
        const TriangleBlocks index = indexTriangleBlocks(triangles);
        SliceWork work;
        TRegionArray list = newRegionList();
        for (int k = 1; k <= levelCount; ++k) {
            if (blocks)
                SliceAtLevel(triangles, index, list, k * zStep, silentRunControl(), work);
            else
                SliceAtLevelDirect(triangles, list, k * zStep, silentRunControl());
        }
        regions = regionCount(list);
        benchmark::DoNotOptimize(list);
    }
    state.counters["regions"] = double(regions);
}

// All levels at once, as a Topography Create slices them, on one thread or two.
void sliceLevelsTogether(benchmark::State& state, unsigned threads, bool grain)
{
    const TTriangleArray& triangles = pictureSurface(grain);
    std::vector<double> levels;
    for (int k = 1; k <= levelCount; ++k)
        levels.push_back(k * zStep);
    std::size_t regions = 0;
    for (auto _ : state) {
        const TriangleBlocks index = indexTriangleBlocks(triangles);
        TRegionArray list = newRegionList();
        SliceAtLevels(triangles, index, levels, list, silentRunControl(), threads,
                      [](std::size_t, std::size_t) { return true; });
        regions = regionCount(list);
        benchmark::DoNotOptimize(list);
    }
    state.counters["regions"] = double(regions);
}

TRegionArray scatteredRegions(std::size_t count)
{
    std::mt19937 random(100000);
    std::uniform_real_distribution<double> at(0, 1000), step(-1, 1);
    TRegionArray list = newRegionList();
    for (std::size_t i = 0; i < count; ++i) {
        const double x = at(random), y = at(random);
        TRegion r;
        r.open = true;
        r.entities.push_back(makeSegment(x, y, x + step(random), y + step(random)));
        r.entities.push_back(makeSegment(r.entities[0].x2, r.entities[0].y2, x, y + 1));
        recomputeBox(r);
        list.push_back(std::move(r));
    }
    return list;
}

void orderRegions(benchmark::State& state, bool tree)
{
    const TRegionArray list = scatteredRegions(std::size_t(state.range(0)));
    for (auto _ : state) {
        auto order = tree ? OptimizeToolpaths(list) : OptimizeToolpathsDirect(list);
        benchmark::DoNotOptimize(order);
    }
}

// The loops of a straight wall, one a level: every first segment the same, so every
// search ends in a tie among all the regions left.
void orderIdenticalLoops(benchmark::State& state, bool tree)
{
    TRegionArray list = newRegionList();
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        TRegion r;
        r.depth = double(i) * 0.01;
        const double corners[][2] = {{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}};
        for (std::size_t k = 1; k < 5; ++k)
            r.entities.push_back(
                makeSegment(corners[k - 1][0], corners[k - 1][1], corners[k][0], corners[k][1]));
        recomputeBox(r);
        list.push_back(std::move(r));
    }
    for (auto _ : state) {
        auto order = tree ? OptimizeToolpaths(list) : OptimizeToolpathsDirect(list);
        benchmark::DoNotOptimize(order);
    }
}

} // namespace

// The segments of every level only, then whole levels (segments chained into regions).
BENCHMARK_CAPTURE(cutLevels, blockWalkGrain, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cutLevels, directWalkGrain, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sliceLevels, blockWalkGrain, true, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(sliceLevels, directWalkGrain, false, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// Wall time beside the CPU time of both threads.
BENCHMARK_CAPTURE(sliceLevelsTogether, twoThreadsGrain, 2, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(cutLevels, blockWalkSmooth, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cutLevels, directWalkSmooth, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sliceLevels, blockWalkSmooth, true, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(sliceLevels, directWalkSmooth, false, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(sliceLevelsTogether, twoThreadsSmooth, 2, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(orderRegions, tree, true)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(orderRegions, quadratic, false)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(orderIdenticalLoops, tree, true)->Arg(100002)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(orderIdenticalLoops, quadratic, false)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
