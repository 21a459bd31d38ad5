#include "wrappers/Conversions.h"

#include "platform/core/Assert.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/HResult.h"
#include "platform/ole/OleError.h"
#include "platform/ole/VarErrors.h"
#include "vm/interp/CallStackFrame.h"
#include "vm/interp/ExceptionState.h"
#include "vm/interp/Thread.h"
#include "vm/machine/VMIndexes.h"
#include "wrappers/Registry.h"

namespace xan {

namespace {
[[noreturn]] void RaiseTypeCast() { plat::Raise(new plat::EVariantTypeCastError(u"Invalid variant type conversion")); }

template <class T>
const T* As(const TXANWrapperClass* AClass) noexcept {
    return dynamic_cast<const T*>(AClass);
}
}  // namespace

// ---- Registration ----------------------------------------------------------------------------------

void RegisterUnitWrapper(const TXANUnitWrapperClass* AWrapperClass) {
    TXANWrapperRegistry::Instance().RegisterUnit(AWrapperClass);
}

std::vector<const TXANUnitWrapperClass*> GetUnitWrappers() { return TXANWrapperRegistry::Instance().Units(); }

void RegisterClassWrapper(const TXANClassWrapperClass* AWrapperClass) {
    TXANWrapperRegistry::Instance().RegisterClass(AWrapperClass);
}

const TXANClassWrapperClass* FindClassWrapper(plat::TClass AClass) {
    return AClass ? TXANWrapperRegistry::Instance().FindClass(AClass) : nullptr;
}

void RegisterEventWrapper(const TXANEventWrapperClass* AWrapperClass) {
    TXANWrapperRegistry::Instance().RegisterEvent(AWrapperClass);
}

const TXANEventWrapperClass* FindEventWrapper(plat::PTypeInfo ATypeInfo) {
    if (const TXANEventWrapperClass* found = TXANWrapperRegistry::Instance().FindEvent(ATypeInfo)) return found;
    const plat::UString name = ATypeInfo ? ATypeInfo->Name : plat::UString();
    plat::Raise(new plat::EOleSysError(plat::UString(u"Event type ") + name + plat::UString(u" is not registered."), plat::E_FAIL));
}

// ---- Conversions -------------------------------------------------------------------------------------

plat::Variant NilDispatch() { return plat::Variant(static_cast<plat::IDispatch*>(nullptr)); }

TXANDispWrapper* VarToWrapper(const plat::VarData& V, bool AAllowNil) {
    const plat::VarData v = plat::VarDerefAll(V);
    const bool nil = v.VType == plat::varEmpty || v.VType == plat::varNull || (v.VType == plat::varDispatch && !v.VDispatch);
    if (nil) {
        if (AAllowNil) return nullptr;
        RaiseTypeCast();
    }
    if (v.VType != plat::varDispatch) RaiseTypeCast();
    plat::ComPtr<IXANDispWrapper> own = plat::ComPtr<plat::IDispatch>(v.VDispatch).As<IXANDispWrapper>();
    if (!own) RaiseTypeCast();
    // The variant keeps the wrapper alive; the caller borrows it.
    return own->GetWrapper();
}

plat::Variant WrapperToVar(TXANDispWrapper* AWrapper) { return AWrapper ? AWrapper->ToVariant() : NilDispatch(); }

plat::Variant ObjectToVar(plat::TObject* AObject) {
    if (!AObject) return NilDispatch();
    TWrapperByObject& objects = TXANWrapperRegistry::Instance().Objects();
    {
        plat::SectionGuard guard(objects.Lock());
        if (TXANClassWrapper* present = objects.Find(AObject)) return present->ToVariant();
    }
    const TXANClassWrapperClass* cls = FindClassWrapper(AObject->ClassType());
    XAN_ASSERT("XANSctWrappers", cls != nullptr);
    plat::ComPtr<TXANClassWrapper> fresh = cls->Create(AObject);
    plat::SectionGuard guard(objects.Lock());
    // Another thread may have wrapped the object meanwhile: its wrapper wins, ours goes.
    return objects.Add(fresh.Get())->ToVariant();
}

plat::TObject* ObjectFromVar(const plat::VarData& V, plat::TClass AClass) {
    TXANDispWrapper* wrapper = VarToWrapper(V, true);
    if (!wrapper) return nullptr;
    auto* classWrapper = dynamic_cast<TXANClassWrapper*>(wrapper);
    if (!classWrapper) RaiseTypeCast();
    plat::TObject* obj = classWrapper->FValue;
    if (obj && AClass && !obj->InheritsFrom(AClass)) RaiseTypeCast();
    return obj;
}

plat::Variant ClassToVar(plat::TClass AClass) {
    if (!AClass) return NilDispatch();
    const TXANClassWrapperClass* cls = FindClassWrapper(AClass);
    XAN_ASSERT("XANSctWrappers", cls != nullptr);
    return cls->MetatypeToVar();
}

plat::TClass ClassFromVar(const plat::VarData& V, plat::TClass AClass) {
    const TXANTypeWrapperClass* type = MetatypeFromVar(V, true);
    if (!type) return nullptr;
    const auto* cls = As<TXANClassWrapperClass>(type);
    if (!cls) RaiseTypeCast();
    if (AClass && !cls->GetWrappedClass()->InheritsFrom(AClass)) RaiseTypeCast();
    return cls->GetWrappedClass();
}

const TXANTypeWrapperClass* MetatypeFromVar(const plat::VarData& V, bool AAllowNil) {
    TXANDispWrapper* wrapper = VarToWrapper(V, AAllowNil);
    if (!wrapper) return nullptr;
    auto* metatype = dynamic_cast<TXANMetatypeWrapper*>(wrapper);
    if (!metatype) RaiseTypeCast();
    return metatype->FType;
}

plat::Variant TypeToVar(const TXANTypeWrapperClass* AWrapperClass) {
    return AWrapperClass ? AWrapperClass->MetatypeToVar() : NilDispatch();
}

TXANRecordWrapper& RecordFromVar(const TXANRecordWrapperClass* ARecordWrapperClass, const plat::VarData& V) {
    auto* record = dynamic_cast<TXANRecordWrapper*>(VarToWrapper(V, false));
    if (!record || record->WrapperClass() != ARecordWrapperClass) RaiseTypeCast();
    return *record;
}

// ---- Type tests and construction ------------------------------------------------------------------

bool WrapperIs(const plat::VarData& AObj, const plat::VarData& AType) {
    const TXANTypeWrapperClass* type = MetatypeFromVar(AType, true);
    if (!type) return false;
    if (As<TXANRecordWrapperClass>(type)) {
        TXANDispWrapper* wrapper = VarToWrapper(AObj, true);
        if (wrapper && !dynamic_cast<TXANRecordWrapper*>(wrapper)) RaiseTypeCast();
        return wrapper && wrapper->WrapperClass() == type;
    }
    const plat::TObject* obj = ObjectFromVar(AObj, nullptr);
    return obj && obj->InheritsFrom(ClassFromVar(AType, nullptr));
}

bool WrapperExceptionIs(const plat::Exception* E, const plat::VarData& AType) {
    const plat::TClass cls = ClassFromVar(AType, nullptr);
    return E && cls && E->InheritsFrom(cls);
}

plat::Variant WrapperNew(const plat::VarData& AType, const plat::VarData* AArgs, plat::Integer AArgCount) {
    const TXANTypeWrapperClass* type = MetatypeFromVar(AType, true);
    if (!type) RaiseTypeCast();
    if (const auto* record = As<TXANRecordWrapperClass>(type)) {
        if (AArgCount != 0) RaiseWrongArgCount(u"New");
        return record->Create()->ToVariant();
    }
    if (!As<TXANClassWrapperClass>(type)) return plat::Variant();
    TXANDispInfo& info = type->GetDispInfo();
    const plat::Integer id = info.GetIDOfName(u"CREATE", false);
    TXANInvokeItem* ctor = id > 0 ? info.GetItem(id) : nullptr;
    if (!ctor || !ctor->Has(iiaConstructor))
        plat::Raise(new plat::EOleSysError(u"No constructor found.", plat::E_FAIL));
    if (!ctor->AcceptsArgCount(AArgCount)) RaiseWrongArgCount(u"New");
    plat::Variant result;
    type->DoInvokeMeta(*ctor, AArgs, result, false, AArgCount);
    return result;
}

void RaiseWrongArgCount(const plat::UString& AName) {
    plat::Raise(new plat::EOleSysError(plat::UString(u"Wrong argument count. Method or property called: ") + AName,
                                       plat::DISP_E_BADPARAMCOUNT));
}

plat::Exception* XANCurrentHandledException() noexcept {
    const TXANThread* thread = TVMIndexes::CurrentThread();
    for (const TXANCallStackFrame* f = thread ? thread->FCallStack : nullptr; f; f = f->Next)
        if (const TXANExceptionState* state = TXANExceptionState::Innermost(*f)) return state->E;
    return nullptr;
}

}  // namespace xan
