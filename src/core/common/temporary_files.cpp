#include "common/temporary_files.h"

#include "common/child_processes.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace corvane {

namespace {

// Enough for every file a job writes at once; a path longer than a system path is refused.
constexpr int SlotCount = 64;
constexpr std::size_t PathCapacity = 4096;

enum SlotState : int { Free, Filling, Held };

// A slot's path is read by the handler only while the slot is Held; it is written only
// between Free and Held, by the one thread that claimed it.
struct Slot {
    std::atomic<int> state{Free};
    char path[PathCapacity];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

Slot slots[SlotCount];

extern "C" void removeAndReraise(int signalNumber)
{
    endChildGroups(); // first: a plug-in must not go on writing where we clean up
    removeTemporaryFiles();
    // SA_RESETHAND has restored the default action; the raised signal is delivered as soon
    // as the handler returns and ends the process.
    ::raise(signalNumber);
}

} // namespace

int registerTemporaryFile(const char* path)
{
    const std::size_t length = std::strlen(path);
    if (length >= PathCapacity)
        return -1;
    for (int i = 0; i < SlotCount; ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Filling)) {
            std::memcpy(slots[i].path, path, length + 1);
            slots[i].state.store(Held, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void forgetTemporaryFile(int registration)
{
    if (registration >= 0 && registration < SlotCount)
        slots[registration].state.store(Free, std::memory_order_release);
}

void removeTemporaryFiles()
{
    for (Slot& slot : slots)
        if (slot.state.load(std::memory_order_acquire) == Held)
            ::unlink(slot.path);
}

void removeTemporaryFilesOnInterrupt()
{
    constexpr int interrupts[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction action {};
    action.sa_handler = removeAndReraise;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : interrupts)
        sigaddset(&action.sa_mask, signalNumber); // one clean-up at a time
    action.sa_flags = SA_RESETHAND;
    for (int signalNumber : interrupts) {
        // A signal the starter chose to ignore (nohup, a background job) stays ignored.
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

} // namespace corvane
