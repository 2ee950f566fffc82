// corvane-cli depthmap MESH -o OUT.png|OUT.tif|OUT.pgm: the top view of a mesh file as a
// 16-bit grey depth map, white highest (--invert: lowest).
#include "cli/commands.h"
#include "cli/stderr_run_control.h"
#include "common/error.h"
#include "imaging/picture_io.h"
#include "mesh/depth_map.h"
#include "mesh/mesh_file_reader.h"

#include <memory>

namespace corvane::cli {

namespace {

struct DepthMapCommandOptions {
    std::string mesh;
    std::string output;
    mesh::DepthMapOptions map;
};

void runDepthMap(const DepthMapCommandOptions& options)
{
    const int type = imaging::fileTypeFromName(options.output);
    if (type != imaging::FileTypePng && type != imaging::FileTypeTiff &&
        type != imaging::FileTypePnm)
        throw Error(options.output,
                    "a depth map keeps 16 bits in PNG, TIFF or PGM only: name it .png, .tif "
                    "or .pgm");
    StderrRunControl control;
    control.showStatus("Loading " + options.mesh + "... Esc to Cancel.");
    mesh::TriangleSoup soup;
    if (!mesh::readMeshTriangles(options.mesh, soup, control))
        throw Cancelled(options.mesh);
    control.showStatus("Rendering Depth Map... Esc to Cancel.");
    const imaging::Picture picture = mesh::renderDepthMap(soup.corners, options.map, control);
    control.showStatus("Saving " + options.output + "...");
    imaging::writePicture(picture, options.output, type, {}, control);
    control.showStatus(options.output + ": " + std::to_string(picture.width) + " x " +
                       std::to_string(picture.height) + " pixels, 16 bits");
}

} // namespace

void addDepthMapCommand(CLI::App& app)
{
    auto options = std::make_shared<DepthMapCommandOptions>();
    CLI::App* command = app.add_subcommand(
        "depthmap", "Render a mesh's top view as a 16-bit grey depth map (white highest)");
    command->add_option("MESH", options->mesh, "Mesh file: STL, OBJ, PLY, OFF or 3MF")
        ->required();
    command->add_option("-o,--output", options->output, "OUT.png, OUT.tif or OUT.pgm")
        ->required();
    CLI::Option* pixel = command->add_option(
        "--pixel", options->map.pixelSize, "Pixel size in the mesh's units");
    command->add_option("--width", options->map.width, "Pixels across x")->excludes(pixel);
    command->add_flag("--invert", options->map.invert, "White lowest, black highest");
    command->callback([options] { runDepthMap(*options); });
}

} // namespace corvane::cli
