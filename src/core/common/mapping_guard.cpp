#include "common/mapping_guard.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace corvane {

namespace {

// Mappings open at once: one a file being read, so a few; 64 leaves room for many readers.
constexpr int SlotCount = 64;

// A slot is claimed by setting `end` from 0, filled by its owner, and published by setting
// `begin`; the handler reads a slot only while `begin` is set. Only the owner's own thread
// touches the mapping, so a fault in it never races with that slot's release.
struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> lost{false};
};
static_assert(std::atomic<std::uintptr_t>::is_always_lock_free, "the signal handler reads slots");

Slot slots[SlotCount];
std::uintptr_t pageSize = 4096;
struct sigaction previousAction {};

// Hands a fault that is not ours on as if we were not there.
void passOn(int signalNumber, siginfo_t* info, void* context)
{
    if (previousAction.sa_flags & SA_SIGINFO) {
        if (previousAction.sa_sigaction) {
            previousAction.sa_sigaction(signalNumber, info, context);
            return;
        }
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signalNumber);
        return;
    }
    // The default action: with it restored, returning runs the faulting access again, which
    // raises the signal again and ends the process with it, as without the guard.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signalNumber, &fallback, nullptr);
}

extern "C" void onBusError(int signalNumber, siginfo_t* info, void* context)
{
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : slots) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = slot.end.load(std::memory_order_relaxed);
        if (begin == 0 || address < begin || address >= end)
            continue;
        // From the lost page to the mapping's end: the file has shrunk, so every later page
        // is gone too, and one fault covers them all. mmap is a plain system call and safe
        // here; MAP_FIXED replaces exactly those pages of the file's mapping.
        const std::uintptr_t page = address & ~(pageSize - 1);
        void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros == MAP_FAILED)
            break;
        slot.lost.store(true, std::memory_order_relaxed);
        return;
    }
    passOn(signalNumber, info, context);
}

void installHandler()
{
    pageSize = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    ::sigaction(SIGBUS, &action, &previousAction);
}

} // namespace

int guardMapping(const void* data, std::size_t size)
{
    static std::once_flag installed;
    std::call_once(installed, installHandler);
    if (!data || size == 0)
        return -1;
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
    for (int i = 0; i < SlotCount; ++i) {
        std::uintptr_t free = 0;
        if (slots[i].end.compare_exchange_strong(free, begin + size)) {
            slots[i].lost.store(false, std::memory_order_relaxed);
            slots[i].begin.store(begin, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

bool mappingLostPages(int registration)
{
    return registration >= 0 && registration < SlotCount &&
           slots[registration].lost.load(std::memory_order_relaxed);
}

void unguardMapping(int registration)
{
    if (registration < 0 || registration >= SlotCount)
        return;
    slots[registration].begin.store(0, std::memory_order_release);
    slots[registration].end.store(0, std::memory_order_release);
}

} // namespace corvane
