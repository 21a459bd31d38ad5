#pragma once
// Run-time type information of host classes: type descriptors (enumerations, method types and
// the scalar kinds), published properties looked up by name with typed getters and setters,
// and a registry of the properties each class publishes, searched from a class up through its
// ancestors.
//
// Registration, typically once at start-up:
//   RegisterProperties<TButton>({
//       EventProp<TButton>(u"OnClick", &TButton::OnClick, NotifyEventTypeInfo()),
//       OrdProp<TButton>(u"Tag", IntegerTypeInfo(), &TButton::GetTag, &TButton::SetTag),
//   });
#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/core/Method.h"
#include "platform/core/Object.h"
#include "platform/core/Types.h"

namespace xan::plat {

enum class TTypeKind { tkUnknown, tkInteger, tkInt64, tkEnumeration, tkFloat, tkString, tkClass, tkMethod };

// A type descriptor. Descriptors live as long as the process; their addresses are identities
// (registries of event wrappers key on method type descriptors).
struct TTypeInfo {
    TTypeKind Kind = TTypeKind::tkUnknown;
    UString Name;
    // Enumerations: the ordinal range and one name per ordinal from MinValue on.
    Integer MinValue = 0;
    Integer MaxValue = -1;
    std::vector<UString> EnumNames;
    // Classes: the class of the property's objects.
    TClass ClassType = nullptr;
};
using PTypeInfo = const TTypeInfo*;

// The shared descriptors of the scalar kinds.
PTypeInfo IntegerTypeInfo();
PTypeInfo Int64TypeInfo();
PTypeInfo BooleanTypeInfo();  // an enumeration False, True
PTypeInfo DoubleTypeInfo();
PTypeInfo StringTypeInfo();
PTypeInfo NotifyEventTypeInfo();  // TNotifyEvent = procedure (Sender)

// Descriptors made by hosts; the caller keeps the result for the life of the process.
TTypeInfo MakeEnumTypeInfo(UString name, std::initializer_list<const char16_t*> names, Integer minValue = 0);
TTypeInfo MakeMethodTypeInfo(UString name);
TTypeInfo MakeClassTypeInfo(TClass cls);

// Enumeration names: GetEnumName answers the empty string outside the range; GetEnumValue
// ignores ASCII case and answers -1 for an unknown name (enumerations start at 0 or above).
UString GetEnumName(PTypeInfo type, Integer value);
Integer GetEnumValue(PTypeInfo type, std::u16string_view name);

// A published property. Only the accessors matching the type's kind are set: ordinal kinds
// (integer, enumeration, Boolean) use the Int64 pair, floats the double pair, and so on.
// A property without a setter is read-only.
struct TPropInfo {
    UString Name;
    PTypeInfo PropType = nullptr;
    std::function<Int64(TObject&)> GetOrd;
    std::function<void(TObject&, Int64)> SetOrd;
    std::function<double(TObject&)> GetFloat;
    std::function<void(TObject&, double)> SetFloat;
    std::function<UString(TObject&)> GetStr;
    std::function<void(TObject&, const UString&)> SetStr;
    std::function<TObject*(TObject&)> GetObject;
    std::function<void(TObject&, TObject*)> SetObject;
    std::function<TMethod(TObject&)> GetMethod;
    std::function<void(TObject&, TMethod)> SetMethod;

