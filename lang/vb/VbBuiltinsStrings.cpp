#include "lang/vb/VbBuiltinsStrings.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "lang/vb/VbIntrinsicArgs.h"
#include "lang/vb/VbTextSearch.h"
#include "platform/core/FormatSettings.h"
#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/StrUtils.h"

namespace xan::vb {

using plat::Variant;

namespace {

constexpr plat::Integer MaxAnsiCode = 255;

std::uint16_t AnsiCodePage() noexcept { return plat::FormatSettings().AnsiCodePage; }

// A length or count argument; a negative one is a conversion error.
plat::Integer NonNegativeArg(const Variant& AArg) {
    const plat::Integer n = ArgInt(AArg);
    if (n < 0) RaiseConversionError();
    return n;
}

// AText with up to ALimit occurrences of the non-empty AFind replaced (a negative limit: all).
// The search goes on after each inserted text, which is never searched again.
plat::UString ReplaceText(plat::UString AText, const plat::UString& AFind, const plat::UString& AWith, plat::Integer ALimit,
                          TVbCompareMode AMode) {
    std::u16string result;
    plat::Integer pos = 1;
    for (plat::Integer done = 0; ALimit < 0 || done < ALimit; ++done) {
        const plat::Integer found = SearchForward(AText, AFind, pos, AMode);
        if (found == 0) break;
        result.append(AText.view().substr(std::size_t(pos - 1), std::size_t(found - pos)));
        result.append(AWith.view());
        pos = found + AFind.length();
    }
    result.append(AText.view().substr(std::size_t(pos - 1)));
    return plat::UString(result);
}

// Integer 1-based start arguments may not go below 1.
plat::Integer ClampStart(plat::Integer AStart) noexcept { return std::max<plat::Integer>(AStart, 1); }

}  // namespace

void TChr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::Integer code = ArgInt(AArgs[0]);
    if (code < 0 || code > MaxAnsiCode) RaiseConversionError();
    const char16_t c = plat::AnsiCharToWide(static_cast<std::uint8_t>(code), AnsiCodePage());
    AResult.SetString(plat::UString(std::u16string_view(&c, 1)));
}

void TAsc::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::UString text = ArgStr(AArgs[0]);
    if (text.empty()) RaiseConversionError();
    AResult.SetInteger(plat::WideCharToAnsi(text[0], AnsiCodePage()));
}

void TUCase::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetString(plat::WideUpperCase(ArgStr(AArgs[0])));
}

void TLCase::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetString(plat::WideLowerCase(ArgStr(AArgs[0])));
}

void TLen::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetInteger(ArgStr(AArgs[0]).length());
}

void TLTrim::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetString(plat::TrimLeft(ArgStr(AArgs[0])));
}

void TRTrim::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetString(plat::TrimRight(ArgStr(AArgs[0])));
}

void TTrim::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetString(plat::Trim(ArgStr(AArgs[0])));
}

void TSpace::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::StringOfChar(u' ', NonNegativeArg(AArgs[0])));
}

void TString::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0]) || ArgIsNull(AArgs[1])) return AResult.SetNull();
    const plat::Integer count = NonNegativeArg(AArgs[0]);
    const auto code = static_cast<std::uint8_t>(ArgInt(AArgs[1]));
    AResult.SetString(plat::StringOfChar(plat::AnsiCharToWide(code, AnsiCodePage()), count));
}

void TStrReverse::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::UString text = ArgStr(AArgs[0]);
    AResult.SetString(plat::UString(std::u16string(text.view().rbegin(), text.view().rend())));
}

void TStrComp::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 2, 3);
    if (ArgIsNull(AArgs[0]) || ArgIsNull(AArgs[1])) return AResult.SetNull();
    const plat::UString first = ArgStr(AArgs[0]);
    const plat::UString second = ArgStr(AArgs[1]);
    // -1 when the first string sorts before the second, as every comparison of this kind reads.
    const bool text = CompareModeArg(OptArg(ACall, AArgs, 2)) == TVbCompareMode::Text;
    const int order = text ? plat::AnsiCompareText(first, second) : plat::AnsiCompareStr(first, second);
    AResult.SetInteger(order < 0 ? -1 : order > 0 ? 1 : 0);
}

void TLeft::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    const plat::Integer count = NonNegativeArg(AArgs[1]);
    AResult.SetString(ArgStr(AArgs[0]).Substr(0, count));
}

void TRight::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    const plat::Integer count = NonNegativeArg(AArgs[1]);
    const plat::UString text = ArgStr(AArgs[0]);
    AResult.SetString(text.Substr(std::max<plat::Integer>(text.length() - count, 0)));
}

void TMid::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 2, 3);
    const Variant* lengthArg = OptArg(ACall, AArgs, 2);
    const plat::Integer length = lengthArg ? ArgInt(*lengthArg) : std::numeric_limits<plat::Integer>::max();
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    const plat::Integer start = ArgInt(AArgs[1]);
    if (start <= 0 || length < 0) RaiseConversionError();
    AResult.SetString(ArgStr(AArgs[0]).Substr(start - 1, length));
}

void TReplace::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 3, 6);
    const plat::UString text = ArgStr(AArgs[0]);
    const plat::UString find = ArgStr(AArgs[1]);
    const plat::UString with = ArgStr(AArgs[2]);
    const Variant* startArg = OptArg(ACall, AArgs, 3);
    const plat::Integer start = startArg ? ClampStart(ArgInt(*startArg)) : 1;
    const plat::Integer limit = CountArg(OptArg(ACall, AArgs, 4));
    const TVbCompareMode mode = CompareModeArg(OptArg(ACall, AArgs, 5));
    // The text before Start is not part of the result.
    const plat::UString rest = text.Substr(start - 1);
    AResult.SetString(find.empty() ? rest : ReplaceText(rest, find, with, limit, mode));
}

void TInStr::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 2, 4);
    const bool hasStart = ACall->FArgCount >= 3;
    const plat::Integer start = hasStart ? ClampStart(ArgInt(AArgs[0])) : 1;
    const plat::UString text = ArgStr(AArgs[hasStart ? 1 : 0]);
    const plat::UString find = ArgStr(AArgs[hasStart ? 2 : 1]);
    const TVbCompareMode mode = CompareModeArg(OptArg(ACall, AArgs, 3));
    if (text.length() - start + 1 <= 0) return AResult.SetInteger(0);
    // An empty text is found where the search starts.
    AResult.SetInteger(find.empty() ? start : SearchForward(text, find, start, mode));
}

void TInStrRev::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 2, 4);
    const plat::UString text = ArgStr(AArgs[0]);
    const plat::UString find = ArgStr(AArgs[1]);
    const Variant* startArg = OptArg(ACall, AArgs, 2);
    plat::Integer start = startArg ? ArgInt(*startArg) : -1;
    const TVbCompareMode mode = CompareModeArg(OptArg(ACall, AArgs, 3));
    if (start == -1 || start > text.length()) start = text.length();
    if (start <= 0) return AResult.SetInteger(0);
    // An empty text is found where the backward search starts.
    AResult.SetInteger(find.empty() ? start : SearchBackward(text, find, start, mode));
}

}  // namespace xan::vb
