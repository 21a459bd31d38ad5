#pragma once
// Wrapper instances: dispatch objects that hold one host value each (an object, a record
// value, a method pointer, a unit) and answer name lookups and invocations by the member table
// of their wrapper class.
#include <span>

#include "platform/ole/ComIntf.h"
#include "platform/ole/InterfacedObject.h"
#include "wrappers/WrapperClasses.h"

namespace xan {

class TXANDispWrapper;

// How the framework recognises its own objects in variants.
inline constexpr plat::TGUID IID_IXANDispWrapper{
    0x1ADE176B, 0x20A5, 0x4B78, {0x82, 0x47, 0x2F, 0xCD, 0xDC, 0xBA, 0xA3, 0x8A}};
struct IXANDispWrapper : virtual plat::IUnknown {
    static constexpr const plat::TGUID& IID = IID_IXANDispWrapper;
    virtual TXANDispWrapper* GetWrapper() noexcept = 0;
};

// Source of the exception information a wrapper fills.
inline constexpr char16_t XANWrappersSource[] = u"XAN-Velmora wrappers.";

class TXANDispWrapper : public plat::TInterfacedObject, public plat::IDispatch, public IXANDispWrapper {
    XAN_CLASS(TXANDispWrapper, plat::TInterfacedObject)
    explicit TXANDispWrapper(const TXANDispWrapperClass* AClass) noexcept : FClass(AClass) {}

    const TXANDispWrapperClass* WrapperClass() const noexcept { return FClass; }
    virtual TXANAbstractDispInfo& GetDispInfo() const { return FClass->GetDispInfo(); }
    // Performs AItem on the held value; the base has no value and no result.
    virtual void DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                          plat::Integer AArgCount);

    // IDispatch
    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override;
    plat::HRESULT GetTypeInfo(std::uint32_t index, plat::LCID locale, plat::ITypeInfo** out) noexcept override;
    plat::HRESULT GetIDsOfNames(const plat::TGUID& iid, const char16_t* const* names, std::uint32_t count,
                                plat::LCID locale, plat::DISPID* ids) noexcept override;
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID& iid, plat::LCID locale, std::uint16_t flags,
                         plat::DISPPARAMS* params, plat::Variant* result, plat::EXCEPINFO* excep,
                         std::uint32_t* argErr) noexcept override;
    // IXANDispWrapper
    TXANDispWrapper* GetWrapper() noexcept override { return this; }

    // As a dispatch variant.
    plat::Variant ToVariant() { return plat::Variant(static_cast<plat::IDispatch*>(this)); }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    plat::HRESULT InvokeItem(TXANInvokeItem& AItem, std::uint16_t AFlags, plat::DISPPARAMS* AParams,
                             plat::Variant* AResult, plat::EXCEPINFO* AExcep, std::uint32_t* AArgErr);
    plat::HRESULT ForwardToDefault(TXANInvokeItem& AItem, std::uint16_t AFlags, plat::DISPPARAMS* AParams,
                                   plat::Variant* AResult, plat::EXCEPINFO* AExcep, std::uint32_t* AArgErr);
    void Call(TXANInvokeItem& AItem, std::uint16_t AFlags, const plat::DISPPARAMS& AParams, plat::Variant* AResult);

    const TXANDispWrapperClass* FClass;
};

// A host object. The wrapper never owns it: when the object is destroyed, the object registry
// clears FValue and every later member call fails with "Object has been destroyed.".
class TXANClassWrapper : public TXANDispWrapper {
    XAN_CLASS(TXANClassWrapper, TXANDispWrapper)
    TXANClassWrapper(const TXANClassWrapperClass* AClass, plat::TObject* AValue) noexcept
        : TXANDispWrapper(AClass), FValue(AValue) {}
    ~TXANClassWrapper() override;

    const TXANClassWrapperClass* ClassWrapperClass() const noexcept {
        return static_cast<const TXANClassWrapperClass*>(WrapperClass());
    }
    void DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                  plat::Integer AArgCount) override;
    // The last release and a lookup in the object registry never overlap, so the registry
    // never hands out a wrapper that is being destroyed.
    std::uint32_t Release() noexcept override;

    plat::TObject* FValue;  // none once the object is gone; written under the registry's lock
};

// A record value (held by the derived class, see TXANRecordWrapperT in wrappers/Binding.h).
class TXANRecordWrapper : public TXANDispWrapper {
    XAN_CLASS(TXANRecordWrapper, TXANDispWrapper)
    explicit TXANRecordWrapper(const TXANRecordWrapperClass* AClass) noexcept : TXANDispWrapper(AClass) {}
    const TXANRecordWrapperClass* RecordWrapperClass() const noexcept {
        return static_cast<const TXANRecordWrapperClass*>(WrapperClass());
    }
    void DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                  plat::Integer AArgCount) override;
    // A new wrapper holding a copy of the value.
    virtual plat::ComPtr<TXANRecordWrapper> CopyWrapper() const = 0;
};

class TXANEventWrapper : public TXANDispWrapper {
    XAN_CLASS(TXANEventWrapper, TXANDispWrapper)
    TXANEventWrapper(const TXANEventWrapperClass* AClass, plat::TMethod AValue) noexcept
        : TXANDispWrapper(AClass), FValue(AValue) {}
    // The value a script uses to denote one of its procedures as an event handler.
    static plat::Variant ToVar(plat::TObject* AScriptControl, const plat::UString& AProcName);

    plat::TMethod FValue;
};

// A script procedure named as an event handler of a script control; no members.
class TXANScriptHandlerWrapper : public TXANDispWrapper {
    XAN_CLASS(TXANScriptHandlerWrapper, TXANDispWrapper)
    TXANScriptHandlerWrapper(plat::TObject* AScriptControl, plat::UString AProcName);

    plat::TObject* FScriptControl;
    plat::UString FProcName;
};

// The type object of a type wrapper class: class-level members by name; construction and
// type tests take it as the type.
class TXANMetatypeWrapper : public TXANDispWrapper {
    XAN_CLASS(TXANMetatypeWrapper, TXANDispWrapper)
    explicit TXANMetatypeWrapper(const TXANTypeWrapperClass* AType);

    TXANAbstractDispInfo& GetDispInfo() const override { return FDispInfo; }
    void DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                  plat::Integer AArgCount) override;

    const TXANTypeWrapperClass* FType;

private:
    mutable TXANMetatypeDispInfo FDispInfo;
};

class TXANUnitWrapper : public TXANDispWrapper {
    XAN_CLASS(TXANUnitWrapper, TXANDispWrapper)
    TXANUnitWrapper(const TXANUnitWrapperClass* AClass, plat::TObject* AScriptControl) noexcept
        : TXANDispWrapper(AClass), FScriptControl(AScriptControl) {}
    const TXANUnitWrapperClass* UnitWrapperClass() const noexcept {
        return static_cast<const TXANUnitWrapperClass*>(WrapperClass());
    }
    void DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                  plat::Integer AArgCount) override;

    plat::TObject* FScriptControl;
};

}  // namespace xan
