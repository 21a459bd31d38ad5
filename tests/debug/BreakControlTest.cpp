// Setting breakpoints by line, aborting from a break, requested breaks and breaks on several
// threads, attaching and detaching machines.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <set>
#include <thread>

#include "platform/core/Sync.h"
#include "tests/debug/DebugHost.h"

namespace xan::test {
namespace {

using namespace std::chrono_literals;

class BreakControlTest : public ::testing::TestWithParam<Dialect> {
protected:
    // The script for this test's dialect.
    const char16_t* Pick(const char16_t* APascal, const char16_t* AVb) const {
        return GetParam() == Dialect::Pascal ? APascal : AVb;
    }
};

// Waits (bounded) until ADone answers true.
template <class F>
bool WaitFor(F&& ADone) {
    for (int i = 0; i < 2000; ++i) {
        if (ADone()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

TEST_P(BreakControlTest, LinesWithoutCodeTakeNoBreakpoint) {
    TDebugHost host(GetParam());
    host.Start(Pick(u"var x;\n// nothing here\nbegin\n  x := 1;\nend;\n", u"Dim x\n' nothing here\n\nx = 1\n"));
    EXPECT_FALSE(host.vm->SetBreakpoint(1));
    EXPECT_FALSE(host.vm->SetBreakpoint(100));
    host.vm->RemoveBreakpoint(1);  // nothing to remove: no effect
    EXPECT_TRUE(host.vm->SetBreakpoint(3));
    EXPECT_EQ(host.vm->Breakpoints().Count(), 1);
    host.vm->RemoveBreakpoint(3);
    EXPECT_EQ(host.vm->Breakpoints().Count(), 0);
}

TEST_P(BreakControlTest, BreakpointsNeedACompiledScript) {
    TDebugHost host(GetParam());
    EXPECT_EQ(RaisedBy([&] { host.vm->SetBreakpoint(0); }), u"Virtual machine should be initialized.");
    EXPECT_EQ(RaisedBy([&] { host.vm->RemoveBreakpoint(0); }), u"Virtual machine should be initialized.");
}

TEST_P(BreakControlTest, RemovedBreakpointNoLongerStops) {
    TDebugHost host(GetParam());
    host.Start(Pick(u"var x;\nprocedure P;\nbegin\n  x := 1; // @bp\nend;\nbegin\nend;\n",
                    u"Dim x\nSub P\n  x = 1 ' @bp\nEnd Sub\n"),
               {"@bp"});
    host.vm->RunProc(u"P");
    host.vm->RemoveBreakpoint(host.Line("@bp"));
    host.vm->RunProc(u"P");
    EXPECT_EQ(host.stops, (std::vector<TStop>{{bkBreakpoint, host.Line("@bp"), 1}}));
}

TEST_P(BreakControlTest, AbortRaisesAtTheBreakAndRunsThroughHandlers) {
    TDebugHost host(GetParam());
    host.AnswerInTurn({rkAbort});
    host.Start(Pick(u"var log;\nbegin\n  try\n    log := 'in try'; // @bp\n    log := 'not reached';\n"
                    u"  except\n    log := 'handled';\n  end;\nend;\n",
                    u"Dim log\nTry\n  log = \"in try\" ' @bp\n  log = \"not reached\"\nCatch\n  log = \"handled\"\nEnd Try\n"),
               {"@bp"});
    EXPECT_EQ(plat::VarToUString(host.vm->ReadVar(u"log")), u"handled");
}

TEST_P(BreakControlTest, AbortOutsideHandlersEndsTheRunWithTheAbortError) {
    TDebugHost host(GetParam());
    host.Start(Pick(u"var x;\nprocedure P;\nbegin\n  x := 1; // @bp\nend;\nbegin\nend;\n",
                    u"Dim x\nSub P\n  x = 1 ' @bp\nEnd Sub\n"),
               {"@bp"});
    host.AnswerInTurn({rkAbort});
    EXPECT_EQ(RaisedBy([&] { host.vm->RunProc(u"P"); }), u"Script execution has been aborted.");
    host.vm->RunProc(u"P");  // the machine goes on running afterwards
    EXPECT_EQ(host.stops.size(), 2u);
}

TEST_P(BreakControlTest, TwoThreadsBreakOnOneBreakpointAtTheSameTime) {
    TDebugHost host(GetParam());
    host.Start(Pick(u"procedure P;\nvar x;\nbegin\n  x := 1; // @bp\nend;\nbegin\nend;\n",
                    u"Sub P\n  Dim x\n  x = 1 ' @bp\nEnd Sub\n"),
               {"@bp"});
    std::mutex m;
    std::condition_variable cv;
    std::set<std::uint32_t> inBreak;
    host.onStop = [&](const TXANPasStackFramesRef& AFrames, const TStop&) {
        std::unique_lock<std::mutex> lock(m);
        inBreak.insert(AFrames->BreakedThreadId());
        cv.notify_all();
        // Each thread stays in its break until the other one is in its own.
        cv.wait_for(lock, 10s, [&] { return inBreak.size() == 2; });
        return rkContinue;
    };
    std::thread a([&] { host.vm->RunProc(u"P"); });
    std::thread b([&] { host.vm->RunProc(u"P"); });
    a.join();
    b.join();
    EXPECT_EQ(inBreak.size(), 2u);
    EXPECT_EQ(host.stops.size(), 2u);
}

TEST_P(BreakControlTest, RequestedBreakOfTwoMachinesOnTwoThreadsStopsOnce) {
    // The scripts spin until the host lets them go; the host learns through its object that
    // both are spinning (no script variable is shared between threads).
    const char16_t* spin = Pick(u"procedure Spin;\nvar n;\nbegin\n  n := 0;\n  Host.Started;\n"
                                u"  while Host.Go = 1 do\n    n := n + 1;\nend;\nbegin\nend;\n",
                                u"Sub Spin\n  Dim n\n  n = 0\n  Host.Started\n  Do While Host.Go = 1\n"
                                u"    n = n + 1\n  Loop\nEnd Sub\n");
    std::atomic<int> started{0}, go{1};
    TDebugHost host(GetParam());
    host.hostObject->Add(u"Started", [&](const plat::DISPPARAMS&, Variant*) { return ++started, plat::S_OK; });
    host.hostObject->Add(u"Go", [&](const plat::DISPPARAMS&, Variant* r) { return *r = Variant(go.load()), plat::S_OK; });
    auto second = std::make_unique<TXANVirtMachine>(NewLanguage(GetParam()));
    host.Start(spin);
    second->Initialize(spin);
    second->AddExternObject(host.hostObject.Get(), u"Host", false);
    second->Open(&host.debugger);
    std::thread a([&] { host.vm->RunProc(u"Spin"); });
    std::thread b([&] { second->RunProc(u"Spin"); });
    EXPECT_TRUE(WaitFor([&] { return started == 2; }));
    host.debugger.CauseBreak();
    EXPECT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> lock(host.guard);
        return !host.stops.empty();
    }));
    std::this_thread::sleep_for(50ms);  // time for a second break, if there were one
    go = 0;
    a.join();
    b.join();
    ASSERT_EQ(host.stops.size(), 1u);
    EXPECT_EQ(host.stops[0].Kind, bkCausedBreak);
    second->Close();
}

TEST_P(BreakControlTest, CloseDetachesTheMachine) {
    TDebugHost host(GetParam());
    const char16_t* source = Pick(u"var x;\nprocedure P;\nbegin\n  x := 1;\nend;\nbegin\nend;\n", u"Dim x\nSub P\n  x = 1\nEnd Sub\n");
    host.Start(source);
    host.vm->Close();
    host.vm->Initialize(source);
    host.vm->Open();
    host.debugger.CauseBreak();  // no longer concerns the machine
    host.vm->RunProc(u"P");
    EXPECT_TRUE(host.stops.empty());
}

TEST_P(BreakControlTest, BreakpointsWithoutADebuggerJustContinue) {
    TDebugHost host(GetParam());
    host.vm->Initialize(Pick(u"var x;\nprocedure P;\nbegin\n  x := 1;\nend;\nbegin\nend;\n", u"Dim x\nSub P\n  x = 1\nEnd Sub\n"));
    EXPECT_TRUE(host.vm->SetBreakpoint(GetParam() == Dialect::Pascal ? 3 : 2));
    host.vm->Open();
    host.vm->RunProc(u"P");
    EXPECT_EQ(plat::VarToInt32(host.vm->ReadVar(u"x")), 1);
}

// The code byte is patched while another thread runs it: every stop is on the line, and the
// loop computes what it computes without a debugger.
TEST_P(BreakControlTest, BreakpointsSetAndRemovedWhileAnotherThreadRunsTheLine) {
    TDebugHost host(GetParam());
    host.Start(Pick(u"function Sum(n);\nvar i, s;\nbegin\n  s := 0;\n  for i := 1 to n do\n    s := s + 1; // @body\n"
                    u"  Result := s;\nend;\nbegin\nend;\n",
                    u"Function Sum(n)\n  Dim i, s\n  s = 0\n  For i = 1 To n\n    s = s + 1 ' @body\n  Next\n"
                    u"  Sum = s\nEnd Function\n"));
    const plat::Integer line = host.Line("@body");
    std::atomic<bool> done{false};
    Variant result;
    std::thread runner([&] {
        Variant n(3000000);
        result = host.vm->RunProc(u"Sum", std::span(&n, 1));
        done = true;
    });
    for (int toggles = 0; !done && toggles < 5000; ++toggles) {
        EXPECT_TRUE(host.vm->SetBreakpoint(line));
        host.vm->RemoveBreakpoint(line);
    }
    runner.join();
    EXPECT_EQ(plat::VarToInt64(result), 3000000);
    std::lock_guard<std::mutex> lock(host.guard);
    for (const TStop& stop : host.stops) EXPECT_EQ(stop.Line, line);
}

INSTANTIATE_TEST_SUITE_P(BothDialects, BreakControlTest, ::testing::Values(Dialect::Pascal, Dialect::Vb),
                         [](const ::testing::TestParamInfo<Dialect>& info) { return DialectName(info.param); });

}  // namespace
}  // namespace xan::test
