#include "simulation/tool_moves.h"

#include "common/error.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

using dnc::DncMove;

namespace {

bool isArc(const DncMove& m)
{
    return m.kind == dnc::DncClockwise || m.kind == dnc::DncCounterClockwise;
}

// Moves that take the tool somewhere: the feed changes carry no position.
bool isMotion(const DncMove& m)
{
    return m.kind != dnc::DncFeedChange;
}

double arcSweep(const DncMove& m)
{
    return double(m.endAngle) - double(m.startAngle);
}

} // namespace

void forEachToolMoveBatch(const dnc::TGCodeArray& moves, double cell, std::size_t batchSize,
                          const ToolMoveSink& sink)
{
    std::vector<ToolMove> batch;
    batch.reserve(std::min(batchSize, moves.size() + 1));
    std::size_t done = 0; // program moves whose tool moves are all made
    // Hands on a full batch; false when the sink wants no more.
    auto add = [&](const ToolMove& move) {
        batch.push_back(move);
        if (batch.size() < batchSize)
            return true;
        const bool more = sink(batch, done);
        batch.clear();
        return more;
    };
    double x = 0, y = 0, z = 0;
    for (const DncMove& m : moves) {
        if (isMotion(m)) {
            const bool cuts = m.kind == dnc::DncFeed || isArc(m);
            const double radius = std::hypot(double(m.i), double(m.j));
            if (isArc(m) && radius > 0) {
                const double cx = x + m.i, cy = y + m.j;
                const double sweep = arcSweep(m);
                const double chords = std::ceil(radius * std::abs(sweep) / (cell / 2));
                if (!(chords <= 1e7))
                    throw Error("line " + std::to_string(m.line) +
                                ": the arc is too long for this cell size");
                const int n = std::max(1, int(chords));
                double px = x, py = y, pz = z;
                for (int k = 1; k <= n; ++k) {
                    double qx = m.x, qy = m.y, qz = m.z;
                    if (k < n) {
                        const double angle = double(m.startAngle) + sweep * k / n;
                        qx = cx + radius * std::cos(angle);
                        qy = cy + radius * std::sin(angle);
                        qz = z + (m.z - z) * k / n;
                    }
                    if (!add({{px, py, pz, qx, qy, qz}, true, m.line}))
                        return;
                    px = qx, py = qy, pz = qz;
                }
            } else if (!add({{x, y, z, m.x, m.y, m.z}, cuts, m.line})) {
                return;
            }
            x = m.x, y = m.y, z = m.z;
        }
        ++done;
    }
    if (!batch.empty())
        sink(batch, done);
}

std::vector<ToolMove> toolMoves(const dnc::TGCodeArray& moves, double cell)
{
    std::vector<ToolMove> out;
    forEachToolMoveBatch(moves, cell, 4096, [&](const std::vector<ToolMove>& batch, std::size_t) {
        out.insert(out.end(), batch.begin(), batch.end());
        return true;
    });
    return out;
}

void MachiningClock::add(const DncMove& m)
{
    if (!isMotion(m))
        return;
    double length;
    const double dz = m.z - z_;
    if (isArc(m)) {
        const double arc = std::hypot(double(m.i), double(m.j)) * std::abs(arcSweep(m));
        length = std::sqrt(arc * arc + dz * dz);
    } else {
        length = std::sqrt((m.x - x_) * (m.x - x_) + (m.y - y_) * (m.y - y_) + dz * dz);
    }
    x_ = m.x, y_ = m.y, z_ = m.z;
    if (length == 0)
        return;
    const bool cuts = m.kind == dnc::DncFeed || isArc(m);
    const double rate = cuts ? m.feed : rapidRate_;
    if (rate > 0) {
        time_.minutes += length / rate;
        if (!cuts)
            time_.rapidMinutes += length / rate;
    } else
        ++time_.untimedMoves;
}

MachiningTime machiningTime(const dnc::TGCodeArray& moves, double rapidRate)
{
    MachiningClock clock(rapidRate);
    for (const DncMove& m : moves)
        clock.add(m);
    return clock.time();
}

} // namespace corvane::simulation
