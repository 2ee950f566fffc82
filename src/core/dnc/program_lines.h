// The text of a program as lines, for a text pane that shows millions of them: the bytes are
// kept as read and only every 64th line start is indexed, so the index costs about a byte
// per 60 lines of file and any line is found by skipping at most 63 line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::dnc {

class ProgramLines {
public:
    ProgramLines() = default;
    // Lines end in LF or CR LF; a last line without a line end counts when not empty, as
    // the reader counts them.
    explicit ProgramLines(std::string bytes);

    std::size_t count() const { return count_; }
    // Line n (0-based, below count()) without its line end.
    std::string_view line(std::size_t n) const;
    // The length in bytes of the longest line, for horizontal scrolling.
    std::size_t longestLine() const { return longest_; }

private:
    static constexpr std::size_t Step = 64;
    std::string bytes_;
    std::vector<std::size_t> starts_; // start of lines 0, 64, 128, ...
    std::size_t count_ = 0;
    std::size_t longest_ = 0;
};

} // namespace corvane::dnc
