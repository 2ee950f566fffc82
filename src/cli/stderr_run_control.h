// Progress of the command line's long jobs on stderr. Each status text goes on its own line.
// On a terminal the percentage of the running step counts up in place and is wiped when the
// step ends; into a file or a pipe only the status lines go, so logs stay readable.
// There is no Esc or Cancel here: Ctrl+C ends the process, and the files being written are
// only moved into place when complete.
#pragma once

#include "common/run_control.h"

namespace corvane::cli {

class StderrRunControl : public RunControl {
public:
    StderrRunControl(); // percentages only when stderr is a terminal

    void showStatus(const std::string& text) override;
    void showProgress(ProgressDisplay where, int percent) override;
    void endProgress(ProgressDisplay where) override;

private:
    void wipePercent();
    bool terminal_;
    int shownPercent_ = -1; // the percentage on the current line, -1 for none
};

} // namespace corvane::cli
