// The general comparison: order of numbers of every type, strings, mixed string/number,
// Null and Empty, objects, and the failures.
#include <gtest/gtest.h>

#include <cmath>

#include "OleTestSupport.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/SafeArray.h"

namespace xan::plat {
namespace {

using test::Raises;
constexpr VarOrder LT = VarOrder::Less, EQ = VarOrder::Equal, GT = VarOrder::Greater, UN = VarOrder::Unordered;

struct Case {
    Variant l, r;
    VarOrder expected;
};

void CheckTable(const std::vector<Case>& cases) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(VarCompare(cases[i].l, cases[i].r), cases[i].expected) << "case " << i;
        // Swapping the operands mirrors the answer.
        const VarOrder mirrored = cases[i].expected == LT ? GT : cases[i].expected == GT ? LT : cases[i].expected;
        EXPECT_EQ(VarCompare(cases[i].r, cases[i].l), mirrored) << "case " << i << " swapped";
    }
}

TEST(VarCompare, NumbersOfEveryTypeCompareByValue) {
    CheckTable({
        {Variant(1), Variant(2), LT},
        {Variant(std::int16_t{5}), Variant(std::uint8_t{5}), EQ},
        {Variant(std::int8_t{-1}), Variant(std::uint64_t{0}), LT},
        {Variant(std::uint64_t{UINT64_MAX}), Variant(std::int64_t{INT64_MAX}), GT},
        {Variant(std::uint32_t{4000000000u}), Variant(-1), GT},
        {Variant(2.5), Variant(2), GT},
        {Variant(2.5f), Variant(2.5), EQ},
        {Variant(Currency{25000}), Variant(2.5), EQ},
        {Variant(Currency{25000}), Variant(3), LT},
        {Variant(Currency{-1}), Variant(0), LT},
        {Variant::FromDate(3.0), Variant(3), EQ},
        {Variant(true), Variant(-1), EQ},
        {Variant(false), Variant(0), EQ},
        {Variant(true), Variant(0), LT},
    });
}

TEST(VarCompare, LargeIntegersAgainstDoublesAreExact) {
    // 2^53 + 1 is not a double: comparing through doubles would call these equal.
    CheckTable({
        {Variant(std::int64_t{9007199254740993}), Variant(9007199254740992.0), GT},
        {Variant(std::int64_t{INT64_MAX}), Variant(9223372036854775808.0), LT},
        {Variant(std::uint64_t{UINT64_MAX}), Variant(1.8446744073709552e19), LT},
        {Variant(std::int64_t{-3}), Variant(-2.5), LT},
        {Variant(std::int64_t{3}), Variant(2.5), GT},
        {Variant(std::int64_t{INT64_MIN}), Variant(-1e300), GT},
    });
}

TEST(VarCompare, NaNIsUnordered) {
    const Variant nan(std::nan(""));
    EXPECT_EQ(VarCompare(nan, Variant(1)), UN);
    EXPECT_EQ(VarCompare(Variant(1.0), nan), UN);
    EXPECT_EQ(VarCompare(nan, nan), UN);
    EXPECT_EQ(VarCompare(Variant(Currency{1}), nan), UN);
}

TEST(VarCompare, BooleansOrderFalseBeforeTrue) {
    CheckTable({
        {Variant(false), Variant(true), LT},
        {Variant(true), Variant(true), EQ},
    });
}

TEST(VarCompare, StringsAreOrdinalAndCaseSensitive) {
    CheckTable({
        {Variant(u"abc"), Variant(u"abd"), LT},
        {Variant(u"abc"), Variant(u"abc"), EQ},
        {Variant(u"B"), Variant(u"a"), LT},
        {Variant(u"ab"), Variant(u"abc"), LT},
        {Variant(UString()), Variant(u"a"), LT},
        {Variant(u"\u00e9"), Variant(u"z"), GT},
    });
}

TEST(VarCompare, StringsWithNumbersCompareNumericallyWhenTheyCan) {
    CheckTable({
        {Variant(u"10"), Variant(9), GT},
        {Variant(u" 2.5 "), Variant(2.5), EQ},
        {Variant(u"1e3"), Variant(1000), EQ},
        {Variant(u"abc"), Variant(5), GT},  // not a number: "5" < "abc" as texts
        {Variant(u"-"), Variant(5), LT},
        {Variant(u"True"), Variant(true), EQ},
        {Variant(u"false"), Variant(true), GT},
        {Variant(u"0"), Variant(false), EQ},
        {Variant(u"1/1/2000"), Variant::FromDate(EncodeDate(2000, 1, 1)), EQ},
        {Variant(u"1/2/2000"), Variant::FromDate(EncodeDate(2000, 1, 1)), GT},
        {Variant(u"7"), Variant(Currency{70000}), EQ},
    });
}

TEST(VarCompare, NullAndEmpty) {
    const Variant null = Variant::Null();
    CheckTable({
        {null, null, EQ},
        {null, Variant(), LT},
        {null, Variant(-1000), LT},
        {null, Variant(UString()), LT},
        {Variant(), Variant(), EQ},
        {Variant(), Variant(0), EQ},
        {Variant(), Variant(0.0), EQ},
        {Variant(), Variant(UString()), EQ},
        {Variant(), Variant(u"a"), LT},
        {Variant(), Variant(false), EQ},
        {Variant(), Variant(true), GT},
        {Variant(), Variant(-1), GT},
        {Variant(), Variant(1), LT},
    });
}

TEST(VarCompare, ObjectsCompareByIdentity) {
    ComPtr<test::TTestDispatch> a(new test::TTestDispatch), b(new test::TTestDispatch);
    const Variant va(static_cast<IDispatch*>(a.Get())), va2(static_cast<IDispatch*>(a.Get()));
    const Variant vb(static_cast<IDispatch*>(b.Get()));
    EXPECT_EQ(VarCompare(va, va2), EQ);
    EXPECT_NE(VarCompare(va, vb), EQ);
    EXPECT_EQ(VarCompare(va, Variant(static_cast<IUnknown*>(a.Get()))), EQ);
    const Variant nil(static_cast<IDispatch*>(nullptr));
    EXPECT_EQ(VarCompare(nil, nil), EQ);
    EXPECT_TRUE(Raises<EVariantTypeCastError>([&] { VarCompare(va, Variant(1)); }, u"Invalid variant type conversion"));
    EXPECT_TRUE(Raises<EVariantTypeCastError>([&] { VarCompare(Variant(), va); }, u"Invalid variant type conversion"));
}

TEST(VarCompare, ErrorsArraysAndOtherTypes) {
    EXPECT_EQ(VarCompare(Variant::FromError(1), Variant::FromError(2)), LT);
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { VarCompare(Variant::FromError(1), Variant(1)); },
                                              u"Invalid variant type conversion"));
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { VarCompare(Variant(varDecimal, 0, std::in_place), Variant(1)); },
                                              u"Invalid variant type conversion"));
    const Variant arr = Variant::FromArray(SafeArray::Create1(varInteger, 0, 1));
    EXPECT_TRUE(Raises<EVariantInvalidOpError>([&] { VarCompare(arr, arr); }, u"Invalid variant operation"));
}

TEST(VarCompare, OperandsAreDereferenced) {
    Variant a(u"x");
    Variant ref = Variant::RefTo(&a);
    EXPECT_EQ(VarCompare(ref, Variant(u"x")), EQ);
}

}  // namespace
}  // namespace xan::plat
