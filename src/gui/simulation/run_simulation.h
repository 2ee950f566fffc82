// Running a simulation from a window of the desktop program and showing what it carves:
// the hourglass, the status texts and gauge, Esc (and a dialog's Cancel) to stop, and no
// input to other windows meanwhile. What the job carved opens in a Cut Preview window; a
// stop ends with "Process Cancelled..."; a failure is told through the prompts and stays in
// the status bar.
#pragma once

#include "common/run_control.h"
#include "simulation/simulate_program.h"

#include <QString>
#include <functional>
#include <optional>

class QProgressBar;
class QWidget;
class TCorvaneFrame;
class TfrmCutPreview;

namespace corvane::gui {

struct SimulationCaller {
    QWidget* dialog = nullptr;   // the window that may take input during the run
    QProgressBar* bar = nullptr; // the dialog's own progress bar, if any
    bool* stopRequest = nullptr; // set by the dialog's Cancel, if any
};

// The job returns nothing when it was stopped. Returns the new window, or null.
using SimulationJob = std::function<std::optional<simulation::Simulation>(RunControl&)>;
TfrmCutPreview* SimulateAndPreview(TCorvaneFrame& frame, const QString& source,
                                   const SimulationCaller& caller, const SimulationJob& job);

} // namespace corvane::gui
