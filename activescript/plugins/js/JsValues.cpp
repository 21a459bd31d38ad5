#include "activescript/plugins/js/JsValues.h"

#include <js/Array.h>
#include <js/Date.h>
#include <js/Proxy.h>
#include <js/String.h>
#include <jsfriendapi.h>

#include <cmath>
#include <vector>

#include "activescript/HostObjects.h"
#include "platform/ole/ComPtr.h"

namespace xan::as::js {

using plat::UString;
using plat::Variant;

namespace {

// Days from the automation epoch (30 Dec 1899) to the JavaScript one (1 Jan 1970).
constexpr double KEpochDays = 25569.0;
constexpr double KMsPerDay = 86400000.0;

char KHostFamily;     // proxies of host objects
char KMembersFamily;  // the global object's prototype of published members

[[noreturn]] void RaiseNoMember(const UString& AName) {
    plat::Throw<EScriptError>(UString(u"Object doesn't support this property or method: '") + AName +
                              std::u16string_view(u"'"));
}

plat::IDispatch* HostOf(JSObject* AProxy) {
    return static_cast<plat::IDispatch*>(::js::GetProxyPrivate(AProxy).toPrivate());
}

bool IsHostProxy(JSObject* AObj) {
    return ::js::IsProxy(AObj) && ::js::GetProxyHandler(AObj)->family() == &KHostFamily;
}

// The arguments of a native call as automation values.
std::vector<Variant> Arguments(JSContext* cx, const JS::CallArgs& AArgs) {
    std::vector<Variant> out;
    out.reserve(AArgs.length());
    for (unsigned i = 0; i < AArgs.length(); ++i) out.push_back(ToVariant(cx, AArgs[i]));
    return out;
}

// A method of a host object: reserved slot 0 holds the object's proxy, slot 1 the member's id.
bool MethodCall(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JSObject* proxy = &::js::GetFunctionNativeReserved(&args.callee(), 0).toObject();
    const DISPID id = ::js::GetFunctionNativeReserved(&args.callee(), 1).toInt32();
    return Guarded(cx, [&] {
        std::vector<Variant> values = Arguments(cx, args);
        FromVariant(cx, HostCall(HostOf(proxy), id, values), args.rval());
    });
}

// What a property key names: a member by name, or the default member with an index.
struct TMemberKey {
    bool IsName = false;
    bool IsIndex = false;
    UString Name;
    Variant Index;
};

TMemberKey KeyOf(JSContext* cx, JS::HandleId AId) {
    TMemberKey key;
    if (AId.isInt()) {
        key.IsIndex = true;
        key.Index = Variant(static_cast<std::int32_t>(AId.toInt()));
    } else if (AId.isString()) {
        key.IsName = true;
        key.Name = StringText(cx, AId.toString());
    }
    return key;
}

// Host objects: every name is asked of the object; they have no prototype and no own keys.
class THostHandler : public ::js::BaseProxyHandler {
public:
    constexpr THostHandler() : BaseProxyHandler(&KHostFamily) {}

