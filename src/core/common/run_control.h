// How a long operation talks to whoever started it: status texts, progress, checkpoints
// where the caller may process events, and the two ways the user can stop the work.
//
// The engine never polls globals: the desktop program passes an implementation that
// repaints and processes pending events at checkpoints, the command line one that prints
// progress to stderr, and tests a scripted one.
#pragma once

#include <string>

namespace corvane {

// Where a percentage is shown: the running dialog's own progress bar, or the gauge in
// the third panel of the frame's status bar.
enum class ProgressDisplay { Dialog, Gauge };

class RunControl {
public:
    virtual ~RunControl() = default;

    // Text for the first panel of the status bar ("Pass 2", "Saving to File...").
    virtual void showStatus(const std::string& text) { (void)text; }
    // percent is 0..100.
    virtual void showProgress(ProgressDisplay where, int percent) { (void)where, (void)percent; }
    // The work on this display is over (or was stopped): hide or reset it.
    virtual void endProgress(ProgressDisplay where) { (void)where; }
    // Called at every stride point before the stop tests: a desktop caller processes
    // pending events here, which is how Esc and Cancel reach a running loop.
    virtual void checkpoint() {}
    // Esc: the user wants the whole job abandoned. Stays set until the starter clears it.
    virtual bool escapePressed() { return false; }
    // Cancel of the running dialog. Reading the request consumes it.
    virtual bool takeStopRequest() { return false; }
};

// For callers that want neither progress nor a way to stop.
inline RunControl& silentRunControl()
{
    static RunControl none;
    return none;
}

} // namespace corvane
