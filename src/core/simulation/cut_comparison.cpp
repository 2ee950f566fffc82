#include "simulation/cut_comparison.h"

#include "common/error.h"
#include "common/round_half_even.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

ZMap zMapForTarget(const TargetRelief& target, double cell)
{
    if (!(target.sizeX > 0) || !(target.sizeY > 0))
        throw Error("the relief's size must be greater than 0");
    checkCellSize(cell);
    const double cols = std::max(1.0, std::round(target.sizeX / cell));
    const double rows = std::max(1.0, std::round(target.sizeY / cell));
    if (!(cols < 1e9 && rows < 1e9))
        throw Error("the cell size is too small for the relief's size");
    return makeZMap(0, target.sizeY, cell, (long long)rows, (long long)cols);
}

namespace {

int nearestIndex(double v, int count)
{
    if (!(v > 0))
        return 0;
    if (v >= count)
        return count - 1;
    return int(std::min<long long>(roundHalfEven(v), count - 1));
}

} // namespace

std::vector<double> targetHeights(const TargetRelief& target, const ZMap& map)
{
    const relief::TZGrid& g = target.grid;
    if (g.empty())
        throw Error("the target picture is empty");
    const double cpu = g.cols / target.sizeX, rpu = g.rows / target.sizeY;
    std::vector<double> heights(map.heights.size());
    for (int row = 0; row < map.rows; ++row) {
        const int r = nearestIndex((target.sizeY - map.y(row)) * rpu, g.rows);
        for (int col = 0; col < map.cols; ++col) {
            const int c = nearestIndex(map.x(col) * cpu, g.cols);
            heights[std::size_t(row) * map.cols + col] =
                -target.depth + target.depth * g[r][c] / double(g.white);
        }
    }
    return heights;
}

Deviation compareWithTarget(const ZMap& carved, const std::vector<double>& target, double tolerance)
{
    Deviation d;
    d.tolerance = tolerance;
    double sum = 0;
    std::size_t within = 0;
    for (int row = 0; row < carved.rows; ++row)
        for (int col = 0; col < carved.cols; ++col) {
            const std::size_t i = std::size_t(row) * carved.cols + col;
            const double dev = carved.heights[i] - target[i];
            sum += std::abs(dev);
            if (std::abs(dev) <= tolerance)
                ++within;
            if (-dev > d.largestGouge) {
                d.largestGouge = -dev;
                d.gougeX = carved.x(col), d.gougeY = carved.y(row);
            }
            if (dev > d.largestLeftover) {
                d.largestLeftover = dev;
                d.leftoverX = carved.x(col), d.leftoverY = carved.y(row);
            }
        }
    const double n = double(carved.heights.size());
    d.meanAbsolute = n > 0 ? sum / n : 0;
    d.withinTolerance = n > 0 ? double(within) / n : 1;
    return d;
}

DeviationColour deviationColour(double deviation, double tolerance)
{
    if (std::abs(deviation) <= tolerance)
        return {255, 255, 255};
    // At least a clear tint at the tolerance, full colour from ten tolerances on.
    const double scale = tolerance > 0 ? std::abs(deviation) / (10 * tolerance) : 1;
    const double strength = std::clamp(scale, 0.3, 1.0);
    const auto fade = std::uint8_t(std::lround(255 * (1 - strength)));
    if (deviation > 0)
        return {fade, fade, 255};
    return {255, fade, fade};
}

} // namespace corvane::simulation
