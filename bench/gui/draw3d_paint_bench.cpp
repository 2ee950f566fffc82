// Painting a 2000 x 1000-cell mesh (about 10 million edges) on the 3D panel, as the mesh view
// paints it after a rotation: the full wire-frame in the isometric view, and the two
// rectangles drawn while the mouse drags the view.
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/mesh_paint.h"
#include "mesh/dxf_mesh_reader.h"
#include "relief/dxf_surface.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <random>

using namespace corvane;

namespace {

const FacetMesh& bigMesh()
{
    static const FacetMesh mesh = [] {
        relief::TZGrid grid(1001, 2001);
        std::mt19937 random(7);
        for (auto& v : grid.cells)
            v = std::uint8_t(random() % 256);
        relief::ReliefParameters p;
        p.sizeX = 20.01;
        p.sizeY = 10.01;
        p.stepX = p.stepY = 0.01;
        p.depth = 0.25;
        relief::StringSink sink;
        relief::WriteDxfSurface(sink, grid, p, silentRunControl());
        FacetMesh m;
        mesh::LoadDxfMesh(m, sink.text, "bench.dxf", silentRunControl());
        return m;
    }();
    return mesh;
}

void paintMesh(benchmark::State& state, bool boxOnly)
{
    FacetMesh mesh = bigMesh();
    gui::TDraw3D panel;
    panel.resize(800, 600);
    panel.SetView({345, 300, 0, 100, 0, 0});
    const gui::MeshViewScale view =
        gui::meshViewScale(mesh.extents, 800, 600, panel.DrawingBottom());
    panel.SetPaintHandler([&](gui::TCanvas3D& canvas) {
        if (boxOnly)
            gui::drawExtentsBox(canvas, view);
        else
            gui::drawEdges(canvas, mesh.edges, view);
    });
    for (auto _ : state)
        benchmark::DoNotOptimize(panel.PictureOnWhite());
    state.counters["edges"] = double(mesh.edges.size());
    state.SetItemsProcessed(std::int64_t(state.iterations() * (boxOnly ? 2 : mesh.edges.size())));
}

void fullWireFrame(benchmark::State& state)
{
    paintMesh(state, false);
}

void boxWhileDragging(benchmark::State& state)
{
    paintMesh(state, true);
}

} // namespace

// CPU time, not wall time: painting is single-threaded, and on a busy machine the wall clock
// measures the neighbours.
BENCHMARK(fullWireFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(boxWhileDragging)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
