#pragma once
// Wrapper classes: one immutable singleton per exposed host type, carrying the class-level
// operations (member declaration, type name and variant type, the type object, class-level
// invocation, construction of instances). "The wrapper class" is a pointer to its singleton;
// instances of wrappers (wrappers/Wrappers.h) point back to theirs.
//
// Kinds: predefined value types, host classes, class references, records, enumerations,
// event method types and whole units. Concrete wrapper classes are normally declared through
// the templates of wrappers/Binding.h.
#include <atomic>
#include <memory>
#include <vector>

#include "platform/core/Object.h"
#include "platform/ole/ComPtr.h"
#include "platform/rtl/TypInfo.h"
#include "wrappers/WrapperData.h"

namespace xan {

class TXANDispWrapper;
class TXANClassWrapper;
class TXANRecordWrapper;
class TXANUnitWrapper;
class TXANScriptEventHandlerClass;  // the script control's handler kinds

class TXANWrapperClass : public plat::TMetaClass {
public:
    TXANWrapperClass(const TXANWrapperClass* AParent, plat::UString AName) noexcept
        : TMetaClass(AParent), FName(std::move(AName)) {}
    TXANWrapperClass(const TXANWrapperClass&) = delete;
    TXANWrapperClass& operator=(const TXANWrapperClass&) = delete;

    const TXANWrapperClass* Parent() const noexcept { return static_cast<const TXANWrapperClass*>(parent); }
    // The wrapper class's own name (TObject_sw, System_sw, …).
    const plat::UString& Name() const noexcept { return FName; }

    // The class's data object (none for kinds without one); made and filled on first use, then
    // shared by the whole process. A fill that fails leaves nothing behind and re-raises.
    TXANWrapperData* WrapperData() const;

    // A new, empty data object of this kind, or none.
    virtual std::unique_ptr<TXANWrapperData> NewWrapperData() const { return nullptr; }
    virtual void FillWrapperData(TXANWrapperData& AData) const;

private:
    friend class TXANWrapperRegistry;
    plat::UString FName;
    mutable std::atomic<TXANWrapperData*> FData{nullptr};  // published once filled
};

class TXANDispWrapperClass : public TXANWrapperClass {
public:
    using TXANWrapperClass::TXANWrapperClass;
    std::unique_ptr<TXANWrapperData> NewWrapperData() const override;
    TXANDispWrapperData& DispData() const { return static_cast<TXANDispWrapperData&>(*WrapperData()); }
    TXANDispInfo& GetDispInfo() const { return DispData().DispInfo(); }
};

class TXANTypeWrapperClass : public TXANDispWrapperClass {
public:
    using TXANDispWrapperClass::TXANDispWrapperClass;
    std::unique_ptr<TXANWrapperData> NewWrapperData() const override;
    TXANTypeWrapperData& TypeData() const { return static_cast<TXANTypeWrapperData&>(*WrapperData()); }

    // The type object: one per wrapper class per process.
    virtual plat::Variant MetatypeToVar() const;
    // A class-level member performed on the type itself.
    virtual void DoInvokeMeta(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                              plat::Integer AArgCount) const;
    virtual plat::UString GetTypeName() const;
    virtual plat::Word GetVarType() const { return 0; }
};

// Predefined value types: no members, no instances; a name and a variant type.
class TXANPredTypeWrapperClass : public TXANTypeWrapperClass {
public:
    TXANPredTypeWrapperClass(plat::UString ATypeName, plat::Word AVarType) noexcept;
    plat::UString GetTypeName() const override { return FTypeName; }
    plat::Word GetVarType() const override { return FVarType; }

private:
    plat::UString FTypeName;
    plat::Word FVarType;
};

// Host classes. A class wrapper class whose parent is another class wrapper class inherits its
// members (copies, hidden ones staying hidden) before declaring its own.
class TXANClassWrapperClass : public TXANTypeWrapperClass {
public:
    TXANClassWrapperClass(const TXANClassWrapperClass* AParent, plat::UString AName, plat::TClass AWrappedClass) noexcept
        : TXANTypeWrapperClass(AParent, std::move(AName)), FWrappedClass(AWrappedClass) {}

    std::unique_ptr<TXANWrapperData> NewWrapperData() const override;
    void FillWrapperData(TXANWrapperData& AData) const override;
    void DoInvokeMeta(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                      plat::Integer AArgCount) const override;
    plat::UString GetTypeName() const override { return plat::UString(FWrappedClass->name); }
    plat::Word GetVarType() const override { return plat::varDispatch; }

