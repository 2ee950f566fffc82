// The whole simulation of a program: the Z-map carved by its moves, the collisions of its
// rapids, its machining time and, when the relief it was made from is known, the
// comparison with it.
#pragma once

#include "common/run_control.h"
#include "dnc/dnc_move.h"
#include "simulation/cut_comparison.h"
#include "simulation/cutter.h"
#include "simulation/tool_moves.h"
#include "simulation/z_map.h"

#include <optional>
#include <vector>

namespace corvane::simulation {

// The block a program cuts, when the user names it: the map covers X minX..maxX and
// Y minY..maxY and starts at z = topZ.
struct Stock {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    double topZ = 0;
};

struct SimulationSettings {
    Cutter cutter;
    double cell = 0;        // > 0, in the program's unit
    double rapidRate = 100; // units per minute, > 0
    std::optional<TargetRelief> target;
    std::optional<double> tolerance; // default: a hundredth of the target's depth
    std::optional<Stock> stock;      // ignored with a target, which sets the area itself
    // With a target: measure the cut between samples (between_samples.h).
    bool measureBetweenSamples = true;
    // The stock as an earlier program left it, carved on instead of a fresh map; it must be
    // the map the target, the stock or the program would give (simulate_sequence.h).
    std::optional<ZMap> startMap;
};

struct Simulation {
    ZMap carved;
    std::vector<double> target; // per cell of carved; empty without a target
    std::optional<Deviation> deviation;
    std::optional<double> gougeBetweenSamples; // with a target, when measured
    std::vector<int> collisionLines;           // rapids that pass below the surface
    MachiningTime time;
    std::size_t feedMoves = 0, rapidMoves = 0;
    bool stopped = false; // Esc
};

// Without a target or a stock the map covers the program's extents widened by the tool's
// radius, its top at z = 0.
// Throws corvane::Error for bad settings or a map that would be too large.
Simulation SimulateProgram(const dnc::DncProgram& program, const SimulationSettings& settings,
                           RunControl& control);

} // namespace corvane::simulation
