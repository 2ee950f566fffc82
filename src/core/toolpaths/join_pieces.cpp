#include "toolpaths/chain_pieces.h"
#include "toolpaths/chain_segments.h"
#include "toolpaths/end_point_grid.h"
#include "toolpaths/grow_chain.h"

#include <algorithm>
#include <utility>

namespace corvane::toolpaths {

namespace {

constexpr double eps = MatchTolerance;

enum class EndMatch { None, Start, End };

ChainEnd startOf(const ChainPieces& chains, const ChainPiece& p)
{
    const TMyEntity& s = chains.segments[p.begin];
    return {s.x1, s.y1};
}

ChainEnd endOf(const ChainPieces& chains, const ChainPiece& p)
{
    const TMyEntity& s = chains.segments[p.end - 1];
    return {s.x2, s.y2};
}

// The open chains still to be joined, in list order. A chain end takes the first marked
// chain in list order with an end on it, looked up in the grid of their ends, numbered 2k
// for the start of the k-th chain and 2k + 1 for its end. JoinChains scans instead, from
// the first chain not taken, and stops at the first chain with minX > x + eps; on a list
// sorted by minX every later chain fails that test too, so putting each candidate to the
// scan's tests gives its answer. (A chain's box may miss its own ends by less than the
// tolerance where they were set onto a neighbour's, so the box tests are not implied by
// the match.) A list the grid cannot take is scanned as JoinChains does.
class OpenChains {
public:
    explicit OpenChains(ChainPieces& chains) : chains_(chains)
    {
        const std::vector<ChainPiece>& pieces = chains.pieces;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            if (pieces[i].open && pieces[i].marked && pieces[i].end > pieces[i].begin)
                order_.push_back(i);
        gridded_ = indexEnds();
    }
    const std::vector<std::size_t>& order() const { return order_; }

    std::pair<std::size_t, EndMatch> find(double x, double y)
    {
        return gridded_ ? lookUp(x, y) : scan(x, y);
    }

private:
    bool indexEnds()
    {
        std::vector<ChainEnd> points;
        points.reserve(2 * order_.size());
        for (std::size_t k = 0; k < order_.size(); ++k) {
            const ChainPiece& p = chains_.pieces[order_[k]];
            if (k > 0 && !(p.minX >= chains_.pieces[order_[k - 1]].minX))
                return false;
            points.push_back(startOf(chains_, p));
            points.push_back(endOf(chains_, p));
        }
        return grid_.build(points);
    }

    std::pair<std::size_t, EndMatch> lookUp(double x, double y) const
    {
        const std::size_t n = grid_.firstMatch(x, y, [&](std::size_t number) {
            const ChainPiece& p = chains_.pieces[order_[number / 2]];
            return p.marked && !(p.minX > x + eps) && !(p.maxX <= x - eps);
        });
        if (n == EndPointGrid::none)
            return {0, EndMatch::None};
        return {order_[n / 2], n % 2 == 0 ? EndMatch::Start : EndMatch::End};
    }

    std::pair<std::size_t, EndMatch> scan(double x, double y)
    {
        const std::vector<ChainPiece>& pieces = chains_.pieces;
        while (first_ < order_.size() && !pieces[order_[first_]].marked)
            ++first_;
        for (std::size_t k = first_; k < order_.size(); ++k) {
            const ChainPiece& p = pieces[order_[k]];
            if (!p.marked)
                continue;
            if (p.minX > x + eps)
                break;
            if (p.maxX <= x - eps)
                continue;
            const ChainEnd s = startOf(chains_, p), e = endOf(chains_, p);
            if (pointsMatch(s.x, s.y, x, y))
                return {order_[k], EndMatch::Start};
            if (pointsMatch(e.x, e.y, x, y))
                return {order_[k], EndMatch::End};
        }
        return {0, EndMatch::None};
    }

