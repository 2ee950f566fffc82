// The cutting order of regions: a greedy walk from the lower-left corner of all segment
// bounding boxes, always to the region whose first segment lies nearest to the start of
// the region cut last.
//
// Distance of a point P to a segment A->B: with l = (P - A).(B - A) and L = |B - A|^2, the
// squared perpendicular distance |A - P|^2 - l^2 / L (at least 0) when 0 < l / L < 1, and
// |A - P|^2 otherwise, so a point beyond B is measured to A. Ties go to the lowest index.
// The first pick has no distance to beat: a region however far away is taken (a starting
// "best so far" of some large number would leave out regions beyond it).
#pragma once

#include "common/run_control.h"
#include "toolpaths/region.h"

#include <cstddef>
#include <vector>

namespace corvane::toolpaths {

double segmentDistance(double px, double py, const TMyEntity& segment);

// Searches the segments of regions 1 to the last of `work` (only the marked ones when
// onlyMarked is set) for the one nearest to (px, py); the first segment searched wins
// against nothing, however far away. Returns its index within its region, or -1 when there
// is none; owner receives the region's index.
int NearestRegion(const TRegionArray& work, double px, double py, bool onlyMarked,
                  std::size_t& owner);

// Region indices (1 to the last) in cutting order. Regions without segments are left out.
// Uses a bounding-volume tree over the first segments; the order is exactly that of
// OptimizeToolpathsDirect. Regions whose first segments are the same (the loops of a
// straight wall, one a level) are one entry of the tree that hands out its regions lowest
// index first: they are always equally near, so ties among them cost nothing.
// Progress goes to the status bar's gauge; Esc stops the search with corvane::Cancelled.
std::vector<std::size_t> OptimizeToolpaths(const TRegionArray& regions,
                                           RunControl& control = silentRunControl());

// The same by the quadratic search over all regions left at each step: the reference.
std::vector<std::size_t> OptimizeToolpathsDirect(const TRegionArray& regions);

} // namespace corvane::toolpaths
