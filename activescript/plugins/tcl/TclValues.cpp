#include "activescript/plugins/tcl/TclValues.h"

#include <cstring>
#include <vector>

#include "activescript/HostObjects.h"

namespace xan::as::tcl {

using plat::Variant;

namespace {

void SetString(Tcl_Obj* AObj, const std::string& AText) {
    AObj->bytes = Tcl_Alloc(static_cast<unsigned>(AText.size() + 1));
    std::memcpy(AObj->bytes, AText.c_str(), AText.size() + 1);
    AObj->length = static_cast<int>(AText.size());
}

void EmptyString(Tcl_Obj* AObj) { SetString(AObj, std::string()); }
void BooleanString(Tcl_Obj* AObj) { SetString(AObj, AObj->internalRep.longValue ? "true" : "false"); }
void DateString(Tcl_Obj* AObj) {
    SetString(AObj, plat::VarToUString(Variant::FromDate(AObj->internalRep.doubleValue)).ToUtf8());
}

Tcl_ObjType KEmptyType{"velmoraEmpty", nullptr, nullptr, EmptyString, nullptr};
Tcl_ObjType KNullType{"velmoraNull", nullptr, nullptr, EmptyString, nullptr};
Tcl_ObjType KBooleanType{"velmoraBoolean", nullptr, nullptr, BooleanString, nullptr};
Tcl_ObjType KDateType{"velmoraDate", nullptr, nullptr, DateString, nullptr};

Tcl_Obj* NewOwnTyped(Tcl_ObjType* AType) {
    Tcl_Obj* obj = Tcl_NewObj();
    Tcl_InvalidateStringRep(obj);
    obj->typePtr = AType;
    return obj;
}

std::string Utf8Of(Tcl_Obj* AObj) {
    int len = 0;
    const char* s = Tcl_GetStringFromObj(AObj, &len);
    return std::string(s, static_cast<std::size_t>(len));
}

// $obj Member ?args? | $obj configure -Name value | $obj cget -Name | $obj default ?args?
int ObjectCommand(ClientData AData, Tcl_Interp* AInterp, int AObjc, Tcl_Obj* const AObjv[]) {
    auto* objects = static_cast<TTclObjects*>(AData);
    const std::string self = Utf8Of(AObjv[0]);
    IDispatch* obj = objects->ObjectOf(self);
    if (!obj || AObjc < 2) {
        Tcl_WrongNumArgs(AInterp, 1, AObjv, "member ?arg ...?");
        return TCL_ERROR;
    }
    Tcl_Obj* result = nullptr;
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
        const std::string verb = Utf8Of(AObjv[1]);
        auto member = [&](int AIndex) {
            std::string name = Utf8Of(AObjv[AIndex]);
            if (!name.empty() && name[0] == '-') name.erase(0, 1);
            const UString n = UString::FromUtf8(name);
            const DISPID id = HostMemberId(obj, n);
            if (id == plat::DISPID_UNKNOWN)
                plat::Throw<EScriptError>(UString(u"Object doesn't support this property or method: '") + n +
                                          std::u16string_view(u"'"));
            return id;
        };
        std::vector<Variant> args;
        if (verb == "configure" && AObjc == 4) {
            HostPut(obj, member(2), args, ToVariant(*objects, AObjv[3]));
            return;
        }
        if (verb == "cget" && AObjc == 3) {
            result = FromVariant(*objects, HostCall(obj, member(2), args));
            return;
        }
        const bool isDefault = verb == "default";
        const DISPID id = isDefault ? plat::DISPID_VALUE : member(1);
        for (int i = 2; i < AObjc; ++i) args.push_back(ToVariant(*objects, AObjv[i]));
        result = FromVariant(*objects, HostCall(obj, id, args));
    });
    if (e) {
        Tcl_SetObjResult(AInterp, Tcl_NewStringObj(e->Message().ToUtf8().c_str(), -1));
        return TCL_ERROR;
    }
    if (result) Tcl_SetObjResult(AInterp, result);
    return TCL_OK;
}

bool HasType(Tcl_Obj* AObj, const char* AName) { return AObj->typePtr && std::strcmp(AObj->typePtr->name, AName) == 0; }

}  // namespace

