// Values between Perl and automation, without an engine around them: what a value becomes in
// Perl (as Perl code sees it), what Perl's own values become, round trips, host objects and
// by-reference arguments.
#include <gtest/gtest.h>  // before the interpreter's headers, whose macros it would trip over

#include "../TestHost.h"
#include "activescript/plugins/perl/PerlValues.h"
#include "activescript/HostObjects.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/VarConsts.h"

namespace xan::as::perl {
namespace {

using plat::Variant;
using test::THostObject;

class PerlValuesTest : public ::testing::Test {
protected:
    PerlValuesTest() : Context(Perl.Get()), Scope(Perl.Get()) {}

    // Perl's value of an expression (a mortal); the test fails on a Perl error.
    SV* Eval(const char* AExpr) {
        dTHXa(Perl.Get());
        SV* result = eval_pv(AExpr, FALSE);
        EXPECT_FALSE(SvTRUE(ERRSV)) << AExpr << ": " << TextOf(aTHX_ ERRSV).ToUtf8();
        return result;
    }
    // Binds $v to the Perl form of AValue and evaluates AExpr on it, as text.
    std::string OnPerlSide(const Variant& AValue, const char* AExpr) {
        dTHXa(Perl.Get());
        SV* v = NewSVFromVariant(aTHX_ AValue);
        sv_setsv(get_sv("main::v", GV_ADD), v);
        SvREFCNT_dec(v);
        return TextOf(aTHX_ Eval(AExpr)).ToUtf8();
    }
    Variant FromPerl(const char* AExpr) {
        dTHXa(Perl.Get());
        return ToVariant(aTHX_ Eval(AExpr));
    }
    std::string ErrorFromPerl(const char* AExpr) {
        dTHXa(Perl.Get());
        SV* sv = Eval(AExpr);
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { ToVariant(aTHX_ sv); });
        return e ? e->Message().ToUtf8() : std::string();
    }

