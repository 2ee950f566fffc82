#include "gui/simulation/run_simulation.h"

#include "common/error.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/relief/run_input_guard.h"
#include "gui/simulation/cut_preview.h"

namespace corvane::gui {

TfrmCutPreview* SimulateAndPreview(TCorvaneFrame& frame, const QString& source,
                                   const SimulationCaller& caller, const SimulationJob& job)
{
    std::optional<simulation::Simulation> result;
    std::optional<QString> failure;
    shared().EscapePressed = false;
    {
        Hourglass hourglass;
        RunInputGuard guard(caller.dialog);
        GuiRunControl control(frame.StatusBar1(), caller.bar, caller.stopRequest);
        failure = failureOf([&] {
            try {
                result = job(control);
            } catch (const Cancelled&) {
                result.reset(); // Esc while a picture was read
            }
            if (result && result->stopped)
                result.reset();
        });
        frame.StatusBar1().setGaugeVisible(false);
    }
    const bool stopped = shared().EscapePressed || (!failure && !result);
    shared().EscapePressed = false;
    if (failure) {
        frame.StatusBar1().setText(0, QStringLiteral("Failed: ") + *failure);
        prompts().message(MessageKind::Warning, QStringLiteral("Warning"), *failure, ButtonOk);
        return nullptr;
    }
    if (stopped) {
        frame.StatusBar1().setText(0, QStringLiteral("Process Cancelled..."));
        return nullptr;
    }
    return new TfrmCutPreview(frame, std::move(*result), source); // owned by its sub-window
}

} // namespace corvane::gui
