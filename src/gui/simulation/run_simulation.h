// Running a simulation from a window of the desktop program and showing what it carves. The
// caller's LongRun holds the hourglass, the status texts and gauge, Esc (and the window's
// Cancel) and keeps other windows from taking input meanwhile. What the job carved opens in
// a Cut Preview window; a stop ends with "Process Cancelled..."; a failure is told through the
// prompts and stays in the status bar.
#pragma once

#include "common/run_control.h"
#include "simulation/simulate_program.h"

#include <QString>
#include <functional>
#include <optional>

class TfrmCutPreview;

namespace corvane::gui {

class LongRun;
class WindowFrame;

// The job returns nothing when it was stopped. Returns the new window, or null.
using SimulationJob = std::function<std::optional<simulation::Simulation>(RunControl&)>;
TfrmCutPreview* SimulateAndPreview(LongRun& run, WindowFrame& frame, const QString& source,
                                   const SimulationJob& job);

} // namespace corvane::gui
