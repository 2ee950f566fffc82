#include "simulation/planned_program.h"

#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "relief/byte_sink.h"
#include "relief/collapse_rapids.h"
#include "relief/create_relief.h"
#include "relief/create_roughing.h"
#include "relief/raster_passes.h"
#include "relief/raster_program.h"
#include "relief/two_thread_protector.h"

namespace corvane::simulation {

std::string plannedProgramText(const relief::TZGrid& grid, const relief::ReliefParameters& params,
                               RunControl& control)
{
    relief::TZGrid adjusted = grid;
    if (params.useGougeControl) {
        if (params.toolDiameter == 0)
            throw Error(relief::ZeroDiameterMessage);
        if (!relief::applyGougeForRun(adjusted, params, control))
            return {};
    }
    relief::StringSink sink;
    sink.write(relief::rasterProgramHeader("preview", "preview", params.feedRate));
    relief::RasterProgramBody body(sink);
    relief::RapidCollapser collapser(body);
    const auto protector = relief::twoThreadProtectorFor(grid, params, collapser);
    relief::MoveSink& moves = protector ? static_cast<relief::MoveSink&>(*protector) : collapser;
    if (!relief::GenerateRasterPasses(adjusted, params, control, moves))
        return {};
    if (protector)
        protector->finish();
    collapser.finish();
    body.flush();
    if (control.escapePressed())
        return {};
    return std::move(sink.text);
}

dnc::DncProgram plannedProgram(const relief::TZGrid& grid, const relief::ReliefParameters& params,
                               RunControl& control)
{
    const std::string text = plannedProgramText(grid, params, control);
    return dnc::ParseDncProgram(text, control);
}

std::string plannedRoughingText(const relief::TZGrid& grid, const relief::ReliefParameters& params,
                                const relief::RoughingParameters& roughing, RunControl& control)
{
    relief::StringSink sink;
    sink.write(relief::rasterProgramHeader("preview", "preview", roughing.feedRate));
    const relief::RoughingRun run =
        relief::writeRoughingBody(grid, params, roughing, control, sink);
    if (!run.completed || control.escapePressed())
        return {};
    return std::move(sink.text);
}

} // namespace corvane::simulation
