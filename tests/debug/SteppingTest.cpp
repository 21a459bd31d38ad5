// Breakpoints and stepping through real scripts of both dialects: where each stop happens,
// of which kind, in how deep a call stack, for the resume kinds answered at the stops before.
#include <gtest/gtest.h>

#include "tests/debug/DebugHost.h"

namespace xan::test {
namespace {

// Marks are comments on the lines they name, so each scenario reads as the script it runs.
struct TExpectedStop {
    TXANVMBreakKind Kind;
    const char* Mark;
    std::int32_t FrameCount;
};

struct TScenario {
    const char* Name;
    Dialect Lang;
    const char16_t* Source;
    std::vector<std::string> Breakpoints;
    std::vector<TXANVMResumeKind> Answers;  // at the first stops; rkContinue afterwards
    std::vector<TExpectedStop> Expected;
};

std::ostream& operator<<(std::ostream& os, const TScenario& s) { return os << s.Name; }

const char16_t* const PascalCalls =
    u"var x, y;\n"
    u"procedure P;\n"
    u"begin\n"
    u"  x := 1; // @p1\n"
    u"  x := x + 1; // @p2\n"
    u"end; // @endp\n"
    u"function F(n);\n"
    u"begin\n"
    u"  if n > 0 then F(n - 1); // @rec\n"
    u"  Result := n; // @res\n"
    u"end; // @endf\n"
    u"begin\n"
    u"  x := 0; // @start\n"
    u"  P; // @call\n"
    u"  y := F(2); // @f \n"
    u"  Host.Log('x'); // @host\n"
    u"  x := 2; // @after\n"
    u"end;\n";

const char16_t* const VbCalls =
    u"Dim x, y\n"
    u"Sub P\n"
    u"  x = 1 ' @p1\n"
    u"  x = x + 1 ' @p2\n"
    u"End Sub ' @endp\n"
    u"Function F(n)\n"
    u"  If n > 0 Then F(n - 1) ' @rec\n"
    u"  F = n ' @res\n"
    u"End Function ' @endf\n"
    u"x = 0 ' @start\n"
    u"P ' @call\n"
    u"y = F(2) ' @f \n"
    u"Host.Log \"x\" ' @host\n"
    u"x = 2 ' @after\n";

const char16_t* const PascalHandler =
    u"var x;\n"
    u"procedure Fail;\n"
    u"begin\n"
    u"  x := 1 div 0; // @raise\n"
    u"end;\n"
    u"begin\n"
    u"  try\n"
    u"    Fail; // @try\n"
    u"    x := 3; // @skipped\n"
    u"  except\n"
    u"    x := 5; // @handler\n"
    u"  end;\n"
    u"end;\n";

const char16_t* const VbHandler =
    u"Dim x\n"
    u"Sub Fail\n"
    u"  x = 1 \\ 0 ' @raise\n"
    u"End Sub\n"
    u"Try\n"
    u"  Fail ' @try\n"
    u"  x = 3 ' @skipped\n"
    u"Catch\n"
    u"  x = 5 ' @handler\n"
    u"End Try\n";

const char16_t* const VbOperators =
    u"Dim s, b, p\n"
    u"s = \"a\" & \"b\" ' @concat\n"
    u"b = True Imp False ' @imp\n"
    u"b = b Eqv True ' @eqv\n"
    u"p = 2 ^ 10 ' @power\n"
    u"s = s & p ' @last\n";

std::vector<TScenario> Scenarios() {
    std::vector<TScenario> all;
    for (Dialect d : {Dialect::Pascal, Dialect::Vb}) {
        const char16_t* calls = d == Dialect::Pascal ? PascalCalls : VbCalls;
        const char16_t* handler = d == Dialect::Pascal ? PascalHandler : VbHandler;
        auto add = [&](const char* name, const char16_t* source, std::vector<std::string> bps,
                       std::vector<TXANVMResumeKind> answers, std::vector<TExpectedStop> expected) {
            all.push_back({name, d, source, std::move(bps), std::move(answers), std::move(expected)});
        };
        add("UserBreakpointStopsEveryTimeItsLineRuns", calls, {"@p1"}, {}, {{bkBreakpoint, "@p1", 2}});
        add("StepOverACallStaysInTheFrame", calls, {"@start"}, {rkStepOver, rkStepOver, rkStepOver},
            {{bkBreakpoint, "@start", 1}, {bkStep, "@call", 1}, {bkStep, "@f ", 1}, {bkStep, "@host", 1}});
        add("StepIntoEntersTheProcedureAtItsFirstStatement", calls, {"@call"}, {rkStepInto, rkStepOver},
            {{bkBreakpoint, "@call", 1}, {bkStep, "@p1", 2}, {bkStep, "@p2", 2}});
        // Both dialects stop at the end of a procedure too (its last line).
        add("StepOverTheLastLineOfAProcedureStopsAfterTheCall", calls, {"@endp"}, {rkStepOver},
            {{bkBreakpoint, "@endp", 2}, {bkStep, "@f ", 1}});
        add("StepIntoTheLastLineOfAProcedureStopsAfterTheCall", calls, {"@endp"}, {rkStepInto},
            {{bkBreakpoint, "@endp", 2}, {bkStep, "@f ", 1}});
        add("StepOverARecursiveCallStopsInTheSameActivation", calls, {"@f "},
            {rkStepInto, rkStepOver, rkStepOver, rkStepOver},
            {{bkBreakpoint, "@f ", 1}, {bkStep, "@rec", 2}, {bkStep, "@res", 2}, {bkStep, "@endf", 2},
             {bkStep, "@host", 1}});
        add("StepOverACallOfAProcedureWithABreakpointStopsThere", calls, {"@call", "@p2"}, {rkStepOver},
            {{bkBreakpoint, "@call", 1}, {bkBreakpoint, "@p2", 2}});
        add("StepIntoAHostObjectCallStopsAtTheNextLine", calls, {"@host"}, {rkStepInto},
            {{bkBreakpoint, "@host", 1}, {bkStep, "@after", 1}});
        add("IgnoreKeepsTheStepGoing", calls, {"@start"}, {rkStepOver, rkIgnore},
            {{bkBreakpoint, "@start", 1}, {bkStep, "@call", 1}, {bkStep, "@f ", 1}});
        add("ContinueEndsTheStep", calls, {"@start"}, {rkStepOver, rkContinue},
            {{bkBreakpoint, "@start", 1}, {bkStep, "@call", 1}});
        add("ContinueRunsToTheNextUserBreakpoint", calls, {"@start", "@after"}, {rkContinue},
            {{bkBreakpoint, "@start", 1}, {bkBreakpoint, "@after", 1}});
        add("StepIntoARaiseStopsInTheEnclosingHandler", handler, {"@try"}, {rkStepInto, rkStepInto},
            {{bkBreakpoint, "@try", 1}, {bkStep, "@raise", 2}, {bkStep, "@handler", 1}});
        add("StepOverARaisingCallStopsInTheHandler", handler, {"@try"}, {rkStepOver},
            {{bkBreakpoint, "@try", 1}, {bkStep, "@handler", 1}});
    }
    all.push_back({"OperatorLinesStepLikeAnyOther", Dialect::Vb, VbOperators, {"@concat"},
                   {rkStepOver, rkStepOver, rkStepOver, rkStepOver},
                   {{bkBreakpoint, "@concat", 1}, {bkStep, "@imp", 1}, {bkStep, "@eqv", 1}, {bkStep, "@power", 1},
                    {bkStep, "@last", 1}}});
    return all;
}

class SteppingTest : public ::testing::TestWithParam<TScenario> {};

TEST_P(SteppingTest, StopsWhereExpected) {
    const TScenario& s = GetParam();
    TDebugHost host(s.Lang);
    host.AnswerInTurn(s.Answers);
    host.Start(s.Source, s.Breakpoints);
    std::vector<TStop> expected;
    for (const TExpectedStop& e : s.Expected) expected.push_back({e.Kind, host.Line(e.Mark), e.FrameCount});
    EXPECT_EQ(host.stops, expected);
}

INSTANTIATE_TEST_SUITE_P(BothDialects, SteppingTest, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<TScenario>& info) {
                             return std::string(info.param.Name) + "_" + DialectName(info.param.Lang);
                         });

}  // namespace
}  // namespace xan::test
