#include "toolpaths/slice_level.h"

#include "common/quick_sort.h"
#include "common/quick_sort_blocks.h"
#include "toolpaths/chain_segments.h"
#include "toolpaths/slice_work.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::toolpaths {

namespace {

// Checkpoints at every tenth of a walk over `total` items.
class WalkProgress {
public:
    WalkProgress(RunControl& control, std::size_t total)
        : control_(control), total_(total), stride_(std::max<std::size_t>(total / 10, 1)),
          next_(stride_)
    {
    }
    // False when Esc asks the walk to stop.
    bool at(std::size_t passed)
    {
        if (passed < next_)
            return true;
        while (next_ <= passed)
            next_ += stride_;
        control_.showProgress(ProgressDisplay::Gauge, int(passed * 100 / total_));
        control_.checkpoint();
        return !control_.escapePressed();
    }

private:
    RunControl& control_;
    std::size_t total_, stride_, next_;
};

struct Crossing {
    double x, y;
};

Crossing crossingOn(const Point3D& a, const Point3D& b, double level)
{
    const double t = (a.z - level) / (a.z - b.z);
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}

// The segment where the plane cuts a triangle with lowest z < level < highest z; it starts
// at the crossing with the smaller x (on equal x, the smaller y).
CutSegment cutTriangle(const Triangle& t, double level)
{
    Crossing p, q;
    if (t.c[1].z >= level) {
        p = crossingOn(t.c[0], t.c[1], level);
        q = crossingOn(t.c[0], t.c[2], level);
    } else {
        p = crossingOn(t.c[2], t.c[0], level);
        q = crossingOn(t.c[2], t.c[1], level);
    }
    if (q.x < p.x || (q.x == p.x && q.y < p.y))
        std::swap(p, q);
    return {p.x, p.y, q.x, q.y};
}

bool isCut(const Triangle& t, double level)
{
    return t.c[0].z < level && level < t.c[2].z;
}

// A segment that repeats a later one (all four coordinates within 1e-6) is dropped, so
// each group of duplicates keeps its last member. The list is sorted by x1 (= minX).
void removeDuplicates(TMyEntityArray& segments)
{
    if (segments.size() < 2)
        return;
    const double eps = MatchTolerance;
    std::vector<bool> dropped(segments.size(), false);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const TMyEntity& a = segments[i];
        for (std::size_t j = i + 1; j < segments.size() && segments[j].x1 - a.x1 <= eps; ++j) {
            const TMyEntity& b = segments[j];
            if (std::abs(a.x2 - b.x2) < eps && std::abs(a.y1 - b.y1) < eps &&
                std::abs(a.y2 - b.y2) < eps) {
                dropped[i] = true;
                break;
            }
        }
    }
    // Nothing moves up to the first one dropped (usually none is).
    std::size_t kept = 0;
    for (std::size_t i = 0; i < segments.size(); ++i)
        if (!dropped[i]) {
            if (kept != i)
                segments[kept] = segments[i];
            ++kept;
        }
    segments.resize(kept);
}

// The cuts as segments sorted by minX, without duplicates: what sorting the segments whole
// with quickSortBy and removeDuplicates give. The sort moves only the keys (x1 = minX) and
// positions, comparing the same keys and making the same exchanges, so the order is the
// same, ties included; the duplicates are found on the compact cuts, with the same tests,
// before each is made a segment.
void sortedSegments(SliceWork& work)
{
    const std::vector<CutSegment>& cut = work.cut;
    std::vector<CutKey>& keys = work.keys;
    const std::size_t n = cut.size();
    keys.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        keys[i] = {cut[i].x1, std::uint32_t(i)};
    if (n > 1)
        quickSortByBlocks(
            keys, 0, std::ptrdiff_t(n) - 1, [](const CutKey& k) { return k.x1; },
            [](std::size_t) { return true; });

    const double eps = MatchTolerance;
    TMyEntityArray& segments = work.segments;
    segments.clear();
    segments.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const CutSegment& a = cut[keys[i].cut];
        bool dropped = false;
        for (std::size_t j = i + 1; j < n && keys[j].x1 - keys[i].x1 <= eps; ++j) {
            const CutSegment& b = cut[keys[j].cut];
            if (std::abs(a.x2 - b.x2) < eps && std::abs(a.y1 - b.y1) < eps &&
                std::abs(a.y2 - b.y2) < eps) {
                dropped = true;
                break;
            }
        }
        if (!dropped)
            segments.push_back(makeSegment(a.x1, a.y1, a.x2, a.y2));
    }
}

// The reference: the segments sorted whole, and the chaining that scans.
bool regionsOfLevelDirect(TMyEntityArray& segments, TRegionArray& regions, double level,
                          RunControl& control)
{
    if (segments.empty())
        return true;
    quickSortBy(segments, [](const TMyEntity& s) { return s.minX; });
    removeDuplicates(segments);
    return ChainSegmentsDirect(segments, regions, level, control);
}

double highestOf(const Triangle& t, double highest)
{
    // `>` skips NaN corners.
    for (const Point3D& c : t.c)
        if (c.z > highest)
            highest = c.z;
    return highest;
}

