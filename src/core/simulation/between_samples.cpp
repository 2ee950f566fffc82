#include "simulation/between_samples.h"

#include "relief/protect_moves.h"
#include "relief/swept_envelope.h"

#include <algorithm>

namespace corvane::simulation {

std::optional<double> gougeBetweenSamples(const std::vector<ToolMove>& moves, const Cutter& cutter,
                                          const TargetRelief& target, RunControl& control)
{
    if (target.grid.empty() || !(target.depth > 0))
        return 0.0;
    std::vector<relief::TipSegment> cuts;
    for (const ToolMove& m : moves)
        if (m.cuts)
            cuts.push_back({m.segment.x0, m.segment.y0, m.segment.z0, m.segment.x1, m.segment.y1,
                            m.segment.z1});
    const relief::RowMaxima maxima = relief::rowMaxima(target.grid);
    relief::SampleField field =
        relief::sampleField(target.grid, target.sizeX, target.sizeY, target.depth);
    field.maxima = &maxima;
    const relief::ToolProfile tool{cutter.shape, cutter.radius, cutter.coneSlope};
    const relief::DeepestCut deepest = relief::deepestCutOfMoves(field, tool, cuts, control);
    if (deepest.stopped)
        return std::nullopt;
    return std::max(0.0, deepest.depth);
}

bool protectMovesRemoves(double gouge)
{
    return gouge > relief::ProgramResolution;
}

} // namespace corvane::simulation
