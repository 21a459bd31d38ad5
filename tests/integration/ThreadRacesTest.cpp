// Host operations racing script code that runs on other threads: publishing host objects while
// threads resolve global names, calling a script's code object while its machine is destroyed
// and the machine index is taken by a new machine, threads that come and go while the machine
// closes and opens again, and per-activation values computed on several threads at once.
// Every outcome must be a right answer or a clean error; the ThreadSanitizer build checks that
// the engine's own data is never touched by two threads without ordering.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PascalHost.h"
#include "vm/machine/CodeObject.h"

namespace xan::test {
namespace {

constexpr const char16_t* NotActive = u"Virtual machine should be active.";
constexpr const char16_t* Aborted = u"Script execution has been aborted.";

const char16_t* const Fib =
    u"function Fib(n); begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2); end;";

class ThreadRaces : public PascalMachine {
protected:
    // Replaces the machine with a new one (which takes the freed machine index) running ASource.
    void Restart(const UString& ASource) {
        vm.reset();
        vm = std::make_unique<TXANVirtMachine>(new pas::TXANPasLanguage());
        InstallExceptionHooks(*vm, reported);
        Start(ASource);
    }
    // The first failure a worker saw, kept for the report.
    void NoteFailure(const std::string& AWhat) {
        std::lock_guard<std::mutex> lock(failureGuard);
        if (failure.empty()) failure = AWhat;
    }

    std::mutex failureGuard;
    std::string failure;
};

// Each publication moves the host-object table's change number, so every thread rebuilds its
// view of the globals while the table keeps growing; built-ins (Abs) also ask the objects
// published with members, from both threads.
TEST_F(ThreadRaces, HostObjectsPublishedWhileThreadsResolveGlobalNames) {
    Start(u"function Twice(x); begin Result := x * 2; end;"
          u"function Loop(n); var i; begin Result := 0; for i := 1 to n do Result := Result + Twice(Abs(-i)); end;");
    constexpr int Extra = 60;
    std::vector<plat::ComPtr<THostObject>> extras;
    for (int i = 0; i < Extra; ++i) {
        extras.emplace_back(new THostObject());
        extras.back()->Add(u"Ping", [](const plat::DISPPARAMS&, Variant* r) {
            if (r) *r = Variant(1);
        });
    }
    std::latch start(3);
    std::atomic<bool> publishing{true};
    auto worker = [&] {
        start.arrive_and_wait();
        int rounds = 0;
        while (publishing.load() || rounds < 5) {
            const int got = Int(u"Loop", {Variant(50)});
            if (got != 50 * 51) NoteFailure("Loop(50) answered " + std::to_string(got));
            ++rounds;
        }
    };
    std::thread a(worker), b(worker);
    start.arrive_and_wait();
    for (int i = 0; i < Extra; ++i) {
        const UString name = UString(u"Extra") + UString::FromUtf8(std::to_string(i));
        EXPECT_TRUE(vm->AddExternObject(extras[std::size_t(i)].Get(), name, i % 2 == 0));
        std::this_thread::yield();
    }
    publishing.store(false);
    a.join();
    b.join();
    EXPECT_EQ(failure, "");
    // The threads' views now hold every object: a published member and a host object by name.
    EXPECT_EQ(plat::VarToInt32(vm->Eval(u"Extra59.Ping + Ping")), 2);
}

// A worker's call either runs on the machine the code object was made for or fails cleanly;
// once that machine is gone, the new machine in the same index (whose first procedure has the
// same dispatch id) must never answer for it.
TEST_F(ThreadRaces, CodeObjectCalledWhileItsMachineIsDestroyedAndTheIndexReused) {
    Start(Fib);
    auto code = plat::ComPtr<plat::IDispatch>::Attach(vm->GetCodeObject());
    plat::DISPID fibId = 0;
    const char16_t* names[1] = {u"Fib"};
    ASSERT_EQ(code->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &fibId), plat::S_OK);
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0}, refused{0};
    auto worker = [&] {
        while (!stop.load()) {
            Variant arg(10), result;
            plat::DISPPARAMS params;
            params.rgvarg = &arg;
            params.cArgs = 1;
            plat::EXCEPINFO excep;
            const plat::HRESULT hr = code->Invoke(fibId, plat::IID_NULL, 0, plat::DISPATCH_METHOD, &params, &result,
                                                  &excep, nullptr);
            if (hr == plat::S_OK && plat::VarToInt32(result) == 55)
                answered.fetch_add(1);
            else if (hr == plat::DISP_E_EXCEPTION && (excep.description == NotActive || excep.description == Aborted))
                refused.fetch_add(1);
            else
                NoteFailure("call answered " + std::to_string(hr) + " " + plat::VarToUString(result).ToUtf8());
        }
    };
    std::thread a(worker), b(worker);
    while (answered.load() < 20) std::this_thread::yield();
    const TXANVMId old = vm->Id();
    Restart(UString(u"function Other(n); begin Result := -1; end;") + UString(Fib));
    ASSERT_EQ(vm->Id().Index, old.Index);
    const int answeredBefore = answered.load();
    const int refusedBefore = refused.load();
    while (refused.load() < refusedBefore + 50) std::this_thread::yield();
    stop.store(true);
    a.join();
    b.join();
    EXPECT_EQ(failure, "");
    EXPECT_LE(answered.load(), answeredBefore + 2);  // at most the calls already past the entry
    EXPECT_EQ(Int(u"Fib", {Variant(10)}), 55);
}

// Threads that enter for one call and end register and free their records while the machine
// closes and opens again; each call answers right or fails with an entry or abort error.
TEST_F(ThreadRaces, ShortLivedThreadsWhileTheMachineClosesAndOpensAgain) {
    Start(Fib);
    std::atomic<bool> stop{false};
    auto spawner = [&] {
        while (!stop.load()) {
            UString outcome;
            int got = -1;
            std::thread([&] { outcome = RaisedBy([&] { got = Int(u"Fib", {Variant(12)}); }); }).join();
            if (outcome == u"<nothing raised>" ? got != 144 : outcome != NotActive && outcome != Aborted)
                NoteFailure("Fib(12) gave " + std::to_string(got) + " / " + outcome.ToUtf8());
        }
    };
    std::thread a(spawner), b(spawner);
    for (int round = 0; round < 8; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        vm->Close();
        Start(Fib);
    }
    stop.store(true);
    a.join();
    b.join();
    EXPECT_EQ(failure, "");
}

// A local constant computed from a parameter is a value of its activation: two threads running
// the same recursive function each see their own.
TEST_F(ThreadRaces, ComputedLocalConstantsOfConcurrentActivationsStayApart) {
    Start(u"function Sum(n); const Part = n * 10; begin"
          u"  if n > 0 then Result := Sum(n - 1) + Part else Result := Part; end;");
    std::latch start(2);
    auto worker = [&](int n) {
        start.arrive_and_wait();
        for (int i = 0; i < 200; ++i) {
            const int got = Int(u"Sum", {Variant(n)});
            if (got != 5 * n * (n + 1)) NoteFailure("Sum(" + std::to_string(n) + ") answered " + std::to_string(got));
        }
    };
    std::thread a(worker, 7), b(worker, 12);
    a.join();
    b.join();
    EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace xan::test
