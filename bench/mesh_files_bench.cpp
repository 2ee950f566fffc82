// Mesh files and printable reliefs: reading a binary STL of 2 M triangles (about 100 MB) and
// of 20 M (1 GB) from memory into the mesh view's lists (sides, triangles, extents and the
// sort), that reader's key sort against its twin, the depth map of a 2 M-triangle mesh at
// 2000 x 2000 samples, and writing the STL solid of a 4000 x 4000 relief (about 1.6 GB) into
// a sink that only counts the bytes.
#include "common/pages_ahead.h"
#include "common/quick_sort_blocks.h"
#include "mesh/depth_map.h"
#include "mesh/lowest_z_partition.h"
#include "mesh/mesh_file_reader.h"
#include "mesh/stl_reader.h"
#include "relief/byte_sink.h"
#include "relief/stl_surface.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <random>
#include <thread>

using namespace corvane;

namespace {

// A wavy height field of n x n cells, two triangles a cell: 2 n^2 triangles.
std::vector<Point3D> waveMesh(int n)
{
    std::vector<Point3D> corners;
    corners.reserve(std::size_t(6) * n * n);
    const auto z = [&](int i, int j) { return std::sin(i * 0.05) * std::cos(j * 0.07) * 10; };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const Point3D a{double(i), double(j), z(i, j)}, b{i + 1.0, double(j), z(i + 1, j)},
                c{i + 1.0, j + 1.0, z(i + 1, j + 1)}, d{double(i), j + 1.0, z(i, j + 1)};
            corners.insert(corners.end(), {a, b, c, a, c, d});
        }
    return corners;
}

const std::vector<Point3D>& twoMillionTriangles()
{
    static const std::vector<Point3D> corners = waveMesh(1000);
    return corners;
}

// The binary STL of waveMesh(n): 2 n^2 triangles, 100 n^2 bytes.
std::string binaryStlOf(int n)
{
    std::string out(80, ' ');
    const auto count = std::uint32_t(2) * std::uint32_t(n) * std::uint32_t(n);
    out.append(reinterpret_cast<const char*>(&count), 4);
    out.reserve(84 + 50 * std::size_t(count));
    const auto z = [&](int i, int j) { return std::sin(i * 0.05) * std::cos(j * 0.07) * 10; };
    const auto add = [&](std::initializer_list<Point3D> corners) {
        float record[12] = {};
        int k = 3;
        for (const Point3D& p : corners) {
            record[k++] = float(p.x);
            record[k++] = float(p.y);
            record[k++] = float(p.z);
        }
        out.append(reinterpret_cast<const char*>(record), sizeof record);
        out.append(2, '\0');
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const Point3D a{double(i), double(j), z(i, j)}, b{i + 1.0, double(j), z(i + 1, j)},
                c{i + 1.0, j + 1.0, z(i + 1, j + 1)}, d{double(i), j + 1.0, z(i, j + 1)};
            add({a, b, c});
            add({a, c, d});
        }
    return out;
}

const std::string& binaryStl()
{
    static const std::string bytes = binaryStlOf(1000);
    return bytes;
}

