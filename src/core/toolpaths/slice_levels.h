// Slicing a run of levels, on one thread or two. Levels are independent of each other: each
// gives the regions SliceAtLevel gives it, whoever slices it, and they are appended in level
// order, so the list comes out the same with any number of threads.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"
#include "toolpaths/region.h"
#include "toolpaths/slice_level.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace corvane::toolpaths {

// Told on the calling thread, in level order, that the regions of levels[k] now lie in
// regions[first, regions.size()). Returns false to stop, as Esc would.
using LevelSliced = std::function<bool(std::size_t k, std::size_t first)>;

// SliceAtLevel on each of `levels` in turn, each followed by sliced(k, first): false, after
// the levels sliced so far, when Esc (or `sliced`) stopped it. With threads >= 2 a helper
// thread slices levels ahead while this one slices its own; only this thread talks to
// `control` (the helper's walks show no progress and learn of Esc from it), and a level
// sliced ahead is appended only when every level before it has been.
bool SliceAtLevels(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                   const std::vector<double>& levels, TRegionArray& regions, RunControl& control,
                   unsigned threads, const LevelSliced& sliced);

// The threads worth using on this machine: two where it has two cores or more.
unsigned sliceThreads();

} // namespace corvane::toolpaths
