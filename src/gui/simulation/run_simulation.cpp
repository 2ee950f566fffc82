#include "gui/simulation/run_simulation.h"

#include "gui/app/long_run.h"
#include "gui/app/window_frame.h"
#include "gui/simulation/cut_preview.h"

namespace corvane::gui {

namespace {

bool stopped(const simulation::Simulation& result)
{
    return result.stopped;
}
bool stopped(const simulation::SequenceSimulation& result)
{
    return result.stopped;
}

// Runs the job and opens the window on what it carved; a stop or a failure opens none.
template <typename Result, typename Job>
TfrmCutPreview* runAndPreview(LongRun& run, WindowFrame& frame, const QString& source,
                              const Job& job)
{
    std::optional<Result> result;
    const RunReport report = run.run([&](RunControl& control) {
        result = job(control);
        if (result && stopped(*result))
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

} // namespace

TfrmCutPreview* SimulateAndPreview(LongRun& run, WindowFrame& frame, const QString& source,
                                   const SimulationJob& job)
{
    return runAndPreview<simulation::Simulation>(run, frame, source, job);
}

TfrmCutPreview* SimulateSequenceAndPreview(LongRun& run, WindowFrame& frame, const QString& source,
                                           const SequenceJob& job)
{
    return runAndPreview<simulation::SequenceSimulation>(run, frame, source, job);
}

} // namespace corvane::gui
