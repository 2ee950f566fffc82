#include "mesh/raster_grid.h"

#include "mesh/facet_mesh_build.h"
#include "mesh/triangle_sort.h"

#include <algorithm>

namespace corvane::mesh {

TTriangleArray gridTriangles(const relief::TZGrid& grid)
{
    const int w = grid.cols, h = grid.rows;
    TTriangleArray triangles;
    if (w < 2 || h < 2)
        return triangles;
    // Most pictures have large flat areas, so the list starts small and grows geometrically.
    triangles.reserve(std::min<std::size_t>(2 * std::size_t(w) * std::size_t(h), 10000));
    // A depth map's 65535 levels are scaled into the same 0..255 span, so regions keep their
    // units; for an 8-bit grid the scale is exactly 1.
    const double white = grid.white, scale = 255.0 / white;
    const auto z = [&](int r, int k) { return (white - grid[r][k]) * scale; };
    const auto add = [&](const Point3D& a, const Point3D& b, const Point3D& c) {
        const Triangle t = sortedByZ(a, b, c);
        if (t.c[0].z != t.c[2].z)
            triangles.push_back(t);
    };
    for (int r = 0; r + 1 < h; ++r) {
        const double top = h - r, bottom = h - r - 1;
        for (int k = 0; k + 1 < w; ++k) {
            const Point3D topLeft{double(k), top, z(r, k)};
            const Point3D topRight{double(k + 1), top, z(r, k + 1)};
            const Point3D bottomLeft{double(k), bottom, z(r + 1, k)};
            const Point3D bottomRight{double(k + 1), bottom, z(r + 1, k + 1)};
            add(topLeft, topRight, bottomLeft);
            add(bottomRight, topRight, bottomLeft);
        }
    }
    return triangles;
}

bool needsRebuild(const GridSurface& surface, bool pictureChanged)
{
    return pictureChanged || surface.triangles.size() < 2 || surface.sortCutShort;
}

bool buildGridSurface(GridSurface& surface, const relief::TZGrid& grid, RunControl& control)
{
    surface.triangles = gridTriangles(grid);
    surface.extents = triangleExtentsXY(surface.triangles);
    surface.sortCutShort = !sortByLowestZ(surface.triangles, control);
    return !surface.sortCutShort;
}

} // namespace corvane::mesh