// Reading into the mesh view's lists; freeing the lists of the mesh read is not timed (the
// view keeps them until it closes). Argument: waveMesh's n, 1000 for 100 MB, 3162 for 1 GB.
void BM_ReadBinaryStl(benchmark::State& state)
{
    const int n = int(state.range(0));
    static std::string big;
    if (n != 1000 && big.size() != 84 + 100 * std::size_t(n) * std::size_t(n))
        big = binaryStlOf(n);
    const std::string& bytes = n == 1000 ? binaryStl() : big;
    for (auto _ : state) {
        FacetMesh mesh;
        mesh::LoadMeshBytes(mesh, bytes, "stl", "bench.stl", silentRunControl());
        benchmark::DoNotOptimize(mesh.triangles.data());
        state.PauseTiming();
        mesh = FacetMesh{};
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

// Parsing alone, into a sink that keeps nothing: the reader's own speed.
void BM_ParseBinaryStl(benchmark::State& state)
{
    struct Count : mesh::TriangleSink {
        double sum = 0;
        void add(const Point3D& a, const Point3D&, const Point3D&) override { sum += a.z; }
    };
    const std::string& bytes = binaryStl();
    for (auto _ : state) {
        Count sink;
        mesh::readStl(bytes, "bench.stl", sink);
        benchmark::DoNotOptimize(sink.sum);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

// The lowest-z keys of waveMesh(n)'s triangles, in record order.
std::vector<mesh::LowestZKey> waveKeys(int n)
{
    std::vector<mesh::LowestZKey> keys;
    keys.reserve(2 * std::size_t(n) * std::size_t(n));
    const auto z = [&](int i, int j) {
        return float(std::sin(i * 0.05) * std::cos(j * 0.07) * 10);
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const float a = z(i, j), b = z(i + 1, j), c = z(i + 1, j + 1), d = z(i, j + 1);
            keys.push_back({std::min({a, b, c}), std::uint32_t(keys.size())});
            keys.push_back({std::min({a, c, d}), std::uint32_t(keys.size())});
        }
    return keys;
}

// The binary STL reader's key sort on one thread, with the AVX-512 partition (argument 1)
// and with its twin, the block partition (0); waveMesh's n as the second argument.
void BM_SortLowestZKeys(benchmark::State& state)
{
    const bool lanes = state.range(0) == 1;
    if (lanes && !mesh::lowestZLanesOffered()) {
        state.SkipWithError("no AVX-512 here");
        return;
    }
    const std::vector<mesh::LowestZKey> start = waveKeys(int(state.range(1)));
    const auto z = [](const mesh::LowestZKey& k) { return double(k.z); };
    const auto always = [](std::size_t) { return true; };
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<mesh::LowestZKey> keys = start;
        state.ResumeTiming();
        const auto last = std::ptrdiff_t(keys.size()) - 1;
        if (lanes)
            quickSortWith(keys, 0, last, z, always,
                          [](std::vector<mesh::LowestZKey>& v, std::ptrdiff_t lo, std::ptrdiff_t hi,
                             auto) { return mesh::partitionLowestZKeys(v, lo, hi); });
        else
            quickSortByBlocks(keys, 0, last, z, always);
        benchmark::DoNotOptimize(keys.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(start.size()));
}

// The floor under reading a 1 GB binary STL: faulting in the 4.3 GB of fresh memory its lists
// take (216 bytes a triangle) on two threads, with nothing else to do.
void BM_FaultInListsOf1GBStl(benchmark::State& state)
{
    const std::size_t bytes = std::size_t(20'000'000) * (3 * sizeof(Edge) + sizeof(Triangle));
    const std::atomic<bool> never{false};
    for (auto _ : state) {
        std::unique_ptr<char[]> room(new char[bytes]); // not written: fresh pages
        SharedPageFaults pages(room.get(), bytes);
        std::thread second([&] { pages.faultIn(never); });
        pages.faultIn(never);
        second.join();
        state.PauseTiming(); // freeing is not part of it
        room.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes));
}

void BM_DepthMap2000(benchmark::State& state)
{
    const std::vector<Point3D>& corners = twoMillionTriangles();
    for (auto _ : state) {
        const imaging::Picture map = mesh::renderDepthMap(corners, {0, 2000, false});
        benchmark::DoNotOptimize(map.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(corners.size() / 3));
}

void BM_WriteStl4000(benchmark::State& state)
{
    struct Counting : relief::ByteSink {
        std::size_t bytes = 0;
        void write(std::string_view b) override { bytes += b.size(); }
    };
    relief::TZGrid grid(4000, 4000, 0, relief::White16);
    std::mt19937 random(4000);
    for (auto& v : grid.cells)
        v = std::uint16_t(random());
    relief::ReliefParameters p;
    p.sizeX = p.sizeY = 400;
    p.depth = 25;
    std::size_t written = 0;
    for (auto _ : state) {
        Counting sink;
        relief::WriteStlSurface(sink, grid, p, relief::DefaultBaseThickness, silentRunControl());
        written = sink.bytes;
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(written));
}

} // namespace

BENCHMARK(BM_ReadBinaryStl)->Arg(1000)->Arg(3162)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SortLowestZKeys)
    ->ArgsProduct({{0, 1}, {1000, 3162}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_FaultInListsOf1GBStl)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseBinaryStl)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DepthMap2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteStl4000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
