// Turning the loose segments of one level into regions: chaining end to start within bands
// of x, joining the chains that the band borders cut apart, and orienting closed loops so
// that their interior lies on the right of the direction of travel.
#pragma once

#include "common/run_control.h"
#include "toolpaths/region.h"

namespace corvane::toolpaths {

// The segments of one level, sorted ascending by minX, become regions of depth `level`,
// appended after the last element of `regions`. The segments' available flags are used as
// working state. Returns false, adding nothing, when Esc stopped it (checked every tenth of
// the batches and of the join).
//
// Chaining searches only within batches of 100 consecutive segments (at most about 500
// batches; bigger levels get bigger batches); a segment takes the first match in batch
// order. The search looks the match up in a grid of the batch's end points
// (EndPointGrid), falling back to scanning a batch that the grid cannot index; the chains
// of all batches share one list of segments until they are joined (JoinChainPieces).
bool ChainSegments(TMyEntityArray& segments, TRegionArray& regions, double level,
                   RunControl& control);
// The same, with working lists that the caller keeps from one level to the next.
struct ChainWork;
bool ChainSegments(TMyEntityArray& segments, TRegionArray& regions, double level,
                   RunControl& control, ChainWork& work);

// The same, each search scanning the window of the batch that could hold a match, every
// chain a region of its own, joined by JoinChains. The reference that ChainSegments is
// checked against.
bool ChainSegmentsDirect(TMyEntityArray& segments, TRegionArray& regions, double level,
                         RunControl& control);

// Joins open chains whose ends meet (within MatchTolerance) into longer chains or closed
// loops. `list` has no placeholder, is sorted by minX, and its open regions to be joined
// are marked. Returns the closed regions in list order followed by the joined chains; or
// nothing when Esc stopped it. A chain end takes the first match in list order.
bool JoinChains(TRegionArray& list, TRegionArray& joined, RunControl& control);

// Reverses a closed region unless its interior already lies on the right of its direction
// of travel (clockwise with y up). The test point lies 1e-6 to the right of the midpoint of
// the first segment longer than 1e-6, and is inside when a ray towards +x crosses the
// region an odd number of times.
void OrientClosedRegion(TRegion& region);

} // namespace corvane::toolpaths
