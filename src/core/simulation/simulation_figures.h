// The figures of a simulation in one line of text, as the cut preview shows them in the
// status bar: deviation (when there is a target), machining time and collisions.
// "." as the decimal point whatever the locale.
#pragma once

#include "simulation/simulate_program.h"
#include "simulation/simulate_sequence.h"

#include <string>

namespace corvane::simulation {

// "12.5 min" below an hour, "2 h 05 min" from an hour on (whole minutes, rounded).
std::string machiningTimeText(double minutes);

// With a target: "Gouge 0.0123 at (1.2500, 3.0000), leftover 0.0400 at (X, Y), mean
// 0.0050, 97.3% within 0.0100, machining 12.5 min, no collisions" (mean: of the absolute
// deviation); after the machining time ", gouge between samples 0.0460 (Protect Moves
// removes it)" when the moves cut the target between samples.
// Without: "Machining 12.5 min, 4000 feed moves, 12 rapids, no collisions". Collisions name the
// first line ("2 collisions at line 14 and after"); moves without a feed rate
// are counted ("3 moves not timed: no feed rate").
std::string figuresLine(const Simulation& sim);

// A roughing program and then the finishing program: the final surface's line, then
// ", roughing 1.0 min, largest second cut 0.2160, 95% of second cut within 0.1200" (the
// first program's time, the largest depth the second removes at a cell and the depth 95 % of
// the cells stay within), and the roughing program's collisions when it has any
// (", roughing: 1 collision at line 40").
std::string sequenceFiguresLine(const SequenceSimulation& sequence);

} // namespace corvane::simulation
