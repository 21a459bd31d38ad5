#pragma once
// Threads and synchronisation primitives the engine relies on.
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace xan::plat {

// Re-entrant critical section.
class CriticalSection {
public:
    void Enter() { m_.lock(); }
    bool TryEnter() { return m_.try_lock(); }
    void Leave() { m_.unlock(); }
    // BasicLockable, so std::lock_guard / std::unique_lock work.
    void lock() { m_.lock(); }
    void unlock() { m_.unlock(); }

private:
    std::recursive_mutex m_;
};

using SectionGuard = std::lock_guard<CriticalSection>;

// Each Set wakes exactly one waiter (or lets the next WaitFor pass); the event then resets.
class AutoResetEvent {
public:
    void Set();
    void WaitFor();                                  // unlimited wait
    bool WaitFor(std::uint32_t milliseconds);        // false on timeout

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool signalled_ = false;
};

std::uint32_t CurrentThreadId() noexcept;  // the OS thread id
void YieldThread() noexcept;

}  // namespace xan::plat
