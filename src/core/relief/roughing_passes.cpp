#include "relief/roughing_passes.h"

#include "relief/protect_moves.h"
#include "relief/roughing_floor.h"
#include "relief/row_progress.h"
#include "relief/swept_envelope.h"
#include "relief/tool_profile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace corvane::relief {

namespace {

// z rounded up to the program's last digit: the written level never lies below its floor.
double upToLastDigit(double z)
{
    return writtenValue(std::ceil(z / ProgramResolution - 1e-6) * ProgramResolution);
}

double deepestPoint(const TZGrid& grid, double depth)
{
    const TZGrid::Cell lowest = *std::min_element(grid.cells.begin(), grid.cells.end());
    return -depth + depth * lowest / double(grid.white);
}

// The Y of the rows, top down: SizeY, SizeY − StepOver, ..., the last at the lowest grid row.
std::vector<double> rowHeights(const SampleField& f, int gridRows, double stepOver)
{
    const double lowest = f.y(gridRows - 1);
    std::vector<double> ys;
    for (long long k = 0;; ++k) {
        const double y = f.sizeY - double(k) * stepOver;
        ys.push_back(writtenValue(std::max(y, lowest)));
        if (!(y > lowest))
            break;
    }
    return ys;
}

// A span of pieces first..last (inclusive) of a row.
struct Span {
    int first = 0, last = 0;
};

class RoughingWriter {
public:
    RoughingWriter(const SampleField& field, const ToolProfile& tool, const RoughingParameters& r,
                   double rapid, MoveSink& out)
        : field_(field), tool_(tool), stock_(r.stockToLeave), linkLimit_(2 * r.toolDiameter),
          rapid_(rapid), out_(out)
    {
    }

    void start() { emit(RasterRapid, 0, 0, rapid_); }

    // One row of a level, spans in the order they are cut.
    void row(const std::vector<double>& xs, double y, const std::vector<Span>& spans, bool forward,
             double level, double above)
    {
        for (const Span& s : spans) {
            const double from = forward ? xs[std::size_t(s.first)] : xs[std::size_t(s.last) + 1];
            const double to = forward ? xs[std::size_t(s.last) + 1] : xs[std::size_t(s.first)];
            if (!(down_ && canLink(from, y, level))) {
                lift();
                emit(RasterRapid, from, y, rapid_);
                emit(RasterRapid, from, y, above);
                emit(RasterFeed, from, y, level);
            } else {
                emit(RasterFeed, from, y, level);
            }
            emit(RasterFeed, to, y, level);
            down_ = true;
        }
    }

    void lift()
    {
        if (down_)
            emit(RasterRapid, x_, y_, rapid_);
        down_ = false;
    }

    long long feedMoves() const { return feedMoves_; }

private:
    bool canLink(double x, double y, double level) const
    {
        if (y == y_) // spans of one row are apart because the pieces between them cut
            return false;
        const double dx = x - x_, dy = y - y_;
        if (dx * dx + dy * dy > linkLimit_ * linkLimit_)
            return false;
        return deepestCut(field_, tool_, {x_, y_, level, x, y, level}, -stock_) <= -stock_;
    }

    void emit(RasterMoveKind kind, double x, double y, double z)
    {
        if (kind == RasterFeed)
            ++feedMoves_;
        out_.add({kind, x, y, z});
        x_ = x, y_ = y;
    }

    const SampleField& field_;
    const ToolProfile tool_;
    const double stock_, linkLimit_, rapid_;
    MoveSink& out_;
    double x_ = 0, y_ = 0;
    bool down_ = false;
    long long feedMoves_ = 0;
};

} // namespace

std::vector<double> roughingLevels(double deepest, double stock, double stepDown)
{
    const double bottom = upToLastDigit(deepest + stock);
    std::vector<double> levels;
    if (!(bottom < 0))
        return levels;
    for (long long k = 1;; ++k) {
        const double z = upToLastDigit(-double(k) * stepDown);
        if (!(z > bottom)) {
            levels.push_back(bottom);
            break;
        }
        if (levels.empty() || z < levels.back())
            levels.push_back(z);
    }
    return levels;
}

