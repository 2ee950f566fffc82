// One move of a raster program being built, and the consumers that moves stream through
// (the rapid filter, the program writer, or a list in memory).
#pragma once

#include <cstdint>
#include <vector>

namespace corvane::relief {

enum RasterMoveKind : std::int32_t { RasterRapid = 0, RasterFeed = 1 }; // G00, G01

struct RasterMove {
    RasterMoveKind kind = RasterRapid;
    // The end point: X from the left edge, Y = SizeY at the top edge, z = 0 at the stock top
    // and negative into the stock; all in the user's unit.
    double x = 0, y = 0, z = 0;
    friend bool operator==(const RasterMove&, const RasterMove&) = default;
};

class MoveSink {
public:
    virtual ~MoveSink() = default;
    virtual void add(const RasterMove& move) = 0;
};

// The move list of a run: grows as needed.
class MoveList : public MoveSink {
public:
    void add(const RasterMove& move) override { moves.push_back(move); }
    std::vector<RasterMove> moves;
};

} // namespace corvane::relief
