// The chains found within the batches of one level, before they are joined: closed loops
// kept as regions, open chains as runs of one shared list of segments, so that finding and
// joining them allocates nothing per chain, only per region that comes out.
#pragma once

#include "common/run_control.h"
#include "toolpaths/end_point_grid.h"
#include "toolpaths/region.h"

#include <vector>

namespace corvane::toolpaths {

struct ChainPiece {
    std::size_t begin = 0, end = 0; // open: ChainPieces::segments[begin, end), in travel order
    std::size_t loop = 0;           // closed: its index in ChainPieces::loops
    double minX = 0, minY = 0, maxY = 0, maxX = 0; // over its segments
    bool open = false;
    bool marked = false; // not yet taken by the join
};

struct ChainPieces {
    TMyEntityArray segments;
    std::vector<ChainPiece> pieces;
    TRegionArray loops; // closed, oriented, of the level's depth
};

// The working lists of ChainSegments: kept from one level to the next, a run of levels
// allocates them once. Nothing in them carries over from one call to the next.
struct ChainWork {
    ChainPieces chains;
    EndPointGrid grid;            // of the end points of one batch
    std::vector<ChainEnd> points; // the batch's end points
    TMyEntityArray onwards;       // a chain in travel order, its seed first
    TMyEntityArray backwards;     // each ends where the one before starts
};

// JoinChains for chains kept as pieces: `chains.pieces` sorted by minX, all marked. Appends
// to `joined` the closed loops in list order, then the joined open chains, of depth
// `level`: exactly the regions JoinChains gives for the same chains as regions. The open
// chains' segments are used as working state. Returns false, adding nothing, when Esc
// stopped it.
bool JoinChainPieces(ChainPieces& chains, double level, TRegionArray& joined, RunControl& control);

} // namespace corvane::toolpaths
