#include "toolpaths/chain_segments.h"

#include "common/quick_sort.h"
#include "toolpaths/chain_pieces.h"
#include "toolpaths/end_point_grid.h"
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
    std::size_t begin, end;
    double widest;
};

// No segment that starts more than the widest span (and a rounding margin) left of x - eps
// can reach x.
double reachOf(const Batch& batch, double x)
{
    return x - eps - batch.widest * (1 + 1e-12) - 1e-12 * std::abs(x);
}

// The first available segment after `seed` with an end on (x, y). No segment beyond the
// first with minX > x + eps can reach the point, nor any with minX below the reach, so the
// scan covers only that window.
Match scanForSegment(const Batch& batch, std::size_t seed, double x, double y)
{
    const TMyEntityArray& segments = batch.segments;
    const double reach = reachOf(batch, x);
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

// The same answer from the grid of the batch's end points, numbered 2 (j - begin) for the
// start of segment j and one more for its end, so that the smallest number is the scan's
// first match. On a batch sorted by minX the scan's window (from the partition point up to
// the first minX > x + eps) holds exactly the segments that pass the same tests one by one,
// so each candidate is put to those tests.
Match gridForSegment(const Batch& batch, const EndPointGrid& grid, std::size_t seed, double x,
                     double y)
{
    const double reach = reachOf(batch, x);
    const std::size_t p = grid.firstMatch(x, y, [&](std::size_t number) {
        const std::size_t j = batch.begin + number / 2;
        const TMyEntity& s = batch.segments[j];
        return j > seed && s.available && !(s.minX < reach) && !(s.minX > x + eps) &&
               !(s.maxX <= x - eps);
    });
    if (p == EndPointGrid::none)
        return {};
    return {batch.begin + p / 2, p % 2 == 0 ? EndMatch::Start : EndMatch::End};
}

// Working lists of growFrom, kept from one chain to the next to spare allocations.
struct ChainBuffers {
    TMyEntityArray& onwards;   // in travel order, the seed first
    TMyEntityArray& backwards; // each ends where the one before starts
};

struct Grown {
    bool closed = false;
    double minX = 0, minY = 0, maxY = 0, maxX = 0;
};

// Grows a chain from segments[seed] through the available segments after it that
// find(seed, x, y) returns: first onwards from its end, then backwards from its start.
template <class Find>
Grown growFrom(TMyEntityArray& segments, std::size_t seed, Find&& find, ChainBuffers& buffers)
{
    TMyEntity& first = segments[seed];
    first.available = false;
    Grown box{false, first.minX, first.minY, first.maxY, first.maxX};
    const auto widen = [&box](const TMyEntity& s) {
        box.minX = std::min(box.minX, s.minX);
        box.maxX = std::max(box.maxX, s.maxX);
        box.minY = std::min(box.minY, s.minY);
        box.maxY = std::max(box.maxY, s.maxY);
    };
    TMyEntityArray& onwards = buffers.onwards;
    TMyEntityArray& backwards = buffers.backwards;
    onwards.assign(1, first);
    backwards.clear();
    // The available segment with an end on `at`, taken, turned to run on from `at` (onwards)
    // or into it (backwards), that end set exactly onto `at`.
    const auto take = [&](ChainEnd at, bool isOnwards) -> std::optional<TMyEntity> {
        const Match m = find(seed, at.x, at.y);
        if (m.end == EndMatch::None)
            return std::nullopt;
        TMyEntity s = segments[m.index];
        segments[m.index].available = false;
        s.available = false;
        if ((m.end == EndMatch::End) == isOnwards)
            reverseSegment(s);
        (isOnwards ? s.x1 : s.x2) = at.x;
        (isOnwards ? s.y1 : s.y2) = at.y;
        return s;
    };
    box.closed = growChain(
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
            widen(*s);
            onwards.push_back(*s);
            return ChainEnd{s->x2, s->y2};
        },
        [&](ChainEnd at) -> std::optional<ChainEnd> {
            std::optional<TMyEntity> s = take(at, false);
            if (!s)
                return std::nullopt;
            setBox(*s);
            widen(*s);
            backwards.push_back(*s);
            return ChainEnd{s->x1, s->y1};
        });
    return box;
}

// The chain just grown, in travel order: the backwards part, last found first, then the
// onwards part.
void appendChain(TMyEntityArray& to, const ChainBuffers& buffers)
{
    to.insert(to.end(), buffers.backwards.rbegin(), buffers.backwards.rend());
    to.insert(to.end(), buffers.onwards.begin(), buffers.onwards.end());
}

TRegion regionOf(const ChainBuffers& buffers, const Grown& grown, double level)
{
    TRegion region;
    region.depth = level;
    region.minX = grown.minX;
    region.maxX = grown.maxX;
    region.minY = grown.minY;
    region.maxY = grown.maxY;
    region.entities.reserve(buffers.backwards.size() + buffers.onwards.size());
    appendChain(region.entities, buffers);
    region.open = !grown.closed;
    if (grown.closed)
        OrientClosedRegion(region);
    return region;
}

