// Floating-point functions, rounding, parity, Inc/Dec and the bit-set routines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "PasBuiltinsTestSupport.h"
#include "lang/pascal/PasBuiltinsMath.h"

namespace xan::pas::test {
namespace {

double Float(const Variant& v) {
    EXPECT_EQ(v.VType, plat::varDouble);
    return v.VDouble;
}

std::int64_t Int64Of(const Variant& v) {
    EXPECT_EQ(v.VType, plat::varInt64);
    return v.VInt64;
}

TEST(PasMathBuiltins, TrigonometryLogarithmAndExponentAreDoubles) {
    EXPECT_DOUBLE_EQ(Float(Call<TArcTan>({Variant(1)})), std::atan(1.0));
    EXPECT_DOUBLE_EQ(Float(Call<TCos>({Variant(0)})), 1.0);
    EXPECT_DOUBLE_EQ(Float(Call<TSin>({Variant(UString(u"0.5"))})), std::sin(0.5));
    EXPECT_DOUBLE_EQ(Float(Call<TLn>({Variant(std::exp(2.0))})), 2.0);
    EXPECT_DOUBLE_EQ(Float(Call<TExp>({Variant(1)})), std::exp(1.0));
}

TEST(PasMathBuiltins, OutsideTheirDomainFunctionsAnswerIeeeValues) {
    EXPECT_EQ(Float(Call<TLn>({Variant(0)})), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(Float(Call<TSqrt>({Variant(-1)}))));
    EXPECT_EQ(Float(Call<TExp>({Variant(1000)})), std::numeric_limits<double>::infinity());
}

TEST(PasMathBuiltins, AbsSqrSqrtIntAndFracAreDoubles) {
    EXPECT_EQ(Float(Call<TAbs>({Variant(-3)})), 3.0);
    EXPECT_EQ(Float(Call<TAbs>({Variant(-2.5)})), 2.5);
    EXPECT_EQ(Float(Call<TSqr>({Variant(1.5)})), 2.25);
    EXPECT_EQ(Float(Call<TSqr>({Variant(-4)})), 16.0);
    EXPECT_EQ(Float(Call<TSqrt>({Variant(16)})), 4.0);
    EXPECT_EQ(Float(Call<TInt>({Variant(-1.75)})), -1.0);
    EXPECT_EQ(Float(Call<TInt>({Variant(2.5)})), 2.0);
    EXPECT_DOUBLE_EQ(Float(Call<TFrac>({Variant(-1.75)})), -0.75);
    EXPECT_DOUBLE_EQ(Float(Call<TFrac>({Variant(3.25)})), 0.25);
}

TEST(PasMathBuiltins, RoundTakesHalvesToEvenAsA64BitInteger) {
    EXPECT_EQ(Int64Of(Call<TRound>({Variant(2.5)})), 2);
    EXPECT_EQ(Int64Of(Call<TRound>({Variant(3.5)})), 4);
    EXPECT_EQ(Int64Of(Call<TRound>({Variant(-2.5)})), -2);
    EXPECT_EQ(Int64Of(Call<TRound>({Variant(2.6)})), 3);
    EXPECT_EQ(Int64Of(Call<TRound>({Variant(1e12)})), 1000000000000);
}

TEST(PasMathBuiltins, TruncGoesTowardZeroAsA64BitInteger) {
    EXPECT_EQ(Int64Of(Call<TTrunc>({Variant(-1.7)})), -1);
    EXPECT_EQ(Int64Of(Call<TTrunc>({Variant(1.7)})), 1);
    EXPECT_EQ(Int64Of(Call<TTrunc>({Variant(5e15)})), 5000000000000000);
}

TEST(PasMathBuiltins, RoundAndTruncOfValuesWithoutAnIntegerRaiseTheInvalidOperation) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(Raises<plat::EInvalidOp>([&] { Call<TRound>({Variant(nan)}); }, u"Invalid floating point operation"));
    EXPECT_TRUE(Raises<plat::EInvalidOp>([] { Call<TTrunc>({Variant(1e300)}); }, u"Invalid floating point operation"));
}

TEST(PasMathBuiltins, EmptyCountsAsZeroAndNullIsTheConversionError) {
    EXPECT_EQ(Float(Call<TCos>({Variant()})), 1.0);
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TSin>({Variant::Null()}); }, SInvalidCast));
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TSqrt>({Variant(u"four")}); }, SInvalidCast));
}

TEST(PasMathBuiltins, ArgumentsAreReadThroughReferences) {
    Variant x(9);
    Variant ref = Variant::RefTo(&x);
    EXPECT_EQ(Float(Call<TSqrt>({Variant::RefTo(&ref)})), 3.0);
    EXPECT_EQ(x.VInteger, 9);
}

TEST(PasMathBuiltins, OddTestsTheLowestBit) {
    EXPECT_TRUE(Call<TOdd>({Variant(3)}).AsBool());
    EXPECT_FALSE(Call<TOdd>({Variant(4)}).AsBool());
    EXPECT_TRUE(Call<TOdd>({Variant(-1)}).AsBool());
    EXPECT_EQ(Call<TOdd>({Variant(0)}).VType, plat::varBoolean);
}

TEST(PasMathBuiltins, WrongArgumentCountsAreRefused) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TSin>({}); }, retInvalidParamCount));
    EXPECT_TRUE(RaisesRuntime([] { Call<TSin>({Variant(1), Variant(2)}); }, retInvalidParamCount));
}

