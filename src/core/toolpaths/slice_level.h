// Regions from a triangulated surface: the contours where a horizontal plane cuts it
// (SliceAtLevel), or the chains of its horizontal upper edges (VectorizeEdges).
//
// The triangle list must be ordered as the mesh readers leave it: corners ascending by z
// within each triangle, triangles ascending by their lowest z.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"
#include "toolpaths/region.h"

#include <vector>

namespace corvane::toolpaths {

// The highest corner z of each block of consecutive triangles. A level at or above it can
// neither cut a triangle of the block nor end the walk there (its lowest corners lie at or
// below the level too), so the walk passes the whole block without touching it; the
// segments and their order stay exactly those of the walk over every triangle.
struct TriangleBlocks {
    static constexpr std::size_t size = 64;
    std::vector<double> highest; // NaN corners are left out: such triangles give nothing
};
TriangleBlocks indexTriangleBlocks(const TTriangleArray& triangles);

// Appends the regions where the plane z = level cuts the triangles (lowest z < level <
// highest z). Duplicate segments (triangles given twice) count once. Returns false, adding
// nothing, when Esc stopped it. Progress: the share of the list passed, on the gauge.
bool SliceAtLevel(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                  TRegionArray& regions, double level, RunControl& control);
// The same, with working lists that the caller keeps from one level to the next.
struct SliceWork;
bool SliceAtLevel(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                  TRegionArray& regions, double level, RunControl& control, SliceWork& work);

// The same, walking every triangle from the start of the list up to the first whose lowest
// z exceeds the level, and chaining the segments by scanning (ChainSegmentsDirect). The
// reference that the block walk and its chaining are checked against.
bool SliceAtLevelDirect(const TTriangleArray& triangles, TRegionArray& regions, double level,
                        RunControl& control);

// Appends, for each distinct z of the triangles' horizontal upper edges (corners 1 and 2 at
// equal z), the chains of those edges at that z. Returns false, adding nothing, when Esc
// stopped it.
bool VectorizeEdges(const TTriangleArray& triangles, TRegionArray& regions, RunControl& control);

// The segments where the plane cuts the triangles, in list order: the first step of both
// slicing walks, exposed for the benchmarks.
bool CutSegments(const TTriangleArray& triangles, const TriangleBlocks* blocks, double level,
                 TMyEntityArray& segments, RunControl& control);

} // namespace corvane::toolpaths
