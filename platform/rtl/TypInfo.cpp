#include "platform/rtl/TypInfo.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <mutex>

#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/JoinTexts.h"
#include "platform/rtl/RtlErrors.h"

namespace xan::plat {

namespace {

TTypeInfo Scalar(TTypeKind kind, const char16_t* name) {
    TTypeInfo t;
    t.Kind = kind;
    t.Name = name;
    return t;
}

struct ClassProps {
    std::vector<std::unique_ptr<TPropInfo>> props;  // stable addresses for PPropInfo
};

struct Registry {
    std::mutex lock;
    std::map<TClass, ClassProps> classes;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

PPropInfo FindOwn(const ClassProps& c, std::u16string_view name) {
    for (const auto& p : c.props)
        if (SameText(p->Name, name)) return p.get();
    return nullptr;
}

[[noreturn]] void RaiseWrongKind(PPropInfo prop, const char16_t* wanted) {
    Throw<EPropertyConvertError>(JoinTexts({u"Property ", prop->Name, u" is not of ", wanted, u" type"}));
}

[[noreturn]] void RaiseReadOnly(PPropInfo prop) {
    Throw<EPropertyError>(JoinTexts({u"Property ", prop->Name, u" is read-only"}));
}

// A lookup that found nothing hands in null; refuse it rather than crash.
void CheckProp(PPropInfo prop) {
    if (!prop) Throw<EPropertyError>(u"No property given");
}

// A setter is missing either because the property is read-only (its getter of the same kind
// exists) or because the property has another kind.
template <class Get, class Set>
const Set& NeedSetter(PPropInfo prop, Get TPropInfo::*getter, Set TPropInfo::*setter, const char16_t* kind) {
    CheckProp(prop);
    if (prop->*setter) return prop->*setter;
    if (prop->*getter) RaiseReadOnly(prop);
    RaiseWrongKind(prop, kind);
}

template <class Get>
const Get& NeedGetter(PPropInfo prop, Get TPropInfo::*getter, const char16_t* kind) {
    CheckProp(prop);
    if (!(prop->*getter)) RaiseWrongKind(prop, kind);
    return prop->*getter;
}

std::optional<Integer> FindEnumValue(PTypeInfo type, std::u16string_view name) {
    if (!type || type->Kind != TTypeKind::tkEnumeration) return std::nullopt;
    for (std::size_t i = 0; i < type->EnumNames.size(); ++i)
        if (SameText(type->EnumNames[i], name)) return type->MinValue + static_cast<Integer>(i);
    return std::nullopt;
}

bool IsEnumeration(PPropInfo prop) {
    CheckProp(prop);
    return prop->PropType && prop->PropType->Kind == TTypeKind::tkEnumeration;
}

}  // namespace

PTypeInfo IntegerTypeInfo() {
    static const TTypeInfo t = Scalar(TTypeKind::tkInteger, u"Integer");
    return &t;
}
PTypeInfo Int64TypeInfo() {
    static const TTypeInfo t = Scalar(TTypeKind::tkInt64, u"Int64");
    return &t;
}
PTypeInfo BooleanTypeInfo() {
    static const TTypeInfo t = MakeEnumTypeInfo(u"Boolean", {u"False", u"True"});
    return &t;
}
PTypeInfo DoubleTypeInfo() {
    static const TTypeInfo t = Scalar(TTypeKind::tkFloat, u"Double");
    return &t;
}
PTypeInfo StringTypeInfo() {
    static const TTypeInfo t = Scalar(TTypeKind::tkString, u"string");
    return &t;
}
PTypeInfo NotifyEventTypeInfo() {
    static const TTypeInfo t = MakeMethodTypeInfo(u"TNotifyEvent");
    return &t;
}

TTypeInfo MakeEnumTypeInfo(UString name, std::initializer_list<const char16_t*> names, Integer minValue) {
    TTypeInfo t = Scalar(TTypeKind::tkEnumeration, u"");
    t.Name = std::move(name);
    t.MinValue = minValue;
    t.MaxValue = minValue + static_cast<Integer>(names.size()) - 1;
    for (const char16_t* n : names) t.EnumNames.emplace_back(n);
    return t;
}

TTypeInfo MakeMethodTypeInfo(UString name) {
    TTypeInfo t = Scalar(TTypeKind::tkMethod, u"");
    t.Name = std::move(name);
    return t;
}

TTypeInfo MakeClassTypeInfo(TClass cls) {
    TTypeInfo t = Scalar(TTypeKind::tkClass, cls->name);
    t.ClassType = cls;
    return t;
}

UString GetEnumName(PTypeInfo type, Integer value) {
    if (!type || type->Kind != TTypeKind::tkEnumeration || value < type->MinValue || value > type->MaxValue)
        return {};
    return type->EnumNames[static_cast<std::size_t>(value - type->MinValue)];
}

Integer GetEnumValue(PTypeInfo type, std::u16string_view name) { return FindEnumValue(type, name).value_or(-1); }

void RegisterProperties(TClass cls, std::vector<TPropInfo> props) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    ClassProps& c = r.classes[cls];
    for (TPropInfo& p : props) {
        auto owned = std::make_unique<TPropInfo>(std::move(p));
        auto same = std::find_if(c.props.begin(), c.props.end(),
                                 [&](const auto& q) { return SameText(q->Name, owned->Name); });
        if (same != c.props.end())
            *same = std::move(owned);
        else
            c.props.push_back(std::move(owned));
    }
}

PPropInfo GetPropInfo(TClass cls, std::u16string_view name) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    for (TClass c = cls; c; c = c->parent) {
        auto it = r.classes.find(c);
        if (it == r.classes.end()) continue;
        if (PPropInfo p = FindOwn(it->second, name)) return p;
    }
    return nullptr;
}

