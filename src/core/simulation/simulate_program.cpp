#include "simulation/simulate_program.h"

#include "common/error.h"
#include "relief/parameter_checks.h"
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
    // The simulate dialog's rules, so every caller is refused in the dialog's words.
    checkCellSize(settings.cell);
    relief::checkSize(settings.rapidRate, "Rapid Rate");
    if (settings.target) {
        relief::checkSize(settings.target->sizeX, "Size X");
        relief::checkSize(settings.target->sizeY, "Size Y");
        relief::checkSize(settings.target->depth, "Depth");
    }
    if (settings.tolerance && !(*settings.tolerance >= 0))
        throw Error("the tolerance must not be negative");

    Simulation sim;
    sim.time = machiningTime(program.moves, settings.rapidRate);
    if (!std::isfinite(sim.time.rapidMinutes))
        throw Error("Rapid Rate is too small: the rapids would take more minutes than can "
                    "be counted");
    if (!std::isfinite(sim.time.minutes))
        throw Error("the program's feed rates are too small: its machining time can not be "
                    "counted");
    sim.carved = settings.startMap ? *settings.startMap
                 : settings.target ? zMapForTarget(*settings.target, settings.cell)
                 : settings.stock  ? zMapForStock(*settings.stock, settings.cell)
                                   : zMapForProgram(program, settings);
    control.showStatus("Simulating...");
    SweepResult sweep =
        SweepProgram(program.moves, settings.cell, settings.cutter, sim.carved, control);
    sim.feedMoves = sweep.feedMoves;
    sim.rapidMoves = sweep.rapidMoves;
    sim.collisionLines = std::move(sweep.collisionLines);
    sim.stopped = sweep.stopped;
    if (settings.target && !sim.stopped) {
        sim.target = targetHeights(*settings.target, sim.carved);
        sim.deviation = compareWithTarget(
            sim.carved, sim.target, settings.tolerance.value_or(settings.target->depth / 100));
        if (settings.measureBetweenSamples)
            sim.gougeBetweenSamples = gougeBetweenSamples(
                program.moves, settings.cell, settings.cutter, *settings.target, control);
    }
    return sim;
}

} // namespace corvane::simulation
