// What the toolpaths dialog holds, as typed, and how its Create reads it: numbers with "."
// whatever the locale, the bounds of the post-processing values, the style code, the grid
// scales, and the conversion of Op Depth and Z Step to grey levels for the raster grid.
#pragma once

#include "common/run_control.h"
#include "geometry/extents3d.h"
#include "toolpaths/region_builder.h"

#include <optional>
#include <string>

namespace corvane::toolpaths {

struct ToolpathsFields {
    std::string width = "1"; // raster grid only: units across the picture
    std::string depth = "1"; // raster grid only: units from white to black
    std::string opDepth = "0";
    std::string zStep = "0";
    std::string cutDepth = "0";
    std::string feedrate = "10";
    std::string rapid = ".25";
    int style = 0;        // 0 Single Depth, 1 Topography, 2 Vectorize
    int regionDepths = 0; // 0 One Depth, 1 Multiple Depths
    bool reduce = false, curveFit = false, filter = false;
    std::string reduceValue = "2", curveFitValue = "1", filterValue = "5";
};

// Op Depth as the dialog proposes it for a mesh view: half the largest z of the mesh (the
// extents of the drawn edges hold negated z), in the general conversion.
std::string proposedOpDepth(const Extents3D& edgeExtents);

// Curve Fit samples each span this many times at most: more would only multiply the
// segments (2147483647 a span cannot be held at all).
inline constexpr int MaxCurveFitPoints = 1000;

// Why a Create cannot run on these fields, in words for the user; nothing when it can. A
// field that is not a number (only the fields the style reads and the checked
// post-processing values count: Z Step for Topography, Op Depth except for Vectorize, Cut
// Depth for Single Depth and for One Depth, Width and Depth for the raster grid), a Curve Fit
// above MaxCurveFitPoints, for the raster grid a Width or Depth beyond the surface dialog's
// limit (single precision would make them infinite) or a Depth of 0 (no level can become a
// grey level) and, for Topography, a negative Z Step (the field takes no sign, but one can
// be pasted; the levels would never end) or more levels than MaxTopographyLevels are
// refused before anything is cut. The command line calls this too.
std::optional<std::string> toolpathsFieldsProblem(const ToolpathsFields& fields, bool rasterGrid);

struct ToolpathsRun {
    BuildParameters params;
    double rapidHeight = 0;
    std::optional<GridScaling> grid; // set for the raster grid
    // Raster grid with a Depth of 0: no grey level can be computed, nothing is cut.
    bool depthMissing = false;
};

// A text that is not a number reads as 0, as the dialog ignores conversion errors. Reduce
// below 1 becomes 1, Curve Fit and Filter below 0 become 0. For the raster grid (gridColumns
// is its column count, 1 before a grid exists) Op Depth and Z Step become grey levels
// (value / Depth * 255) and the scales are computed in single precision.
ToolpathsRun readToolpathsFields(const ToolpathsFields& fields, bool rasterGrid, int gridColumns);

// The dialog's Create: "Creating Vectors...", the builder, and "Process Cancelled..." when
// Esc stopped it (also when Esc cut the collinear merge short).
BuildResult RunToolpathsCreate(RegionList& list, const TTriangleArray& triangles,
                               const ToolpathsRun& run, RunControl& control,
                               const BuildHooks& hooks = {});

} // namespace corvane::toolpaths
