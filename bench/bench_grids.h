// The two 1500 x 1500 pictures the program-writing benchmarks share: a smooth relief with
// ridges and steps (a dome, ripples, a checkerboard of raised squares), and random noise as
// the worst case.
#pragma once

#include "relief/zgrid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace bench_grids {

constexpr int Side = 1500;

inline corvane::relief::TZGrid reliefGrid()
{
    corvane::relief::TZGrid g(Side, Side);
    for (int r = 0; r < Side; ++r)
        for (int c = 0; c < Side; ++c) {
            const double x = double(c) / Side - 0.5, y = double(r) / Side - 0.5;
            double v = 200 * std::max(0.0, 1 - 4 * (x * x + y * y)); // a dome
            v += 30 * std::sin(40 * x) * std::cos(30 * y);           // ripples
            if ((r / 150 + c / 150) % 2 == 0)
                v += 25; // steps
            g[r][c] = std::uint8_t(std::clamp(v, 0.0, 255.0));
        }
    return g;
}

inline corvane::relief::TZGrid noiseGrid()
{
    corvane::relief::TZGrid g(Side, Side);
    std::mt19937 random(Side);
    for (auto& v : g.cells)
        v = std::uint8_t(random() % 256);
    return g;
}

} // namespace bench_grids
