#include "mesh/depth_map.h"

#include "common/error.h"
#include "common/out_of_memory.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace corvane::mesh {

namespace {

constexpr double MaxSamples = double(1 << 28);

// What one triangle needs to answer "is this point inside, and how high is it there".
struct Projected {
    Point3D a, b, c;
    double area = 0; // twice the signed area from above
    double zLow = 0, zHigh = 0;

    explicit Projected(const Point3D* t) : a(t[0]), b(t[1]), c(t[2])
    {
        area = edge(a, b, c.x, c.y);
        zLow = std::min({a.z, b.z, c.z});
        zHigh = std::max({a.z, b.z, c.z});
    }
    static double edge(const Point3D& p, const Point3D& q, double x, double y)
    {
        return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
    }
    // The height at (x, y), or NaN outside. Points on an edge, within a rounding error of
    // the triangle's size, count as inside.
    double heightAt(double x, double y) const
    {
        const double tolerance = 1e-9 * std::abs(area);
        const double w0 = edge(b, c, x, y), w1 = edge(c, a, x, y), w2 = edge(a, b, x, y);
        const bool inside = area > 0 ? w0 >= -tolerance && w1 >= -tolerance && w2 >= -tolerance
                                     : w0 <= tolerance && w1 <= tolerance && w2 <= tolerance;
        if (!inside)
            return std::numeric_limits<double>::quiet_NaN();
        const double z = (w0 * a.z + w1 * b.z + w2 * c.z) / area;
        return std::clamp(z, zLow, zHigh);
    }
};

struct Bounds2 {
    double minX, maxX, minY, maxY, minZ, maxZ;
};

Bounds2 boundsOf(std::span<const Point3D> corners)
{
    Bounds2 b{corners[0].x, corners[0].x, corners[0].y, corners[0].y, corners[0].z, corners[0].z};
    for (const Point3D& p : corners) {
        b.minX = std::min(b.minX, p.x);
        b.maxX = std::max(b.maxX, p.x);
        b.minY = std::min(b.minY, p.y);
        b.maxY = std::max(b.maxY, p.y);
        b.minZ = std::min(b.minZ, p.z);
        b.maxZ = std::max(b.maxZ, p.z);
    }
    return b;
}

// Samples along a span: one more than the whole pitches in it (a hair of rounding allowed).
double sampleCount(double range, double pitch)
{
    return std::floor(range / pitch + 1e-6) + 1;
}

// Highest height per sample, -infinity where nothing lies.
using HeightBuffer = std::vector<double>;

imaging::Picture toPicture(const HeightBuffer& heights, const DepthMapLayout& layout, bool invert)
{
    imaging::Picture p;
    p.width = layout.width;
    p.height = layout.height;
    p.bitCount = 16;
    const double perUnit = 1 / layout.pitch;
    p.xRes = p.yRes = perUnit >= 1 && perUnit < 1e9 ? int(std::lround(perUnit)) : 0;
    p.pixels.resize(p.rowStride() * std::size_t(p.height));
    const double range = layout.maxZ - layout.minZ;
    for (int j = 0; j < layout.height; ++j) {
        std::uint16_t* row = p.samples(j);
        for (int i = 0; i < layout.width; ++i) {
            const double z = heights[std::size_t(j) * std::size_t(layout.width) + std::size_t(i)];
            long level = 0;
            if (z != -std::numeric_limits<double>::infinity())
                level = range > 0 ? std::lround((z - layout.minZ) / range * 65535) : 65535;
            level = std::clamp(level, 0L, 65535L);
            row[i] = std::uint16_t(invert ? 65535 - level : level);
        }
    }
    return p;
}

HeightBuffer emptyHeights(const DepthMapLayout& layout)
{
    const std::uint64_t samples = std::uint64_t(layout.width) * std::uint64_t(layout.height);
    return runWithMemoryFor("the depth map", layout.width, layout.height, "picture",
                            samples * (sizeof(double) + 2), [&] {
                                return HeightBuffer(std::size_t(samples),
                                                    -std::numeric_limits<double>::infinity());
                            });
}

void checkCorners(std::span<const Point3D> corners)
{
    if (corners.size() < 3 || corners.size() % 3 != 0)
        throw Error("the mesh has no triangles to render");
}

} // namespace

