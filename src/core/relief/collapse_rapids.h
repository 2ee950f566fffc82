// Thinning the move list: within a run of rapids at one height only the first and the last
// are kept, so the tool crosses at that height in one straight move. A run of a single
// rapid gives that move twice; the program writer drops the repeat.
#pragma once

#include "common/run_control.h"
#include "relief/raster_move.h"

#include <optional>
#include <vector>

namespace corvane::relief {

// The filter as a stream stage: moves in, thinned moves out to `next`. Call finish() after
// the last move to let go of the rapid it holds.
class RapidCollapser : public MoveSink {
public:
    explicit RapidCollapser(MoveSink& next) : next_(next) {}
    void add(const RasterMove& move) override;
    void finish();

private:
    MoveSink& next_;
    std::optional<RasterMove> held_;
};

// Replaces `moves` by its thinned list. Progress goes to the status bar gauge; when Esc is
// set at the start or at a progress point the list is left unchanged (returns false).
bool CollapseRapids(std::vector<RasterMove>& moves, RunControl& control);

} // namespace corvane::relief
