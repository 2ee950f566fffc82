#include "toolpaths/chain_segments.h"
#include "toolpaths/end_point_grid.h"
#include "toolpaths/grow_chain.h"

#include <algorithm>
#include <utility>

namespace corvane::toolpaths {

namespace {

constexpr double eps = MatchTolerance;

struct Ends {
    double sx, sy, ex, ey;
};

Ends endsOf(const TRegion& r)
{
    return {r.entities.front().x1, r.entities.front().y1, r.entities.back().x2,
            r.entities.back().y2};
}

enum class EndMatch { None, Start, End };

// The open chains still to be joined, in list order, with a cursor past the taken ones.
class Candidates {
public:
    Candidates(TRegionArray& list, bool useGrid) : list_(list)
    {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i].open && list[i].marked && !list[i].entities.empty())
                order_.push_back(i);
        gridded_ = useGrid && indexEnds();
    }
    const std::vector<std::size_t>& order() const { return order_; }

    // The first marked chain (in list order) with an end on (x, y).
    std::pair<std::size_t, EndMatch> find(double x, double y)
    {
        return gridded_ ? lookUp(x, y) : scan(x, y);
    }

private:
    struct Span {
        double minX, maxX;
    };

    // The list is sorted by minX, so the scan stops at the first chain with minX > x + eps.
    std::pair<std::size_t, EndMatch> scan(double x, double y)
    {
        while (first_ < order_.size() && !list_[order_[first_]].marked)
            ++first_;
        for (std::size_t k = first_; k < order_.size(); ++k) {
            const TRegion& r = list_[order_[k]];
            if (!r.marked)
                continue;
            if (r.minX > x + eps)
                break;
            if (r.maxX <= x - eps)
                continue;
            const Ends e = endsOf(r);
            if (pointsMatch(e.sx, e.sy, x, y))
                return {order_[k], EndMatch::Start};
            if (pointsMatch(e.ex, e.ey, x, y))
                return {order_[k], EndMatch::End};
        }
        return {0, EndMatch::None};
    }

    // The scan's answer from the grid of the chains' ends, numbered 2k for the start of the
    // k-th chain and 2k + 1 for its end, so the smallest number is the first match in list
    // order. Past a chain with minX > x + eps the scan meets only such chains (the list is
    // sorted), so on a sorted list it answers exactly as one that puts every chain to its
    // tests, as here, from copies of the boxes packed in order. A chain's box may miss its own ends
    // by less than the tolerance where they were set onto a neighbour's, which is why the box tests
    // are kept rather than implied by the match.
    std::pair<std::size_t, EndMatch> lookUp(double x, double y) const
    {
        const std::size_t p = grid_.firstMatch(x, y, [&](std::size_t number) {
            const Span& c = spans_[number / 2];
            return !(c.minX > x + eps) && !(c.maxX <= x - eps) && list_[order_[number / 2]].marked;
        });
        if (p == EndPointGrid::none)
            return {0, EndMatch::None};
        return {order_[p / 2], p % 2 == 0 ? EndMatch::Start : EndMatch::End};
    }

    // The ends and boxes of the chains still to be joined never change, so the grid and the
    // copies stay true. Only a list sorted by minX (no NaN among them) gives the scan's
    // answer this way; any other is scanned.
    bool indexEnds()
    {
        std::vector<ChainEnd> points;
        points.reserve(2 * order_.size());
        spans_.reserve(order_.size());
        for (std::size_t k = 0; k < order_.size(); ++k) {
            const TRegion& r = list_[order_[k]];
            if (k > 0 && !(r.minX >= spans_.back().minX))
                return false;
            spans_.push_back({r.minX, r.maxX});
            const Ends e = endsOf(r);
            points.push_back({e.sx, e.sy});
            points.push_back({e.ex, e.ey});
        }
        return grid_.build(points);
    }

    TRegionArray& list_;
    std::vector<std::size_t> order_;
    std::vector<Span> spans_;
    std::size_t first_ = 0;
    bool gridded_ = false;
    EndPointGrid grid_;
};

