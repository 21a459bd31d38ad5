// Conversion built-ins, Hex and Oct, and the type tests.
#include <gtest/gtest.h>

#include "VbIntrinsicTestSupport.h"
#include "lang/vb/VbBuiltinsConvert.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/Currency.h"
#include "platform/ole/VarConsts.h"

namespace xan::vb::bitest {
namespace {

TEST(VbConvert, ResultTypes) {
    EXPECT_TRUE(Bool(Call<TCBool>({Variant(u"true")})));
    EXPECT_FALSE(Bool(Call<TCBool>({Variant(0)})));
    EXPECT_EQ(Call<TCCur>({Variant(1.23456)}).VType, plat::varCurrency);
    EXPECT_EQ(Call<TCCur>({Variant(1.23456)}).VCurrency, 12346);
    EXPECT_EQ(Dbl(Call<TCDbl>({Variant(u"2.5")})), 2.5);
    const Variant single = Call<TCSng>({Variant(0.5)});
    EXPECT_EQ(single.VType, plat::varSingle);
    EXPECT_EQ(single.VSingle, 0.5f);
    EXPECT_EQ(Str(Call<TCStr>({Variant(42)})), "42");
    EXPECT_EQ(Str(Call<TCStr>({Variant(true)})), "True");
    EXPECT_EQ(CallError<TCStr>({Variant::Null()}), ConversionError);
}

TEST(VbConvert, CIntAndCLngAre32Bit) {
    EXPECT_EQ(Int(Call<TCInt>({Variant(70000)})), 70000);
    EXPECT_EQ(Int(Call<TCInt>({Variant(2.5)})), 2);
    EXPECT_EQ(Int(Call<TCLng>({Variant(u"-123")})), -123);
    EXPECT_EQ(CallError<TCInt>({Variant(u"abc")}), ConversionError);
    EXPECT_EQ(CallError<TCLng>({Variant(1e12)}), "EVariantOverflowError: Overflow");
}

TEST(VbConvert, CByteKeepsTheLow8Bits) {
    const Variant zero = Call<TCByte>({Variant(256)});
    EXPECT_EQ(zero.VType, plat::varByte);
    EXPECT_EQ(zero.VByte, 0);
    EXPECT_EQ(Call<TCByte>({Variant(-1)}).VByte, 255);
    EXPECT_EQ(Call<TCByte>({Variant(65)}).VByte, 65);
}

TEST(VbConvert, CDateParsesStringsAndTakesNumbersAsDays) {
    const Variant fromText = Call<TCDate>({Variant(u"2024-02-29")});
    EXPECT_EQ(fromText.VType, plat::varDate);
    EXPECT_EQ(fromText.VDate, plat::EncodeDate(2024, 2, 29));
    const Variant fromNumber = Call<TCDate>({Variant(1.5)});
    EXPECT_EQ(fromNumber.VType, plat::varDate);
    EXPECT_EQ(fromNumber.VDate, 1.5);
    EXPECT_NE(CallError<TCDate>({Variant(u"no date")}), "");
    EXPECT_NE(CallError<TCDate>({Variant(1e9)}), "");
}

TEST(VbHexOct, ShowEveryBitOfAnInteger) {
    EXPECT_EQ(Str(Call<THex>({Variant(255)})), "FF");
    EXPECT_EQ(Str(Call<THex>({Variant(65536)})), "10000");
    EXPECT_EQ(Str(Call<THex>({Variant(-1)})), "FFFFFFFF");
    EXPECT_EQ(Str(Call<THex>({Variant(0)})), "0");
    EXPECT_EQ(Str(Call<TOct>({Variant(8)})), "10");
    EXPECT_EQ(Str(Call<TOct>({Variant(0)})), "0");
    EXPECT_EQ(Str(Call<TOct>({Variant(-1)})), "37777777777");
}

TEST(VbHexOct, WidthFollowsTheIntegerType) {
    EXPECT_EQ(Str(Call<THex>({Variant(std::int16_t(-1))})), "FFFF");
    EXPECT_EQ(Str(Call<TOct>({Variant(std::int16_t(-1))})), "177777");
    EXPECT_EQ(Str(Call<THex>({Variant(std::int8_t(-1))})), "FF");
    EXPECT_EQ(Str(Call<THex>({Variant(std::int64_t(-1))})), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Str(Call<TOct>({Variant(std::int64_t(-1))})), "1777777777777777777777");
    EXPECT_EQ(Str(Call<THex>({Variant(std::uint64_t(0xFFFFFFFFFFFFFFFFull))})), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Str(Call<THex>({Variant(std::uint32_t(0x80000000u))})), "80000000");
    EXPECT_EQ(Str(Call<THex>({Variant(true)})), "FFFF");
}

TEST(VbHexOct, OtherValuesConvertToAnInteger) {
    EXPECT_EQ(Str(Call<THex>({Variant(-1.0)})), "FFFFFFFF");
    EXPECT_EQ(Str(Call<THex>({Variant(2147483647.0)})), "7FFFFFFF");
    EXPECT_EQ(Str(Call<TOct>({Variant(-2147483648.0)})), "20000000000");
    for (const double outside : {4294967296.0, 2147483648.0, -2147483649.0, -4294967296.0}) {
        EXPECT_EQ(CallError<THex>({Variant(outside)}), CallError<TCLng>({Variant(outside)})) << outside;
        EXPECT_EQ(CallError<TOct>({Variant(outside)}), "EVariantOverflowError: Overflow") << outside;
    }
    EXPECT_EQ(Str(Call<THex>({Variant(u"255")})), "FF");
    EXPECT_EQ(Str(Call<THex>({Variant()})), "0");
    EXPECT_EQ(CallError<THex>({Variant::Null()}), ConversionError);
    EXPECT_EQ(CallError<TOct>({Variant(u"x")}), ConversionError);
}

TEST(VbTypes, VarTypeIncludesFlagsAndFollowsReferences) {
    EXPECT_EQ(Int(Call<TVarType_>({Variant()})), 0);
    EXPECT_EQ(Int(Call<TVarType_>({Variant(1)})), 3);
    EXPECT_EQ(Int(Call<TVarType_>({Variant(u"s")})), 8);
    EXPECT_EQ(Int(Call<TVarType_>({ArrayOf({})})), 8204);
    Variant target(2.5);
    EXPECT_EQ(Int(Call<TVarType_>({Variant::RefTo(&target)})), 5);
}

TEST(VbTypes, TypeNameTexts) {
    EXPECT_EQ(Str(Call<TTypeName>({Variant()})), "Empty");
    EXPECT_EQ(Str(Call<TTypeName>({Variant::Null()})), "Null");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(std::int16_t(1))})), "SmallInt");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(1)})), "Integer");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(1.5f)})), "Single");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(1.5)})), "Double");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(plat::Currency{10000})})), "Currency");
    EXPECT_EQ(Str(Call<TTypeName>({Variant::FromDate(1)})), "Date");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(u"x")})), "String");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(static_cast<plat::IDispatch*>(nullptr))})), "Nothing");
    EXPECT_EQ(Str(Call<TTypeName>({Variant::FromError(5)})), "Error");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(true)})), "Boolean");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(static_cast<plat::IUnknown*>(nullptr))})), "DataObject");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(std::int8_t(1))})), "ShortInt");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(std::uint8_t(1))})), "Byte");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(std::uint16_t(1))})), "Word");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(std::uint32_t(1))})), "LongWord");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(std::int64_t(1))})), "Int64");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(std::uint64_t(1))})), "UInt64");
    EXPECT_EQ(Str(Call<TTypeName>({ArrayOf({Variant(1), Variant(2)})})), "Variant()");
    Variant ints = Variant::FromArray(plat::SafeArray::Create1(plat::varInteger, 0, 2));
    EXPECT_EQ(Str(Call<TTypeName>({ints})), "Integer()");
    EXPECT_EQ(Str(Call<TTypeName>({Variant(plat::varDecimal, 0, std::in_place)})), "Unknown");
}

