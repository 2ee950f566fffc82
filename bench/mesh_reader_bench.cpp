// Reading a 2000 x 2000-cell DXF surface (written by our own surface writer, about 0.7 GB)
// from memory into a mesh: parsing, extents and the triangle sort, as the mesh view loads it.
// Reports the bytes read per second, the size of the edge and triangle lists, and the
// process's peak resident memory (which includes the file's text held by the benchmark).
#include "mesh/dxf_mesh_reader.h"
#include "relief/dxf_surface.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

using namespace corvane;

namespace {

const std::string& surfaceText()
{
    static const std::string text = [] {
        relief::TZGrid grid(2001, 2001);
        std::mt19937 random(2000);
        for (auto& v : grid.cells)
            v = std::uint8_t(random() % 256);
        relief::ReliefParameters p;
        p.sizeX = p.sizeY = 20.01;
        p.stepX = p.stepY = 0.01;
        p.depth = 0.25;
        relief::StringSink sink;
        relief::WriteDxfSurface(sink, grid, p, silentRunControl());
        return std::move(sink.text);
    }();
    return text;
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void loadSurfaceMesh(benchmark::State& state)
{
    const std::string& text = surfaceText();
    std::size_t listBytes = 0, triangles = 0;
    for (auto _ : state) {
        FacetMesh mesh;
        mesh::LoadDxfMesh(mesh, text, "surface.dxf", silentRunControl());
        listBytes = mesh.edges.size() * sizeof(Edge) + mesh.triangles.size() * sizeof(Triangle);
        triangles = mesh.triangles.size();
        benchmark::DoNotOptimize(mesh.extents);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * text.size()));
    state.counters["fileMB"] = double(text.size()) / 1e6;
    state.counters["listsMB"] = double(listBytes) / 1e6;
    state.counters["triangles"] = double(triangles);
    state.counters["peakRssMB"] = peakResidentMegabytes();
}

// The same surface from a file on disk, as the mesh view and the command line read it:
// mapped, guarded against the file shrinking under the reader, and checked for a change
// after the reading. The file stays in the page cache between iterations.
void loadSurfaceMeshFile(benchmark::State& state)
{
    const std::string& text = surfaceText();
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("corvane-bench-" + std::to_string(::getpid()) + ".dxf");
    std::ofstream(path, std::ios::binary) << text;
    for (auto _ : state) {
        FacetMesh mesh;
        mesh::LoadDxfMeshFile(mesh, path.string(), silentRunControl());
        benchmark::DoNotOptimize(mesh.extents);
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(std::int64_t(state.iterations() * text.size()));
    state.counters["peakRssMB"] = peakResidentMegabytes();
}

} // namespace

// CPU time, not wall time: the work is single-threaded, and on a busy machine the wall clock
// measures the neighbours.
BENCHMARK(loadSurfaceMesh)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(loadSurfaceMeshFile)->Unit(benchmark::kMillisecond)->Iterations(3);
