// A temporary, unnamed file that holds the body of a program while it is generated, before
// the user has chosen where to save it. It disappears when closed, whatever happens.
#pragma once

#include "common/atomic_file.h"
#include "common/run_control.h"
#include "relief/byte_sink.h"

#include <cstdio>

namespace corvane::relief {

class ProgramSpool : public ByteSink {
public:
    ProgramSpool(); // throws corvane::Error when no temporary file can be made
    ~ProgramSpool() override;
    ProgramSpool(const ProgramSpool&) = delete;
    ProgramSpool& operator=(const ProgramSpool&) = delete;

    void write(std::string_view bytes) override;
    // Copies everything written to `target`, with progress on the status bar gauge. Returns
    // false when Esc was found pressed at a progress point (the copy is then incomplete).
    bool copyTo(AtomicFile& target, RunControl& control);

private:
    std::FILE* file_ = nullptr;
    long long size_ = 0;
};

} // namespace corvane::relief
