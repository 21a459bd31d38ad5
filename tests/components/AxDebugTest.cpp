// Debugging scripts of the script-engine service through the debugger component: breakpoints
// (valid and invalid lines, conditions, pass counts), steps, frames across engines, variables,
// evaluation in a frame, abort and requested breaks. One row per engine that can be debugged;
// every row's script has the same procedures and markers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ControlHost.h"
#include "components/DebugFrames.h"

namespace xan::test {
namespace {

// Each script: Twice(n) (its body line marked "twice"); Main, whose locals are x (the loop
// counter, 1 to 5) and list (three elements), with the lines "first" and "loop" (the call of
// Twice); Spin, an endless loop ("spin"); Fails (a run-time error); a blank line after "blank";
// and Relay(n), which calls Twice of the named object "other".
struct TAxDebugCase {
    const char* Name;
    TXANScriptLanguage Language;
    const char* Script;
    const char* BadCondition;  // does not parse in the language
};

const TAxDebugCase KVbDebug{"VBScript", slVBScript, R"(Dim total
Function Twice(n)
  Dim t
  t = n * 2 ' twice
  Twice = t
End Function
Sub Main()
  Dim x, list
  list = Array(1, 2, 3)
  total = 0 ' first
  For x = 1 To 5
    total = total + Twice(x) ' loop
  Next
End Sub
Sub Spin()
  Dim k
  k = 0
  Do While True
    k = k + 1 ' spin
  Loop
End Sub
' blank

Sub Fails()
  Dim z
  z = 1 / 0
End Sub
Function Relay(n)
  Relay = other.Twice(n) ' relay
End Function
)",
                                "x >"};

const TAxDebugCase KJsDebug{"JScript", slJScript, R"(var total;
function Twice(n) {
  var t;
  t = n * 2; // twice
  return t;
}
function Main() {
  var x, list;
  list = [1, 2, 3];
  total = 0; // first
  for (x = 1; x <= 5; x++) {
    total = total + Twice(x); // loop
  }
}
function Spin() {
  var k = 0;
  while (true) {
    k = k + 1; // spin
  }
}
// blank

function Fails() {
  return missing.value;
}
function Relay(n) {
  return other.Twice(n); // relay
}
)",
                               "x >"};


const TAxDebugCase KPyDebug{"Python", slPython, R"(total = 0
def Twice(n):
    t = n * 2  # twice
    return t
def Main():
    global total
    x = 0
    list = [1, 2, 3]
    total = 0  # first
    for x in range(1, 6):
        total = total + Twice(x)  # loop
def Spin():
    k = 0
    while True:
        k = k + 1  # spin
# blank

def Fails():
    z = 1 / 0
def Relay(n):
    return other.Twice(n)  # relay
)",
                            "x >"};

#include "AxDebugRexxCase.inc"


const TAxDebugCase KTclDebug{"Tcl", slTCL, R"(set total 0
proc Twice {n} {
  set t [expr {$n * 2}] ;# twice
  return $t
}
proc Main {} {
  global total
  set x 0
  set list [list 1 2 3]
  set total 0 ;# first
  for {set x 1} {$x <= 5} {incr x} {
    set total [expr {$total + [Twice $x]}] ;# loop
  }
}
proc Spin {} {
  set k 0
  while {1} {
    incr k ;# spin
  }
}
# blank

proc Fails {} {
  expr {1 / 0}
}
proc Relay {n} {
  return [other Twice $n] ;# relay
}
)",
                                "x >"};


const TAxDebugCase KPerlDebug{"Perl", slPerl, R"(our $total = 0;
sub Twice {
  my $n = shift; my $t = $n * 2; # twice
  return $t;
}
sub Main {
  my ($x, $list) = (0, [1, 2, 3]);
  $total = 0; # first
  while ($x < 5) {
    $x++;
    $total += Twice($x); # loop
  }
}
sub Spin {
  my $k = 0;
  while (1) {
    $k++; # spin
  }
}
# blank

sub Fails {
  die "failure\n";
}
sub Relay {
  return $main::other->Twice($_[0]); # relay
}
)",
                                "x >"};

