// Where the relief writers send their text: a file being written, a temporary spool, or
// memory (tests and benchmarks). Writers hand over large blocks, never single numbers.
#pragma once

#include "common/atomic_file.h"

#include <string>
#include <string_view>

namespace corvane::relief {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws corvane::Error when the bytes cannot be kept.
    virtual void write(std::string_view bytes) = 0;
};

class StringSink : public ByteSink {
public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

class AtomicFileSink : public ByteSink {
public:
    explicit AtomicFileSink(AtomicFile& file) : file_(file) {}
    void write(std::string_view bytes) override { file_.write(bytes); }

private:
    AtomicFile& file_;
};

} // namespace corvane::relief