RoughingRun GenerateRoughingPasses(const TZGrid& grid, const ReliefParameters& relief,
                                   const RoughingParameters& roughing, RunControl& control,
                                   MoveSink& moves)
{
    RoughingRun run;
    const std::vector<double> levels =
        grid.empty() || relief.depth == 0
            ? std::vector<double>{}
            : roughingLevels(deepestPoint(grid, relief.depth), roughing.stockToLeave,
                             roughing.stepDown);
    const RowMaxima maxima = levels.empty() ? RowMaxima{} : rowMaxima(grid);
    SampleField field = sampleField(grid, relief.sizeX, relief.sizeY, relief.depth);
    field.maxima = levels.empty() ? nullptr : &maxima;
    const ToolProfile tool =
        guardedTool(toolProfile(roughing.tool, roughing.toolDiameter, roughing.includedAngle));

    RoughingWriter writer(field, tool, roughing, relief.rapidHeight, moves);
    writer.start();
    std::vector<double> xs;
    std::vector<double> ys;
    // deepest[k][c]: how many levels piece c of row k may be cut at (a prefix of the levels).
    std::vector<std::vector<std::uint16_t>> deepest;
    if (!levels.empty()) {
        for (int c = 0; c < grid.cols; ++c)
            xs.push_back(writtenValue(field.x(c)));
        ys = rowHeights(field, grid.rows, roughing.stepOver);
        control.showStatus("Finding the roughing levels...");
        const long long n = static_cast<long long>(ys.size());
        ProgressStride stride(0, n / 10);
        for (long long k = 0; k < n; ++k) {
            if (stride.due(k)) {
                control.showProgress(ProgressDisplay::Dialog, int(k * 100 / n));
                control.checkpoint();
                if (control.takeStopRequest() || control.escapePressed()) {
                    control.endProgress(ProgressDisplay::Dialog);
                    return run;
                }
            }
            const std::vector<double> floors =
                pieceFloors(field, tool, ys[std::size_t(k)], xs, roughing.stockToLeave);
            std::vector<std::uint16_t>& counts = deepest.emplace_back(floors.size());
            for (std::size_t c = 0; c < floors.size(); ++c) {
                // levels fall: the allowed ones are those at or above the floor
                const auto end = std::upper_bound(levels.begin(), levels.end(), floors[c],
                                                  [](double f, double z) { return f > z; });
                counts[c] = std::uint16_t(std::min<std::ptrdiff_t>(end - levels.begin(), 65535));
            }
        }
    }

    control.showStatus("Roughing...");
    bool forward = true;
    std::vector<Span> spans;
    for (std::size_t l = 0; l < levels.size(); ++l) {
        control.showStatus("Level " + std::to_string(l + 1));
        control.checkpoint();
        if (control.takeStopRequest() || control.escapePressed()) {
            control.endProgress(ProgressDisplay::Dialog);
            return run;
        }
        const double level = levels[l], above = l == 0 ? 0.0 : levels[l - 1];
        const bool down = l % 2 == 0;
        const long long feedsBefore = writer.feedMoves();
        for (std::size_t i = 0; i < ys.size(); ++i) {
            const std::size_t k = down ? i : ys.size() - 1 - i;
            const std::vector<std::uint16_t>& counts = deepest[k];
            spans.clear();
            for (int c = 0; c < int(counts.size()); ++c) {
                if (counts[std::size_t(c)] <= l)
                    continue;
                if (!spans.empty() && spans.back().last == c - 1)
                    spans.back().last = c;
                else
                    spans.push_back({c, c});
            }
            if (spans.empty())
                continue;
            if (!forward)
                std::reverse(spans.begin(), spans.end());
            writer.row(xs, ys[k], spans, forward, level, above);
            forward = !forward;
        }
        writer.lift();
        if (writer.feedMoves() != feedsBefore)
            ++run.levels;
    }
    writer.lift();
    control.endProgress(ProgressDisplay::Dialog);
    run.completed = true;
    run.feedMoves = writer.feedMoves();
    return run;
}

} // namespace corvane::relief