    bool getOwnPropertyDescriptor(JSContext* cx, JS::HandleObject proxy, JS::HandleId id,
                                  JS::MutableHandle<mozilla::Maybe<JS::PropertyDescriptor>> desc) const override {
        JS::RootedValue v(cx);
        bool found = false;
        if (!Read(cx, proxy, id, &v, found)) return false;
        if (found)
            desc.set(mozilla::Some(JS::PropertyDescriptor::Data(
                v, {JS::PropertyAttribute::Enumerable, JS::PropertyAttribute::Writable})));
        else
            desc.set(mozilla::Nothing());
        return true;
    }
    bool defineProperty(JSContext*, JS::HandleObject, JS::HandleId, JS::Handle<JS::PropertyDescriptor>,
                        JS::ObjectOpResult& result) const override {
        return result.failCantDefineWindowElement();
    }
    bool ownPropertyKeys(JSContext*, JS::HandleObject, JS::MutableHandleIdVector) const override { return true; }
    bool delete_(JSContext*, JS::HandleObject, JS::HandleId, JS::ObjectOpResult& result) const override {
        return result.failCantDelete();
    }
    bool getPrototypeIfOrdinary(JSContext*, JS::HandleObject, bool* isOrdinary,
                                JS::MutableHandleObject protop) const override {
        *isOrdinary = true;
        protop.set(nullptr);
        return true;
    }
    bool preventExtensions(JSContext*, JS::HandleObject, JS::ObjectOpResult& result) const override {
        return result.failCantPreventExtensions();
    }
    bool isExtensible(JSContext*, JS::HandleObject, bool* extensible) const override {
        *extensible = true;
        return true;
    }
    bool has(JSContext* cx, JS::HandleObject proxy, JS::HandleId id, bool* bp) const override {
        const TMemberKey key = KeyOf(cx, id);
        *bp = key.IsIndex || (key.IsName && HostMemberId(HostOf(proxy), key.Name) != plat::DISPID_UNKNOWN);
        return true;
    }
    bool get(JSContext* cx, JS::HandleObject proxy, JS::HandleValue, JS::HandleId id,
             JS::MutableHandleValue vp) const override {
        bool found = false;
        if (!Read(cx, proxy, id, vp, found)) return false;
        if (!found) vp.setUndefined();
        return true;
    }
    bool set(JSContext* cx, JS::HandleObject proxy, JS::HandleId id, JS::HandleValue v, JS::HandleValue,
             JS::ObjectOpResult& result) const override {
        const TMemberKey key = KeyOf(cx, id);
        if (!key.IsName && !key.IsIndex) return result.succeed();
        if (!Guarded(cx, [&] {
                const Variant value = ToVariant(cx, v);
                IDispatch* obj = HostOf(proxy);
                if (key.IsIndex) {
                    Variant index = key.Index;
                    HostPut(obj, plat::DISPID_VALUE, std::span<Variant>(&index, 1), value);
                    return;
                }
                const DISPID member = HostMemberId(obj, key.Name);
                if (member == plat::DISPID_UNKNOWN) RaiseNoMember(key.Name);
                HostPut(obj, member, {}, value);
            }))
            return false;
        return result.succeed();
    }
    const char* className(JSContext*, JS::HandleObject) const override { return "Object"; }
    void finalize(JS::GCContext*, JSObject* proxy) const override {
        if (IDispatch* obj = HostOf(proxy)) obj->Release();
    }

private:
    // A name: the member's value or method; an index: the default member with it. Symbols and
    // unknown names are not found.
    static bool Read(JSContext* cx, JS::HandleObject proxy, JS::HandleId id, JS::MutableHandleValue AOut,
                     bool& AFound) {
        const TMemberKey key = KeyOf(cx, id);
        AFound = false;
        if (!key.IsName && !key.IsIndex) return true;
        return Guarded(cx, [&] {
            if (key.IsIndex) {
                Variant index = key.Index;
                FromVariant(cx, HostCall(HostOf(proxy), plat::DISPID_VALUE, std::span<Variant>(&index, 1)), AOut);
                AFound = true;
                return;
            }
            AFound = HostMember(cx, HostOf(proxy), key.Name, AOut);
        });
    }
};

// The global object's prototype: names of the objects published with their members, then the
// ordinary prototype (hasPrototype: the engine walks on to it for names this does not own).
class TMembersHandler : public ::js::BaseProxyHandler {
public:
    constexpr TMembersHandler() : BaseProxyHandler(&KMembersFamily, true) {}

