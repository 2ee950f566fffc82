// The DNC view's "Simulate..." dialog without its widgets: what it asks for (the tool, the
// height map's cell, the rapid rate and the stock block), the defaults it offers for a
// program, and the reading of what the user typed into simulation settings.
#pragma once

#include "dnc/dnc_move.h"
#include "simulation/simulate_program.h"

#include <array>
#include <string>

namespace corvane::simulation {

enum class SimulateField {
    Diameter,
    IncludedAngle, // V Bit only, whole degrees
    CellSize,
    RapidRate, // units per minute
    StockMinX,
    StockMaxX,
    StockMinY,
    StockMaxY,
    StockTop, // z of the stock's top face
};
inline constexpr std::size_t SimulateFieldCount = 9;

const char* simulateFieldLabel(SimulateField field); // "Diameter", "Cell Size", "Stock X From"...

struct SimulateDialogTexts {
    std::string tool = "Ball Mill"; // one of relief::toolShapeNames()
    std::array<std::string, SimulateFieldCount> fields;

    std::string& operator[](SimulateField f) { return fields[std::size_t(f)]; }
    const std::string& operator[](SimulateField f) const { return fields[std::size_t(f)]; }
};

// The surface dialog's tool (a 0.125 ball, 60 degrees for a V bit), a rapid rate of 100,
// the program's X and Y extents as the stock with its top at 0, and a round cell size
// that gives the stock's longer side about 1000 cells.
SimulateDialogTexts simulateDialogDefaults(const dnc::DncProgram& program);

// Throws corvane::Error naming the field for text that is not a number or a value out of
// range; the stock must be wider and longer than one cell.
SimulationSettings readSimulateDialog(const SimulateDialogTexts& texts);

} // namespace corvane::simulation
