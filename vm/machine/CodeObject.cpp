#include "vm/machine/CodeObject.h"

#include <memory>

#include "foundation/NameTable.h"
#include "platform/ole/VarErrors.h"
#include "vm/interp/HostDispatch.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

using plat::DISPID;
using plat::HRESULT;
using plat::Variant;

namespace {
constexpr const char16_t* SCodeObjectSource = u"XAN-Velmora Pascal script VM.";
}

// Enters the machine the object was made for on the calling thread; leaves on every way out.
class TXANCodeObject::TEntry {
public:
    explicit TEntry(const TXANVMId& AId) : FThreadVM(TVMIndexes::Instance().ThreadVM(AId)) {
        if (!FThreadVM.Lock()) RaiseVMShouldBeActive();
        // Entered, so the index's owner cannot change under us (see TXANVMLock); it may be a
        // newer machine than the one this object was made for, hence the id check.
        TXANVirtMachine* vm = AId.Lock->FVM;
        if (!vm || vm->Id().Id != AId.Id) {
            FThreadVM.Unlock();
            RaiseVMShouldBeActive();
        }
        FVM = vm;
    }
    ~TEntry() { FThreadVM.Unlock(); }
    TEntry(const TEntry&) = delete;
    TEntry& operator=(const TEntry&) = delete;

    TXANVirtMachine& VM() const noexcept { return *FVM; }
    TXANThread& Thread() const noexcept { return *FThreadVM.FThread; }

private:
    TXANThreadVM& FThreadVM;
    TXANVirtMachine* FVM = nullptr;
};

TXANCodeObject::TXANCodeObject(TXANVirtMachine& AVM) : FId(AVM.Id()), FMaxDispId(AVM.DispIdCount() - 1) {
    for (DISPID id = 1; id <= FMaxDispId; ++id) {
        const TXANDispIdObject* obj = AVM.ObjectByDispId(id);
        auto byStr = std::make_unique<TXANIdentifierItem>(GlobalNameTable().GetName(obj->FName));
        byStr->SetIntData(id);
        if (FIdsByStrName.Add(byStr.get())) byStr.release();
        auto byName = std::make_unique<TCodeObjectItem>(obj->FName, id);
        if (FIdsByName.Add(byName.get())) byName.release();
    }
}

TXANCodeObject::~TXANCodeObject() = default;

TXANCodeObject* TXANCodeObject::Create(TXANVirtMachine& AVM) { return new TXANCodeObject(AVM); }

TXANCodeObject* TXANCodeObject::FromDispatch(plat::IDispatch* ADisp) noexcept {
    if (!ADisp) return nullptr;
    void* out = nullptr;
    if (plat::Failed(ADisp->QueryInterface(IID_XANCodeObject, &out)) || !out) return nullptr;
    auto* codeObject = static_cast<TXANCodeObject*>(out);
    codeObject->Release();  // ADisp keeps it alive
    return codeObject;
}

// ---- IUnknown ----------------------------------------------------------------------------------

HRESULT TXANCodeObject::QueryInterface(const plat::TGUID& iid, void** out) noexcept {
    if (!out) return plat::E_POINTER;
    if (iid == IID_XANCodeObject)
        *out = this;
    else if (iid == plat::IID_IDispatch)
        *out = static_cast<plat::IDispatch*>(this);
    else if (iid == plat::IID_IUnknown)
        *out = static_cast<plat::IUnknown*>(this);
    else {
        *out = nullptr;
        return plat::E_NOINTERFACE;
    }
    AddRef();
    return plat::S_OK;
}

std::uint32_t TXANCodeObject::AddRef() noexcept { return FRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }

