// The Pascal language object: its built-in objects, texts and parser.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PasBuiltinsTestSupport.h"
#include "foundation/NameTable.h"
#include "lang/pascal/PasBuiltinList.h"
#include "lang/pascal/PasLanguage.h"
#include "platform/ole/ComPtr.h"

namespace xan::pas::test {

using enum TXANIntrinsicKind;
namespace {

// One new object of every built-in, in order; each must carry the name its entry gives.
std::vector<std::unique_ptr<TXANGlobalObject>> Enumerate(IXANLanguage& ALanguage) {
    std::vector<std::unique_ptr<TXANGlobalObject>> objects;
    for (const TXANBuiltin& builtin : ALanguage.Builtins()) {
        objects.emplace_back(builtin.Make());
        EXPECT_EQ(objects.back()->FStrName.view(), builtin.Name);
    }
    return objects;
}

plat::ComPtr<TXANPasLanguage> NewLanguage() { return plat::ComPtr<TXANPasLanguage>(new TXANPasLanguage()); }

constexpr const char16_t* BuiltinNames[] = {
    u"Null",          u"Unassigned",      u"Include",        u"Exclude",        u"Beep",
    u"ArcTan",        u"Cos",             u"Dec",            u"Sin",            u"LowerCase",
    u"High",          u"Low",             u"Ln",             u"AnsiCompareStr", u"AnsiCompareText",
    u"AnsiLowerCase", u"AnsiUpperCase",   u"Abs",            u"CompareStr",     u"CompareText",
    u"Date",          u"DateTimeToStr",   u"DateToStr",      u"DayOfWeek",      u"DecodeDate",
    u"Exp",           u"FloatToStr",      u"Frac",           u"Int",            u"IntToHex",
    u"IntToStr",      u"IsLeapYear",      u"IsValidIdent",   u"True",           u"False",
    u"Length",        u"Now",             u"Odd",            u"Pos",            u"Random",
    u"Round",         u"Sqr",             u"Sqrt",           u"StrToDate",      u"StrToDateTime",
    u"StrToFloat",    u"StrToInt",        u"StrToIntDef",    u"Time",           u"TimeToStr",
    u"StrToTime",     u"Trim",            u"TrimLeft",       u"TrimRight",      u"Trunc",
    u"UpperCase",     u"VarIsNull",       u"VarToStr",       u"Assigned",       u"ShowMessage",
    u"Insert",        u"IncMonth",        u"Inc",            u"Chr",            u"Copy",
    u"Delete",        u"CreateOleObject", u"GetActiveOleObject", u"InputQuery", u"DecodeTime",
    u"EncodeDate",    u"EncodeTime",      u"Format",         u"FormatFloat",    u"FormatDateTime",
    u"Ord",
};

TEST(PasLanguage, EnumeratesTheFlowObjectsThenEveryBuiltinInOrder) {
    auto language = NewLanguage();
    const auto objects = Enumerate(*language);
    ASSERT_EQ(objects.size(), 79u);
    EXPECT_EQ(objects[0]->GetGlobalObjType(), gtExit);
    EXPECT_EQ(objects[0]->FStrName, u"Exit");
    EXPECT_EQ(objects[1]->GetGlobalObjType(), gtBreak);
    EXPECT_EQ(objects[1]->FStrName, u"Break");
    EXPECT_EQ(objects[2]->GetGlobalObjType(), gtContinue);
    EXPECT_EQ(objects[2]->FStrName, u"Continue");
    for (std::size_t i = 0; i < std::size(BuiltinNames); ++i) {
        const TXANGlobalObject& o = *objects[i + 3];
        EXPECT_EQ(o.FStrName, BuiltinNames[i]) << i;
        EXPECT_EQ(o.GetGlobalObjType(), gtIntrinsic) << i;
        EXPECT_TRUE(o.Is<TPasIntrinsic>()) << i;
    }
}

TEST(PasLanguage, EveryObjectCarriesTheNameIdOfItsName) {
    auto language = NewLanguage();
    for (const auto& o : Enumerate(*language)) {
        EXPECT_EQ(o->FName, GlobalNameTable().GetNameIndex(o->FStrName, false)) << o->FStrName.ToUtf8();
        EXPECT_GE(o->FName, 0);
    }
}

TEST(PasLanguage, EachBuiltinIsItsOwnClassNamedAfterIt) {
    auto language = NewLanguage();
    const auto objects = Enumerate(*language);
    for (std::size_t i = 3; i < objects.size(); ++i) {
        const UString name = objects[i]->FStrName;
        const UString expected = name == u"Null"         ? UString(u"TNullObject")
                                 : name == u"Unassigned" ? UString(u"TUnassignedObject")
                                                         : UString(u"T" + std::u16string(name.view()));
        EXPECT_EQ(objects[i]->ClassName(), expected);
    }
}

TEST(PasLanguage, KindsAndCountsOfSomeBuiltins) {
    auto language = NewLanguage();
    const auto objects = Enumerate(*language);
    auto find = [&](std::u16string_view name) -> const TPasIntrinsic& {
        for (const auto& o : objects)
            if (o->FStrName.view() == name) return static_cast<const TPasIntrinsic&>(*o);
        ADD_FAILURE() << "missing";
        return static_cast<const TPasIntrinsic&>(*objects.back());
    };
    EXPECT_EQ(find(u"Null").FKind, bokConstant);
    EXPECT_EQ(find(u"Date").FKind, bokConstant);
    EXPECT_EQ(find(u"Now").FKind, bokFunction);
    EXPECT_EQ(find(u"Beep").FKind, bokProcedure);
    EXPECT_EQ(find(u"Dec").FKind, bokFunction);
    EXPECT_EQ(find(u"Inc").FKind, bokProcedure);
    EXPECT_EQ(find(u"Dec").FArgsCount, TPasIntrinsic::VariableArgs);
    EXPECT_EQ(find(u"DecodeTime").FArgsCount, 5);
    EXPECT_EQ(find(u"Format").FArgsCount, TPasIntrinsic::VariableArgs);
    EXPECT_EQ(find(u"Copy").FArgsCount, 3);
}

TEST(PasLanguage, EveryEnumerationMakesNewObjects) {
    auto language = NewLanguage();
    const auto first = Enumerate(*language);
    const auto second = Enumerate(*language);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_NE(first[i].get(), second[i].get());
}

TEST(PasLanguage, SpecialValueTexts) {
    auto language = NewLanguage();
    UString s;
    language->GetUnassignedText(s);
    EXPECT_EQ(s, u"Unassigned");
    language->GetNilText(s);
    EXPECT_EQ(s, u"nil");
    language->GetNullText(s);
    EXPECT_EQ(s, u"Null");
}

TEST(PasLanguage, QuoteStringDoublesApostrophes) {
    auto language = NewLanguage();
    UString s;
    language->QuoteString(u"It's", s);
    EXPECT_EQ(s, u"'It''s'");
    language->QuoteString(u"", s);
    EXPECT_EQ(s, u"''");
    language->QuoteString(u"''", s);
    EXPECT_EQ(s, u"''''''");
    language->QuoteString(u"say \"hi\"", s);
    EXPECT_EQ(s, u"'say \"hi\"'");
}

// Keeps what a parser reports.
class KeepAll : public IXANParserCallbacks {
public:
    Integer GetNameId(const UString& AName) override { return GlobalNameTable().GetNameIndex(AName, true); }
    void GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) override { Stmts.push_back(std::move(AStmt)); }
    void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool&) override { Objects.push_back(std::move(AObj)); }
    void UsedUnitParsed(const UString&, bool&) override {}
    std::vector<std::unique_ptr<IXANEmitable>> Stmts;
    std::vector<std::unique_ptr<TXANGlobalObject>> Objects;
};

TEST(PasLanguage, CreateParserGivesAPascalParserReportingToTheCallbacks) {
    auto language = NewLanguage();
    KeepAll callbacks;
    std::unique_ptr<IXANParserBase> parser = language->CreateParser(&callbacks);
    ASSERT_TRUE(parser);
    parser->Parse(u"var x; procedure P; begin end; begin x := 1; end;");
    EXPECT_EQ(callbacks.Objects.size(), 2u);
    EXPECT_FALSE(callbacks.Stmts.empty());
    EXPECT_TRUE(parser->ParseExpr(u"1 + 2"));
}

TEST(PasLanguage, IsReferenceCounted) {
    TXANPasLanguage* raw = new TXANPasLanguage();
    {
        plat::ComPtr<IXANLanguage> a(raw);
        plat::ComPtr<IXANLanguage> b(a);
        EXPECT_EQ(raw->RefCount(), 2);
    }
    // Released with the last reference (a leak or double free shows under the sanitizers).
}

}  // namespace
}  // namespace xan::pas::test
