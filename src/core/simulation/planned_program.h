// The raster program that the surface dialog's Create would write for a grid, produced in
// memory and read back by the DNC reader, so that a preview sees exactly the numbers the
// machine would get.
#pragma once

#include "common/run_control.h"
#include "dnc/dnc_move.h"
#include "relief/relief_parameters.h"
#include "relief/roughing_parameters.h"
#include "relief/zgrid.h"

#include <string>

namespace corvane::simulation {

// The program text (gouge control applied to a copy of `grid` when params ask for it).
// Throws corvane::Error for refused parameters, including a tool of diameter 0 under
// gouge control. Returns an empty text when Esc or Cancel stopped the run.
std::string plannedProgramText(const relief::TZGrid& grid, const relief::ReliefParameters& params,
                               RunControl& control);

// The same program as the reader's move list.
dnc::DncProgram plannedProgram(const relief::TZGrid& grid, const relief::ReliefParameters& params,
                               RunControl& control);

// The roughing program Create would write before the finishing program `params` (the
// finishing values after roughing), in the same way. Throws corvane::Error for refused
// parameters; an empty text when Esc or Cancel stopped the run.
std::string plannedRoughingText(const relief::TZGrid& grid, const relief::ReliefParameters& params,
                                const relief::RoughingParameters& roughing, RunControl& control);

} // namespace corvane::simulation