const TAxDebugCase KLuaDebug{"Lua", slLua, R"(total = 0
function Twice(n)
  local t = n * 2 -- twice
  return t
end
function Main()
  local x, list = 0, {1, 2, 3}
  total = 0 -- first
  while x < 5 do
    x = x + 1
    total = total + Twice(x) -- loop
  end
end
function Spin()
  local k = 0
  while true do
    k = k + 1 -- spin
  end
end
-- blank

function Fails()
  error("failure")
end
function Relay(n)
  return other:Twice(n) -- relay
end
)",
                              "x >"};

const TAxDebugCase* const KAxDebugCases[] = {&KVbDebug, &KJsDebug, &KPyDebug, &KRexxDebug, &KTclDebug, &KPerlDebug, &KLuaDebug};

struct TStop {
    TXANBreakKind Kind;
    plat::Integer Line;
    TXANScriptControl* Script;
};

// A debugger with the row's script attached as module "Main"; every stop is recorded and
// answered by OnStop (default: continue). Stops are handled on the debug services' thread.
struct TAxHost {
    explicit TAxHost(const TAxDebugCase& ACase) : Case(ACase) {
        Control = Attach(u"Main");
        Debugger.OnLogMessage = [this](plat::TObject*, TXANDebugMsgKind, const UString& AMsg) {
            Log.push_back(AMsg.ToUtf8());
        };
        Debugger.OnInvalidBreakpoint = [this](plat::TObject*, TXANBreakpoint* ABP) { Invalid.push_back(ABP->Line()); };
        Debugger.OnBreak = [this](plat::TObject*, TXANScriptControl* AScript, plat::Integer ALine) {
            Stops.push_back({Debugger.BreakKind(), ALine, AScript});
            TXANBreakResumeKind kind = TXANBreakResumeKind::rkContinue;
            if (OnStop) kind = OnStop(ALine);
            Debugger.ResumeFromBreak(kind);
        };
    }
    std::unique_ptr<TXANScriptControl> Attach(const UString& AModule) { return Attach(AModule, Case); }
    // A script of another row (another engine) under the same debugger.
    std::unique_ptr<TXANScriptControl> Attach(const UString& AModule, const TAxDebugCase& AOf) {
        auto control = NewControl(AOf.Language, AOf.Script);
        control->SetDebugger(&Debugger);
        control->SetDebugName(AModule);
        return control;
    }
    plat::Integer Line(const std::string& AMarker) const { return LineOf(Case.Script, AMarker); }
    TXANBreakpoint* At(const std::string& AMarker) {
        return Debugger.SetBreakpoint(Debugger.Modules().FindByName(u"Main"), Line(AMarker));
    }
    std::vector<plat::Integer> StopLines() const {
        std::vector<plat::Integer> lines;
        for (const TStop& s : Stops) lines.push_back(s.Line);
        return lines;
    }
    std::string EvalIn(plat::Integer AFrame, const char* AExpr) {
        return Debugger.StackFrames(AFrame)->Eval(U(AExpr)).ToUtf8();
    }

    const TAxDebugCase& Case;
    TXANScriptDebugger Debugger;
    std::unique_ptr<TXANScriptControl> Control;
    std::vector<TStop> Stops;
    std::vector<std::string> Log;
    std::vector<plat::Integer> Invalid;
    std::function<TXANBreakResumeKind(plat::Integer)> OnStop;
};

class AxDebugTest : public ::testing::TestWithParam<const TAxDebugCase*> {};

