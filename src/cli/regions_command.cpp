// corvane-cli regions: contour regions over a mesh file (DXF, STL, OBJ, PLY, OFF, 3MF), or
// over a picture's raster grid, made
// as the toolpaths dialog's Create makes them, then written as Save DNC (ordered) or Save
// DXF (list order) write them, or dumped as numbers.
#include "cli/commands.h"
#include "cli/machine_options.h"
#include "cli/output_checks.h"
#include "cli/stderr_run_control.h"
#include "common/error.h"
#include "common/timestamp.h"
#include "imaging/picture_io.h"
#include "mesh/mesh_file_reader.h"
#include "mesh/raster_grid.h"
#include "relief/height_grid.h"
#include "toolpaths/dnc_writer.h"
#include "toolpaths/dxf_polyline_writer.h"
#include "toolpaths/toolpaths_fields.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>

namespace corvane::cli {

namespace {

using namespace toolpaths;

struct RegionsOptions {
    std::string source, output;
    std::string style = "single", depths = "one";
    std::map<std::string, std::string> reals;    // option -> text, for the dialog's fields
    std::map<std::string, std::string> switches; // --reduce, --curve-fit, --filter
    bool dump = false;
    MachineOptions machine;
};

std::string lowerExtension(const std::string& path)
{
    std::string e = std::filesystem::path(path).extension().string();
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return e;
}

// The source's triangles, with what the dialog proposes for it.
struct Source {
    TTriangleArray triangles;
    bool rasterGrid = false;
    int gridColumns = 1;
    std::string name; // for the program header
    std::string proposedOpDepth = "0";
};

Source loadSource(const std::string& path, RunControl& control)
{
    Source source;
    if (mesh::meshKindFromName(path) != mesh::MeshFileKind::Unknown) {
        FacetMesh mesh;
        if (mesh::LoadMeshFile(mesh, path, control) == mesh::MeshLoadOutcome::NoFile)
            throw Error(path, "no such file");
        if (mesh.triangles.empty())
            throw Error(path, "no 3DFACE was found: there is nothing to slice");
        source.triangles = std::move(mesh.triangles);
        source.name = std::filesystem::path(path).filename().string();
        source.proposedOpDepth = proposedOpDepth(mesh.extents);
        return source;
    }
    const imaging::Picture picture = imaging::readPicture(path);
    if (picture.empty())
        throw Error(path, "the picture has no pixels");
    control.showStatus("Mapping 3D Grid... Please Wait...");
    const relief::TZGrid grid = relief::FillHeightGrid(picture, false);
    mesh::GridSurface surface;
    mesh::buildGridSurface(surface, grid, control);
    control.showStatus("Done...");
    source.triangles = std::move(surface.triangles);
    source.rasterGrid = true;
    source.gridColumns = grid.cols;
    source.name = "Vector Conversion";
    return source; // its view has no edges: Op Depth is proposed as 0
}

ToolpathsFields fieldsFor(const RegionsOptions& options, const Source& source)
{
    ToolpathsFields f;
    f.opDepth = source.proposedOpDepth;
    const std::map<std::string, std::string*> fieldOf{
        {"--op-depth", &f.opDepth}, {"--z-step", &f.zStep}, {"--cut-depth", &f.cutDepth},
        {"--feed", &f.feedrate},    {"--rapid", &f.rapid},  {"--width", &f.width},
        {"--depth", &f.depth}};
    for (const auto& [option, text] : options.reals)
        *fieldOf.at(option) = text;
    f.style = options.style == "topography" ? 1 : options.style == "vectorize" ? 2 : 0;
    f.regionDepths = options.depths == "multiple" ? 1 : 0;
    for (const auto& [option, text] : options.switches) {
        if (option == "--reduce") {
            f.reduce = true;
            f.reduceValue = text;
        } else if (option == "--curve-fit") {
            f.curveFit = true;
            f.curveFitValue = text;
        } else {
            f.filter = true;
            f.filterValue = text;
        }
    }
    return f;
}

void appendNumber(std::string& out, double v)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 17);
    out.append(text, result.ptr);
}

std::string dumpText(const TRegionArray& regions)
{
    std::string out;
    for (std::size_t i = 1; i < regions.size(); ++i) {
        const TRegion& r = regions[i];
        out += "region " + std::to_string(i) + " ";
        appendNumber(out, r.depth);
        out += r.open ? " 1 " : " 0 ";
        out += std::to_string(r.entities.size()) + "\n";
        for (const TMyEntity& s : r.entities) {
            appendNumber(out, s.x1);
            out += " ";
            appendNumber(out, s.y1);
            out += " ";
            appendNumber(out, s.x2);
            out += " ";
            appendNumber(out, s.y2);
            out += "\n";
        }
    }
    return out;
}

