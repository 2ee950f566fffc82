#include "relief/collapse_rapids.h"

#include "relief/row_progress.h"

namespace corvane::relief {

void RapidCollapser::add(const RasterMove& move)
{
    if (move.kind == RasterFeed) {
        if (held_) {
            next_.add(*held_);
            held_.reset();
        }
        next_.add(move);
    } else if (held_) {
        if (move.z != held_->z) {
            next_.add(*held_);
            next_.add(move);
            held_.reset();
        } else {
            held_ = move;
        }
    } else {
        next_.add(move);
        held_ = move;
    }
}

void RapidCollapser::finish()
{
    if (held_)
        next_.add(*held_);
    held_.reset();
}

bool CollapseRapids(std::vector<RasterMove>& moves, RunControl& control)
{
    if (control.escapePressed())
        return false;
    const long long n = static_cast<long long>(moves.size());
    MoveList thinned;
    thinned.moves.reserve(moves.size() * 2);
    RapidCollapser collapser(thinned);
    ProgressStride stride(0, (n - 1) / 10);
    for (long long i = 0; i < n; ++i) {
        if (stride.due(i) && gaugePointStopsForEscape(control, i, n - 1)) {
            control.endProgress(ProgressDisplay::Gauge);
            return false;
        }
        collapser.add(moves[std::size_t(i)]);
    }
    collapser.finish();
    thinned.moves.shrink_to_fit();
    moves = std::move(thinned.moves);
    control.endProgress(ProgressDisplay::Gauge);
    return true;
}

} // namespace corvane::relief