std::string TTclObjects::CommandFor(IDispatch* AObj) {
    if (auto it = FByObject.find(AObj); it != FByObject.end()) return it->second;
    const std::string name = "::velmora::object" + std::to_string(FByName.size() + 1);
    FByName.emplace(name, plat::ComPtr<IDispatch>(AObj));
    FByObject.emplace(AObj, name);
    Tcl_CreateObjCommand(FInterp, name.c_str(), ObjectCommand, this, nullptr);
    return name;
}

IDispatch* TTclObjects::ObjectOf(const std::string& AName) const {
    auto it = FByName.find(AName.rfind("::", 0) == 0 ? AName : "::" + AName);
    return it == FByName.end() ? nullptr : it->second.Get();
}

void InstallValueTypes() {
    Tcl_RegisterObjType(&KEmptyType);
    Tcl_RegisterObjType(&KNullType);
    Tcl_RegisterObjType(&KBooleanType);
    Tcl_RegisterObjType(&KDateType);
}

Tcl_Obj* FromVariant(TTclObjects& AObjects, const plat::VarData& AValue) {
    const plat::VarData v = plat::VarDerefAll(AValue);
    if (v.VType & plat::varArray) {
        Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
        for (const Variant& item : ArrayElements(v)) Tcl_ListObjAppendElement(nullptr, list, FromVariant(AObjects, item));
        return list;
    }
    switch (v.VType) {
        case plat::varEmpty: return NewOwnTyped(&KEmptyType);
        case plat::varNull: return NewOwnTyped(&KNullType);
        case plat::varBoolean: {
            Tcl_Obj* b = NewOwnTyped(&KBooleanType);
            b->internalRep.longValue = v.VBoolean != 0;
            return b;
        }
        case plat::varDate: {
            Tcl_Obj* d = NewOwnTyped(&KDateType);
            d->internalRep.doubleValue = v.VDate;
            return d;
        }
        case plat::varSmallint: case plat::varInteger: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64:
            return Tcl_NewWideIntObj(plat::VarToInt64(v));
        case plat::varError: return Tcl_NewWideIntObj(v.VError);
        case plat::varOleStr: case plat::varString: {
            const std::string s = UString(v.StrView()).ToUtf8();
            return Tcl_NewStringObj(s.data(), static_cast<int>(s.size()));
        }
        case plat::varDispatch: case plat::varUnknown: {
            plat::ComPtr<IDispatch> d = plat::ComPtr<IDispatch>::Attach(plat::VarToDispatch(v));
            if (!d) return NewOwnTyped(&KNullType);
            return Tcl_NewStringObj(AObjects.CommandFor(d.Get()).c_str(), -1);
        }
        default: return Tcl_NewDoubleObj(plat::VarToDouble(v));
    }
}

Variant ToVariant(const TTclObjects& AObjects, Tcl_Obj* AObj) {
    if (AObj->typePtr == &KEmptyType) return Variant();
    if (AObj->typePtr == &KNullType) return Variant::Null();
    if (AObj->typePtr == &KBooleanType) return Variant(AObj->internalRep.longValue != 0);
    if (AObj->typePtr == &KDateType) return Variant::FromDate(AObj->internalRep.doubleValue);
    if (HasType(AObj, "int") || HasType(AObj, "wideInt")) {
        Tcl_WideInt w = 0;
        Tcl_GetWideIntFromObj(nullptr, AObj, &w);
        if (w >= INT32_MIN && w <= INT32_MAX) return Variant(static_cast<std::int32_t>(w));
        return Variant(static_cast<std::int64_t>(w));
    }
    if (HasType(AObj, "double")) {
        double d = 0;
        Tcl_GetDoubleFromObj(nullptr, AObj, &d);
        return Variant(d);
    }
    if (HasType(AObj, "booleanString")) {
        int b = 0;
        Tcl_GetBooleanFromObj(nullptr, AObj, &b);
        return Variant(b != 0);
    }
    if (HasType(AObj, "list")) {
        int n = 0;
        Tcl_Obj** items = nullptr;
        Tcl_ListObjGetElements(nullptr, AObj, &n, &items);
        std::vector<Variant> values;
        for (int i = 0; i < n; ++i) values.push_back(ToVariant(AObjects, items[i]));
        return MakeVariantArray(values);
    }
    const std::string text = Utf8Of(AObj);
    if (IDispatch* obj = AObjects.ObjectOf(text)) return Variant(obj);
    return Variant(UString::FromUtf8(text));
}

}  // namespace xan::as::tcl
