// Wrapped host objects driven by real scripts in both dialects: methods, properties, default
// members, type objects, records, enumerations, by-reference arguments, hidden members and
// every error the wrappers report.
#include "ScriptHost.h"
#include "platform/ole/DispatchCall.h"

namespace xan::test {
namespace {

using WrapperScripts = ScriptHost;

INSTANTIATE_TEST_SUITE_P(Dialects, WrapperScripts, ::testing::Values(TDialect::Pascal, TDialect::Vb), DialectName);

struct TValueCase {
    const char16_t* Pascal;
    const char16_t* Vb;  // null: the same text
    Variant Expected;
};

// Expressions whose text and value agree between the dialects unless a VB text is given.
const TValueCase kValueCases[] = {
    {u"Counter.Count", nullptr, Variant(5)},
    {u"Counter.Name", nullptr, Variant(u"counter")},
    {u"Counter.Limit", nullptr, Variant(100)},
    {u"Counter.Zero", nullptr, Variant(0)},
    {u"Counter.ClassName", nullptr, Variant(u"TCounter")},
    {u"Counter.ClassType.ClassName", nullptr, Variant(u"TCounter")},
    {u"Counter.ClassParent.ClassName", nullptr, Variant(u"TObject")},
    {u"Test.TCounter.Zero", nullptr, Variant(0)},
    {u"Test.TCounter.ClassName", nullptr, Variant(u"TCounter")},
    {u"Test.TCounter.InheritsFrom(System.TObject)", nullptr, Variant(true)},
    {u"System.TObject.InheritsFrom(Test.TCounter)", nullptr, Variant(false)},
    {u"Items.Item[1]", u"Items.Item(1)", Variant(u"one")},
    {u"Items[2]", u"Items(2)", Variant(u"two")},
    {u"Box.Items[0]", u"Box.Items(0)", Variant(u"zero")},
    {u"Box.Items.Count", nullptr, Variant(3)},
    {u"Counter is Test.TCounter", u"TypeOf Counter Is Test.TCounter", Variant(true)},
    {u"Counter is System.TObject", u"TypeOf Counter Is System.TObject", Variant(true)},
    {u"Items is Test.TCounter", u"TypeOf Items Is Test.TCounter", Variant(false)},
    {u"Special.Secret", nullptr, Variant(42)},
    {u"Special.Count", nullptr, Variant(0)},
    {u"Test.clGreen", nullptr, Variant(1)},
    {u"Test.NextColor(Test.clBlue)", nullptr, Variant(0)},
    {u"Test.TPoint.Create(2, 3).Sum", nullptr, Variant(5)},
    {u"Test.PointSum(Test.TPoint.Create(4, 5))", nullptr, Variant(9)},
    {u"Test.TPoint.Create(2, 3) is Test.TPoint", u"TypeOf Test.TPoint.Create(2, 3) Is Test.TPoint", Variant(true)},
    {u"System.RecIs(System.RecNew(Test.TPoint), Test.TPoint)", nullptr, Variant(true)},
    {u"System.RecNew(Test.TPoint).X", nullptr, Variant(0)},
    {u"System.TGUID.Empty.D1", u"System.TGUID.Create.D1", Variant(plat::LongWord(0))},
    {u"System.TPtrWrapper.Create(12).ToInteger", nullptr, Variant(plat::Int64(12))},
};

TEST_P(WrapperScripts, ExpressionsAnswerTheHostValues) {
    Start();
    for (const TValueCase& c : kValueCases) {
        const UString text(c.Vb && !IsPascal() ? c.Vb : c.Pascal);
        Variant got;
        const UString raised = RaisedBy([&] { got = Eval(text); });
        ASSERT_EQ(raised, u"<nothing raised>") << text.ToUtf8();
        EXPECT_EQ(plat::VarCompare(got, c.Expected), plat::VarOrder::Equal) << text.ToUtf8();
        EXPECT_EQ(plat::VarTypeOf(got), c.Expected.VType) << text.ToUtf8();
    }
}

TEST_P(WrapperScripts, MethodsAndPropertyWritesReachTheHostObject) {
    Start(Pick(u"procedure Run; begin Counter.Add(10); Counter.Count := Counter.Count * 2; Counter.Name := 'x'; end;",
               u"Sub Run\n Counter.Add 10\n Counter.Count = Counter.Count * 2\n Counter.Name = \"x\"\nEnd Sub"));
    Call(u"Run");
    EXPECT_EQ(counter.Count(), 30);
    EXPECT_EQ(counter.Name, u"x");
}

TEST_P(WrapperScripts, DefaultMemberAndIndexedPropertyAcceptWrites) {
    Start(Pick(u"procedure First; var x; begin x := Items; x[0] := 'first'; end;",
               u"Sub First\n Dim x\n Set x = Items\n x(0) = \"first\"\nEnd Sub"));
    for (const char16_t* stmt : {Pick(u"First", u"First"),
                                 Pick(u"Items.Item[1] := 'second'", u"Items.Item(1) = \"second\""),
                                 Pick(u"Box.Items.Item[2] := 'third'", u"Box.Items.Item(2) = \"third\"")})
        EXPECT_EQ(RaisedBy([&] { vm->ExecStmt(stmt); }), u"<nothing raised>") << UString(stmt).ToUtf8();
    // A read-only collection property takes no writes, not even through its value's default member.
    EXPECT_EQ(RaisedBy([&] { vm->ExecStmt(Pick(u"Box.Items[2] := 'x'", u"Box.Items(2) = \"x\"")); }),
              u"Invalid type cast or type mismatch");
    EXPECT_EQ(box.Items()->Values, (std::vector<UString>{u"first", u"second", u"third"}));
}

TEST_P(WrapperScripts, NewAndConstructorsMakeHostObjects) {
    Start(Pick(u"function Run; var c; begin c := Test.TCounter.Create(3); c.Add(1); Result := c.Count; c.Free; end;",
               u"Function Run\n Dim c\n Set c = New Test.TCounter(3)\n c.Add 1\n Run = c.Count\n c.Free\nEnd Function"));
    EXPECT_EQ(plat::VarToInt32(Call(u"Run")), 4);
}

TEST_P(WrapperScripts, RecordsAreCopiedByValue) {
    Start(Pick(u"function Run; var p, q; begin p := Test.TPoint.Create(1, 2); q := p.Copy; q.X := 10;"
               u" Test.Grow(p); Result := p.X * 100 + q.X; end;",
               u"Function Run\n Dim p, q\n Set p = Test.TPoint.Create(1, 2)\n Set q = p.Copy\n q.X = 10\n"
               u" Test.Grow p\n Run = p.X * 100 + q.X\nEnd Function"));
    // The copy is independent; Grow's var parameter hands the grown record back.
    EXPECT_EQ(plat::VarToInt32(Call(u"Run")), 210);
}

TEST_P(WrapperScripts, VarArgumentsAreWrittenBackOnlyWhenPassedByReference) {
    Start(Pick(u"function Run; var a, b, s; begin a := 'A'; b := 'B'; Counter.Swap(a, b); s := 0;"
               u" System.Include(s, 3); System.Include(s + 0, 4); Result := a + b + IntToStr(s); end;",
               u"Function Run\n Dim a, b, s\n a = \"A\": b = \"B\"\n Counter.Swap a, b\n s = 0\n"
               u" System.Include s, 3\n System.Include s + 0, 4\n Run = a & b & s\nEnd Function"));
    EXPECT_EQ(plat::VarToUString(Call(u"Run")), u"BA8");
}

TEST_P(WrapperScripts, ProtectedMembersAreHiddenUnlessRedeclared) {
    Start();
    EXPECT_NE(RaisedBy([&] { Eval(u"Counter.Secret"); }), u"<nothing raised>");
    EXPECT_EQ(plat::VarToInt32(Eval(u"Special.Secret")), 42);
}

struct TErrorCase {
    const char16_t* Pascal;
    const char16_t* Vb;
    const char16_t* Message;
};

// Statements; an empty message means any error.
const TErrorCase kErrorCases[] = {
    {u"Counter.Add(1, 2)", u"Call Counter.Add(1, 2)", u"Invalid argument count"},
    {u"Counter.Add('x')", u"Counter.Add \"x\"", u"Invalid type cast or type mismatch"},
    {u"Counter.Count := Counter.Add(1)", u"Counter.Count = Counter.Add(1)", u"Invalid type cast or type mismatch"},
    {u"Counter.Nothing(1)", u"Call Counter.Nothing(1)", u""},
    {u"Counter.Limit := 1", u"Counter.Limit = 1", u"Invalid type cast or type mismatch"},
    {u"System.Random(1, 2)", u"Call System.Random(1, 2)", u"Wrong argument count. Method or property called: Random"},
    {u"System.Str(1)", u"Call System.Str(1)", u"Invalid argument count"},
    {u"System.Str(1, 2, 3, 4, 5)", u"Call System.Str(1, 2, 3, 4, 5)", u"Wrong argument count. Method or property called: Str"},
    {u"System.Assert(False)", u"System.Assert False", u"Assertion failure"},
    {u"System.Assert(1 = 2, 'custom')", u"System.Assert 1 = 2, \"custom\"", u"custom"},
    {u"System.TPtrWrapper.Create(1, 2)", u"Call System.TPtrWrapper.Create(1, 2)",
     u"Wrong argument count. Method or property called: Create"},
    {u"System.ObjectIs(Test.TPoint.Create(1, 2), Test.TCounter)", u"Call System.ObjectIs(Test.TPoint.Create(1, 2), Test.TCounter)",
     u"Invalid type cast or type mismatch"},
    {u"Counter.Secret := 1", u"Counter.Secret = 1", u""},
    {u"Test.TPoint.Sum", u"Call Test.TPoint.Sum", u""},
};

TEST_P(WrapperScripts, ErrorsCarryTheirMessages) {
    Start();
    for (const TErrorCase& c : kErrorCases) {
        const UString text(c.Vb && !IsPascal() ? c.Vb : c.Pascal);
        const UString raised = RaisedBy([&] { vm->ExecStmt(text); });
        if (*c.Message) {
            EXPECT_EQ(raised, c.Message) << text.ToUtf8();
        } else {
            EXPECT_NE(raised, u"<nothing raised>") << text.ToUtf8();
        }
    }
}

// New is an expression of the VBScript dialect only.
using VbWrapperScripts = ScriptHost;
INSTANTIATE_TEST_SUITE_P(Dialects, VbWrapperScripts, ::testing::Values(TDialect::Vb), DialectName);

TEST_P(VbWrapperScripts, NewReportsMissingConstructorsAndWrongCounts) {
    Start(u"Sub Sealed\n Dim x\n Set x = New Test.TSealed\nEnd Sub\n"
          u"Sub RecordWithArgs\n Dim x\n Set x = New Test.TPoint(1)\nEnd Sub\n"
          u"Function RecordNew\n Dim x\n Set x = New Test.TPoint\n RecordNew = x.X\nEnd Function");
    EXPECT_EQ(RaisedBy([&] { Call(u"Sealed"); }), u"No constructor found.");
    EXPECT_EQ(RaisedBy([&] { Call(u"RecordWithArgs"); }), u"Wrong argument count. Method or property called: New");
    EXPECT_EQ(plat::VarToInt32(Call(u"RecordNew")), 0);
}

TEST_P(WrapperScripts, ObjectFreedByTheHostIsReportedDestroyed) {
    auto doomed = std::make_unique<TCounter>(1);
    vm->Initialize(Pick(u"var Held; function Read; begin Result := Held.Count; end;",
                        u"Dim Held\nFunction Read\n Read = Held.Count\nEnd Function"));
    Publish(u"Doomed", TCounter_sw::ToVar(doomed.get()));
    vm->Open();
    vm->ExecStmt(Pick(u"Held := Doomed", u"Set Held = Doomed"));
    EXPECT_EQ(plat::VarToInt32(Call(u"Read")), 1);
    doomed.reset();
    EXPECT_EQ(RaisedBy([&] { Call(u"Read"); }), u"Object has been destroyed.");
    // A new object at any address gets a wrapper of its own.
    TCounter fresh(8);
    EXPECT_EQ(plat::VarToInt32(plat::DispGet(TCounter_sw::ToVar(&fresh).VDispatch, u"Count")), 8);
}

TEST_P(WrapperScripts, ObjectFreedByTheScriptIsReportedDestroyed) {
    Start(Pick(u"var Held; procedure Make; begin Held := System.TObject.Create; Held.Free; end;"
               u" function Read; begin Result := Held.ClassName; end;",
               u"Dim Held\nSub Make\n Set Held = System.TObject.Create\n Held.Free\nEnd Sub\n"
               u"Function Read\n Read = Held.ClassName\nEnd Function"));
    Call(u"Make");
    EXPECT_EQ(RaisedBy([&] { Call(u"Read"); }), u"Object has been destroyed.");
}

TEST_P(WrapperScripts, HostExceptionsAreCaughtByClass) {
    Start(Pick(u"function Run; begin try raise Test.EHost.Create('boom'); except on E: Test.Exception do"
               u" Result := E.ClassName + ':' + E.Message; end; end;",
               u"Function Run\n Try\n Throw New Test.EHost(\"boom\")\n Catch E As Test.Exception\n"
               u" Run = E.ClassName & \":\" & E.Message\n End Try\nEnd Function"));
    EXPECT_EQ(plat::VarToUString(Call(u"Run")), u"EHost:boom");
}

}  // namespace
}  // namespace xan::test

namespace xan::test {
namespace {

TEST_P(WrapperScripts, TypeTestOfARecordAgainstAClassIsATypeCastError) {
    Start();
    EXPECT_EQ(RaisedBy([&] { Eval(u"Counter is Test.TPoint", u"TypeOf Counter Is Test.TPoint"); }),
              u"Invalid variant type conversion");
    EXPECT_EQ(RaisedBy([&] { Eval(u"Test.TPoint.Create(1, 2) is System.TObject",
                                  u"TypeOf Test.TPoint.Create(1, 2) Is System.TObject"); }),
              u"Invalid variant type conversion");
}

}  // namespace
}  // namespace xan::test
