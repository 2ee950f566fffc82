// The figures of a simulation in one line of text, as the cut preview shows them in the
// status bar: deviation (when there is a target), machining time and collisions.
// "." as the decimal point whatever the locale.
#pragma once

#include "simulation/simulate_program.h"

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

} // namespace corvane::simulation
