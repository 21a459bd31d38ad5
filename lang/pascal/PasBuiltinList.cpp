#include "lang/pascal/PasBuiltinList.h"

#include "foundation/NameTable.h"
#include "lang/pascal/PasBuiltinsArrays.h"
#include "lang/pascal/PasBuiltinsConvert.h"
#include "lang/pascal/PasBuiltinsDates.h"
#include "lang/pascal/PasBuiltinsMath.h"
#include "lang/pascal/PasBuiltinsStrings.h"
#include "lang/pascal/PasBuiltinsSystem.h"

namespace xan::pas {

namespace {

template <class T>
constexpr TXANBuiltin Make = XANBuiltin<T>;

// Exit, Break and Continue are names the machine resolves like any global, so they come with
// the built-ins.
template <class T, const std::u16string_view& AName>
TXANGlobalObject* MakeFlow() {
    return new T(GlobalNameTable().GetNameIndex(AName, true), plat::UString(AName));
}

constexpr std::u16string_view ExitName = u"Exit";
constexpr std::u16string_view BreakName = u"Break";
constexpr std::u16string_view ContinueName = u"Continue";

// The order is part of the language: where two share a name, the first counts.
constexpr TXANBuiltin Builtins[] = {
    {ExitName, MakeFlow<TXANExitObject, ExitName>},
    {BreakName, MakeFlow<TXANBreakObject, BreakName>},
    {ContinueName, MakeFlow<TXANContinueObject, ContinueName>},
    Make<TNullObject>,     Make<TUnassignedObject>, Make<TInclude>,         Make<TExclude>,
    Make<TBeep>,           Make<TArcTan>,           Make<TCos>,             Make<TDec>,
    Make<TSin>,            Make<TLowerCase>,        Make<THigh>,            Make<TLow>,
    Make<TLn>,             Make<TAnsiCompareStr>,   Make<TAnsiCompareText>, Make<TAnsiLowerCase>,
    Make<TAnsiUpperCase>,  Make<TAbs>,              Make<TCompareStr>,      Make<TCompareText>,
    Make<TDate>,           Make<TDateTimeToStr>,    Make<TDateToStr>,       Make<TDayOfWeek>,
    Make<TDecodeDate>,     Make<TExp>,              Make<TFloatToStr>,      Make<TFrac>,
    Make<TInt>,            Make<TIntToHex>,         Make<TIntToStr>,        Make<TIsLeapYear>,
    Make<TIsValidIdent>,   Make<TTrue>,             Make<TFalse>,           Make<TLength>,
    Make<TNow>,            Make<TOdd>,              Make<TPos>,             Make<TRandom>,
    Make<TRound>,          Make<TSqr>,              Make<TSqrt>,            Make<TStrToDate>,
    Make<TStrToDateTime>,  Make<TStrToFloat>,       Make<TStrToInt>,        Make<TStrToIntDef>,
    Make<TTime>,           Make<TTimeToStr>,        Make<TStrToTime>,       Make<TTrim>,
    Make<TTrimLeft>,       Make<TTrimRight>,        Make<TTrunc>,           Make<TUpperCase>,
    Make<TVarIsNull>,      Make<TVarToStr>,         Make<TAssigned>,        Make<TShowMessage>,
    Make<TInsert>,         Make<TIncMonth>,         Make<TInc>,             Make<TChr>,
    Make<TCopy>,           Make<TDelete>,           Make<TCreateOleObject>, Make<TGetActiveOleObject>,
    Make<TInputQuery>,     Make<TDecodeTime>,       Make<TEncodeDate>,      Make<TEncodeTime>,
    Make<TFormat>,         Make<TFormatFloat>,      Make<TFormatDateTime>,  Make<TOrd>,
};

}  // namespace

std::span<const TXANBuiltin> PasBuiltins() noexcept { return Builtins; }

}  // namespace xan::pas