TEST_P(AxDebugTest, BreakpointInAProcedureStopsWithItsLineAndFrames) {
    TAxHost host(*GetParam());
    host.At("twice");
    std::vector<std::pair<plat::Integer, TXANScriptControl*>> frames;
    std::string shortText, longText;
    host.OnStop = [&](plat::Integer) {
        if (!frames.empty()) return TXANBreakResumeKind::rkContinue;
        for (plat::Integer i = 0; i < host.Debugger.StackFrameCount(); ++i)
            frames.emplace_back(host.Debugger.StackFrames(i)->Line(), host.Debugger.StackFrames(i)->ScriptControl());
        shortText = host.Debugger.StackFrames(0)->ShortDescription().ToUtf8();
        longText = host.Debugger.StackFrames(0)->LongDescription().ToUtf8();
        return TXANBreakResumeKind::rkContinue;
    };
    host.Control->Open();
    host.Control->RunProc(u"Main");
    EXPECT_EQ(host.StopLines(), std::vector<plat::Integer>(5, host.Line("twice")));
    EXPECT_EQ(host.Stops[0].Kind, TXANBreakKind::bkBreakpoint);
    EXPECT_EQ(host.Stops[0].Script, host.Control.get());
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0], std::make_pair(host.Line("twice"), host.Control.get()));
    EXPECT_EQ(frames[1], std::make_pair(host.Line("loop"), host.Control.get()));
    EXPECT_FALSE(shortText.empty());
    EXPECT_NE(longText, shortText);
    EXPECT_NE(longText.find(std::to_string(host.Line("twice"))), std::string::npos) << longText;
}

TEST_P(AxDebugTest, StepIntoEntersTheCallAndStepOverPassesIt) {
    struct TRow {
        TXANBreakResumeKind Step;
        bool EntersTwice;
    };
    for (const TRow row : {TRow{TXANBreakResumeKind::rkStepInto, true}, TRow{TXANBreakResumeKind::rkStepOver, false}}) {
        TAxHost host(*GetParam());
        host.At("loop");
        host.OnStop = [&](plat::Integer) {
            if (host.Stops.size() == 1) return row.Step;
            return host.Stops.size() == 2 ? TXANBreakResumeKind::rkAbort : TXANBreakResumeKind::rkContinue;
        };
        host.Control->Open();
        (void)Catch([&] { host.Control->RunProc(u"Main"); });
        ASSERT_GE(host.Stops.size(), 2u);
        EXPECT_EQ(host.Stops[1].Kind, TXANBreakKind::bkStep);
        EXPECT_EQ(host.Stops[1].Line == host.Line("twice"), row.EntersTwice) << host.Stops[1].Line;
    }
}

TEST_P(AxDebugTest, ConditionalBreakpointStopsOnlyWhenItHolds) {
    struct TRow {
        std::string Condition;
        std::vector<std::string> Values;  // x at each stop
    };
    for (const TRow& row : {TRow{"x > 3", {"4", "5"}}, TRow{GetParam()->BadCondition, {}}}) {
        TAxHost host(*GetParam());
        host.At("loop")->SetCondition(U(row.Condition));
        std::vector<std::string> values;
        host.OnStop = [&](plat::Integer) {
            values.push_back(host.EvalIn(0, "x"));
            return TXANBreakResumeKind::rkContinue;
        };
        host.Control->Open();
        EXPECT_FALSE(Catch([&] { host.Control->RunProc(u"Main"); }).Raised) << row.Condition;
        EXPECT_EQ(values, row.Values) << row.Condition;
    }
}

TEST_P(AxDebugTest, PassCountStopsAtEveryNthHitAndLogsEveryHit) {
    TAxHost host(*GetParam());
    host.At("loop")->SetPassCount(2);
    host.Control->Open();
    host.Control->RunProc(u"Main");
    EXPECT_EQ(host.Stops.size(), 2u);
    const auto hits = std::count_if(host.Log.begin(), host.Log.end(),
                                    [](const std::string& m) { return m.rfind("Breakpoint at Main", 0) == 0; });
    EXPECT_EQ(hits, 5);
}

TEST_P(AxDebugTest, VariablesOfAFrameExpandOneLevel) {
    TAxHost host(*GetParam());
    host.At("first");
    std::vector<std::string> names, elements;
    host.OnStop = [&](plat::Integer) {
        TXANVariables vars;
        host.Debugger.StackFrames(0)->GetVariables(vars);
        TXANVariable* root = vars.Root();
        for (plat::Integer i = 0; i < root->Count(); ++i) {
            TXANVariable* v = root->Items(i);
            names.push_back(v->Name().ToUtf8());
            if (v->Name() != u"list") continue;
            EXPECT_TRUE(v->Expandable());
            for (plat::Integer j = 0; j < v->Count(); ++j) elements.push_back(v->Items(j)->Value().ToUtf8());
        }
        return TXANBreakResumeKind::rkContinue;
    };
    host.Control->Open();
    host.Control->RunProc(u"Main");
    EXPECT_NE(std::find(names.begin(), names.end(), "x"), names.end());
    EXPECT_EQ(elements, (std::vector<std::string>{"1", "2", "3"}));
}

