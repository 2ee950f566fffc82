#include "relief/swept_envelope.h"

#include "relief/row_progress.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane::relief {

SampleField sampleField(const TZGrid& grid, double sizeX, double sizeY, double depth)
{
    SampleField field;
    field.grid = &grid;
    field.cellWidth = sizeX / grid.cols;
    field.cellHeight = sizeY / grid.rows;
    field.sizeY = sizeY;
    field.depth = depth;
    return field;
}

RowMaxima rowMaxima(const TZGrid& grid)
{
    RowMaxima m;
    m.cols = grid.cols;
    const std::vector<TZGrid::Cell>* previous = &grid.cells;
    for (int level = 1; level <= RowMaxima::Levels; ++level) {
        const int half = 1 << (level - 1);
        std::vector<TZGrid::Cell> next(grid.cells.size());
        for (int r = 0; r < grid.rows; ++r) {
            const TZGrid::Cell* from = previous->data() + std::size_t(r) * grid.cols;
            TZGrid::Cell* to = next.data() + std::size_t(r) * grid.cols;
            for (int c = 0; c < grid.cols; ++c)
                to[c] = c + half < grid.cols ? std::max(from[c], from[c + half]) : from[c];
        }
        m.levels.push_back(std::move(next));
        previous = &m.levels.back();
    }
    return m;
}

namespace {

// How far, in cells, a position may lie past a cell centre and still count as on it: the
// cell box is widened by that much against rounding, and the footprint table takes its
// distances twice that much short.
constexpr double OnCentre = 1e-6;

// The widest reach in columns the footprint table is read for (a tool of 64 cells across).
constexpr int MaxReach = 32;

// A margin far below any length we work with, against rounding in the bounds.
double slackOf(const ToolProfile& tool, double depth)
{
    return 1e-9 * (tool.radius + depth);
}

} // namespace

FootprintTable footprintTable(const SampleField& field, const ToolProfile& tool)
{
    FootprintTable t;
    t.perCol = 1 / field.cellWidth;
    t.perRow = 1 / field.cellHeight;
    const double r = tool.radius, r2 = r * r, slack = slackOf(tool, field.depth);
    // Cells i columns beyond the box lie at least (i − 2·OnCentre) cells away.
    const auto away = [](int cells, double size) {
        return std::max(0.0, cells - 2 * OnCentre) * size;
    };
    const auto inside = [&](double d2) { return d2 < r2 + slack; };
    while (inside(std::pow(away(t.reachCols + 1, field.cellWidth), 2)))
        ++t.reachCols;
    while (inside(std::pow(away(t.reachRows + 1, field.cellHeight), 2)))
        ++t.reachRows;
    const double greyPerUnit = field.grid->white / field.depth;
    for (int j = 0; j <= t.reachRows; ++j)
        for (int i = 0; i <= t.reachCols; ++i) {
            const double dx = away(i, field.cellWidth), dy = away(j, field.cellHeight);
            const double d2 = dx * dx + dy * dy;
            t.rise.push_back(inside(d2)
                                 ? heightAboveTip(tool, std::min(d2, r2)) * greyPerUnit - 1e-9
                                 : std::numeric_limits<double>::infinity());
        }
    const int widest = FootprintTable::MaxLanes - 2 * t.reachCols;
    for (int width = 1; width <= widest; ++width) {
        FootprintTable::Lanes lanes;
        lanes.count = width + 2 * t.reachCols;
        lanes.blocks = (lanes.count + FootprintTable::LaneBlock - 1) / FootprintTable::LaneBlock;
        const int stride = lanes.blocks * FootprintTable::LaneBlock;
        lanes.rise.assign(std::size_t(t.reachRows + 1) * std::size_t(stride),
                          FootprintTable::LaneNever);
        for (int j = 0; j <= t.reachRows; ++j)
            for (int k = 0; k < lanes.count; ++k) {
                const int offset = k - t.reachCols; // columns from the box's first
                const int i = std::max({0, -offset, offset - (width - 1)});
                const double rise = t.rise[std::size_t(j * (t.reachCols + 1) + i)];
                // Rounded down and capped: the lane's bound never exceeds the exact one.
                if (rise < FootprintTable::LaneNever)
                    lanes.rise[std::size_t(j * stride + k)] =
                        std::int16_t(std::max(-1.0, std::floor(rise)));
            }
        t.lanesByWidth.push_back(std::move(lanes));
    }
    return t;
}

