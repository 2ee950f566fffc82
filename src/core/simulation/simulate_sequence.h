// Two programs carved one after the other into the same stock, as a roughing program and
// then the finishing program run on the machine: the second starts from what the first
// left. The figures of interest are those of the final surface, and how much the second
// program's tool has to take away (its load).
#pragma once

#include "simulation/simulate_program.h"

#include <optional>

namespace corvane::simulation {

struct SequenceSimulation {
    Simulation first; // the stock after the first program (its own time, collisions)
    Simulation final; // the second carved on it: the final surface, the second's own time
    // The depth of material the second program removes at one cell: the largest, and the
    // one that 95 % of the cells stay at or under (cells where it removes nothing count).
    double largestSecondCut = 0;
    double secondCut95 = 0;
    // With a target: the thinnest layer the first program leaves above it where it cut
    // (carved − target over the cells below the stock top; negative where it cut below the
    // target). Nothing when it cut no cell.
    std::optional<double> firstLeastStock;
    bool stopped = false; // Esc in either
};

// settings hold the second program's cutter; the first is carved with firstCutter. Without a
// target or a stock both carve a map over the extents of the two programs. Throws as
// SimulateProgram does.
SequenceSimulation SimulateSequence(const dnc::DncProgram& first, const Cutter& firstCutter,
                                    const dnc::DncProgram& second,
                                    const SimulationSettings& settings, RunControl& control);

// The share-th quantile of values (0 < share <= 1): the least v with at least share of them
// at or under it. 0 for none.
double quantileAtOrUnder(std::vector<double> values, double share);

} // namespace corvane::simulation
