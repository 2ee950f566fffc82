// The roughing program from the parameters to the file: the passes of roughing_passes.h
// streamed through the rapid filter into a temporary spool, then the save prompt and the
// file moved into place whole, as the raster program is written (same header, dialect and
// number format, the roughing Feedrate in the F word).
#pragma once

#include "common/run_control.h"
#include "relief/byte_sink.h"
#include "relief/create_relief.h"
#include "relief/raster_program.h"
#include "relief/roughing_parameters.h"
#include "relief/roughing_passes.h"

#include <string>

namespace corvane::relief {

// Said (status and message) when the relief lies within the Stock to Leave everywhere: the
// program is still written, with no cutting move.
inline constexpr const char* NothingToRoughMessage =
    "Nothing to rough: no part of the relief lies deeper than the Stock to Leave";

struct RoughingResult {
    CreateResult create;
    RoughingRun run;
};

// The program's lines after the header, for `relief` (the finishing program's parameters)
// and `roughing`, into `out`. The stock is left above the relief, or, when the finish uses
// gouge control, above the heights its tool stands on (the grid raised by gouge control for
// the finishing tool), so that the finish carves the same surface with or without roughing
// first (on the finish's samples). Checks both parameter sets first (throws corvane::Error
// naming the field); `run.completed` is false when Cancel or Esc stopped it.
RoughingRun writeRoughingBody(const TZGrid& grid, const ReliefParameters& relief,
                              const RoughingParameters& roughing, RunControl& control,
                              ByteSink& out);
// The same through a body of the caller's (a machine profile's), flushed at the end.
RoughingRun writeRoughingBody(const TZGrid& grid, const ReliefParameters& relief,
                              const RoughingParameters& roughing, RunControl& control,
                              RasterProgramBody& body);

// Create for the roughing program: refused parameters throw before any work; Cancel gives
// Stopped (dialog stays open), Esc Abandoned, a declined prompt SaveDeclined; otherwise the
// file is in place. `grid` is the relief's heights without gouge control. `machine` is the
// controller it is written for; its Plunge Feedrate, when given, serves roughing too.
RoughingResult CreateRoughingProgram(const TZGrid& grid, const ReliefParameters& relief,
                                     const RoughingParameters& roughing,
                                     const std::string& sourceName, RunControl& control,
                                     const CreateHooks& hooks,
                                     const machine::MachineSettings& machine = {});

} // namespace corvane::relief
