#include "simulation/simulate_dialog_model.h"

#include "common/error.h"
#include "common/general_number.h"
#include "relief/edit_number.h"
#include "relief/parameter_checks.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

namespace {

double readNumber(const SimulateDialogTexts& texts, SimulateField field)
{
    const std::string& text = texts[field];
    const std::optional<double> v = relief::readEditNumber(text);
    if (!v || !std::isfinite(*v))
        throw Error(std::string(simulateFieldLabel(field)) + ": \"" + text + "\" is not a number");
    return *v;
}

// 1, 2 or 5 times a power of ten, the smallest such at or above v (> 0).
double roundCell(double v)
{
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (const double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= v * (1 - 1e-12))
            return step * power;
    return 10 * power;
}

// The reader keeps coordinates in single precision: 1.93 comes back as 1.92999994754791.
// Four decimals are what our programs write.
std::string coordinateText(double v)
{
    return formatGeneral(std::round(v * 1e4) / 1e4);
}

} // namespace

const char* simulateFieldLabel(SimulateField field)
{
    switch (field) {
    case SimulateField::Diameter:
        return "Diameter";
    case SimulateField::IncludedAngle:
        return "Included Angle";
    case SimulateField::CellSize:
        return "Cell Size";
    case SimulateField::RapidRate:
        return "Rapid Rate";
    case SimulateField::StockMinX:
        return "Stock X From";
    case SimulateField::StockMaxX:
        return "Stock X To";
    case SimulateField::StockMinY:
        return "Stock Y From";
    case SimulateField::StockMaxY:
        return "Stock Y To";
    case SimulateField::StockTop:
        return "Stock Top";
    case SimulateField::TargetSizeX:
        return "Size X";
    case SimulateField::TargetSizeY:
        return "Size Y";
    case SimulateField::TargetDepth:
        return "Depth";
    }
    return "";
}

SimulateDialogTexts simulateDialogDefaults(const dnc::DncProgram& program)
{
    SimulateDialogTexts texts;
    const Extents3D& e = program.extents;
    texts[SimulateField::Diameter] = "0.125";
    texts[SimulateField::IncludedAngle] = "60";
    texts[SimulateField::RapidRate] = "100";
    texts[SimulateField::StockMinX] = coordinateText(e.minX);
    texts[SimulateField::StockMaxX] = coordinateText(e.maxX);
    texts[SimulateField::StockMinY] = coordinateText(e.minY);
    texts[SimulateField::StockMaxY] = coordinateText(e.maxY);
    texts[SimulateField::StockTop] = "0";
    const double longer = std::max(e.maxX - e.minX, e.maxY - e.minY);
    texts[SimulateField::CellSize] = formatGeneral(longer > 0 ? roundCell(longer / 1000) : 1.0);
    return texts;
}

SimulationSettings readSimulateDialog(const SimulateDialogTexts& texts)
{
    const auto& names = relief::toolShapeNames();
    if (std::find(names.begin(), names.end(), texts.tool) == names.end())
        throw Error("Tool Type: \"" + texts.tool + "\" is none of " + names[0] + ", " + names[1] +
                    " and " + names[2]);
    const relief::ToolShape shape = relief::toolShapeFromText(texts.tool);
    const double diameter = readNumber(texts, SimulateField::Diameter);
    double angle = 60;
    if (shape == relief::ToolShape::VBit) {
        const std::optional<int> degrees =
            relief::readEditInteger(texts[SimulateField::IncludedAngle]);
        if (!degrees)
            throw Error("Included Angle: \"" + texts[SimulateField::IncludedAngle] +
                        "\" is not a whole number of degrees");
        angle = *degrees;
    }

    SimulationSettings settings;
    settings.cutter = makeCutter(shape, diameter, angle);
    settings.cell = readNumber(texts, SimulateField::CellSize);
    checkCellSize(settings.cell);
    settings.rapidRate = readNumber(texts, SimulateField::RapidRate);
    relief::checkSize(settings.rapidRate, "Rapid Rate");

    if (!texts.picture.empty())
        return settings;
    Stock stock;
    stock.minX = readNumber(texts, SimulateField::StockMinX);
    stock.maxX = readNumber(texts, SimulateField::StockMaxX);
    stock.minY = readNumber(texts, SimulateField::StockMinY);
    stock.maxY = readNumber(texts, SimulateField::StockMaxY);
    stock.topZ = readNumber(texts, SimulateField::StockTop);
    if (!(stock.maxX - stock.minX >= settings.cell))
        throw Error("Stock X To must lie at least one cell beyond Stock X From");
    if (!(stock.maxY - stock.minY >= settings.cell))
        throw Error("Stock Y To must lie at least one cell beyond Stock Y From");
    settings.stock = stock;
    return settings;
}

std::optional<TargetRequest> readTargetRequest(const SimulateDialogTexts& texts)
{
    if (texts.picture.empty())
        return std::nullopt;
    TargetRequest request;
    request.picture = texts.picture;
    request.sizeX = readNumber(texts, SimulateField::TargetSizeX);
    relief::checkSize(request.sizeX, "Size X");
    request.sizeY = readNumber(texts, SimulateField::TargetSizeY);
    relief::checkSize(request.sizeY, "Size Y");
    request.depth = readNumber(texts, SimulateField::TargetDepth);
    relief::checkSize(request.depth, "Depth");
    return request;
}

} // namespace corvane::simulation
