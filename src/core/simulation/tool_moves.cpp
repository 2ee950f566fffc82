#include "simulation/tool_moves.h"

#include "common/error.h"

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

std::vector<ToolMove> toolMoves(const dnc::TGCodeArray& moves, double cell)
{
    std::vector<ToolMove> out;
    out.reserve(moves.size());
    double x = 0, y = 0, z = 0;
    for (const DncMove& m : moves) {
        if (!isMotion(m))
            continue;
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
                out.push_back({{px, py, pz, qx, qy, qz}, true, m.line});
                px = qx, py = qy, pz = qz;
            }
        } else {
            out.push_back({{x, y, z, m.x, m.y, m.z}, cuts, m.line});
        }
        x = m.x, y = m.y, z = m.z;
    }
    return out;
}

MachiningTime machiningTime(const dnc::TGCodeArray& moves, double rapidRate)
{
    MachiningTime time;
    double x = 0, y = 0, z = 0;
    for (const DncMove& m : moves) {
        if (!isMotion(m))
            continue;
        double length;
        const double dz = m.z - z;
        if (isArc(m)) {
            const double arc = std::hypot(double(m.i), double(m.j)) * std::abs(arcSweep(m));
            length = std::sqrt(arc * arc + dz * dz);
        } else {
            length = std::sqrt((m.x - x) * (m.x - x) + (m.y - y) * (m.y - y) + dz * dz);
        }
        x = m.x, y = m.y, z = m.z;
        if (length == 0)
            continue;
        const bool cuts = m.kind == dnc::DncFeed || isArc(m);
        const double rate = cuts ? m.feed : rapidRate;
        if (rate > 0)
            time.minutes += length / rate;
        else
            ++time.untimedMoves;
    }
    return time;
}

} // namespace corvane::simulation
