#include "mesh/assimp_reader.h"

#include "common/error.h"
#include "common/mapped_file.h"

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <new>
#include <vector>

namespace corvane::mesh {

namespace {

std::string lowerExtensionOf(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext.empty() ? ext : ext.substr(1);
}

// No post-processing step of the library runs: some of them stop the program on an assert
// when a damaged file left a face inconsistent. Polygons are cut into fans here, and node
// transforms applied by walking the node tree.
constexpr unsigned Steps = 0;

Point3D pointOf(const aiMatrix4x4& transform, const aiVector3D& v)
{
    const aiVector3D p = transform * v;
    return {double(p.x), double(p.y), double(p.z)};
}

class TriangleTaker {
public:
    TriangleTaker(const std::string& fileName, TriangleSink& out) : name_(fileName), out_(out) {}

    void takeMesh(const aiMesh* mesh, const aiMatrix4x4& transform)
    {
        if (!mesh || !mesh->mVertices || !mesh->mFaces)
            return;
        out_.expect(mesh->mNumFaces);
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices < 3 || !face.mIndices)
                continue; // points and lines
            const Point3D first = corner(mesh, transform, face.mIndices[0]);
            Point3D previous = corner(mesh, transform, face.mIndices[1]);
            for (unsigned i = 2; i < face.mNumIndices; ++i) {
                const Point3D next = corner(mesh, transform, face.mIndices[i]);
                out_.add(first, previous, next);
                ++count_;
                previous = next;
            }
        }
    }
    std::size_t count() const { return count_; }

private:
    Point3D corner(const aiMesh* mesh, const aiMatrix4x4& transform, unsigned index) const
    {
        if (index >= mesh->mNumVertices)
            throw Error(name_, "a face refers to corner " + std::to_string(index) + " of only " +
                                   std::to_string(mesh->mNumVertices));
        const Point3D p = pointOf(transform, mesh->mVertices[index]);
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            throw Error(name_, "triangle " + std::to_string(count_ + 1) +
                                   " has a coordinate that is not a finite number");
        return p;
    }
    const std::string& name_;
    TriangleSink& out_;
    std::size_t count_ = 0;
};

void takeTriangles(const aiScene* scene, const std::string& fileName, TriangleSink& out)
{
    TriangleTaker taker(fileName, out);
    if (scene->mRootNode) {
        // Depth first without recursion: a file may nest nodes very deep.
        std::vector<std::pair<const aiNode*, aiMatrix4x4>> pending{
            {scene->mRootNode, scene->mRootNode->mTransformation}};
        std::size_t visited = 0;
        while (!pending.empty() && ++visited < 10'000'000) {
            const auto [node, transform] = pending.back();
            pending.pop_back();
            for (unsigned i = 0; i < node->mNumMeshes && node->mMeshes; ++i)
                if (node->mMeshes[i] < scene->mNumMeshes)
                    taker.takeMesh(scene->mMeshes[node->mMeshes[i]], transform);
            for (unsigned i = 0; i < node->mNumChildren && node->mChildren; ++i)
                if (node->mChildren[i])
                    pending.emplace_back(node->mChildren[i],
                                         transform * node->mChildren[i]->mTransformation);
        }
    } else {
        for (unsigned m = 0; m < scene->mNumMeshes; ++m)
            taker.takeMesh(scene->mMeshes[m], aiMatrix4x4());
    }
    if (taker.count() == 0)
        throw Error(fileName, "the file holds no triangles");
}

// The counts an OFF header announces, against the bytes there are: every element takes
// at least a byte, so a header that lies is refused before the library reserves memory for
// it (a header of a billion vertices in a 200-byte file would cost it 12 GB).
std::uint64_t numberAfter(std::string_view text, std::size_t& at)
{
    while (at < text.size() &&
           (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (error != std::errc())
        return 0;
    at = std::size_t(end - text.data());
    return value;
}

void checkAnnouncedCounts(std::string_view bytes, const std::string& extension,
                          const std::string& fileName)
{
    std::uint64_t announced = 0;
    if (extension == "off") {
        std::size_t at = bytes.find("OFF");
        if (at == std::string_view::npos)
            return;
        at += 3;
        announced = numberAfter(bytes, at);
        announced += numberAfter(bytes, at);
    }
    if (announced > bytes.size())
        throw Error(fileName, "the header announces " + std::to_string(announced) +
                                  " elements, but the file has only " +
                                  std::to_string(bytes.size()) + " bytes");
}

template <class Read> void readWith(const std::string& fileName, TriangleSink& out, Read&& read)
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
    {
        const MappedFile file(path);
        checkAnnouncedCounts(file.bytes(), lowerExtensionOf(path), path);
    }
    readWith(path, out, [&](Assimp::Importer& importer) { return importer.ReadFile(path, Steps); });
}

void readMeshThroughAssimp(std::string_view bytes, const std::string& extension,
                           const std::string& fileName, TriangleSink& out)
{
    if (bytes.empty())
        throw Error(fileName, "the file is empty");
    checkAnnouncedCounts(bytes, extension, fileName);
    readWith(fileName, out, [&](Assimp::Importer& importer) {
        return importer.ReadFileFromMemory(bytes.data(), bytes.size(), Steps, extension.c_str());
    });
}

} // namespace corvane::mesh
