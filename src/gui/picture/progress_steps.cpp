#include "gui/picture/progress_steps.h"

#include "common/round_half_even.h"

namespace corvane::gui {

int roundedPercent(long done, long total)
{
    // done * 100 is exact in a double for any file size, so the quotient is an exact half
    // precisely when the true percentage is one.
    return int(roundHalfEven(double(done) * 100.0 / double(total)));
}

ProgressUpdate advanceProgress(int& progressStep, long done, long total)
{
    ProgressUpdate update;
    if (total <= 0)
        return update;
    update.percent = roundedPercent(done, total);
    if (update.percent > progressStep) {
        progressStep += 10;
        update.moveGauge = true;
    }
    if (update.percent > 95) {
        progressStep = 0;
        update.runFinished = true;
    }
    return update;
}

} // namespace corvane::gui
