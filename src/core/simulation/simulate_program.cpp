#include "simulation/simulate_program.h"

#include "common/error.h"
#include "simulation/between_samples.h"
#include "simulation/cut_sweep.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

namespace {

ZMap zMapForProgram(const dnc::DncProgram& program, const SimulationSettings& settings)
{
    const Extents3D& e = program.extents;
    const double r = settings.cutter.radius;
    const double cell = settings.cell;
    const double left = e.minX - r, top = e.maxY + r;
    const double cols = std::floor((e.maxX + r - left) / cell) + 1;
    const double rows = std::floor((top - (e.minY - r)) / cell) + 1;
    if (!(cols < 1e9 && rows < 1e9))
        throw Error("the cell size is too small for the program's extents");
    return makeZMap(left, top, cell, (long long)rows, (long long)cols);
}

ZMap zMapForStock(const Stock& stock, double cell)
{
    if (!(stock.maxX > stock.minX) || !(stock.maxY > stock.minY))
        throw Error("the stock must be wider and longer than 0");
    if (!std::isfinite(stock.topZ))
        throw Error("the stock top must be a number");
    const double cols = std::floor((stock.maxX - stock.minX) / cell) + 1;
    const double rows = std::floor((stock.maxY - stock.minY) / cell) + 1;
    if (!(cols < 1e9 && rows < 1e9))
        throw Error("the cell size is too small for the stock");
    ZMap map = makeZMap(stock.minX, stock.maxY, cell, (long long)rows, (long long)cols);
    std::fill(map.heights.begin(), map.heights.end(), stock.topZ);
    return map;
}

} // namespace

Simulation SimulateProgram(const dnc::DncProgram& program, const SimulationSettings& settings,
                           RunControl& control)
{
    checkCellSize(settings.cell);
    if (!(settings.rapidRate > 0) || !std::isfinite(settings.rapidRate))
        throw Error("the rapid rate must be a number greater than 0");
    if (settings.tolerance && !(*settings.tolerance >= 0))
        throw Error("the tolerance must not be negative");

    Simulation sim;
    sim.carved = settings.target  ? zMapForTarget(*settings.target, settings.cell)
                 : settings.stock ? zMapForStock(*settings.stock, settings.cell)
                                  : zMapForProgram(program, settings);
    control.showStatus("Simulating...");
    const std::vector<ToolMove> moves = toolMoves(program.moves, settings.cell);
    for (const ToolMove& m : moves)
        ++(m.cuts ? sim.feedMoves : sim.rapidMoves);
    SweepResult sweep = SweepToolMoves(moves, settings.cutter, sim.carved, control);
    sim.collisionLines = std::move(sweep.collisionLines);
    sim.stopped = sweep.stopped;
    sim.time = machiningTime(program.moves, settings.rapidRate);
    if (settings.target && !sim.stopped) {
        sim.target = targetHeights(*settings.target, sim.carved);
        sim.deviation = compareWithTarget(
            sim.carved, sim.target, settings.tolerance.value_or(settings.target->depth / 100));
        if (settings.measureBetweenSamples)
            sim.gougeBetweenSamples =
                gougeBetweenSamples(moves, settings.cutter, *settings.target, control);
    }
    return sim;
}

} // namespace corvane::simulation
