#include "relief/raster_passes.h"

#include "relief/parameter_checks.h"
#include "relief/row_progress.h"
#include "relief/sampling.h"

#include <algorithm>
#include <string>
#include <vector>

namespace corvane::relief {

namespace {

struct ColumnSample {
    int column;
    double x;
};

// Entries 0..nx-1 at x = 0, StepX, 2 StepX... (repeated addition); entry nx at the right
// edge. The last stretch of a line is therefore about two steps long.
std::vector<ColumnSample> columnTable(const Sampling& s, int cols)
{
    std::vector<ColumnSample> table;
    table.reserve(std::size_t(s.nx) + 1);
    double x = 0;
    for (int i = 0; i < s.nx; ++i) {
        table.push_back({std::min(s.columnAt(x), cols - 1), x});
        x += s.stepX;
    }
    table.push_back({cols - 1, s.sizeX});
    return table;
}

// The state that carries from sample to sample, line to line and pass to pass.
class PassGenerator {
public:
    PassGenerator(const TZGrid& grid, const ReliefParameters& p, MoveSink& out)
        : grid_(grid), depth_(p.depth), rapid_(p.rapidHeight), white_(grid.white), out_(out)
    {
    }

    void startPass(double previousFloor, double floor)
    {
        prevLevel_ = previousFloor;
        passLevel_ = floor;
        cutting_ = false;
        toolUp_ = true; // no move: a tool left down by the previous pass is not lifted
    }

    void moveToCorners(double sizeY)
    {
        emit(RasterRapid, 0, 0, rapid_);
        emit(RasterRapid, 0, sizeY, rapid_);
        curX_ = 0;
        curZ_ = rapid_;
    }

    // One line: the forward line at Y1 on row r0, the step over to Y2 and the return line.
    void linePair(const std::vector<ColumnSample>& table, int r0, int r1, double y1, double y2)
    {
        emit(lineKind(), curX_, y1, curZ_);
        lastChangeX_ = prevX_;
        for (const ColumnSample& c : table)
            sample(c, r0, y1);
        if (lastX_ != lastChangeX_)
            emit(lineKind(), lastX_, y1, lastTarget_);
        lastZ_ = lastTarget_;
        curX_ = lastX_;
        curZ_ = lastTarget_;
        emit(lineKind(), lastX_, y2, lastTarget_);
        lastChangeX_ = prevX_;

        for (auto c = table.rbegin(); c != table.rend(); ++c)
            sample(*c, r1, y2);
        lastZ_ = lastTarget_;
        if (lastX_ != lastChangeX_) {
            emit(lineKind(), lastX_, y2, lastTarget_);
            curX_ = lastX_;
            curZ_ = lastTarget_;
        }
    }

private:
    RasterMoveKind lineKind() const { return toolUp_ ? RasterRapid : RasterFeed; }

    void emit(RasterMoveKind kind, double x, double y, double z) { out_.add({kind, x, y, z}); }

    void sample(const ColumnSample& c, int row, double y)
    {
        const int v = grid_[row][c.column];
        const double surface = -depth_ + v * depth_ / white_;
        double target;
        bool skipped = false;
        if (passLevel_ + surface < 0) {
            target = -passLevel_; // the surface lies below this pass's floor
        } else if (prevLevel_ + surface >= 0) {
            target = rapid_; // an earlier pass, or the stock top, already reached it
            savedZ_ = surface;
            skipped = true;
        } else {
            target = surface;
        }

        if (target != lastZ_) {
            if (lastChangeX_ != prevX_) { // end of a level stretch
                curX_ = prevX_;
                emit(lineKind(), prevX_, y, curZ_);
            }
            if (skipped) {
                if (!toolUp_) {
                    curX_ = c.x;
                    emit(RasterFeed, c.x, y, savedZ_);
                    emit(RasterRapid, c.x, y, rapid_);
                    curZ_ = rapid_;
                }
                toolUp_ = true;
                cutting_ = false;
            } else {
                if (cutting_) {
                    emit(RasterFeed, c.x, y, target);
                } else {
                    emit(RasterRapid, curX_, y, savedZ_);
                    emit(RasterFeed, c.x, y, target);
                }
                curX_ = c.x;
                curZ_ = target;
                cutting_ = true;
                toolUp_ = false;
            }
            lastZ_ = target;
            lastChangeX_ = c.x;
        }
        prevX_ = c.x;
        lastX_ = c.x;
        lastTarget_ = target;
    }

    const TZGrid& grid_;
    const double depth_, rapid_;
    const double white_; // 255, or 65535 for a depth map
    MoveSink& out_;
    double curX_ = 0, curZ_ = 0;
    bool toolUp_ = true, cutting_ = false;
    double lastZ_ = 0, lastChangeX_ = 0, prevX_ = 0, savedZ_ = 0;
    double prevLevel_ = 0, passLevel_ = 0;
    double lastX_ = 0, lastTarget_ = 0; // X and target of the latest sample
};

} // namespace

std::uint64_t rasterPassesMemory(int gridCols)
{
    return (std::uint64_t(gridCols) + 1) * sizeof(ColumnSample);
}

bool GenerateRasterPasses(const TZGrid& grid, const ReliefParameters& params, RunControl& control,
                          MoveSink& moves)
{
    checkDepth(params.depth);
    checkDepthPerPass(params.depth, params.depthPerPass);
    checkRapidHeight(params.rapidHeight);
    const Sampling s = samplingFor(grid, params);
    const std::vector<ColumnSample> table = columnTable(s, grid.cols);

    PassGenerator generator(grid, params, moves);
    generator.moveToCorners(s.sizeY);
    double passLevel = 0;
    int pass = 0;
    do {
        const double prevLevel = passLevel;
        passLevel = std::min(passLevel + params.depthPerPass, params.depth);
        generator.startPass(prevLevel, passLevel);
        control.showStatus("Pass " + std::to_string(++pass));
        ProgressStride stride(0, s.ny / 10);
        double y = 0;
        for (int k = 0; k <= s.ny; ++k) {
            const int r0 = s.rowAt(y);
            const int r1 = s.rowAt(y + s.stepY);
            if (r1 > grid.rows - 1)
                break; // no room for the return line: the forward line is not run either
            if (stride.due(k)) {
                control.showProgress(ProgressDisplay::Dialog,
                                     int(static_cast<long long>(r0) * 100 / grid.rows));
                control.checkpoint();
                if (control.takeStopRequest()) {
                    control.endProgress(ProgressDisplay::Dialog);
                    return false;
                }
            }
            generator.linePair(table, r0, r1, s.sizeY - y, s.sizeY - y - s.stepY);
            y = y + s.stepY + s.stepY;
        }
    } while (passLevel < params.depth);
    control.endProgress(ProgressDisplay::Dialog);
    return true;
}

} // namespace corvane::relief
