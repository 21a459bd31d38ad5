// Numbers to text and back, and Format with script values.
#include <gtest/gtest.h>

#include <limits>

#include "PasBuiltinsTestSupport.h"
#include "lang/pascal/PasBuiltinsConvert.h"
#include "platform/core/FormatSettings.h"
#include "platform/ole/SafeArray.h"

namespace xan::pas::test {
namespace {

using plat::SafeArray;

// A one-dimensional array of Variants holding AValues, indexed from ALow.
Variant VariantArray(std::int32_t ALow, std::initializer_list<Variant> AValues) {
    Variant v = Variant::FromArray(SafeArray::Create1(plat::varVariant, ALow, std::int32_t(AValues.size())));
    std::int32_t index = ALow;
    for (const Variant& value : AValues) {
        v.MutableArray().Put(std::span<const std::int32_t>(&index, 1), value);
        ++index;
    }
    return v;
}

// Switches the process settings to a comma decimal separator for one test.
class CommaDecimals {
public:
    CommaDecimals() {
        plat::TFormatSettings s = plat::TFormatSettings::Invariant();
        s.DecimalSeparator = u',';
        s.ThousandSeparator = u'.';
        plat::SetFormatSettings(s);
    }
    ~CommaDecimals() { plat::SetFormatSettings(plat::TFormatSettings::Invariant()); }
};

TEST(PasConvertBuiltins, IntToStrIsSigned64BitDecimal) {
    EXPECT_EQ(Text(Call<TIntToStr>({Variant(-42)})), u"-42");
    EXPECT_EQ(Text(Call<TIntToStr>({Variant(std::numeric_limits<std::int64_t>::min())})), u"-9223372036854775808");
    EXPECT_EQ(Text(Call<TIntToStr>({Variant(2.5)})), u"2");
    EXPECT_EQ(Text(Call<TIntToStr>({Variant(u"17")})), u"17");
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TIntToStr>({Variant::Null()}); }, SInvalidCast));
}

TEST(PasConvertBuiltins, IntToStrRefusesASecondArgument) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TIntToStr>({Variant(5), Variant(6)}); }, retInvalidParamCount));
}

TEST(PasConvertBuiltins, IntToHexPadsUpperCaseDigits) {
    EXPECT_EQ(Text(Call<TIntToHex>({Variant(255), Variant(4)})), u"00FF");
    EXPECT_EQ(Text(Call<TIntToHex>({Variant(0xABCDEF), Variant(2)})), u"ABCDEF");
    EXPECT_EQ(Text(Call<TIntToHex>({Variant(std::numeric_limits<std::uint64_t>::max()), Variant(0)})),
              u"FFFFFFFFFFFFFFFF");
}

TEST(PasConvertBuiltins, IntToHexShowsNegativeValuesAsTwosComplement) {
    EXPECT_EQ(Text(Call<TIntToHex>({Variant(-1), Variant(8)})), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Text(Call<TIntToHex>({Variant(std::int64_t(-256)), Variant(1)})), u"FFFFFFFFFFFFFF00");
}

TEST(PasConvertBuiltins, FloatToStrUsesTheGeneralFormAndTheLocaleSeparator) {
    EXPECT_EQ(Text(Call<TFloatToStr>({Variant(2.5)})), u"2.5");
    EXPECT_EQ(Text(Call<TFloatToStr>({Variant(1.0 / 3.0)})), u"0.333333333333333");
    EXPECT_EQ(Text(Call<TFloatToStr>({Variant(7)})), u"7");
    CommaDecimals comma;
    EXPECT_EQ(Text(Call<TFloatToStr>({Variant(2.5)})), u"2,5");
}

TEST(PasConvertBuiltins, StrToIntAcceptsSignsAndHexadecimal) {
    const Variant r = Call<TStrToInt>({Variant(u"-12")});
    EXPECT_EQ(r.VType, plat::varInteger);
    EXPECT_EQ(r.VInteger, -12);
    EXPECT_EQ(Call<TStrToInt>({Variant(u"$FF")}).VInteger, 255);
    EXPECT_EQ(Call<TStrToInt>({Variant(u"0x10")}).VInteger, 16);
    EXPECT_EQ(Call<TStrToInt>({Variant(42)}).VInteger, 42);
}

TEST(PasConvertBuiltins, StrToIntOfBadTextIsTheConvertError) {
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TStrToInt>({Variant(u"12a")}); },
                                            u"'12a' is not a valid integer value"));
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TStrToInt>({Variant(u"99999999999")}); },
                                            u"'99999999999' is not a valid integer value"));
}