namespace {

// The largest value of grid row `row` over columns first..last, more than 2^Levels of them.
int longRowMaximum(const TZGrid& grid, const RowMaxima& m, int row, int first, int last)
{
    const std::size_t base = std::size_t(row) * std::size_t(grid.cols);
    int best = 0;
    while (first <= last) {
        const int length = std::min(last - first + 1, 1 << RowMaxima::Levels);
        const int level = std::bit_width(unsigned(length)) - 1;
        const TZGrid::Cell* values = level == 0 ? grid.cells.data() : m.levels[level - 1].data();
        best = std::max(
            {best, int(values[base + first]), int(values[base + first + length - (1 << level)])});
        first += length;
    }
    return best;
}

// The largest value of grid row `row` over columns first..last (first <= last). Inline: a
// move asks it for every row its footprint covers.
inline int rowMaximum(const TZGrid& grid, const RowMaxima& m, int row, int first, int last)
{
    const int span = last - first + 1;
    if (span > 1 << RowMaxima::Levels)
        return longRowMaximum(grid, m, row, first, last);
    // The common case: two reads of one level.
    const std::size_t base = std::size_t(row) * std::size_t(grid.cols);
    const int level = std::bit_width(unsigned(span)) - 1;
    const TZGrid::Cell* values = level == 0 ? grid.cells.data() : m.levels[level - 1].data();
    return std::max(values[base + first], values[base + last + 1 - (1 << level)]);
}

// A grid index range [first, last] for positions lo..hi measured in cells, widened by a
// hair so that rounding never leaves out a cell; empty when it misses the grid.
struct IndexRange {
    int first = 0, last = -1;
};

IndexRange indexRange(double lo, double hi, int count)
{
    // Rounding by conversion, as the values lie within the grid once clamped (std::ceil and
    // std::floor are calls on the baseline instruction set); NaN takes the whole range.
    lo -= 1e-6;
    hi += 1e-6;
    int first = 0, last = count - 1;
    if (lo > 0) {
        if (!(lo < count))
            return {};
        first = int(lo);
        first += first < lo;
    }
    if (hi < count - 1) {
        if (!(hi >= 0))
            return {};
        last = int(hi);
    }
    if (first > last)
        return {};
    return {first, last};
}

// The cell box around [lo, hi] (positions in cells): from the last cell centre at or below
// lo to the first at or above hi, each within OnCentre. A cell i cells beyond it lies at
// least i − OnCentre cells from [lo, hi] (less rounding); a move between cell centres has
// its ends for the box. False when the positions lie far outside any grid.
bool cellBox(double lo, double hi, int& first, int& last)
{
    if (!(std::abs(lo) < 1e6 && std::abs(hi) < 1e6))
        return false;
    const double from = lo + OnCentre, to = hi - OnCentre;
    first = int(from) - (from < 0 && from != int(from)); // floor
    last = int(to) + (to > 0 && to != int(to));          // ceiling
    return true;
}

} // namespace

namespace {

std::uint32_t lanesInUse(const LaneRows& f)
{
    return f.lanes >= 32 ? ~std::uint32_t(0) : (std::uint32_t(1) << f.lanes) - 1;
}

// The lanes' rise row for row k: the rows above the box, the box's own, those below.
const std::int16_t* laneRise(const LaneRows& f, int k)
{
    const int j = k < f.boxFirst ? f.boxFirst - k : k > f.boxLast ? k - f.boxLast : 0;
    return f.rise + std::size_t(j * f.blocks * LaneRows::Block);
}

} // namespace

std::uint64_t laneMasksPlain(const LaneRows& f, std::uint32_t* masks)
{
    const std::uint32_t use = lanesInUse(f);
    std::uint64_t rows = 0;
    for (int k = 0; k < f.rows; ++k) {
        const TZGrid::Cell* values = f.cells + std::size_t(k) * f.stride;
        const std::int16_t* rise = laneRise(f, k);
        std::uint32_t mask = 0;
        for (int i = 0; i < f.blocks * LaneRows::Block; ++i)
            if (int(values[i]) > f.floorBase + rise[i])
                mask |= std::uint32_t(1) << i;
        masks[k] = mask & use;
        rows |= std::uint64_t(masks[k] != 0) << k;
    }
    return rows;
}

