#pragma once
// Variant: the automation value every script value is.
//
// VarData is the bare 16-byte tagged union (trivially copyable, so argument blocks can borrow
// slots bit for bit). Variant is the owning RAII form with the same layout:
//   copy  = the automation copy: a string shares its ref-counted buffer, an interface gets
//           AddRef, an array is shared copy-on-write (O(1), yet the copy behaves independently);
//   move  = bitwise transfer, the source becomes Empty, no reference count is touched.
// Only strings, interfaces and arrays own anything; copy and destruction test one bit pattern
// inline and leave the out-of-line path to those types.
//
// A by-reference value of type $400C holds the address of another Variant. The interpreter
// passes every reference (by-reference arguments, assignment targets) in that form; Deref()
// follows such chains to the first value that is not one. Other by-reference forms ($4000 | t)
// come from foreign callers; conversions and operations read through them as well.
#include <compare>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/core/FormatSettings.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"
#include "platform/ole/Currency.h"

namespace xan::plat {

struct IUnknown;
struct IDispatch;
class SafeArray;

using VarType = std::uint16_t;

// Type codes and flags.
enum : VarType {
    varEmpty = 0,
    varNull = 1,
    varSmallint = 2,
    varInteger = 3,
    varSingle = 4,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,
    varOleStr = 8,
    varDispatch = 9,
    varError = 10,
    varBoolean = 11,
    varVariant = 12,
    varUnknown = 13,
    varDecimal = 14,
    varShortInt = 16,
    varByte = 17,
    varWord = 18,
    varLongWord = 19,
    varInt64 = 20,
    varUInt64 = 21,
    varString = 256,  // 8-bit string: only from hosts; held as a UString like varOleStr
    varAny = 257,
    varTypeMask = 0x0FFF,
    varArray = 0x2000,
    varByRef = 0x4000,
    varRefVariant = varByRef | varVariant,  // $400C: the address of another Variant
};

// The stored 16-bit form of Boolean.
inline constexpr std::int16_t VarTrue = -1;
inline constexpr std::int16_t VarFalse = 0;

// True for the type codes whose payload owns something (string buffer, interface, array).
inline constexpr std::uint32_t VarLowManagedTypes = (1u << varOleStr) | (1u << varDispatch) | (1u << varUnknown);
inline constexpr bool VarIsManagedType(VarType vt) noexcept {
    if (vt < 32) return (VarLowManagedTypes >> vt) & 1u;
    return (vt & (varArray | varByRef)) == varArray || vt == varString;
}
// True when neither type code owns anything: the common case of copying numbers, tested with
// one range check and one bit test.
inline constexpr bool VarBothUnmanaged(VarType a, VarType b) noexcept {
    if ((a | b) < 32) return (((VarLowManagedTypes >> a) | (VarLowManagedTypes >> b)) & 1u) == 0;
    return !VarIsManagedType(a) && !VarIsManagedType(b);
}

struct VarData {
    VarType VType;
    std::uint16_t Reserved1, Reserved2, Reserved3;
    union {
        std::int16_t VSmallInt;
        std::int32_t VInteger;
        float VSingle;
        double VDouble;
        std::int64_t VCurrency;  // scaled by 10000
        double VDate;
        void* VOleStr;  // raw UString record (null = empty string); also varString
        IDispatch* VDispatch;
        std::int32_t VError;
        std::int16_t VBoolean;
        IUnknown* VUnknown;
        std::int8_t VShortInt;
        std::uint8_t VByte;
        std::uint16_t VWord;
        std::uint32_t VLongWord;
        std::int64_t VInt64;
        std::uint64_t VUInt64;
        SafeArray* VArray;
        void* VPointer;  // by-reference target, or a raw never-released payload
    };

