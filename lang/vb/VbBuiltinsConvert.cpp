#include "lang/vb/VbBuiltinsConvert.h"

#include <array>
#include <cstdint>

#include "lang/vb/VbIntrinsicArgs.h"
#include "platform/ole/SafeArray.h"
#include "platform/text/DateText.h"
#include "platform/text/NumText.h"

namespace xan::vb {

using plat::Variant;

namespace {

constexpr plat::Integer OctalBitsPerDigit = 3;

plat::UString OctalDigits(plat::UInt64 AValue) {
    char16_t digits[24];  // 64 bits need 22 octal digits
    std::size_t start = std::size(digits);
    do {
        digits[--start] = static_cast<char16_t>(u'0' + (AValue & 7u));
        AValue >>= OctalBitsPerDigit;
    } while (AValue != 0);
    return plat::UString(std::u16string_view(digits + start, std::size(digits) - start));
}

bool IsDateText(const plat::VarData& AValue) {
    TDateTime ignored;
    return plat::TryStrToDateTime(AValue.StrView(), ignored);
}

bool IsNumericText(const plat::VarData& AValue) {
    double ignored;
    return plat::TryStrToFloat(AValue.StrView(), ignored);
}

bool IsNumericType(plat::VarType AType) noexcept {
    switch (AType) {
    case plat::varEmpty:
    case plat::varSmallint:
    case plat::varInteger:
    case plat::varSingle:
    case plat::varDouble:
    case plat::varCurrency:
    case plat::varError:
    case plat::varBoolean:
    case plat::varShortInt:
    case plat::varByte:
    case plat::varWord:
    case plat::varLongWord:
    case plat::varInt64:
    case plat::varUInt64:
        return true;
    default:
        return false;
    }
}

bool IsStringType(plat::VarType AType) noexcept { return AType == plat::varOleStr || AType == plat::varString; }

// TypeName texts by type code; the codes 14 and 15 and those past the table read "Unknown".
constexpr std::array<const char16_t*, plat::varUInt64 + 1> TypeNames = {
    u"Empty",   u"Null",    u"SmallInt", u"Integer",    u"Single",   u"Double",  u"Currency", u"Date",
    u"String",  u"Object",  u"Error",    u"Boolean",    u"Variant",  u"DataObject", u"Unknown", u"Unknown",
    u"ShortInt", u"Byte",   u"Word",     u"LongWord",   u"Int64",    u"UInt64",
};

}  // namespace

plat::UInt64 IntegerBitsOf(const Variant& AValue) {
    const plat::VarData d = plat::VarDerefAll(AValue);
    switch (d.VType) {
    case plat::varShortInt:
        return static_cast<std::uint8_t>(d.VShortInt);
    case plat::varSmallint:
        return static_cast<std::uint16_t>(d.VSmallInt);
    case plat::varBoolean:
        return static_cast<std::uint16_t>(d.VBoolean);
    case plat::varInteger:
        return static_cast<std::uint32_t>(d.VInteger);
    case plat::varInt64:
        return static_cast<plat::UInt64>(d.VInt64);
    case plat::varByte:
    case plat::varWord:
    case plat::varLongWord:
    case plat::varUInt64:
        return plat::VarToUInt64(d);
    default:
        // Any other value converts as CLng does: one outside the 32-bit range overflows rather
        // than showing digits of a wider integer the script never had.
        return static_cast<std::uint32_t>(ArgInt(AValue));
    }
}

plat::UString VbTypeNameOf(const Variant& AValue) {
    const plat::VarData d = plat::VarDerefAll(AValue);
    const plat::VarType type = d.VType & plat::varTypeMask;
    const bool isArray = (d.VType & plat::varArray) != 0;
    plat::UString name = type < TypeNames.size() ? TypeNames[type] : u"Unknown";
    if (type == plat::varDispatch && !isArray && d.VDispatch == nullptr) name = u"Nothing";
    return isArray ? name + std::u16string_view(u"()") : name;
}

void TCBool::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetBool(ArgBool(AArgs[0])); }

void TCByte::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    // The low 8 bits, without a range check.
    AResult = Variant(static_cast<std::uint8_t>(ArgInt(AArgs[0])));
}

void TCCur::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult = Variant(plat::VarToCurrency(AArgs[0])); }

void TCDate::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { SetDateResult(AResult, ArgDate(AArgs[0])); }

void TCDbl::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(ArgFloat(AArgs[0])); }

// Integers are 32 bits in this dialect, so CInt has no 16-bit overflow.
void TCInt::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetInteger(ArgInt(AArgs[0])); }

void TCLng::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetInteger(ArgInt(AArgs[0])); }

void TCSng::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult = Variant(plat::VarToSingle(AArgs[0])); }

void TCStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetString(ArgStr(AArgs[0])); }

void TOct::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(OctalDigits(IntegerBitsOf(AArgs[0])));
}

void THex::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::IntToHex(IntegerBitsOf(AArgs[0]), 0));
}

void TVarType_::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::VarDerefAll(AArgs[0]).VType);
}

void TTypeName::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetString(VbTypeNameOf(AArgs[0])); }

void TIsArray::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetBool((plat::VarDerefAll(AArgs[0]).VType & plat::varArray) != 0);
}

void TIsDate::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::VarData d = plat::VarDerefAll(AArgs[0]);
    AResult.SetBool(d.VType == plat::varDate || (IsStringType(d.VType) && IsDateText(d)));
}

void TIsEmpty::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetBool(plat::VarTypeOf(AArgs[0]) == plat::varEmpty);
}

void TIsNull::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetBool(ArgIsNull(AArgs[0])); }

void TIsNumeric::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::VarData d = plat::VarDerefAll(AArgs[0]);
    AResult.SetBool(IsNumericType(d.VType) || (IsStringType(d.VType) && IsNumericText(d)));
}

void TIsObject::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetBool(plat::VarTypeOf(AArgs[0]) == plat::varDispatch);
}

}  // namespace xan::vb
