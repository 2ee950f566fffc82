#include "imaging/rows_written.h"

#include "common/error.h"

#include <algorithm>

namespace corvane::imaging {

RowsWritten::RowsWritten(RunControl& control, std::string name, int rows)
    : control_(control), name_(std::move(name)), rows_(std::max(rows, 1))
{
}

RowsWritten::~RowsWritten()
{
    control_.endProgress(ProgressDisplay::Gauge);
}

void RowsWritten::report(int done)
{
    lastPercent_ = (long long)done * 100 / rows_;
    control_.showProgress(ProgressDisplay::Gauge, int(lastPercent_));
    control_.checkpoint();
    if (control_.escapePressed() || control_.takeStopRequest())
        throw Cancelled(name_, "saving stopped by the user; the file was left as it was");
}

} // namespace corvane::imaging
