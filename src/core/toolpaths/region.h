// Regions: chains of straight segments in the x/y plane at one depth, the unit that the
// region builders produce, post-processing reshapes and the toolpath writers emit.
//
// Every region list that is kept or built as a whole holds a placeholder at index 0 that is
// never drawn, written or counted; the real regions occupy indices 1 to the last.
#pragma once

#include <cstddef>
#include <vector>

namespace corvane::toolpaths {

// Two points match when their x and y each differ by less than this (model units).
inline constexpr double MatchTolerance = 1e-6;

struct TMyEntity {
    double x1 = 0, y1 = 0;  // start
    double x2 = 0, y2 = 0;  // end
    double z = 0;           // the level; set only for vectorised edges, 0 otherwise
    bool available = false; // working flag of the chaining steps
    // Bounding box of the two end points, recomputed whenever they change (setBox).
    double minX = 0, minY = 0, maxY = 0, maxX = 0;
};
using TMyEntityArray = std::vector<TMyEntity>;

struct TRegion {
    double depth = 0;    // the level it was found at, or the depth the builder gave it
    bool marked = false; // working flag: selected for removal, or not yet taken
    bool open = false;   // an open chain; a closed loop runs with its interior on the right
    double minX = 0, minY = 0, maxY = 0, maxX = 0; // over all its segments
    // In order of travel: each segment starts where the previous one ends.
    TMyEntityArray entities;
};
using TRegionArray = std::vector<TRegion>;

void setBox(TMyEntity& segment);
TMyEntity makeSegment(double x1, double y1, double x2, double y2);
// Start and end swapped.
void reverseSegment(TMyEntity& segment);
// Segment order reversed and each segment's ends swapped: the same path run backwards.
void reverseRegion(TRegion& region);
void widenBox(TRegion& region, const TMyEntity& segment);
void widenBox(TRegion& region, const TRegion& other);
// The region's box recomputed from all its segments (nothing changes for an empty region).
void recomputeBox(TRegion& region);

// A list holding only the placeholder, with one zero segment.
TRegionArray newRegionList();
// The number of real regions: the highest index.
inline std::size_t regionCount(const TRegionArray& list)
{
    return list.empty() ? 0 : list.size() - 1;
}

inline bool pointsMatch(double ax, double ay, double bx, double by)
{
    const double dx = ax - bx, dy = ay - by;
    return dx < MatchTolerance && dx > -MatchTolerance && dy < MatchTolerance &&
           dy > -MatchTolerance;
}

} // namespace corvane::toolpaths
