#include "platform/rtl/ThreadToken.h"

namespace xan::plat {

namespace {

// Cleared by the thread-local destructor, which runs as the thread ends.
struct AliveFlag {
    std::shared_ptr<std::atomic<bool>> alive = std::make_shared<std::atomic<bool>>(true);
    ~AliveFlag() { alive->store(false, std::memory_order_release); }
};

}  // namespace

ThreadAliveToken CurrentThreadAliveToken() {
    thread_local AliveFlag flag;
    return flag.alive;
}

}  // namespace xan::plat
