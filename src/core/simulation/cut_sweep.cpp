#include "simulation/cut_sweep.h"

#include "simulation/move_rows.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

namespace corvane::simulation {

namespace {

// A rapid passing less than this below the surface only grazes it: programs carry their
// numbers to four decimals.
constexpr double CollisionMargin = 1e-6;

// One move over one cell. Returns true when a rapid would cut into it.
inline bool visitCell(const Cutter& cutter, const ToolMove& move, double& height, double x,
                      double y)
{
    const double lowest = std::min(move.segment.z0, move.segment.z1);
    if (height <= lowest) // the tool never reaches below its tip
        return false;
    const double z = lowestToolHeight(cutter, move.segment, x, y);
    if (move.cuts) {
        if (z < height)
            height = z;
        return false;
    }
    return z < height - CollisionMargin;
}

int clampIndex(double v, int limit)
{
    if (!(v > 0))
        return 0;
    return v >= limit ? limit : int(v);
}

// The cells a move can reach: its box widened by the tool's radius, with one cell of slack
// on each side (the cells themselves decide exactly).
struct Reach {
    int rowBegin, rowEnd, colBegin, colEnd;
};

Reach reachOf(const Segment& s, double r, const ZMap& map)
{
    return {clampIndex(std::floor((map.top - std::max(s.y0, s.y1) - r) / map.cell) - 1, map.rows),
            clampIndex(std::ceil((map.top - std::min(s.y0, s.y1) + r) / map.cell) + 2, map.rows),
            clampIndex(std::floor((std::min(s.x0, s.x1) - r - map.left) / map.cell) - 1, map.cols),
            // and room for rows widened to a multiple of four cells
            clampIndex(std::ceil((std::max(s.x0, s.x1) + r - map.left) / map.cell) + 5, map.cols)};
}

// The row loops take cells four at a time: a row whose length is a multiple of four has no
// leftover cells to take one by one, each as slow as four. The cells added lie beyond the
// tool's reach, where the loops leave them as they are.
int widenedEnd(int from, int to, int limit)
{
    const int widened = from + (to - from + 3) / 4 * 4;
    return widened <= limit ? widened : to;
}

// The half widths of the tool's reach on each row, kept while moves span the same y range
// (the moves of one raster line): NaN for a row passed over. A row's width holds for the
// range only when its stamp is the range's.
struct RowWidths {
    double yLow = 0, yHigh = 0;
    unsigned stamp = 0; // 0: no range yet
    struct Row {
        unsigned stamp = 0;
        double halfWidth = 0;
    };
    std::vector<Row> rows;
};

// Calls visit(row, y, from, to) for each row of [r0, r1) the move's tool reaches, with the
// columns [from, to) it can reach there.
template <class Visit>
void forEachRowUnder(const Segment& s, const Reach& box, double r, const ZMap& map, int r0, int r1,
                     RowWidths& widths, Visit visit)
{
    const double yLow = std::min(s.y0, s.y1), yHigh = std::max(s.y0, s.y1);
    if (widths.stamp == 0 || yLow != widths.yLow || yHigh != widths.yHigh) {
        widths.rows.resize(std::size_t(map.rows));
        widths.yLow = yLow;
        widths.yHigh = yHigh;
        ++widths.stamp;
    }
    const double xLow = std::min(s.x0, s.x1), xHigh = std::max(s.x0, s.x1);
    // Column bounds by a multiplication: a rounding of either way moves them by less than
    // the cell of slack they keep.
    const double perCell = 1 / map.cell;
    for (int row = r0; row < r1; ++row) {
        const double y = map.y(row);
        RowWidths::Row& width = widths.rows[std::size_t(row)];
        double& halfWidth = width.halfWidth;
        if (width.stamp != widths.stamp) {
            width.stamp = widths.stamp;
            // A spot within the radius of the segment lies within sqrt(r² − gap²) of its x
            // range, gap being the row's distance from the segment's y range: a disc's
            // width, not the box's, on each row. Whether a spot exactly on the rim is cut is
            // the cell's own test to decide (its rounding may put the spot a hair inside),
            // so a row is passed over only when it lies clearly beyond the radius, and a row
            // on the rim keeps the one-cell slack on either side.
            const double gap = y < yLow ? yLow - y : y > yHigh ? y - yHigh : 0;
            halfWidth = gap > r * (1 + 1e-9) ? std::numeric_limits<double>::quiet_NaN()
                                             : std::sqrt(std::max(0.0, r * r - gap * gap));
        }
        if (std::isnan(halfWidth))
            continue;
        // clampIndex truncates, which is floor for the numbers it keeps: the end is the cell
        // at or past the reach, and no cell beyond it lies within a cell of the reach.
        const int from = std::max(
            box.colBegin, clampIndex((xLow - halfWidth - map.left) * perCell - 1, map.cols));
        const int to = std::min(box.colEnd,
                                clampIndex((xHigh + halfWidth - map.left) * perCell + 2, map.cols));
        visit(row, y, from, widenedEnd(from, to, box.colEnd));
    }
}

// The moves [first, last) over rows [rowBegin, rowEnd); collision lines go to `lines`.
// reach[i - first] is the reach of move i.
void sweepBand(const std::vector<ToolMove>& moves, std::size_t first, std::size_t last,
               const std::vector<Reach>& reach, const Cutter& cutter, ZMap& map, int rowBegin,
               int rowEnd, std::vector<int>& lines)
{
    const double r = cutter.radius;
    RowScratch scratch;
    RowWidths widths;
    for (std::size_t i = first; i < last; ++i) {
        const Reach& box = reach[i - first];
        const int r0 = std::max(rowBegin, box.rowBegin), r1 = std::min(rowEnd, box.rowEnd);
        if (r0 >= r1)
            continue; // another band's move
        const ToolMove& move = moves[i];
        if (move.cuts) {
            MoveRows cut(cutter, move.segment, {map.left, map.cell}, box.colBegin, box.colEnd,
                         scratch);
            forEachRowUnder(move.segment, box, r, map, r0, r1, widths,
                            [&](int row, double y, int from, int to) {
                                cut.cut(row, y, &map.at(row, 0), from, to);
                            });
            continue;
        }
        bool collided = false;
        forEachRowUnder(move.segment, box, r, map, r0, r1, widths,
                        [&](int row, double y, int from, int to) {
                            double* heights = &map.at(row, 0);
                            for (int col = from; col < to; ++col)
                                collided |= visitCell(cutter, move, heights[col], map.x(col), y);
                        });
        if (collided)
            lines.push_back(move.line);
    }
}

void sortLines(std::vector<int>& lines)
{
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
}

} // namespace

namespace {

// One batch of moves, after the batches before it. The rows it reaches are cut into bands
// that two threads take in turn, each band with all the batch's moves in program order: a
// batch of a raster program reaches only a strip of the map, so halving the whole map
// would leave one thread idle, and taking bands in turn keeps both busy when another
// program holds a core for a while.
void sweepBatch(const std::vector<ToolMove>& moves, std::size_t first, std::size_t last,
                const Cutter& cutter, ZMap& map, std::vector<int>& upperLines,
                std::vector<int>& lowerLines)
{
    // Each move's reach once, for every band to look up.
    std::vector<Reach> reach(last - first);
    int rowBegin = map.rows, rowEnd = 0;
    for (std::size_t i = first; i < last; ++i) {
        reach[i - first] = reachOf(moves[i].segment, cutter.radius, map);
        rowBegin = std::min(rowBegin, reach[i - first].rowBegin);
        rowEnd = std::max(rowEnd, reach[i - first].rowEnd);
    }
    const int rows = rowEnd - rowBegin;
    if (rows < 2 || last - first <= 64) {
        sweepBand(moves, first, last, reach, cutter, map, rowBegin, rowEnd, upperLines);
        return;
    }
    // Every band scans the batch's moves for those that reach it: a few dozen bands keep
    // that scan small beside the cells.
    const int bands = std::clamp(rows / 8, 2, 32);
    std::atomic<int> nextBand{0};
    auto work = [&](std::vector<int>& lines) {
        for (int b = nextBand++; b < bands; b = nextBand++)
            sweepBand(moves, first, last, reach, cutter, map,
                      rowBegin + int(long(rows) * b / bands),
                      rowBegin + int(long(rows) * (b + 1) / bands), lines);
    };
    std::thread other([&] { work(lowerLines); });
    work(upperLines);
    other.join();
}

bool stopWanted(RunControl& control, int percent)
{
    control.showProgress(ProgressDisplay::Gauge, percent);
    control.checkpoint();
    return control.escapePressed() || control.takeStopRequest();
}

} // namespace

SweepResult SweepToolMoves(const std::vector<ToolMove>& moves, const Cutter& cutter, ZMap& map,
                           RunControl& control)
{
    SweepResult result;
    // Chunks of moves between progress points; each chunk runs on two threads.
    const std::size_t chunk = std::max<std::size_t>(moves.size() / 50, 1);
    std::vector<int> lowerLines;
    for (std::size_t first = 0; first < moves.size(); first += chunk) {
        const std::size_t last = std::min(moves.size(), first + chunk);
        sweepBatch(moves, first, last, cutter, map, result.collisionLines, lowerLines);
        if (stopWanted(control, int(last * 100 / moves.size()))) {
            result.stopped = true;
            break;
        }
    }
    control.endProgress(ProgressDisplay::Gauge);
    result.collisionLines.insert(result.collisionLines.end(), lowerLines.begin(), lowerLines.end());
    sortLines(result.collisionLines);
    return result;
}

SweepResult SweepProgram(const dnc::TGCodeArray& program, double cell, const Cutter& cutter,
                         ZMap& map, RunControl& control)
{
    SweepResult result;
    // About fifty progress points, and batches big enough to be worth two threads yet
    // small enough to hold: 65536 moves are a few megabytes.
    const std::size_t batchSize = std::clamp<std::size_t>(program.size() / 50, 4096, 65536);
    std::vector<int> lowerLines;
    forEachToolMoveBatch(
        program, cell, batchSize, [&](const std::vector<ToolMove>& batch, std::size_t done) {
            for (const ToolMove& m : batch)
                ++(m.cuts ? result.feedMoves : result.rapidMoves);
            sweepBatch(batch, 0, batch.size(), cutter, map, result.collisionLines, lowerLines);
            result.stopped = stopWanted(control, int(done * 100 / program.size()));
            return !result.stopped;
        });
    control.endProgress(ProgressDisplay::Gauge);
    result.collisionLines.insert(result.collisionLines.end(), lowerLines.begin(), lowerLines.end());
    sortLines(result.collisionLines);
    return result;
}

SweepResult SweepToolMovesDirectly(const std::vector<ToolMove>& moves, const Cutter& cutter,
                                   ZMap& map)
{
    SweepResult result;
    for (const ToolMove& move : moves) {
        bool collided = false;
        for (int row = 0; row < map.rows; ++row)
            for (int col = 0; col < map.cols; ++col)
                collided |= visitCell(cutter, move, map.at(row, col), map.x(col), map.y(row));
        if (collided)
            result.collisionLines.push_back(move.line);
    }
    sortLines(result.collisionLines);
    return result;
}

} // namespace corvane::simulation
