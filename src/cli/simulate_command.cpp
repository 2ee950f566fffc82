// corvane-cli simulate PROGRAM: what a program will carve. The figures go to stdout, one
// "key: value" line each or one JSON object; the carved surface and the deviation map go to
// the files asked for.
#include "cli/commands.h"
#include "cli/output_checks.h"
#include "cli/stderr_run_control.h"
#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "imaging/picture_io.h"
#include "relief/height_grid.h"
#include "simulation/between_samples.h"
#include "simulation/carved_images.h"
#include "simulation/simulate_program.h"
#include "simulation/simulate_sequence.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <variant>
#include <vector>

namespace corvane::cli {

namespace {

struct SimulateOptions {
    std::string program;
    std::string tool;
    double diameter = 0;
    double angle = 60;
    double cell = 0;
    std::string target;
    double sizeX = 0, sizeY = 0, depth = 0;
    double rapidRate = 100;
    std::string carvedFile;
    std::string deviationFile;
    bool json = false;
    // A program carved before PROGRAM (roughing), with its own tool.
    std::string first;
    std::string firstTool;
    double firstDiameter = 0;
    double firstAngle = 60;
};

// Ten significant digits, "." whatever the locale.
std::string number(double v)
{
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 10);
    return std::string(text, end.ptr);
}

// Lists print as numbers separated by blanks, or as a JSON array.
using Value = std::variant<double, long long, std::string, std::vector<int>>;

void printFigures(const std::vector<std::pair<std::string, Value>>& figures, bool json)
{
    if (json) {
        nlohmann::ordered_json out = nlohmann::ordered_json::object();
        for (const auto& [key, value] : figures)
            std::visit([&](const auto& v) { out[key] = v; }, value);
        std::cout << out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    for (const auto& [key, value] : figures) {
        std::cout << key << ": ";
        if (const double* d = std::get_if<double>(&value))
            std::cout << number(*d);
        else if (const long long* n = std::get_if<long long>(&value))
            std::cout << *n;
        else if (const std::string* text = std::get_if<std::string>(&value))
            std::cout << *text;
        else
            for (std::size_t i = 0; const int n : std::get<std::vector<int>>(value))
                std::cout << (i++ ? " " : "") << n;
        std::cout << "\n";
    }
}

// Before any work: the outputs' kinds, and never an output over an input.
void checkOutputs(const SimulateOptions& o)
{
    if (!o.carvedFile.empty())
        requireExtension("-o", o.carvedFile, {".pgm"});
    if (!o.deviationFile.empty())
        requireExtension("--deviation", o.deviationFile, {".png"});
    for (const std::string& output : {o.carvedFile, o.deviationFile})
        refuseOutputOverInput(output, {o.program, o.target});
}

void run(const SimulateOptions& o)
{
    checkOutputs(o);
    StderrRunControl control;
    simulation::SimulationSettings settings;
    settings.cutter =
        simulation::makeCutter(relief::toolShapeFromText(o.tool), o.diameter, o.angle);
    settings.cell = o.cell;
    settings.rapidRate = o.rapidRate;
    if (!o.target.empty()) {
        const imaging::Picture picture = imaging::readPicture(o.target, control);
        settings.target = simulation::TargetRelief{relief::FillHeightGrid(picture, false), o.sizeX,
                                                   o.sizeY, o.depth};
    }
    const dnc::DncFile file = dnc::LoadDncProgram(o.program, control);
    std::optional<simulation::SequenceSimulation> sequence;
    if (!o.first.empty()) {
        const simulation::Cutter firstCutter = simulation::makeCutter(
            relief::toolShapeFromText(o.firstTool), o.firstDiameter, o.firstAngle);
        const dnc::DncFile firstFile = dnc::LoadDncProgram(o.first, control);
        sequence = simulation::SimulateSequence(firstFile.program, firstCutter, file.program,
                                                settings, control);
        if (sequence->stopped)
            throw Error("the simulation was cancelled");
    }
    const simulation::Simulation sim =
        sequence ? std::move(sequence->final) : SimulateProgram(file.program, settings, control);
    if (sim.stopped)
        throw Error("the simulation was cancelled");

    std::vector<std::pair<std::string, Value>> figures = {
        {"program", o.program},
        {"columns", (long long)sim.carved.cols},
        {"rows", (long long)sim.carved.rows},
        {"feedMoves", (long long)sim.feedMoves},
        {"rapidMoves", (long long)sim.rapidMoves},
        {"machiningMinutes", sim.time.minutes},
        {"untimedMoves", sim.time.untimedMoves},
        {"collisions", (long long)sim.collisionLines.size()},
        {"collisionLines", sim.collisionLines},
    };
    if (sim.deviation) {
        const simulation::Deviation& d = *sim.deviation;
        figures.insert(figures.end(), {{"largestGouge", d.largestGouge},
                                       {"gougeX", d.gougeX},
                                       {"gougeY", d.gougeY},
                                       {"largestLeftover", d.largestLeftover},
                                       {"leftoverX", d.leftoverX},
                                       {"leftoverY", d.leftoverY},
                                       {"meanAbsoluteDeviation", d.meanAbsolute},
                                       {"tolerance", d.tolerance},
                                       {"withinTolerance", d.withinTolerance}});
    }
    if (sim.gougeBetweenSamples) {
        figures.emplace_back("gougeBetweenSamples", *sim.gougeBetweenSamples);
        if (simulation::protectMovesRemoves(*sim.gougeBetweenSamples))
            figures.emplace_back("gougeBetweenSamplesNote",
                                 std::string("Protect Moves removes it"));
    }
    if (sequence) {
        figures.insert(figures.end(),
                       {{"first", o.first},
                        {"firstMachiningMinutes", sequence->first.time.minutes},
                        {"firstCollisions", (long long)sequence->first.collisionLines.size()},
                        {"largestSecondCut", sequence->largestSecondCut},
                        {"secondCut95", sequence->secondCut95}});
        if (sequence->firstLeastStock)
            figures.emplace_back("firstLeastStock", *sequence->firstLeastStock);
    }
    if (!o.carvedFile.empty())
        simulation::writeCarvedPgm(sim.carved, o.carvedFile);
    if (!o.deviationFile.empty()) {
        simulation::writeDeviationPng(sim.carved, sim.target, sim.deviation->tolerance,
                                      o.deviationFile);
    }
    printFigures(figures, o.json);
}

} // namespace

void addSimulateCommand(CLI::App& app)
{
    auto o = std::make_shared<SimulateOptions>();
    CLI::App* command =
        app.add_subcommand("simulate", "Carve a G-code program into a height map and compare "
                                       "it with the relief it was made from");
    command->add_option("PROGRAM", o->program, "G-code program")->required();
    const auto& names = relief::toolShapeNames();
    command->add_option("--tool", o->tool, "Tool Type")
        ->required()
        ->check(CLI::IsMember(std::vector<std::string>(names.begin(), names.end())));
    command->add_option("--diameter", o->diameter, "Tool diameter")->required();
    command->add_option("--angle", o->angle, "V Bit included angle in degrees (default 60)");
    command->add_option("--cell", o->cell, "Side of a height map cell")->required();
    CLI::Option* target =
        command->add_option("--target", o->target, "The picture the program was made from");
    CLI::Option* sizeX = command->add_option("--size-x", o->sizeX, "Size X of the relief");
    CLI::Option* sizeY = command->add_option("--size-y", o->sizeY, "Size Y of the relief");
    CLI::Option* depth = command->add_option("--depth", o->depth, "Depth of the relief");
    target->needs(sizeX)->needs(sizeY)->needs(depth);
    sizeX->needs(target);
    sizeY->needs(target);
    depth->needs(target);
    command->add_option("--rapid-rate", o->rapidRate, "Rapid rate, units per minute (100)");
    command->add_option("-o", o->carvedFile, "Carved surface, 16-bit PGM (0 = deepest)");
    command->add_option("--deviation", o->deviationFile, "Deviation map, colour PNG")
        ->needs(target);
    command->add_flag("--json", o->json, "One JSON object");
    CLI::Option* first = command->add_option(
        "--first", o->first, "A program carved before PROGRAM (a roughing program)");
    CLI::Option* firstTool =
        command->add_option("--first-tool", o->firstTool, "Tool Type of the first program")
            ->check(CLI::IsMember(std::vector<std::string>(names.begin(), names.end())));
    CLI::Option* firstDiameter = command->add_option("--first-diameter", o->firstDiameter,
                                                     "Tool diameter of the first program");
    CLI::Option* firstAngle = command->add_option("--first-angle", o->firstAngle,
                                                  "V Bit included angle of the first program (60)");
    first->needs(firstTool)->needs(firstDiameter);
    firstTool->needs(first);
    firstDiameter->needs(first);
    firstAngle->needs(first);
    command->callback([o] { run(*o); });
}

} // namespace corvane::cli
