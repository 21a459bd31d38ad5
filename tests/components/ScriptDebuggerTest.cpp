// The script debugger component: modules, breakpoints with conditions, pass counts, groups and
// actions, validity, the messages it logs, notifiers and events, frames and variables, in both
// break modes.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "ControlHost.h"
#include "components/DebugFrames.h"
#include "platform/text/Format.h"

namespace xan::test {
namespace {

const std::string kPas =
    "var Total, Arr;\n"
    "procedure Inner(n);\n"
    "begin\n"
    "  Total := Total + n; // inner\n"
    "end;\n"
    "procedure Outer(n);\n"
    "var twice;\n"
    "begin\n"
    "  twice := n * 2;\n"
    "  Inner(twice); // outer\n"
    "end;\n"
    "function Depth(n);\n"
    "begin\n"
    "  if n > 0 then Depth(n - 1)\n"
    "  else Total := Total + 100; // deepest\n"
    "end;\n"
    "var i;\n"
    "begin\n"
    "  Total := 0; // first\n"
    "  Arr := array[3]; Arr[0] := 1; Arr[1] := 2; Arr[2] := 3;\n"
    "  for i := 1 to 4 do Outer(i); // loop\n"
    "end;\n";

const std::string kVb =
    "Dim Total\n"
    "Sub Inner(n)\n"
    "  Total = Total + n ' inner\n"
    "End Sub\n"
    "Total = 0 ' first\n"
    "Dim i\n"
    "For i = 1 To 4\n"
    "  Inner i ' loop\n"
    "Next\n";

// A debugger with one control and a record of what it said; every break is answered by Answer
// (default: continue).
struct THost {
    explicit THost(const std::string& ASource = kPas, TXANScriptLanguage ALanguage = slPascal, bool ASynch = true) {
        Debugger.SetIsSynchBreaks(ASynch);
        Control = NewControl(ALanguage, ASource);
        Control->SetDebugger(&Debugger);
        Control->SetDebugName(u"Main");
        Debugger.OnLogMessage = [this](plat::TObject*, TXANDebugMsgKind, const UString& AMsg) {
            Log.push_back(AMsg.ToUtf8());
        };
        Debugger.OnBreak = [this](plat::TObject*, TXANScriptControl*, plat::Integer ALine) {
            Stops.push_back(ALine);
            Kinds.push_back(Debugger.BreakKind());
            const TXANBreakResumeKind kind = Answer ? Answer(ALine) : TXANBreakResumeKind::rkContinue;
            Debugger.ResumeFromBreak(kind);
        };
    }
    TXANDebugModule* Main() { return Debugger.Modules().FindByName(u"Main"); }
    TXANBreakpoint* At(const std::string& AMarker, const std::string& ASource = kPas) {
        return Debugger.SetBreakpoint(Main(), LineOf(ASource, AMarker));
    }

