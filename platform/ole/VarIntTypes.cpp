#include "platform/ole/VarIntTypes.h"

#include <algorithm>

#include "platform/ole/VarErrors.h"

namespace xan::plat::detail {

namespace {

struct IntInfo {
    bool isSigned;
    int width;  // bytes
};

IntInfo InfoOf(VarType t) noexcept {
    switch (t) {
    case varShortInt: return {true, 1};
    case varByte: return {false, 1};
    case varSmallint:
    case varBoolean: return {true, 2};
    case varWord: return {false, 2};
    case varInteger: return {true, 4};
    case varLongWord: return {false, 4};
    case varInt64: return {true, 8};
    default: return {false, 8};  // varUInt64
    }
}

VarType TypeOf(bool isSigned, int width) noexcept {
    switch (width) {
    case 1: return isSigned ? varShortInt : varByte;
    case 2: return isSigned ? varSmallint : varWord;
    case 4: return isSigned ? varInteger : varLongWord;
    default: return isSigned ? varInt64 : varUInt64;
    }
}

}  // namespace

bool IsIntType(VarType t) noexcept {
    switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64: return true;
    default: return false;
    }
}

bool FitsIn(I128 v, VarType t) noexcept {
    const IntInfo info = InfoOf(t);
    const int bits = info.width * 8;
    if (info.isSigned) {
        const I128 lim = static_cast<I128>(1) << (bits - 1);
        return v >= -lim && v < lim;
    }
    return v >= 0 && v < (static_cast<I128>(1) << bits);
}

I128 IntValueOf(const VarData& d) noexcept {
    switch (d.VType) {
    case varSmallint: return d.VSmallInt;
    case varInteger: return d.VInteger;
    case varShortInt: return d.VShortInt;
    case varByte: return d.VByte;
    case varWord: return d.VWord;
    case varLongWord: return d.VLongWord;
    case varInt64: return d.VInt64;
    case varUInt64: return d.VUInt64;
    case varBoolean: return d.VBoolean ? -1 : 0;
    case varError: return d.VError;
    default: return 0;
    }
}

VarType IntStartType(VarType a, VarType b) noexcept {
    if (a == varBoolean) a = varSmallint;
    if (b == varBoolean) b = varSmallint;
    if (a == b) return a;
    const IntInfo x = InfoOf(a), y = InfoOf(b);
    if (x.isSigned == y.isSigned) return TypeOf(x.isSigned, std::max(x.width, y.width));
    // Mixed signedness: a signed type wide enough for the unsigned range too.
    const int unsignedWidth = x.isSigned ? y.width : x.width;
    const int signedWidth = x.isSigned ? x.width : y.width;
    return TypeOf(true, std::min(8, std::max(signedWidth, unsignedWidth * 2)));
}

VarType NextWiderInt(VarType t) noexcept {
    switch (t) {
    case varShortInt:
    case varByte: return varSmallint;
    case varSmallint:
    case varWord: return varInteger;
    case varInteger:
    case varLongWord: return varInt64;
    default: return varEmpty;
    }
}

Variant MakeInt(VarType t, I128 v) noexcept {
    Variant r;
    if (InfoOf(t).isSigned)
        r.SetRaw(t, static_cast<Int64>(v));
    else
        r.SetRaw(t, static_cast<Int64>(static_cast<UInt64>(v)));
    return r;
}

Variant IntResult(VarType start, I128 v, bool toDouble) {
    for (VarType t = start; t != varEmpty; t = NextWiderInt(t))
        if (FitsIn(v, t)) return MakeInt(t, v);
    if (FitsIn(v, varInt64)) return MakeInt(varInt64, v);  // an unsigned start going negative
    if (!toDouble) RaiseVarOverflow();
    return Variant(static_cast<double>(v));
}

}  // namespace xan::plat::detail
