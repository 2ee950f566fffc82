// Faulting in the pages of a big buffer costs as much as filling it: a mesh's lists are
// hundreds of thousands of 4 kB pages, each a trip into the kernel on first write. PagesAhead
// has a helper thread fault them in (madvise MADV_POPULATE_WRITE) a window ahead of the
// thread that fills the buffers front to back, so that the two kinds of work overlap on two
// cores. The window keeps a buffer reserved generously from a size estimate from being
// committed much beyond what is really written. Only a help: where the kernel lacks the
// call, nothing changes, and the contents of the buffers are never touched.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace corvane {

class PagesAhead {
public:
    struct Range {
        void* data;        // the buffer's storage, allocated (a vector's reserved room)
        std::size_t bytes; // its whole length
    };

    // windowBytes: how far ahead of what has been written pages are faulted in.
    PagesAhead(std::vector<Range> ranges, std::size_t windowBytes);
    ~PagesAhead(); // stops the helper
    PagesAhead(const PagesAhead&) = delete;
    PagesAhead& operator=(const PagesAhead&) = delete;

    // The filling thread has written this many bytes from the start of range `index`.
    void reached(std::size_t index, std::size_t bytes)
    {
        reached_[index].store(bytes, std::memory_order_relaxed);
    }
    // Stops the helper now: the buffers are about to move (a vector outgrew its room).
    void stop();

private:
    void run();

    std::vector<Range> ranges_;
    std::size_t window_;
    std::unique_ptr<std::atomic<std::size_t>[]> reached_;
    std::atomic<bool> stop_{false};
    std::thread helper_;
};

// The pages of [data, data + bytes), a buffer about to be filled, faulted in by whichever
// threads have time for it: each call of faultIn() takes a few MB not yet taken at a time
// (in order from the front) until none is left, then waits for the pieces other threads took.
// For a thread that has time for it while another does other work, and for both once both
// have. Only a help, like PagesAhead.
class SharedPageFaults {
public:
    SharedPageFaults(void* data, std::size_t bytes);

    // Returns once every piece is faulted in, or soon after `stop` is set. One thread, the one
    // that fills the buffer front to back, may pass `fill`: it is called after each of that
    // thread's pieces with how many bytes from `data` on are faulted in so far, so that the
    // filling follows the faulting in while pages are still in cache, and no thread is left
    // with all the filling once the faulting in is done.
    void faultIn(const std::atomic<bool>& stop,
                 const std::function<void(std::size_t bytesFaultedIn)>& fill = {});

private:
    std::size_t faultedInFromData(); // on the filling thread

    std::uintptr_t data_;
    std::size_t bytes_;
    std::uintptr_t start_; // the first whole page
    std::uintptr_t end_;   // the end of the last whole page
    std::size_t pieces_;
    std::unique_ptr<std::atomic<bool>[]> pieceDone_;
    std::size_t donePrefix_ = 0; // pieces known done from the front: the filling thread's
    std::atomic<std::size_t> next_{0}, done_{0};
};

} // namespace corvane