// Calls cut(triangle) for each triangle that the plane cuts, in list order; with `blocks`,
// passing every block that lies wholly at or below the level. False when Esc stopped it.
template <class Cut>
bool walkCuts(const TTriangleArray& triangles, const TriangleBlocks* blocks, double level,
              RunControl& control, Cut&& cut)
{
    WalkProgress progress(control, triangles.size());
    const std::size_t n = triangles.size();
    std::size_t i = 0;
    while (i < n) {
        if (!progress.at(i))
            return false;
        if (blocks && i % TriangleBlocks::size == 0 &&
            blocks->highest[i / TriangleBlocks::size] <= level) {
            i += TriangleBlocks::size;
            continue;
        }
        const Triangle& t = triangles[i];
        if (t.c[0].z > level)
            break; // the list is sorted by lowest z: nothing further can be cut
        if (isCut(t, level))
            cut(t);
        ++i;
    }
    return true;
}

} // namespace

TriangleBlocks indexTriangleBlocks(const TTriangleArray& triangles)
{
    TriangleBlocks blocks;
    blocks.highest.reserve(triangles.size() / TriangleBlocks::size + 1);
    for (std::size_t b = 0; b < triangles.size(); b += TriangleBlocks::size) {
        double highest = -std::numeric_limits<double>::infinity();
        const std::size_t end = std::min(triangles.size(), b + TriangleBlocks::size);
        for (std::size_t i = b; i < end; ++i)
            highest = highestOf(triangles[i], highest);
        blocks.highest.push_back(highest);
    }
    return blocks;
}

bool CutSegments(const TTriangleArray& triangles, const TriangleBlocks* blocks, double level,
                 TMyEntityArray& segments, RunControl& control)
{
    segments.clear();
    return walkCuts(triangles, blocks, level, control, [&](const Triangle& t) {
        const CutSegment c = cutTriangle(t, level);
        segments.push_back(makeSegment(c.x1, c.y1, c.x2, c.y2));
    });
}

bool SliceAtLevel(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                  TRegionArray& regions, double level, RunControl& control)
{
    SliceWork work;
    return SliceAtLevel(triangles, blocks, regions, level, control, work);
}

bool SliceAtLevel(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                  TRegionArray& regions, double level, RunControl& control, SliceWork& work)
{
    work.cut.clear();
    if (!walkCuts(triangles, &blocks, level, control,
                  [&](const Triangle& t) { work.cut.push_back(cutTriangle(t, level)); }))
        return false;
    if (work.cut.empty())
        return true;
    if (work.cut.size() > std::numeric_limits<std::uint32_t>::max()) {
        // Beyond what the compact positions can number: the reference's steps.
        TMyEntityArray segments;
        for (const CutSegment& c : work.cut)
            segments.push_back(makeSegment(c.x1, c.y1, c.x2, c.y2));
        quickSortBy(segments, [](const TMyEntity& s) { return s.minX; });
        removeDuplicates(segments);
        return ChainSegments(segments, regions, level, control, work.chain);
    }
    sortedSegments(work);
    return ChainSegments(work.segments, regions, level, control, work.chain);
}

bool SliceAtLevelDirect(const TTriangleArray& triangles, TRegionArray& regions, double level,
                        RunControl& control)
{
    TMyEntityArray segments;
    if (!CutSegments(triangles, nullptr, level, segments, control))
        return false;
    return regionsOfLevelDirect(segments, regions, level, control);
}

bool VectorizeEdges(const TTriangleArray& triangles, TRegionArray& regions, RunControl& control)
{
    TMyEntityArray edges;
    WalkProgress progress(control, triangles.size());
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        if (!progress.at(i))
            return false;
        const Point3D& a = triangles[i].c[1];
        const Point3D& b = triangles[i].c[2];
        if (a.z != b.z)
            continue;
        const bool swap = b.x < a.x || (b.x == a.x && b.y < a.y);
        TMyEntity s = swap ? makeSegment(b.x, b.y, a.x, a.y) : makeSegment(a.x, a.y, b.x, b.y);
        s.z = a.z;
        edges.push_back(s);
    }
    quickSortBy(edges, [](const TMyEntity& s) { return s.z; });

    // Each run of equal z is one level; nothing is added unless every level completes.
    TRegionArray found;
    std::size_t runStart = 0;
    while (runStart < edges.size()) {
        std::size_t runEnd = runStart + 1;
        while (runEnd < edges.size() && edges[runEnd].z == edges[runStart].z)
            ++runEnd;
        TMyEntityArray run(edges.begin() + std::ptrdiff_t(runStart),
                           edges.begin() + std::ptrdiff_t(runEnd));
        quickSortBy(run, [](const TMyEntity& s) { return s.minX; });
        if (!ChainSegments(run, found, run.front().z, control))
            return false;
        runStart = runEnd;
    }
    for (TRegion& r : found)
        regions.push_back(std::move(r));
    return true;
}

} // namespace corvane::toolpaths
