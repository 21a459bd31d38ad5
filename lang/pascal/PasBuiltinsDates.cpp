#include "lang/pascal/PasBuiltinsDates.h"

#include "lang/pascal/PasIntrinsicArgs.h"
#include "platform/core/DateUtils.h"
#include "platform/text/DateFormat.h"
#include "platform/text/DateText.h"

namespace xan::pas {

using plat::UString;
using plat::Variant;

namespace {

void SetDate(Variant& AResult, plat::TDateTime AValue) { AResult = Variant::FromDate(AValue); }

}  // namespace

void TDate::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { SetDate(AResult, plat::Date()); }

void TNow::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { SetDate(AResult, plat::Now()); }

void TTime::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { SetDate(AResult, plat::Time()); }

void TDayOfWeek::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::DayOfWeek(ArgFloat(AArgs[0])));
}

void TIsLeapYear::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetBool(plat::IsLeapYear(ArgInt(AArgs[0])));
}

void TIncMonth::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 2);
    const double date = ArgFloat(AArgs[0]);
    const plat::Integer months = ACall->FArgCount == 2 ? ArgInt(AArgs[1]) : 1;
    SetDate(AResult, plat::IncMonth(date, months));
}

void TEncodeDate::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::Integer year = ArgInt(AArgs[0]);
    const plat::Integer month = ArgInt(AArgs[1]);
    SetDate(AResult, plat::EncodeDate(year, month, ArgInt(AArgs[2])));
}

void TEncodeTime::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::Integer hour = ArgInt(AArgs[0]);
    const plat::Integer minute = ArgInt(AArgs[1]);
    const plat::Integer second = ArgInt(AArgs[2]);
    SetDate(AResult, plat::EncodeTime(hour, minute, second, ArgInt(AArgs[3])));
}

void TDecodeDate::DoExecute(TXANCall*, PXANVarArray AArgs, Variant&) {
    const plat::DateParts parts = plat::DecodeDate(ArgFloat(AArgs[0]));
    SetOutArg(AArgs[1], Variant(parts.year));
    SetOutArg(AArgs[2], Variant(parts.month));
    SetOutArg(AArgs[3], Variant(parts.day));
}

void TDecodeTime::DoExecute(TXANCall*, PXANVarArray AArgs, Variant&) {
    const plat::TimeParts parts = plat::DecodeTime(ArgFloat(AArgs[0]));
    SetOutArg(AArgs[1], Variant(parts.hour));
    SetOutArg(AArgs[2], Variant(parts.minute));
    SetOutArg(AArgs[3], Variant(parts.second));
    SetOutArg(AArgs[4], Variant(parts.msec));
}

void TDateTimeToStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::DateTimeToStr(ArgFloat(AArgs[0])));
}

void TDateToStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::DateToStr(ArgFloat(AArgs[0])));
}

void TTimeToStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::TimeToStr(ArgFloat(AArgs[0])));
}

void TStrToDateTime::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    SetDate(AResult, plat::StrToDateTime(ArgStr(AArgs[0])));
}

void TStrToDate::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    SetDate(AResult, plat::StrToDate(ArgStr(AArgs[0])));
}

void TStrToTime::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    SetDate(AResult, plat::StrToTime(ArgStr(AArgs[0])));
}

void TFormatDateTime::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const UString picture = ArgStr(AArgs[0]);
    AResult.SetString(plat::FormatDateTime(picture, ArgFloat(AArgs[1])));
}

}  // namespace xan::pas