    plat::TClass GetWrappedClass() const noexcept { return FWrappedClass; }
    virtual void AddMembers(TXANClassWrapperData& AData) const;
    // A new wrapper for AValue (the object registry indexes it).
    virtual plat::ComPtr<TXANClassWrapper> Create(plat::TObject* AValue) const;

    const TXANClassWrapperClass* ParentClassWrapper() const noexcept {
        return static_cast<const TXANClassWrapperClass*>(Parent());
    }

private:
    plat::TClass FWrappedClass;
};

// Class references: their type object is the type object of the referenced class.
class TXANMetaclassWrapperClass : public TXANTypeWrapperClass {
public:
    TXANMetaclassWrapperClass(plat::UString AName, plat::TClass AWrappedClass) noexcept
        : TXANTypeWrapperClass(nullptr, std::move(AName)), FWrappedClass(AWrappedClass) {}
    plat::Variant MetatypeToVar() const override;
    plat::UString GetTypeName() const override { return Name(); }
    plat::Word GetVarType() const override { return plat::varDispatch; }
    plat::TClass GetWrappedClass() const noexcept { return FWrappedClass; }

private:
    plat::TClass FWrappedClass;
};

class TXANRecordWrapperClass : public TXANTypeWrapperClass {
public:
    TXANRecordWrapperClass(plat::UString AName, plat::UString ATypeName) noexcept
        : TXANTypeWrapperClass(nullptr, std::move(AName)), FTypeName(std::move(ATypeName)) {}
    std::unique_ptr<TXANWrapperData> NewWrapperData() const override;
    void FillWrapperData(TXANWrapperData& AData) const override;
    void DoInvokeMeta(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult, bool AIsGet,
                      plat::Integer AArgCount) const override;
    plat::UString GetTypeName() const override { return FTypeName; }
    plat::Word GetVarType() const override { return plat::varDispatch; }

    virtual void AddMembers(TXANRecordWrapperData& AData) const;
    // A new wrapper holding an all-zero value.
    virtual plat::ComPtr<TXANRecordWrapper> Create() const = 0;

private:
    plat::UString FTypeName;
};

class TXANEnumWrapperClass : public TXANTypeWrapperClass {
public:
    TXANEnumWrapperClass(plat::UString AName, plat::UString ATypeName) noexcept
        : TXANTypeWrapperClass(nullptr, std::move(AName)), FTypeName(std::move(ATypeName)) {}
    // The type information's name when there is one.
    plat::UString GetTypeName() const override;
    plat::Word GetVarType() const override { return plat::varInteger; }
    virtual plat::PTypeInfo GetEnumTypeInfo() const { return nullptr; }
    virtual std::vector<TXANEnumerator> GetEnumerators() const { return {}; }
    // Every enumerator: from the type information (lowest to highest ordinal) when there is
    // one, else GetEnumerators.
    std::vector<TXANEnumerator> AllEnumerators() const;

private:
    plat::UString FTypeName;
};

// Event method types: an instance holds one method pointer.
class TXANEventWrapperClass : public TXANTypeWrapperClass {
public:
    TXANEventWrapperClass(plat::UString AName, plat::PTypeInfo AEventType) noexcept
        : TXANTypeWrapperClass(nullptr, std::move(AName)), FEventType(AEventType) {}
    plat::UString GetTypeName() const override { return FEventType ? FEventType->Name : Name(); }
    plat::Word GetVarType() const override { return plat::varDispatch; }
    plat::PTypeInfo EventType() const noexcept { return FEventType; }
    // The script control's handler kind for this event type.
    virtual const TXANScriptEventHandlerClass* GetScriptHandlerClass() const;

private:
    plat::PTypeInfo FEventType;
};

// Whole host units: an instance per script control exposes the unit's routines, variables,
// constants and types.
class TXANUnitWrapperClass : public TXANDispWrapperClass {
public:
    using TXANDispWrapperClass::TXANDispWrapperClass;
    std::unique_ptr<TXANWrapperData> NewWrapperData() const override;
    void FillWrapperData(TXANWrapperData& AData) const override;
    TXANUnitWrapperData& UnitData() const { return static_cast<TXANUnitWrapperData&>(*WrapperData()); }

    virtual void AddMembers(TXANUnitWrapperData& AData) const;
    virtual plat::UString GetUnitName() const;
    // A new unit object for AScriptControl (which may be none).
    plat::ComPtr<TXANUnitWrapper> Create(plat::TObject* AScriptControl) const;
};

}  // namespace xan
