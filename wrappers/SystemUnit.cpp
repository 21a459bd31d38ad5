// The members of the basic unit "System", in their declared order.
#include <cmath>

#include "platform/core/Exception.h"
#include "platform/ole/HResult.h"
#include "platform/rtl/DirUtils.h"
#include "platform/rtl/MathUtil.h"
#include "platform/rtl/Random.h"
#include "platform/rtl/StrUtils.h"
#include "platform/text/NumText.h"
#include "wrappers/SystemWrappers.h"

namespace xan {

namespace {

using plat::Int64;
using plat::Integer;
using plat::UString;
using plat::VarData;
using plat::Variant;
using Extended = long double;

// Sets are 32-bit integers: element e is bit (e AND 31).
std::uint32_t SetBit(Integer AElement) { return 1u << (static_cast<std::uint32_t>(AElement) & 31u); }

// Stores AValue into the variable a by-reference argument denotes (by-value: nothing).
void StoreThrough(const VarData& AArg, Variant AValue) {
    if (AArg.VType == plat::varRefVariant) static_cast<Variant*>(AArg.VPointer)->DerefMut() = std::move(AValue);
}

bool IsIntegerValue(const VarData& AValue) {
    switch (plat::VarTypeOf(AValue)) {
        case plat::varSmallint: case plat::varInteger: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64: case plat::varUInt64: case plat::varBoolean:
            return true;
        default:
            return false;
    }
}

Variant Assert(void*, const VarData* AArgs, int AArgCount, bool) {
    if (AArgCount < 1 || AArgCount > 2) RaiseWrongArgCount(u"Assert");
    if (!plat::VarToBool(AArgs[0]))
        plat::Raise(new plat::EAssertionFailed(AArgCount == 2 ? plat::VarToUString(AArgs[1]) : UString(u"Assertion failure")));
    return Variant();
}

Variant Concat(void*, const VarData* AArgs, int AArgCount, bool) {
    UString text;
    for (int i = 0; i < AArgCount; ++i) text += plat::VarToUString(AArgs[i]);
    return Variant(std::move(text));
}

Variant Random(void*, const VarData* AArgs, int AArgCount, bool) {
    if (AArgCount == 0) return Variant(plat::Random());
    if (AArgCount == 1) return Variant(plat::Random(plat::VarToInt32(AArgs[0])));
    RaiseWrongArgCount(u"Random");
}

// Str(value, [width, [decimals,]] var text).
Variant Str(void*, const VarData* AArgs, int AArgCount, bool) {
    if (AArgCount < 2 || AArgCount > 4) RaiseWrongArgCount(u"Str");
    const int width = AArgCount >= 3 ? plat::VarToInt32(AArgs[1]) : -1;
    const int decimals = AArgCount == 4 ? plat::VarToInt32(AArgs[2]) : -1;
    const VarData& value = AArgs[0];
    UString text = IsIntegerValue(value) ? plat::StrInt(plat::VarToInt64(value), width)
                                         : plat::StrFloat(plat::VarToDouble(value), width, decimals);
    StoreThrough(AArgs[AArgCount - 1], Variant(std::move(text)));
    return Variant();
}

Variant SetMake(void*, const VarData* AArgs, int AArgCount, bool) {
    std::uint32_t set = 0;
    for (int i = 0; i < AArgCount; ++i) set |= SetBit(plat::VarToInt32(AArgs[i]));
    return Variant(static_cast<Integer>(set));
}

const TXANRecordWrapperClass& RecordType(const VarData& AType) {
    const auto* cls = dynamic_cast<const TXANRecordWrapperClass*>(MetatypeFromVar(AType, false));
    if (!cls) plat::Raise(new plat::EVariantTypeCastError(u"Invalid variant type conversion"));
    return *cls;
}

TXANRecordWrapper& RecordOf(const VarData& ARecord) {
    auto* record = dynamic_cast<TXANRecordWrapper*>(VarToWrapper(ARecord, false));
    if (!record) plat::Raise(new plat::EVariantTypeCastError(u"Invalid variant type conversion"));
    return *record;
}

UString Utf8Bytes(const UString& AText) {
    const std::string bytes = AText.ToUtf8();
    std::u16string text(bytes.begin(), bytes.end());
    for (char16_t& c : text) c = static_cast<unsigned char>(c);
    return UString(text);
}

void SetTextLength(UString& AText, Int64 ALength) {
    std::u16string text(AText.view());
    text.resize(static_cast<std::size_t>(std::max<Int64>(ALength, 0)), u'\0');
    AText = UString(text);
}

}  // namespace

void System_sw::AddMembers(TXANUnitMembers& m) {
    m.Type(TObject_sw::Class())
        .Type(TInterfacedObject_sw::Class())
        .Type(TAggregatedObject_sw::Class())
        .Type(TContainedObject_sw::Class());
    m.Routine(u"Abs", [](double x) -> Extended { return std::fabs(x); });
    m.RoutineAs<String_sw>(u"AnsiToUtf8", [](const UString& s) { return Utf8Bytes(s); });
    m.Routine(u"ArcTan", [](double x) -> Extended { return std::atan(x); });
    m.RawProcedure(u"Assert", Assert, 1, true);
    m.Routine(u"ChDir", [](const UString& dir) { plat::ChDir(dir); });
    m.RoutineAs<Char_sw>(u"Chr", [](Integer code) { return static_cast<char16_t>(code & 0xFF); });
    m.Routine(u"CompToCurrency", [](double x) { return plat::Currency::FromScaled(plat::Round(x) * plat::Currency::Scale); });
    m.Routine(u"CompToDouble", [](double x) { return static_cast<double>(plat::Round(x)); });
    m.RawFunction(u"Concat", Concat, String_sw::Class(), 1, true);
    m.Routine(u"Copy", [](const UString& s, Int64 index, Int64 count) { return plat::Copy(s, index, count); });
    m.Routine(u"Cos", [](double x) -> Extended { return std::cos(x); });
    m.Routine(u"CurrencyToComp", [](plat::Currency value, Int64& result) { result = plat::CurrencyRoundToInt(value); });
    m.Routine(u"Delete", [](UString& s, Int64 index, Int64 count) { plat::Delete(s, index, count); });
    m.Routine(u"DoubleToComp", [](double value, Int64& result) { result = plat::Round(value); });
    m.Routine(u"ExceptObject", []() -> plat::TObject* { return XANCurrentHandledException(); });
    m.Routine(u"Exp", [](double x) -> Extended { return std::exp(x); });
    m.Routine(u"Frac", [](double x) -> Extended { return plat::Frac(x); });
    // No drives here: every drive number has the one current directory.
    m.Routine(u"GetDir", [](Integer, UString& dir) { dir = plat::GetCurrentDir(); });
    m.Routine(u"Insert", [](const UString& source, UString& s, Int64 index) { plat::Insert(source, s, index); });
    m.Routine(u"Int", [](double x) -> Extended { return std::trunc(x); });
    m.Routine(u"Length", [](const UString& s) { return s.length(); });
    m.Routine(u"Ln", [](double x) -> Extended { return std::log(x); });
    m.Constant(u"MaxInt", Integer(2147483647)).Constant(u"MaxLongint", Integer(2147483647));
    m.Routine(u"MkDir", [](const UString& dir) { plat::MkDir(dir); });
    m.Routine(u"Odd", [](Int64 x) { return (x & 1) != 0; });
    m.Routine(u"Pi", []() -> Extended { return plat::Pi; });
    m.Routine(u"Pos", [](const UString& sub, const UString& s) { return plat::Pos(sub.view(), s.view()); });
    m.RawFunction(u"Random", Random, Extended_sw::Class(), 0, true);
    m.Routine(u"Randomize", [] { plat::Randomize(); });
    m.Variable(u"RandSeed", [] { return plat::RandSeed(); }, [](Integer seed) { plat::SetRandSeed(seed); });
    m.Routine(u"RmDir", [](const UString& dir) { plat::RmDir(dir); });
    m.Routine(u"Round", [](double x) { return plat::Round(x); });
    m.Routine(u"SetLength", SetTextLength);
    m.Routine(u"Sin", [](double x) -> Extended { return std::sin(x); });
    m.Routine(u"Sqr", [](double x) -> Extended { return x * x; });
    m.Routine(u"Sqrt", [](double x) -> Extended { return std::sqrt(x); });
    m.RawProcedure(u"Str", Str, 2, true);
    m.Routine(u"Trunc", [](double x) { return plat::Trunc(x); });
    for (const TXANTypeWrapperClass* type : std::initializer_list<const TXANTypeWrapperClass*>{
             Boolean_sw::Class(), WordBool_sw::Class(), Integer_sw::Class(), Cardinal_sw::Class(),
             Int64_sw::Class(), UInt64_sw::Class(), NativeInt_sw::Class(), NativeUInt_sw::Class(),
             Single_sw::Class(), Double_sw::Class(), Extended_sw::Class(), Currency_sw::Class(),
             Byte_sw::Class(), Smallint_sw::Class(), Shortint_sw::Class(), Word_sw::Class(),
             Longword_sw::Class(), Longint_sw::Class(), Char_sw::Class(), AnsiChar_sw::Class(),
             WideChar_sw::Class(), String_sw::Class(), ShortString_sw::Class(), AnsiString_sw::Class(),
             WideString_sw::Class(), Variant_sw::Class(), OleVariant_sw::Class(), TGUID_sw::Class(),
             TVarRecord_sw::Class(), TVarData_sw::Class(), TTextLineBreakStyle_sw::Class(),
             RawByteString_sw::Class(), UnicodeString_sw::Class(), TCustomAttribute_sw::Class(),
             TPtrWrapper_sw::Class(), TMethod_sw::Class()})
        m.Type(type);
    m.Routine(u"Include", [](Integer& set, Integer e) { set = static_cast<Integer>(static_cast<std::uint32_t>(set) | SetBit(e)); });
    m.Routine(u"Exclude", [](Integer& set, Integer e) { set = static_cast<Integer>(static_cast<std::uint32_t>(set) & ~SetBit(e)); });
    m.Routine(u"SetIn", [](Integer e, Integer set) { return (static_cast<std::uint32_t>(set) & SetBit(e)) != 0; });
    m.RawFunction(u"SetMake", SetMake, Integer_sw::Class(), 0, true);
    m.RawFunction(u"SetEmpty", [](void*, const VarData*, int, bool) { return Variant(plat::Byte(0)); },
                  Integer_sw::Class(), 0);
    m.Routine(u"ObjectIs", [](const VarData& obj, const VarData& cls) {
        const plat::TObject* o = ObjectFromVar(obj, nullptr);
        return o != nullptr && o->InheritsFrom(ClassFromVar(cls, nullptr));
    });
    m.Routine(u"RecIs", [](const VarData& rec, const VarData& type) { return WrapperIs(rec, type); });
    m.RawFunction(u"RecNew", [](void*, const VarData* AArgs, int, bool) { return RecordType(AArgs[0]).Create()->ToVariant(); },
                  nullptr, 1);
    m.RawFunction(u"RecCopy", [](void*, const VarData* AArgs, int, bool) { return RecordOf(AArgs[0]).CopyWrapper()->ToVariant(); },
                  nullptr, 1);
    m.Routine(u"EventMake", [](TXANUnitWrapper& unit, const UString& procName) {
        return TXANEventWrapper::ToVar(unit.FScriptControl, procName);
    });
}

}  // namespace xan