void setStart(TRegion& r, double x, double y)
{
    r.entities.front().x1 = x;
    r.entities.front().y1 = y;
    setBox(r.entities.front());
}

void setEnd(TRegion& r, double x, double y)
{
    r.entities.back().x2 = x;
    r.entities.back().y2 = y;
    setBox(r.entities.back());
}

void append(TMyEntityArray& to, TMyEntityArray&& from)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

// Joins onto `seed` every chain that continues it: onwards from its end, then backwards
// from its start.
TRegion joinFrom(TRegionArray& list, std::size_t seed, Candidates& candidates)
{
    TRegion m = std::move(list[seed]);
    list[seed].marked = false;
    m.marked = false;
    const Ends e = endsOf(m);
    // The open chain with an end on `at`, taken, turned to run on from `at` (onwards) or
    // into it (backwards), that end set exactly onto `at`, and boxed in with the chain.
    const auto take = [&](ChainEnd at, bool onwards) -> TRegion* {
        const auto [index, end] = candidates.find(at.x, at.y);
        if (end == EndMatch::None)
            return nullptr;
        TRegion& r = list[index];
        r.marked = false;
        if (end == EndMatch::Start)
            setStart(r, at.x, at.y);
        else
            setEnd(r, at.x, at.y);
        if ((end == EndMatch::End) == onwards)
            reverseRegion(r);
        widenBox(m, r);
        return &r;
    };
    // Pieces found backwards go before the chain, the last found first.
    std::vector<TMyEntityArray> pieces;
    const bool closed = growChain(
        {e.sx, e.sy}, {e.ex, e.ey},
        [&](ChainEnd at, ChainEnd start) -> std::optional<ChainEnd> {
            TRegion* r = take(at, true);
            if (!r)
                return std::nullopt;
            append(m.entities, std::move(r->entities));
            const TMyEntity& last = m.entities.back();
            if (pointsMatch(last.x2, last.y2, start.x, start.y))
                setEnd(m, start.x, start.y);
            return ChainEnd{m.entities.back().x2, m.entities.back().y2};
        },
        [&](ChainEnd at) -> std::optional<ChainEnd> {
            TRegion* r = take(at, false);
            if (!r)
                return std::nullopt;
            const ChainEnd near{r->entities.front().x1, r->entities.front().y1};
            pieces.push_back(std::move(r->entities));
            return near;
        });
    if (!pieces.empty()) {
        TMyEntityArray all;
        for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece)
            append(all, std::move(*piece));
        append(all, std::move(m.entities));
        m.entities = std::move(all);
    }

    m.open = !closed;
    if (closed)
        OrientClosedRegion(m);
    return m;
}

// A chain taken by joinFrom: its place in the list and whether it runs backwards.
struct Piece {
    std::size_t index;
    bool reversed;
};

// The travel start and end of a piece, as they will be once it is turned.
ChainEnd frontOf(const TRegion& r, bool reversed)
{
    return reversed ? ChainEnd{r.entities.back().x2, r.entities.back().y2}
                    : ChainEnd{r.entities.front().x1, r.entities.front().y1};
}
ChainEnd backOf(const TRegion& r, bool reversed)
{
    return reversed ? ChainEnd{r.entities.front().x1, r.entities.front().y1}
                    : ChainEnd{r.entities.back().x2, r.entities.back().y2};
}

void appendPiece(TMyEntityArray& to, const TRegion& r, bool reversed)
{
    if (!reversed) {
        to.insert(to.end(), r.entities.begin(), r.entities.end());
        return;
    }
    for (auto s = r.entities.rbegin(); s != r.entities.rend(); ++s) {
        to.push_back(*s);
        reverseSegment(to.back());
    }
}

