#include "toolpaths/chain_segments.h"

#include "common/quick_sort.h"
#include "toolpaths/grow_chain.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvane::toolpaths {

namespace {

constexpr double eps = MatchTolerance;

struct Batching {
    std::size_t size = 100;
    std::size_t count = 0;
};

// 100 segments a batch; when that would make more than 500 batches, about 500 batches.
Batching batchingFor(std::size_t segmentCount)
{
    Batching b;
    const std::size_t h = segmentCount - 1;
    if (h / 100 > 500)
        b.size = h / 500;
    b.count = 1 + h / b.size;
    return b;
}

enum class EndMatch { None, Start, End };

struct Match {
    std::size_t index = 0;
    EndMatch end = EndMatch::None;
};

// One batch: segments [begin, end) sorted by minX, and the widest x span among them.
struct Batch {
    TMyEntityArray& segments;
    std::size_t end;
    double widest;
};

// The first available segment after `seed` with an end on (x, y). No segment beyond the
// first with minX > x + eps can reach the point, and none that starts more than the widest
// span (and a rounding margin) left of x - eps, so the scan covers only that window.
Match findSegment(const Batch& batch, std::size_t seed, double x, double y)
{
    const TMyEntityArray& segments = batch.segments;
    const double reach = x - eps - batch.widest * (1 + 1e-12) - 1e-12 * std::abs(x);
    const auto first = std::partition_point(segments.begin() + std::ptrdiff_t(seed + 1),
                                            segments.begin() + std::ptrdiff_t(batch.end),
                                            [reach](const TMyEntity& s) { return s.minX < reach; });
    for (std::size_t j = std::size_t(first - segments.begin()); j < batch.end; ++j) {
        const TMyEntity& s = segments[j];
        if (!s.available)
            continue;
        if (s.minX > x + eps)
            break;
        if (s.maxX <= x - eps)
            continue;
        if (pointsMatch(s.x1, s.y1, x, y))
            return {j, EndMatch::Start};
        if (pointsMatch(s.x2, s.y2, x, y))
            return {j, EndMatch::End};
    }
    return {};
}

// Grows a region from segments[seed] through the available segments of [seed + 1, end):
// first onwards from its end, then backwards from its start.
TRegion chainFrom(const Batch& batch, std::size_t seed, double level)
{
    TMyEntityArray& segments = batch.segments;
    TRegion region;
    region.depth = level;
    region.entities.reserve(8); // most loops are short; spares the first few regrowths
    TMyEntity& first = segments[seed];
    first.available = false;
    region.entities.push_back(first);
    region.minX = first.minX;
    region.maxX = first.maxX;
    region.minY = first.minY;
    region.maxY = first.maxY;
    // The available segment with an end on `at`, taken, turned to run on from `at` (onwards)
    // or into it (backwards), that end set exactly onto `at`.
    const auto take = [&](ChainEnd at, bool onwards) -> std::optional<TMyEntity> {
        const Match m = findSegment(batch, seed, at.x, at.y);
        if (m.end == EndMatch::None)
            return std::nullopt;
        TMyEntity s = segments[m.index];
        segments[m.index].available = false;
        s.available = false;
        if ((m.end == EndMatch::End) == onwards)
            reverseSegment(s);
        (onwards ? s.x1 : s.x2) = at.x;
        (onwards ? s.y1 : s.y2) = at.y;
        return s;
    };
    // Backwards each found segment ends at S; they run in the reverse of the order found.
    TMyEntityArray backward;
    const bool closed = growChain(
        {first.x1, first.y1}, {first.x2, first.y2},
        [&](ChainEnd at, ChainEnd start) -> std::optional<ChainEnd> {
            std::optional<TMyEntity> s = take(at, true);
            if (!s)
                return std::nullopt;
            if (pointsMatch(s->x2, s->y2, start.x, start.y)) {
                s->x2 = start.x;
                s->y2 = start.y;
            }
            setBox(*s);
            widenBox(region, *s);
            region.entities.push_back(*s);
            return ChainEnd{s->x2, s->y2};
        },
        [&](ChainEnd at) -> std::optional<ChainEnd> {
            std::optional<TMyEntity> s = take(at, false);
            if (!s)
                return std::nullopt;
            setBox(*s);
            widenBox(region, *s);
            backward.push_back(*s);
            return ChainEnd{s->x1, s->y1};
        });
    if (!backward.empty()) {
        std::reverse(backward.begin(), backward.end());
        backward.insert(backward.end(), region.entities.begin(), region.entities.end());
        region.entities = std::move(backward);
    }

    region.open = !closed;
    if (closed)
        OrientClosedRegion(region);
    return region;
}

void chainBatch(TMyEntityArray& segments, std::size_t begin, std::size_t end, double level,
                TRegionArray& out)
{
    double widest = 0;
    for (std::size_t k = begin; k < end; ++k) {
        segments[k].available = true;
        widest = std::max(widest, segments[k].maxX - segments[k].minX);
    }
    const Batch batch{segments, end, widest};
    // Every segment before a seed is taken already, so a seed's search starts after it.
    for (std::size_t k = begin; k < end; ++k)
        if (segments[k].available)
            out.push_back(chainFrom(batch, k, level));
}

bool stopPoint(RunControl& control, std::size_t done, std::size_t total)
{
    control.showProgress(ProgressDisplay::Gauge, int(done * 100 / std::max<std::size_t>(total, 1)));
    control.checkpoint();
    return control.escapePressed();
}

} // namespace

bool ChainSegments(TMyEntityArray& segments, TRegionArray& regions, double level,
                   RunControl& control)
{
    if (segments.empty())
        return true;
    const Batching batching = batchingFor(segments.size());
    const std::size_t stride = std::max<std::size_t>(batching.count / 10, 1);

    // Batch lists flattened as they are made: batch order, region order within a batch.
    TRegionArray flat;
    for (std::size_t b = 0; b < batching.count; ++b) {
        if (b % stride == 0 && b > 0 && stopPoint(control, b, batching.count))
            return false;
        const std::size_t begin = b * batching.size;
        if (begin >= segments.size())
            break; // the last batch may be empty
        const std::size_t end = std::min(segments.size(), begin + batching.size);
        chainBatch(segments, begin, end, level, flat);
    }

    for (TRegion& r : flat)
        r.marked = true;
    quickSortBy(flat, [](const TRegion& r) { return r.minX; });

    TRegionArray joined;
    if (!JoinChains(flat, joined, control))
        return false;
    for (TRegion& r : joined)
        regions.push_back(std::move(r));
    return true;
}

} // namespace corvane::toolpaths