#if defined(__SSE2__)
namespace {

// Eight lanes a block. Cells and bounds are compared as signed 16-bit numbers less 32768;
// as floorBase >= 1 and every rise >= -1, a bound never saturates below, and one that
// saturates above (32767) is one no cell beats either way.
inline std::uint32_t laneBlockMask(const TZGrid::Cell* values, const std::int16_t* rise,
                                   __m128i base)
{
    const __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values)),
                                    _mm_set1_epi16(std::int16_t(-32768)));
    const __m128i bound =
        _mm_adds_epi16(base, _mm_loadu_si128(reinterpret_cast<const __m128i*>(rise)));
    const __m128i above = _mm_cmpgt_epi16(v, bound);
    return std::uint32_t(_mm_movemask_epi8(_mm_packs_epi16(above, above)) & 0xff);
}

std::uint64_t laneMasksSse2(const LaneRows& f, std::uint32_t* masks)
{
    const __m128i base = _mm_set1_epi16(std::int16_t(f.floorBase - 32768));
    const std::uint32_t use = lanesInUse(f);
    std::uint64_t rows = 0;
    const TZGrid::Cell* values = f.cells;
    if (f.blocks == 1) { // the common footprint, a tool up to 4 cells either side of a step
        // In locals, which the stores to masks cannot alter.
        const int count = f.rows, first = f.boxFirst, last = f.boxLast;
        const std::size_t stride = f.stride;
        const std::int16_t* rise = f.rise;
        for (int k = 0; k < count; ++k, values += stride) {
            const int j = k < first ? first - k : k > last ? k - last : 0;
            const std::uint32_t mask =
                laneBlockMask(values, rise + LaneRows::Block * j, base) & use;
            masks[k] = mask;
            rows |= std::uint64_t(mask != 0) << k;
        }
        return rows;
    }
    for (int k = 0; k < f.rows; ++k, values += f.stride) {
        const std::int16_t* rise = laneRise(f, k);
        std::uint32_t mask = laneBlockMask(values, rise, base);
        for (int b = 1; b < f.blocks; ++b)
            mask |= laneBlockMask(values + LaneRows::Block * b, rise + LaneRows::Block * b, base)
                    << (LaneRows::Block * b);
        masks[k] = mask & use;
        rows |= std::uint64_t(masks[k] != 0) << k;
    }
    return rows;
}

} // namespace
#endif

std::uint64_t laneMasks(const LaneRows& rows, std::uint32_t* masks)
{
#if defined(__SSE2__)
    return laneMasksSse2(rows, masks);
#else
    return laneMasksPlain(rows, masks);
#endif
}

