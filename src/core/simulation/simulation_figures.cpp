#include "simulation/simulation_figures.h"

#include "common/number_format.h"
#include "simulation/between_samples.h"

#include <cmath>

namespace corvane::simulation {

namespace {

std::string at(double x, double y)
{
    return " at (" + fixedText(x, 4) + ", " + fixedText(y, 4) + ")";
}

std::string collisionsText(const std::vector<int>& lines)
{
    if (lines.empty())
        return "no collisions";
    return std::to_string(lines.size()) + (lines.size() == 1 ? " collision" : " collisions") +
           " at line " + std::to_string(lines.front()) + (lines.size() == 1 ? "" : " and after");
}

} // namespace

std::string machiningTimeText(double minutes)
{
    if (minutes < 59.95)
        return fixedText(minutes, 1) + " min";
    const long long whole = std::llround(minutes);
    const long long m = whole % 60;
    return std::to_string(whole / 60) + " h " + (m < 10 ? "0" : "") + std::to_string(m) + " min";
}

std::string figuresLine(const Simulation& sim)
{
    std::string line;
    if (sim.deviation) {
        const Deviation& d = *sim.deviation;
        line = "Gouge " + fixedText(d.largestGouge, 4) + at(d.gougeX, d.gougeY) + ", leftover " +
               fixedText(d.largestLeftover, 4) + at(d.leftoverX, d.leftoverY) + ", mean " +
               fixedText(d.meanAbsolute, 4) + ", " + fixedText(100 * d.withinTolerance, 1) +
               "% within " + fixedText(d.tolerance, 4) + ", machining " +
               machiningTimeText(sim.time.minutes);
        if (sim.gougeBetweenSamples && protectMovesRemoves(*sim.gougeBetweenSamples))
            line += ", gouge between samples " + fixedText(*sim.gougeBetweenSamples, 4) +
                    " (Protect Moves removes it)";
    } else {
        line = "Machining " + machiningTimeText(sim.time.minutes) + ", " +
               std::to_string(sim.feedMoves) + " feed moves, " + std::to_string(sim.rapidMoves) +
               " rapids";
    }
    line += ", " + collisionsText(sim.collisionLines);
    if (sim.time.untimedMoves > 0)
        line += ", " + std::to_string(sim.time.untimedMoves) + " moves not timed: no feed rate";
    return line;
}

} // namespace corvane::simulation
