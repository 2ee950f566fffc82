// The run control the desktop program hands to long core operations: texts go to panel 0
// of the frame's status bar, percentages to a dialog's progress bar or to the status-bar
// gauge, and every checkpoint processes pending events so that Esc and a dialog's Cancel
// button reach the running loop.
#pragma once

#include "common/run_control.h"

class QProgressBar;

namespace corvane::gui {

class TStatusPanels;

class GuiRunControl : public corvane::RunControl {
public:
    // dialogBar: the running dialog's own progress bar (may be null: its percentages then go
    // to the gauge). stopRequest: the flag the dialog's Cancel button sets (may be null).
    // abandoned: set when the running window closes, which counts as Esc (may be null).
    explicit GuiRunControl(TStatusPanels& status, QProgressBar* dialogBar = nullptr,
                           bool* stopRequest = nullptr, const bool* abandoned = nullptr);

    void showStatus(const std::string& text) override;
    void showProgress(ProgressDisplay where, int percent) override;
    void endProgress(ProgressDisplay where) override;
    void checkpoint() override;
    bool escapePressed() override;
    bool takeStopRequest() override;
    // Whether the job has taken a stop request.
    bool stopRequestTaken() const { return stopTaken_; }

private:
    TStatusPanels& status_;
    QProgressBar* dialogBar_;
    bool* stopRequest_;
    const bool* abandoned_;
    bool stopTaken_ = false;
};

} // namespace corvane::gui
