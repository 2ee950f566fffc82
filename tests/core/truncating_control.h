// A run control that shortens the file being read, as another program would while a reader
// works on it: at the gauge's 5 (a mesh load's start) or at the first look at Esc (which a
// reader makes only once it is well into the bytes).
#pragma once

#include "common/run_control.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace corvane::testing {

class TruncatingControl : public RunControl {
public:
    enum class When { LoadStarts, FirstEscCheck };
    TruncatingControl(std::string path, off_t keep, When when = When::LoadStarts)
        : path_(std::move(path)), keep_(keep), when_(when)
    {
    }
    void showProgress(ProgressDisplay, int percent) override
    {
        if (when_ == When::LoadStarts && percent == 5)
            truncateOnce();
    }
    bool escapePressed() override
    {
        if (when_ == When::FirstEscCheck)
            truncateOnce();
        return false;
    }

private:
    void truncateOnce()
    {
        if (!done_) {
            done_ = true;
            EXPECT_EQ(::truncate(path_.c_str(), keep_), 0);
        }
    }

    std::string path_;
    off_t keep_;
    When when_;
    bool done_ = false;
};

} // namespace corvane::testing
