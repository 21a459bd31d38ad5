#pragma once
// Values between JavaScript (SpiderMonkey) and automation:
//   Empty <-> undefined     Null <-> null
//   Boolean <-> boolean     integer types -> number; a number that is a 32-bit integer -> Integer,
//                           any other number -> Double
//   Single, Double, Currency -> number
//   String <-> string       Date <-> Date (the date's clock time, taken as universal time)
//   array <-> Array (elements 0..n-1)
//   dispatch object <-> host object (a proxy: `obj.Name`, `obj.Name = v`, `obj.Method(...)`,
//                       `obj[i]` through the default member; converts back to its object)
// Every function runs inside the realm of the script it serves.
#include <js-config.h>
#include <jsapi.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/ole/ComIntf.h"

namespace xan::as::js {

// The JavaScript form of AValue (references followed); raises platform errors.
void FromVariant(JSContext* cx, const plat::VarData& AValue, JS::MutableHandleValue AOut);
plat::Variant ToVariant(JSContext* cx, JS::HandleValue AValue);
// A host object's member as `obj.Name` reads it: a property's value, or a function for a method.
// False (AOut untouched) when the object has no such member; host failures raise.
bool HostMember(JSContext* cx, plat::IDispatch* AObj, const plat::UString& AName, JS::MutableHandleValue AOut);
// A published object's proxy: a host object that is also called (`Item(args)`) through its
// default member.
JSObject* NewItemProxy(JSContext* cx, plat::IDispatch* AObj);
// The text of a JavaScript string.
plat::UString StringText(JSContext* cx, JSString* AStr);

// A new proxy that answers names from AObjects (asked in order) before going on to AProto:
// the global object's prototype, for objects published with their members.
using THostList = std::vector<plat::IDispatch*>;
JSObject* NewGlobalMembersProxy(JSContext* cx, const THostList* AObjects, JS::HandleObject AProto);

// Runs ABody; a platform exception becomes a pending JavaScript Error with the script's position
// (the calling frame) and false.
template <class F>
bool Guarded(JSContext* cx, F&& ABody) {
    std::string message;
    {
        std::unique_ptr<plat::Exception> e = plat::CatchAll(ABody);
        if (!e) return true;
        message = e->Message().ToUtf8();
    }
    JS_ReportErrorUTF8(cx, "%s", message.c_str());
    return false;
}

}  // namespace xan::as::js