    bool getOwnPropertyDescriptor(JSContext* cx, JS::HandleObject proxy, JS::HandleId id,
                                  JS::MutableHandle<mozilla::Maybe<JS::PropertyDescriptor>> desc) const override {
        JS::RootedValue v(cx);
        bool found = false;
        if (!Find(cx, proxy, id, &v, found)) return false;
        if (found)
            desc.set(mozilla::Some(JS::PropertyDescriptor::Data(v, {JS::PropertyAttribute::Writable})));
        else
            desc.set(mozilla::Nothing());
        return true;
    }
    bool defineProperty(JSContext*, JS::HandleObject, JS::HandleId, JS::Handle<JS::PropertyDescriptor>,
                        JS::ObjectOpResult& result) const override {
        return result.failCantDefineWindowElement();
    }
    bool ownPropertyKeys(JSContext*, JS::HandleObject, JS::MutableHandleIdVector) const override { return true; }
    bool delete_(JSContext*, JS::HandleObject, JS::HandleId, JS::ObjectOpResult& result) const override {
        return result.succeed();
    }
    bool getPrototypeIfOrdinary(JSContext*, JS::HandleObject proxy, bool* isOrdinary,
                                JS::MutableHandleObject protop) const override {
        *isOrdinary = true;
        protop.set(::js::GetStaticPrototype(proxy));
        return true;
    }
    bool preventExtensions(JSContext*, JS::HandleObject, JS::ObjectOpResult& result) const override {
        return result.failCantPreventExtensions();
    }
    bool isExtensible(JSContext*, JS::HandleObject, bool* extensible) const override {
        *extensible = true;
        return true;
    }
    bool hasOwn(JSContext* cx, JS::HandleObject proxy, JS::HandleId id, bool* bp) const override {
        *bp = false;
        const TMemberKey key = KeyOf(cx, id);
        if (!key.IsName) return true;
        for (IDispatch* obj : *List(proxy))
            if (HostMemberId(obj, key.Name) != plat::DISPID_UNKNOWN) {
                *bp = true;
                break;
            }
        return true;
    }
    bool get(JSContext* cx, JS::HandleObject proxy, JS::HandleValue, JS::HandleId id,
             JS::MutableHandleValue vp) const override {
        bool found = false;
        if (!Find(cx, proxy, id, vp, found)) return false;
        if (!found) vp.setUndefined();
        return true;
    }
    const char* className(JSContext*, JS::HandleObject) const override { return "Object"; }

private:
    static const THostList* List(JSObject* AProxy) {
        return static_cast<const THostList*>(::js::GetProxyPrivate(AProxy).toPrivate());
    }
    static bool Find(JSContext* cx, JS::HandleObject proxy, JS::HandleId id, JS::MutableHandleValue AOut,
                     bool& AFound) {
        AFound = false;
        const TMemberKey key = KeyOf(cx, id);
        if (!key.IsName) return true;
        return Guarded(cx, [&] {
            for (IDispatch* obj : *List(proxy))
                if ((AFound = HostMember(cx, obj, key.Name, AOut))) return;
        });
    }
};

// A published object: `Item(args)` calls its default member, as automation clients call an
// object (the host's condition texts do). Being callable, its typeof is "function", so objects
// passed as values are not.
class TItemHandler final : public THostHandler {
public:
    bool isCallable(JSObject*) const override { return true; }
    bool call(JSContext* cx, JS::HandleObject proxy, const JS::CallArgs& args) const override {
        return Guarded(cx, [&] {
            std::vector<Variant> values = Arguments(cx, args);
            FromVariant(cx, HostCall(HostOf(proxy), plat::DISPID_VALUE, values), args.rval());
        });
    }
};

const THostHandler KHostHandler;
const TItemHandler KItemHandler;
const TMembersHandler KMembersHandler;

JSObject* NewHostProxy(JSContext* cx, IDispatch* AObj, const THostHandler& AHandler = KHostHandler) {
    JS::RootedValue priv(cx, JS::PrivateValue(AObj));
    ::js::ProxyOptions options;
    JSObject* proxy = ::js::NewProxyObject(cx, &AHandler, priv, nullptr, options);
    if (!proxy) plat::Throw<EScriptError>(UString(u"Not enough memory for a host object"));
    AObj->AddRef();
    return proxy;
}

void FromArray(JSContext* cx, const plat::VarData& AValue, JS::MutableHandleValue AOut) {
    const std::vector<Variant> items = ArrayElements(AValue);
    JS::RootedObject array(cx, JS::NewArrayObject(cx, items.size()));
    if (!array) plat::Throw<EScriptError>(UString(u"Not enough memory for an array"));
    JS::RootedValue item(cx);
    for (std::size_t i = 0; i < items.size(); ++i) {
        FromVariant(cx, items[i], &item);
        JS_SetElement(cx, array, static_cast<std::uint32_t>(i), item);
    }
    AOut.setObject(*array);
}

Variant ToArray(JSContext* cx, JS::HandleObject AArray) {
    std::uint32_t length = 0;
    JS::GetArrayLength(cx, AArray, &length);
    std::vector<Variant> items(length);
    JS::RootedValue item(cx);
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!JS_GetElement(cx, AArray, i, &item)) plat::Throw<EScriptError>(UString(u"An array element cannot be read"));
        items[i] = ToVariant(cx, item);
    }
    return MakeVariantArray(items);
}

}  // namespace

UString StringText(JSContext* cx, JSString* AStr) {
    std::u16string text(JS_GetStringLength(AStr), u'\0');
    if (!text.empty()) JS_CopyStringChars(cx, mozilla::Range<char16_t>(text.data(), text.size()), AStr);
    return UString(text);
}

