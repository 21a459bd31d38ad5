// Arithmetic built-ins: results and their types, Null rules and conversion errors.
#include <gtest/gtest.h>

#include <cmath>

#include "VbIntrinsicTestSupport.h"
#include "lang/vb/VbBuiltinsMath.h"
#include "platform/ole/Currency.h"
#include "platform/rtl/Random.h"

namespace xan::vb::bitest {
namespace {

TEST(VbMath, AbsKeepsNullAndAnswersDoubles) {
    EXPECT_EQ(Dbl(Call<TAbs>({Variant(-3)})), 3.0);
    EXPECT_EQ(Dbl(Call<TAbs>({Variant(u"-2.5")})), 2.5);
    EXPECT_TRUE(Call<TAbs>({Variant::Null()}).IsNull());
    EXPECT_EQ(CallError<TAbs>({Variant(u"x")}), ConversionError);
}

TEST(VbMath, TrigonometryAndExponentials) {
    EXPECT_DOUBLE_EQ(Dbl(Call<TAtn>({Variant(1)})), std::atan(1.0));
    EXPECT_DOUBLE_EQ(Dbl(Call<TCos>({Variant(0)})), 1.0);
    EXPECT_DOUBLE_EQ(Dbl(Call<TSin>({Variant(0.5)})), std::sin(0.5));
    EXPECT_DOUBLE_EQ(Dbl(Call<TTan>({Variant(0.5)})), std::tan(0.5));
    EXPECT_DOUBLE_EQ(Dbl(Call<TExp>({Variant(1)})), std::exp(1.0));
    EXPECT_DOUBLE_EQ(Dbl(Call<TLog>({Variant(std::exp(2.0))})), 2.0);
    // No Null rule here: Null has no numeric value.
    EXPECT_EQ(CallError<TCos>({Variant::Null()}), ConversionError);
}

TEST(VbMath, SqrIsTheSquareRoot) {
    EXPECT_EQ(Dbl(Call<TSqr>({Variant(16)})), 4.0);
    EXPECT_DOUBLE_EQ(Dbl(Call<TSqr>({Variant(2)})), std::sqrt(2.0));
    EXPECT_EQ(Dbl(Call<TSqr>({Variant(0)})), 0.0);
    EXPECT_TRUE(std::isnan(Dbl(Call<TSqr>({Variant(-1)}))));
}

TEST(VbMath, IntFloorsAndFixTruncates) {
    EXPECT_EQ(Dbl(Call<TInt>({Variant(-1.5)})), -2.0);
    EXPECT_EQ(Dbl(Call<TFix>({Variant(-1.5)})), -1.0);
    EXPECT_EQ(Dbl(Call<TInt>({Variant(2.7)})), 2.0);
    EXPECT_EQ(Dbl(Call<TFix>({Variant(2.7)})), 2.0);
    EXPECT_TRUE(Call<TInt>({Variant::Null()}).IsNull());
    EXPECT_TRUE(Call<TFix>({Variant::Null()}).IsNull());
}

TEST(VbMath, RoundHalvesToEvenAsInt64) {
    const Variant two = Call<TRound>({Variant(2.5)});
    EXPECT_EQ(two.VType, plat::varInt64);
    EXPECT_EQ(two.VInt64, 2);
    EXPECT_EQ(Call<TRound>({Variant(3.5)}).VInt64, 4);
    EXPECT_EQ(Call<TRound>({Variant(-2.5)}).VInt64, -2);
}

TEST(VbMath, RoundToDecimals) {
    EXPECT_EQ(Dbl(Call<TRound>({Variant(0.125), Variant(2)})), 0.12);
    EXPECT_EQ(Dbl(Call<TRound>({Variant(1.2345), Variant(0)})), 1.0);
    EXPECT_EQ(Dbl(Call<TRound>({Variant(1.5), Variant(16)})), 1.5);
    EXPECT_EQ(CallError<TRound>({Variant(1), Variant(17)}), ConversionError);
    EXPECT_EQ(CallError<TRound>({Variant(1), Variant(-1)}), ConversionError);
    EXPECT_EQ(CallError<TRound>({Variant(1), Variant::Null()}), ConversionError);
    EXPECT_EQ(CallError<TRound>({}), ParamCountError);
    EXPECT_EQ(CallError<TRound>({Variant(1), Variant(1), Variant(1)}), ParamCountError);
}

TEST(VbMath, SgnOfTheNumericValue) {
    EXPECT_EQ(Int(Call<TSgn>({Variant(-7)})), -1);
    EXPECT_EQ(Int(Call<TSgn>({Variant(0.0)})), 0);
    EXPECT_EQ(Int(Call<TSgn>({Variant(0.25)})), 1);
    EXPECT_EQ(Int(Call<TSgn>({Variant()})), 0);
    EXPECT_EQ(Int(Call<TSgn>({Variant(true)})), -1);
    EXPECT_EQ(Int(Call<TSgn>({Variant(u"-5")})), -1);
    EXPECT_EQ(Int(Call<TSgn>({Variant(std::int64_t(-1))})), -1);
    EXPECT_EQ(Int(Call<TSgn>({Variant(plat::Currency{1})})), 1);
    EXPECT_EQ(CallError<TSgn>({Variant::Null()}), ConversionError);
    EXPECT_EQ(CallError<TSgn>({Variant(u"abc")}), ConversionError);
}

TEST(VbMath, RGBMasksEachComponent) {
    EXPECT_EQ(Int(Call<TRGB>({Variant(1), Variant(2), Variant(3)})), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(Int(Call<TRGB>({Variant(256 + 255), Variant(-1), Variant(0)})), 255 + 255 * 256);
    EXPECT_EQ(CallError<TRGB>({Variant(1), Variant(2)}), ParamCountError);
}

TEST(VbMath, RndDrawsFromThePlatformGenerator) {
    plat::SetRandSeed(12345);
    const double first = Dbl(Call<TRnd>());
    EXPECT_GE(first, 0.0);
    EXPECT_LT(first, 1.0);
    plat::SetRandSeed(12345);
    EXPECT_EQ(Dbl(Call<TRnd>()), first);
}

TEST(VbMath, RandomizeReseedsAndLeavesTheResultAlone) {
    plat::SetRandSeed(0);
    TRandomize randomize;
    const Variant result = Exec(randomize, {}, bkNon, false);
    EXPECT_TRUE(result.IsEmpty());
    // The clock seed is practically never 0, and Rnd then starts elsewhere than after seed 0.
    EXPECT_NE(plat::RandSeed(), 0);
}

}  // namespace
}  // namespace xan::vb::bitest
