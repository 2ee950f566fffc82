// The DNC view's "Simulate..." dialog without its widgets: what it asks for (the tool, the
// height map's cell, the rapid rate and the stock block), the defaults it offers for a
// program, and the reading of what the user typed into simulation settings.
#pragma once

#include "dnc/dnc_move.h"
#include "simulation/simulate_program.h"

#include <array>
#include <optional>
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
    StockTop,    // z of the stock's top face
    TargetSizeX, // the relief the program was made from: its Size X, Size Y and Depth
    TargetSizeY,
    TargetDepth,
};
inline constexpr std::size_t SimulateFieldCount = 12;

const char* simulateFieldLabel(SimulateField field); // "Diameter", "Cell Size", "Stock X From"...

struct SimulateDialogTexts {
    std::string tool = "Ball Mill"; // one of relief::toolShapeNames()
    std::string picture;            // the picture to compare with; empty for none
    std::array<std::string, SimulateFieldCount> fields;

    std::string& operator[](SimulateField f) { return fields[std::size_t(f)]; }
    const std::string& operator[](SimulateField f) const { return fields[std::size_t(f)]; }
};

// The surface dialog's tool (a 0.125 ball, 60 degrees for a V bit), a rapid rate of 100,
// the program's X and Y extents as the stock with its top at 0, and a round cell size
// that gives the stock's longer side about 1000 cells.
SimulateDialogTexts simulateDialogDefaults(const dnc::DncProgram& program);

// Throws corvane::Error naming the field for text that is not a number or a value out of
// range; the stock must be wider and longer than one cell. With a picture to compare with,
// the relief sets the area and the stock is not read; the target itself is left to the
// caller, who reads the picture (see readTargetRequest).
SimulationSettings readSimulateDialog(const SimulateDialogTexts& texts);

// The relief to compare with, as the surface dialog made it: the picture spread over Size X
// by Size Y, black Depth below the stock top. Nothing without a picture; throws
// corvane::Error naming the field for a size or depth that is not a number above 0.
struct TargetRequest {
    std::string picture;
    double sizeX = 0, sizeY = 0, depth = 0;
};
std::optional<TargetRequest> readTargetRequest(const SimulateDialogTexts& texts);

} // namespace corvane::simulation
