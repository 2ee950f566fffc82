// Progress of the command line's long jobs on stderr: each status text on its own line and
// the percentage as it moves. There is no Esc or Cancel here: Ctrl+C ends the process, and
// the files being written are only moved into place when complete.
#pragma once

#include "common/run_control.h"

namespace corvane::cli {

class StderrRunControl : public RunControl {
public:
    void showStatus(const std::string& text) override;
    void showProgress(ProgressDisplay where, int percent) override;
    void endProgress(ProgressDisplay where) override;

private:
    int lastPercent_ = -1;
};

} // namespace corvane::cli
