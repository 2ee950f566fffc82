// LongRun: the one way the desktop program runs a long job (a surface Create or Preview, a
// toolpaths Create, a simulation, loading a picture, mesh or program, saving, an image
// command, a plug-in). For the length of the job it holds the hourglass, lets only the
// running window take input (Esc passes everywhere), and hands the job a GuiRunControl
// whose checkpoints process events, so that Esc and the window's Cancel reach the loop.
//
// The Esc flag (SharedState::EscapePressed) has one life cycle, kept here:
//   - only the frame's key filter sets it, when the user presses Esc;
//   - a run clears it as it starts, so an Esc from before never stops a new job;
//   - nothing clears it while a job runs;
//   - a run that Esc stopped consumes it as it ends. A run stopped by its window's Cancel,
//     or one that ran to its end, leaves it as the user left it.
//
// Use:
//   corvane::gui::LongRun run(frame, {this, progressBar});
//   const auto report = run.run([&](corvane::RunControl& control) {
//       return corvane::relief::Create(grid, params, control).outcome != Stopped;
//   });
//   if (report.outcome == corvane::gui::RunOutcome::Completed) ...
#pragma once

#include "common/run_control.h"

#include <QString>
#include <functional>

class QProgressBar;
class QWidget;

namespace corvane::gui {

class WindowFrame;

enum class RunOutcome {
    Completed, // the job ran to its end
    Stopped,   // Esc, the window's Cancel or a close stopped it
    Failed,    // an error escaped it; RunReport::text says which
};

struct RunReport {
    RunOutcome outcome = RunOutcome::Completed;
    QString text; // the failure in words, when Failed
};

class LongRun {
public:
    struct Options {
        // The window that may take input during the run; null: none at all.
        QWidget* window = nullptr;
        // The window's own progress bar for ProgressDisplay::Dialog; null: the gauge.
        QProgressBar* bar = nullptr;
        // Panel 0 after a stop; empty leaves what the job last showed.
        QString stoppedStatus = QStringLiteral("Process Cancelled...");
        // A failure goes to panel 0 as "Failed: text" and into a warning box (shown while
        // the run still holds the window, so that it cannot be closed under the box).
        // Off: the caller tells the user itself.
        bool tellFailure = true;
    };

    // The job returns false when it stopped before its end (or throws Cancelled); that, and
    // only that, makes the outcome Stopped.
    using Job = std::function<bool(RunControl& control)>;

    LongRun(WindowFrame& frame, Options options);
    explicit LongRun(WindowFrame& frame) : LongRun(frame, Options{}) {}
    LongRun(const LongRun&) = delete;
    LongRun& operator=(const LongRun&) = delete;

    // Runs the job; a second run while one is going (a click let through at a checkpoint)
    // does nothing and reports Stopped.
    RunReport run(const Job& job);
    bool running() const { return running_; }

    // The running window's Cancel: the job stops at its next checkpoint that asks.
    void requestStop() { stopRequest_ = true; }
    bool stopRequested() const { return stopRequest_; }
    // The running window is being closed: the job is abandoned as if Esc were pressed.
    void abandon() { abandoned_ = true; }

    // "Failed: text" in panel 0 and the text in a warning box, with the arrow cursor.
    void tellFailure(const QString& text);

private:
    WindowFrame& frame_;
    Options options_;
    bool running_ = false;
    bool stopRequest_ = false;
    bool abandoned_ = false;
};

} // namespace corvane::gui