TEST_P(AxDebugTest, EvaluatesInTheInnerAndTheOuterFrame) {
    TAxHost host(*GetParam());
    host.At("twice");
    std::string inner, outer;
    host.OnStop = [&](plat::Integer) {
        if (inner.empty()) {
            inner = host.EvalIn(0, "n * 10");
            outer = host.EvalIn(1, "x + 100");
        }
        return TXANBreakResumeKind::rkContinue;
    };
    host.Control->Open();
    host.Control->RunProc(u"Main");
    EXPECT_EQ(inner, "10");
    EXPECT_EQ(outer, "101");
}

// An expression the engine cannot evaluate (an incomplete one, in every language): an
// OLE error carrying the engine's own message, never the bare meaning of the failure code; the
// script then runs on.
TEST_P(AxDebugTest, AFailedEvaluationRaisesTheEnginesMessage) {
    TAxHost host(*GetParam());
    host.At("twice");
    TCaught caught;
    host.OnStop = [&](plat::Integer) {
        if (!caught.Raised) caught = Catch([&] { host.EvalIn(0, "1 +"); });
        return TXANBreakResumeKind::rkContinue;
    };
    host.Control->Open();
    host.Control->RunProc(u"Main");
    ASSERT_TRUE(caught.Raised);
    EXPECT_FALSE(caught.Message.empty());
    EXPECT_NE(caught.Message, plat::OleErrorText(caught.Code).ToUtf8());
}

TEST_P(AxDebugTest, AbortDuringABreakEndsTheScriptWithTheAbortError) {
    TAxHost host(*GetParam());
    host.At("twice");
    host.OnStop = [](plat::Integer) { return TXANBreakResumeKind::rkAbort; };
    host.Control->Open();
    const TCaught caught = Catch([&] { host.Control->RunProc(u"Main"); });
    EXPECT_TRUE(caught.Raised);
    EXPECT_NE(caught.Message.find("Script execution has been aborted."), std::string::npos) << caught.Message;
    EXPECT_EQ(host.Stops.size(), 1u);
}

