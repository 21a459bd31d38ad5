#include "lang/pascal/PasBuiltinList.h"

#include "lang/pascal/PasBuiltinsArrays.h"
#include "lang/pascal/PasBuiltinsConvert.h"
#include "lang/pascal/PasBuiltinsDates.h"
#include "lang/pascal/PasBuiltinsMath.h"
#include "lang/pascal/PasBuiltinsStrings.h"
#include "lang/pascal/PasBuiltinsSystem.h"

namespace xan::pas {

namespace {

template <class T>
constexpr TXANIntrinsicFactory Make = XANMakeIntrinsic<T>;

// The order is part of the language: it is the order in which the machine receives them.
constexpr TXANIntrinsicFactory Factories[] = {
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

std::span<const TXANIntrinsicFactory> PasIntrinsicFactories() noexcept { return Factories; }

}  // namespace xan::pas
