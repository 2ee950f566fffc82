// Progress of a picture write, by rows, on the status-bar gauge. Whenever the percentage
// grows it is shown, pending events are let through and Esc (or a dialog's stop request)
// stops the write by throwing Cancelled: the temporary file then goes and the file that was
// there stays as it was.
#pragma once

#include "common/run_control.h"

#include <string>

namespace corvane::imaging {

class RowsWritten {
public:
    // name: the file, for the message of a stopped write.
    RowsWritten(RunControl& control, std::string name, int rows);
    ~RowsWritten();
    RowsWritten(const RowsWritten&) = delete;
    RowsWritten& operator=(const RowsWritten&) = delete;

    // `done` rows of the picture have been written.
    void advance(int done)
    {
        if ((long long)done * 100 / rows_ > lastPercent_)
            report(done);
    }

private:
    void report(int done);

    RunControl& control_;
    std::string name_;
    int rows_;
    long long lastPercent_ = -1;
};

} // namespace corvane::imaging