    TXANScriptDebugger Debugger;
    std::unique_ptr<TXANScriptControl> Control;
    std::vector<std::string> Log;
    std::vector<plat::Integer> Stops;
    std::vector<TXANBreakKind> Kinds;
    std::function<TXANBreakResumeKind(plat::Integer)> Answer;
};

std::string Pass(plat::Integer ALine, int AN, int AOf) {
    return "Breakpoint at Main, line: " + std::to_string(ALine) + ". Pass " + std::to_string(AN) + " of " +
           std::to_string(AOf);
}

// ---- Breakpoint hits -------------------------------------------------------------------------------

TEST(ScriptDebuggerHits, PassCountCyclesAndBreaksAtTheLastPass) {
    THost host;
    TXANBreakpoint* bp = host.At("inner");
    bp->SetPassCount(3);
    host.Control->Open();
    const plat::Integer line = LineOf(kPas, "inner");
    EXPECT_EQ(host.Log, (std::vector<std::string>{Pass(line, 1, 3), Pass(line, 2, 3), Pass(line, 3, 3), Pass(line, 1, 3)}));
    EXPECT_EQ(host.Stops, std::vector<plat::Integer>{line});
    EXPECT_EQ(bp->CurrentPassCount(), 1);
    host.Debugger.ResetBreakpointsState();
    EXPECT_EQ(bp->CurrentPassCount(), 0);
}

TEST(ScriptDebuggerHits, LogOnlyActionNeverStops) {
    THost host;
    TXANBreakpoint* bp = host.At("inner");
    bp->Action().SetBreak(false);
    bp->Action().SetLogMessage(u"in Inner");
    bool brokeSeen = false;
    host.Debugger.OnLogMessage = [&](plat::TObject*, TXANDebugMsgKind AKind, const UString& AMsg) {
        brokeSeen |= host.Debugger.BreakKind() != TXANBreakKind::bkNone;
        if (AKind == dmLogMessage) host.Log.push_back(AMsg.ToUtf8());
    };
    host.Control->Open();
    EXPECT_EQ(host.Log, std::vector<std::string>(4, "Breakpoint message: in Inner"));
    EXPECT_TRUE(host.Stops.empty());
    EXPECT_FALSE(brokeSeen);
    EXPECT_EQ(host.Debugger.BreakKind(), TXANBreakKind::bkNone);
}

TEST(ScriptDebuggerHits, ConditionPassesOverFalseHits) {
    for (const std::string* source : {&kPas, &kVb}) {
        THost host(*source, source == &kPas ? slPascal : slNativeVb);
        host.At("inner", *source)->SetCondition(u"n = 4");
        host.Control->Open();
        ASSERT_EQ(host.Stops.size(), 1u);
        EXPECT_EQ(host.Kinds[0], TXANBreakKind::bkBreakpoint);
    }
}

TEST(ScriptDebuggerHits, EvaluatedExpressionIsLogged) {
    THost host;
    TXANBreakpoint* bp = host.At("inner");
    bp->Action().SetBreak(false);
    bp->Action().SetEvalExpression(u"n + Total");
    bp->SetCondition(u"n = 2");
    host.Control->Open();
    EXPECT_EQ(host.Log, (std::vector<std::string>{"Breakpoint at Main, line: 3", "Breakpoint expression n + Total: 2"}));
}

TEST(ScriptDebuggerHits, ExpressionErrorIsLoggedAsText) {
    THost host;
    TXANBreakpoint* bp = host.At("first");
    bp->Action().SetBreak(false);
    bp->Action().SetEvalExpression(u"nosuch");
    host.Control->Open();
    ASSERT_EQ(host.Log.size(), 2u);
    EXPECT_EQ(host.Log[1].rfind("Breakpoint expression nosuch: ", 0), 0u);
    EXPECT_GT(host.Log[1].size(), std::string("Breakpoint expression nosuch: ").size());
}

TEST(ScriptDebuggerHits, StackLoggingAllOrSome) {
    struct TCase {
        plat::Integer Frames;
        std::string Header;
        std::size_t Lines;
    };
    for (const TCase& c : {TCase{XANLogAllStackFrames, "Breakpoint Call Stack: log all stack frames", 5},
                           TCase{2, "Breakpoint Call Stack: log 2 stack frame(s)", 2}}) {
        THost host(kPas + "");
        TXANBreakpoint* bp = host.At("deepest");
        bp->Action().SetBreak(false);
        bp->Action().SetLogStackFrames(c.Frames);
        host.Control->Open();
        Variant four[] = {Variant(4)};  // five frames
        host.Control->RunProc(u"Depth", four);
        ASSERT_EQ(host.Log.size(), 2 + c.Lines) << c.Header;
        EXPECT_EQ(host.Log[1], c.Header);
        for (std::size_t i = 2; i < host.Log.size(); ++i) EXPECT_EQ(host.Log[i].rfind("    Main: ", 0), 0u) << host.Log[i];
        EXPECT_EQ(host.Debugger.StackFrameCount(), 0) << "the stack is readable only while it is logged";
    }
}

TEST(ScriptDebuggerHits, GroupsSwitchedByActions) {
    THost host;
    TXANBreakpoint* switcher = host.At("outer");
    switcher->Action().SetBreak(false);
    switcher->Action().SetEnableGroup(u"second");
    switcher->Action().SetDisableGroup(u"first");
    TXANBreakpoint* inner = host.At("inner");
    inner->SetGroup(u"SECOND");
    inner->SetEnabled(false);
    TXANBreakpoint* first = host.At("first");
    first->SetGroup(u"First");
    host.Control->Open();
    EXPECT_EQ(host.Stops, (std::vector<plat::Integer>{LineOf(kPas, "first"), LineOf(kPas, "inner"), LineOf(kPas, "inner"),
                                                       LineOf(kPas, "inner"), LineOf(kPas, "inner")}));
    EXPECT_TRUE(inner->Enabled());
    EXPECT_FALSE(first->Enabled());
}

TEST(ScriptDebuggerHits, GroupNamesIgnoreCaseAndEmptyNameDoesNothing) {
    TXANScriptDebugger debugger;
    TXANDebugModule* m = debugger.Modules().FindOrAdd(u"M");
    TXANBreakpoint* a = debugger.SetBreakpoint(m, 1);
    TXANBreakpoint* b = debugger.SetBreakpoint(m, 2);
    a->SetGroup(u"GROUPA");
    a->SetEnabled(false);
    b->SetEnabled(false);
    debugger.EnableGroup(u"groupA");
    EXPECT_TRUE(a->Enabled());
    debugger.EnableGroup(u"");
    EXPECT_FALSE(b->Enabled()) << "an empty group name names no breakpoint";
    debugger.DisableGroup(u"GroupA");
    EXPECT_FALSE(a->Enabled());
}

TEST(ScriptDebuggerHits, FormatHandlerReplacesMessages) {
    THost host;
    host.At("first")->Action().SetLogMessage(u"x");
    host.Debugger.OnFormatDebugMsg = [](plat::TObject*, TXANDebugMsgKind AKind, TXANBreakpoint* BP, const UString&,
                                        TXANStackFrame*, UString& AMsg) {
        if (AKind == dmBreakpointReached) AMsg = plat::Format(u"line %d", BP->Line() + 1);
    };
    host.Control->Open();
    EXPECT_EQ(host.Log, (std::vector<std::string>{"line 19", "Breakpoint message: x"}));
}

// ---- Stepping and breaks --------------------------------------------------------------------------

TEST(ScriptDebuggerBreaks, StepIntoAndOver) {
    struct TCase {
        TXANBreakResumeKind Step;
        std::string Next;
    };
    for (const TCase& c : {TCase{TXANBreakResumeKind::rkStepInto, "inner"},
                           TCase{TXANBreakResumeKind::rkStepOver, "end;\nfunction Depth"}}) {
        THost host;
        host.At("outer");
        host.Answer = [&](plat::Integer) {
            return host.Stops.size() == 1 ? c.Step : TXANBreakResumeKind::rkAbort;
        };
        const TCaught caught = Catch([&] { host.Control->Open(); });
        EXPECT_TRUE(caught.Raised) << "abort ends the script with an error";
        ASSERT_EQ(host.Stops.size(), 2u);
        EXPECT_EQ(host.Kinds[1], TXANBreakKind::bkStep);
        EXPECT_EQ(host.Stops[1], LineOf(kPas, c.Next));
    }
}

TEST(ScriptDebuggerBreaks, CausedBreakAndOutsideBreakErrors) {
    THost host;
    EXPECT_EQ(Catch([&] { host.Debugger.ResumeFromBreak(TXANBreakResumeKind::rkContinue); }).Message,
              "Script debugger is not in break.");
    EXPECT_EQ(host.Debugger.StackFrameCount(), 0);
    EXPECT_EQ(Catch([&] { host.Debugger.StackFrames(0); }).Message, "Script debugger is not in break.");
    host.Debugger.CauseBreak();
    host.Control->Open();
    ASSERT_EQ(host.Kinds.size(), 1u);
    EXPECT_EQ(host.Kinds[0], TXANBreakKind::bkCausedBreak);
}

TEST(ScriptDebuggerBreaks, AsynchronousBreakInspectedAndResumedFromTheHostThread) {
    THost host(kPas, slPascal, false);
    host.At("inner")->SetCondition(u"n = 4");
    std::mutex lock;
    std::condition_variable cv;
    bool broke = false;
    std::thread::id breakThread;
    host.Debugger.OnBreak = [&](plat::TObject*, TXANScriptControl*, plat::Integer) {
        std::lock_guard<std::mutex> guard(lock);
        broke = true;
        breakThread = std::this_thread::get_id();
        cv.notify_all();
    };
    std::thread script([&] { host.Control->Open(); });
    {
        std::unique_lock<std::mutex> guard(lock);
        cv.wait(guard, [&] { return broke; });
    }
    EXPECT_NE(breakThread, std::this_thread::get_id());
    ASSERT_EQ(host.Debugger.StackFrameCount(), 3);
    TXANStackFrame* top = host.Debugger.StackFrames(0);
    EXPECT_EQ(top->Index(), 0);
    EXPECT_EQ(top->Line(), LineOf(kPas, "inner"));
    EXPECT_EQ(top->Module(), host.Main());
    EXPECT_EQ(top->Eval(u"n * 10"), u"40");
    TXANVariables vars;
    host.Debugger.StackFrames(1)->GetVariables(vars);
    ASSERT_EQ(vars.Root()->Name(), u"Locals");
    EXPECT_EQ(vars.Root()->Count(), 2);
    host.Debugger.ResumeFromBreak(TXANBreakResumeKind::rkContinue);
    script.join();
    EXPECT_EQ(plat::VarToInt32(host.Control->ReadVar(u"Total")), 20);
}

// Two controls of one debugger: the first calls into the second and each stops in its code.
TEST(ScriptDebuggerBreaks, TwoControlsBreakInEachOthersCode) {
    const std::string lib =
        "function Twice(n);\n"
        "begin\n"
        "  Result := n * 2; // lib\n"
        "end;\n";
    const std::string app =
        "var R;\n"
        "begin\n"
        "  R := Lib.Twice(21); // app\n"
        "end;\n";
    THost host(lib);
    host.Control->Open();
    auto caller = NewControl(slPascal, app);
    caller->AddObject(u"Lib", host.Control->Script(), false);
    caller->SetDebugger(&host.Debugger);
    host.Debugger.SetBreakpoint(host.Debugger.Modules().FindOrAdd(u"App"), LineOf(app, "app"));
    caller->SetDebugName(u"App");
    host.At("lib", lib);
    std::vector<std::string> frames;
    host.Debugger.OnBreak = [&](plat::TObject*, TXANScriptControl* AScript, plat::Integer) {
        std::string text = AScript->DebugName().ToUtf8() + ":";
        for (plat::Integer i = 0; i < host.Debugger.StackFrameCount(); ++i)
            text += " " + host.Debugger.StackFrames(i)->ScriptControl()->DebugName().ToUtf8();
        frames.push_back(text);
        host.Debugger.ResumeFromBreak(TXANBreakResumeKind::rkContinue);
    };
    caller->Open();
    EXPECT_EQ(frames, (std::vector<std::string>{"App: App", "Main: Main App"}));
    EXPECT_EQ(plat::VarToInt32(caller->ReadVar(u"R")), 42);
}

TEST(ScriptDebuggerBreaks, StackLineOfAScriptWithoutDebugName) {
    const std::string lib = "procedure Hit;\nbegin\n  Lib2 := 1; // lib\nend;\nvar Lib2;\n";
    THost host(lib);
    host.Control->Open();
    auto caller = NewControl(slPascal, "begin\n  Lib.Hit;\nend;\n");
    caller->AddObject(u"Lib", host.Control->Script(), false);
    caller->SetDebugger(&host.Debugger);
    TXANBreakpoint* bp = host.At("lib", lib);
    bp->Action().SetBreak(false);
    bp->Action().SetLogStackFrames(XANLogAllStackFrames);
    caller->Open();
    ASSERT_EQ(host.Log.size(), 4u);
    EXPECT_EQ(host.Log[2].rfind("    Main: ", 0), 0u);
    EXPECT_EQ(host.Log[3].rfind("    : ", 0), 0u) << host.Log[3];
}

// ---- Validity, moving, modules ---------------------------------------------------------------------

TEST(ScriptDebuggerBreakpoints, InvalidNonactiveAndDisabled) {
    THost host;
    TXANBreakpoint* blank = host.At("var twice;");
    EXPECT_EQ(blank->State(), bsNonactive);
    std::vector<TXANBreakpoint*> invalid;
    host.Debugger.OnInvalidBreakpoint = [&](plat::TObject*, TXANBreakpoint* B) { invalid.push_back(B); };
    host.Control->Prepare();
    EXPECT_EQ(invalid, std::vector<TXANBreakpoint*>{blank});
    EXPECT_EQ(blank->State(), bsInvalid);
    blank->SetEnabled(false);
    EXPECT_EQ(blank->State(), bsValid) << "a disabled breakpoint is accepted everywhere";
    TXANBreakpoint* code = host.At("inner");
    EXPECT_EQ(code->State(), bsValid);
    host.Control->Close();
    EXPECT_EQ(code->State(), bsNonactive);
}

TEST(ScriptDebuggerBreakpoints, MoveRefusesDuplicatesAndInstallsTheNewLine) {
    THost host;
    TXANBreakpoint* a = host.At("first");
    TXANBreakpoint* b = host.At("outer");
    host.Control->Prepare();
    TXANBreakpoint* both[] = {a};
    const plat::Integer onB[] = {b->Line()};
    EXPECT_EQ(Catch([&] { host.Debugger.MoveBreakpoints(both, onB); }).Message, "Duplicate breakpoint lines found.");
    EXPECT_EQ(a->Line(), LineOf(kPas, "first"));
    int changes = 0;
    host.Debugger.OnBreakpointsChanged = [&](plat::TObject*) { ++changes; };
    const plat::Integer toInner[] = {LineOf(kPas, "inner")};
    host.Debugger.MoveBreakpoints(both, toInner);
    EXPECT_EQ(changes, 1);
    host.Control->Open();
    EXPECT_EQ(host.Stops.front(), LineOf(kPas, "outer"));
    EXPECT_EQ(host.Stops[1], LineOf(kPas, "inner")) << "the old line no longer stops";
}

TEST(ScriptDebuggerBreakpoints, SetBreakpointReturnsTheExistingOne) {
    TXANScriptDebugger debugger;
    TXANDebugModule* m = debugger.Modules().FindOrAdd(u"M");
    TXANBreakpoint* bp = debugger.SetBreakpoint(m, 4);
    EXPECT_EQ(debugger.SetBreakpoint(m, 4), bp);
    EXPECT_EQ(debugger.FindBreakpoint(m, 4), bp);
    EXPECT_EQ(debugger.FindBreakpoint(m, 5), nullptr);
    EXPECT_EQ(bp->Index(), 0);
    bp->Delete();
    EXPECT_EQ(debugger.BreakpointCount(), 0);
}

TEST(ScriptDebuggerBreakpoints, SettersNotifyOnlyOnChange) {
    TXANScriptDebugger debugger;
    TXANBreakpoint* bp = debugger.SetBreakpoint(debugger.Modules().FindOrAdd(u"M"), 1);
    int changes = 0;
    debugger.OnBreakpointsChanged = [&](plat::TObject*) { ++changes; };
    const std::function<void()> steps[] = {
        [&] { bp->SetCondition(u"x"); },           [&] { bp->SetPassCount(2); },
        [&] { bp->SetGroup(u"g"); },               [&] { bp->SetEnabled(false); },
        [&] { bp->Action().SetBreak(false); },     [&] { bp->Action().SetLogMessage(u"m"); },
        [&] { bp->Action().SetEvalExpression(u"e"); }, [&] { bp->Action().SetLogStackFrames(3); },
        [&] { bp->Action().SetEnableGroup(u"a"); }, [&] { bp->Action().SetDisableGroup(u"b"); },
    };
    for (const auto& step : steps) {
        changes = 0;
        step();
        EXPECT_EQ(changes, 1);
        step();
        EXPECT_EQ(changes, 1) << "an unchanged value does nothing";
    }
}

TEST(ScriptDebuggerModules, FindByNameIsCaseSensitive) {
    TXANScriptDebugger debugger;
    TXANDebugModule* a = debugger.Modules().FindOrAdd(u"ScriptA");
    TXANDebugModule* b = debugger.Modules().FindOrAdd(u"scripta");
    EXPECT_NE(a, b);
    EXPECT_EQ(debugger.Modules().FindByName(u"ScriptA"), a);
    EXPECT_EQ(debugger.Modules().FindByName(u"SCRIPTA"), nullptr);
    EXPECT_EQ(a->Debugger(), &debugger);
    TXANScriptDebugger copy;
    copy.SetModules(debugger.Modules());
    ASSERT_EQ(copy.Modules().Count(), 2);
    EXPECT_EQ(copy.Modules().Items(1)->Name(), u"scripta");
}

TEST(ScriptDebuggerModules, FreeingAModuleFreesItsBreakpointsAndDebugNames) {
    THost host;
    host.At("inner");
    host.At("outer");
    TXANBreakpoint* other = host.Debugger.SetBreakpoint(host.Debugger.Modules().FindOrAdd(u"Other"), 1);
    host.Main()->Delete();
    EXPECT_EQ(host.Control->DebugName(), u"");
    ASSERT_EQ(host.Debugger.BreakpointCount(), 1);
    EXPECT_EQ(host.Debugger.Breakpoints(0), other);
}

// ---- Notifiers ---------------------------------------------------------------------------------------

class TRecorder final : public IXANScriptDebuggerNotifier {
public:
    TRecorder(std::string AName, std::vector<std::string>& ALog) : FName(std::move(AName)), FLog(ALog) {}
    void Breaked(TXANScriptDebugger*) override { FLog.push_back(FName + " breaked"); }
    void Resumed(TXANScriptDebugger*) override { FLog.push_back(FName + " resumed"); }
    void DebugNameChanged(TXANScriptDebugger*, TXANScriptControl* S) override {
        FLog.push_back(FName + " name " + S->DebugName().ToUtf8());
    }
    void LogMessage(TXANScriptDebugger*, const UString& AMsg, TXANDebugMsgKind) override {
        FLog.push_back(FName + " log " + AMsg.ToUtf8());
    }
    void BreakpointsChanged(TXANScriptDebugger*) override { FLog.push_back(FName + " changed"); }

private:
    std::string FName;
    std::vector<std::string>& FLog;
};

TEST(ScriptDebuggerNotifiers, NotifiersInOrderBeforeTheEvents) {
    THost host;
    std::vector<std::string> log;
    TRecorder one("one", log), two("two", log);
    host.Debugger.AddNotifier(&one);
    host.Debugger.AddNotifier(&two);
    host.Debugger.AddNotifier(&one);
    host.Debugger.OnBreak = [&](plat::TObject*, TXANScriptControl*, plat::Integer) {
        log.push_back("OnBreak");
        host.Debugger.ResumeFromBreak(TXANBreakResumeKind::rkContinue);
    };
    host.Debugger.OnResume = [&](plat::TObject*) { log.push_back("OnResume"); };
    host.Debugger.OnLogMessage = [&](plat::TObject*, TXANDebugMsgKind, const UString&) { log.push_back("OnLogMessage"); };
    host.Debugger.OnBreakpointsChanged = [&](plat::TObject*) { log.push_back("OnBreakpointsChanged"); };
    host.At("first");
    host.Control->SetDebugName(u"Renamed");
    host.Control->SetDebugName(u"Main");
    host.Control->Open();
    const std::vector<std::string> want = {
        "one changed", "two changed", "OnBreakpointsChanged",  // the new breakpoint
        "one changed", "two changed", "OnBreakpointsChanged",  // module Renamed added
        "one name Renamed", "two name Renamed", "one name Main", "two name Main",
        "one changed", "two changed", "OnBreakpointsChanged",  // installed at Prepare
        "one log Breakpoint at Main, line: 18", "two log Breakpoint at Main, line: 18", "OnLogMessage",
        "one breaked", "two breaked", "OnBreak", "one resumed", "two resumed", "OnResume"};
    EXPECT_EQ(log, want);
    host.Debugger.RemoveNotifier(&one);
    log.clear();
    host.At("loop");
    EXPECT_EQ(log, (std::vector<std::string>{"two changed", "OnBreakpointsChanged"}));
}

// ---- Variables ---------------------------------------------------------------------------------------

TEST(ScriptDebuggerVariables, RootsErrorsIdsAndLazyChildren) {
    THost host;
    host.At("loop");
    std::string globalsRoot, errorType, arrType;
    plat::Integer firstId = 0, secondId = 0, childCount = 0, childCountAgain = 0, firstChildId = 0, sameChildId = 0;
    int changes = 0;
    std::string secondRoot;
    host.Debugger.OnBreak = [&](plat::TObject*, TXANScriptControl*, plat::Integer) {
        TXANStackFrame* frame = host.Debugger.StackFrames(0);
        TXANVariables vars;
        vars.OnChange = [&](plat::TObject* S) {
            EXPECT_EQ(S, &vars);
            ++changes;
        };
        frame->GetVariables(vars);
        globalsRoot = vars.Root()->Name().ToUtf8() + " " + vars.Root()->Value().ToUtf8();
        firstId = vars.Root()->Id();
        frame->GetVariables(vars);
        secondId = vars.Root()->Id();
        TXANVariable* root = vars.Root();
        childCount = root->Count();
        firstChildId = root->Items(0)->Id();
        childCountAgain = root->Count();
        sameChildId = root->Items(0)->Id();
        EXPECT_EQ(root->IndexOfId(firstChildId), 0);
        EXPECT_EQ(root->IndexOfId(-5), -1);
        for (plat::Integer i = 0; i < root->Count(); ++i)
            if (root->Items(i)->Name() == u"Arr") {
                arrType = root->Items(i)->Type_().ToUtf8();
                EXPECT_TRUE(root->Items(i)->Expandable());
                EXPECT_EQ(root->Items(i)->Count(), 4) << "array[3] spans 0..3";
                EXPECT_EQ(root->Items(i)->Items(2)->Value(), u"3");
                EXPECT_EQ(root->Items(i)->Items(2)->Parent(), root->Items(i));
            }
        TXANVariables eval;
        frame->Eval(u"nosuch + 1", eval);
        errorType = eval.Root()->Type_().ToUtf8();
        EXPECT_EQ(Catch([&] { eval.RootProc()(nullptr, u"x", u"", u"", 0, false); }).Message,
                  "Variables already has root.");
        host.Debugger.ResumeFromBreak(TXANBreakResumeKind::rkContinue);
        EXPECT_EQ(Catch([&] { frame = nullptr, host.Debugger.StackFrames(0); }).Message, "Script debugger is not in break.");
    };
    host.Control->Open();
    EXPECT_EQ(globalsRoot, "Globals {...}");
    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(changes, 2) << "one change per filling";
    EXPECT_GE(childCount, 3);
    EXPECT_EQ(childCount, childCountAgain);
    EXPECT_EQ(firstChildId, sameChildId) << "children are fetched once";
    EXPECT_EQ(errorType, "Error");
    EXPECT_FALSE(arrType.empty());
}

TEST(ScriptDebuggerVariables, ClearOfAnEmptyContainerIsQuiet) {
    TXANVariables vars;
    int changes = 0;
    vars.OnChange = [&](plat::TObject*) { ++changes; };
    vars.Clear();
    EXPECT_EQ(changes, 0);
    vars.BeginUpdate();
    vars.RootProc()(nullptr, u"r", u"T", u"v", vfPublic, false);
    EXPECT_EQ(changes, 0);
    vars.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(vars.Root()->Count(), 0) << "no children handle, no children";
    vars.Clear();
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace xan::test