TEST(PasConvertBuiltins, StrToIntDefFallsBackOnlyWhenTheTextDoesNotParse) {
    EXPECT_EQ(Call<TStrToIntDef>({Variant(u"12"), Variant(7)}).VInteger, 12);
    EXPECT_EQ(Call<TStrToIntDef>({Variant(u"x"), Variant(7)}).VInteger, 7);
    EXPECT_EQ(Call<TStrToIntDef>({Variant(u""), Variant(u"-3")}).VInteger, -3);
    EXPECT_EQ(Call<TStrToIntDef>({Variant(u"x"), Variant(7)}).VType, plat::varInteger);
    // A value that cannot even become text is the conversion error, not the default.
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TStrToIntDef>({Variant::Null(), Variant(1)}); },
                                                    SInvalidCast));
}

TEST(PasConvertBuiltins, StrToFloatUsesTheLocaleSeparator) {
    const Variant r = Call<TStrToFloat>({Variant(u"2.5")});
    EXPECT_EQ(r.VType, plat::varDouble);
    EXPECT_EQ(r.VDouble, 2.5);
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TStrToFloat>({Variant(u"abc")}); },
                                            u"'abc' is not a valid floating point value"));
    CommaDecimals comma;
    EXPECT_EQ(Call<TStrToFloat>({Variant(u"2,5")}).VDouble, 2.5);
}

TEST(PasConvertBuiltins, FormatWithOnlyTheFormatReturnsItUnchanged) {
    const Variant number = Call<TFormat>({Variant(12)});
    EXPECT_EQ(number.VType, plat::varInteger);
    EXPECT_EQ(number.VInteger, 12);
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"100%")})), u"100%");
    EXPECT_EQ(Call<TFormat>({Variant::Null()}).VType, plat::varNull);
    Variant text(u"abc");
    const Variant byRef = Call<TFormat>({Variant::RefTo(&text)});
    EXPECT_EQ(byRef.VType, plat::varOleStr);
}

TEST(PasConvertBuiltins, FormatTakesTheArgumentsAfterTheFirst) {
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"%s=%d"), Variant(u"x"), Variant(5)})), u"x=5");
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"%.2f|%5s|%x"), Variant(u"1.5"), Variant(true), Variant(255)})),
              u"1.50| True|FF");
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"%d"), Variant(2.5)})), u"2");
    Variant i(7);
    Variant name(u"n");
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"%1:s%0:d"), Variant::RefTo(&i), Variant::RefTo(&name)})), u"n7");
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"%u"), Variant(std::numeric_limits<std::uint64_t>::max())})),
              u"18446744073709551615");
}

TEST(PasConvertBuiltins, FormatSpreadsTheElementsOfASingleArray) {
    const Variant args = VariantArray(1, {Variant(u"a"), Variant(2)});
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"%s-%d"), args})), u"a-2");
    Variant held = VariantArray(0, {Variant(3)});
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"[%d]"), Variant::RefTo(&held)})), u"[3]");
    // With further arguments an array is one argument among others.
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>(
        [&] { Call<TFormat>({Variant(u"%s%s"), args, Variant(1)}); }, SInvalidCast));
}

TEST(PasConvertBuiltins, FormatOfAMultiDimensionalArrayIsATypeMismatch) {
    const SafeArray::Bound bounds[] = {{0, 2}, {0, 2}};
    const Variant matrix = Variant::FromArray(SafeArray::Create(plat::varVariant, bounds));
    EXPECT_TRUE(RaisesRuntime([&] { Call<TFormat>({Variant(u"%d"), matrix}); }, retTypeMismatch));
}

TEST(PasConvertBuiltins, FormatKeepsCurrencyExact) {
    const Variant money(plat::Currency{123456789012345678});
    EXPECT_EQ(Text(Call<TFormat>({Variant(u"%.4f"), money})), u"12345678901234.5678");
}

TEST(PasConvertBuiltins, FormatErrorsPropagateUnchanged) {
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TFormat>({Variant(u"%d %d"), Variant(1)}); },
                                            u"Format '%d %d' invalid or incompatible with argument"));
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TFormat>({Variant(u"%z"), Variant(1)}); },
                                            u"Format '%z' invalid or incompatible with argument"));
    // A script value has no address to show.
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TFormat>({Variant(u"%p"), Variant(1)}); },
                                            u"Format '%p' invalid or incompatible with argument"));
    // A value that does not convert to the specifier's kind is the conversion error.
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TFormat>({Variant(u"%d"), Variant(u"x")}); },
                                                    SInvalidCast));
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TFormat>({Variant(u"%s"), Variant::Null()}); },
                                                    SInvalidCast));
}

TEST(PasConvertBuiltins, FormatWithoutAFormatIsRefused) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TFormat>({}); }, retInvalidParamCount));
}

TEST(PasConvertBuiltins, FormatFloatRendersAPicture) {
    EXPECT_EQ(Text(Call<TFormatFloat>({Variant(u"#,##0.00"), Variant(1234.5)})), u"1,234.50");
    EXPECT_EQ(Text(Call<TFormatFloat>({Variant(u"0.0"), Variant(u"2.25")})), u"2.3");
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TFormatFloat>({Variant(u"0"), Variant(u"x")}); },
                                                    SInvalidCast));
}

}  // namespace
}  // namespace xan::pas::test
