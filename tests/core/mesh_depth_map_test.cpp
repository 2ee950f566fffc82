// The depth map of a mesh and the STL solid of a relief: the fast render equals the direct
// one, a mesh goes to a depth map and back to a surface within a pixel and a level, and the
// solid is closed and faces outward.
#include "common/error.h"
#include "mesh/depth_map.h"
#include "relief/byte_sink.h"
#include "relief/height_grid.h"
#include "relief/stl_surface.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <tuple>

using namespace corvane;
using namespace corvane::mesh;

namespace {

// A height field over an n x n grid of spacing h, every cell two triangles: a bump with a
// plateau, so there are slopes, a peak and flat triangles.
std::vector<Point3D> bumpMesh(int n, double h)
{
    const auto z = [&](int i, int j) {
        const double dx = i - n / 2.0, dy = j - n / 2.0;
        return std::min(3.0, 5.0 * std::exp(-(dx * dx + dy * dy) / (n * n / 16.0))) +
               0.01 * i;
    };
    std::vector<Point3D> corners;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const Point3D a{i * h, j * h, z(i, j)}, b{(i + 1) * h, j * h, z(i + 1, j)},
                c{(i + 1) * h, (j + 1) * h, z(i + 1, j + 1)}, d{i * h, (j + 1) * h, z(i, j + 1)};
            corners.insert(corners.end(), {a, b, c, a, c, d});
        }
    return corners;
}

std::vector<Point3D> randomTriangles(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> u(-5, 5);
    std::vector<Point3D> corners;
    for (int i = 0; i < 3 * count; ++i)
        corners.push_back({u(random), u(random), u(random)});
    return corners;
}

struct StlTriangle {
    float normal[3];
    float c[3][3];
};

std::vector<StlTriangle> parseStl(const std::string& bytes)
{
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    EXPECT_EQ(bytes.size(), 84 + 50 * std::size_t(count));
    std::vector<StlTriangle> out(count);
    for (std::uint32_t t = 0; t < count; ++t)
        std::memcpy(&out[t], bytes.data() + 84 + 50 * std::size_t(t), 48);
    return out;
}

} // namespace

TEST(DepthMapRender, FastEqualsDirect)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        const std::vector<Point3D> corners = randomTriangles(40, seed);
        for (const DepthMapOptions& o :
             {DepthMapOptions{0, 37, false}, DepthMapOptions{0.31, 0, true}}) {
            const imaging::Picture fast = renderDepthMap(corners, o);
            const imaging::Picture direct = renderDepthMapDirect(corners, o);
            EXPECT_EQ(fast.width, direct.width);
            EXPECT_EQ(fast.pixels, direct.pixels) << seed;
        }
    }
    // Samples on shared edges and corners of a grid mesh: no gaps anywhere.
    const std::vector<Point3D> grid = bumpMesh(8, 1);
    const imaging::Picture fast = renderDepthMap(grid, {0, 17, false});
    EXPECT_EQ(fast.pixels, renderDepthMapDirect(grid, {0, 17, false}).pixels);
}

TEST(DepthMapRender, SizesLevelsAndRefusals)
{
    const std::vector<Point3D> corners = bumpMesh(10, 0.5); // 5 x 5 units
    const imaging::Picture p = renderDepthMap(corners, {});
    EXPECT_EQ(p.bitCount, 16);
    EXPECT_EQ(p.width, DefaultDepthMapSide);
    EXPECT_EQ(p.height, DefaultDepthMapSide);
    EXPECT_EQ(renderDepthMap(corners, {0, 51, false}).width, 51);
    EXPECT_EQ(renderDepthMap(corners, {0.25, 0, false}).width, 21);
    // With the corners on samples (a pitch of 0.1), the highest is white, the lowest black;
    // inverted the other way round.
    const imaging::Picture fine = renderDepthMap(corners, {0, 51, false});
    std::uint16_t lowest = 65535, highest = 0;
    for (int y = 0; y < fine.height; ++y)
        for (int x = 0; x < fine.width; ++x) {
            lowest = std::min(lowest, fine.samples(y)[x]);
            highest = std::max(highest, fine.samples(y)[x]);
        }
    EXPECT_EQ(highest, 65535);
    EXPECT_EQ(lowest, 0);
    const imaging::Picture inverted = renderDepthMap(corners, {0, 51, true});
    const imaging::Picture plain = renderDepthMap(corners, {0, 51, false});
    EXPECT_EQ(inverted.samples(3)[7], 65535 - plain.samples(3)[7]);
    // A triangle leaves the samples outside it at the bottom.
    const std::vector<Point3D> one = {{0, 0, 1}, {4, 0, 1}, {0, 4, 2}};
    const imaging::Picture t = renderDepthMap(one, {0, 5, false});
    EXPECT_EQ(t.samples(0)[4], 0);     // top right: outside
    EXPECT_EQ(t.samples(0)[0], 65535); // the highest corner, on a sample
    EXPECT_EQ(t.samples(4)[0], 0);     // the lowest corner

    EXPECT_THROW(renderDepthMap(std::vector<Point3D>{}, {}), Error);
    EXPECT_THROW(renderDepthMap(std::vector<Point3D>{{0, 0, 0}, {1, 0, 0}, {2, 0, 1}}, {}), Error);
    EXPECT_THROW(renderDepthMap(corners, {-1, 0, false}), Error);
    EXPECT_THROW(renderDepthMap(corners, {0, 1, false}), Error);
    EXPECT_THROW(renderDepthMap(corners, {1e-9, 0, false}), Error); // far too many pixels
    EXPECT_EQ(renderDepthMap(std::vector<Point3D>{{0, 0, 0}, {1e300, 0, 0}, {0, 1e300, 1}}, {})
                  .width,
              DefaultDepthMapSide);
}

