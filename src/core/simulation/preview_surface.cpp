#include "simulation/preview_surface.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

PreviewSurface previewSurface(const Simulation& sim, int maxSide)
{
    const ZMap& carved = sim.carved;
    maxSide = std::max(maxSide, 2);
    const int k = std::max(1, (std::max(carved.rows, carved.cols) + maxSide - 1) / maxSide);
    PreviewSurface out;
    ZMap& map = out.heights;
    map.left = carved.left;
    map.top = carved.top;
    map.cell = carved.cell * k;
    map.rows = (carved.rows + k - 1) / k;
    map.cols = (carved.cols + k - 1) / k;
    map.heights.resize(std::size_t(map.rows) * map.cols);
    for (int r = 0; r < map.rows; ++r)
        for (int c = 0; c < map.cols; ++c)
            map.at(r, c) = carved.at(r * k, c * k);

    const bool compared = sim.deviation && sim.target.size() == carved.heights.size();
    if (!compared)
        return out;
    out.tolerance = sim.deviation->tolerance;
    out.deviation.assign(map.heights.size(), 0.0);
    for (int r = 0; r < carved.rows; ++r) {
        const std::size_t blockRow = std::size_t(r / k) * map.cols;
        for (int c = 0; c < carved.cols; ++c) {
            const std::size_t i = std::size_t(r) * carved.cols + c;
            const double d = carved.heights[i] - sim.target[i];
            double& worst = out.deviation[blockRow + c / k];
            if (std::abs(d) > std::abs(worst))
                worst = d;
        }
    }
    return out;
}

} // namespace corvane::simulation
