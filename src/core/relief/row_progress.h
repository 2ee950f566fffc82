// The progress stride of the relief loops: a threshold that starts at `start`; whenever the
// loop counter exceeds it, it grows by `stride` and the loop reports and checks for a stop.
// About ten reports a loop, so that the user interface never slows the work.
#pragma once

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

} // namespace corvane::relief
