#include "cli/stderr_run_control.h"

#include <iostream>
#include <unistd.h>

namespace corvane::cli {

StderrRunControl::StderrRunControl() : terminal_(::isatty(STDERR_FILENO) == 1) {}

void StderrRunControl::wipePercent()
{
    if (shownPercent_ >= 0)
        std::cerr << "\r      \r";
    shownPercent_ = -1;
}

void StderrRunControl::showStatus(const std::string& text)
{
    wipePercent();
    std::cerr << text << std::endl;
}

void StderrRunControl::showProgress(ProgressDisplay, int percent)
{
    if (!terminal_ || percent == shownPercent_)
        return;
    shownPercent_ = percent;
    std::cerr << "\r  " << percent << "%" << std::flush;
}

void StderrRunControl::endProgress(ProgressDisplay)
{
    wipePercent();
    std::cerr << std::flush;
}

} // namespace corvane::cli
