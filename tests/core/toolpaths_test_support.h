// Surfaces and region checks shared by the region engine tests.
#pragma once

#include "geometry/mesh_records.h"
#include "toolpaths/region.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <random>

namespace toolpaths_test {

using corvane::Point3D;
using corvane::Triangle;
using corvane::TTriangleArray;
using corvane::toolpaths::TMyEntity;
using corvane::toolpaths::TRegion;
using corvane::toolpaths::TRegionArray;

// Corners ascending by z, the list by lowest z, as the mesh readers leave them.
inline TTriangleArray sortedTriangles(std::initializer_list<Triangle> given)
{
    TTriangleArray list(given);
    for (Triangle& t : list)
        std::stable_sort(t.c, t.c + 3,
                         [](const Point3D& a, const Point3D& b) { return a.z < b.z; });
    std::stable_sort(list.begin(), list.end(),
                     [](const Triangle& a, const Triangle& b) { return a.c[0].z < b.c[0].z; });
    return list;
}

// Two triangles per cell of a cols x rows grid of heights z(x, y) at integer x and y.
inline TTriangleArray gridSurface(int cols, int rows, const std::function<double(int, int)>& z)
{
    TTriangleArray list;
    for (int y = 0; y + 1 < rows; ++y)
        for (int x = 0; x + 1 < cols; ++x) {
            const Point3D a{double(x), double(y), z(x, y)};
            const Point3D b{double(x + 1), double(y), z(x + 1, y)};
            const Point3D c{double(x), double(y + 1), z(x, y + 1)};
            const Point3D d{double(x + 1), double(y + 1), z(x + 1, y + 1)};
            list.push_back({{b, c, a}});
            list.push_back({{d, b, c}});
        }
    for (Triangle& t : list)
        std::stable_sort(t.c, t.c + 3,
                         [](const Point3D& p, const Point3D& q) { return p.z < q.z; });
    std::stable_sort(list.begin(), list.end(),
                     [](const Triangle& p, const Triangle& q) { return p.c[0].z < q.c[0].z; });
    return list;
}

inline TTriangleArray randomSurface(int cols, int rows, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<int> heights(std::size_t(cols * rows));
    for (int& h : heights)
        h = int(random() % 256);
    return gridSurface(cols, rows,
                       [&](int x, int y) { return double(heights[std::size_t(y * cols + x)]); });
}

// Twice the signed area: negative for a clockwise loop (y up), interior on the right.
inline double signedArea2(const TRegion& r)
{
    double sum = 0;
    for (const TMyEntity& s : r.entities)
        sum += s.x1 * s.y2 - s.x2 * s.y1;
    return sum;
}

// Each segment starts exactly where the previous one ends; a closed region ends where it
// starts.
inline bool runsContinuously(const TRegion& r)
{
    for (std::size_t i = 1; i < r.entities.size(); ++i)
        if (r.entities[i].x1 != r.entities[i - 1].x2 || r.entities[i].y1 != r.entities[i - 1].y2)
            return false;
    if (!r.open && (r.entities.back().x2 != r.entities.front().x1 ||
                    r.entities.back().y2 != r.entities.front().y1))
        return false;
    return true;
}

inline TRegion regionThrough(std::initializer_list<std::pair<double, double>> points, bool open,
                             double depth = 0)
{
    TRegion r;
    r.open = open;
    r.depth = depth;
    const std::vector<std::pair<double, double>> p(points);
    for (std::size_t i = 1; i < p.size(); ++i)
        r.entities.push_back(corvane::toolpaths::makeSegment(p[i - 1].first, p[i - 1].second,
                                                             p[i].first, p[i].second));
    corvane::toolpaths::recomputeBox(r);
    return r;
}

} // namespace toolpaths_test