    TPerlInterpreter Perl;
    TPerlContext Context;
    TPerlScope Scope;
};

struct TPerlSideRow {
    Variant Value;
    const char* Expr;
    std::string Expected;
};

TEST_F(PerlValuesTest, AutomationValuesAsPerlSeesThem) {
    const plat::TDateTime leapDay = plat::EncodeDate(2024, 2, 29) + 0.5;
    const TPerlSideRow rows[] = {
        {Variant(42), "$v + 1", "43"},
        {Variant(std::int64_t{1} << 40), "$v + 1", "1099511627777"},
        {Variant(2.5), "$v * 2", "5"},
        {Variant(u"h\u00e9llo \u263a"), "length $v", "7"},
        {Variant(true), "$v ? 'yes' : 'no'", "yes"},
        {Variant(false), "$v ? 'yes' : 'no'", "no"},
        {Variant(), "defined $v ? 'defined' : 'undef'", "undef"},
        {Variant::Null(), "ref($v) . ($v ? ' true' : ' false') . \" $v\"", "Velmora::Null false Null"},
        {Variant::FromDate(leapDay), "ref $v", "Velmora::Date"},
        {Variant::FromDate(leapDay), "\"$v\"", plat::VarToUString(Variant::FromDate(leapDay)).ToUtf8()},
        {Variant::FromDate(leapDay), "$v < $v + 1 ? 'earlier' : 'later'", "earlier"},
        {test::MakeArrayForTest(), "ref($v) . ' ' . scalar(@$v) . ' ' . $v->[1]", "ARRAY 3 a"},
    };
    for (const TPerlSideRow& row : rows) {
        SCOPED_TRACE(row.Expr);
        EXPECT_EQ(OnPerlSide(row.Value, row.Expr), row.Expected);
    }
}

struct TFromPerlRow {
    const char* Expr;
    plat::VarType Type;
    const char* Text;
};

TEST_F(PerlValuesTest, PerlValuesAsAutomationSeesThem) {
    const TFromPerlRow rows[] = {
        {"42", plat::varInteger, "42"},
        {"1 << 40", plat::varInt64, "1099511627776"},
        {"~0", plat::varUInt64, "18446744073709551615"},
        {"0.5", plat::varDouble, "0.5"},
        {"'5'", plat::varOleStr, "5"},
        {"my $n = 5; \"$n\"", plat::varOleStr, "5"},
        {"my $n = 5; my $s = \"$n\"; $n", plat::varInteger, "5"},
        {"chr(233) . chr(0x263a)", plat::varOleStr, "\u00e9\u263a"},
        {"chr(233)", plat::varOleStr, "\u00e9"},
        {"!!1", plat::varBoolean, "True"},
        {"!!0", plat::varBoolean, "False"},
        {"undef", plat::varEmpty, ""},
        {"Null", plat::varNull, ""},
    };
    for (const TFromPerlRow& row : rows) {
        SCOPED_TRACE(row.Expr);
        const Variant v = FromPerl(row.Expr);
        EXPECT_EQ(v.VType, row.Type);
        if (row.Type != plat::varNull) {
            EXPECT_EQ(plat::VarToUString(v).ToUtf8(), row.Text);
        }
    }
}

TEST_F(PerlValuesTest, NestedArraysComeBackAsNestedArrays) {
    const Variant v = FromPerl("[1, ['a', !!1], undef]");
    ASSERT_TRUE(v.IsArray());
    const std::vector<Variant> items = ArrayElements(v);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(test::ArrayTextForTest(items[1]), "a|True");
    EXPECT_TRUE(items[2].IsEmpty());
}

TEST_F(PerlValuesTest, ValuesWithoutAnAutomationFormAreRefusedWithAReason) {
    EXPECT_EQ(ErrorFromPerl("{}"), "A Perl HASH reference cannot be passed to the host");
    EXPECT_EQ(ErrorFromPerl("sub {}"), "A Perl CODE reference cannot be passed to the host");
    EXPECT_EQ(ErrorFromPerl("bless {}, 'Foo'"), "A Perl object of class Foo cannot be passed to the host");
    EXPECT_NE(ErrorFromPerl("my @a; push @a, \\@a; \\@a").find("too deeply"), std::string::npos);
}

TEST_F(PerlValuesTest, EveryKindSurvivesARoundTrip) {
    const Variant values[] = {Variant(42), Variant(std::int64_t{1} << 40), Variant(2.5), Variant(u"\u263a"),
                              Variant(true), Variant(), Variant::Null(),
                              Variant::FromDate(plat::EncodeDate(1999, 12, 31) + 0.25)};
    dTHXa(Perl.Get());
    for (const Variant& value : values) {
        SCOPED_TRACE(plat::VarTypeNameOf(value).ToUtf8());
        const Variant back = ToVariant(aTHX_ sv_2mortal(NewSVFromVariant(aTHX_ value)));
        EXPECT_EQ(back.VType, value.VType);
        EXPECT_EQ(plat::VarCompare(back, value), plat::VarOrder::Equal);
    }
}

TEST_F(PerlValuesTest, HostObjectIsAPerlObjectAndTheSameObjectBack) {
    plat::ComPtr<THostObject> host(new THostObject());
    const Variant obj(static_cast<IDispatch*>(host.Get()));
    EXPECT_EQ(OnPerlSide(obj, "ref $v"), "Velmora::Object");
    EXPECT_EQ(OnPerlSide(obj, "$v->Name . ' ' . $v->{Name} . ' ' . $v->Twice(21) . ' ' . $v->[4]"),
              "initial initial 42 item4");
    OnPerlSide(obj, "$v->{Name} = 'renamed'");
    EXPECT_EQ(host->Name.ToUtf8(), "renamed");
    dTHXa(Perl.Get());
    EXPECT_TRUE(plat::SameObject(ObjectOf(aTHX_ get_sv("main::v", 0)), host.Get()));
    const Variant back = FromPerl("$v");
    ASSERT_EQ(back.VType, plat::varDispatch);
    EXPECT_TRUE(plat::SameObject(back.VDispatch, host.Get()));
}

TEST_F(PerlValuesTest, HostMethodChangesAVariableButNotAConstant) {
    plat::ComPtr<THostObject> host(new THostObject());
    OnPerlSide(Variant(static_cast<IDispatch*>(host.Get())), "1");
    EXPECT_EQ(TextOf(Perl.Get(), Eval("my $n = 5; $v->Bump($n); $n")).ToUtf8(), "6");
    EXPECT_EQ(TextOf(Perl.Get(), Eval("$v->Bump(5)")).ToUtf8(), "6");
    EXPECT_EQ(TextOf(Perl.Get(), Eval("my $s = 'x'; $v->Twice($s); $s")).ToUtf8(), "x");
}

TEST_F(PerlValuesTest, HostFailureIsAPerlErrorAtThePerlLine) {
    plat::ComPtr<THostObject> host(new THostObject());
    OnPerlSide(Variant(static_cast<IDispatch*>(host.Get())), "1");
    dTHXa(Perl.Get());
    eval_pv("#line 7 \"here\"\n$v->Fail()", FALSE);
    EXPECT_EQ(TextOf(aTHX_ ERRSV).ToUtf8(), "Host failure at here line 7.\n");
    eval_pv("#line 3 \"here\"\n$v->NoSuch", FALSE);
    EXPECT_EQ(TextOf(aTHX_ ERRSV).ToUtf8(), "Object doesn't support this property or method: 'NoSuch' at here line 3.\n");
}

TEST_F(PerlValuesTest, ExitStopsTheScriptNotTheProcess) {
    dTHXa(Perl.Get());
    eval_pv("#line 2 \"here\"\nexit 3; 1", FALSE);
    EXPECT_EQ(TextOf(aTHX_ ERRSV).ToUtf8(), "exit(3) called at here line 2.\n");
    eval_pv("$0 = 'x' x 100; 1", FALSE);
    EXPECT_FALSE(SvTRUE(ERRSV));
    TPerlInterpreter another;  // the interpreters' shared arguments are intact
    EXPECT_NE(another.Get(), nullptr);
}

TEST_F(PerlValuesTest, ByReferenceArgumentIsWrittenBackOnlyWhenChanged) {
    dTHXa(Perl.Get());
    Variant single(1.5f);
    Variant ref = Variant::RefTo(&single);
    WriteBack(aTHX_ Eval("1.5"), ref);
    EXPECT_EQ(single.VType, plat::varSingle) << "an equal value leaves the caller's type alone";
    WriteBack(aTHX_ Eval("'changed'"), ref);
    EXPECT_EQ(plat::VarToUString(single).ToUtf8(), "changed");
    Variant byValue(1);
    WriteBack(aTHX_ Eval("2"), byValue);
    EXPECT_EQ(plat::VarToInt32(byValue), 1);
}

TEST(PerlInterpreters, SeveralLiveSideBySideAndApart) {
    TPerlInterpreter first, second;
    for (PerlInterpreter* interp : {first.Get(), second.Get()}) {
        TPerlContext context(interp);
        dTHXa(interp);
        eval_pv(interp == first.Get() ? "$x = 'first'" : "$x = 'second'", TRUE);
    }
    TPerlContext context(first.Get());
    dTHXa(first.Get());
    EXPECT_EQ(TextOf(aTHX_ get_sv("main::x", 0)).ToUtf8(), "first");
    {
        TPerlInterpreter third;  // made and freed while another one runs (a script starting a script)
        EXPECT_EQ(PERL_GET_CONTEXT, first.Get());
    }
    EXPECT_EQ(PERL_GET_CONTEXT, first.Get());
}

}  // namespace
}  // namespace xan::as::perl
