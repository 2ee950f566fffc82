// Painting the cut preview of a 2000 x 2000-cell simulation on an 800 x 600 panel in the
// isometric view: the blocks of the preview surface, shaded, and coloured by deviation.
#include "gui/draw3d/draw3d_panel.h"
#include "gui/simulation/surface_paint.h"
#include "simulation/preview_surface.h"

#include <benchmark/benchmark.h>
#include <cmath>

using namespace corvane;

namespace {

const simulation::PreviewSurface& bigSurface()
{
    static const simulation::PreviewSurface surface = [] {
        simulation::Simulation sim;
        sim.carved = simulation::makeZMap(0, 20, 0.01, 2000, 2000);
        sim.target.resize(sim.carved.heights.size());
        for (int r = 0; r < 2000; ++r)
            for (int c = 0; c < 2000; ++c) {
                const double z = -0.125 * (1 + std::sin(r * 0.013) * std::cos(c * 0.021));
                sim.carved.at(r, c) = z;
                sim.target[std::size_t(r) * 2000 + c] = z - 0.002 * std::sin(r * c * 1e-4);
            }
        sim.deviation = simulation::Deviation{};
        sim.deviation->tolerance = 0.0025;
        return simulation::previewSurface(sim, 600);
    }();
    return surface;
}

void paintPreview(benchmark::State& state, bool byDeviation)
{
    const simulation::PreviewSurface& surface = bigSurface();
    gui::TDraw3D panel;
    panel.resize(800, 600);
    panel.SetView({345, 300, 0, 100, 0, 0});
    Extents3D box = gui::surfaceExtents(surface);
    const gui::MeshViewScale view = gui::meshViewScale(box, 800, 600, panel.DrawingBottom());
    panel.SetPaintHandler([&](gui::TCanvas3D& canvas) {
        gui::drawCarvedSurface(canvas, surface, view, byDeviation);
    });
    for (auto _ : state)
        benchmark::DoNotOptimize(panel.PictureOnWhite());
    const std::int64_t faces =
        2 * std::int64_t(surface.heights.rows - 1) * (surface.heights.cols - 1);
    state.counters["faces"] = double(faces);
    state.SetItemsProcessed(state.iterations() * faces);
}

void shadedPreview(benchmark::State& state)
{
    paintPreview(state, false);
}

void deviationPreview(benchmark::State& state)
{
    paintPreview(state, true);
}

} // namespace

BENCHMARK(shadedPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(deviationPreview)->Unit(benchmark::kMillisecond);