// joinFrom's result, with every segment copied once: the chains taken are only noted (and
// their matched end set onto the chain) while the chain grows, then laid out in one list
// of the final size, each turned as it is copied. Turning a chain moves no box, and the
// only change made after a turn, the closing end set onto the start, is made on the laid
// out list, so the segments come out exactly as joinFrom leaves them.
TRegion joinFromOnce(TRegionArray& list, std::size_t seed, Candidates& candidates,
                     std::vector<Piece>& onwardsPieces, std::vector<Piece>& backwardsPieces)
{
    TRegion m = std::move(list[seed]);
    list[seed].marked = false;
    m.marked = false;
    const Ends e = endsOf(m);
    onwardsPieces.clear();
    backwardsPieces.clear();
    const auto take = [&](ChainEnd at, bool onwards) -> const Piece* {
        const auto [index, end] = candidates.find(at.x, at.y);
        if (end == EndMatch::None)
            return nullptr;
        TRegion& r = list[index];
        r.marked = false;
        if (end == EndMatch::Start)
            setStart(r, at.x, at.y);
        else
            setEnd(r, at.x, at.y);
        widenBox(m, r);
        std::vector<Piece>& pieces = onwards ? onwardsPieces : backwardsPieces;
        pieces.push_back({index, (end == EndMatch::End) == onwards});
        return &pieces.back();
    };
    bool closeOnStart = false;
    const bool closed = growChain(
        {e.sx, e.sy}, {e.ex, e.ey},
        [&](ChainEnd at, ChainEnd start) -> std::optional<ChainEnd> {
            const Piece* p = take(at, true);
            if (!p)
                return std::nullopt;
            const ChainEnd end = backOf(list[p->index], p->reversed);
            if (pointsMatch(end.x, end.y, start.x, start.y)) {
                closeOnStart = true; // the chain closes: nothing is taken after this
                return start;
            }
            return end;
        },
        [&](ChainEnd at) -> std::optional<ChainEnd> {
            const Piece* p = take(at, false);
            if (!p)
                return std::nullopt;
            return frontOf(list[p->index], p->reversed);
        });

    std::size_t total = m.entities.size();
    for (const Piece& p : onwardsPieces)
        total += list[p.index].entities.size();
    for (const Piece& p : backwardsPieces)
        total += list[p.index].entities.size();
    if (total != m.entities.size()) {
        TMyEntityArray all;
        all.reserve(total);
        for (auto p = backwardsPieces.rbegin(); p != backwardsPieces.rend(); ++p)
            appendPiece(all, list[p->index], p->reversed);
        all.insert(all.end(), m.entities.begin(), m.entities.end());
        for (const Piece& p : onwardsPieces)
            appendPiece(all, list[p.index], p.reversed);
        m.entities = std::move(all);
    }
    if (closeOnStart)
        setEnd(m, e.sx, e.sy);

    m.open = !closed;
    if (closed)
        OrientClosedRegion(m);
    return m;
}

bool joinChains(TRegionArray& list, TRegionArray& joined, RunControl& control, bool useGrid)
{
    joined.clear();
    joined.reserve(list.size());
    for (TRegion& r : list)
        if (!(r.open && r.marked))
            joined.push_back(std::move(r)); // only open chains are looked at from here on

    Candidates candidates(list, useGrid);
    std::vector<Piece> onwardsPieces, backwardsPieces;
    const std::size_t stride = std::max<std::size_t>(list.size() / 10, 1);
    std::size_t passed = 0;
    for (std::size_t i : candidates.order()) {
        // Checkpoints at every tenth of the list, counted over all of it.
        for (; passed <= i; ++passed)
            if (passed % stride == 0 && passed > 0) {
                control.showProgress(ProgressDisplay::Gauge, int(passed * 100 / list.size()));
                control.checkpoint();
                if (control.escapePressed()) {
                    joined.clear();
                    return false;
                }
            }
        if (!list[i].marked)
            continue;
        joined.push_back(useGrid ? joinFromOnce(list, i, candidates, onwardsPieces, backwardsPieces)
                                 : joinFrom(list, i, candidates));
    }
    return true;
}

} // namespace

bool JoinChains(TRegionArray& list, TRegionArray& joined, RunControl& control)
{
    return joinChains(list, joined, control, true);
}

bool JoinChainsDirect(TRegionArray& list, TRegionArray& joined, RunControl& control)
{
    return joinChains(list, joined, control, false);
}

} // namespace corvane::toolpaths
