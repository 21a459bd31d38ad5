#include "lang/vb/VbBuiltinsArrays.h"

#include <vector>

#include "lang/vb/VbIntrinsicArgs.h"
#include "lang/vb/VbTextSearch.h"
#include "platform/ole/VarErrors.h"

namespace xan::vb {

using plat::Variant;

namespace {

const plat::UString DefaultDelimiter = u" ";

const plat::SafeArray& BoundsArray(const Variant& AArg) {
    const plat::VarData d = plat::VarDerefAll(AArg);
    if ((d.VType & plat::varArray) == 0 || d.VArray == nullptr) plat::RaiseVarNotArray();
    return *d.VArray;
}

// The array argument of LBound/UBound and the dimension asked for (1 when omitted).
struct TBoundsQuery {
    const plat::SafeArray& Array;
    int Dim;
};

TBoundsQuery BoundsQueryOf(const TXANCall* ACall, PXANVarArray AArgs) {
    CheckArgCount(ACall, 1, 2);
    const plat::SafeArray& array = BoundsArray(AArgs[0]);
    const Variant* dimArg = OptArg(ACall, AArgs, 1);
    return {array, dimArg ? ArgInt(*dimArg) : 1};
}

std::vector<plat::UString> ElementTexts(const plat::SafeArray& AArray) {
    std::vector<plat::UString> texts;
    texts.reserve(std::size_t(AArray.ElementCount()));
    Variant element;
    for (std::int64_t i = 0; i < AArray.ElementCount(); ++i) {
        AArray.GetFlat(i, element);
        texts.push_back(ArgStr(element));
    }
    return texts;
}

// The pieces of AText between the occurrences of the non-empty ADelim, at most ALimit of them
// (a negative limit: all). When the limit stops the split early, the last piece holds the rest
// of the text, delimiters included, so that no text is lost.
std::vector<plat::UString> SplitText(const plat::UString& AText, const plat::UString& ADelim, plat::Integer ALimit,
                                     TVbCompareMode AMode) {
    std::vector<plat::UString> pieces;
    plat::Integer pos = 1;
    while (ALimit < 0 || plat::Integer(pieces.size()) + 1 < ALimit) {
        const plat::Integer found = SearchForward(AText, ADelim, pos, AMode);
        if (found == 0) break;
        pieces.push_back(AText.Substr(pos - 1, found - pos));
        pos = found + ADelim.length();
    }
    pieces.push_back(AText.Substr(pos - 1));
    return pieces;
}

}  // namespace

void TArray::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    Variant result = Variant::FromArray(plat::SafeArray::Create1(plat::varVariant, 0, ACall->FArgCount));
    plat::SafeArray& array = result.MutableArray();
    for (plat::Integer i = 0; i < ACall->FArgCount; ++i) array.PutFlat(i, AArgs[i]);
    AResult = std::move(result);
}

void TLBound::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    const TBoundsQuery query = BoundsQueryOf(ACall, AArgs);
    AResult.SetInteger(query.Array.Low(query.Dim));
}

void TUBound::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    const TBoundsQuery query = BoundsQueryOf(ACall, AArgs);
    AResult.SetInteger(query.Array.High(query.Dim));
}

void TJoin::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 2);
    const Variant* delimArg = OptArg(ACall, AArgs, 1);
    const plat::UString delim = delimArg ? ArgStr(*delimArg) : DefaultDelimiter;
    const std::vector<plat::UString> texts = ElementTexts(ArgVector(AArgs[0]));
    std::u16string joined;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) joined += delim.view();
        joined += texts[i].view();
    }
    AResult.SetString(plat::UString(joined));
}

void TFilter::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 2, 4);
    const plat::UString value = ArgStr(AArgs[1]);
    const Variant* includeArg = OptArg(ACall, AArgs, 2);
    const bool include = includeArg ? ArgBool(*includeArg) : true;
    const TVbCompareMode mode = CompareModeArg(OptArg(ACall, AArgs, 3));
    std::vector<plat::UString> kept;
    for (plat::UString& text : ElementTexts(ArgVector(AArgs[0])))
        if (TextsMatch(text, value, mode) == include) kept.push_back(std::move(text));
    AResult = StringArray(kept);
}

void TSplit::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 4);
    const plat::UString text = ArgStr(AArgs[0]);
    const Variant* delimArg = OptArg(ACall, AArgs, 1);
    const plat::UString delim = delimArg ? ArgStr(*delimArg) : DefaultDelimiter;
    const plat::Integer limit = CountArg(OptArg(ACall, AArgs, 2));
    const TVbCompareMode mode = CompareModeArg(OptArg(ACall, AArgs, 3));
    if (text.empty() || limit == 0) return static_cast<void>(AResult = StringArray({}));
    if (delim.empty()) return static_cast<void>(AResult = StringArray({text}));
    AResult = StringArray(SplitText(text, delim, limit, mode));
}

}  // namespace xan::vb
