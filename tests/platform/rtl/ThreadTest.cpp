#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/core/Sync.h"
#include "platform/rtl/RtlErrors.h"
#include "platform/rtl/Thread.h"
#include "platform/rtl/ThreadToken.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

using testing::RaisedMessage;

class Summer : public TThread {
public:
    int upTo = 0;

protected:
    void Execute() override {
        int sum = 0;
        for (int i = 1; i <= upTo; ++i) sum += i;
        SetReturnValue(sum);
    }
};

class Spinner : public TThread {
public:
    std::atomic<int> rounds{0};

protected:
    void Execute() override {
        while (!Terminated()) {
            ++rounds;
            YieldThread();
        }
    }
};

// Reports through a flag that lives outside the object, since the object deletes itself. The
// flag is the last thing its thread touches of ours, so the test may end once it is set.
class SelfFreeing : public TThread {
public:
    explicit SelfFreeing(std::atomic<bool>& destroyed) : destroyed_(destroyed) {}
    ~SelfFreeing() override { destroyed_.store(true, std::memory_order_release); }

protected:
    void Execute() override {}

private:
    std::atomic<bool>& destroyed_;
};

bool WaitUntil(const std::atomic<bool>& flag) {
    for (int i = 0; i < 100000 && !flag.load(std::memory_order_acquire); ++i)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    return flag.load(std::memory_order_acquire);
}

// Stops its thread before its own class goes, the way a deletable running thread must.
class Idler : public TThread {
public:
    ~Idler() override { TerminateAndWait(); }

protected:
    void Execute() override {
        while (!Terminated()) YieldThread();
    }
};

class Failing : public TThread {
protected:
    void Execute() override { Throw<EConvertError>(u"bad input"); }
};

TEST(Thread, WaitForAnswersTheReturnValue) {
    Summer t;
    t.upTo = 100;
    EXPECT_FALSE(t.Started());
    t.Start();
    EXPECT_EQ(t.WaitFor(), 5050);
    EXPECT_TRUE(t.Finished());
    EXPECT_NE(t.ThreadID(), CurrentThreadId());
    EXPECT_EQ(t.FatalException(), nullptr);
}

TEST(Thread, TerminateIsARequestThatExecutePolls) {
    Spinner t;
    t.Start();
    while (t.rounds.load() < 3) YieldThread();
    t.Terminate();
    t.WaitFor();
    EXPECT_TRUE(t.Terminated());
}

TEST(Thread, FreeOnTerminateDeletesItselfAfterOnTerminate) {
    std::atomic<bool> destroyed{false};
    std::atomic<bool> terminatedSeen{false};
    auto* t = new SelfFreeing(destroyed);
    t->SetFreeOnTerminate(true);
    t->OnTerminate = [&](TObject* sender) { terminatedSeen = sender != nullptr && !destroyed; };
    EXPECT_EQ(RaisedMessage<EThread>([&] { t->WaitFor(); }), u"Cannot wait for a thread that frees itself");
    t->Start();
    ASSERT_TRUE(WaitUntil(destroyed));
    EXPECT_TRUE(terminatedSeen);
}

TEST(Thread, DestructorTerminatesARunningThreadAndWaits) {
    auto* t = new Idler;
    t->Start();
    delete t;  // returns only once Execute has seen the request
    Idler never;  // never started: nothing to wait for
}

TEST(Thread, MisuseIsRefused) {
    Summer t;
    EXPECT_EQ(RaisedMessage<EThread>([&] { t.WaitFor(); }), u"Cannot wait for a thread that was not started");
    t.Start();
    EXPECT_EQ(RaisedMessage<EThread>([&] { t.Start(); }), u"Cannot call Start on a running or finished thread");
    t.WaitFor();
}

TEST(Thread, AnExceptionEndsTheThreadAndIsKept) {
    Failing t;
    t.Start();
    t.WaitFor();
    ASSERT_NE(t.FatalException(), nullptr);
    EXPECT_TRUE(t.FatalException()->Is<EConvertError>());
    EXPECT_EQ(t.FatalException()->Message(), u"bad input");
}

TEST(ThreadAliveToken, FalseOnceTheThreadHasEnded) {
    ThreadAliveToken token;
    std::thread worker([&] {
        token = CurrentThreadAliveToken();
        EXPECT_TRUE(token->load());
        EXPECT_EQ(token, CurrentThreadAliveToken());
    });
    worker.join();
    ASSERT_TRUE(token);
    EXPECT_FALSE(token->load());
    EXPECT_TRUE(CurrentThreadAliveToken()->load());
}

}  // namespace
}  // namespace xan::plat
