#include "mesh/assimp_reader.h"

#include "common/error.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <new>

namespace corvane::mesh {

namespace {

// Triangulate: polygons of any size into triangles. PreTransformVertices: every node's
// transform applied, so the corners are where the model puts them.
constexpr unsigned Steps = aiProcess_Triangulate | aiProcess_PreTransformVertices;

Point3D pointOf(const aiVector3D& v)
{
    return {double(v.x), double(v.y), double(v.z)};
}

void takeTriangles(const aiScene* scene, const std::string& fileName, TriangleSink& out)
{
    std::size_t count = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        if (!mesh || !mesh->mVertices)
            continue;
        out.expect(mesh->mNumFaces);
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices != 3)
                continue; // points and lines
            Point3D c[3];
            for (int i = 0; i < 3; ++i) {
                const unsigned index = face.mIndices[i];
                if (index >= mesh->mNumVertices)
                    throw Error(fileName, "a face refers to corner " + std::to_string(index) +
                                              " of only " + std::to_string(mesh->mNumVertices));
                c[i] = pointOf(mesh->mVertices[index]);
                if (!std::isfinite(c[i].x) || !std::isfinite(c[i].y) || !std::isfinite(c[i].z))
                    throw Error(fileName, "triangle " + std::to_string(count + 1) +
                                              " has a coordinate that is not a finite number");
            }
            out.add(c[0], c[1], c[2]);
            ++count;
        }
    }
    if (count == 0)
        throw Error(fileName, "the file holds no triangles");
}

template <class Read>
void readWith(const std::string& fileName, TriangleSink& out, Read&& read)
{
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
    try {
        scene = read(importer);
    } catch (const std::bad_alloc&) {
        throw Error(fileName, "not enough memory to read the model");
    }
    if (!scene) {
        const std::string reason = importer.GetErrorString();
        throw Error(fileName, "cannot read the model: " +
                                  (reason.empty() ? std::string("unknown reason") : reason));
    }
    takeTriangles(scene, fileName, out);
}

} // namespace

void readMeshThroughAssimp(const std::string& path, TriangleSink& out)
{
    readWith(path, out, [&](Assimp::Importer& importer) { return importer.ReadFile(path, Steps); });
}

void readMeshThroughAssimp(std::string_view bytes, const std::string& extension,
                           const std::string& fileName, TriangleSink& out)
{
    if (bytes.empty())
        throw Error(fileName, "the file is empty");
    readWith(fileName, out, [&](Assimp::Importer& importer) {
        return importer.ReadFileFromMemory(bytes.data(), bytes.size(), Steps, extension.c_str());
    });
}

} // namespace corvane::mesh
