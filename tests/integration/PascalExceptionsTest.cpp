// Script exceptions through the Pascal dialect: typed handlers, nested handlers, re-raising,
// finally code on the exception path, and the positions reported on the way out.
#include <gtest/gtest.h>

#include "PascalHost.h"

namespace xan::test {
namespace {

using PascalExceptions = PascalMachine;

TEST_F(PascalExceptions, TypedHandlersPickTheFirstMatchingClass) {
    Start(u"function Typed(k); begin"
          u"  try"
          u"    if k = 1 then raise 'First:one' else if k = 2 then raise 'Second:two' else raise 'plain';"
          u"  except"
          u"    on E: 'ETestSecond' do Result := 'second ' + E.Message;"
          u"    on E: 'ETestFirst' do Result := 'first ' + E.Message;"
          u"  else Result := 'other';"
          u"  end;"
          u"end;"
          u"function Unnamed; begin try raise 'Second:x'; except on 'ETestFirst' do Result := 'caught'; end; end;"
          u"procedure NoMatch; begin try raise 'plain text'; except on E: 'ETestFirst' do Host.Log('wrong'); end; end;");
    EXPECT_EQ(Text(u"Typed", {Variant(1)}), u"first one");
    EXPECT_EQ(Text(u"Typed", {Variant(2)}), u"second two");
    EXPECT_EQ(Text(u"Typed", {Variant(3)}), u"other");
    EXPECT_EQ(Text(u"Unnamed"), u"caught");
    EXPECT_EQ(RaisedBy([&] { Call(u"NoMatch"); }), u"plain text");
    EXPECT_TRUE(logged.empty());
}

TEST_F(PascalExceptions, WithoutAHostTypeTestEveryTypedHandlerFallsThrough) {
    Start(u"function F; begin try raise 'First:x'; except on E: 'ETestFirst' do Result := 1; else Result := 2; end; end;");
    vm->OnExceptionIsTest = nullptr;
    EXPECT_EQ(Int(u"F"), 2);
}

TEST_F(PascalExceptions, NestedHandlerKeepsTheOuterExceptionActive) {
    Start(u"procedure Nested; begin"
          u"  try raise 'First:outer';"
          u"  except on E: 'ETestFirst' do begin"
          u"    try raise 'Second:inner'; except on I: 'ETestSecond' do Host.Log(I.Message + ' while ' + E.Message); end;"
          u"    Host.Log(E.Message);"
          u"    raise;"
          u"  end; end;"
          u"end;");
    EXPECT_EQ(RaisedBy([&] { Call(u"Nested"); }), u"outer");
    EXPECT_EQ(logged, (std::vector<std::string>{"inner while outer", "outer"}));
}

TEST_F(PascalExceptions, RaisingTheExceptionBeingHandledIsRefused) {
    Start(u"procedure Locked; begin try raise 'First:x'; except on E: 'ETestFirst' do raise E; end; end;"
          u"procedure LockedFromNested; begin"
          u"  try raise 'First:outer';"
          u"  except on E: 'ETestFirst' do"
          u"    try raise 'Second:inner'; except on I: 'ETestSecond' do raise E; end;"
          u"  end;"
          u"end;"
          u"procedure Thrower(e); begin raise e; end;"
          u"procedure OtherActivation; begin try raise 'First:handed on'; except on E: 'ETestFirst' do Thrower(E); end; end;");
    EXPECT_EQ(RaisedBy([&] { Call(u"Locked"); }), u"Cannot raise locked exception");
    EXPECT_EQ(RaisedBy([&] { Call(u"LockedFromNested"); }), u"Cannot raise locked exception");
    // Another activation does not hold the exception: it leaves as itself.
    EXPECT_EQ(RaisedBy([&] { Call(u"OtherActivation"); }), u"handed on");
}

TEST_F(PascalExceptions, RaisingNothingIsRefused) {
    Start(u"procedure P; var nothing; begin raise nothing; end;");
    EXPECT_EQ(RaisedBy([&] { Call(u"P"); }), u"Cannot raise nil exception");
}

TEST_F(PascalExceptions, FinallyRunsOnTheExceptionPathInEveryActivation) {
    Start(u"procedure Inner; begin try raise 'First:boom'; finally Host.Log('inner finally'); end; Host.Log('not here'); end;"
          u"procedure Outer; begin try Inner; finally Host.Log('outer finally'); end; end;"
          u"function Caught; begin try Outer; except on E: 'ETestFirst' do Result := E.Message; end; end;");
    EXPECT_EQ(Text(u"Caught"), u"boom");
    EXPECT_EQ(logged, (std::vector<std::string>{"inner finally", "outer finally"}));
    logged.clear();
    EXPECT_EQ(RaisedBy([&] { Call(u"Outer"); }), u"boom");
    EXPECT_EQ(logged, (std::vector<std::string>{"inner finally", "outer finally"}));
}

TEST_F(PascalExceptions, ExceptionInFinallyReplacesTheOriginal) {
    Start(u"procedure P; begin try raise 'First:first'; finally raise 'Second:second'; end; end;");
    EXPECT_EQ(RaisedBy([&] { Call(u"P"); }), u"second");
}

TEST_F(PascalExceptions, EveryActivationReportsItsPositionInnermostFirst) {
    Start(u"procedure C;\n"
          u"begin\n"
          u"  raise 'First:deep';\n"
          u"end;\n"
          u"procedure B;\n"
          u"begin\n"
          u"  C;\n"
          u"end;\n"
          u"procedure A;\n"
          u"begin\n"
          u"  Host.Log('a'); B;\n"
          u"end;\n");
    reported.clear();
    EXPECT_EQ(RaisedBy([&] { Call(u"A"); }), u"deep");
    ASSERT_EQ(reported.size(), 3u);  // lines count from 0
    EXPECT_EQ(reported[0].Line, 2);
    EXPECT_EQ(reported[1].Line, 6);
    EXPECT_EQ(reported[2].Line, 10);
    EXPECT_GT(reported[2].Column, reported[1].Column);  // B comes after the Log call
    for (const auto& r : reported) EXPECT_EQ(r.Message, u"deep");
}

TEST_F(PascalExceptions, HandledExceptionIsReportedOnlyWhereItPassed) {
    Start(u"procedure C;\nbegin\n  raise 'First:x';\nend;\n"
          u"function B;\nbegin\n  try C; except Result := 1; end;\nend;\n");
    reported.clear();
    EXPECT_EQ(Int(u"B"), 1);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0].Line, 2);
    EXPECT_EQ(reported[1].Line, 6);
}

TEST_F(PascalExceptions, RunawayRecursionEndsInACatchableError) {
    Start(u"function Down(n); begin Result := Down(n + 1); end;"
          u"function Catch; begin try Down(0); except on E: 'EXANVMRuntime' do Result := E.Message; end; end;"
          u"function AfterwardsStillWorks(n); begin if n = 0 then Result := 0 else Result := AfterwardsStillWorks(n - 1) + 1; end;");
    const UString message = Text(u"Catch");
    EXPECT_NE(message.view().find(u"nested too deeply"), std::u16string_view::npos) << message.ToUtf8();
    EXPECT_EQ(Int(u"AfterwardsStillWorks", {Variant(500)}), 500);
}

}  // namespace
}  // namespace xan::test
