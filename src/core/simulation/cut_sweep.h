// Carving the Z-map: every cutting move lowers each cell to the lowest point the tool's
// surface reaches over it along the move. Rapids do not cut; a rapid that would pass below
// the surface as it stands at that moment is a collision, reported by its line.
#pragma once

#include "common/run_control.h"
#include "simulation/tool_moves.h"
#include "simulation/z_map.h"

#include <cstddef>
#include <vector>

namespace corvane::simulation {

struct SweepResult {
    std::vector<int> collisionLines;           // ascending, each line once
    bool stopped = false;                      // Esc: the map holds the moves done so far
    std::size_t feedMoves = 0, rapidMoves = 0; // SweepProgram: the tool moves swept
};

// Visits only the cells under each move's box widened by the tool's radius, a cutting move
// row by row (move_rows.h), in two threads that take bands of rows in turn (each cell
// still sees the moves in program order).
// Progress on the status bar gauge; Esc or a stop request (a dialog's Cancel) stops it.
SweepResult SweepToolMoves(const std::vector<ToolMove>& moves, const Cutter& cutter, ZMap& map,
                           RunControl& control);

// The program's moves swept as they are made (forEachToolMoveBatch), so the chords of its
// arcs are never all held at once: the same map and collisions as SweepToolMoves over
// toolMoves(program, cell). Progress by the program's moves.
SweepResult SweepProgram(const dnc::TGCodeArray& program, double cell, const Cutter& cutter,
                         ZMap& map, RunControl& control);

// The same sweep done directly, every cell for every move, for checking the fast one on
// small cases.
SweepResult SweepToolMovesDirectly(const std::vector<ToolMove>& moves, const Cutter& cutter,
                                   ZMap& map);

} // namespace corvane::simulation
