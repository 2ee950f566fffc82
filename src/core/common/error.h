// The one exception family for bad input and failed input/output. It names the file (when
// there is one) and what was wrong, so the desktop program can show it in a message box and
// the command line can print it as one line.
#pragma once

#include <stdexcept>
#include <string>

namespace corvane {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& reason) : std::runtime_error(reason), reason_(reason) {}
    Error(std::string file, const std::string& reason)
        : std::runtime_error(file.empty() ? reason : file + ": " + reason), file_(std::move(file)),
          reason_(reason)
    {
    }
    Error(std::string file, long line, const std::string& reason)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + reason),
          file_(std::move(file)), line_(line), reason_(reason)
    {
    }

    const std::string& file() const { return file_; }
    long line() const { return line_; } // 0 when not tied to a line
    // The problem without the file name in front.
    const std::string& reason() const { return reason_; }

private:
    std::string file_;
    long line_ = 0;
    std::string reason_;
};

// The user stopped the work (Esc or Cancel). Not a failure: callers end with
// "Process Cancelled..." and keep what they had.
class Cancelled : public Error {
public:
    explicit Cancelled(std::string file = {}, const std::string& reason = "stopped by the user")
        : Error(std::move(file), reason)
    {
    }
};

} // namespace corvane
