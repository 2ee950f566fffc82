#include "relief/roughing_floor.h"

#include "relief/protect_moves.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace corvane::relief {

ToolProfile guardedTool(const ToolProfile& tool)
{
    ToolProfile wider = tool;
    wider.radius = tool.radius + ProgramResolution / 2;
    return wider;
}

namespace {

// out[c] = the largest of values[c − before .. c + after], clipped to the row.
void slidingMaximum(const TZGrid::Cell* values, int count, int before, int after,
                    std::vector<TZGrid::Cell>& out)
{
    out.assign(std::size_t(count), 0);
    std::deque<int> window; // indices, their values falling from front to back
    int next = 0;
    for (int c = 0; c < count; ++c) {
        for (; next < count && next <= c + after; ++next) {
            while (!window.empty() && values[window.back()] <= values[next])
                window.pop_back();
            window.push_back(next);
        }
        while (window.front() < c - before)
            window.pop_front();
        out[std::size_t(c)] = values[window.front()];
    }
}

// The grid rows within the tool's reach of Y = y, nearest first.
std::vector<int> rowsInReach(const SampleField& f, double radius, double y)
{
    const int rows = f.grid->rows;
    const double centre = (f.sizeY - y) / f.cellHeight, reach = radius / f.cellHeight;
    const int first = std::max(0, int(std::floor(centre - reach)));
    const int last = std::min(rows - 1, int(std::ceil(centre + reach)));
    std::vector<int> list;
    for (int r = first; r <= last; ++r)
        if (std::abs(y - f.y(r)) < radius)
            list.push_back(r);
    std::stable_sort(list.begin(), list.end(),
                     [&](int a, int b) { return std::abs(y - f.y(a)) < std::abs(y - f.y(b)); });
    return list;
}

} // namespace

std::vector<double> pieceFloors(const SampleField& f, const ToolProfile& tool, double y,
                                std::span<const double> xs, double stock)
{
    const TZGrid& g = *f.grid;
    const std::size_t pieces = xs.size() < 2 ? 0 : xs.size() - 1;
    std::vector<double> floors(pieces, NoCut);
    if (pieces == 0)
        return floors;
    std::vector<double> zOf(std::size_t(g.white) + 1);
    for (int v = 0; v <= g.white; ++v)
        zOf[std::size_t(v)] = f.z(v);
    const double r2 = tool.radius * tool.radius, w = f.cellWidth;
    std::vector<TZGrid::Cell> reachMax;
    for (const int r : rowsInReach(f, tool.radius, y)) {
        const double dy = y - f.y(r), dy2 = dy * dy;
        const double rise = heightAboveTip(tool, dy2); // the least height over this row
        const double halfChord = std::sqrt(std::max(0.0, r2 - dy2));
        // Cells in reach of piece c lie within halfChord of [xs[c], xs[c + 1]]; the window
        // is widened by a column each way against the rounding of the positions.
        const int k = int(std::ceil(halfChord / w)) + 1;
        const TZGrid::Cell* values = g[r];
        slidingMaximum(values, g.cols, k, k + 1, reachMax);
        for (std::size_t c = 0; c < pieces; ++c) {
            const int centre = std::clamp(int(std::lround(xs[c] / w)), 0, g.cols - 1);
            if (!(zOf[reachMax[std::size_t(centre)]] - rise > floors[c]))
                continue;
            const int lo = std::max(0, int(std::floor((xs[c] - halfChord) / w)));
            const int hi = std::min(g.cols - 1, int(std::ceil((xs[c + 1] + halfChord) / w)));
            double best = floors[c];
            for (int q = lo; q <= hi; ++q) {
                const double zq = zOf[values[q]];
                if (!(zq - rise > best))
                    continue;
                const double xq = f.x(q);
                const double dx = std::max({0.0, xs[c] - xq, xq - xs[c + 1]});
                const double d2 = dx * dx + dy2;
                if (d2 < r2)
                    best = std::max(best, zq - heightAboveTip(tool, d2));
            }
            floors[c] = best;
        }
    }
    for (double& v : floors)
        if (v != NoCut)
            v += stock;
    return floors;
}

std::vector<double> pieceFloorsReference(const SampleField& field, const ToolProfile& tool,
                                         double y, std::span<const double> xs, double stock)
{
    std::vector<double> floors;
    for (std::size_t c = 0; c + 1 < xs.size(); ++c) {
        const double cut = deepestCut(field, tool, {xs[c], y, 0, xs[c + 1], y, 0});
        floors.push_back(cut == NoCut ? NoCut : cut + stock);
    }
    return floors;
}

} // namespace corvane::relief
