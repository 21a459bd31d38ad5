#pragma once
// The predefined value types: one converter per type between the C++ value and its variant,
// with its wrapper class (type name and variant type, no members, no instances).
//
//   Variant v = Integer_sw::ToVar(42);
//   Integer i = Integer_sw::FromVar(v);      // references followed; wrong kinds raise
//
// TXANWrapperOf<T> names the converter of a C++ type; it is what the binding templates
// (wrappers/Binding.h) deduce argument and result conversions from. Further types are added by
// specialising it (XAN_WRAPPER_FOR).
#include <string>
#include <type_traits>

#include "platform/core/Types.h"
#include "platform/ole/Currency.h"
#include "platform/ole/Variant.h"
#include "wrappers/WrapperClasses.h"

namespace xan {

#define XAN_PRED_TYPE(Name, CppType)                                               \
    struct Name##_sw {                                                             \
        using Type = CppType;                                                      \
        static const TXANPredTypeWrapperClass* Class();                            \
        static plat::Variant ToVar(Type AValue);                                   \
        static Type FromVar(const plat::VarData& AValue);                          \
        static plat::Variant UntypedToVar(const void* AValue) {                    \
            return ToVar(*static_cast<const Type*>(AValue));                       \
        }                                                                          \
    };

XAN_PRED_TYPE(Boolean, bool)
XAN_PRED_TYPE(WordBool, bool)
XAN_PRED_TYPE(Integer, plat::Integer)
XAN_PRED_TYPE(Cardinal, plat::Cardinal)
XAN_PRED_TYPE(Int64, plat::Int64)
XAN_PRED_TYPE(UInt64, plat::UInt64)
XAN_PRED_TYPE(NativeInt, plat::Integer)
XAN_PRED_TYPE(NativeUInt, plat::Cardinal)
XAN_PRED_TYPE(Single, float)
XAN_PRED_TYPE(Double, double)
XAN_PRED_TYPE(Extended, long double)
XAN_PRED_TYPE(Currency, plat::Currency)
XAN_PRED_TYPE(Byte, plat::Byte)
XAN_PRED_TYPE(Smallint, plat::SmallInt)
XAN_PRED_TYPE(Shortint, plat::ShortInt)
XAN_PRED_TYPE(Word, plat::Word)
XAN_PRED_TYPE(Longword, plat::LongWord)
XAN_PRED_TYPE(Longint, plat::Integer)
XAN_PRED_TYPE(Char, char16_t)
XAN_PRED_TYPE(AnsiChar, char)
XAN_PRED_TYPE(WideChar, char16_t)
XAN_PRED_TYPE(String, plat::UString)
XAN_PRED_TYPE(ShortString, std::string)
XAN_PRED_TYPE(AnsiString, std::string)
XAN_PRED_TYPE(RawByteString, std::string)
XAN_PRED_TYPE(WideString, plat::UString)
XAN_PRED_TYPE(UnicodeString, plat::UString)
XAN_PRED_TYPE(TDateTime, plat::TDateTime)
XAN_PRED_TYPE(Variant, plat::Variant)
XAN_PRED_TYPE(OleVariant, plat::Variant)

#undef XAN_PRED_TYPE

// An argument taken as it comes (borrowed bits, references not followed), for members that
// look at the value themselves.
struct TXANRawArg {
    static const TXANTypeWrapperClass* Class() { return Variant_sw::Class(); }
    static plat::Variant ToVar(const plat::VarData& AValue) { return plat::Variant(AValue); }
    static plat::VarData FromVar(const plat::VarData& AValue) noexcept { return AValue; }
};

// Which converter a C++ type takes.
template <class T, class = void>
struct TXANWrapperOf;
template <class T>
using XANWrapperOf = typename TXANWrapperOf<std::remove_cvref_t<T>>::type;

// Binds a C++ type to the converter (wrapper) a member of that type uses.
#define XAN_WRAPPER_FOR(CppType, Wrapper) \
    template <>                           \
    struct TXANWrapperOf<CppType> {       \
        using type = Wrapper;             \
    };

XAN_WRAPPER_FOR(bool, Boolean_sw)
XAN_WRAPPER_FOR(char16_t, WideChar_sw)
XAN_WRAPPER_FOR(char, AnsiChar_sw)
XAN_WRAPPER_FOR(float, Single_sw)
XAN_WRAPPER_FOR(double, Double_sw)
XAN_WRAPPER_FOR(long double, Extended_sw)
XAN_WRAPPER_FOR(plat::Currency, Currency_sw)
XAN_WRAPPER_FOR(plat::UString, String_sw)
XAN_WRAPPER_FOR(std::string, AnsiString_sw)
XAN_WRAPPER_FOR(plat::Variant, Variant_sw)
XAN_WRAPPER_FOR(plat::VarData, TXANRawArg)

// Other integers by size and signedness.
template <class T>
struct TXANWrapperOf<T, std::enable_if_t<std::is_integral_v<T>>> {
    using type = std::conditional_t<
        std::is_signed_v<T>,
        std::conditional_t<sizeof(T) == 1, Shortint_sw,
                           std::conditional_t<sizeof(T) == 2, Smallint_sw,
                                              std::conditional_t<sizeof(T) == 4, Integer_sw, Int64_sw>>>,
        std::conditional_t<sizeof(T) == 1, Byte_sw,
                           std::conditional_t<sizeof(T) == 2, Word_sw,
                                              std::conditional_t<sizeof(T) == 4, Cardinal_sw, UInt64_sw>>>>;
};

// Enumerations travel as their ordinal.
template <class E>
struct TXANOrdinalOf {
    static const TXANTypeWrapperClass* Class() { return Integer_sw::Class(); }
    static plat::Variant ToVar(E AValue) { return plat::Variant(static_cast<plat::Integer>(AValue)); }
    static E FromVar(const plat::VarData& AValue) { return static_cast<E>(plat::VarToInt32(AValue)); }
};
template <class E>
struct TXANWrapperOf<E, std::enable_if_t<std::is_enum_v<E>>> {
    using type = TXANOrdinalOf<E>;
};

}  // namespace xan