TEST_P(AxDebugTest, RequestedBreakStopsARunningLoop) {
    TAxHost host(*GetParam());
    host.OnStop = [](plat::Integer) { return TXANBreakResumeKind::rkAbort; };
    host.Control->Open();
    std::atomic<bool> done{false};
    std::thread requester([&] {
        while (!done.load()) {
            host.Debugger.CauseBreak();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const TCaught caught = Catch([&] { host.Control->RunProc(u"Spin"); });
    done = true;
    requester.join();
    ASSERT_EQ(host.Stops.size(), 1u);
    EXPECT_EQ(host.Stops[0].Kind, TXANBreakKind::bkCausedBreak);
    EXPECT_TRUE(caught.Raised);
}

TEST_P(AxDebugTest, BreakpointOnABlankLineIsInvalidAndNeverStops) {
    TAxHost host(*GetParam());
    TXANBreakpoint* blank = host.Debugger.SetBreakpoint(host.Debugger.Modules().FindByName(u"Main"), host.Line("blank") + 1);
    TXANBreakpoint* statement = host.At("first");
    host.Control->Open();
    EXPECT_EQ(blank->State(), bsInvalid);
    EXPECT_EQ(statement->State(), bsValid);
    statement->SetEnabled(false);
    EXPECT_EQ(statement->State(), bsValid);
    host.Control->RunProc(u"Main");
    EXPECT_TRUE(host.Stops.empty());
    EXPECT_EQ(host.Invalid, std::vector<plat::Integer>{host.Line("blank") + 1});
}

TEST_P(AxDebugTest, ScriptErrorWhileDebuggingDoesNotStop) {
    TAxHost host(*GetParam());
    host.Control->Open();
    EXPECT_TRUE(Catch([&] { host.Control->RunProc(u"Fails"); }).Raised);
    EXPECT_TRUE(host.Stops.empty());
}

TEST_P(AxDebugTest, TwoEnginesShowInOneCallStack) {
    TAxHost host(*GetParam());
    std::unique_ptr<TXANScriptControl> other = host.Attach(u"Other");
    host.Debugger.SetBreakpoint(host.Debugger.Modules().FindByName(u"Other"), host.Line("twice"));
    std::vector<std::pair<plat::Integer, TXANScriptControl*>> frames;
    host.OnStop = [&](plat::Integer) {
        for (plat::Integer i = 0; i < host.Debugger.StackFrameCount(); ++i)
            frames.emplace_back(host.Debugger.StackFrames(i)->Line(), host.Debugger.StackFrames(i)->ScriptControl());
        return TXANBreakResumeKind::rkContinue;
    };
    other->Open();
    host.Control->AddObject(u"other", other->Script(), false);
    host.Control->Open();
    std::vector<Variant> args{Variant(3)};
    host.Control->RunProc(u"Relay", args);
    ASSERT_EQ(host.Stops.size(), 1u);
    EXPECT_EQ(host.Stops[0].Script, other.get());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], std::make_pair(host.Line("twice"), other.get()));
    EXPECT_EQ(frames[1], std::make_pair(host.Line("relay"), host.Control.get()));
}

// Each engine's Relay calls Twice of the next engine's script (the last calls the first's):
// one debugger stops in the caller, then in the callee, and the call stack of the second stop
// holds both engines' frames, innermost first.
TEST(AxDebugAcrossEngines, EachEngineStopsInTheNextAndShowsBothInOneStack) {
    const std::size_t count = std::size(KAxDebugCases);
    for (std::size_t i = 0; i < count; ++i) {
        const TAxDebugCase& caller = *KAxDebugCases[i];
        const TAxDebugCase& callee = *KAxDebugCases[(i + 1) % count];
        SCOPED_TRACE(std::string(caller.Name) + " calling " + callee.Name);
        TAxHost host(caller);
        std::unique_ptr<TXANScriptControl> other = host.Attach(u"Other", callee);
        const plat::Integer relay = host.Line("relay"), twice = LineOf(callee.Script, "twice");
        host.At("relay");
        host.Debugger.SetBreakpoint(host.Debugger.Modules().FindByName(u"Other"), twice);
        std::vector<std::vector<std::pair<plat::Integer, TXANScriptControl*>>> stacks;
        host.OnStop = [&](plat::Integer) {
            auto& frames = stacks.emplace_back();
            for (plat::Integer f = 0; f < host.Debugger.StackFrameCount(); ++f)
                frames.emplace_back(host.Debugger.StackFrames(f)->Line(), host.Debugger.StackFrames(f)->ScriptControl());
            return TXANBreakResumeKind::rkContinue;
        };
        other->Open();
        host.Control->AddObject(u"other", other->Script(), false);
        host.Control->Open();
        std::vector<Variant> args{Variant(3)};
        Variant result;
        const TCaught caught = Catch([&] { result = host.Control->RunProc(u"Relay", args); });
        ASSERT_FALSE(caught.Raised) << caught.Message;
        EXPECT_EQ(plat::VarToInt32(result), 6);
        ASSERT_EQ(stacks.size(), 2u);
        ASSERT_FALSE(stacks[0].empty());
        EXPECT_EQ(stacks[0][0], std::make_pair(relay, host.Control.get()));
        ASSERT_EQ(stacks[1].size(), 2u);
        EXPECT_EQ(stacks[1][0], std::make_pair(twice, other.get()));
        EXPECT_EQ(stacks[1][1], std::make_pair(relay, host.Control.get()));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, AxDebugTest, ::testing::ValuesIn(KAxDebugCases),
                         [](const auto& AInfo) { return std::string(AInfo.param->Name); });

}  // namespace
}  // namespace xan::test
