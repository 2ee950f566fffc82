#include "simulation/simulate_sequence.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

namespace {

Stock stockOverBoth(const dnc::DncProgram& a, const dnc::DncProgram& b, double radius)
{
    const Extents3D& e = a.extents;
    const Extents3D& f = b.extents;
    return {std::min(e.minX, f.minX) - radius, std::min(e.minY, f.minY) - radius,
            std::max(e.maxX, f.maxX) + radius, std::max(e.maxY, f.maxY) + radius, 0};
}

} // namespace

double quantileAtOrUnder(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    const double rank = std::ceil(share * double(values.size())) - 1;
    const std::size_t k = std::min(values.size() - 1, std::size_t(std::max(0.0, rank)));
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(k), values.end());
    return values[k];
}

SequenceSimulation SimulateSequence(const dnc::DncProgram& first, const Cutter& firstCutter,
                                    const dnc::DncProgram& second,
                                    const SimulationSettings& settings, RunControl& control)
{
    SimulationSettings shared = settings;
    if (!shared.target && !shared.stock)
        shared.stock =
            stockOverBoth(first, second, std::max(firstCutter.radius, settings.cutter.radius));
    SequenceSimulation result;
    SimulationSettings firstSettings = shared;
    firstSettings.cutter = firstCutter;
    firstSettings.measureBetweenSamples = false;
    result.first = SimulateProgram(first, firstSettings, control);
    if (result.first.stopped) {
        result.stopped = true;
        return result;
    }
    SimulationSettings secondSettings = shared;
    secondSettings.startMap = result.first.carved;
    result.final = SimulateProgram(second, secondSettings, control);
    result.stopped = result.final.stopped;

    const std::vector<double>& before = result.first.carved.heights;
    const std::vector<double>& after = result.final.carved.heights;
    std::vector<double> removed(before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        removed[i] = std::max(0.0, before[i] - after[i]);
    result.largestSecondCut =
        removed.empty() ? 0 : *std::max_element(removed.begin(), removed.end());
    result.secondCut95 = quantileAtOrUnder(std::move(removed), 0.95);
    // A target's map starts at the stock top, z = 0.
    if (!result.first.target.empty())
        for (std::size_t i = 0; i < before.size(); ++i)
            if (before[i] < 0)
                result.firstLeastStock = std::min(result.firstLeastStock.value_or(INFINITY),
                                                  before[i] - result.first.target[i]);
    return result;
}

} // namespace corvane::simulation
