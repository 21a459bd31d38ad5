// The basic unit's members called from scripts of both dialects.
#include <unistd.h>

#include <filesystem>

#include "ScriptHost.h"
#include "platform/rtl/DirUtils.h"
#include "platform/rtl/Random.h"

namespace xan::test {
namespace {

using SystemUnit = ScriptHost;

INSTANTIATE_TEST_SUITE_P(Dialects, SystemUnit, ::testing::Values(TDialect::Pascal, TDialect::Vb), DialectName);

struct TCase {
    const char16_t* Pascal;
    const char16_t* Vb;  // null: the same text
    Variant Expected;
};

const TCase kValues[] = {
    {u"System.Abs(-2.5)", nullptr, Variant(2.5)},
    {u"System.Chr(321)", nullptr, Variant(65)},
    {u"System.Round(2.5)", nullptr, Variant(plat::Int64(2))},
    {u"System.Trunc(-1.5)", nullptr, Variant(plat::Int64(-1))},
    {u"System.Int(-1.5)", nullptr, Variant(-1.0)},
    {u"System.Frac(1.25)", nullptr, Variant(0.25)},
    {u"System.Sqr(3)", nullptr, Variant(9.0)},
    {u"System.Sqrt(16)", nullptr, Variant(4.0)},
    {u"System.Odd(3)", nullptr, Variant(true)},
    {u"System.Length('abc')", u"System.Length(\"abc\")", Variant(3)},
    {u"System.Copy('abcdef', 2, 3)", u"System.Copy(\"abcdef\", 2, 3)", Variant(u"bcd")},
    {u"System.Pos('cd', 'abcdef')", u"System.Pos(\"cd\", \"abcdef\")", Variant(3)},
    {u"System.Concat('a', 1, 'b')", u"System.Concat(\"a\", 1, \"b\")", Variant(u"a1b")},
    {u"System.AnsiToUtf8('\u00e9')", u"System.AnsiToUtf8(\"\u00e9\")", Variant(u"\u00c3\u00a9")},
    {u"System.MaxInt", nullptr, Variant(2147483647)},
    {u"System.MaxLongint", nullptr, Variant(2147483647)},
    {u"System.CompToDouble(2.5)", nullptr, Variant(2.0)},
    {u"System.CompToCurrency(3.7)", nullptr, Variant(plat::Currency::FromScaled(40000))},
    {u"System.SetMake(0, 3, 33)", nullptr, Variant(11)},
    {u"System.SetMake", nullptr, Variant(0)},
    {u"System.SetIn(3, 8)", nullptr, Variant(true)},
    {u"System.SetIn(2, 8)", nullptr, Variant(false)},
    {u"System.SetEmpty", nullptr, Variant(plat::Byte(0))},
    {u"System.ObjectIs(Counter, Test.TCounter)", nullptr, Variant(true)},
    {u"System.ObjectIs(Items, Test.TCounter)", nullptr, Variant(false)},
    {u"System.RecCopy(Test.TPoint.Create(4, 6)).Sum", nullptr, Variant(10)},
    {u"System.TObject.ClassName", nullptr, Variant(u"TObject")},
    {u"System.TVarData.Create.VType", nullptr, Variant(plat::Word(0))},
    {u"System.tlbsCRLF", nullptr, Variant(1)},
    {u"System.Pi > 3.14159", nullptr, Variant(true)},
};

TEST_P(SystemUnit, FunctionsAnswerTheirValues) {
    Start();
    for (const TCase& c : kValues) {
        const UString text(c.Vb && !IsPascal() ? c.Vb : c.Pascal);
        Variant got;
        ASSERT_EQ(RaisedBy([&] { got = Eval(text); }), u"<nothing raised>") << text.ToUtf8();
        EXPECT_EQ(plat::VarCompare(got, c.Expected), plat::VarOrder::Equal) << text.ToUtf8();
        EXPECT_EQ(plat::VarTypeOf(got), c.Expected.VType) << text.ToUtf8();
    }
}

TEST_P(SystemUnit, VarProceduresWriteTheirResults) {
    Start(Pick(u"function Run; var s, t, c, d, v; begin"
               u" s := 'abcdef'; System.Delete(s, 2, 2);"
               u" t := 'ad'; System.Insert('bc', t, 2);"
               u" System.SetLength(t, 3);"
               u" System.DoubleToComp(2.5, c); System.CurrencyToComp(7.5, d);"
               u" v := 255; System.Exclude(v, 0);"
               u" Result := s + '|' + t + '|' + IntToStr(c) + '|' + IntToStr(d) + '|' + IntToStr(v); end;",
               u"Function Run\n Dim s, t, c, d, v\n s = \"abcdef\"\n System.Delete s, 2, 2\n"
               u" t = \"ad\"\n System.Insert \"bc\", t, 2\n System.SetLength t, 3\n"
               u" System.DoubleToComp 2.5, c\n System.CurrencyToComp 7.5, d\n v = 255\n System.Exclude v, 0\n"
               u" Run = s & \"|\" & t & \"|\" & c & \"|\" & d & \"|\" & v\nEnd Function"));
    EXPECT_EQ(plat::VarToUString(Call(u"Run")), u"adef|abc|2|8|254");
}

TEST_P(SystemUnit, StrFormatsWithWidthAndDecimals) {
    Start(Pick(u"function Run; var a, b, c; begin System.Str(42, a); System.Str(7, 4, b);"
               u" System.Str(3.14159, 8, 2, c); Result := a + '|' + b + '|' + c; end;",
               u"Function Run\n Dim a, b, c\n System.Str 42, a\n System.Str 7, 4, b\n"
               u" System.Str 3.14159, 8, 2, c\n Run = a & \"|\" & b & \"|\" & c\nEnd Function"));
    EXPECT_EQ(plat::VarToUString(Call(u"Run")), u"42|   7|    3.14");
}

TEST_P(SystemUnit, RandSeedReplaysRandom) {
    Start(Pick(u"function Draw; begin System.RandSeed := 1234; Result := System.Random(1000); end;"
               u" function Fraction; begin Result := System.Random; end;",
               u"Function Draw\n System.RandSeed = 1234\n Draw = System.Random(1000)\nEnd Function\n"
               u"Function Fraction\n Fraction = System.Random\nEnd Function"));
    const plat::Integer first = plat::VarToInt32(Call(u"Draw"));
    EXPECT_EQ(plat::VarToInt32(Call(u"Draw")), first);
    EXPECT_EQ(plat::NextRandSeed(1234), static_cast<std::uint32_t>(plat::VarToInt32(Eval(u"System.RandSeed"))));
    const double fraction = plat::VarToDouble(Call(u"Fraction"));
    EXPECT_GE(fraction, 0.0);
    EXPECT_LT(fraction, 1.0);
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 1000);
}

class TTempDir {
public:
    TTempDir() {
        char pattern[] = "/tmp/velmora-wrappers-XXXXXX";
        FPath = mkdtemp(pattern);
        FOld = plat::GetCurrentDir();
    }
    ~TTempDir() {
        plat::ChDir(FOld);
        std::filesystem::remove_all(FPath);
    }
    UString Path() const { return UString::FromUtf8(FPath); }

private:
    std::string FPath;
    UString FOld;
};

TEST_P(SystemUnit, DirectoryRoutinesWorkOnTheFileSystem) {
    TTempDir temp;
    Start(Pick(u"function Run(base); var d; begin System.ChDir(base); System.MkDir('sub'); System.ChDir('sub');"
               u" System.GetDir(0, d); System.ChDir('..'); System.RmDir('sub'); Result := d; end;",
               u"Function Run(base)\n Dim d\n System.ChDir base\n System.MkDir \"sub\"\n System.ChDir \"sub\"\n"
               u" System.GetDir 0, d\n System.ChDir \"..\"\n System.RmDir \"sub\"\n Run = d\nEnd Function"));
    std::vector<Variant> args{Variant(temp.Path())};
    EXPECT_EQ(plat::VarToUString(vm->RunProc(u"Run", args)), temp.Path() + UString(u"/sub"));
    EXPECT_FALSE(std::filesystem::exists(temp.Path().ToUtf8() + "/sub"));
    EXPECT_NE(RaisedBy([&] { vm->ExecStmt(Pick(u"System.RmDir('missing')", u"System.RmDir \"missing\"")); }),
              u"<nothing raised>");
}

TEST_P(SystemUnit, ExceptObjectIsTheHandledException) {
    Start(Pick(u"function Inside; begin try raise Test.EHost.Create('boom'); except"
               u" Result := System.ExceptObject.ClassName + ':' + System.ExceptObject.Message; end; end;"
               u" function Outside; begin Result := System.ExceptObject = nil; end;",
               u"Function Inside\n Try\n Throw New Test.EHost(\"boom\")\n Catch\n"
               u" Inside = System.ExceptObject.ClassName & \":\" & System.ExceptObject.Message\n End Try\nEnd Function\n"
               u"Function Outside\n Outside = System.ExceptObject Is Nothing\nEnd Function"));
    EXPECT_EQ(plat::VarToUString(Call(u"Inside")), u"EHost:boom");
    EXPECT_TRUE(plat::VarToBool(Call(u"Outside")));
}

TEST_P(SystemUnit, WrappersDoNotCountReferencesOfTheirObjects) {
    Start(Pick(u"function Run; var o; begin o := System.TInterfacedObject.Create; Result := o.RefCount; o.Free; end;",
               u"Function Run\n Dim o\n Set o = System.TInterfacedObject.Create\n Run = o.RefCount\n o.Free\nEnd Function"));
    EXPECT_EQ(plat::VarToInt32(Call(u"Run")), 0);
}

TEST_P(SystemUnit, ObjectCreatedByScriptIsDestroyedByFree) {
    Start(Pick(u"function Run; var o; begin o := System.TObject.Create; Result := o.ClassName; o.Free;"
               u" try o.ClassName; except Result := Result + '!'; end; end;",
               u"Function Run\n Dim o\n Set o = System.TObject.Create\n Run = o.ClassName\n o.Free\n"
               u" Try\n o.ClassName\n Catch\n Run = Run & \"!\"\n End Try\nEnd Function"));
    EXPECT_EQ(plat::VarToUString(Call(u"Run")), u"TObject!");
}

TEST_P(SystemUnit, EventMakeDenotesAScriptProcedure) {
    Start();
    const Variant handler = Eval(Pick(u"System.EventMake('OnClick')", u"System.EventMake(\"OnClick\")"));
    auto* wrapper = dynamic_cast<TXANScriptHandlerWrapper*>(VarToWrapper(handler, false));
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->FProcName, u"OnClick");
}

}  // namespace
}  // namespace xan::test