bool HostMember(JSContext* cx, IDispatch* AObj, const UString& AName, JS::MutableHandleValue AOut) {
    const DISPID id = HostMemberId(AObj, AName);
    if (id == plat::DISPID_UNKNOWN) return false;
    Variant value;
    if (TryHostGet(AObj, id, {}, value)) {
        FromVariant(cx, value, AOut);
        return true;
    }
    const std::string name = AName.ToUtf8();
    JSFunction* method = ::js::NewFunctionWithReserved(cx, MethodCall, 0, 0, name.c_str());
    if (!method) plat::Throw<EScriptError>(UString(u"Not enough memory for a method"));
    JS::RootedObject fun(cx, JS_GetFunctionObject(method));
    ::js::SetFunctionNativeReserved(fun, 0, JS::ObjectValue(*NewHostProxy(cx, AObj)));
    ::js::SetFunctionNativeReserved(fun, 1, JS::Int32Value(id));
    AOut.setObject(*fun);
    return true;
}

JSObject* NewItemProxy(JSContext* cx, IDispatch* AObj) { return NewHostProxy(cx, AObj, KItemHandler); }

JSObject* NewGlobalMembersProxy(JSContext* cx, const THostList* AObjects, JS::HandleObject AProto) {
    JS::RootedValue priv(cx, JS::PrivateValue(const_cast<THostList*>(AObjects)));
    return ::js::NewProxyObject(cx, &KMembersHandler, priv, AProto);
}

void FromVariant(JSContext* cx, const plat::VarData& AValue, JS::MutableHandleValue AOut) {
    const plat::VarData v = plat::VarDerefAll(AValue);
    if (v.VType & plat::varArray) return FromArray(cx, v, AOut);
    switch (v.VType) {
        case plat::varEmpty: AOut.setUndefined(); return;
        case plat::varNull: AOut.setNull(); return;
        case plat::varBoolean: AOut.setBoolean(v.VBoolean != 0); return;
        case plat::varSmallint: case plat::varInteger: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64: case plat::varUInt64:
            AOut.setNumber(static_cast<double>(plat::VarToInt64(v)));
            return;
        case plat::varError: AOut.setInt32(v.VError); return;
        case plat::varDate: {
            JSObject* date = JS::NewDateObject(cx, JS::TimeClip(std::round((v.VDate - KEpochDays) * KMsPerDay)));
            if (!date) plat::Throw<EScriptError>(UString(u"The date is out of range"));
            AOut.setObject(*date);
            return;
        }
        case plat::varOleStr: case plat::varString: {
            const std::u16string_view s = v.StrView();
            JSString* str = JS_NewUCStringCopyN(cx, s.data(), s.size());
            if (!str) plat::Throw<EScriptError>(UString(u"Not enough memory for a string"));
            AOut.setString(str);
            return;
        }
        case plat::varDispatch: case plat::varUnknown: {
            plat::ComPtr<IDispatch> d = plat::ComPtr<IDispatch>::Attach(plat::VarToDispatch(v));
            if (d) AOut.setObject(*NewHostProxy(cx, d.Get()));
            else AOut.setNull();
            return;
        }
        default: AOut.setDouble(plat::VarToDouble(v)); return;
    }
}

Variant ToVariant(JSContext* cx, JS::HandleValue AValue) {
    if (AValue.isUndefined()) return Variant();
    if (AValue.isNull()) return Variant::Null();
    if (AValue.isBoolean()) return Variant(AValue.toBoolean());
    if (AValue.isInt32()) return Variant(static_cast<std::int32_t>(AValue.toInt32()));
    if (AValue.isDouble()) {
        const double d = AValue.toDouble();
        if (d == std::trunc(d) && d >= INT32_MIN && d <= INT32_MAX && !(d == 0 && std::signbit(d)))
            return Variant(static_cast<std::int32_t>(d));
        return Variant(d);
    }
    if (AValue.isString()) return Variant(StringText(cx, AValue.toString()));
    if (AValue.isObject()) {
        JS::RootedObject obj(cx, &AValue.toObject());
        if (IsHostProxy(obj)) return Variant(HostOf(obj));
        bool isDate = false, isArray = false;
        if (JS::ObjectIsDate(cx, obj, &isDate) && isDate) {
            double ms = 0;
            ::js::DateGetMsecSinceEpoch(cx, obj, &ms);
            return Variant::FromDate(ms / KMsPerDay + KEpochDays);
        }
        if (JS::IsArrayObject(cx, obj, &isArray) && isArray) return ToArray(cx, obj);
    }
    JSString* kind = JS_TypeOfValue(cx, AValue) == JSTYPE_FUNCTION ? JS_NewStringCopyZ(cx, "function")
                                                                   : JS_NewStringCopyZ(cx, "object");
    plat::Throw<EScriptError>(UString(u"A JavaScript ") + (kind ? StringText(cx, kind) : UString(u"value")) +
                              std::u16string_view(u" cannot be passed to the host"));
}

}  // namespace xan::as::js
