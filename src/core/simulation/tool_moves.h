// A program's moves as the straight segments the tool's tip follows, from the origin where
// the machine starts: arcs become chords no longer than half a cell, and every segment
// knows whether it cuts and which line of the file it came from.
#pragma once

#include "dnc/dnc_move.h"
#include "simulation/cutter.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace corvane::simulation {

struct ToolMove {
    Segment segment;
    bool cuts = false; // feeds and arcs cut; rapids (and coordinates before any G) do not
    int line = 0;
};

// Receives the tool moves batch by batch, in program order, with how many of the program's
// moves are wholly in this batch or before it. Returns false to stop the making.
using ToolMoveSink = std::function<bool(const std::vector<ToolMove>& batch, std::size_t done)>;

// Makes the tool moves and hands them on in batches of batchSize (the last may be shorter):
// arcs are cut into chords as they come, so a program of many long arcs never lies in
// memory as chords all at once. Throws corvane::Error naming the line for an arc that would
// need more than ten million chords at this cell size.
void forEachToolMoveBatch(const dnc::TGCodeArray& moves, double cell, std::size_t batchSize,
                          const ToolMoveSink& sink);

// All of them at once, for small programs and tests.
std::vector<ToolMove> toolMoves(const dnc::TGCodeArray& moves, double cell);

// The machining time in minutes: feed moves and arcs at their feed rate, rapids at
// rapidRate (units per minute, > 0). Moves with no feed rate in force (F 0) cannot be
// timed; they are counted in untimedMoves and left out.
struct MachiningTime {
    double minutes = 0;
    double rapidMinutes = 0; // the part of minutes spent in rapids
    long long untimedMoves = 0;
};
MachiningTime machiningTime(const dnc::TGCodeArray& moves, double rapidRate);

// The same count, one move at a time, for writers that time a program while they make it
// (the program need never lie in memory). Starts at the origin, as the machine does.
class MachiningClock {
public:
    explicit MachiningClock(double rapidRate) : rapidRate_(rapidRate) {}
    void add(const dnc::DncMove& move);
    const MachiningTime& time() const { return time_; }

private:
    double rapidRate_;
    double x_ = 0, y_ = 0, z_ = 0;
    MachiningTime time_;
};

} // namespace corvane::simulation
