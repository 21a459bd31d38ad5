// Breaks of native scripts handed to a debugger component, in both modes: synchronously on the
// script thread, and through a break thread while the script thread answers posted tasks.
#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

#include "ControlHost.h"

namespace xan::test {
namespace {

const std::string kPas =
    "var Total;\n"
    "function Add(a; b);\n"
    "var s;\n"
    "begin\n"
    "  s := a + b; // stop\n"
    "  Result := s;\n"
    "end;\n"
    "begin Total := 0; end;\n";
const std::string kVb =
    "Dim Total\n"
    "Function Add(a, b)\n"
    "  Dim s\n"
    "  s = a + b ' stop\n"
    "  Add = s\n"
    "End Function\n"
    "Total = 0\n";

struct TDialect {
    TXANScriptLanguage Language;
    const std::string* Source;
};
const TDialect kDialects[] = {{slPascal, &kPas}, {slNativeVb, &kVb}};

std::unique_ptr<TXANScriptControl> Attached(const TDialect& D, TTestDebugger& ADebugger) {
    auto control = NewControl(D.Language, *D.Source);
    control->SetDebugger(&ADebugger);
    control->SetDebugName(u"Main");
    return control;
}

struct TVarLine {
    std::string Name, Type, Value;
    bool Expandable;
};

std::vector<TVarLine> Children(TRunnerDebugBase& ARD, plat::IUnknown* AVar) {
    std::vector<TVarLine> out;
    ARD.GetVarChildren(AVar, [&](plat::IUnknown*, const UString& N, const UString& T, const UString& V, TXANVariableFlags,
                                 bool E) { out.push_back({N.ToUtf8(), T.ToUtf8(), V.ToUtf8(), E}); });
    return out;
}

// What a host reads at a break: frames, the top frame's variables, an evaluation.
struct TInspection {
    int Frames = 0;
    TXANScriptControl* TopScript = nullptr;
    plat::Integer TopLine = -1;
    std::string Root;
    std::vector<TVarLine> Locals;
    std::string Sum, Bad, BadType;
};

TInspection Inspect(TRunnerDebugBase& ARD) {
    TInspection in;
    TRunnerFrame top = nullptr;
    ARD.GetStackFrames([&](TRunnerFrame F, bool AOwn, TXANScriptControl* S, plat::Integer L) {
        EXPECT_FALSE(AOwn);
        if (in.Frames++ == 0) top = F, in.TopScript = S, in.TopLine = L;
    });
    plat::ComPtr<plat::IUnknown> locals;
    ARD.GetVars(top, [&](plat::IUnknown* V, const UString& N, const UString&, const UString&, TXANVariableFlags F,
                         bool E) {
        EXPECT_EQ(F, vfPublic);
        EXPECT_TRUE(E);
        in.Root = N.ToUtf8();
        locals = V;
    });
    in.Locals = Children(ARD, locals.Get());
    in.Sum = ARD.Eval(top, u"a * 10 + b").ToUtf8();
    ARD.Eval(top, u"nosuchname + ", [&](plat::IUnknown*, const UString&, const UString& T, const UString& V,
                                        TXANVariableFlags, bool) {
        in.BadType = T.ToUtf8();
        in.Bad = V.ToUtf8();
    });
    EXPECT_EQ(ARD.GetShortDescription(top), ARD.GetLongDescription(top));
    return in;
}

void ExpectInspection(const TInspection& in, TXANScriptControl* AScript, plat::Integer ALine) {
    EXPECT_EQ(in.Frames, 1);
    EXPECT_EQ(in.TopScript, AScript);
    EXPECT_EQ(in.TopLine, ALine);
    EXPECT_EQ(in.Root, "Locals");
    ASSERT_GE(in.Locals.size(), 2u);
    EXPECT_EQ(in.Sum, "34");
    EXPECT_EQ(in.BadType, "Error");
    EXPECT_FALSE(in.Bad.empty());
}

TEST(SynchronousBreaks, BreakpointInspectAndStep) {
    for (const TDialect& d : kDialects) {
        TTestDebugger debugger(true);
        auto control = Attached(d, debugger);
        const plat::Integer line = LineOf(*d.Source, "stop");
        TXANBreakpoint& bp = debugger.AddBreakpoint(u"Main", line);
        TInspection seen;
        int stops = 0;
        debugger.OnBreak = [&](const TBreakSeen& B) {
            if (stops++ == 0) {
                EXPECT_EQ(B.Kind, TXANBreakKind::bkBreakpoint);
                seen = Inspect(debugger.Native());
                debugger.Native().ResumeFromBreak(TXANBreakResumeKind::rkStepOver);
            } else {
                EXPECT_EQ(B.Kind, TXANBreakKind::bkStep);
                EXPECT_EQ(B.Line, line + 1);
                debugger.Native().ResumeFromBreak(TXANBreakResumeKind::rkContinue);
            }
        };
        control->Open();
        EXPECT_EQ(bp.State(), bsValid);
        EXPECT_EQ(debugger.BreakpointsChangedCount, 1);
        Variant args[] = {Variant(3), Variant(4)};
        EXPECT_EQ(plat::VarToInt32(control->RunProc(u"Add", args)), 7);
        EXPECT_EQ(stops, 2);
        ExpectInspection(seen, control.get(), line);
        EXPECT_EQ(debugger.LastExpression, u"2");
        EXPECT_FALSE(debugger.Native().InBreak());
    }
}

TEST(SynchronousBreaks, ConditionsAndAbort) {
    for (const TDialect& d : kDialects) {
        TTestDebugger debugger(true);
        auto control = Attached(d, debugger);
        const plat::Integer line = LineOf(*d.Source, "stop");
        debugger.AddBreakpoint(u"Main", line, u"a > 5");
        control->Open();
        Variant small[] = {Variant(1), Variant(2)};
        control->RunProc(u"Add", small);
        EXPECT_TRUE(debugger.Breaks.empty()) << "a false condition passes the hit over";
        debugger.OnBreak = [&](const TBreakSeen&) { debugger.Native().ResumeFromBreak(TXANBreakResumeKind::rkAbort); };
        Variant big[] = {Variant(6), Variant(2)};
        const TCaught aborted = Catch([&] { control->RunProc(u"Add", big); });
        EXPECT_EQ(debugger.Breaks.size(), 1u);
        EXPECT_NE(aborted.Message.find("Script execution has been aborted."), std::string::npos) << aborted.Message;
    }
}

TEST(SynchronousBreaks, BrokenConditionStillBreaks) {
    TTestDebugger debugger(true);
    auto control = Attached(kDialects[0], debugger);
    debugger.AddBreakpoint(u"Main", LineOf(kPas, "stop"), u"nosuch +");
    control->Open();
    Variant args[] = {Variant(1), Variant(2)};
    control->RunProc(u"Add", args);
    EXPECT_EQ(debugger.Breaks.size(), 1u);
}

TEST(SynchronousBreaks, AdjustBreakpointValidity) {
    TTestDebugger debugger(true);
    auto control = Attached(kDialects[0], debugger);
    control->Prepare();
    TRunnerBase& runner = *control->Runner();
    const plat::Integer code = LineOf(kPas, "stop"), blank = LineOf(kPas, "var s;");
    struct TCase {
        plat::Integer Line;
        bool Enabled, Delete, Valid;
    };
    for (const TCase& c : {TCase{code, true, false, true}, TCase{blank, true, false, false}, TCase{blank, false, false, true},
                           TCase{code, true, true, false}}) {
        bool valid = !c.Valid;
        runner.AdjustBreakpoint(c.Line, c.Enabled, c.Delete, valid);
        EXPECT_EQ(valid, c.Valid) << c.Line << c.Enabled << c.Delete;
    }
}

TEST(SynchronousBreaks, CausedBreak) {
    TTestDebugger debugger(true);
    auto control = Attached(kDialects[1], debugger);
    control->Open();
    debugger.Native().CauseBreak();
    Variant args[] = {Variant(1), Variant(2)};
    control->RunProc(u"Add", args);
    ASSERT_EQ(debugger.Breaks.size(), 1u);
    EXPECT_EQ(debugger.Breaks[0].Kind, TXANBreakKind::bkCausedBreak);
    EXPECT_FALSE(debugger.Breaks[0].WithBreakpoint);
}

// The script runs on its own thread; this thread inspects and resumes.
TEST(AsynchronousBreaks, InspectAndResumeFromAnotherThread) {
    for (const TDialect& d : kDialects) {
        TTestDebugger debugger(false);
        auto control = Attached(d, debugger);
        const plat::Integer line = LineOf(*d.Source, "stop");
        debugger.AddBreakpoint(u"Main", line);
        std::mutex lock;
        std::condition_variable changed;
        bool broke = false;
        std::thread::id handlerThread;
        debugger.OnBreak = [&](const TBreakSeen&) {
            std::lock_guard<std::mutex> g(lock);
            handlerThread = std::this_thread::get_id();
            broke = true;
            changed.notify_all();
        };
        control->Open();
        Variant result;
        std::thread::id scriptThread;
        std::thread script([&] {
            scriptThread = std::this_thread::get_id();
            Variant args[] = {Variant(3), Variant(4)};
            result = control->RunProc(u"Add", args);
        });
        {
            std::unique_lock<std::mutex> g(lock);
            changed.wait(g, [&] { return broke; });
        }
        const TInspection seen = Inspect(debugger.Native());
        debugger.Native().ResumeFromBreak(TXANBreakResumeKind::rkContinue);
        script.join();
        EXPECT_EQ(plat::VarToInt32(result), 7);
        ExpectInspection(seen, control.get(), line);
        EXPECT_NE(handlerThread, scriptThread) << "the break event runs on the break thread";
        EXPECT_NE(handlerThread, std::this_thread::get_id());
        EXPECT_EQ(debugger.LastExpression, u"2") << "action expressions are evaluated on the script thread";
    }
}

TEST(AsynchronousBreaks, FalseConditionPassesOverWithoutEvent) {
    TTestDebugger debugger(false);
    auto control = Attached(kDialects[0], debugger);
    debugger.AddBreakpoint(u"Main", LineOf(kPas, "stop"), u"a > 5");
    debugger.OnBreak = [&](const TBreakSeen&) { ADD_FAILURE() << "no break expected"; };
    control->Open();
    Variant args[] = {Variant(1), Variant(2)};
    EXPECT_EQ(plat::VarToInt32(control->RunProc(u"Add", args)), 3);
    EXPECT_TRUE(debugger.Breaks.empty());
}

TEST(AsynchronousBreaks, ResumeFromTheBreakThreadWithStepAndAbort) {
    TTestDebugger debugger(false);
    auto control = Attached(kDialects[1], debugger);
    debugger.AddBreakpoint(u"Main", LineOf(kVb, "stop"));
    std::vector<TXANBreakKind> kinds;
    debugger.OnBreak = [&](const TBreakSeen& B) {
        kinds.push_back(B.Kind);
        debugger.Native().ResumeFromBreak(kinds.size() == 1 ? TXANBreakResumeKind::rkStepInto
                                                            : TXANBreakResumeKind::rkAbort);
    };
    control->Open();
    Variant args[] = {Variant(1), Variant(2)};
    EXPECT_NE(Catch([&] { control->RunProc(u"Add", args); }).Message.find("aborted"), std::string::npos);
    EXPECT_EQ(kinds, (std::vector<TXANBreakKind>{TXANBreakKind::bkBreakpoint, TXANBreakKind::bkStep}));
}

}  // namespace
}  // namespace xan::test
