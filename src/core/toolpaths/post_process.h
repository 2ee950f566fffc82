// Reshaping the regions of one Create: Reduce (keep every N-th vertex), Curve Fit (a uniform
// cubic B-spline through the vertices), Filter (drop regions of few segments) and the
// collinear merge, which always runs. Each keeps a region's depth and open flag.
#pragma once

#include "common/run_control.h"
#include "toolpaths/region.h"

namespace corvane::toolpaths {

// Keeps the start of segments 0, N, 2N, ... and the end of the last segment. Returns false,
// leaving the region as it was, when it has no more than N segments (the caller removes it).
// N below 1 counts as 1.
bool ReduceRegion(TRegion& region, int N);

// The chain's vertices as the control points of a uniform cubic B-spline (ends doubled for
// an open chain), sampled m times per span: n segments give n * m, plus one back to the
// first point for a closed region. Fewer than 2 segments: an unchanged copy. m below 1
// counts as 1 (no samples would leave nothing to cut). The bounding box is kept as it was.
TRegion CurveFitRegion(const TRegion& region, int m);

// Joins consecutive segments that run in the same direction as the first segment of their
// run (unit directions within 1e-8 in x and y). Regions of fewer than 3 segments stay.
void MergeCollinear(TRegion& region);

// The switches and values of the toolpaths dialog.
struct PostProcessing {
    bool reduce = false;
    int reduceStep = 2; // N, at least 1
    bool curveFit = false;
    int curveFitSubdivisions = 1; // m
    bool filter = false;
    int filterMinimum = 5; // F: regions with fewer segments are removed
};

// The post-processing of one Create on regions 1 to the last of `list` (index 0 is the
// placeholder): Reduce, Curve Fit, Filter, then the collinear merge, which checks for Esc
// before each region and leaves the rest unmerged when it is set. Removed regions go
// silently; the others keep their order. Returns false when Esc cut the merge short.
bool PostProcessRegions(TRegionArray& list, const PostProcessing& options, RunControl& control);

} // namespace corvane::toolpaths
