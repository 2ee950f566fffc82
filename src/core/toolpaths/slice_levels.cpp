#include "toolpaths/slice_levels.h"

#include "toolpaths/slice_work.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <iterator>
#include <mutex>
#include <thread>

namespace corvane::toolpaths {

namespace {

bool sliceOneByOne(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                   const std::vector<double>& levels, TRegionArray& regions, RunControl& control,
                   const LevelSliced& sliced)
{
    SliceWork work;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        const std::size_t first = regions.size();
        if (!SliceAtLevel(triangles, blocks, regions, levels[k], control, work))
            return false;
        if (!sliced(k, first))
            return false;
    }
    return true;
}

// What the helper thread's walks talk to: nothing is shown, and Esc is what the calling
// thread has seen.
class HelperControl : public RunControl {
public:
    explicit HelperControl(const std::atomic<bool>& stop) : stop_(stop) {}
    bool escapePressed() override { return stop_.load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>& stop_;
};

// The levels shared out: each thread takes the next one not taken, slices it into a list
// of its own and marks it done; the calling thread appends the done ones in level order.
class SharedLevels {
public:
    SharedLevels(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                 const std::vector<double>& levels)
        : triangles_(triangles), blocks_(blocks), levels_(levels), found_(levels.size()),
          done_(levels.size(), false)
    {
    }

    enum class Outcome { Sliced, NoneLeft, Stopped };

    // Takes the next level not taken and slices it.
    Outcome sliceOne(RunControl& control, SliceWork& work)
    {
        const std::size_t k = next_++;
        if (k >= levels_.size())
            return Outcome::NoneLeft;
        if (stop_ || !SliceAtLevel(triangles_, blocks_, found_[k], levels_[k], control, work))
            return Outcome::Stopped;
        {
            const std::lock_guard lock(mutex_);
            done_[k] = true;
        }
        changed_.notify_one();
        return Outcome::Sliced;
    }

    // Appends the levels from `appended_` on that are done, in order; false when `sliced`
    // stopped it.
    bool appendDone(TRegionArray& regions, const LevelSliced& sliced)
    {
        while (appended_ < levels_.size() && isDone(appended_)) {
            const std::size_t first = regions.size();
            TRegionArray& found = found_[appended_];
            regions.insert(regions.end(), std::make_move_iterator(found.begin()),
                           std::make_move_iterator(found.end()));
            found = TRegionArray();
            if (!sliced(appended_++, first))
                return false;
        }
        return true;
    }

    bool allAppended() const { return appended_ == levels_.size(); }

    // Waits a little for the next level to be done.
    void waitAWhile()
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(20), [&] { return done_[appended_]; });
    }

    void stop() { stop_ = true; }
    const std::atomic<bool>& stopFlag() const { return stop_; }

private:
    bool isDone(std::size_t k)
    {
        const std::lock_guard lock(mutex_);
        return done_[k];
    }

    const TTriangleArray& triangles_;
    const TriangleBlocks& blocks_;
    const std::vector<double>& levels_;
    std::vector<TRegionArray> found_;
    std::vector<bool> done_; // guarded by mutex_
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::size_t appended_ = 0; // the calling thread's
};

bool sliceOnTwoThreads(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                       const std::vector<double>& levels, TRegionArray& regions,
                       RunControl& control, const LevelSliced& sliced)
{
    SharedLevels shared(triangles, blocks, levels);
    HelperControl helperControl(shared.stopFlag());
    std::exception_ptr helperFailed;
    // Stopped and joined on every way out, a throw of this thread's included.
    struct Helper {
        SharedLevels& shared;
        std::thread thread;
        ~Helper()
        {
            shared.stop();
            if (thread.joinable())
                thread.join();
        }
    } helper{shared, std::thread([&] {
                 try {
                     SliceWork work;
                     while (shared.sliceOne(helperControl, work) == SharedLevels::Outcome::Sliced) {
                     }
                 } catch (...) {
                     helperFailed = std::current_exception();
                     shared.stop();
                 }
             })};
    // Between its own levels this thread appends what is done; once no level is left to
    // take, it waits for the helper's, passing checkpoints so that Esc is still seen.
    bool going = true;
    SliceWork work;
    for (;;) {
        if (!shared.appendDone(regions, sliced)) {
            going = false;
            break;
        }
        const SharedLevels::Outcome outcome = shared.sliceOne(control, work);
        if (outcome == SharedLevels::Outcome::Stopped)
            going = false;
        if (outcome != SharedLevels::Outcome::Sliced)
            break;
    }
    while (going && !shared.allAppended()) {
        if (!shared.appendDone(regions, sliced)) {
            going = false;
            break;
        }
        if (shared.allAppended())
            break;
        shared.waitAWhile();
        control.checkpoint();
        if (control.escapePressed() || shared.stopFlag()) // Esc, or the helper failed
            going = false;
    }
    shared.stop();
    helper.thread.join();
    helper.thread = std::thread();
    if (helperFailed)
        std::rethrow_exception(helperFailed);
    return going;
}

} // namespace

bool SliceAtLevels(const TTriangleArray& triangles, const TriangleBlocks& blocks,
                   const std::vector<double>& levels, TRegionArray& regions, RunControl& control,
                   unsigned threads, const LevelSliced& sliced)
{
    if (threads < 2 || levels.size() < 2)
        return sliceOneByOne(triangles, blocks, levels, regions, control, sliced);
    return sliceOnTwoThreads(triangles, blocks, levels, regions, control, sliced);
}

unsigned sliceThreads()
{
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

} // namespace corvane::toolpaths
