#include "common/child_processes.h"

#include <atomic>
#include <csignal>

namespace corvane {

namespace {

// A few plug-ins at once at most; the slots cost nothing.
constexpr int SlotCount = 32;

// 0 marks a free slot: no process group has the number 0.
std::atomic<pid_t> groups[SlotCount];
static_assert(std::atomic<pid_t>::is_always_lock_free, "the signal handler reads the slots");

} // namespace

int registerChildGroup(pid_t group)
{
    if (group <= 0)
        return -1;
    for (int i = 0; i < SlotCount; ++i) {
        pid_t free = 0;
        if (groups[i].compare_exchange_strong(free, group))
            return i;
    }
    return -1;
}

void forgetChildGroup(int registration)
{
    if (registration >= 0 && registration < SlotCount)
        groups[registration].store(0);
}

void endChildGroups()
{
    for (std::atomic<pid_t>& group : groups)
        if (const pid_t g = group.load(); g > 0)
            ::kill(-g, SIGKILL);
}

} // namespace corvane
