// The progress stride of the relief loops: a threshold that starts at `start`; whenever the
// loop counter exceeds it, it grows by `stride` and the loop reports and checks for a stop.
// About ten reports a loop, so that the user interface never slows the work.
#pragma once

#include "common/run_control.h"

namespace corvane::relief {

class ProgressStride {
public:
    ProgressStride(long long start, long long stride) : threshold_(start), stride_(stride) {}
    // True when the loop should report at this counter value (and advances the threshold).
    bool due(long long counter)
    {
        if (threshold_ >= counter)
            return false;
        threshold_ += stride_;
        return true;
    }

private:
    long long threshold_;
    long long stride_;
};

// One progress point of a loop that reports on the status-bar gauge: shows counter as a
// percentage of last (the loop's final counter value, at least 1 once a point is due), lets
// the caller process events and tells whether Esc asks the loop to stop.
inline bool gaugePointStopsForEscape(RunControl& control, long long counter, long long last)
{
    control.showProgress(ProgressDisplay::Gauge, int(counter * 100 / last));
    control.checkpoint();
    return control.escapePressed();
}

} // namespace corvane::relief
