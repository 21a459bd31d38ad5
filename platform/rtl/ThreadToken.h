#pragma once
// Thread liveness: a token fetched on a thread reads true while that thread runs and false once
// it has ended, so registries of per-thread records can drop the records of dead threads.
#include <atomic>
#include <memory>

namespace xan::plat {

using ThreadAliveToken = std::shared_ptr<const std::atomic<bool>>;

// The calling thread's token; every call on one thread answers the same token.
ThreadAliveToken CurrentThreadAliveToken();

}  // namespace xan::plat