// "No Regions Created...Check Parameters..." becomes the one error line.
class RegionsRunControl : public StderrRunControl {
public:
    void showStatus(const std::string& text) override
    {
        if (text != NoRegionsMessage)
            StderrRunControl::showStatus(text);
    }
};

// The kinds a G-code program is saved as, for any machine.
bool isProgramKind(const std::string& extension)
{
    for (const std::string& e : machine::programExtensions(machine::Machine::AsWritten)) {
        std::string lower = "." + e;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        if (lower == extension)
            return true;
    }
    return false;
}

void runRegions(const RegionsOptions& options)
{
    const std::string kind = lowerExtension(options.output);
    const machine::MachineSettings machine = machineSettingsFor(options.machine);
    const bool program = isProgramKind(kind);
    if (!options.dump) {
        if (options.output.empty())
            throw Error("-o OUT.dnc or OUT.dxf is required unless --dump is given");
        if (!program && kind != ".dxf")
            throw Error(options.output,
                        "the output must end in .dnc, .nc, .gcode, .ngc, .tap or .dxf");
        if (!program && machine.machine != machine::Machine::AsWritten)
            throw Error(options.output, "--machine is for G-code programs, not DXF");
        refuseOutputOverInput(options.output, {options.source});
    }
    RegionsRunControl control;
    const Source source = loadSource(options.source, control);
    // The dialog's own checks, so a field is refused in the same words here and there.
    const ToolpathsFields fields = fieldsFor(options, source);
    if (const auto problem = toolpathsFieldsProblem(fields, source.rasterGrid))
        throw Error(*problem);
    const ToolpathsRun run = readToolpathsFields(fields, source.rasterGrid, source.gridColumns);
    if (program)
        machine::checkMachineSettings(machine, run.params.feedrate);

    RegionList list;
    const BuildResult result = RunToolpathsCreate(list, source.triangles, run, control);
    if (result.outcome != BuildOutcome::Created)
        throw Error(NoRegionsMessage);

    if (options.dump) {
        writeStandardOutput(dumpText(list.regions));
        flushStandardOutput();
        return;
    }
    if (program) {
        const DncHeader header{programTimestamp(), source.name, run.params.feedrate,
                               run.rapidHeight};
        SaveDncProgram(options.output, list.regions, header, control, machine);
    } else {
        SaveDxfPolylines(options.output, list.regions);
        control.showStatus("Ready...");
    }
}

} // namespace

void addRegionsCommand(CLI::App& app)
{
    static RegionsOptions options;
    CLI::App* command = app.add_subcommand(
        "regions", "Slice contour regions from a mesh file or a picture; write G-code or DXF");
    command->add_option("SOURCE", options.source, "A mesh (DXF, STL, OBJ, PLY, OFF, 3MF), or a picture (its raster grid)")
        ->required();
    command->add_option("-o,--output", options.output,
                        "OUT.dnc (ordered G-code; also .nc, .gcode, .ngc, .tap) or OUT.dxf");
    command->add_option("--style", options.style, "Style")
        ->check(CLI::IsMember({"single", "topography", "vectorize"}));
    command->add_option("--depths", options.depths, "Region Depths")
        ->check(CLI::IsMember({"one", "multiple"}));
    const std::pair<const char*, const char*> reals[] = {
        {"--op-depth", "Op Depth (default: half the largest z of the mesh)"},
        {"--z-step", "Z Step of Topography"},
        {"--cut-depth", "Cut Depth"},
        {"--feed", "Feedrate"},
        {"--rapid", "Rapid height"},
        {"--width", "Width of the picture in units (picture source)"},
        {"--depth", "Depth from white to black in units (picture source)"}};
    for (const auto& [name, help] : reals)
        command->add_option(name, options.reals[name], help);
    const std::pair<const char*, const char*> switches[] = {
        {"--reduce", "Reduce: keep every N-th vertex"},
        {"--curve-fit", "Curve Fit with M points a span"},
        {"--filter", "Filter: drop regions of fewer than F segments"}};
    for (const auto& [name, help] : switches)
        command->add_option(name, options.switches[name], help);
    command->add_flag("--dump", options.dump, "Print the regions instead of writing a file");
    addMachineOptions(*command, options.machine);
    command->callback([command] {
        // Only the options given count; the maps hold an entry for every option.
        RegionsOptions given = options;
        given.reals.clear();
        given.switches.clear();
        for (const auto& [name, text] : options.reals)
            if (command->count(name) > 0)
                given.reals[name] = text;
        for (const auto& [name, text] : options.switches)
            if (command->count(name) > 0)
                given.switches[name] = text;
        runRegions(given);
    });
}

} // namespace corvane::cli