    constexpr VarData() noexcept : VType(varEmpty), Reserved1(0), Reserved2(0), Reserved3(0), VInt64(0) {}
    // A raw value with a 64-bit payload (the payload bits are interpreted by `vt`).
    constexpr VarData(VarType vt, std::int64_t bits) noexcept
        : VType(vt), Reserved1(0), Reserved2(0), Reserved3(0), VInt64(bits) {}

    // The wide-string payload as a view (varOleStr / varString only).
    std::u16string_view StrView() const noexcept { return UString::RawView(VOleStr); }
    bool IsRef() const noexcept { return VType == varRefVariant; }
};
static_assert(sizeof(VarData) == 16);
static_assert(std::is_trivially_copyable_v<VarData>);

class Variant : public VarData {
public:
    constexpr Variant() noexcept = default;
    ~Variant() {
        if (VarIsManagedType(VType)) ReleaseManaged();
    }
    Variant(const Variant& other) : VarData(static_cast<const VarData&>(other)) {
        if (VarIsManagedType(VType)) AddRefManaged();
    }
    Variant(Variant&& other) noexcept : VarData(static_cast<const VarData&>(other)) { other.VType = varEmpty; }
    Variant& operator=(const Variant& other) {
        Assign(other);
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept {
        MoveFrom(other);
        return *this;
    }

    // Copies a borrowed value (the automation copy, as for a Variant).
    explicit Variant(const VarData& borrowed) : VarData(borrowed) {
        if (VarIsManagedType(VType)) AddRefManaged();
    }
    // Takes over a raw value that already owns its references (no AddRef).
    static Variant Adopt(const VarData& owned) noexcept {
        Variant v;
        static_cast<VarData&>(v) = owned;
        return v;
    }
    // Gives up ownership: the caller receives the raw value, this becomes Empty.
    VarData Detach() noexcept {
        VarData d = *this;
        VType = varEmpty;
        return d;
    }

    // A raw value whose type owns nothing (constant-initializable; see VarConsts.h).
    constexpr Variant(VarType vt, std::int64_t bits, std::in_place_t) noexcept : VarData(vt, bits) {}

    // Typed constructors.
    constexpr Variant(bool b) noexcept : VarData(varBoolean, b ? VarTrue : VarFalse) {}
    template <class T>
        requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
                 !std::is_same_v<T, char8_t> && !std::is_same_v<T, char16_t> &&
                 !std::is_same_v<T, char32_t> && !std::is_same_v<T, wchar_t>)
    constexpr Variant(T value) noexcept : VarData(IntTypeCode<T>(), IntBits(value)) {}
    Variant(float value) noexcept : VarData(varSingle, 0) { VSingle = value; }
    Variant(double value) noexcept : VarData(varDouble, 0) { VDouble = value; }
    Variant(Currency value) noexcept : VarData(varCurrency, value.scaled) {}
    Variant(UString s) noexcept : VarData(varOleStr, 0) { VOleStr = s.ReleaseRaw(); }
    Variant(std::u16string_view s) : Variant(UString(s)) {}
    Variant(const char16_t* s) : Variant(UString(s)) {}
    Variant(IDispatch* d) noexcept;  // AddRef; null is the nil object
    Variant(IUnknown* u) noexcept;   // AddRef; null is the nil interface
    Variant(char16_t) = delete;      // characters travel as Integer codes; say so explicitly
    Variant(const char*) = delete;   // text must be UTF-16

    static Variant Null() noexcept { return Adopt(VarData(varNull, 0)); }
    static Variant FromDate(TDateTime dt) noexcept;
    static Variant FromError(std::int32_t code) noexcept { return Adopt(VarData(varError, code)); }
    static Variant FromSmallint(std::int16_t v) noexcept { return Variant(v); }
    // Takes ownership of one reference to `array` (no AddRef).
    static Variant FromArray(SafeArray* array) noexcept;
    // A by-reference value ($400C) to `target`; the target must outlive the reference.
    static Variant RefTo(Variant* target) noexcept {
        Variant v;
        v.VType = varRefVariant;
        v.VPointer = target;
        return v;
    }

