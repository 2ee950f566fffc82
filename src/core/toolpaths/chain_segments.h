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
// (EndPointGrid), and falls back to scanning the batch, which gives the same answer, for a
// batch it cannot index.
bool ChainSegments(TMyEntityArray& segments, TRegionArray& regions, double level,
                   RunControl& control);

// The same, each search scanning the window of the batch that could hold a match, and the
// join scanning too. The reference that ChainSegments is checked against.
bool ChainSegmentsDirect(TMyEntityArray& segments, TRegionArray& regions, double level,
                         RunControl& control);

// Joins open chains whose ends meet (within MatchTolerance) into longer chains or closed
// loops. `list` has no placeholder, is sorted by minX, and its open regions to be joined
// are marked. Returns the closed regions in list order followed by the joined chains; or
// nothing when Esc stopped it. A chain end takes the first match in list order, looked up in
// a grid of the chains' ends (EndPointGrid); each joined chain is laid out once.
bool JoinChains(TRegionArray& list, TRegionArray& joined, RunControl& control);

// The same, each search scanning the list from the first chain not yet taken: the reference
// that JoinChains is checked against.
bool JoinChainsDirect(TRegionArray& list, TRegionArray& joined, RunControl& control);

// Reverses a closed region unless its interior already lies on the right of its direction
// of travel (clockwise with y up). The test point lies 1e-6 to the right of the midpoint of
// the first segment longer than 1e-6, and is inside when a ray towards +x crosses the
// region an odd number of times.
void OrientClosedRegion(TRegion& region);

} // namespace corvane::toolpaths
