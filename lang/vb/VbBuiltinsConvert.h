#pragma once
// Built-in conversions and type tests of the VBScript dialect: the C… conversion functions, Hex
// and Oct, the variant type code and type name, and the Is… tests.
#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

XAN_VB_INTRINSIC(TCBool, "CBool", bokFunction, 1)
XAN_VB_INTRINSIC(TCByte, "CByte", bokFunction, 1)
XAN_VB_INTRINSIC(TCCur, "CCur", bokFunction, 1)
XAN_VB_INTRINSIC(TCDate, "CDate", bokFunction, 1)
XAN_VB_INTRINSIC(TCDbl, "CDbl", bokFunction, 1)
XAN_VB_INTRINSIC(TCInt, "CInt", bokFunction, 1)
XAN_VB_INTRINSIC(TCLng, "CLng", bokFunction, 1)
XAN_VB_INTRINSIC(TCSng, "CSng", bokFunction, 1)
XAN_VB_INTRINSIC(TCStr, "CStr", bokFunction, 1)
XAN_VB_INTRINSIC(TOct, "Oct", bokFunction, 1)
XAN_VB_INTRINSIC(THex, "Hex", bokFunction, 1)
XAN_VB_INTRINSIC(TVarType_, "VarType", bokFunction, 1)
XAN_VB_INTRINSIC(TTypeName, "TypeName", bokFunction, 1)
XAN_VB_INTRINSIC(TIsArray, "IsArray", bokFunction, 1)
XAN_VB_INTRINSIC(TIsDate, "IsDate", bokFunction, 1)
XAN_VB_INTRINSIC(TIsEmpty, "IsEmpty", bokFunction, 1)
XAN_VB_INTRINSIC(TIsNull, "IsNull", bokFunction, 1)
XAN_VB_INTRINSIC(TIsNumeric, "IsNumeric", bokFunction, 1)
XAN_VB_INTRINSIC(TIsObject, "IsObject", bokFunction, 1)

// The bits of an integer that Hex and Oct show: as many as the value's own integer type has
// (8 for a ShortInt, 16 for a SmallInt or a Boolean, 32 for an Integer, 64 for an Int64;
// unsigned types show their value), so no digit is ever dropped. Other values are converted to
// an integer and show 32 bits when they fit an Integer, else 64.
plat::UInt64 IntegerBitsOf(const plat::Variant& AValue);

// The text TypeName shows for a value.
plat::UString VbTypeNameOf(const plat::Variant& AValue);

}  // namespace xan::vb
