#include "gui/simulation/run_simulation.h"

#include "gui/app/long_run.h"
#include "gui/app/window_frame.h"
#include "gui/simulation/cut_preview.h"

namespace corvane::gui {

TfrmCutPreview* SimulateAndPreview(LongRun& run, WindowFrame& frame, const QString& source,
                                   const SimulationJob& job)
{
    std::optional<simulation::Simulation> result;
    const RunReport report = run.run([&](RunControl& control) {
        result = job(control);
        if (result && result->stopped)
            result.reset();
        return result.has_value();
    });
    frame.StatusBar1().setGaugeVisible(false);
    if (report.outcome == RunOutcome::Stopped)
        frame.StatusBar1().setText(0, QStringLiteral("Process Cancelled..."));
    if (report.outcome != RunOutcome::Completed)
        return nullptr;
    return new TfrmCutPreview(frame, std::move(*result), source); // owned by its sub-window
}

} // namespace corvane::gui