TEST(VbTypes, IsTests) {
    EXPECT_TRUE(Bool(Call<TIsArray>({ArrayOf({})})));
    EXPECT_FALSE(Bool(Call<TIsArray>({Variant(1)})));
    EXPECT_TRUE(Bool(Call<TIsEmpty>({Variant()})));
    EXPECT_FALSE(Bool(Call<TIsEmpty>({Variant(0)})));
    EXPECT_TRUE(Bool(Call<TIsNull>({Variant::Null()})));
    EXPECT_FALSE(Bool(Call<TIsNull>({Variant()})));
    EXPECT_TRUE(Bool(Call<TIsObject>({Variant(static_cast<plat::IDispatch*>(nullptr))})));
    EXPECT_FALSE(Bool(Call<TIsObject>({Variant(u"x")})));
    Variant nullTarget = Variant::Null();
    EXPECT_TRUE(Bool(Call<TIsNull>({Variant::RefTo(&nullTarget)})));
}

TEST(VbTypes, IsDate) {
    EXPECT_TRUE(Bool(Call<TIsDate>({Variant::FromDate(100)})));
    EXPECT_TRUE(Bool(Call<TIsDate>({Variant(u"2024-01-31")})));
    EXPECT_TRUE(Bool(Call<TIsDate>({Variant(u"10:30")})));
    EXPECT_FALSE(Bool(Call<TIsDate>({Variant(u"tomorrow")})));
    EXPECT_FALSE(Bool(Call<TIsDate>({Variant(45000)})));
    EXPECT_FALSE(Bool(Call<TIsDate>({Variant::Null()})));
}

TEST(VbTypes, IsNumeric) {
    for (const Variant& v : {Variant(), Variant(std::int16_t(1)), Variant(1), Variant(1.5f), Variant(1.5),
                             Variant(plat::Currency{1}), Variant::FromError(1), Variant(true), Variant(std::int8_t(1)),
                             Variant(std::uint8_t(1)), Variant(std::uint16_t(1)), Variant(std::uint32_t(1)),
                             Variant(std::int64_t(1)), Variant(std::uint64_t(1)), Variant(u" 1.5e3 ")})
        EXPECT_TRUE(Bool(Call<TIsNumeric>({v}))) << v.VType;
    for (const Variant& v : {Variant::Null(), Variant::FromDate(1), Variant(u"1,5"), Variant(u""), Variant(u"abc"),
                             Variant(static_cast<plat::IDispatch*>(nullptr)), ArrayOf({Variant(1)})})
        EXPECT_FALSE(Bool(Call<TIsNumeric>({v}))) << v.VType;
}

TEST(VbTypes, IsNumericUsesTheLocaleDecimalSeparator) {
    const ScopedSettings comma([](plat::TFormatSettings& s) {
        s.DecimalSeparator = u',';
        s.ThousandSeparator = u'.';
    });
    EXPECT_TRUE(Bool(Call<TIsNumeric>({Variant(u"1,5")})));
    EXPECT_FALSE(Bool(Call<TIsNumeric>({Variant(u"1.5")})));
}

}  // namespace
}  // namespace xan::vb::bitest
