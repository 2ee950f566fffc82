#include "toolpaths/region_builder.h"

#include "common/error.h"
#include "common/general_number.h"
#include "toolpaths/slice_level.h"
#include "toolpaths/slice_levels.h"

#include <algorithm>
#include <cmath>

namespace corvane::toolpaths {

namespace {

bool keepsOwnLevel(int code)
{
    return code == 3 || code == 5;
}

struct Production {
    bool completed = true;
    bool repainted = false;
};

// Step 2 of a Create: the regions of every level into `working`.
Production produceRegions(const TTriangleArray& triangles, const BuildParameters& params,
                          bool repaintAfterFirstLevel, TRegionArray& working, RunControl& control,
                          const BuildHooks& hooks)
{
    Production p;
    switch (params.styleCode) {
    case 1: {
        const TriangleBlocks blocks = indexTriangleBlocks(triangles);
        p.completed = SliceAtLevel(triangles, blocks, working, params.opDepth, control);
        break;
    }
    case 2:
    case 3: {
        std::vector<double> levels;
        for (std::optional<double> level = firstTopographyLevel(params.zStep); level;
             level = nextTopographyLevel(*level, params.zStep, params.opDepth))
            levels.push_back(*level);
        if (levels.empty())
            break;
        const TriangleBlocks blocks = indexTriangleBlocks(triangles);
        p.completed = SliceAtLevels(triangles, blocks, levels, working, control, sliceThreads(),
                                    [&](std::size_t k, std::size_t first) {
                                        if (k == 0 && repaintAfterFirstLevel && hooks.repaintView) {
                                            hooks.repaintView();
                                            p.repainted = true;
                                        }
                                        control.checkpoint();
                                        if (control.escapePressed())
                                            return false;
                                        if (k > 0 && hooks.drawRegion)
                                            for (std::size_t i = first; i < working.size(); ++i)
                                                hooks.drawRegion(working[i]);
                                        return true;
                                    });
        break;
    }
    case 4:
    case 5:
        p.completed = VectorizeEdges(triangles, working, control);
        break;
    default:
        break;
    }
    if (control.escapePressed())
        p.completed = false;
    return p;
}

void scaleSegments(TRegion& r, double scale)
{
    // The bounding boxes stay in grid units; the toolpath order starts from them.
    for (TMyEntity& s : r.entities) {
        s.x1 *= scale;
        s.y1 *= scale;
        s.x2 *= scale;
        s.y2 *= scale;
    }
}

void setDepths(TRegionArray& working, const BuildParameters& params,
               const std::optional<GridScaling>& grid)
{
    const bool scaled = grid && grid->gridScale != 0 && grid->gridScale != 1;
    for (std::size_t i = 1; i < working.size(); ++i) {
        TRegion& r = working[i];
        if (scaled)
            scaleSegments(r, double(grid->gridScale));
        if (!keepsOwnLevel(params.styleCode))
            r.depth = params.cutDepth;
        else if (grid)
            r.depth = r.depth * double(grid->gridDepthScale);
    }
}

} // namespace

int styleCode(int styleItem, int regionDepthsItem)
{
    if (styleItem == 1)
        return regionDepthsItem == 1 ? 3 : 2;
    if (styleItem == 2)
        return regionDepthsItem == 1 ? 5 : 4;
    return 1;
}

std::optional<double> firstTopographyLevel(double zStep)
{
    if (!(zStep > 0))
        return std::nullopt;
    return zStep;
}

std::optional<double> nextTopographyLevel(double level, double zStep, double opDepth)
{
    const double next = level + zStep;
    if (!(next > level) || !(next <= opDepth))
        return std::nullopt;
    return next;
}

double topographyLevelCount(double zStep, double opDepth)
{
    if (!(zStep > 0))
        return 0;
    // The levels zStep, 2 zStep, ... up to opDepth; the first one always. A quotient a
    // rounding short of a whole number (1 / 1e-9) counts as that number.
    return std::max(1.0, std::floor(opDepth / zStep * (1 + 1e-12)));
}

std::optional<std::string> topographyLevelsProblem(const BuildParameters& params)
{
    if (params.styleCode != 2 && params.styleCode != 3)
        return std::nullopt;
    const double count = topographyLevelCount(params.zStep, params.opDepth);
    if (count <= MaxTopographyLevels)
        return std::nullopt;
    const std::string counted = std::isfinite(count) ? formatGeneral(count) : "more than 1E308";
    return "Z Step is too small for the Op Depth: Topography would cut " + counted +
           " levels, at most " + formatGeneral(MaxTopographyLevels) + " are allowed";
}

BuildResult CreateRegions(RegionList& list, const TTriangleArray& triangles,
                          const BuildParameters& params, const std::optional<GridScaling>& grid,
                          RunControl& control, const BuildHooks& hooks)
{
    if (const auto problem = topographyLevelsProblem(params))
        throw Error(*problem);
    BuildResult result;
    const bool hadNone = regionCount(list.regions) == 0;
    list.firstNewRegion = list.regions.size();

    TRegionArray working = newRegionList();
    const Production production =
        produceRegions(triangles, params, hadNone && !grid, working, control, hooks);
    if (!production.completed) {
        control.endProgress(ProgressDisplay::Gauge);
        result.outcome = BuildOutcome::Cancelled;
        return result;
    }
    if (regionCount(working) == 0) {
        control.endProgress(ProgressDisplay::Gauge);
        control.showStatus(NoRegionsMessage);
        result.outcome = BuildOutcome::NoRegions;
        return result;
    }

    result.mergeCut = !PostProcessRegions(working, params.post, control);
    setDepths(working, params, grid);
    result.added = regionCount(working);
    control.showStatus(std::to_string(result.added) + " Regions Created...");

    for (std::size_t i = 1; i < working.size(); ++i)
        list.regions.push_back(std::move(working[i]));
    control.endProgress(ProgressDisplay::Gauge);

    if (grid || (hadNone && !production.repainted)) {
        if (hooks.repaintView)
            hooks.repaintView();
    } else if (hooks.drawRegions) {
        hooks.drawRegions(list);
    }
    return result;
}

std::string UndoRegions(RegionList& list)
{
    // After a Clear the list may be shorter than where the last Create began: then there
    // is nothing of it left to remove.
    std::size_t removed = 0;
    if (list.firstNewRegion >= 1 && list.firstNewRegion < list.regions.size()) {
        removed = list.regions.size() - list.firstNewRegion;
        list.regions.resize(list.firstNewRegion);
    }
    return "The last " + std::to_string(removed) + " Regions were removed..";
}

void ClearRegions(RegionList& list)
{
    list.regions = newRegionList();
}

} // namespace corvane::toolpaths
