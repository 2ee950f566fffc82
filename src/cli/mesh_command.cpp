// corvane-cli mesh FILE: reads a mesh file (DXF, STL, OBJ, PLY, OFF, 3MF) as the mesh view does
// and prints the
// triangle count, the edge count and the extents; --json as one line of JSON; --dump adds
// every triangle of the sorted list, for comparing meshes number by number.
#include "cli/commands.h"
#include "cli/output_checks.h"
#include "cli/stderr_run_control.h"
#include "common/error.h"
#include "mesh/mesh_file_reader.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

namespace corvane::cli {

namespace {

struct MeshOptions {
    std::string file;
    bool json = false;
    bool dump = false;
};

// C's "%.17g" without the locale: to_chars with a precision is specified to match printf.
void appendNumber(std::string& out, double value)
{
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    out.append(buffer, result.ptr);
}

std::vector<double> extentValues(const Extents3D& e)
{
    return {e.minX, e.maxX, e.minY, e.maxY, e.minZ, e.maxZ, e.rangeY, e.rangeX};
}

// triangles N / edges M / extents and its 8 values / one line of 9 numbers per triangle.
void printDump(const FacetMesh& mesh)
{
    std::string out = "triangles " + std::to_string(mesh.triangles.size()) + "\nedges " +
                      std::to_string(mesh.edges.size()) + "\nextents";
    for (double v : extentValues(mesh.extents)) {
        out += ' ';
        appendNumber(out, v);
    }
    out += '\n';
    for (const Triangle& t : mesh.triangles) {
        const double values[9] = {t.c[0].x, t.c[0].y, t.c[0].z, t.c[1].x, t.c[1].y,
                                  t.c[1].z, t.c[2].x, t.c[2].y, t.c[2].z};
        for (int i = 0; i < 9; ++i) {
            appendNumber(out, values[i]);
            out += i == 8 ? '\n' : ' ';
        }
        if (out.size() > (1 << 20)) {
            writeStandardOutput(out);
            out.clear();
        }
    }
    writeStandardOutput(out);
    flushStandardOutput();
}

void printSummary(const MeshOptions& options, const FacetMesh& mesh)
{
    const Extents3D& e = mesh.extents;
    if (options.json) {
        const nlohmann::ordered_json summary = {{"file", options.file},
                                                {"triangles", mesh.triangles.size()},
                                                {"edges", mesh.edges.size()},
                                                {"extents",
                                                 {{"minX", e.minX},
                                                  {"maxX", e.maxX},
                                                  {"minY", e.minY},
                                                  {"maxY", e.maxY},
                                                  {"minZ", e.minZ},
                                                  {"maxZ", e.maxZ},
                                                  {"rangeY", e.rangeY},
                                                  {"rangeX", e.rangeX}}}};
        std::cout << summary.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    std::string out = "Triangles: " + std::to_string(mesh.triangles.size()) +
                      "\nEdges: " + std::to_string(mesh.edges.size()) + "\nExtents:";
    for (double v : extentValues(e)) {
        out += ' ';
        appendNumber(out, v);
    }
    std::cout << out
              << "\n  (min x, max x, min y, max y, min z, max z, y range, x range; "
                 "z is negated)\n";
}

void runMesh(const MeshOptions& options)
{
    StderrRunControl control;
    FacetMesh mesh;
    if (mesh::LoadMeshFile(mesh, options.file, control) == mesh::MeshLoadOutcome::NoFile)
        throw Error(options.file, "no such file");
    control.showStatus(mesh::loadedMessage(options.file, mesh.triangles.size()));
    if (options.dump)
        printDump(mesh);
    else
        printSummary(options, mesh);
}

} // namespace

void addMeshCommand(CLI::App& app)
{
    auto options = std::make_shared<MeshOptions>();
    CLI::App* command =
        app.add_subcommand("mesh", "Read a mesh file and show its size and extents");
    command->add_option("FILE", options->file,
                        "Mesh file: DXF of 3DFACE entities, STL, OBJ, PLY, OFF or 3MF")
        ->required();
    command->add_flag("--json", options->json, "One line of JSON instead of text");
    command->add_flag("--dump", options->dump,
                      "Print the counts, the extents and every triangle of the sorted list");
    command->callback([options] { runMesh(*options); });
}

} // namespace corvane::cli
