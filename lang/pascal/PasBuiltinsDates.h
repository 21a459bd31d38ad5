#pragma once
// Built-in date and time routines of the Pascal dialect: the clock, calendar arithmetic,
// encoding and decoding, and text in the locale's formats and back.
#include "lang/pascal/PasIntrinsics.h"

namespace xan::pas {

XAN_PAS_INTRINSIC(TDate, "Date", bokConstant, 0)
XAN_PAS_INTRINSIC(TNow, "Now", bokFunction, 0)
XAN_PAS_INTRINSIC(TTime, "Time", bokFunction, 0)
XAN_PAS_INTRINSIC(TDayOfWeek, "DayOfWeek", bokFunction, 1)
XAN_PAS_INTRINSIC(TIsLeapYear, "IsLeapYear", bokFunction, 1)
XAN_PAS_INTRINSIC(TIncMonth, "IncMonth", bokFunction, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TEncodeDate, "EncodeDate", bokFunction, 3)
XAN_PAS_INTRINSIC(TEncodeTime, "EncodeTime", bokFunction, 4)
XAN_PAS_INTRINSIC(TDecodeDate, "DecodeDate", bokProcedure, 4)
XAN_PAS_INTRINSIC(TDecodeTime, "DecodeTime", bokProcedure, 5)
XAN_PAS_INTRINSIC(TDateTimeToStr, "DateTimeToStr", bokFunction, 1)
XAN_PAS_INTRINSIC(TDateToStr, "DateToStr", bokFunction, 1)
XAN_PAS_INTRINSIC(TTimeToStr, "TimeToStr", bokFunction, 1)
XAN_PAS_INTRINSIC(TStrToDateTime, "StrToDateTime", bokFunction, 1)
XAN_PAS_INTRINSIC(TStrToDate, "StrToDate", bokFunction, 1)
XAN_PAS_INTRINSIC(TStrToTime, "StrToTime", bokFunction, 1)
XAN_PAS_INTRINSIC(TFormatDateTime, "FormatDateTime", bokFunction, 2)

}  // namespace xan::pas
