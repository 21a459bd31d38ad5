#pragma once
// The VBScript dialect's named constants: variant type codes, days of the week, compare modes,
// message box styles and answers. Each yields a 32-bit integer.
#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

class TVbIntegerConstant : public TVbIntrinsic {
    XAN_CLASS(TVbIntegerConstant, TVbIntrinsic)
    void DoExecute(TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) override;

    const Integer FValue;

protected:
    TVbIntegerConstant(const char16_t* AStrName, Integer AValue);
};

}  // namespace xan::vb

#define XAN_VB_CONSTANT(Self, AStrName, AValue)                                           \
    class Self final : public ::xan::vb::TVbIntegerConstant {                             \
        XAN_CLASS(Self, ::xan::vb::TVbIntegerConstant)                                    \
        static constexpr std::u16string_view Name = u"" AStrName;                         \
        Self() : ::xan::vb::TVbIntegerConstant(Name.data(), AValue) {}                   \
    };

namespace xan::vb {

XAN_VB_CONSTANT(TvbEmpty, "vbEmpty", 0)
XAN_VB_CONSTANT(TvbNull, "vbNull", 1)
XAN_VB_CONSTANT(TvbSmallInt, "vbSmallInt", 2)
XAN_VB_CONSTANT(TvbLongWord, "LongWord", 19)
XAN_VB_CONSTANT(TvbShortInt, "ShortInt", 16)
XAN_VB_CONSTANT(TvbInt64, "Int64", 20)
XAN_VB_CONSTANT(TvbUInt64, "UInt64", 21)
XAN_VB_CONSTANT(TvbInteger, "vbInteger", 3)
XAN_VB_CONSTANT(TvbSingle, "vbSingle", 4)
XAN_VB_CONSTANT(TvbDouble, "vbDouble", 5)
XAN_VB_CONSTANT(TvbCurrency, "vbCurrency", 6)
XAN_VB_CONSTANT(TvbDate, "vbDate", 7)
XAN_VB_CONSTANT(TvbString, "vbString", 8)
XAN_VB_CONSTANT(TvbObject, "vbObject", 9)
XAN_VB_CONSTANT(TvbError, "vbError", 10)
XAN_VB_CONSTANT(TvbBoolean, "vbBoolean", 11)
XAN_VB_CONSTANT(TvbVariant, "vbVariant", 12)
XAN_VB_CONSTANT(TvbDataObject, "vbDataObject", 13)
XAN_VB_CONSTANT(TvbByte, "vbByte", 17)
XAN_VB_CONSTANT(TvbArray, "vbArray", 8192)
XAN_VB_CONSTANT(TvbUseSystemDayOfWeek, "vbUseSystemDayOfWeek", 0)
XAN_VB_CONSTANT(TvbSunday, "vbSunday", 1)
XAN_VB_CONSTANT(TvbMonday, "vbMonday", 2)
XAN_VB_CONSTANT(TvbTuesday, "vbTuesday", 3)
XAN_VB_CONSTANT(TvbWednesday, "vbWednesday", 4)
XAN_VB_CONSTANT(TvbThursday, "vbThursday", 5)
XAN_VB_CONSTANT(TvbFriday, "vbFriday", 6)
XAN_VB_CONSTANT(TvbSaturday, "vbSaturday", 7)
XAN_VB_CONSTANT(TvbBinaryCompare, "vbBinaryCompare", 0)
XAN_VB_CONSTANT(TvbTextCompare, "vbTextCompare", 1)
XAN_VB_CONSTANT(TvbOKOnly, "vbOKOnly", 0)
XAN_VB_CONSTANT(TvbOKCancel, "vbOKCancel", 1)
XAN_VB_CONSTANT(TvbAbortRetryIgnore, "vbAbortRetryIgnore", 2)
XAN_VB_CONSTANT(TvbYesNoCancel, "vbYesNoCancel", 3)
XAN_VB_CONSTANT(TvbYesNo, "vbYesNo", 4)
XAN_VB_CONSTANT(TvbRetryCancel, "vbRetryCancel", 5)
XAN_VB_CONSTANT(TvbCritical, "vbCritical", 16)
XAN_VB_CONSTANT(TvbQuestion, "vbQuestion", 32)
XAN_VB_CONSTANT(TvbExclamation, "vbExclamation", 48)
XAN_VB_CONSTANT(TvbInformation, "vbInformation", 64)
XAN_VB_CONSTANT(TvbOK, "vbOK", 1)
XAN_VB_CONSTANT(TvbCancel, "vbCancel", 2)
XAN_VB_CONSTANT(TvbAbort, "vbAbort", 3)
XAN_VB_CONSTANT(TvbRetry, "vbRetry", 4)
XAN_VB_CONSTANT(TvbIgnore, "vbIgnore", 5)
XAN_VB_CONSTANT(TvbYes, "vbYes", 6)
XAN_VB_CONSTANT(TvbNo, "vbNo", 7)

}  // namespace xan::vb
