#include "mesh/dxf_mesh_reader.h"

#include "common/error.h"
#include "common/mapped_file.h"
#include "mesh/dxf_face_scanner.h"
#include "mesh/triangle_sort.h"

#include <filesystem>

namespace corvane::mesh {

namespace {

// Steps up to the reading. Throws corvane::Error for a bad number, the mesh then complete
// with what was read.
void readFaces(FacetMesh& mesh, std::string_view bytes, const std::string& fileName,
               RunControl& control)
{
    loadingMeshSteps(mesh, fileName, control);
    try {
        scanDxfFaces(bytes, fileName, mesh);
    } catch (const Error&) {
        // What was read is kept whole: drawable within its extents (taken by the scan), and
        // sorted so that slicing it finds every triangle.
        sortByLowestZ(mesh.triangles, silentRunControl());
        throw;
    }
}

// What was read from a file that changed while it was read mixes two files (or zeros, where
// it was shortened): nothing of it is kept.
void checkUnchangedOrEmpty(const MappedFile& file, FacetMesh& mesh)
{
    try {
        file.checkUnchanged();
    } catch (const Error&) {
        mesh = FacetMesh{};
        throw;
    }
}

} // namespace

void loadingMeshSteps(FacetMesh& mesh, const std::string& fileName, RunControl& control)
{
    control.showStatus("Loading " + fileName + "... Esc to Cancel.");
    control.showProgress(ProgressDisplay::Gauge, 10);
    mesh = FacetMesh{};
    control.showProgress(ProgressDisplay::Gauge, 5);
}

bool processingMeshSteps(RunControl& control)
{
    control.checkpoint();
    control.showStatus("Processing Mesh... Esc to Cancel.");
    control.showProgress(ProgressDisplay::Gauge, 25);
    if (control.escapePressed())
        return false;
    // The extents were taken while reading: the edges need not be read through again.

    control.showProgress(ProgressDisplay::Gauge, 85);
    control.checkpoint();
    return !control.escapePressed();
}

MeshLoadOutcome finishMesh(FacetMesh& mesh, RunControl& control)
{
    if (!processingMeshSteps(control))
        return MeshLoadOutcome::Cancelled;
    if (!sortByLowestZ(mesh.triangles, control))
        return MeshLoadOutcome::Cancelled;
    return MeshLoadOutcome::Loaded;
}

MeshLoadOutcome LoadDxfMesh(FacetMesh& mesh, std::string_view bytes, const std::string& fileName,
                            RunControl& control)
{
    readFaces(mesh, bytes, fileName, control);
    return finishMesh(mesh, control);
}

MeshLoadOutcome LoadDxfMeshFile(FacetMesh& mesh, const std::string& path, RunControl& control)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return MeshLoadOutcome::NoFile;
    {
        // Unmapped before the sort, which needs memory of its own.
        const MappedFile file(path);
        try {
            readFaces(mesh, file.bytes(), path, control);
        } catch (const Error&) {
            // A bad number in a file that changed under us is the change's doing.
            checkUnchangedOrEmpty(file, mesh);
            throw;
        }
        checkUnchangedOrEmpty(file, mesh);
    }
    return finishMesh(mesh, control);
}

std::string loadedMessage(const std::string& fileName, std::size_t triangleCount)
{
    return fileName + " Succesfully loaded... " + std::to_string(triangleCount) +
           " Facets displayed. Use mouse to change view.";
}

} // namespace corvane::mesh