    // Release self, take src's bits, leave src Empty. Self-move is a no-op.
    void MoveFrom(Variant& src) noexcept {
        if (this == &src) return;
        if (VarIsManagedType(VType)) ReleaseManaged();
        static_cast<VarData&>(*this) = src;
        src.VType = varEmpty;
    }
    // The automation copy of a borrowed value into self (safe when `src` lives inside self,
    // e.g. an element of an array self holds).
    void Assign(const VarData& src) {
        if (VarBothUnmanaged(VType, src.VType)) {
            static_cast<VarData&>(*this) = src;
            return;
        }
        Variant copy(src);
        MoveFrom(copy);
    }
    void Clear() noexcept {
        if (VarIsManagedType(VType)) ReleaseManaged();
        VType = varEmpty;
    }

    // Following $400C chains.
    const VarData& Deref() const noexcept {
        const VarData* p = this;
        while (p->VType == varRefVariant) p = static_cast<const VarData*>(p->VPointer);
        return *p;
    }
    Variant& DerefMut() noexcept {
        Variant* p = this;
        while (p->VType == varRefVariant) p = static_cast<Variant*>(p->VPointer);
        return *p;
    }

    // State tests (on this value, not following references).
    bool IsEmpty() const noexcept { return VType == varEmpty; }
    bool IsNull() const noexcept { return VType == varNull; }
    bool IsArray() const noexcept { return (VType & (varArray | varByRef)) == varArray; }
    bool IsByRef() const noexcept { return (VType & varByRef) != 0; }
    bool IsString() const noexcept { return VType == varOleStr || VType == varString; }

    // Typed payload access; the caller has checked VType.
    UString AsUString() const noexcept;  // varOleStr / varString: shares the buffer
    IDispatch* Dispatch() const noexcept { return VDispatch; }
    IUnknown* Unknown() const noexcept { return VUnknown; }
    Currency AsCurrency() const noexcept { return Currency{VCurrency}; }
    bool AsBool() const noexcept { return VBoolean != 0; }
    const SafeArray& Array() const noexcept { return *VArray; }
    // The array for writing: makes it unshared first (copy-on-write). Requires IsArray().
    SafeArray& MutableArray();

