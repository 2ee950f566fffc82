#include "toolpaths/chain_segments.h"
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
    explicit Candidates(TRegionArray& list) : list_(list)
    {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i].open && list[i].marked && !list[i].entities.empty())
                order_.push_back(i);
    }
    const std::vector<std::size_t>& order() const { return order_; }

    // The first marked chain (in list order) with an end on (x, y); list is sorted by minX,
    // so the scan stops at the first chain with minX > x + eps.
    std::pair<std::size_t, EndMatch> find(double x, double y)
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

private:
    TRegionArray& list_;
    std::vector<std::size_t> order_;
    std::size_t first_ = 0;
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

} // namespace

bool JoinChains(TRegionArray& list, TRegionArray& joined, RunControl& control)
{
    joined.clear();
    joined.reserve(list.size());
    for (TRegion& r : list)
        if (!(r.open && r.marked))
            joined.push_back(std::move(r)); // only open chains are looked at from here on

    Candidates candidates(list);
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
        joined.push_back(joinFrom(list, i, candidates));
    }
    return true;
}

} // namespace corvane::toolpaths
