#include "gui/simulation/run_simulation.h"

#include "common/error.h"
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/relief/run_input_guard.h"
#include "gui/simulation/cut_preview.h"

#include <new>

namespace corvane::gui {

TfrmCutPreview* SimulateAndPreview(TCorvaneFrame& frame, const QString& source,
                                   const SimulationCaller& caller, const SimulationJob& job)
{
    std::optional<simulation::Simulation> result;
    QString failure;
    shared().EscapePressed = false;
    {
        Hourglass hourglass;
        RunInputGuard guard(caller.dialog);
        GuiRunControl control(frame.StatusBar1(), caller.bar, caller.stopRequest);
        try {
            result = job(control);
            if (result && result->stopped)
                result.reset();
        } catch (const Cancelled&) {
            result.reset(); // Esc while a picture was read
        } catch (const Error& error) {
            failure = QString::fromStdString(error.what());
        } catch (const std::bad_alloc&) {
            failure = QStringLiteral("Not enough memory for this simulation.");
        }
        frame.StatusBar1().setGaugeVisible(false);
    }
    const bool stopped = shared().EscapePressed || (failure.isEmpty() && !result);
    shared().EscapePressed = false;
    if (!failure.isEmpty()) {
        frame.StatusBar1().setText(0, QStringLiteral("Failed: ") + failure);
        prompts().message(MessageKind::Warning, QStringLiteral("Warning"), failure, ButtonOk);
        return nullptr;
    }
    if (stopped) {
        frame.ShowReady();
        return nullptr;
    }
    return new TfrmCutPreview(frame, std::move(*result), source); // owned by its sub-window
}

} // namespace corvane::gui