namespace {

// Calls visit(qx, qy, zq) for each cell that may be cut deeper than ignoreBelow. Why the
// skips are safe: the tip never goes below zlow = min(z0, z1), and the distance from the
// move to a cell is at least its distance to the move's bounding box; the height grows with
// the distance. For a whole row the distance is at least the row's distance in Y. A cell
// that passes is then bounded once more, with the height replaced by a parabola below it:
// c·d² (c = 1/2R for the ball, whose height R − sqrt(R² − d²) = d² / (R + sqrt(R² − d²)) is
// at least d²/2R; c = k/R for the cone, as d <= R; 0 for the flat end). Along the move
// z(t) + c·d(t)² is a parabola in t whose least value takes no root.
template <bool Reference, class Visit>
void forCellsThatMayBeCut(const SampleField& f, const ToolProfile& tool, const TipSegment& m,
                          double ignoreBelow, Visit visit)
{
    const TZGrid& g = *f.grid;
    const double r = tool.radius, r2 = r * r;
    const double slack = slackOf(tool, f.depth);
    const double xlo = std::min(m.x0, m.x1), xhi = std::max(m.x0, m.x1);
    const double ylo = std::min(m.y0, m.y1), yhi = std::max(m.y0, m.y1);
    const double zlow = std::min(m.z0, m.z1);
    const double mx = m.x1 - m.x0, my = m.y1 - m.y0, mz = m.z1 - m.z0;
    const double a = mx * mx + my * my;
    const double c = tool.shape == ToolShape::BallMill ? 1 / (2 * r)
                     : tool.shape == ToolShape::VBit   ? tool.coneSlope / r
                                                       : 0;
    const bool along = a > 0 && c > 0;
    const double perA = along ? 1 / a : 0, shift = along ? mz / (2 * c * a) : 0;
    const auto parabolaFloor = [&](double qx, double qy) {
        const double wx = qx - m.x0, wy = qy - m.y0;
        const double w2 = wx * wx + wy * wy;
        if (!along)
            return zlow + c * w2;
        const double t0 = (wx * mx + wy * my) * perA;
        const double b2 = std::max(0.0, w2 - a * t0 * t0);
        const double t = std::clamp(t0 - shift, 0.0, 1.0);
        return m.z0 + mz * t + c * (a * (t - t0) * (t - t0) + b2);
    };
    const double white = g.white; // the stock's top
    const double greyPerUnit = white / f.depth;
    // The fast path. A cell it leaves out is provably cut no deeper than ignoreBelow (less
    // a hair), though it may bound a cell more tightly than the reference and list fewer:
    // the cells cut deeper are the same. The last test is made on the grey value itself,
    // with no division per cell, widened by far more than the rounding of either form.
    // v > (floor + ignoreBelow − slack + D) · greyPerUnit, widened by 1e-12 of the depth.
    const double greyBase = (ignoreBelow - slack - 1e-12 * f.depth + f.depth) * greyPerUnit;
    int cA = 0, cB = 0, rA = 0, rB = 0;
    if (!Reference && f.footprint && f.footprint->reachCols <= MaxReach &&
        cellBox(xlo * f.footprint->perCol, xhi * f.footprint->perCol, cA, cB) &&
        cellBox((f.sizeY - yhi) * f.footprint->perRow, (f.sizeY - ylo) * f.footprint->perRow, rA,
                rB)) {
        // Every cell bounded at once by its distance from the move's cell box, read from the
        // table: zq > zlow + height + ignoreBelow, in grey values.
        const FootprintTable& t = *f.footprint;
        const double base = (zlow + ignoreBelow - slack + f.depth) * greyPerUnit;
        const int colFirst = std::max(0, cA - t.reachCols);
        const int colLast = std::min(g.cols - 1, cB + t.reachCols);
        const int rowFirst = std::max(0, rA - t.reachRows);
        const int rowLast = std::min(g.rows - 1, rB + t.reachRows);
        if (colFirst > colLast)
            return;
        // The lanes serve a footprint whole within the grid, whose blocks stay within the
        // grid's cells, and a base of at least one level (a lower one is a tip at the
        // relief's floor or below, where the exact loop below is as quick).
        const bool whole = colFirst == cA - t.reachCols && colLast == cB + t.reachCols &&
                           rowFirst == rA - t.reachRows && rowLast == rB + t.reachRows;
        std::array<std::uint32_t, LaneRows::MaxRows> masks;
        std::uint64_t laneRows = 0; // the rows with lanes let through
        bool laned = false;
        if (whole && std::size_t(cB - cA) < t.lanesByWidth.size() &&
            rowLast - rowFirst < LaneRows::MaxRows && base >= 1 && base < white) {
            const FootprintTable::Lanes& lanes = t.lanesByWidth[std::size_t(cB - cA)];
            const std::size_t end = std::size_t(rowLast) * std::size_t(g.cols) +
                                    std::size_t(colFirst + lanes.blocks * LaneRows::Block);
            if (end <= g.cells.size()) {
                const LaneRows rows{
                    g[rowFirst] + colFirst, std::size_t(g.cols), rowLast - rowFirst + 1,
                    rA - rowFirst,          rB - rowFirst,       lanes.count,
                    lanes.blocks,           lanes.rise.data(),   int(base)};
                // Every cell the exact bound lets through, and few others: most rows drop
                // out here.
                laneRows = laneMasks(rows, masks.data());
                laned = true;
            }
        }
        // The cells of one row: with the lanes, those they let through (bit i for column
        // colFirst + i); without, every column, the row first bounded as a whole.
        const auto visitRow = [&](int row, std::uint32_t candidates) {
            const int j = std::max(0, std::max(rA - row, row - rB));
            const double* rise = t.rise.data() + std::size_t(j) * std::size_t(t.reachCols + 1);
            const double least = base + rise[0];
            if (!laned &&
                (!(least < white) ||
                 (f.maxima && !(rowMaximum(g, *f.maxima, row, colFirst, colLast) > least))))
                return;
            const TZGrid::Cell* values = g[row];
            const double qy = f.y(row);
            const double dy = std::max({0.0, ylo - qy, qy - yhi});
            const double dy2 = dy * dy;
            // values[col] > base + rise[i] as a comparison of integers: v > x <=> v > floor(x).
            const auto aboveAt = [&](int i) {
                const double x = std::min(base + rise[i], white);
                return x < 0 ? -1 : int(x);
            };
            const auto test = [&](int col) {
                const double qx = f.x(col);
                const double dx = std::max({0.0, xlo - qx, qx - xhi});
                if (dx * dx + dy2 < r2 + slack &&
                    values[col] > parabolaFloor(qx, qy) * greyPerUnit + greyBase)
                    visit(qx, qy, f.z(values[col]));
            };
            if (laned) {
                // The lanes in column order, each then held to its exact bound.
                while (candidates) {
                    const int col = colFirst + std::countr_zero(candidates);
                    candidates &= candidates - 1;
                    if (values[col] > aboveAt(std::max({0, cA - col, col - cB})))
                        test(col);
                }
                return;
            }
            std::array<int, MaxReach + 1> above;
            for (int i = 0; i <= t.reachCols; ++i)
                above[std::size_t(i)] = aboveAt(i);
            // Left of the box, under it, right of it: i = cA − col, 0, col − cB.
            const int left = std::min(cA - 1, colLast), right = std::max(cB + 1, colFirst);
            for (int col = colFirst; col <= left; ++col)
                if (values[col] > above[std::size_t(cA - col)])
                    test(col);
            for (int col = std::max(cA, colFirst); col <= std::min(cB, colLast); ++col)
                if (values[col] > above[0])
                    test(col);
            for (int col = right; col <= colLast; ++col)
                if (values[col] > above[std::size_t(col - cB)])
                    test(col);
        };
        if (laned) {
            for (; laneRows; laneRows &= laneRows - 1) {
                const int k = std::countr_zero(laneRows);
                visitRow(rowFirst + k, masks[std::size_t(k)]);
            }
        } else {
            for (int row = rowFirst; row <= rowLast; ++row)
                visitRow(row, 0);
        }
        return;
    }
    const IndexRange cols = indexRange((xlo - r) / f.cellWidth, (xhi + r) / f.cellWidth, g.cols);
    const IndexRange rows =
        indexRange((f.sizeY - yhi - r) / f.cellHeight, (f.sizeY - ylo + r) / f.cellHeight, g.rows);
    if (cols.first > cols.last) // the footprint misses the grid's columns: nothing to cut
        return;
    for (int row = rows.first; row <= rows.last; ++row) {
        const double qy = f.y(row);
        const double dy = std::max({0.0, ylo - qy, qy - yhi});
        const double dy2 = dy * dy;
        if (dy2 >= r2 + slack)
            continue;
        const double rowDistance2 = std::min(dy2, r2);
        // zq > zlow + rowBound + ignoreBelow, in grey values. The parabola below the profile
        // skips most rows before the exact height (a root for the ball and the cone) is
        // needed.
        double least = (zlow + ignoreBelow - slack + f.depth + c * rowDistance2) * greyPerUnit;
        if (!(least < g.white))
            continue;
        const int highest =
            f.maxima ? rowMaximum(g, *f.maxima, row, cols.first, cols.last) : g.white;
        if (!(highest > least))
            continue;
        least = (zlow + heightAboveTip(tool, rowDistance2) + ignoreBelow - slack + f.depth) *
                greyPerUnit;
        if (!(highest > least))
            continue;
        // values[col] > least as a comparison of integers (0 <= least < white here or below 0).
        const int above = least < 0 ? 0 : int(least) + 1;
        const TZGrid::Cell* values = g[row];
        for (int col = cols.first; col <= cols.last; ++col) {
            if (values[col] < above)
                continue;
            const double qx = f.x(col);
            const double dx = std::max({0.0, xlo - qx, qx - xhi});
            if (dx * dx + dy2 >= r2 + slack)
                continue;
            if constexpr (Reference) {
                const double zq = f.z(values[col]);
                if (zq - parabolaFloor(qx, qy) + slack > ignoreBelow)
                    visit(qx, qy, zq);
            } else if (values[col] > parabolaFloor(qx, qy) * greyPerUnit + greyBase) {
                visit(qx, qy, f.z(values[col]));
            }
        }
    }
}

} // namespace

