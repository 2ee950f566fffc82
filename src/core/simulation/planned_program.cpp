#include "simulation/planned_program.h"

#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "relief/byte_sink.h"
#include "relief/collapse_rapids.h"
#include "relief/create_relief.h"
#include "relief/protect_moves.h"
#include "relief/raster_passes.h"
#include "relief/raster_program.h"

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
    const auto protector = relief::protectorFor(grid, params, collapser);
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

} // namespace corvane::simulation
