// The VBScript language object: parser, built-in objects in order, special-value texts and
// string quoting. Also the values of the named constants.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "VbIntrinsicTestSupport.h"
#include "foundation/NameTable.h"
#include "lang/vb/VbBuiltinList.h"
#include "lang/vb/VbLanguage.h"
#include "lang/vb/VbParser.h"
#include "platform/ole/ComPtr.h"

namespace xan::vb::bitest {

using enum TXANIntrinsicKind;
namespace {

// One new object of every built-in, in order; each must carry the name its entry gives.
std::vector<std::unique_ptr<TXANGlobalObject>> Enumerate(TXANVbLanguage& ALanguage) {
    std::vector<std::unique_ptr<TXANGlobalObject>> objects;
    for (const TXANBuiltin& builtin : ALanguage.Builtins()) {
        objects.emplace_back(builtin.Make());
        EXPECT_EQ(objects.back()->FStrName.view(), builtin.Name);
    }
    return objects;
}

const char* const ExpectedOrder[] = {
    "vbEmpty", "vbNull", "vbSmallInt", "LongWord", "ShortInt", "Int64", "UInt64", "vbInteger", "vbSingle",
    "vbDouble", "vbCurrency", "vbDate", "vbString", "vbObject", "vbError", "vbBoolean", "vbVariant",
    "vbDataObject", "vbByte", "vbArray", "vbUseSystemDayOfWeek", "vbSunday", "vbMonday", "vbTuesday",
    "vbWednesday", "vbThursday", "vbFriday", "vbSaturday", "vbBinaryCompare", "vbTextCompare", "vbOKOnly",
    "vbOKCancel", "vbAbortRetryIgnore", "vbYesNoCancel", "vbYesNo", "vbRetryCancel", "vbCritical", "vbQuestion",
    "vbExclamation", "vbInformation", "vbOK", "vbCancel", "vbAbort", "vbRetry", "vbIgnore", "vbYes", "vbNo",
    "Abs", "Atn", "Cos", "Sin", "Tan", "Sqr", "Exp", "CBool", "CByte", "CCur", "CDate", "CDbl", "CInt", "CLng",
    "CSng", "CStr", "Chr", "Int", "Fix", "Log", "Round", "Sgn", "Oct", "Hex", "VarType", "TypeName", "IsArray",
    "IsDate", "IsEmpty", "IsNull", "IsNumeric", "IsObject", "Array", "LBound", "UBound", "Now", "Date", "Time",
    "Year", "Month", "Day", "Hour", "Minute", "Second", "Weekday", "WeekdayName", "MonthName", "DateSerial",
    "TimeSerial", "DateValue", "TimeValue", "DateAdd", "Timer", "RGB", "Join", "Filter", "Rnd", "Randomize",
    "CreateObject", "GetObject", "Asc", "UCase", "LCase", "Len", "LTrim", "RTrim", "Trim", "Space", "String",
    "StrReverse", "StrComp", "Left", "Mid", "Right", "Split", "Replace", "InStr", "InStrRev", "InputBox",
    "MsgBox", "GetRef",
};

const Integer ExpectedConstantValues[] = {0,  1,  2,  19, 16, 20, 21, 3,  4,  5,  6,  7,  8,  9,  10, 11,
                                          12, 13, 17, 8192, 0, 1, 2,  3,  4,  5,  6,  7,  0,  1,  0,  1,
                                          2,  3,  4,  5,  16, 32, 48, 64, 1,  2,  3,  4,  5,  6,  7};

TEST(VbLanguage, EnumeratesThe128BuiltInsInOrder) {
    plat::ComPtr<TXANVbLanguage> language(new TXANVbLanguage);
    const auto objects = Enumerate(*language);
    ASSERT_EQ(objects.size(), std::size(ExpectedOrder));
    ASSERT_EQ(objects.size(), 128u);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const TXANGlobalObject& object = *objects[i];
        EXPECT_EQ(Utf8(object.FStrName), ExpectedOrder[i]);
        EXPECT_EQ(object.GetGlobalObjType(), gtIntrinsic);
        EXPECT_EQ(object.FName, GlobalNameTable().GetNameIndex(object.FStrName, false));
    }
}

TEST(VbLanguage, KindsAndCounts) {
    plat::ComPtr<TXANVbLanguage> language(new TXANVbLanguage);
    const auto objects = Enumerate(*language);
    int constants = 0, functions = 0, procedures = 0;
    for (const auto& object : objects) {
        auto* intrinsic = dynamic_cast<TVbIntrinsic*>(object.get());
        ASSERT_NE(intrinsic, nullptr);
        constants += intrinsic->FKind == bokConstant;
        functions += intrinsic->FKind == bokFunction;
        procedures += intrinsic->FKind == bokProcedure;
    }
    EXPECT_EQ(constants, 47);
    EXPECT_EQ(functions, 80);
    EXPECT_EQ(procedures, 1);
}

TEST(VbLanguage, ConstantValues) {
    plat::ComPtr<TXANVbLanguage> language(new TXANVbLanguage);
    const auto objects = Enumerate(*language);
    for (std::size_t i = 0; i < std::size(ExpectedConstantValues); ++i) {
        auto& constant = dynamic_cast<TVbIntrinsic&>(*objects[i]);
        EXPECT_EQ(Int(Exec(constant, {}, bkNon)), ExpectedConstantValues[i]) << ExpectedOrder[i];
    }
}

TEST(VbLanguage, EveryCallMakesAFreshSet) {
    plat::ComPtr<TXANVbLanguage> language(new TXANVbLanguage);
    const auto first = Enumerate(*language);
    const auto second = Enumerate(*language);
    std::set<const TXANGlobalObject*> seen;
    for (const auto& object : first) seen.insert(object.get());
    for (const auto& object : second) EXPECT_EQ(seen.count(object.get()), 0u);
    EXPECT_EQ(first[5]->FName, second[5]->FName);
}

TEST(VbLanguage, SpecialValueTexts) {
    plat::ComPtr<TXANVbLanguage> language(new TXANVbLanguage);
    UString text;
    language->GetUnassignedText(text);
    EXPECT_EQ(text, u"Empty");
    language->GetNilText(text);
    EXPECT_EQ(text, u"Nothing");
    language->GetNullText(text);
    EXPECT_EQ(text, u"Null");
}

TEST(VbLanguage, QuoteStringDoublesDoubleQuotes) {
    plat::ComPtr<TXANVbLanguage> language(new TXANVbLanguage);
    UString text;
    language->QuoteString(u"say \"hi\"", text);
    EXPECT_EQ(text, u"\"say \"\"hi\"\"\"");
    language->QuoteString(u"", text);
    EXPECT_EQ(text, u"\"\"");
    language->QuoteString(u"it's", text);
    EXPECT_EQ(text, u"\"it's\"");
}

class NullCallbacks final : public IXANParserCallbacks {
public:
    Integer GetNameId(const UString& AName) override { return GlobalNameTable().GetNameIndex(AName, true); }
    void GlobalStmtParsed(std::unique_ptr<IXANEmitable>) override { ++Statements; }
    void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) override {
        AObj.reset();
        ADuplicateName = false;
    }
    void UsedUnitParsed(const UString&, bool& ADuplicateName) override { ADuplicateName = false; }
    int Statements = 0;
};

TEST(VbLanguage, CreateParserGivesTheDialectsParser) {
    plat::ComPtr<TXANVbLanguage> language(new TXANVbLanguage);
    NullCallbacks callbacks;
    const std::unique_ptr<IXANParserBase> parser = language->CreateParser(&callbacks);
    ASSERT_NE(dynamic_cast<TXANVbParser*>(parser.get()), nullptr);
    parser->Parse(u"x = 1\nMsgBox \"Hi\"\n");
    EXPECT_EQ(callbacks.Statements, 2);
}

}  // namespace
}  // namespace xan::vb::bitest
