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
// A thread for fewer bytes would cost more than it saves.
constexpr std::size_t MinBytes = std::size_t(16) << 20;

// The whole pages inside a range, and how far they have been faulted in.
struct Span {
    std::uintptr_t start; // the range's own first byte
    std::uintptr_t end;   // the end of its last whole page
    std::uintptr_t done;
};

} // namespace

PagesAhead::PagesAhead(std::vector<Range> ranges, std::size_t windowBytes)
    : ranges_(std::move(ranges)), window_(windowBytes),
      reached_(std::make_unique<std::atomic<std::size_t>[]>(ranges_.size()))
{
    std::size_t bytes = 0;
    for (const Range& r : ranges_)
        bytes += r.bytes;
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
        const std::uintptr_t end = (start + r.bytes) & ~(PageSize - 1);
        spans.push_back({start, end, (start + PageSize - 1) & ~(PageSize - 1)});
    }
    while (!stop_) {
        bool worked = false, finished = true;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            Span& s = spans[i];
            const std::size_t written = reached_[i].load(std::memory_order_relaxed);
            const std::size_t ahead = written > SIZE_MAX - window_ ? SIZE_MAX : written + window_;
            const std::uintptr_t wanted =
                ahead >= s.end - s.start ? s.end : (s.start + ahead) & ~(PageSize - 1);
            if (s.done < wanted) {
                const std::uintptr_t to = std::min(wanted, s.done + Step);
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

SharedPageFaults::SharedPageFaults(void* data, std::size_t bytes)
    : data_(reinterpret_cast<std::uintptr_t>(data)), bytes_(bytes),
      start_((data_ + PageSize - 1) & ~(PageSize - 1)),
      end_(std::max(start_, (data_ + bytes) & ~(PageSize - 1))),
      pieces_((end_ - start_ + Step - 1) / Step),
      pieceDone_(std::make_unique<std::atomic<bool>[]>(pieces_))
{
}

void SharedPageFaults::faultIn(const std::atomic<bool>& stop,
                               const std::function<void(std::size_t)>& fill)
{
    for (std::size_t p; !stop && (p = next_++) < pieces_;) {
        const std::uintptr_t at = start_ + p * Step;
        // Where the call is not offered the filling threads fault in their own pages.
        ::madvise(reinterpret_cast<void*>(at), std::min(Step, end_ - at), MADV_POPULATE_WRITE);
        pieceDone_[p] = true;
        ++done_;
        if (fill)
            fill(faultedInFromData());
    }
    // The pieces the other thread took last: one at most, a millisecond or two.
    while (!stop && done_.load() < pieces_)
        std::this_thread::yield();
}

std::size_t SharedPageFaults::faultedInFromData()
{
    while (donePrefix_ < pieces_ && pieceDone_[donePrefix_])
        ++donePrefix_;
    const std::uintptr_t upTo = std::min(end_, start_ + donePrefix_ * Step);
    return std::min(bytes_, std::size_t(upTo - data_));
}

} // namespace corvane
