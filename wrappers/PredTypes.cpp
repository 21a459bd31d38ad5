#include "wrappers/PredTypes.h"

#include "platform/rtl/CodePage.h"

namespace xan {

namespace {
plat::Variant CharCodeToVar(char16_t ACode) { return plat::Variant(static_cast<plat::Integer>(ACode)); }
plat::Variant BytesToVar(const std::string& AValue) { return plat::Variant(plat::AnsiToWide(AValue)); }
std::string BytesFromVar(const plat::VarData& AValue) { return plat::WideToAnsi(plat::VarToUString(AValue).view()); }
plat::Integer LowBits(const plat::VarData& AValue, unsigned ABits) {
    return static_cast<plat::Integer>(static_cast<std::uint32_t>(plat::VarToInt32(AValue)) & ((1u << ABits) - 1));
}
plat::Cardinal Low32(const plat::VarData& AValue) { return static_cast<plat::Cardinal>(plat::VarToInt64(AValue)); }
plat::Variant CopyOf(const plat::VarData& AValue) { return plat::Variant(plat::VarDerefAll(AValue)); }
}  // namespace

#define XAN_PRED_CLASS(Name, VarTypeCode)                                                                \
    const TXANPredTypeWrapperClass* Name##_sw::Class() {                                                \
        static const TXANPredTypeWrapperClass* cls = new TXANPredTypeWrapperClass(u"" #Name, VarTypeCode); \
        return cls;                                                                                      \
    }
#define XAN_PRED_CONV(Name, ToExpr, FromExpr)                                               \
    plat::Variant Name##_sw::ToVar(Type AValue) { return ToExpr; }                            \
    Name##_sw::Type Name##_sw::FromVar(const plat::VarData& AValue) { return FromExpr; }

XAN_PRED_CLASS(Boolean, plat::varBoolean)
XAN_PRED_CONV(Boolean, plat::Variant(AValue), plat::VarToBool(AValue))
XAN_PRED_CLASS(WordBool, plat::varBoolean)
XAN_PRED_CONV(WordBool, plat::Variant(AValue), plat::VarToBool(AValue))
XAN_PRED_CLASS(Integer, plat::varInteger)
XAN_PRED_CONV(Integer, plat::Variant(AValue), plat::VarToInt32(AValue))
XAN_PRED_CLASS(Cardinal, plat::varLongWord)
XAN_PRED_CONV(Cardinal, plat::Variant(AValue), Low32(AValue))
XAN_PRED_CLASS(Int64, plat::varInt64)
XAN_PRED_CONV(Int64, plat::Variant(AValue), plat::VarToInt64(AValue))
XAN_PRED_CLASS(UInt64, plat::varUInt64)
XAN_PRED_CONV(UInt64, plat::Variant(AValue), plat::VarToUInt64(AValue))
XAN_PRED_CLASS(NativeInt, plat::varInteger)
XAN_PRED_CONV(NativeInt, plat::Variant(AValue), plat::VarToInt32(AValue))
XAN_PRED_CLASS(NativeUInt, plat::varLongWord)
XAN_PRED_CONV(NativeUInt, plat::Variant(AValue), Low32(AValue))
XAN_PRED_CLASS(Single, plat::varSingle)
XAN_PRED_CONV(Single, plat::Variant(AValue), static_cast<float>(plat::VarToDouble(AValue)))
XAN_PRED_CLASS(Double, plat::varDouble)
XAN_PRED_CONV(Double, plat::Variant(AValue), plat::VarToDouble(AValue))
XAN_PRED_CLASS(Extended, plat::varDouble)
XAN_PRED_CONV(Extended, plat::Variant(static_cast<double>(AValue)), plat::VarToDouble(AValue))
XAN_PRED_CLASS(Currency, plat::varCurrency)
XAN_PRED_CONV(Currency, plat::Variant(AValue), plat::VarToCurrency(AValue))
XAN_PRED_CLASS(Byte, plat::varByte)
XAN_PRED_CONV(Byte, plat::Variant(AValue), static_cast<plat::Byte>(LowBits(AValue, 8)))
XAN_PRED_CLASS(Smallint, plat::varSmallint)
XAN_PRED_CONV(Smallint, plat::Variant(AValue), static_cast<plat::SmallInt>(LowBits(AValue, 16)))
XAN_PRED_CLASS(Shortint, plat::varShortInt)
XAN_PRED_CONV(Shortint, plat::Variant(AValue), static_cast<plat::ShortInt>(LowBits(AValue, 8)))
XAN_PRED_CLASS(Word, plat::varWord)
XAN_PRED_CONV(Word, plat::Variant(AValue), static_cast<plat::Word>(LowBits(AValue, 16)))
XAN_PRED_CLASS(Longword, plat::varLongWord)
XAN_PRED_CONV(Longword, plat::Variant(AValue), Low32(AValue))
XAN_PRED_CLASS(Longint, plat::varInteger)
XAN_PRED_CONV(Longint, plat::Variant(AValue), plat::VarToInt32(AValue))
// Characters travel as their code, though their type information says string.
XAN_PRED_CLASS(Char, plat::varOleStr)
XAN_PRED_CONV(Char, CharCodeToVar(AValue), static_cast<char16_t>(LowBits(AValue, 16)))
XAN_PRED_CLASS(AnsiChar, plat::varOleStr)
XAN_PRED_CONV(AnsiChar, CharCodeToVar(static_cast<unsigned char>(AValue)), static_cast<char>(LowBits(AValue, 8)))
XAN_PRED_CLASS(WideChar, plat::varOleStr)
XAN_PRED_CONV(WideChar, CharCodeToVar(AValue), static_cast<char16_t>(LowBits(AValue, 16)))
XAN_PRED_CLASS(String, plat::varOleStr)
XAN_PRED_CONV(String, plat::Variant(std::move(AValue)), plat::VarToUString(AValue))
XAN_PRED_CLASS(ShortString, plat::varOleStr)
XAN_PRED_CONV(ShortString, BytesToVar(AValue), BytesFromVar(AValue).substr(0, 255))
XAN_PRED_CLASS(AnsiString, plat::varOleStr)
XAN_PRED_CONV(AnsiString, BytesToVar(AValue), BytesFromVar(AValue))
XAN_PRED_CLASS(RawByteString, plat::varOleStr)
XAN_PRED_CONV(RawByteString, BytesToVar(AValue), BytesFromVar(AValue))
XAN_PRED_CLASS(WideString, plat::varOleStr)
XAN_PRED_CONV(WideString, plat::Variant(std::move(AValue)), plat::VarToUString(AValue))
XAN_PRED_CLASS(UnicodeString, plat::varOleStr)
XAN_PRED_CONV(UnicodeString, plat::Variant(std::move(AValue)), plat::VarToUString(AValue))
XAN_PRED_CLASS(TDateTime, plat::varDate)
XAN_PRED_CONV(TDateTime, plat::Variant::FromDate(AValue), plat::VarToDouble(AValue))
XAN_PRED_CLASS(Variant, plat::varVariant)
XAN_PRED_CONV(Variant, AValue, CopyOf(AValue))
XAN_PRED_CLASS(OleVariant, plat::varVariant)
XAN_PRED_CONV(OleVariant, AValue, CopyOf(AValue))

}  // namespace xan