TEST(PasMathBuiltins, IncAddsOneOrTheStepToAVariable) {
    Variant i(5);
    std::vector<Variant> one{Variant::RefTo(&i)};
    Perform<TInc>(one);
    EXPECT_EQ(i.VType, plat::varInteger);
    EXPECT_EQ(i.VInteger, 6);
    std::vector<Variant> five{Variant::RefTo(&i), Variant(5)};
    Perform<TInc>(five);
    EXPECT_EQ(i.VInteger, 11);
}

TEST(PasMathBuiltins, IncUsesTheMachineOperators) {
    Variant big(std::numeric_limits<plat::Integer>::max());
    std::vector<Variant> args{Variant::RefTo(&big)};
    Perform<TInc>(args);
    EXPECT_EQ(big.VType, plat::varInt64);
    EXPECT_EQ(big.VInt64, 2147483648LL);
    Variant real(1.5);
    std::vector<Variant> halves{Variant::RefTo(&real), Variant(0.25)};
    Perform<TInc>(halves);
    EXPECT_EQ(real.VDouble, 1.75);
}

TEST(PasMathBuiltins, IncByTheVariableItselfDoublesIt) {
    Variant i(21);
    std::vector<Variant> args{Variant::RefTo(&i), Variant::RefTo(&i)};
    Perform<TInc>(args);
    EXPECT_EQ(i.VInteger, 42);
    Variant s(u"ab");
    std::vector<Variant> text{Variant::RefTo(&s), Variant::RefTo(&s)};
    Perform<TInc>(text);
    EXPECT_EQ(Text(s), u"abab");
}

TEST(PasMathBuiltins, IncOfAValueThatIsNoVariableDoesNothing) {
    std::vector<Variant> args{Variant(3)};
    Perform<TInc>(args);
    EXPECT_EQ(args[0].VInteger, 3);
}

TEST(PasMathBuiltins, IncRefusesOtherCountsAndUseOfItsResult) {
    Variant i(1);
    std::vector<Variant> three{Variant::RefTo(&i), Variant(1), Variant(2)};
    EXPECT_TRUE(RaisesRuntime([&] { Perform<TInc>(three); }, retInvalidParamCount));
    std::vector<Variant> none;
    TInc inc;
    EXPECT_TRUE(RaisesRuntime([&] { RunCall(inc, none, bkRound, false); }, retInvalidParamCount));
    std::vector<Variant> used{Variant::RefTo(&i)};
    EXPECT_TRUE(RaisesRuntime([&] { RunCall(inc, used, bkRound, true); }, retTypeMismatch));
    EXPECT_EQ(i.VInteger, 1);
}

TEST(PasMathBuiltins, DecIsAFunctionThatStoresNoResult) {
    Variant i(10);
    TDec dec;
    std::vector<Variant> args{Variant::RefTo(&i)};
    const Variant r = RunCall(dec, args, bkRound, true);
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_EQ(i.VInteger, 9);
    std::vector<Variant> step{Variant::RefTo(&i), Variant(4)};
    RunCall(dec, step, bkRound, false);
    EXPECT_EQ(i.VInteger, 5);
}

TEST(PasMathBuiltins, DecWithANullStepGivesNullAndRefusesOtherCounts) {
    Variant i(10);
    std::vector<Variant> args{Variant::RefTo(&i), Variant::Null()};
    Perform<TDec>(args);
    EXPECT_EQ(i.VType, plat::varNull);
    EXPECT_TRUE(RaisesRuntime([] { Call<TDec>({}); }, retInvalidParamCount));
}

TEST(PasMathBuiltins, IncludeAndExcludeSetAndClearOneBit) {
    Variant s(0);
    std::vector<Variant> include{Variant::RefTo(&s), Variant(3)};
    Perform<TInclude>(include);
    EXPECT_EQ(s.VType, plat::varInteger);
    EXPECT_EQ(s.VInteger, 8);
    std::vector<Variant> exclude{Variant::RefTo(&s), Variant(3)};
    Perform<TExclude>(exclude);
    EXPECT_EQ(s.VInteger, 0);
}

TEST(PasMathBuiltins, IncludeTakesTheBitModulo32AndReachesTheSignBit) {
    Variant s(1);
    std::vector<Variant> high{Variant::RefTo(&s), Variant(31)};
    Perform<TInclude>(high);
    EXPECT_EQ(s.VInteger, static_cast<plat::Integer>(0x80000001u));
    std::vector<Variant> wrapped{Variant::RefTo(&s), Variant(32)};
    Perform<TExclude>(wrapped);
    EXPECT_EQ(s.VInteger, static_cast<plat::Integer>(0x80000000u));
    Variant e;
    std::vector<Variant> fromEmpty{Variant::RefTo(&e), Variant(-1)};
    Perform<TInclude>(fromEmpty);
    EXPECT_EQ(e.VInteger, static_cast<plat::Integer>(0x80000000u));
}

TEST(PasMathBuiltins, IncludeWithoutAVariableDropsTheResultButStillConverts) {
    std::vector<Variant> args{Variant(0), Variant(2)};
    Perform<TInclude>(args);
    EXPECT_EQ(args[0].VInteger, 0);
    Variant s(0);
    std::vector<Variant> bad{Variant::RefTo(&s), Variant(u"x")};
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([&] { Perform<TInclude>(bad); }, SInvalidCast));
    EXPECT_EQ(s.VInteger, 0);
}

}  // namespace
}  // namespace xan::pas::test
