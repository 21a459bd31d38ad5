#include "lang/vb/VbBuiltinList.h"

#include "lang/vb/VbBuiltinsArrays.h"
#include "lang/vb/VbBuiltinsConstants.h"
#include "lang/vb/VbBuiltinsConvert.h"
#include "lang/vb/VbBuiltinsDates.h"
#include "lang/vb/VbBuiltinsMath.h"
#include "lang/vb/VbBuiltinsStrings.h"
#include "lang/vb/VbBuiltinsSystem.h"

namespace xan::vb {

namespace {

template <class T>
constexpr TXANBuiltin Make = XANBuiltin<T>;

// The order is part of the language: where two share a name, the first counts.
constexpr TXANBuiltin Builtins[] = {
    // Constants.
    Make<TvbEmpty>, Make<TvbNull>, Make<TvbSmallInt>, Make<TvbLongWord>, Make<TvbShortInt>, Make<TvbInt64>,
    Make<TvbUInt64>, Make<TvbInteger>, Make<TvbSingle>, Make<TvbDouble>, Make<TvbCurrency>, Make<TvbDate>,
    Make<TvbString>, Make<TvbObject>, Make<TvbError>, Make<TvbBoolean>, Make<TvbVariant>, Make<TvbDataObject>,
    Make<TvbByte>, Make<TvbArray>, Make<TvbUseSystemDayOfWeek>, Make<TvbSunday>, Make<TvbMonday>,
    Make<TvbTuesday>, Make<TvbWednesday>, Make<TvbThursday>, Make<TvbFriday>, Make<TvbSaturday>,
    Make<TvbBinaryCompare>, Make<TvbTextCompare>, Make<TvbOKOnly>, Make<TvbOKCancel>,
    Make<TvbAbortRetryIgnore>, Make<TvbYesNoCancel>, Make<TvbYesNo>, Make<TvbRetryCancel>, Make<TvbCritical>,
    Make<TvbQuestion>, Make<TvbExclamation>, Make<TvbInformation>, Make<TvbOK>, Make<TvbCancel>,
    Make<TvbAbort>, Make<TvbRetry>, Make<TvbIgnore>, Make<TvbYes>, Make<TvbNo>,
    // Routines.
    Make<TAbs>, Make<TAtn>, Make<TCos>, Make<TSin>, Make<TTan>, Make<TSqr>, Make<TExp>, Make<TCBool>,
    Make<TCByte>, Make<TCCur>, Make<TCDate>, Make<TCDbl>, Make<TCInt>, Make<TCLng>, Make<TCSng>, Make<TCStr>,
    Make<TChr>, Make<TInt>, Make<TFix>, Make<TLog>, Make<TRound>, Make<TSgn>, Make<TOct>, Make<THex>,
    Make<TVarType_>, Make<TTypeName>, Make<TIsArray>, Make<TIsDate>, Make<TIsEmpty>, Make<TIsNull>,
    Make<TIsNumeric>, Make<TIsObject>, Make<TArray>, Make<TLBound>, Make<TUBound>, Make<TNow>, Make<TDate>,
    Make<TTime>, Make<TYear>, Make<TMonth>, Make<TDay>, Make<THour>, Make<TMinute>, Make<TSecond>,
    Make<TWeekday>, Make<TWeekdayName>, Make<TMonthName>, Make<TDateSerial>, Make<TTimeSerial>,
    Make<TDateValue>, Make<TTimeValue>, Make<TDateAdd>, Make<TTimer>, Make<TRGB>, Make<TJoin>, Make<TFilter>,
    Make<TRnd>, Make<TRandomize>, Make<TCreateObject>, Make<TGetObject>, Make<TAsc>, Make<TUCase>,
    Make<TLCase>, Make<TLen>, Make<TLTrim>, Make<TRTrim>, Make<TTrim>, Make<TSpace>, Make<TString>,
    Make<TStrReverse>, Make<TStrComp>, Make<TLeft>, Make<TMid>, Make<TRight>, Make<TSplit>, Make<TReplace>,
    Make<TInStr>, Make<TInStrRev>, Make<TInputBox>, Make<TMsgBox>, Make<TGetRef>,
};

static_assert(std::size(Builtins) == 128, "the dialect has 128 built-ins");

}  // namespace

std::span<const TXANBuiltin> VbBuiltins() noexcept { return Builtins; }

}  // namespace xan::vb
