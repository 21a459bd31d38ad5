#include "platform/rtl/Random.h"

#include <atomic>
#include <chrono>

#include "platform/core/Exception.h"

namespace xan::plat {

namespace {

std::atomic<std::uint32_t> g_seed{0};

std::uint32_t Draw() noexcept {
    std::uint32_t seed = g_seed.load(std::memory_order_relaxed);
    while (!g_seed.compare_exchange_weak(seed, NextRandSeed(seed), std::memory_order_relaxed)) {
    }
    return NextRandSeed(seed);
}

}  // namespace

Integer RandSeed() noexcept { return static_cast<Integer>(g_seed.load(std::memory_order_relaxed)); }

void SetRandSeed(Integer seed) noexcept { g_seed.store(static_cast<std::uint32_t>(seed), std::memory_order_relaxed); }

void Randomize() noexcept {
    auto ticks = std::chrono::system_clock::now().time_since_epoch().count() ^
                 std::chrono::steady_clock::now().time_since_epoch().count();
    auto mixed = static_cast<std::uint64_t>(ticks);
    g_seed.store(static_cast<std::uint32_t>(mixed ^ (mixed >> 32)), std::memory_order_relaxed);
}

double Random() noexcept { return static_cast<double>(Draw()) * (1.0 / 4294967296.0); }

Integer Random(Integer range) {
    if (range <= 0) Throw<ERangeError>(u"Random range must be positive");
    return static_cast<Integer>((static_cast<std::uint64_t>(Draw()) * static_cast<std::uint32_t>(range)) >> 32);
}

}  // namespace xan::plat