    // Typed setters (release the old value first).
    void SetInteger(std::int32_t v) noexcept { SetRaw(varInteger, v); }
    void SetInt64(std::int64_t v) noexcept { SetRaw(varInt64, v); }
    void SetBool(bool b) noexcept { SetRaw(varBoolean, b ? VarTrue : VarFalse); }
    void SetDouble(double d) noexcept {
        Clear();
        VType = varDouble;
        VDouble = d;
    }
    void SetString(UString s) noexcept {
        Clear();
        VType = varOleStr;
        VOleStr = s.ReleaseRaw();
    }
    void SetNull() noexcept { SetRaw(varNull, 0); }
    // Never-released raw payload under type code `vt` (which must not be a managed type).
    void SetRaw(VarType vt, std::int64_t bits) noexcept {
        if (VarIsManagedType(VType)) ReleaseManaged();
        VType = vt;
        VInt64 = bits;
    }

private:
    template <class T>
    static constexpr VarType IntTypeCode() noexcept {
        if constexpr (std::is_signed_v<T>)
            return sizeof(T) == 1 ? varShortInt : sizeof(T) == 2 ? varSmallint : sizeof(T) == 4 ? varInteger : varInt64;
        else
            return sizeof(T) == 1 ? varByte : sizeof(T) == 2 ? varWord : sizeof(T) == 4 ? varLongWord : varUInt64;
    }
    template <class T>
    static constexpr std::int64_t IntBits(T value) noexcept {
        // Signed values sign-extend, unsigned ones zero-extend, so every narrow field reads back.
        if constexpr (std::is_signed_v<T>)
            return static_cast<std::int64_t>(value);
        else
            return static_cast<std::int64_t>(static_cast<std::uint64_t>(value));
    }
    void AddRefManaged() const noexcept;
    void ReleaseManaged() noexcept;
};
static_assert(sizeof(Variant) == sizeof(VarData));

// ---- Inspection ----------------------------------------------------------------------------

// Follows every by-reference form: $400C chains and foreign $4000|t values (read through their
// pointer into a borrowed VarData that owns nothing). The result is never by-reference.
VarData VarDerefAll(const VarData& v) noexcept;
// The type code after following references.
VarType VarTypeOf(const VarData& v) noexcept;
bool VarIsNullOrEmpty(const VarData& v) noexcept;

// ---- Conversions ---------------------------------------------------------------------------
// All follow references. Failures raise EVariantTypeCastError "Invalid variant type conversion";
// values out of the target's range raise EVariantOverflowError "Overflow". Floating-point values
// round half to even when converted to integers (Currency as well). Strings are parsed with the
// given locale settings; "True"/"False" (any case) convert to Boolean.

bool VarToBool(const VarData& v);
std::int32_t VarToInt32(const VarData& v);
std::int64_t VarToInt64(const VarData& v);
std::uint64_t VarToUInt64(const VarData& v);
double VarToDouble(const VarData& v, const TFormatSettings& fs = FormatSettings());
float VarToSingle(const VarData& v, const TFormatSettings& fs = FormatSettings());
Currency VarToCurrency(const VarData& v, const TFormatSettings& fs = FormatSettings());
TDateTime VarToDate(const VarData& v, const TFormatSettings& fs = FormatSettings());
UString VarToUString(const VarData& v, const TFormatSettings& fs = FormatSettings());
std::int32_t VarToError(const VarData& v);
// Empty and Null give the nil object; a dispatch value is shared (AddRef'd); an unknown
// interface is asked for IDispatch. The caller owns one reference to a non-null result.
IDispatch* VarToDispatch(const VarData& v);

// Converts `src` to type `vt` into `dst` (which may be the same variable as `src`).
// `vt` may be any scalar type code, varVariant (plain copy after dereferencing), varDispatch,
// varUnknown, varEmpty, varNull, or varArray | t (an array converted element by element).
void VarCast(Variant& dst, const VarData& src, VarType vt, const TFormatSettings& fs = FormatSettings());

// ---- General operations ----------------------------------------------------------------------

enum class VarOp { Add, Sub, Mul, Div, IntDiv, Mod, Shl, Shr, And, Or, Xor };
// `res` may be the same variable as either operand.
void VarBinaryOp(Variant& res, const VarData& left, const VarData& right, VarOp op);

// The Integer short way of VarBinaryOp for two Integers under +, -, *, And, Or and Xor: the
// result in `out`, or false when it does not fit in 32 bits or `op` is another operation (the
// general rules then decide: an overflow climbs to Int64). The one integer fast path of every
// caller: the general operation, the script machine's operators and its dispatch loop. Inline
// so that a constant `op` leaves a single instruction and its overflow test.
[[gnu::always_inline]] inline bool VarInt32Op(VarOp op, std::int32_t l, std::int32_t r, std::int32_t& out) noexcept {
    switch (op) {
        case VarOp::Add: return !__builtin_add_overflow(l, r, &out);
        case VarOp::Sub: return !__builtin_sub_overflow(l, r, &out);
        case VarOp::Mul: return !__builtin_mul_overflow(l, r, &out);
        case VarOp::And: out = l & r; return true;
        case VarOp::Or: out = l | r; return true;
        case VarOp::Xor: out = l ^ r; return true;
        default: return false;
    }
}

enum class VarOrder { Less, Equal, Greater, Unordered };
// Null equals only Null and orders before everything else; Empty equals 0 and "";
// an unordered pair (a NaN) answers Unordered.
VarOrder VarCompare(const VarData& left, const VarData& right);

void VarNeg(Variant& res, const VarData& v);
void VarNot(Variant& res, const VarData& v);

}  // namespace xan::plat