std::uint32_t TXANCodeObject::Release() noexcept {
    const std::uint32_t left = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

// ---- IDispatch ---------------------------------------------------------------------------------

HRESULT TXANCodeObject::GetTypeInfoCount(std::uint32_t* count) noexcept {
    if (count) *count = 0;
    return plat::E_NOTIMPL;
}

HRESULT TXANCodeObject::GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept {
    if (out) *out = nullptr;
    return plat::E_NOTIMPL;
}

HRESULT TXANCodeObject::GetIDsOfNames(const plat::TGUID&, const char16_t* const* names, std::uint32_t count,
                                      plat::LCID, DISPID* ids) noexcept {
    if (!ids || (count > 0 && !names)) return plat::E_POINTER;
    for (std::uint32_t i = 0; i < count; ++i) ids[i] = plat::DISPID_UNKNOWN;
    if (count == 0) return plat::DISP_E_UNKNOWNNAME;
    const TXANIdentifierItem* item = FIdsByStrName.FindIdentifier(names[0]);
    if (!item) return plat::DISP_E_UNKNOWNNAME;
    ids[0] = static_cast<DISPID>(item->IntData());
    return plat::S_OK;
}

bool TXANCodeObject::GetIdOfName(Integer ANameIndex, DISPID& ADispId) const noexcept {
    const auto* item = static_cast<const TCodeObjectItem*>(FIdsByName.Find(ANameIndex));
    if (!item) return false;
    ADispId = item->DispId;
    return true;
}

HRESULT TXANCodeObject::InvokeLocked(TXANVirtMachine& AVM, TXANThread& AThread, TXANDispIdObject& AObj,
                                     std::uint16_t AFlags, plat::DISPPARAMS* AParams, Variant* AResult) {
    const std::uint32_t kind = AFlags & AObj.FInvokeFlags & 15u;
    const std::uint32_t argCount = AParams ? AParams->cArgs : 0;
    if (AResult && AObj.FResMask == 0) return plat::DISP_E_TYPEMISMATCH;
    if (kind == plat::DISPATCH_METHOD) {
        auto& proc = static_cast<TXANProcObject&>(AObj);
        if (argCount != static_cast<std::uint32_t>(proc.ParamCount())) return plat::DISP_E_BADPARAMCOUNT;
        TXANPoolSlots slots(AThread.FStackPool, static_cast<std::int32_t>(argCount + 1));
        for (std::uint32_t i = 0; i < argCount; ++i) slots[i] = Variant(AParams->Arg(i));
        AVM.RunProcCode(AThread, proc, slots.Data(), &slots[argCount]);
        if (AResult) AResult->Assign(slots[argCount]);
        return plat::S_OK;
    }
    auto& valued = static_cast<TXANGlobalValuedObject&>(AObj);
    if (kind == plat::DISPATCH_PROPERTYGET) {
        if (argCount != 0) return plat::DISP_E_BADPARAMCOUNT;
        if (AResult) AResult->Assign(valued.Value);
        return plat::S_OK;
    }
    if (kind & (plat::DISPATCH_PROPERTYPUT | plat::DISPATCH_PROPERTYPUTREF)) {
        if (argCount != 1) return plat::DISP_E_BADPARAMCOUNT;
        valued.Value.Assign(plat::VarDerefAll(AParams->rgvarg[0]));
        return plat::S_OK;
    }
    return plat::DISP_E_TYPEMISMATCH;
}

HRESULT TXANCodeObject::Invoke(DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t flags,
                               plat::DISPPARAMS* params, Variant* result, plat::EXCEPINFO* excep,
                               std::uint32_t*) noexcept {
    try {
        TEntry entry(FId);
        if (id < 1 || id > FMaxDispId) return plat::DISP_E_MEMBERNOTFOUND;
        return InvokeLocked(entry.VM(), entry.Thread(), *entry.VM().ObjectByDispId(id), flags, params, result);
    } catch (...) {
        std::unique_ptr<plat::Exception> e(plat::TranslateCurrentException());
        if (e->Is<plat::EVariantTypeCastError>()) return plat::DISP_E_TYPEMISMATCH;
        if (excep) {
            excep->Clear();
            excep->source = SCodeObjectSource;
            excep->description = e->Message();
            excep->scode = plat::E_FAIL;
        }
        return plat::DISP_E_EXCEPTION;
    }
}

// ---- In-process calls --------------------------------------------------------------------------

void TXANCodeObject::InvokeMember(TXANThread&, DISPID ADispId, TXANBracketType ABracketType, std::uint32_t AResMask,
                                  std::int32_t AArgCount, Variant* AArgs, Variant& AResult) {
    TEntry entry(FId);
    if (ADispId < 1 || ADispId > FMaxDispId) EXANVMRuntime::RaiseError(retInvalidDispId);
    TXANDispIdObject& obj = *entry.VM().ObjectByDispId(ADispId);
    switch (obj.GetGlobalObjType()) {
        case gtVar:
        case gtConst: {
            auto& valued = static_cast<TXANGlobalValuedObject&>(obj);
            if (ABracketType == bkRound) EXANVMRuntime::RaiseError(retTypeMismatch);
            if (ABracketType == bkNon)
                AResult.Assign(valued.Value);
            else
                XANIndexValue(valued.Value, AArgCount, AArgs, AResult);
            return;
        }
        case gtProcedure: {
            auto& proc = static_cast<TXANProcObject&>(obj);
            if (ABracketType == bkBlock || (AResMask && proc.FResMask == 0)) EXANVMRuntime::RaiseError(retTypeMismatch);
            if (AArgCount != proc.ParamCount()) EXANVMRuntime::RaiseError(retInvalidParamCount);
            entry.VM().RunProcCode(entry.Thread(), proc, AArgs, &AResult);
            return;
        }
        default: EXANVMRuntime::RaiseError(retTypeMismatch);
    }
}

void TXANCodeObject::InvokePropPut(TXANThread&, DISPID ADispId, TXANBracketType ABracketType, std::int32_t AArgCount,
                                   Variant* AArgs, Variant& AValue) {
    TEntry entry(FId);
    if (ADispId < 1 || ADispId > FMaxDispId) EXANVMRuntime::RaiseError(retInvalidDispId);
    TXANDispIdObject& obj = *entry.VM().ObjectByDispId(ADispId);
    if (obj.GetGlobalObjType() != gtVar) EXANVMRuntime::RaiseError(retCannotAssign);
    auto& var = static_cast<TXANGlobalValuedObject&>(obj);
    if (ABracketType == bkNon)
        var.Value.Assign(AValue.Deref());
    else if (ABracketType == bkVbRound || ABracketType == bkBlock)
        XANIndexedAssign(var.Value, AArgCount, AArgs, AValue);
    else
        EXANVMRuntime::RaiseError(retCannotAssign);
}

}  // namespace xan
