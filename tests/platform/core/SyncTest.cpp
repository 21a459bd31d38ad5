#include "platform/core/Sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace xan::plat;

TEST(AutoResetEvent, EachSetReleasesExactlyOneWaiter) {
    AutoResetEvent ev;
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) waiters.emplace_back([&] { ev.WaitFor(); ++woken; });
    ev.Set();
    while (woken.load() < 1) YieldThread();
    EXPECT_FALSE(ev.WaitFor(20));  // the one set was consumed
    EXPECT_EQ(woken.load(), 1);
    // Setting an event that is already set has no further effect, so the next Set waits until
    // the previous one has been consumed.
    ev.Set();
    while (woken.load() < 2) YieldThread();
    EXPECT_EQ(woken.load(), 2);
    ev.Set();
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken.load(), 3);
}

TEST(CriticalSection, IsReentrant) {
    CriticalSection cs;
    cs.Enter();
    EXPECT_TRUE(cs.TryEnter());
    cs.Leave();
    cs.Leave();
    std::thread other([&] { EXPECT_TRUE(cs.TryEnter()); cs.Leave(); });
    other.join();
}

TEST(Threads, CurrentThreadIdDiffersBetweenThreads) {
    const auto mine = CurrentThreadId();
    std::uint32_t theirs = 0;
    std::thread([&] { theirs = CurrentThreadId(); }).join();
    EXPECT_NE(mine, 0u);
    EXPECT_NE(mine, theirs);
}
