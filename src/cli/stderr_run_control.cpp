#include "cli/stderr_run_control.h"

#include <iostream>

namespace corvane::cli {

void StderrRunControl::showStatus(const std::string& text)
{
    if (lastPercent_ >= 0)
        std::cerr << "\n";
    lastPercent_ = -1;
    std::cerr << text << std::endl;
}

void StderrRunControl::showProgress(ProgressDisplay, int percent)
{
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    std::cerr << "\r  " << percent << "%" << std::flush;
}

void StderrRunControl::endProgress(ProgressDisplay)
{
    if (lastPercent_ >= 0)
        std::cerr << "\r  100%\n" << std::flush;
    lastPercent_ = -1;
}

} // namespace corvane::cli
