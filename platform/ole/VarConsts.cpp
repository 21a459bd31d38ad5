#include "platform/ole/VarConsts.h"

#include <cstdio>
#include <map>
#include <mutex>

namespace xan::plat {

constinit const Variant UnassignedVariant;
constinit const Variant NullVariant(varNull, 0, std::in_place);
constinit const Variant ZeroVariant(std::int32_t{0});
constinit const Variant OneVariant(std::int32_t{1});
constinit const Variant MinusOneVariant(std::int32_t{-1});

namespace {

constexpr const char16_t* kBaseNames[21] = {
    u"Unassigned", u"Null",     u"Smallint", u"Integer", u"Single",   u"Double",   u"Currency",
    u"Date",       u"String",   u"Object",   u"Error",   u"Boolean",  u"Variant",  u"Unknown",
    u"Decimal",    u"$0F",      u"ShortInt", u"Byte",    u"Word",     u"LongWord", u"Int64",
};

struct Extensions {
    std::mutex lock;
    std::map<VarType, UString> names;
};

Extensions& TheExtensions() {
    static Extensions e;
    return e;
}

bool FindExtension(VarType vt, UString& name) {
    Extensions& e = TheExtensions();
    std::lock_guard guard(e.lock);
    auto it = e.names.find(vt);
    if (it == e.names.end()) return false;
    name = it->second.Substr(1);
    return true;
}

UString BaseTypeName(VarType full) {
    const VarType low = full & varTypeMask;
    if (low < 21) return UString(kBaseNames[low]);
    if (full == varString) return UString(u"String");
    if (full == varAny) return UString(u"Any");
    UString ext;
    if (FindExtension(full, ext)) return ext;
    char buf[32];
    std::snprintf(buf, sizeof buf, "Unknown type $%X", static_cast<unsigned>(low));
    return UString::FromLatin1(buf);
}

}  // namespace

UString VarTypeName(VarType vt) {
    const bool isArray = (vt & varArray) != 0;
    const VarType base = static_cast<VarType>(vt & ~(varArray | varByRef));
    UString name = BaseTypeName(base);
    return isArray ? UString(u"array of ") + name : name;
}

UString VarTypeNameOf(const VarData& v) { return VarTypeName(VarTypeOf(v)); }

void RegisterVarExtensionType(VarType vt, UString className) {
    Extensions& e = TheExtensions();
    std::lock_guard guard(e.lock);
    e.names[vt] = std::move(className);
}

void UnregisterVarExtensionType(VarType vt) {
    Extensions& e = TheExtensions();
    std::lock_guard guard(e.lock);
    e.names.erase(vt);
}

}  // namespace xan::plat
