#include "gui/simulation/surface_paint.h"

#include "simulation/cut_comparison.h"

#include <algorithm>
#include <cmath>

namespace corvane::gui {

namespace {

// Light from the upper left of the picture and above, fixed to the model so that a turned
// view shows the same relief; a quarter of the light reaches every face.
constexpr double LightX = -1, LightY = 1, LightZ = 2;
constexpr double Ambient = 0.25;

double lightOn(double nx, double ny, double nz)
{
    static const double lightLength =
        std::sqrt(LightX * LightX + LightY * LightY + LightZ * LightZ);
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 0))
        return 1;
    const double facing = (nx * LightX + ny * LightY + nz * LightZ) / (length * lightLength);
    return Ambient + (1 - Ambient) * std::max(0.0, facing);
}

QRgb shaded(simulation::DeviationColour c, double light)
{
    const auto channel = [light](std::uint8_t v) { return int(std::lround(v * light)); };
    return qRgb(channel(c.r), channel(c.g), channel(c.b));
}

} // namespace

Extents3D surfaceExtents(const simulation::PreviewSurface& surface)
{
    const simulation::ZMap& map = surface.heights;
    Extents3D e;
    e.minX = map.left;
    e.maxX = map.x(std::max(map.cols - 1, 0));
    e.maxY = map.top;
    e.minY = map.y(std::max(map.rows - 1, 0));
    if (!map.heights.empty()) {
        const auto [low, high] = std::minmax_element(map.heights.begin(), map.heights.end());
        e.minZ = *low;
        e.maxZ = *high;
    }
    e.rangeX = e.maxX - e.minX;
    e.rangeY = e.maxY - e.minY;
    return e;
}

void drawCarvedSurface(TCanvas3D& canvas, const simulation::PreviewSurface& surface,
                       const MeshViewScale& view, bool byDeviation)
{
    const simulation::ZMap& map = surface.heights;
    byDeviation = byDeviation && surface.deviation.size() == map.heights.size();
    const double s = view.scale, cell = map.cell;
    const auto point = [&](int r, int c) {
        return TCanvas3D::Point{map.x(c) * s, view.base - map.y(r) * s, map.at(r, c) * s};
    };
    const simulation::DeviationColour white{255, 255, 255};
    for (int r = 0; r + 1 < map.rows; ++r)
        for (int c = 0; c + 1 < map.cols; ++c) {
            const double h00 = map.at(r, c), h01 = map.at(r, c + 1);
            const double h10 = map.at(r + 1, c), h11 = map.at(r + 1, c + 1);
            const simulation::DeviationColour base =
                byDeviation
                    ? simulation::deviationColour(surface.deviation[std::size_t(r) * map.cols + c],
                                                  surface.tolerance)
                    : white;
            // Model y falls as the row grows. Face (00, 01, 11): slope along x from the top
            // edge, along y from the right edge; face (00, 11, 10) the other way round.
            const double upper = lightOn(-(h01 - h00) / cell, (h11 - h01) / cell, 1);
            const double lower = lightOn(-(h11 - h10) / cell, (h10 - h00) / cell, 1);
            const TCanvas3D::Point p00 = point(r, c), p01 = point(r, c + 1), p10 = point(r + 1, c),
                                   p11 = point(r + 1, c + 1);
            canvas.FillTriangle(p00, p01, p11, shaded(base, upper));
            canvas.FillTriangle(p00, p11, p10, shaded(base, lower));
        }
}

} // namespace corvane::gui