double deepestCut(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                  double ignoreBelow)
{
    double deepest = NoCut;
    forCellsThatMayBeCut<false>(field, tool, move, ignoreBelow,
                                [&](double qx, double qy, double zq) {
                                    const double lowest = lowestSurfaceOver(tool, move, qx, qy);
                                    if (lowest != NeverUnderTool)
                                        deepest = std::max(deepest, zq - lowest);
                                });
    return deepest;
}

double deepestCutDense(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                       int samples)
{
    const TZGrid& g = *field.grid;
    const double r2 = tool.radius * tool.radius;
    double deepest = NoCut;
    for (int i = 0; i <= samples; ++i) {
        const double t = double(i) / samples;
        const double x = move.x0 + t * (move.x1 - move.x0);
        const double y = move.y0 + t * (move.y1 - move.y0);
        const double z = move.z0 + t * (move.z1 - move.z0);
        for (int row = 0; row < g.rows; ++row)
            for (int col = 0; col < g.cols; ++col) {
                const double dx = field.x(col) - x, dy = field.y(row) - y;
                const double d2 = dx * dx + dy * dy;
                if (d2 < r2)
                    deepest =
                        std::max(deepest, field.z(g[row][col]) - z - heightAboveTip(tool, d2));
            }
    }
    return deepest;
}

