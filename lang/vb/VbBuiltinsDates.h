#pragma once
// Built-in date and time routines of the VBScript dialect: the clock, the parts of a date,
// day and month names, composing dates and times, and date arithmetic.
#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

XAN_VB_INTRINSIC(TNow, "Now", bokFunction, 0)
XAN_VB_INTRINSIC(TDate, "Date", bokFunction, 0)
XAN_VB_INTRINSIC(TTime, "Time", bokFunction, 0)
XAN_VB_INTRINSIC(TYear, "Year", bokFunction, 1)
XAN_VB_INTRINSIC(TMonth, "Month", bokFunction, 1)
XAN_VB_INTRINSIC(TDay, "Day", bokFunction, 1)
XAN_VB_INTRINSIC(THour, "Hour", bokFunction, 1)
XAN_VB_INTRINSIC(TMinute, "Minute", bokFunction, 1)
XAN_VB_INTRINSIC(TSecond, "Second", bokFunction, 1)
XAN_VB_INTRINSIC(TWeekday, "Weekday", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TWeekdayName, "WeekdayName", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TMonthName, "MonthName", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TDateSerial, "DateSerial", bokFunction, 3)
XAN_VB_INTRINSIC(TTimeSerial, "TimeSerial", bokFunction, 3)
XAN_VB_INTRINSIC(TDateValue, "DateValue", bokFunction, 1)
XAN_VB_INTRINSIC(TTimeValue, "TimeValue", bokFunction, 1)
XAN_VB_INTRINSIC(TDateAdd, "DateAdd", bokFunction, 3)
XAN_VB_INTRINSIC(TTimer, "Timer", bokFunction, 0)

// The first day of the week (1 = Sunday … 7 = Saturday) of the locale's settings: what a
// First argument of 0 stands for in Weekday and WeekdayName.
plat::Integer SystemFirstDayOfWeek() noexcept;

}  // namespace xan::vb
