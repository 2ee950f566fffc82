#include "simulation/between_samples.h"

#include "relief/protect_moves.h"
#include "relief/swept_envelope.h"

#include <algorithm>

namespace corvane::simulation {

std::optional<double> gougeBetweenSamples(const dnc::TGCodeArray& program, double cell,
                                          const Cutter& cutter, const TargetRelief& target,
                                          RunControl& control)
{
    if (target.grid.empty() || !(target.depth > 0) || program.empty())
        return 0.0;
    const relief::RowMaxima maxima = relief::rowMaxima(target.grid);
    relief::SampleField field =
        relief::sampleField(target.grid, target.sizeX, target.sizeY, target.depth);
    field.maxima = &maxima;
    const relief::ToolProfile tool{cutter.shape, cutter.radius, cutter.coneSlope};
    double depth = relief::NoCut;
    bool stopped = false;
    // The chords are judged batch by batch as they are made, as the sweep takes them: a
    // program of many long arcs never lies in memory as chords all at once.
    const std::size_t batchSize = std::clamp<std::size_t>(program.size() / 50, 4096, 65536);
    forEachToolMoveBatch(
        program, cell, batchSize, [&](const std::vector<ToolMove>& batch, std::size_t done) {
            for (const ToolMove& m : batch)
                if (m.cuts)
                    depth = std::max(depth,
                                     relief::deepestCut(field, tool,
                                                        {m.segment.x0, m.segment.y0, m.segment.z0,
                                                         m.segment.x1, m.segment.y1, m.segment.z1},
                                                        depth));
            control.showProgress(ProgressDisplay::Gauge, int(done * 100 / program.size()));
            control.checkpoint();
            stopped = control.escapePressed() || control.takeStopRequest();
            return !stopped;
        });
    control.endProgress(ProgressDisplay::Gauge);
    if (stopped)
        return std::nullopt;
    return std::max(0.0, depth);
}

bool protectMovesRemoves(double gouge)
{
    return gouge > relief::ProgramResolution;
}

} // namespace corvane::simulation
