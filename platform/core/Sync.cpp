#include "platform/core/Sync.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace xan::plat {

void AutoResetEvent::Set() {
    // Notify while holding the lock: a woken waiter may free the record that holds this event
    // as soon as it can take the lock, so Set must be done with the condition variable by then.
    std::lock_guard lock(m_);
    signalled_ = true;
    cv_.notify_one();
}

void AutoResetEvent::WaitFor() {
    std::unique_lock lock(m_);
    cv_.wait(lock, [this] { return signalled_; });
    signalled_ = false;
}

bool AutoResetEvent::WaitFor(std::uint32_t milliseconds) {
    std::unique_lock lock(m_);
    if (!cv_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return signalled_; })) return false;
    signalled_ = false;
    return true;
}

std::uint32_t CurrentThreadId() noexcept {
    thread_local const std::uint32_t id = static_cast<std::uint32_t>(::syscall(SYS_gettid));
    return id;
}

void YieldThread() noexcept { std::this_thread::yield(); }

}  // namespace xan::plat
