// One machine used by several threads: concurrent calls each get their own frames and results,
// and closing the machine from another thread stops every running script with the abort error
// and returns once they have all left.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <thread>

#include "PascalHost.h"

namespace xan::test {
namespace {

constexpr const char16_t* Aborted = u"Script execution has been aborted.";

const char16_t* const Fib =
    u"function Fib(n); begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2); end;";

int FibOf(int n) { return n < 2 ? n : FibOf(n - 1) + FibOf(n - 2); }

class Threads : public PascalMachine {
protected:
    Threads() {
        // Entered(): a script tells the test it is running.
        host->Add(u"Entered", [this](const plat::DISPPARAMS&, Variant*) { entered.fetch_add(1); });
    }

    // Runs AProc on a new thread; its outcome lands in AOutcome.
    std::thread RunOnThread(const char16_t* AProc, UString& AOutcome) {
        return std::thread([this, AProc, &AOutcome] { AOutcome = RaisedBy([&] { vm->RunProc(AProc); }); });
    }
    void WaitUntilEntered(int ACount) {
        while (entered.load() < ACount) std::this_thread::yield();
    }

    std::atomic<int> entered{0};
};

TEST_F(Threads, TwoThreadsRunOneMachineAtOnce) {
    Start(Fib);
    std::latch start(2);
    int results[2][4] = {};
    auto worker = [&](int who, int firstN) {
        start.arrive_and_wait();
        for (int i = 0; i < 4; ++i) results[who][i] = Int(u"Fib", {Variant(firstN + i)});
    };
    std::thread a(worker, 0, 16), b(worker, 1, 12);
    a.join();
    b.join();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(results[0][i], FibOf(16 + i)) << i;
        EXPECT_EQ(results[1][i], FibOf(12 + i)) << i;
    }
}

TEST_F(Threads, CloseFromAnotherThreadStopsAnEndlessLoop) {
    Start(u"procedure Spin; begin Host.Entered; while True do ; end;");
    UString outcome;
    std::thread spinner = RunOnThread(u"Spin", outcome);
    WaitUntilEntered(1);
    vm->Close();  // returns once the spinning thread has left the machine
    spinner.join();
    EXPECT_EQ(outcome, Aborted);
    EXPECT_EQ(vm->State(), msUninitialized);
}

TEST_F(Threads, AbortPassesThroughHandlersAndFinallyCode) {
    Start(u"procedure Spin; begin Host.Entered; while True do ; end;"
          u"procedure Guarded; begin"
          u"  try try Spin; finally Host.Log('finally'); end; except Host.Log('caught'); end;"
          u"  Host.Log('after');"
          u"end;");
    UString outcome;
    std::thread spinner = RunOnThread(u"Guarded", outcome);
    WaitUntilEntered(1);
    vm->Close();
    spinner.join();
    EXPECT_EQ(outcome, Aborted);
    EXPECT_TRUE(logged.empty());
}

TEST_F(Threads, CloseWaitsForEveryRunningThread) {
    Start(u"procedure Spin; begin Host.Entered; while True do ; end;"
          u"function Busy; var i; begin Host.Entered; Result := 0; for i := 1 to 2000000000 do Result := Result + 1; end;");
    UString first, second;
    std::thread a = RunOnThread(u"Spin", first), b = RunOnThread(u"Busy", second);
    WaitUntilEntered(2);
    vm->Close();
    EXPECT_EQ(vm->State(), msUninitialized);
    a.join();
    b.join();
    EXPECT_EQ(first, Aborted);
    EXPECT_EQ(second, Aborted);
}

TEST_F(Threads, MachineOpenedAgainRunsOnThreadsThatSawItClose) {
    Start(u"procedure Spin; begin Host.Entered; while True do ; end;");
    UString outcome;
    std::thread spinner = RunOnThread(u"Spin", outcome);
    WaitUntilEntered(1);
    vm->Close();
    spinner.join();
    EXPECT_EQ(RaisedBy([&] { vm->RunProc(u"Spin"); }), u"Virtual machine should be active.");
    Start(Fib);
    int onThread = 0;
    std::thread([&] { onThread = Int(u"Fib", {Variant(10)}); }).join();
    EXPECT_EQ(onThread, 55);
    EXPECT_EQ(Int(u"Fib", {Variant(11)}), 89);
}

TEST_F(Threads, RunawayRecursionOnAThreadEndsInTheCatchableError) {
    Start(u"function Down(n); begin Result := Down(n + 1); end;"
          u"function Catch; begin try Down(0); except on E: 'EXANVMRuntime' do Result := 'caught'; end; end;");
    UString result;
    std::thread([&] { result = Text(u"Catch"); }).join();
    EXPECT_EQ(result, u"caught");
}

}  // namespace
}  // namespace xan::test
