#pragma once
// Values between Lua and automation:
//   Empty <-> nil           Null <-> Null (a unique value of its own)
//   Boolean <-> boolean     integer types <-> integer (Integer when it fits, else Int64)
//   Single, Double, Currency -> float; float -> Double
//   String <-> string (UTF-8 inside Lua)
//   Date <-> a date value (prints as the date; compares and round-trips)
//   array <-> table with the elements at 1..n (a table with keys 1..n becomes an array)
//   dispatch object <-> host object (a proxy; a proxy converts back to its object)
//   function -> an object whose default member calls it
#include <memory>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "platform/core/Exception.h"
#include "platform/ole/ComIntf.h"

namespace xan::as::lua {

// Runs ABody; a platform exception becomes a Lua error with the script's position in front.
// ABody must not raise Lua errors itself.
template <class F>
int Guarded(lua_State* L, F&& ABody) {
    int results = 0;
    std::string message;
    {
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { results = ABody(); });
        if (!e) return results;
        message = e->Message().ToUtf8();
    }
    luaL_where(L, 1);
    lua_pushstring(L, message.c_str());
    lua_concat(L, 2);
    return lua_error(L);
}

// Registers the metatables and the Null value in a new state.
void InstallValueTypes(lua_State* L);
// Pushes a host object's member as `obj.Name` reads it: a property's value, or a callable for a
// method. False (nothing pushed) when the object has no such member; host failures raise.
bool PushHostMember(lua_State* L, plat::IDispatch* AObj, const plat::UString& AName);
// Pushes the Lua form of AValue (references followed).
void PushVariant(lua_State* L, const plat::VarData& AValue);
// The automation form of the value at AIndex.
plat::Variant ToVariant(lua_State* L, int AIndex);

}  // namespace xan::as::lua
