#include "toolpaths/chain_segments.h"

#include <cmath>

namespace corvane::toolpaths {

namespace {

const TMyEntity& testSegment(const TRegion& region)
{
    for (const TMyEntity& s : region.entities)
        if (std::hypot(s.x2 - s.x1, s.y2 - s.y1) > 1e-6)
            return s;
    return region.entities.back();
}

bool crosses(const TMyEntity& s, double px, double py)
{
    return py > s.minY && py < s.maxY + 1e-8 && px < s.maxX && s.y1 != s.y2 &&
           px < s.x1 + (s.x2 - s.x1) * (py - s.y1) / (s.y2 - s.y1);
}

} // namespace

void OrientClosedRegion(TRegion& region)
{
    if (region.entities.empty())
        return;
    const TMyEntity& s = testSegment(region);
    const double mx = (s.x1 + s.x2) / 2, my = (s.y1 + s.y2) / 2;
    double length = std::hypot(mx - s.x1, my - s.y1);
    if (length < 1e-10)
        length = 1e-10;
    const double dx = (mx - s.x1) / length, dy = (my - s.y1) / length;
    const double px = mx + 1e-6 * dy, py = my - 1e-6 * dx;

    bool inside = px >= region.minX - 1e-6 && px <= region.maxX + 1e-6 &&
                  py >= region.minY - 1e-6 && py <= region.maxY + 1e-6;
    if (inside) {
        int crossings = 0;
        for (const TMyEntity& e : region.entities)
            crossings += crosses(e, px, py);
        inside = crossings % 2 == 1;
    }
    if (!inside)
        reverseRegion(region);
}

} // namespace corvane::toolpaths
