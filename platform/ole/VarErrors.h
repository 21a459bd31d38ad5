#pragma once
// The variant errors with their fixed messages, raised through the platform raise protocol.
//
//   EVariantTypeCastError     "Invalid variant type conversion"
//   EVariantInvalidOpError    "Invalid variant operation"
//   EVariantOverflowError     "Overflow"
//   EDivByZero                "Division by zero"
//   EVariantBadIndexError     "Variant or safe array index out of bounds"
//   EVariantNotAnArrayError   "Variant is not an array"
//   EVariantArrayCreateError  "Error creating variant or safe array"
//   EVariantBadVarTypeError   "Invalid variant type"
//   EVariantInvalidArgError   "Invalid argument"
//   EVariantArrayLockedError  "Variant or safe array is locked"
#include "platform/core/Exception.h"

namespace xan::plat {

inline constexpr const char16_t* SVarTypeCast = u"Invalid variant type conversion";
inline constexpr const char16_t* SVarInvalidOp = u"Invalid variant operation";
inline constexpr const char16_t* SVarOverflow = u"Overflow";
inline constexpr const char16_t* SDivByZero = u"Division by zero";
inline constexpr const char16_t* SVarBadIndex = u"Variant or safe array index out of bounds";
inline constexpr const char16_t* SVarNotArray = u"Variant is not an array";
inline constexpr const char16_t* SVarArrayCreate = u"Error creating variant or safe array";
inline constexpr const char16_t* SVarBadVarType = u"Invalid variant type";
inline constexpr const char16_t* SVarInvalidArg = u"Invalid argument";
inline constexpr const char16_t* SVarArrayLocked = u"Variant or safe array is locked";

[[noreturn]] void RaiseVarTypeCast();
[[noreturn]] void RaiseVarInvalidOp();
[[noreturn]] void RaiseVarOverflow();
[[noreturn]] void RaiseDivByZero();
[[noreturn]] void RaiseVarBadIndex();
[[noreturn]] void RaiseVarNotArray();
[[noreturn]] void RaiseVarArrayCreate();
[[noreturn]] void RaiseVarBadVarType();
[[noreturn]] void RaiseVarInvalidArg();
[[noreturn]] void RaiseVarArrayLocked();

}  // namespace xan::plat