double safeTipHeight(const SampleField& field, const ToolProfile& tool, double x, double y)
{
    // Standing still at z = 0, the deepest cut is the height the tip must rise to.
    return deepestCut(field, tool, {x, y, 0, x, y, 0});
}

void cellsCutDeeper(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                    double depthAbove, std::vector<CutCell>& cells)
{
    forCellsThatMayBeCut<false>(field, tool, move, depthAbove,
                                [&](double qx, double qy, double zq) {
                                    const double lowest = lowestSurfaceOver(tool, move, qx, qy);
                                    if (lowest != NeverUnderTool && zq - lowest > depthAbove)
                                        cells.push_back({qx, qy, zq});
                                });
}

void cellsThatMayBeCut(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                       double ignoreBelow, std::vector<CutCell>& cells)
{
    forCellsThatMayBeCut<false>(field, tool, move, ignoreBelow,
                                [&](double qx, double qy, double zq) {
                                    cells.push_back({qx, qy, zq});
                                });
}

void cellsThatMayBeCutReference(const SampleField& field, const ToolProfile& tool,
                                const TipSegment& move, double ignoreBelow,
                                std::vector<CutCell>& cells)
{
    forCellsThatMayBeCut<true>(field, tool, move, ignoreBelow,
                               [&](double qx, double qy, double zq) {
                                   cells.push_back({qx, qy, zq});
                               });
}

double deepestCutOf(std::span<const CutCell> cells, const ToolProfile& tool, const TipSegment& move,
                    std::vector<double>* cuts)
{
    if (cuts)
        cuts->clear();
    double deepest = NoCut;
    for (const CutCell& q : cells) {
        const double lowest = lowestSurfaceOver(tool, move, q.x, q.y);
        const double cut = lowest != NeverUnderTool ? q.z - lowest : NoCut;
        deepest = std::max(deepest, cut);
        if (cuts)
            cuts->push_back(cut);
    }
    return deepest;
}

DeepestCut deepestCutOfMoves(const SampleField& field, const ToolProfile& tool,
                             std::span<const TipSegment> moves, RunControl& control)
{
    DeepestCut result;
    const long long n = static_cast<long long>(moves.size());
    ProgressStride stride(0, (n - 1) / 10);
    for (long long i = 0; i < n; ++i) {
        if (stride.due(i) && gaugePointStopsForEscape(control, i, n - 1)) {
            result.stopped = true;
            break;
        }
        result.depth =
            std::max(result.depth, deepestCut(field, tool, moves[std::size_t(i)], result.depth));
    }
    control.endProgress(ProgressDisplay::Gauge);
    return result;
}

} // namespace corvane::relief
