#include "toolpaths/toolpaths_fields.h"

#include "common/general_number.h"
#include "relief/edit_number.h"
#include "relief/parameter_checks.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace corvane::toolpaths {

namespace {

double real(const std::string& text)
{
    return relief::readEditNumber(text).value_or(0);
}

int whole(const std::string& text)
{
    return relief::readEditInteger(text).value_or(0);
}

} // namespace

std::string proposedOpDepth(const Extents3D& edgeExtents)
{
    return formatGeneral(-edgeExtents.minZ / 2);
}

std::optional<std::string> toolpathsFieldsProblem(const ToolpathsFields& fields, bool rasterGrid)
{
    // Only the fields the style reads count (the dialog disables the others): a value left in
    // Z Step under Single Depth must not block a Create that never looks at it.
    const bool topography = fields.style == 1;
    const bool oneDepth = fields.regionDepths == 0;
    const std::tuple<const char*, bool, const std::string*> reals[] = {
        {"Op Depth", fields.style != 2, &fields.opDepth},
        {"Z Step", topography, &fields.zStep},
        {"Cut Depth", fields.style == 0 || oneDepth, &fields.cutDepth},
        {"Feedrate", true, &fields.feedrate},
        {"Rapid", true, &fields.rapid},
        {"Width", rasterGrid, &fields.width},
        {"Depth", rasterGrid, &fields.depth}};
    for (const auto& [label, used, text] : reals)
        if (used && !relief::readEditNumber(*text))
            return std::string(label) + " is not a number: \"" + *text + "\"";
    const std::tuple<const char*, bool, const std::string*> wholes[] = {
        {"Reduce", fields.reduce, &fields.reduceValue},
        {"Curve Fit", fields.curveFit, &fields.curveFitValue},
        {"Filter", fields.filter, &fields.filterValue}};
    for (const auto& [label, checked, text] : wholes)
        if (checked && !relief::readEditInteger(*text))
            return std::string(label) + " is not a whole number: \"" + *text + "\"";
    if (fields.curveFit && whole(fields.curveFitValue) > MaxCurveFitPoints)
        return "Curve Fit can not be more than " + std::to_string(MaxCurveFitPoints) +
               " points a span";
    if (rasterGrid) {
        // Read in single precision: beyond its range they become infinite, and so would
        // every coordinate or depth scaled by them.
        for (const auto& [label, text] :
             {std::pair{"Width", &fields.width}, std::pair{"Depth", &fields.depth}})
            if (!(std::abs(real(*text)) <= relief::MaxParameterValue))
                return std::string(label) + " can not be more than " +
                       formatGeneral(relief::MaxParameterValue);
        if (float(real(fields.depth)) == 0)
            return std::string("Depth can not be 0!");
    }
    if (topography && real(fields.zStep) < 0)
        return std::string("Z Step can not be negative!");
    return topographyLevelsProblem(readToolpathsFields(fields, rasterGrid, 1).params);
}

ToolpathsRun readToolpathsFields(const ToolpathsFields& fields, bool rasterGrid, int gridColumns)
{
    ToolpathsRun run;
    BuildParameters& p = run.params;
    p.opDepth = real(fields.opDepth);
    p.zStep = real(fields.zStep);
    p.feedrate = real(fields.feedrate);
    p.cutDepth = real(fields.cutDepth);
    p.post.curveFit = fields.curveFit;
    p.post.curveFitSubdivisions = std::max(whole(fields.curveFitValue), 0);
    p.post.reduce = fields.reduce;
    p.post.reduceStep = std::max(whole(fields.reduceValue), 1);
    p.post.filter = fields.filter;
    p.post.filterMinimum = std::max(whole(fields.filterValue), 0);
    run.rapidHeight = real(fields.rapid);
    p.styleCode = styleCode(fields.style, fields.regionDepths);

    if (rasterGrid) {
        const float width = float(real(fields.width));
        const float depth = float(real(fields.depth));
        GridScaling grid;
        grid.gridScale = float(double(width) / double(std::max(gridColumns, 1)));
        grid.gridDepthScale = float(double(depth) / 255);
        run.grid = grid;
        if (depth == 0) {
            run.depthMissing = true;
        } else {
            p.opDepth = p.opDepth / double(depth) * 255;
            p.zStep = p.zStep / double(depth) * 255;
        }
    }
    return run;
}

BuildResult RunToolpathsCreate(RegionList& list, const TTriangleArray& triangles,
                               const ToolpathsRun& run, RunControl& control,
                               const BuildHooks& hooks)
{
    control.showStatus("Creating Vectors...");
    BuildResult result;
    if (run.depthMissing) {
        // Nothing can be cut without a Depth; the list stays, as when no level cuts.
        list.firstNewRegion = list.regions.size();
        control.showStatus(NoRegionsMessage);
        result.outcome = BuildOutcome::NoRegions;
    } else {
        result = CreateRegions(list, triangles, run.params, run.grid, control, hooks);
    }
    if (control.escapePressed())
        control.showStatus("Process Cancelled...");
    return result;
}

} // namespace corvane::toolpaths
