// The working lists of the block walk's slicing (SliceAtLevel), kept from one level to the
// next so that a run of levels allocates them once. Nothing in them carries over from one
// level to the next.
#pragma once

#include "toolpaths/chain_pieces.h"
#include "toolpaths/region.h"

#include <cstdint>
#include <vector>

namespace corvane::toolpaths {

// One cut, its start the crossing with the smaller x (on equal x, the smaller y): so x1 is
// the minX of the segment that makeSegment builds from it.
struct CutSegment {
    double x1, y1, x2, y2;
};

// A cut's x1 and its position in the walk's order: what sorting the cuts needs to move.
struct CutKey {
    double x1;
    std::uint32_t cut;
};

struct SliceWork {
    std::vector<CutSegment> cut; // in the order of the walk
    std::vector<CutKey> keys;    // sorted by x1
    TMyEntityArray segments;          // sorted by minX, duplicates removed
    ChainWork chain;
};

} // namespace corvane::toolpaths
