#include "mesh/mesh_file_reader.h"

#include "common/error.h"
#include "common/mapped_file.h"
#include "mesh/assimp_reader.h"
#include "mesh/dxf_face_scanner.h"
#include "mesh/facet_mesh_build.h"
#include "mesh/ply_reader.h"
#include "mesh/stl_mesh_lists.h"
#include "mesh/stl_reader.h"
#include "mesh/stl_records.h"

#include <algorithm>
#include <filesystem>

namespace corvane::mesh {

namespace {

std::string lowerExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext.empty() ? ext : ext.substr(1);
}

MeshFileKind kindOfExtension(const std::string& ext)
{
    if (ext == "dxf")
        return MeshFileKind::Dxf;
    if (ext == "stl")
        return MeshFileKind::Stl;
    if (ext == "ply")
        return MeshFileKind::Ply;
    if (ext == "obj" || ext == "off" || ext == "3mf")
        return MeshFileKind::Assimp;
    return MeshFileKind::Unknown;
}

[[noreturn]] void unknownKind(const std::string& fileName)
{
    throw Error(fileName,
                std::string("not a kind of mesh file this program reads (") + MeshKindsText + ")");
}

// Reading into the lists, then the extents; what was read goes when the file is refused.
template <class Read>
MeshLoadOutcome loadThrough(FacetMesh& mesh, const std::string& fileName, RunControl& control,
                            Read&& read)
{
    loadingMeshSteps(mesh, fileName, control);
    try {
        FacetMeshSink sink(mesh);
        if (!read(sink))
            return MeshLoadOutcome::Cancelled;
    } catch (...) {
        mesh = FacetMesh{};
        throw;
    }
    mesh.extents = edgeExtents(mesh.edges);
    return finishMesh(mesh, control);
}

// A binary STL that announces triangles goes straight into the lists (stl_mesh_lists.h),
// with the status steps of loadThrough; the rest of STL (text, or refused) goes the general
// way.
bool isDirectStl(std::string_view bytes)
{
    return isBinaryStl(bytes) && stl::triangleCount(bytes.data()) != 0;
}

MeshLoadOutcome loadBinaryStl(FacetMesh& mesh, std::string_view bytes, const std::string& fileName,
                              RunControl& control)
{
    loadingMeshSteps(mesh, fileName, control);
    const bool loaded = loadBinaryStlLists(
        mesh, bytes, fileName, control, [&] { return processingMeshSteps(control); },
        stlListThreads());
    return loaded ? MeshLoadOutcome::Loaded : MeshLoadOutcome::Cancelled;
}

MeshLoadOutcome loadStlBytes(FacetMesh& mesh, std::string_view bytes, const std::string& fileName,
                             RunControl& control)
{
    if (isDirectStl(bytes))
        return loadBinaryStl(mesh, bytes, fileName, control);
    return loadThrough(mesh, fileName, control,
                       [&](TriangleSink& sink) { return readStl(bytes, fileName, sink, control); });
}

// Mapped for the whole load: the triangles are written from their records after the sort.
// What was read from a file that changed meanwhile is not kept.
MeshLoadOutcome loadStlFile(FacetMesh& mesh, const std::string& path, RunControl& control)
{
    const MappedFile file(path);
    try {
        const MeshLoadOutcome outcome = loadStlBytes(mesh, file.bytes(), path, control);
        file.checkUnchanged();
        return outcome;
    } catch (const Error&) {
        mesh = FacetMesh{};
        file.checkUnchanged();
        throw;
    }
}

} // namespace

MeshFileKind meshKindFromName(const std::string& path)
{
    return kindOfExtension(lowerExtension(path));
}

MeshLoadOutcome LoadMeshFile(FacetMesh& mesh, const std::string& path, RunControl& control)
{
    const MeshFileKind kind = meshKindFromName(path);
    if (kind == MeshFileKind::Dxf)
        return LoadDxfMeshFile(mesh, path, control);
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return MeshLoadOutcome::NoFile;
    if (kind == MeshFileKind::Unknown)
        unknownKind(path);
    if (kind == MeshFileKind::Stl)
        return loadStlFile(mesh, path, control);
    return loadThrough(mesh, path, control,
                       [&](TriangleSink& sink) { return readMeshTriangles(path, sink, control); });
}

MeshLoadOutcome LoadMeshBytes(FacetMesh& mesh, std::string_view bytes, const std::string& extension,
                              const std::string& fileName, RunControl& control)
{
    const MeshFileKind kind = kindOfExtension(extension);
    if (kind == MeshFileKind::Dxf)
        return LoadDxfMesh(mesh, bytes, fileName, control);
    if (kind == MeshFileKind::Unknown)
        unknownKind(fileName);
    if (kind == MeshFileKind::Stl)
        return loadStlBytes(mesh, bytes, fileName, control);
    return loadThrough(mesh, fileName, control, [&](TriangleSink& sink) {
        if (kind == MeshFileKind::Ply)
            return readPly(bytes, fileName, sink, control);
        readMeshThroughAssimp(bytes, extension, fileName, sink);
        return true;
    });
}

namespace {

// What was read from a file that changed under us mixes two files (or zeros where it was
// shortened): refused, and a bad record in it is the change's doing.
template <typename Read> bool readMapped(const std::string& path, Read read)
{
    const MappedFile file(path);
    bool completed = false;
    try {
        completed = read(file.bytes());
    } catch (const Error&) {
        file.checkUnchanged();
        throw;
    }
    file.checkUnchanged();
    return completed;
}

} // namespace

bool readMeshTriangles(const std::string& path, TriangleSink& out, RunControl& control)
{
    switch (meshKindFromName(path)) {
    case MeshFileKind::Stl:
        return readMapped(
            path, [&](std::string_view bytes) { return readStl(bytes, path, out, control); });
    case MeshFileKind::Ply:
        return readMapped(
            path, [&](std::string_view bytes) { return readPly(bytes, path, out, control); });
    case MeshFileKind::Assimp:
        if (!std::filesystem::is_regular_file(path))
            throw Error(path, "no such file");
        readMeshThroughAssimp(path, out);
        return true;
    case MeshFileKind::Dxf:
        return readMapped(path, [&](std::string_view bytes) {
            return readDxfFaceTriangles(bytes, path, out, control);
        });
    default:
        unknownKind(path);
    }
}

} // namespace corvane::mesh