std::vector<PPropInfo> GetPropList(TClass cls) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    std::vector<PPropInfo> list;
    auto hidden = [&](const TPropInfo& p) {
        return std::any_of(list.begin(), list.end(), [&](PPropInfo q) { return SameText(q->Name, p.Name); });
    };
    for (TClass c = cls; c; c = c->parent) {
        auto it = r.classes.find(c);
        if (it == r.classes.end()) continue;
        for (const auto& p : it->second.props)
            if (!hidden(*p)) list.push_back(p.get());
    }
    return list;
}

PPropInfo FindPropInfo(const TObject& obj, std::u16string_view name) {
    PPropInfo p = GetPropInfo(obj, name);
    if (!p) Throw<EPropertyError>(JoinTexts({u"Unknown property: ", name}));
    return p;
}

Int64 GetOrdProp(TObject& obj, PPropInfo prop) { return NeedGetter(prop, &TPropInfo::GetOrd, u"an ordinal")(obj); }
void SetOrdProp(TObject& obj, PPropInfo prop, Int64 value) {
    const auto& set = NeedSetter(prop, &TPropInfo::GetOrd, &TPropInfo::SetOrd, u"an ordinal");
    if (IsEnumeration(prop) && (value < prop->PropType->MinValue || value > prop->PropType->MaxValue))
        Throw<EPropertyConvertError>(JoinTexts({u"Value out of range for property ", prop->Name}));
    set(obj, value);
}
double GetFloatProp(TObject& obj, PPropInfo prop) { return NeedGetter(prop, &TPropInfo::GetFloat, u"a float")(obj); }
void SetFloatProp(TObject& obj, PPropInfo prop, double value) {
    NeedSetter(prop, &TPropInfo::GetFloat, &TPropInfo::SetFloat, u"a float")(obj, value);
}
UString GetStrProp(TObject& obj, PPropInfo prop) { return NeedGetter(prop, &TPropInfo::GetStr, u"a string")(obj); }
void SetStrProp(TObject& obj, PPropInfo prop, const UString& value) {
    NeedSetter(prop, &TPropInfo::GetStr, &TPropInfo::SetStr, u"a string")(obj, value);
}
TObject* GetObjectProp(TObject& obj, PPropInfo prop) {
    return NeedGetter(prop, &TPropInfo::GetObject, u"a class")(obj);
}
void SetObjectProp(TObject& obj, PPropInfo prop, TObject* value) {
    const auto& set = NeedSetter(prop, &TPropInfo::GetObject, &TPropInfo::SetObject, u"a class");
    TClass required = prop->PropType ? prop->PropType->ClassType : nullptr;
    if (value && required && !value->InheritsFrom(required))
        Throw<EPropertyConvertError>(JoinTexts({u"Property ", prop->Name, u" cannot hold a ", value->ClassName()}));
    set(obj, value);
}
TMethod GetMethodProp(TObject& obj, PPropInfo prop) {
    return NeedGetter(prop, &TPropInfo::GetMethod, u"a method")(obj);
}
void SetMethodProp(TObject& obj, PPropInfo prop, TMethod value) {
    NeedSetter(prop, &TPropInfo::GetMethod, &TPropInfo::SetMethod, u"a method")(obj, value);
}

UString GetEnumProp(TObject& obj, PPropInfo prop) {
    if (!IsEnumeration(prop)) RaiseWrongKind(prop, u"an enumerated");
    return GetEnumName(prop->PropType, static_cast<Integer>(GetOrdProp(obj, prop)));
}

void SetEnumProp(TObject& obj, PPropInfo prop, std::u16string_view name) {
    if (!IsEnumeration(prop)) RaiseWrongKind(prop, u"an enumerated");
    std::optional<Integer> value = FindEnumValue(prop->PropType, name);
    if (!value)
        Throw<EPropertyConvertError>(JoinTexts({u"Invalid property value ", name, u" for ", prop->Name}));
    SetOrdProp(obj, prop, *value);
}

}  // namespace xan::plat