DepthMapLayout depthMapLayout(std::span<const Point3D> corners, const DepthMapOptions& options)
{
    checkCorners(corners);
    const Bounds2 b = boundsOf(corners);
    const double rangeX = b.maxX - b.minX, rangeY = b.maxY - b.minY;
    if (!(rangeX > 0) || !(rangeY > 0) || !std::isfinite(rangeX) || !std::isfinite(rangeY))
        throw Error("the mesh has no extent in x or in y, so it has no top view");
    double pitch = 0;
    if (options.pixelSize != 0) {
        if (!(options.pixelSize > 0) || !std::isfinite(options.pixelSize))
            throw Error("the pixel size must be a number greater than 0");
        pitch = options.pixelSize;
    } else if (options.width != 0) {
        if (options.width < 2)
            throw Error("the depth map must be at least 2 pixels wide");
        pitch = rangeX / (options.width - 1);
    } else {
        pitch = std::max(rangeX, rangeY) / (DefaultDepthMapSide - 1);
    }
    const double width = sampleCount(rangeX, pitch), height = sampleCount(rangeY, pitch);
    if (!(width * height <= MaxSamples))
        throw Error("the depth map would be " +
                    std::to_string(std::llround(std::min(width, 1e15))) + " x " +
                    std::to_string(std::llround(std::min(height, 1e15))) +
                    " pixels, more than the program makes; give a larger pixel size");
    return {int(width), int(height), pitch, b.minX, b.maxY, b.minZ, b.maxZ};
}

imaging::Picture renderDepthMap(std::span<const Point3D> corners, const DepthMapOptions& options,
                                RunControl& control)
{
    const DepthMapLayout layout = depthMapLayout(corners, options);
    HeightBuffer heights = emptyHeights(layout);
    const double p = layout.pitch;
    const std::size_t count = corners.size() / 3;
    for (std::size_t t = 0; t < count; ++t) {
        if ((t & 0xFFFF) == 0xFFFF && control.escapePressed())
            throw Cancelled();
        const Projected tri(corners.data() + 3 * t);
        if (tri.area == 0)
            continue;
        const double xLow = std::min({tri.a.x, tri.b.x, tri.c.x});
        const double xHigh = std::max({tri.a.x, tri.b.x, tri.c.x});
        const double yLow = std::min({tri.a.y, tri.b.y, tri.c.y});
        const double yHigh = std::max({tri.a.y, tri.b.y, tri.c.y});
        // One sample of slack all round: the edge test decides, so this path tests a
        // superset of what it must and gives exactly what the direct one gives.
        const int i0 = std::max(0, int(std::floor((xLow - layout.minX) / p)) - 1);
        const int i1 = std::min(layout.width - 1, int(std::ceil((xHigh - layout.minX) / p)) + 1);
        const int j0 = std::max(0, int(std::floor((layout.maxY - yHigh) / p)) - 1);
        const int j1 = std::min(layout.height - 1, int(std::ceil((layout.maxY - yLow) / p)) + 1);
        for (int j = j0; j <= j1; ++j) {
            const double y = layout.maxY - j * p;
            double* row = heights.data() + std::size_t(j) * std::size_t(layout.width);
            for (int i = i0; i <= i1; ++i) {
                const double z = tri.heightAt(layout.minX + i * p, y);
                if (z > row[i]) // false for NaN
                    row[i] = z;
            }
        }
    }
    return toPicture(heights, layout, options.invert);
}

imaging::Picture renderDepthMapDirect(std::span<const Point3D> corners,
                                      const DepthMapOptions& options)
{
    const DepthMapLayout layout = depthMapLayout(corners, options);
    HeightBuffer heights = emptyHeights(layout);
    for (std::size_t t = 0; t < corners.size() / 3; ++t) {
        const Projected tri(corners.data() + 3 * t);
        if (tri.area == 0)
            continue;
        for (int j = 0; j < layout.height; ++j)
            for (int i = 0; i < layout.width; ++i) {
                double& h = heights[std::size_t(j) * std::size_t(layout.width) + std::size_t(i)];
                const double z =
                    tri.heightAt(layout.minX + i * layout.pitch, layout.maxY - j * layout.pitch);
                if (z > h)
                    h = z;
            }
    }
    return toPicture(heights, layout, options.invert);
}

} // namespace corvane::mesh
