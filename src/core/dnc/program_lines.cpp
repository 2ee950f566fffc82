#include "dnc/program_lines.h"

#include <algorithm>
#include <cstring>

namespace corvane::dnc {

namespace {

// The end of the line that starts at `from` (the LF, or the end of the bytes).
std::size_t lineEnd(std::string_view bytes, std::size_t from)
{
    const void* lf = std::memchr(bytes.data() + from, '\n', bytes.size() - from);
    return lf ? std::size_t(static_cast<const char*>(lf) - bytes.data()) : bytes.size();
}

std::string_view withoutCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace

ProgramLines::ProgramLines(std::string bytes) : bytes_(std::move(bytes))
{
    std::size_t pos = 0;
    while (pos < bytes_.size()) {
        if (count_ % Step == 0)
            starts_.push_back(pos);
        const std::size_t end = lineEnd(bytes_, pos);
        longest_ =
            std::max(longest_, withoutCr(std::string_view(bytes_).substr(pos, end - pos)).size());
        ++count_;
        pos = end + 1;
    }
}

std::string_view ProgramLines::line(std::size_t n) const
{
    if (n >= count_)
        return {};
    std::size_t pos = starts_[n / Step];
    for (std::size_t k = n % Step; k > 0; --k)
        pos = lineEnd(bytes_, pos) + 1;
    return withoutCr(std::string_view(bytes_).substr(pos, lineEnd(bytes_, pos) - pos));
}

} // namespace corvane::dnc
