#include "gui/app/long_run.h"

#include "common/error.h"
#include "gui/app/exception_hook.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/run_input_guard.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"

#include <QProgressBar>

namespace corvane::gui {

LongRun::LongRun(WindowFrame& frame, Options options) : frame_(frame), options_(std::move(options))
{
}

void LongRun::tellFailure(const QString& text)
{
    frame_.StatusBar1().setGaugeVisible(false);
    frame_.StatusBar1().setText(0, QStringLiteral("Failed: ") + text);
    NormalCursor arrow; // a prompt shows the arrow, not the hourglass
    prompts().message(MessageKind::Warning, QStringLiteral("Warning"), text, ButtonOk);
}

RunReport LongRun::run(const Job& job)
{
    // A click let through at a checkpoint would start a run inside the running one.
    if (running_)
        return {RunOutcome::Stopped, {}};
    running_ = true;
    stopRequest_ = false;
    abandoned_ = false;
    // An Esc from before this job is not meant for it.
    shared().EscapePressed = false;

    RunReport report;
    bool cancelTaken = false;
    {
        Hourglass hourglass;
        RunInputGuard guard(options_.window);
        GuiRunControl control(frame_.StatusBar1(), options_.bar, &stopRequest_, &abandoned_);
        bool completed = false;
        const std::optional<QString> failure = failureOf([&] {
            try {
                completed = job(control);
            } catch (const Cancelled&) {
                completed = false;
            }
        });
        cancelTaken = control.stopRequestTaken();
        if (failure) {
            report = {RunOutcome::Failed, *failure};
            frame_.StatusBar1().setGaugeVisible(false);
            // Still running: the window cannot be closed, nor another job started, under
            // the message.
            if (options_.tellFailure)
                tellFailure(*failure);
        } else if (!completed) {
            report.outcome = RunOutcome::Stopped;
        }
    }
    if (report.outcome == RunOutcome::Stopped) {
        // The Esc that stopped this job has done its work; a Cancel leaves it be.
        if (!cancelTaken)
            shared().EscapePressed = false;
        if (!options_.stoppedStatus.isEmpty())
            frame_.StatusBar1().setText(0, options_.stoppedStatus);
    }
    if (options_.bar)
        options_.bar->setValue(0);
    running_ = false;
    stopRequest_ = false;
    abandoned_ = false;
    return report;
}

} // namespace corvane::gui
