#include "common/pages_ahead.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <sys/mman.h>

namespace corvane {

namespace {

constexpr std::uintptr_t PageSize = 4096;
// Faulted in per call: small enough to follow the window closely, large enough that the
// calls cost nothing beside the faults.
constexpr std::uintptr_t Step = std::uintptr_t(4) << 20;
constexpr std::size_t MinBytes = std::size_t(16) << 20;

// Whole pages inside a range, and how far they have been faulted in.
struct Span {
    std::uintptr_t begin, end, done;
    std::uintptr_t start; // the range's own first byte
    std::size_t perUnit;
};

// Where the pages wanted after `units` of progress end, within the span.
std::uintptr_t wantedEnd(const Span& s, std::size_t units)
{
    const std::size_t length = s.end - s.start;
    if (s.perUnit == 0 || units >= length / s.perUnit)
        return s.end;
    return s.start + units * s.perUnit;
}

} // namespace

PagesAhead::PagesAhead(std::vector<Range> ranges, std::size_t windowUnits)
    : ranges_(std::move(ranges)), window_(windowUnits)
{
    std::size_t bytes = 0;
    for (const Range& r : ranges_)
        bytes += r.bytes;
    // A thread for a few pages would cost more than it saves.
    if (bytes >= MinBytes)
        helper_ = std::thread([this] { run(); });
}

PagesAhead::~PagesAhead()
{
    stop();
}

void PagesAhead::stop()
{
    stop_ = true;
    if (helper_.joinable())
        helper_.join();
}

void PagesAhead::run()
{
    std::vector<Span> spans;
    for (const Range& r : ranges_) {
        const auto start = reinterpret_cast<std::uintptr_t>(r.data);
        const std::uintptr_t begin = (start + PageSize - 1) & ~(PageSize - 1);
        const std::uintptr_t end = (start + r.bytes) & ~(PageSize - 1);
        if (end > begin)
            spans.push_back({begin, end, begin, start, r.bytesPerUnit});
    }
    while (!stop_) {
        bool worked = false, finished = true;
        const std::size_t units = reached_.load(std::memory_order_relaxed) + window_;
        for (Span& s : spans) {
            const std::uintptr_t limit = wantedEnd(s, units);
            if (s.done + PageSize <= limit) {
                const std::uintptr_t to = std::min(limit & ~(PageSize - 1), s.done + Step);
                if (::madvise(reinterpret_cast<void*>(s.done), to - s.done, MADV_POPULATE_WRITE) !=
                    0)
                    return; // not offered here: the filling thread faults its own pages
                s.done = to;
                worked = true;
            }
            finished = finished && s.done >= s.end;
        }
        if (finished)
            return;
        if (!worked)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

} // namespace corvane