    bool IsWritable() const noexcept { return SetOrd || SetFloat || SetStr || SetObject || SetMethod; }
};
using PPropInfo = const TPropInfo*;

// Adds the published properties of a class (declared by that class, not its ancestors).
// Registering a class again adds to its list; a name it already publishes is replaced.
void RegisterProperties(TClass cls, std::vector<TPropInfo> props);
template <class C>
void RegisterProperties(std::vector<TPropInfo> props) {
    RegisterProperties(C::StaticClass(), std::move(props));
}

// Looks a property up by name ignoring ASCII case: the class first, then its ancestors.
PPropInfo GetPropInfo(TClass cls, std::u16string_view name);
inline PPropInfo GetPropInfo(const TObject& obj, std::u16string_view name) {
    return GetPropInfo(obj.ClassType(), name);
}
// Every published property of the class and its ancestors, the class's own first; a name
// redeclared by a descendant hides the ancestor's.
std::vector<PPropInfo> GetPropList(TClass cls);

// Typed access. A property of another kind raises EPropertyConvertError; writing a read-only
// property or naming an unknown one raises EPropertyError.
Int64 GetOrdProp(TObject& obj, PPropInfo prop);
void SetOrdProp(TObject& obj, PPropInfo prop, Int64 value);
double GetFloatProp(TObject& obj, PPropInfo prop);
void SetFloatProp(TObject& obj, PPropInfo prop, double value);
UString GetStrProp(TObject& obj, PPropInfo prop);
void SetStrProp(TObject& obj, PPropInfo prop, const UString& value);
TObject* GetObjectProp(TObject& obj, PPropInfo prop);
void SetObjectProp(TObject& obj, PPropInfo prop, TObject* value);
TMethod GetMethodProp(TObject& obj, PPropInfo prop);
void SetMethodProp(TObject& obj, PPropInfo prop, TMethod value);
// By name: EPropertyError "Unknown property: <name>" when the class publishes none.
PPropInfo FindPropInfo(const TObject& obj, std::u16string_view name);
UString GetEnumProp(TObject& obj, PPropInfo prop);  // the enumeration name of the value
void SetEnumProp(TObject& obj, PPropInfo prop, std::u16string_view name);

// Builders for the usual shapes of host properties.
inline TPropInfo NewProp(UString name, PTypeInfo type) {
    TPropInfo p;
    p.Name = std::move(name);
    p.PropType = type;
    return p;
}

template <class C, class Sig>
TPropInfo EventProp(UString name, Event<Sig> C::*field, PTypeInfo type) {
    TPropInfo p = NewProp(std::move(name), type);
    p.GetMethod = [field](TObject& o) { return (static_cast<C&>(o).*field).AsMethod(); };
    p.SetMethod = [field](TObject& o, TMethod m) { static_cast<C&>(o).*field = Event<Sig>::FromMethod(m); };
    return p;
}

template <class C, class T>
TPropInfo OrdProp(UString name, PTypeInfo type, T (C::*getter)() const, void (C::*setter)(T) = nullptr) {
    TPropInfo p = NewProp(std::move(name), type);
    p.GetOrd = [getter](TObject& o) { return static_cast<Int64>((static_cast<C&>(o).*getter)()); };
    if (setter)
        p.SetOrd = [setter](TObject& o, Int64 v) { (static_cast<C&>(o).*setter)(static_cast<T>(v)); };
    return p;
}

template <class C, class T>
TPropInfo FloatProp(UString name, T (C::*getter)() const, void (C::*setter)(T) = nullptr) {
    TPropInfo p = NewProp(std::move(name), DoubleTypeInfo());
    p.GetFloat = [getter](TObject& o) { return static_cast<double>((static_cast<C&>(o).*getter)()); };
    if (setter)
        p.SetFloat = [setter](TObject& o, double v) { (static_cast<C&>(o).*setter)(static_cast<T>(v)); };
    return p;
}

template <class C, class G, class S = void (C::*)(const UString&)>
TPropInfo StrProp(UString name, G getter, S setter = nullptr) {
    TPropInfo p = NewProp(std::move(name), StringTypeInfo());
    p.GetStr = [getter](TObject& o) { return UString((static_cast<C&>(o).*getter)()); };
    if (setter) p.SetStr = [setter](TObject& o, const UString& v) { (static_cast<C&>(o).*setter)(v); };
    return p;
}

// The property's descriptor should be MakeClassTypeInfo(T::StaticClass()): SetObjectProp refuses
// objects of other classes before the setter sees them.
template <class C, class T>
TPropInfo ObjectProp(UString name, PTypeInfo type, T* (C::*getter)() const, void (C::*setter)(T*) = nullptr) {
    TPropInfo p = NewProp(std::move(name), type);
    p.GetObject = [getter](TObject& o) -> TObject* { return (static_cast<C&>(o).*getter)(); };
    if (setter)
        p.SetObject = [setter](TObject& o, TObject* v) { (static_cast<C&>(o).*setter)(static_cast<T*>(v)); };
    return p;
}

}  // namespace xan::plat
