// The region operations of a mesh view: a Create (levels chosen by the style, slicing or
// vectorising, post-processing, depths, appending to the view's list), Undo of the last
// Create, and Clear. The window system stays outside: status texts and progress go through
// RunControl, repainting and drawing through the hooks.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"
#include "toolpaths/post_process.h"
#include "toolpaths/region.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane::toolpaths {

inline constexpr const char* NoRegionsMessage = "No Regions Created...Check Parameters...";

// Style code: 1 Single Depth; 2 and 3 Topography; 4 and 5 Vectorize. The even codes (and
// 1) give every new region the Cut Depth, 3 and 5 keep each region's own level.
int styleCode(int styleItem, int regionDepthsItem);

struct BuildParameters {
    double opDepth = 0; // the level of Single Depth, the highest level of Topography
    double zStep = 0;   // Topography: levels zStep, 2 zStep, ... up to opDepth
    double feedrate = 10;
    int styleCode = 1;
    double cutDepth = 0; // the depth of every new region for codes 1, 2 and 4
    PostProcessing post;
};

// The raster grid source: its regions are in grid cells and grey levels, scaled to units.
struct GridScaling {
    float gridScale = 1;      // Width / grid columns: x and y of the segments
    float gridDepthScale = 0; // Depth / 255: the depth of codes 3 and 5
};

// A mesh view's regions: the placeholder at index 0, then every Create's regions in order.
struct RegionList {
    TRegionArray regions = newRegionList();
    std::size_t firstNewRegion = 1; // where the most recent Create began
};

// How the view shows a Create while it runs; each may be left empty.
struct BuildHooks {
    std::function<void()> repaintView;                  // the whole view, mesh and regions
    std::function<void(const TRegion&)> drawRegion;     // one region over the current picture
    std::function<void(const RegionList&)> drawRegions; // every region over the picture
};

enum class BuildOutcome {
    Created,   // the new regions were appended (maybe none, after Reduce or Filter)
    NoRegions, // nothing was found: the list is unchanged
    Cancelled, // Esc while slicing, chaining or joining: the list is unchanged
};

struct BuildResult {
    BuildOutcome outcome = BuildOutcome::Created;
    std::size_t added = 0;
    bool mergeCut = false; // Esc during the collinear merge: regions appended unmerged
};

// The levels of Topography: zStep, 2 zStep, ... (added up) while the level does not exceed
// opDepth; the first is cut even above opDepth. A step that is not positive gives no level,
// and the levels end where the step no longer moves the level: either would never pass
// opDepth. Levels are made one at a time, as a tiny step makes very many of them.
std::optional<double> firstTopographyLevel(double zStep);
std::optional<double> nextTopographyLevel(double level, double zStep, double opDepth);

// More levels than this are refused before any is cut: every level walks the triangles and
// keeps its regions, so a Z Step mistyped a million times too small would run for hours and
// fill the memory.
inline constexpr double MaxTopographyLevels = 100000;

// How many levels Topography cuts: 0 for a step that is not positive, otherwise Op Depth /
// Z Step, at least the one first level (infinite when the quotient overflows).
double topographyLevelCount(double zStep, double opDepth);

// Why Topography cannot cut these levels, naming the count and the field; nothing when it
// can (and for the other styles).
std::optional<std::string> topographyLevelsProblem(const BuildParameters& params);

// A Create over the view's own triangles (grid empty) or over the raster grid (grid set):
// sets list.firstNewRegion, builds the regions, post-processes them, sets their depths and
// appends them. Status: "N Regions Created..." or NoRegionsMessage. Throws corvane::Error
// with topographyLevelsProblem's words, before anything is cut, for too many levels.
BuildResult CreateRegions(RegionList& list, const TTriangleArray& triangles,
                          const BuildParameters& params, const std::optional<GridScaling>& grid,
                          RunControl& control, const BuildHooks& hooks = {});

// Removes what the last Create appended; returns "The last N Regions were removed..".
std::string UndoRegions(RegionList& list);

// Back to the placeholder only.
void ClearRegions(RegionList& list);

} // namespace corvane::toolpaths