// Mesh -> depth map -> STL surface: every corner of the mesh has an STL vertex within one
// pixel across and within one level (plus the float rounding of the file) in height.
TEST(DepthMapRender, MeshToDepthMapToSurfaceKeepsEveryVertex)
{
    const int n = 30;
    const double h = 0.2;
    const std::vector<Point3D> corners = bumpMesh(n, h);
    const DepthMapOptions options{0, 4 * n + 1, false}; // a pitch of h / 4
    const imaging::Picture map = renderDepthMap(corners, options);
    const DepthMapLayout layout = depthMapLayout(corners, options);

    relief::ReliefParameters params;
    params.sizeX = (map.width - 1) * layout.pitch;
    params.sizeY = (map.height - 1) * layout.pitch;
    params.depth = layout.maxZ - layout.minZ;
    const double base = 0.5;
    relief::StringSink sink;
    ASSERT_TRUE(relief::WriteStlSurface(sink, relief::FillHeightGrid(map, false), params, base,
                                        silentRunControl()));
    // The top vertices, by their sample.
    std::map<std::pair<long, long>, double> top;
    for (const StlTriangle& t : parseStl(sink.text))
        for (const auto& c : t.c)
            if (c[2] > 0)
                top[{std::lround(c[0] / layout.pitch), std::lround(c[1] / layout.pitch)}] = c[2];
    const double level = params.depth / 65535;
    for (const Point3D& p : corners) {
        const double x = p.x - layout.minX, y = p.y - (layout.maxY - params.sizeY);
        const auto found = top.find({std::lround(x / layout.pitch), std::lround(y / layout.pitch)});
        ASSERT_NE(found, top.end()) << p.x << " " << p.y;
        EXPECT_NEAR(std::lround(x / layout.pitch) * layout.pitch, x, layout.pitch);
        EXPECT_NEAR(found->second - base, p.z - layout.minZ, level + 1e-5) << p.x << " " << p.y;
    }
}

// Every edge of the solid is used exactly twice, once in each direction (closed and
// consistently oriented), every normal points the way the corners turn, and the volume is
// the base box plus the relief.
TEST(StlSurface, ClosedOutwardSolid)
{
    relief::TZGrid grid(7, 9, 0, relief::White16);
    std::mt19937 random(5);
    for (auto& v : grid.cells)
        v = std::uint16_t(random() % 65536);
    relief::ReliefParameters params;
    params.sizeX = 8;
    params.sizeY = 3;
    params.depth = 2;
    relief::StringSink sink;
    ASSERT_TRUE(relief::WriteStlSurface(sink, grid, params, 0.25, silentRunControl()));
    EXPECT_NE(sink.text.substr(0, 5), "solid");
    const std::vector<StlTriangle> triangles = parseStl(sink.text);
    EXPECT_EQ(triangles.size(), relief::stlTriangleCount(7, 9));
    using Key = std::tuple<float, float, float>;
    std::map<std::pair<Key, Key>, int> directed;
    double volume = 0;
    for (const StlTriangle& t : triangles) {
        Key k[3];
        for (int i = 0; i < 3; ++i)
            k[i] = {t.c[i][0], t.c[i][1], t.c[i][2]};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NE(k[i], k[(i + 1) % 3]);
            ++directed[{k[i], k[(i + 1) % 3]}];
        }
        const auto& a = t.c[0];
        const auto& b = t.c[1];
        const auto& c = t.c[2];
        volume += (a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                   a[2] * (b[0] * c[1] - b[1] * c[0])) /
                  6.0;
        const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
        const double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
        const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        EXPECT_GT(nx * t.normal[0] + ny * t.normal[1] + nz * t.normal[2], 0);
    }
    for (const auto& [edge, count] : directed) {
        EXPECT_EQ(count, 1);
        EXPECT_EQ(directed.count({edge.second, edge.first}), 1u);
    }
    EXPECT_GT(volume, 8 * 3 * 0.25);
    EXPECT_LT(volume, 8 * 3 * 2.25);

    EXPECT_THROW(relief::WriteStlSurface(sink, relief::TZGrid(1, 5), params, 0.1,
                                         silentRunControl()),
                 Error);
    EXPECT_THROW(relief::WriteStlSurface(sink, grid, params, 0, silentRunControl()), Error);
    EXPECT_THROW(relief::WriteStlSurface(sink, grid, params, std::nan(""), silentRunControl()),
                 Error);
}
