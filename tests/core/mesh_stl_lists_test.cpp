// Binary STL straight into the mesh view's lists against the general road it stands in for
// (readStl into a FacetMeshSink, the extents over the sides, sortByLowestZ): the same bytes in
// every list, on one thread and on two, for meshes full of ties, flat triangles and shared
// sides; the same refusals; Esc leaves nothing behind.
#include "common/error.h"
#include "mesh/facet_mesh_build.h"
#include "mesh/stl_mesh_lists.h"
#include "mesh/stl_reader.h"
#include "mesh/triangle_sink.h"
#include "mesh/triangle_sort.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace corvane;
using namespace corvane::mesh;

namespace {

void appendFloat(std::string& out, double v)
{
    const float f = float(v);
    out.append(reinterpret_cast<const char*>(&f), 4);
}

// Records of three corners each (nine coordinates a record).
std::string binaryStl(const std::vector<double>& coordinates)
{
    std::string out(80, ' ');
    const auto count = std::uint32_t(coordinates.size() / 9);
    out.append(reinterpret_cast<const char*>(&count), 4);
    for (std::size_t t = 0; t < count; ++t) {
        for (int n = 0; n < 3; ++n)
            appendFloat(out, 0.5); // the normal is never read
        for (int k = 0; k < 9; ++k)
            appendFloat(out, coordinates[9 * t + std::size_t(k)]);
        out.append(2, '\0');
    }
    return out;
}

// A height field of n x n cells, two triangles a cell sharing their sides, heights from few
// levels: many triangles with the same lowest z, flat patches, and 0 and -0 side by side.
std::vector<double> terrace(int n, int levels, std::mt19937& random)
{
    std::vector<double> height(std::size_t(n + 1) * std::size_t(n + 1));
    for (std::size_t k = 0; k < height.size(); ++k) {
        const double level = double(random() % unsigned(levels)) - levels / 2;
        height[k] = level == 0 && k % 3 == 0 ? -0.0 : level * 0.25;
    }
    const auto h = [&](int i, int j) {
        return height[std::size_t(j) * std::size_t(n + 1) + std::size_t(i)];
    };
    std::vector<double> out;
    out.reserve(std::size_t(18) * std::size_t(n) * std::size_t(n));
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const double a[3] = {double(i), double(j), h(i, j)};
            const double b[3] = {i + 1.0, double(j), h(i + 1, j)};
            const double c[3] = {i + 1.0, j + 1.0, h(i + 1, j + 1)};
            const double d[3] = {double(i), j + 1.0, h(i, j + 1)};
            for (const double* p : {a, b, c, a, c, d})
                out.insert(out.end(), p, p + 3);
        }
    return out;
}

FacetMesh generalRoad(const std::string& bytes)
{
    FacetMesh mesh;
    FacetMeshSink sink(mesh);
    EXPECT_TRUE(readStl(bytes, "t.stl", sink));
    mesh.extents = edgeExtents(mesh.edges);
    EXPECT_TRUE(sortByLowestZ(mesh.triangles, silentRunControl()));
    return mesh;
}

const auto noSteps = [] { return true; };

// Bit for bit: 0 and -0 count as different here, as they print differently.
template <class T> bool sameBytes(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void expectSameLists(const FacetMesh& fast, const FacetMesh& reference, const char* what)
{
    EXPECT_EQ(fast.edges.size(), reference.edges.size()) << what;
    EXPECT_TRUE(sameBytes(fast.edges, reference.edges)) << what;
    ASSERT_EQ(fast.triangles.size(), reference.triangles.size()) << what;
    for (std::size_t k = 0; k < fast.triangles.size(); ++k)
        ASSERT_EQ(std::memcmp(&fast.triangles[k], &reference.triangles[k], sizeof(Triangle)), 0)
            << what << ": triangle " << k << " differs (tie order?)";
    EXPECT_EQ(std::memcmp(&fast.extents, &reference.extents, sizeof(Extents3D)), 0) << what;
}

// Esc from the given look on.
class EscAfter : public RunControl {
public:
    explicit EscAfter(int looks) : looks_(looks) {}
    bool escapePressed() override { return ++seen_ > looks_; }

private:
    int looks_, seen_ = 0;
};

} // namespace

TEST(StlLists, GiveTheListsOfTheGeneralRoadOnOneThreadAndTwo)
{
    std::mt19937 random(22);
    std::vector<std::pair<std::string, std::string>> cases;
    cases.push_back({"one triangle", binaryStl({0, 0, 1, 1, 0, 0, 0, 1, 2})});
    cases.push_back({"one flat triangle", binaryStl({0, 0, 1, 1, 0, 1, 0, 1, 1})});
    cases.push_back({"small terrace", binaryStl(terrace(7, 3, random))});
    // Large enough for the second thread and for the sort's own split.
    cases.push_back({"terrace of few levels", binaryStl(terrace(300, 4, random))});
    cases.push_back({"terrace of many levels", binaryStl(terrace(760, 5000, random))});
    std::vector<double> soup(9 * 70000);
    for (double& v : soup)
        v = double(random() % 2001) / 7 - 100;
    cases.push_back({"loose triangles", binaryStl(soup)});
    for (const auto& [what, bytes] : cases) {
        const FacetMesh reference = generalRoad(bytes);
        for (unsigned threads : {1u, 2u}) {
            FacetMesh fast;
            fast.triangles.resize(3); // what the mesh held before is dropped
            ASSERT_TRUE(
                loadBinaryStlLists(fast, bytes, "t.stl", silentRunControl(), noSteps, threads));
            expectSameLists(fast, reference, what.c_str());
        }
    }
}

TEST(StlLists, RefuseTheFirstCoordinateThatIsNotFiniteAndStopOnEsc)
{
    std::mt19937 random(3);
    std::vector<double> coordinates = terrace(400, 50, random); // 320 000 triangles
    coordinates[9 * 250000 + 4] = std::numeric_limits<double>::infinity();
    coordinates[9 * 300000 + 8] = std::numeric_limits<double>::quiet_NaN();
    const std::string bad = binaryStl(coordinates);
    for (unsigned threads : {1u, 2u}) {
        FacetMesh mesh;
        try {
            loadBinaryStlLists(mesh, bad, "bad.stl", silentRunControl(), noSteps, threads);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.file(), "bad.stl");
            EXPECT_EQ(e.reason(), "triangle 250001 has a coordinate that is not a finite number");
        }
        EXPECT_TRUE(mesh.edges.empty() && mesh.triangles.empty());
    }

    // Esc at the reading's first look (a million triangles in), between the steps, and in
    // the sort: false, and nothing half built is left.
    const std::string big = binaryStl(terrace(800, 1000, random)); // 1 280 000 triangles
    for (unsigned threads : {1u, 2u}) {
        for (int looks : {0, 1}) {
            EscAfter esc(looks);
            FacetMesh mesh;
            EXPECT_FALSE(loadBinaryStlLists(mesh, big, "big.stl", esc, noSteps, threads));
            EXPECT_TRUE(mesh.edges.empty() && mesh.triangles.empty());
        }
        FacetMesh mesh;
        EXPECT_FALSE(loadBinaryStlLists(
            mesh, big, "big.stl", silentRunControl(), [] { return false; }, threads));
        EXPECT_TRUE(mesh.edges.empty() && mesh.triangles.empty());
    }
}
