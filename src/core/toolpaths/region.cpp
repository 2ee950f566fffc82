#include "toolpaths/region.h"

#include <algorithm>
#include <utility>

namespace corvane::toolpaths {

void setBox(TMyEntity& s)
{
    s.minX = std::min(s.x1, s.x2);
    s.maxX = std::max(s.x1, s.x2);
    s.minY = std::min(s.y1, s.y2);
    s.maxY = std::max(s.y1, s.y2);
}

TMyEntity makeSegment(double x1, double y1, double x2, double y2)
{
    TMyEntity s;
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    setBox(s);
    return s;
}

void reverseSegment(TMyEntity& s)
{
    std::swap(s.x1, s.x2);
    std::swap(s.y1, s.y2);
}

void reverseRegion(TRegion& region)
{
    std::reverse(region.entities.begin(), region.entities.end());
    for (TMyEntity& s : region.entities)
        reverseSegment(s);
}

void widenBox(TRegion& r, const TMyEntity& s)
{
    r.minX = std::min(r.minX, s.minX);
    r.maxX = std::max(r.maxX, s.maxX);
    r.minY = std::min(r.minY, s.minY);
    r.maxY = std::max(r.maxY, s.maxY);
}

void widenBox(TRegion& r, const TRegion& o)
{
    r.minX = std::min(r.minX, o.minX);
    r.maxX = std::max(r.maxX, o.maxX);
    r.minY = std::min(r.minY, o.minY);
    r.maxY = std::max(r.maxY, o.maxY);
}

void recomputeBox(TRegion& r)
{
    if (r.entities.empty())
        return;
    const TMyEntity& first = r.entities.front();
    r.minX = first.minX;
    r.maxX = first.maxX;
    r.minY = first.minY;
    r.maxY = first.maxY;
    for (const TMyEntity& s : r.entities)
        widenBox(r, s);
}

TRegionArray newRegionList()
{
    TRegionArray list(1);
    list[0].entities.resize(1);
    return list;
}

} // namespace corvane::toolpaths
