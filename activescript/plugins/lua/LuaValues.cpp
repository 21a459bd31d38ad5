#include "activescript/plugins/lua/LuaValues.h"

#include <memory>
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/SafeArray.h"

extern "C" {
#include <lauxlib.h>
}

namespace xan::as::lua {

using plat::Variant;

namespace {

constexpr const char* KObjectType = "velmora.object";
constexpr const char* KMethodType = "velmora.method";
constexpr const char* KDateType = "velmora.date";
// Null is the address of this byte, as a light userdata.
char KNullTag;

struct TProxy {
    IDispatch* Obj;  // one reference
};
struct TMethod {
    IDispatch* Obj;  // one reference
    DISPID Id;
};
struct TDate {
    double Value;
};

std::string Text(lua_State* L, int AIndex) {
    std::size_t len = 0;
    const char* s = lua_tolstring(L, AIndex, &len);
    return std::string(s ? s : "", len);
}

void PushUtf8(lua_State* L, const UString& AText) {
    const std::string s = AText.ToUtf8();
    lua_pushlstring(L, s.data(), s.size());
}

void PushProxy(lua_State* L, IDispatch* AObj) {
    auto* p = static_cast<TProxy*>(lua_newuserdatauv(L, sizeof(TProxy), 0));
    p->Obj = AObj;
    AObj->AddRef();
    luaL_setmetatable(L, KObjectType);
}

IDispatch* ProxyAt(lua_State* L, int AIndex) {
    auto* p = static_cast<TProxy*>(luaL_testudata(L, AIndex, KObjectType));
    return p ? p->Obj : nullptr;
}

// The arguments AFirst..top as automation values.
std::vector<Variant> Arguments(lua_State* L, int AFirst) {
    std::vector<Variant> args;
    for (int i = AFirst; i <= lua_gettop(L); ++i) args.push_back(ToVariant(L, i));
    return args;
}

int ObjectIndex(lua_State* L) {
    IDispatch* obj = ProxyAt(L, 1);
    return Guarded(L, [&] {
        if (lua_type(L, 2) != LUA_TSTRING) {  // obj[i]: the default member
            std::vector<Variant> args{ToVariant(L, 2)};
            PushVariant(L, HostCall(obj, plat::DISPID_VALUE, args));
            return 1;
        }
        const UString name = UString::FromUtf8(Text(L, 2));
        if (!PushHostMember(L, obj, name))
            plat::Throw<EScriptError>(UString(u"Object doesn't support this property or method: '") + name + std::u16string_view(u"'"));
        return 1;
    });
}

int ObjectNewIndex(lua_State* L) {
    IDispatch* obj = ProxyAt(L, 1);
    return Guarded(L, [&] {
        const Variant value = ToVariant(L, 3);
        if (lua_type(L, 2) != LUA_TSTRING) {
            std::vector<Variant> args{ToVariant(L, 2)};
            HostPut(obj, plat::DISPID_VALUE, args, value);
            return 0;
        }
        const UString name = UString::FromUtf8(Text(L, 2));
        const DISPID id = HostMemberId(obj, name);
        if (id == plat::DISPID_UNKNOWN)
            plat::Throw<EScriptError>(UString(u"Object doesn't support this property or method: '") + name + std::u16string_view(u"'"));
        HostPut(obj, id, {}, value);
        return 0;
    });
}

int ObjectCall(lua_State* L) {
    IDispatch* obj = ProxyAt(L, 1);
    return Guarded(L, [&] {
        std::vector<Variant> args = Arguments(L, 2);
        PushVariant(L, HostCall(obj, plat::DISPID_VALUE, args));
        return 1;
    });
}

int ObjectGc(lua_State* L) {
    if (auto* p = static_cast<TProxy*>(luaL_testudata(L, 1, KObjectType)); p && p->Obj) {
        p->Obj->Release();
        p->Obj = nullptr;
    }
    return 0;
}

int ObjectToString(lua_State* L) {
    lua_pushstring(L, "[object]");
    return 1;
}

int MethodCall(lua_State* L) {
    auto* m = static_cast<TMethod*>(luaL_checkudata(L, 1, KMethodType));
    // obj:Name(...) passes the object first; obj.Name(...) does not.
    const int first = ProxyAt(L, 2) == m->Obj ? 3 : 2;
    return Guarded(L, [&] {
        std::vector<Variant> args = Arguments(L, first);
        PushVariant(L, HostCall(m->Obj, m->Id, args));
        return 1;
    });
}

int MethodGc(lua_State* L) {
    if (auto* m = static_cast<TMethod*>(luaL_testudata(L, 1, KMethodType)); m && m->Obj) {
        m->Obj->Release();
        m->Obj = nullptr;
    }
    return 0;
}

double DateAt(lua_State* L, int AIndex) { return static_cast<TDate*>(luaL_checkudata(L, AIndex, KDateType))->Value; }

int DateToString(lua_State* L) {
    const double d = DateAt(L, 1);
    return Guarded(L, [&] {
        PushUtf8(L, plat::VarToUString(Variant::FromDate(d)));
        return 1;
    });
}
int DateEq(lua_State* L) {
    lua_pushboolean(L, DateAt(L, 1) == DateAt(L, 2));
    return 1;
}
int DateLt(lua_State* L) {
    lua_pushboolean(L, DateAt(L, 1) < DateAt(L, 2));
    return 1;
}
int DateLe(lua_State* L) {
    lua_pushboolean(L, DateAt(L, 1) <= DateAt(L, 2));
    return 1;
}

void NewMetatable(lua_State* L, const char* AName, const luaL_Reg* AFuncs) {
    luaL_newmetatable(L, AName);
    luaL_setfuncs(L, AFuncs, 0);
    lua_pushliteral(L, "locked");
    lua_setfield(L, -2, "__metatable");
    lua_pop(L, 1);
}

bool IsArrayTable(lua_State* L, int AIndex) {
    if (lua_rawlen(L, AIndex) > 0) return true;
    lua_pushnil(L);
    if (lua_next(L, AIndex) == 0) return true;  // the empty table is the empty array
    lua_pop(L, 2);
    return false;
}

}  // namespace

bool PushHostMember(lua_State* L, IDispatch* AObj, const UString& AName) {
    const DISPID id = HostMemberId(AObj, AName);
    if (id == plat::DISPID_UNKNOWN) return false;
    Variant value;
    if (TryHostGet(AObj, id, {}, value)) {
        PushVariant(L, value);
        return true;
    }
    auto* m = static_cast<TMethod*>(lua_newuserdatauv(L, sizeof(TMethod), 0));
    m->Obj = AObj;
    m->Id = id;
    AObj->AddRef();
    luaL_setmetatable(L, KMethodType);
    return true;
}

void InstallValueTypes(lua_State* L) {
    static const luaL_Reg object[] = {{"__index", ObjectIndex}, {"__newindex", ObjectNewIndex},
                                      {"__call", ObjectCall},   {"__gc", ObjectGc},
                                      {"__tostring", ObjectToString}, {nullptr, nullptr}};
    static const luaL_Reg method[] = {{"__call", MethodCall}, {"__gc", MethodGc}, {nullptr, nullptr}};
    static const luaL_Reg date[] = {{"__tostring", DateToString}, {"__eq", DateEq}, {"__lt", DateLt},
                                    {"__le", DateLe}, {nullptr, nullptr}};
    NewMetatable(L, KObjectType, object);
    NewMetatable(L, KMethodType, method);
    NewMetatable(L, KDateType, date);
    lua_pushlightuserdata(L, &KNullTag);
    lua_setglobal(L, "Null");
}

void PushVariant(lua_State* L, const plat::VarData& AValue) {
    const plat::VarData v = plat::VarDerefAll(AValue);
    if (v.VType & plat::varArray) {
        const std::vector<Variant> items = ArrayElements(v);
        lua_createtable(L, static_cast<int>(items.size()), 0);
        for (std::size_t i = 0; i < items.size(); ++i) {
            PushVariant(L, items[i]);
            lua_rawseti(L, -2, static_cast<lua_Integer>(i + 1));
        }
        return;
    }
    switch (v.VType) {
        case plat::varEmpty: lua_pushnil(L); return;
        case plat::varNull: lua_pushlightuserdata(L, &KNullTag); return;
        case plat::varBoolean: lua_pushboolean(L, v.VBoolean != 0); return;
        case plat::varSmallint: case plat::varInteger: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64: case plat::varError:
            lua_pushinteger(L, plat::VarToInt64(v.VType == plat::varError ? VarData(plat::varInteger, v.VError) : v));
            return;
        case plat::varUInt64: lua_pushinteger(L, static_cast<lua_Integer>(v.VUInt64)); return;
        case plat::varDate: {
            auto* d = static_cast<TDate*>(lua_newuserdatauv(L, sizeof(TDate), 0));
            d->Value = v.VDate;
            luaL_setmetatable(L, KDateType);
            return;
        }
        case plat::varOleStr: case plat::varString: PushUtf8(L, UString(v.StrView())); return;
        case plat::varDispatch: case plat::varUnknown: {
            plat::ComPtr<IDispatch> d = plat::ComPtr<IDispatch>::Attach(plat::VarToDispatch(v));
            if (d) PushProxy(L, d.Get());
            else lua_pushnil(L);
            return;
        }
        default: lua_pushnumber(L, plat::VarToDouble(v)); return;
    }
}

Variant ToVariant(lua_State* L, int AIndex) {
    AIndex = lua_absindex(L, AIndex);
    switch (lua_type(L, AIndex)) {
        case LUA_TNIL: case LUA_TNONE: return Variant();
        case LUA_TBOOLEAN: return Variant(lua_toboolean(L, AIndex) != 0);
        case LUA_TNUMBER:
            if (lua_isinteger(L, AIndex)) {
                const lua_Integer i = lua_tointeger(L, AIndex);
                if (i >= INT32_MIN && i <= INT32_MAX) return Variant(static_cast<std::int32_t>(i));
                return Variant(static_cast<std::int64_t>(i));
            }
            return Variant(static_cast<double>(lua_tonumber(L, AIndex)));
        case LUA_TSTRING: return Variant(UString::FromUtf8(Text(L, AIndex)));
        case LUA_TLIGHTUSERDATA:
            if (lua_touserdata(L, AIndex) == &KNullTag) return Variant::Null();
            break;
        case LUA_TUSERDATA:
            if (IDispatch* obj = ProxyAt(L, AIndex)) return Variant(obj);
            if (auto* d = static_cast<TDate*>(luaL_testudata(L, AIndex, KDateType))) return Variant::FromDate(d->Value);
            break;
        case LUA_TTABLE:
            if (IsArrayTable(L, AIndex)) {
                std::vector<Variant> items(lua_rawlen(L, AIndex));
                for (std::size_t i = 0; i < items.size(); ++i) {
                    lua_rawgeti(L, AIndex, static_cast<lua_Integer>(i + 1));
                    items[i] = ToVariant(L, -1);
                    lua_pop(L, 1);
                }
                return MakeVariantArray(items);
            }
            break;
        default: break;
    }
    plat::Throw<EScriptError>(UString(u"A Lua ") + UString::FromUtf8(luaL_typename(L, AIndex)) +
                              std::u16string_view(u" cannot be passed to the host"));
}

}  // namespace xan::as::lua
