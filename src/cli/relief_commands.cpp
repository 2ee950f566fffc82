// corvane-cli surface, gcode and gouge: the relief engine driven exactly as the surface
// dialog drives it. The value options are typed into the dialog's model in the order given,
// with its coupling, so the command line writes the same files as the desktop program.
#include "cli/commands.h"
#include "cli/machine_options.h"
#include "cli/output_checks.h"
#include "cli/stderr_run_control.h"
#include "common/atomic_file.h"
#include "common/error.h"
#include "common/out_of_memory.h"
#include "imaging/picture_io.h"
#include "imaging/pnm_codec.h"
#include "relief/create_relief.h"
#include "relief/create_roughing.h"
#include "relief/gouge_control.h"
#include "relief/height_grid.h"
#include "relief/parameter_checks.h"
#include "relief/stl_surface.h"
#include "relief/surface_dialog_model.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

namespace corvane::cli {

namespace {

using relief::SurfaceEdit;
using relief::SurfaceMode;

// The roughing program of gcode: unset values take the engine's defaults for the finishing
// program (relief/roughing_parameters.h).
struct RoughingOptions {
    std::string output; // empty: no roughing
    std::optional<std::string> tool;
    std::optional<double> diameter, stock, stepOver, stepDown, feed;
    std::optional<int> angle;
    bool keepDepthPerPass = false;
};

// The options of one relief command, as the texts the user would have typed.
struct ReliefOptions {
    std::string picture;
    std::string output;
    bool noKeepAspect = false;
    bool noGouge = false;
    bool protectMoves = false;                    // gcode only
    double cellWidth = 0, cellHeight = 0;         // gouge only; 0: one pixel
    double baseThickness = relief::DefaultBaseThickness; // surface to STL only
    RoughingOptions rough;                        // gcode only
    MachineOptions machine;                       // gcode only
    std::map<std::string, std::string> lastValue; // scratch for CLI11
    std::map<std::string, SurfaceEdit> editOf;    // option name -> the edit it types into
};

void addEditOption(CLI::App& command, ReliefOptions& options, const std::string& name,
                   SurfaceEdit edit, const std::string& help)
{
    // Values are kept as text: the dialog's reader decides what is a number.
    command.add_option(name, options.lastValue[name], help)->allow_extra_args(false);
    options.editOf[name] = edit;
}

// The "Gouge Control" group: the tool, as the dialog offers it.
void addToolOptions(CLI::App& command, ReliefOptions& options)
{
    const auto& names = relief::toolShapeNames();
    command.add_option("--tool", options.lastValue["--tool"], "Tool Type")
        ->check(CLI::IsMember(std::vector<std::string>(names.begin(), names.end())));
    addEditOption(command, options, "--diameter", SurfaceEdit::Diameter, "Tool diameter");
    addEditOption(command, options, "--angle", SurfaceEdit::IncludedAngle,
                  "V Bit included angle, whole degrees (5 to 179)");
}

void addRoughingOptions(CLI::App& command, RoughingOptions& rough)
{
    const auto& names = relief::toolShapeNames();
    command.add_option("--rough", rough.output,
                       "Also write a roughing program to this file; the finishing program then "
                       "makes one depth pass");
    command.add_option("--rough-tool", rough.tool, "Roughing tool type (End Mill)")
        ->check(CLI::IsMember(std::vector<std::string>(names.begin(), names.end())));
    command.add_option("--rough-diameter", rough.diameter, "Roughing tool diameter (0.25)");
    command.add_option("--rough-angle", rough.angle, "Roughing V Bit included angle (60)");
    command.add_option("--stock", rough.stock, "Stock to Leave for the finish (0.02)");
    command.add_option("--rough-step-over", rough.stepOver,
                       "Roughing Step Over (40 % of the roughing diameter)");
    command.add_option("--rough-step-down", rough.stepDown,
                       "Roughing Step Down (the Depth / Pass)");
    command.add_option("--rough-feed", rough.feed, "Roughing Feedrate (the Feedrate)");
    command.add_flag("--keep-depth-per-pass", rough.keepDepthPerPass,
                     "With --rough, finish with the Depth / Pass instead of one pass");
}

CLI::App* addReliefCommand(CLI::App& app, const std::string& name, const std::string& help,
                           ReliefOptions& options, SurfaceMode mode)
{
    CLI::App* command = app.add_subcommand(name, help);
    command->add_option("PICTURE", options.picture, "Picture file")->required();
    command->add_option("-o,--output", options.output, "File to write")->required();
    addEditOption(*command, options, "--size-x", SurfaceEdit::SizeX, "Size X, width in units");
    addEditOption(*command, options, "--size-y", SurfaceEdit::SizeY, "Size Y, height in units");
    addEditOption(*command, options, "--step-x", SurfaceEdit::StepX, "Step X");
    addEditOption(*command, options, "--step-y", SurfaceEdit::StepY, "Step Y");
    addEditOption(*command, options, "--depth", SurfaceEdit::Depth,
                  "Depth (also sets Depth / Pass)");
    if (mode == SurfaceMode::GCode) {
        addEditOption(*command, options, "--depth-per-pass", SurfaceEdit::DepthPerPass,
                      "Depth / Pass");
        addEditOption(*command, options, "--feed", SurfaceEdit::Feedrate, "Feedrate");
        addEditOption(*command, options, "--rapid", SurfaceEdit::RapidHeight, "Rapid Height");
        command->add_flag("--protect-moves", options.protectMoves,
                          "Check Protect Moves Between Samples (with gouge control)");
        addRoughingOptions(*command, options.rough);
        addMachineOptions(*command, options.machine);
    }
    command->add_flag("--no-keep-aspect", options.noKeepAspect,
                      "Uncheck Keep Aspect Ratio before any value is applied");
    command->add_flag("--no-gouge", options.noGouge, "Uncheck Use Gouge Control");
    addToolOptions(*command, options);
    return command;
}

// Opens the dialog's model for the picture and types the options into it, in order.
relief::SurfaceDialogModel modelFor(const CLI::App& command, const ReliefOptions& options,
                                    SurfaceMode mode, const imaging::Picture& picture)
{
    relief::SurfaceDialogModel model(mode,
                                     {picture.width, picture.height, picture.xRes, picture.yRes});
    if (options.noKeepAspect)
        model.setKeepAspectRatio(false);
    if (options.noGouge)
        model.setUseGougeControl(false);
    model.setProtectMoves(options.protectMoves);
    std::map<const CLI::Option*, std::size_t> seen; // an option given twice counts twice
    for (const CLI::Option* option : command.parse_order()) {
        const std::string key = "--" + option->get_single_name();
        const std::size_t occurrence = seen[option]++;
        if (occurrence >= option->results().size())
            continue;
        const std::string& value = option->results()[occurrence];
        if (key == "--tool")
            model.setToolText(value);
        else if (const auto edit = options.editOf.find(key); edit != options.editOf.end())
            model.setText(edit->second, value);
    }
    return model;
}

// The picture, once it is sure that the output will not replace it.
imaging::Picture readSource(const ReliefOptions& options)
{
    const std::string& path = options.picture;
    refuseOutputOverInput(options.output, {path});
    imaging::Picture picture = imaging::readPicture(path);
    if (picture.empty())
        throw Error(path, "the picture has no pixels");
    return picture;
}

relief::CreateHooks hooksFor(const std::string& output)
{
    return {[output] { return std::optional<std::string>(output); },
            [](const std::string& message) { std::cerr << "corvane-cli: " << message << "\n"; }};
}

bool isStlName(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".stl";
}

// The kind of file comes from the output's extension: .stl a closed binary STL solid,
// anything else the DXF surface.
void runSurface(const CLI::App& command, const ReliefOptions& options)
{
    const bool stl = isStlName(options.output);
    if (!stl && command.count("--base") > 0)
        throw Error(options.output, "--base applies to an STL surface only (-o OUT.stl)");
    const imaging::Picture picture = readSource(options);
    const relief::ReliefParameters params =
        modelFor(command, options, SurfaceMode::DxfSurface, picture).read();
    StderrRunControl control;
    if (stl) {
        // The solid's walls close the surface: no white frame.
        const relief::TZGrid grid = relief::FillHeightGrid(picture, false);
        const relief::CreateResult result = relief::CreateStlSurface(
            grid, params, options.baseThickness, control, hooksFor(options.output));
        if (result.outcome != relief::CreateOutcome::Saved)
            throw Error(options.output, "stopped; nothing was written");
        return;
    }
    relief::TZGrid grid = relief::FillHeightGrid(picture, true);
    relief::CreateDxfSurface(grid, params, control, hooksFor(options.output));
}

relief::RoughingParameters roughingFor(const RoughingOptions& o,
                                       const relief::ReliefParameters& finishing)
{
    relief::RoughingParameters r = relief::defaultRoughing(finishing);
    if (o.tool)
        r.tool = relief::toolShapeFromText(*o.tool);
    if (o.diameter) {
        r.toolDiameter = *o.diameter;
        r.stepOver = relief::defaultStepOver(r.toolDiameter);
    }
    r.includedAngle = o.angle.value_or(r.includedAngle);
    r.stockToLeave = o.stock.value_or(r.stockToLeave);
    r.stepOver = o.stepOver.value_or(r.stepOver);
    r.stepDown = o.stepDown.value_or(r.stepDown);
    r.feedRate = o.feed.value_or(r.feedRate);
    return r;
}

void runGCode(const CLI::App& command, const ReliefOptions& options)
{
    const imaging::Picture picture = readSource(options);
    relief::ReliefParameters params =
        modelFor(command, options, SurfaceMode::GCode, picture).read();
    const machine::MachineSettings machine = machineSettingsFor(options.machine);
    machine::checkMachineSettings(machine, params.feedRate);
    relief::TZGrid grid = relief::FillHeightGrid(picture, false);
    StderrRunControl control;
    const std::string sourceName = std::filesystem::path(options.picture).filename().string();
    if (!options.rough.output.empty()) {
        // Both programs' values are judged before either is written.
        const relief::RoughingParameters roughing = roughingFor(options.rough, params);
        params = relief::finishingAfterRoughing(params, options.rough.keepDepthPerPass);
        relief::checkRasterParameters(params);
        relief::checkRoughingParameters(roughing, params);
        machine::checkMachineSettings(machine, roughing.feedRate);
        const relief::RoughingResult rough = relief::CreateRoughingProgram(
            grid, params, roughing, sourceName, control,
            {[&] { return std::optional<std::string>(options.rough.output); }, {}}, machine);
        if (rough.create.outcome != relief::CreateOutcome::Saved)
            throw Error(options.rough.output, "the roughing program was not written");
    }
    const relief::CreateResult result = relief::CreateRasterProgram(
        grid, params, sourceName, control,
        {[&] { return std::optional<std::string>(options.output); }, {}}, machine);
    if (result.outcome == relief::CreateOutcome::ZeroDiameter)
        throw Error(relief::ZeroDiameterMessage);
}

void runGouge(const CLI::App& command, const ReliefOptions& options)
{
    const imaging::Picture picture = readSource(options);
    // The tool, the Depth that sets the height scale and their defaults are the dialog's.
    // The surface's framed grid gives sizes above 0 even for a picture one pixel wide.
    const relief::SurfaceDialogModel model =
        modelFor(command, options, SurfaceMode::DxfSurface, picture);
    const relief::ReliefParameters params = model.read();
    if (params.toolDiameter == 0)
        throw Error(relief::ZeroDiameterMessage);
    // Without cell sizes, a cell is one pixel at the picture's resolution (100 per unit when
    // the file gives none).
    const double cellWidth = options.cellWidth != 0 ? options.cellWidth : 1.0 / model.xRes();
    const double cellHeight = options.cellHeight != 0 ? options.cellHeight : 1.0 / model.yRes();
    relief::TZGrid grid = relief::FillHeightGrid(picture, false);
    StderrRunControl control;
    relief::applyGougeStep(grid, params, cellWidth, cellHeight, control);
    const int cols = grid.cols, rows = grid.rows;
    const std::string pgm = runWithMemoryFor(
        "the PGM picture", cols, rows, "grid", 4 * std::uint64_t(cols) * std::uint64_t(rows),
        [&] { return imaging::encodePnm(relief::GridPicture(std::move(grid))); });
    AtomicFile file(options.output);
    file.write(pgm);
    file.commit();
    control.showStatus("Ready...");
}

} // namespace

void addReliefCommands(CLI::App& app)
{
    // The options live as long as the application that parses into them.
    static ReliefOptions surface, gcode, gouge;

    CLI::App* surfaceCommand =
        addReliefCommand(app, "surface",
                         "Write a picture as a DXF surface mesh of 3DFACE entities, or (-o "
                         "OUT.stl) as a closed binary STL solid",
                         surface, SurfaceMode::DxfSurface);
    surfaceCommand->add_option("--base", surface.baseThickness,
                               "STL only: Base Thickness under the deepest point (default 0.1)");
    surfaceCommand->callback([surfaceCommand] { runSurface(*surfaceCommand, surface); });

    CLI::App* gcodeCommand =
        addReliefCommand(app, "gcode", "Write a picture as a raster G-code program (DNC file)",
                         gcode, SurfaceMode::GCode);
    gcodeCommand->callback([gcodeCommand] { runGCode(*gcodeCommand, gcode); });

    CLI::App* gougeCommand =
        app.add_subcommand("gouge", "Apply gouge control to a picture and write the grid as PGM");
    gougeCommand->add_option("PICTURE", gouge.picture, "Picture file")->required();
    gougeCommand->add_option("-o,--output", gouge.output, "PGM file to write")->required();
    addToolOptions(*gougeCommand, gouge);
    gougeCommand->add_option("--cell-w", gouge.cellWidth, "Width of one grid cell");
    gougeCommand->add_option("--cell-h", gouge.cellHeight, "Height of one grid cell");
    addEditOption(*gougeCommand, gouge, "--depth", SurfaceEdit::Depth,
                  "Depth (sets the height scale)");
    gougeCommand->callback([gougeCommand] { runGouge(*gougeCommand, gouge); });
}

} // namespace corvane::cli