// The grid answers only for a batch sorted by minX (no NaN among them) whose coordinates
// it can index; any other batch is scanned.
bool indexBatch(const Batch& batch, std::vector<ChainEnd>& points, EndPointGrid& grid)
{
    const TMyEntityArray& segments = batch.segments;
    points.clear();
    for (std::size_t k = batch.begin; k < batch.end; ++k) {
        if (k > batch.begin && !(segments[k].minX >= segments[k - 1].minX))
            return false;
        points.push_back({segments[k].x1, segments[k].y1});
        points.push_back({segments[k].x2, segments[k].y2});
    }
    return grid.build(points);
}

Batch startBatch(TMyEntityArray& segments, std::size_t begin, std::size_t end)
{
    double widest = 0;
    for (std::size_t k = begin; k < end; ++k) {
        segments[k].available = true;
        widest = std::max(widest, segments[k].maxX - segments[k].minX);
    }
    return {segments, begin, end, widest};
}

// The reference: every search a scan, every chain a region.
void chainBatchDirect(TMyEntityArray& segments, std::size_t begin, std::size_t end, double level,
                      TRegionArray& out, ChainBuffers& buffers)
{
    const Batch batch = startBatch(segments, begin, end);
    const auto find = [&](std::size_t seed, double x, double y) {
        return scanForSegment(batch, seed, x, y);
    };
    // Every segment before a seed is taken already, so a seed's search starts after it.
    for (std::size_t k = begin; k < end; ++k)
        if (segments[k].available) {
            const Grown grown = growFrom(segments, k, find, buffers);
            out.push_back(regionOf(buffers, grown, level));
        }
}

// The same chains as pieces: closed loops as regions, open chains into the shared list.
void chainBatch(TMyEntityArray& segments, std::size_t begin, std::size_t end, double level,
                ChainWork& work)
{
    ChainPieces& out = work.chains;
    ChainBuffers buffers{work.onwards, work.backwards};
    const Batch batch = startBatch(segments, begin, end);
    const bool gridded = indexBatch(batch, work.points, work.grid);
    const auto find = [&](std::size_t seed, double x, double y) {
        return gridded ? gridForSegment(batch, work.grid, seed, x, y)
                       : scanForSegment(batch, seed, x, y);
    };
    for (std::size_t k = begin; k < end; ++k)
        if (segments[k].available) {
            const Grown grown = growFrom(segments, k, find, buffers);
            ChainPiece piece;
            piece.minX = grown.minX;
            piece.maxX = grown.maxX;
            piece.minY = grown.minY;
            piece.maxY = grown.maxY;
            piece.open = !grown.closed;
            if (grown.closed) {
                piece.loop = out.loops.size();
                out.loops.push_back(regionOf(buffers, grown, level));
            } else {
                piece.begin = out.segments.size();
                appendChain(out.segments, buffers);
                piece.end = out.segments.size();
            }
            out.pieces.push_back(piece);
        }
}

bool stopPoint(RunControl& control, std::size_t done, std::size_t total)
{
    control.showProgress(ProgressDisplay::Gauge, int(done * 100 / std::max<std::size_t>(total, 1)));
    control.checkpoint();
    return control.escapePressed();
}

// Calls chain(begin, end) for each batch; false when Esc stopped it.
template <class ChainBatch>
bool forEachBatch(std::size_t segmentCount, RunControl& control, ChainBatch&& chain)
{
    const Batching batching = batchingFor(segmentCount);
    const std::size_t stride = std::max<std::size_t>(batching.count / 10, 1);
    for (std::size_t b = 0; b < batching.count; ++b) {
        if (b % stride == 0 && b > 0 && stopPoint(control, b, batching.count))
            return false;
        const std::size_t begin = b * batching.size;
        if (begin >= segmentCount)
            break; // the last batch may be empty
        chain(begin, std::min(segmentCount, begin + batching.size));
    }
    return true;
}

} // namespace

bool ChainSegments(TMyEntityArray& segments, TRegionArray& regions, double level,
                   RunControl& control)
{
    ChainWork work;
    return ChainSegments(segments, regions, level, control, work);
}

bool ChainSegments(TMyEntityArray& segments, TRegionArray& regions, double level,
                   RunControl& control, ChainWork& work)
{
    if (segments.empty())
        return true;
    // Chains in batch order, chain order within a batch.
    ChainPieces& chains = work.chains;
    chains.segments.clear();
    chains.pieces.clear();
    chains.loops.clear();
    chains.segments.reserve(segments.size());
    if (!forEachBatch(segments.size(), control, [&](std::size_t begin, std::size_t end) {
            chainBatch(segments, begin, end, level, work);
        }))
        return false;

    for (ChainPiece& p : chains.pieces)
        p.marked = true;
    quickSortBy(chains.pieces, [](const ChainPiece& p) { return p.minX; });
    return JoinChainPieces(chains, level, regions, control);
}

bool ChainSegmentsDirect(TMyEntityArray& segments, TRegionArray& regions, double level,
                         RunControl& control)
{
    if (segments.empty())
        return true;
    // Batch lists flattened as they are made: batch order, region order within a batch.
    TRegionArray flat;
    TMyEntityArray onwards, backwards;
    ChainBuffers buffers{onwards, backwards};
    if (!forEachBatch(segments.size(), control, [&](std::size_t begin, std::size_t end) {
            chainBatchDirect(segments, begin, end, level, flat, buffers);
        }))
        return false;

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
