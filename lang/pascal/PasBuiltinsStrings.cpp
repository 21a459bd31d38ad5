#include "lang/pascal/PasBuiltinsStrings.h"

#include "lang/pascal/PasIntrinsicArgs.h"
#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/StrUtils.h"

namespace xan::pas {

using plat::UString;
using plat::Variant;

void TLowerCase::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::LowerCase(ArgStr(AArgs[0])));
}

void TUpperCase::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::UpperCase(ArgStr(AArgs[0])));
}

void TAnsiLowerCase::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::AnsiLowerCase(ArgStr(AArgs[0])));
}

void TAnsiUpperCase::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::AnsiUpperCase(ArgStr(AArgs[0])));
}

void TCompareStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::CompareStr(ArgStr(AArgs[0]), ArgStr(AArgs[1])));
}

void TCompareText::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::CompareText(ArgStr(AArgs[0]), ArgStr(AArgs[1])));
}

void TAnsiCompareStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::AnsiCompareStr(ArgStr(AArgs[0]), ArgStr(AArgs[1])));
}

void TAnsiCompareText::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::AnsiCompareText(ArgStr(AArgs[0]), ArgStr(AArgs[1])));
}

void TTrim::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetString(plat::Trim(ArgStr(AArgs[0]))); }

void TTrimLeft::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::TrimLeft(ArgStr(AArgs[0])));
}

void TTrimRight::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::TrimRight(ArgStr(AArgs[0])));
}

void TIsValidIdent::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetBool(plat::IsValidIdent(ArgStr(AArgs[0])));
}

void TPos::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::Pos(ArgStr(AArgs[0]), ArgStr(AArgs[1])));
}

void TInsert::DoExecute(TXANCall*, PXANVarArray AArgs, Variant&) {
    const UString source = ArgStr(AArgs[0]);
    UString text = ArgStr(AArgs[1]);
    plat::Insert(source, text, ArgInt(AArgs[2]));
    SetOutArg(AArgs[1], Variant(std::move(text)));
}

void TDelete::DoExecute(TXANCall*, PXANVarArray AArgs, Variant&) {
    UString text = ArgStr(AArgs[0]);
    const plat::Integer index = ArgInt(AArgs[1]);
    plat::Delete(text, index, ArgInt(AArgs[2]));
    SetOutArg(AArgs[0], Variant(std::move(text)));
}

void TChr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const auto code = static_cast<char16_t>(static_cast<std::uint32_t>(ArgInt(AArgs[0])) & 0xFFFFu);
    AResult.SetString(UString(std::u16string_view(&code, 1)));
}

void TOrd::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::VarData value = plat::VarDerefAll(AArgs[0]);
    if (value.VType == plat::varOleStr || value.VType == plat::varString) {
        const std::u16string_view text = value.StrView();
        AResult.SetInteger(text.empty() ? 0 : static_cast<plat::Integer>(text[0]));
    } else {
        AResult.SetInteger(ArgInt(AArgs[0]));
    }
}

}  // namespace xan::pas