    ChainPieces& chains_;
    std::vector<std::size_t> order_;
    std::size_t first_ = 0;
    bool gridded_ = false;
    EndPointGrid grid_;
};

// A chain taken by the join: which, and whether it runs backwards.
struct Taken {
    std::size_t piece;
    bool reversed;
};

struct JoinBuffers {
    std::vector<Taken> onwards, backwards;
};

void widenBox(TRegion& r, const ChainPiece& p)
{
    r.minX = std::min(r.minX, p.minX);
    r.maxX = std::max(r.maxX, p.maxX);
    r.minY = std::min(r.minY, p.minY);
    r.maxY = std::max(r.maxY, p.maxY);
}

void append(TMyEntityArray& to, const ChainPieces& chains, const Taken& t)
{
    const ChainPiece& p = chains.pieces[t.piece];
    const auto first = chains.segments.begin() + std::ptrdiff_t(p.begin);
    const auto last = chains.segments.begin() + std::ptrdiff_t(p.end);
    if (!t.reversed) {
        to.insert(to.end(), first, last);
        return;
    }
    for (auto s = last; s != first;) {
        to.push_back(*--s);
        reverseSegment(to.back());
    }
}

// JoinChains' joinFrom: joins onto `seed` every chain that continues it, onwards from its
// end, then backwards from its start. The chains taken are only noted while the chain
// grows (their matched end set onto it, as joinFrom does before turning them), then laid
// out once, each turned as it is copied. Turning moves no box, and the only change joinFrom
// makes after a turn, setting the closing end onto the start, is made on the laid-out list,
// so the segments come out exactly as joinFrom leaves them.
TRegion joinFrom(ChainPieces& chains, std::size_t seed, double level, OpenChains& open,
                 JoinBuffers& taken)
{
    ChainPiece& first = chains.pieces[seed];
    first.marked = false;
    TRegion m;
    m.depth = level;
    m.minX = first.minX;
    m.maxX = first.maxX;
    m.minY = first.minY;
    m.maxY = first.maxY;
    taken.onwards.clear();
    taken.backwards.clear();
    const auto take = [&](ChainEnd at, bool onwards) -> const Taken* {
        const auto [index, end] = open.find(at.x, at.y);
        if (end == EndMatch::None)
            return nullptr;
        ChainPiece& r = chains.pieces[index];
        r.marked = false;
        TMyEntity& s = chains.segments[end == EndMatch::Start ? r.begin : r.end - 1];
        (end == EndMatch::Start ? s.x1 : s.x2) = at.x;
        (end == EndMatch::Start ? s.y1 : s.y2) = at.y;
        setBox(s);
        widenBox(m, r);
        std::vector<Taken>& list = onwards ? taken.onwards : taken.backwards;
        list.push_back({index, (end == EndMatch::End) == onwards});
        return &list.back();
    };
    const ChainEnd start = startOf(chains, first);
    bool closeOnStart = false;
    const bool closed = growChain(
        start, endOf(chains, first),
        [&](ChainEnd at, ChainEnd from) -> std::optional<ChainEnd> {
            const Taken* t = take(at, true);
            if (!t)
                return std::nullopt;
            const ChainPiece& r = chains.pieces[t->piece];
            const ChainEnd far = t->reversed ? startOf(chains, r) : endOf(chains, r);
            if (pointsMatch(far.x, far.y, from.x, from.y)) {
                closeOnStart = true; // closed: nothing is taken after this
                return from;
            }
            return far;
        },
        [&](ChainEnd at) -> std::optional<ChainEnd> {
            const Taken* t = take(at, false);
            if (!t)
                return std::nullopt;
            const ChainPiece& r = chains.pieces[t->piece];
            return t->reversed ? endOf(chains, r) : startOf(chains, r);
        });

    std::size_t total = first.end - first.begin;
    for (const Taken& t : taken.onwards)
        total += chains.pieces[t.piece].end - chains.pieces[t.piece].begin;
    for (const Taken& t : taken.backwards)
        total += chains.pieces[t.piece].end - chains.pieces[t.piece].begin;
    m.entities.reserve(total);
    for (auto t = taken.backwards.rbegin(); t != taken.backwards.rend(); ++t)
        append(m.entities, chains, *t);
    append(m.entities, chains, {seed, false});
    for (const Taken& t : taken.onwards)
        append(m.entities, chains, t);
    if (closeOnStart) {
        TMyEntity& last = m.entities.back();
        last.x2 = start.x;
        last.y2 = start.y;
        setBox(last);
    }

    m.open = !closed;
    if (closed)
        OrientClosedRegion(m);
    return m;
}

} // namespace

bool JoinChainPieces(ChainPieces& chains, double level, TRegionArray& joined, RunControl& control)
{
    const std::vector<ChainPiece>& pieces = chains.pieces;
    TRegionArray found;
    found.reserve(chains.loops.size());
    for (const ChainPiece& p : pieces)
        if (!(p.open && p.marked)) {
            found.push_back(std::move(chains.loops[p.loop]));
            found.back().marked = p.marked;
        }

    OpenChains open(chains);
    JoinBuffers taken;
    const std::size_t stride = std::max<std::size_t>(pieces.size() / 10, 1);
    std::size_t passed = 0;
    for (std::size_t i : open.order()) {
        // Checkpoints at every tenth of the list, counted over all of it, as JoinChains.
        for (; passed <= i; ++passed)
            if (passed % stride == 0 && passed > 0) {
                control.showProgress(ProgressDisplay::Gauge, int(passed * 100 / pieces.size()));
                control.checkpoint();
                if (control.escapePressed())
                    return false;
            }
        if (!pieces[i].marked)
            continue;
        found.push_back(joinFrom(chains, i, level, open, taken));
    }
    for (TRegion& r : found)
        joined.push_back(std::move(r));
    return true;
}

} // namespace corvane::toolpaths
