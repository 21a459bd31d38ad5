#pragma once
// Wrapper data: what one wrapper class knows once per process (its member table, its type
// object, redeclarations, a unit's enumerators), built on first use and owned by the registry.
//
// Member declaration happens here: a wrapper class's AddMembers receives its data object and
// calls the Add… operations (usually through the typed binders of wrappers/Binding.h).
#include <memory>
#include <utility>
#include <vector>

#include "platform/ole/ComPtr.h"
#include "wrappers/DispInfo.h"

namespace xan {

class TXANWrapperClass;
class TXANTypeWrapperClass;
class TXANEnumWrapperClass;

class TXANWrapperData : public plat::TObject {
    XAN_CLASS(TXANWrapperData, plat::TObject)
    explicit TXANWrapperData(const TXANWrapperClass* AWrapperClass) noexcept : FWrapperClass(AWrapperClass) {}
    const TXANWrapperClass* FWrapperClass;
};

class TXANDispWrapperData : public TXANWrapperData {
    XAN_CLASS(TXANDispWrapperData, TXANWrapperData)
    explicit TXANDispWrapperData(const TXANWrapperClass* AWrapperClass);
    ~TXANDispWrapperData() override;

    TXANDispInfo& DispInfo() noexcept { return *FDispInfo; }

    // The common shape of every declaration: one item with these properties. ADebugType may be
    // empty; AHasOptionalParams lets more than AParamCount arguments through.
    TXANInvokeItem* AddItem(const plat::UString& AName, TXANInvokeProc AInvokeProc, TXANDebugTypeFunc ADebugType,
                            TXANInvokeItemAttrs AAttrs, plat::Integer AParamCount, bool AHasOptionalParams,
                            std::uint32_t AInvokeFlags);

    std::unique_ptr<TXANDispInfo> FDispInfo;
};

// The debug type of a type wrapper class (none for none).
TXANDebugTypeFunc XANDebugTypeOf(const TXANTypeWrapperClass* AType);
// Get, plus put by reference for dispatch-typed values and put otherwise.
std::uint32_t XANReadWriteFlags(const TXANTypeWrapperClass* AType, bool AIsReadable, bool AIsWritable);

class TXANTypeWrapperData : public TXANDispWrapperData {
    XAN_CLASS(TXANTypeWrapperData, TXANDispWrapperData)
    using TXANDispWrapperData::TXANDispWrapperData;

    // Members of classes and records.
    void AddField(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AType);
    void AddClassField(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AType);
    void AddConstant(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AType,
                     plat::Word AVarType);
    void AddConstructor(const plat::UString& AName, TXANInvokeProc AInvokeProc, plat::Integer AParamsCount,
                        bool AHasOptionalParams);
    void AddProcedure(const plat::UString& AName, TXANInvokeProc AInvokeProc, plat::Integer AParamsCount,
                      bool AHasOptionalParams);
    void AddFunction(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AResultType,
                     plat::Integer AParamsCount, bool AHasOptionalParams);
    void AddClassProcedure(const plat::UString& AName, TXANInvokeProc AInvokeProc, plat::Integer AParamsCount,
                           bool AHasOptionalParams);
    void AddClassFunction(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                          const TXANTypeWrapperClass* AResultType, plat::Integer AParamsCount,
                          bool AHasOptionalParams);
    void AddProperty(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AType,
                     bool AIsReadable, bool AIsWritable, plat::Integer AParamsCount, bool AIsProtected,
                     bool AIsDefault);
    void AddClassProperty(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AType,
                          bool AIsReadable, bool AIsWritable, plat::Integer AParamsCount, bool AIsProtected);

    // The class's type object, made on first request.
    plat::ComPtr<plat::IDispatch> FMetatypeWrapper;

protected:
    // Class data honour the protected flag and mark constructors; record data do neither.
    virtual bool HonoursProtected() const noexcept { return false; }
    virtual TXANInvokeItemAttrs ConstructorAttrs() const noexcept { return iiaMetaMember; }
};

class TXANClassWrapperData : public TXANTypeWrapperData {
    XAN_CLASS(TXANClassWrapperData, TXANTypeWrapperData)
    using TXANTypeWrapperData::TXANTypeWrapperData;

    // The inherited property AName is redeclared: made visible, and the default when AIsDefault.
    void AddPropertyRedecl(const plat::UString& AName, bool AIsDefault);

    std::vector<std::pair<plat::UString, bool>> FRedecls;

protected:
    bool HonoursProtected() const noexcept override { return true; }
    TXANInvokeItemAttrs ConstructorAttrs() const noexcept override { return iiaMetaMember | iiaConstructor; }
};

class TXANRecordWrapperData : public TXANTypeWrapperData {
    XAN_CLASS(TXANRecordWrapperData, TXANTypeWrapperData)
    using TXANTypeWrapperData::TXANTypeWrapperData;
};

// The values of a unit's enumerators, by position after the unit's other members.
class TXANUnitEnumerators {
public:
    void Add(plat::Integer AValue) { FValues.push_back(AValue); }
    void Clear() noexcept { FValues.clear(); }
    plat::Integer Count() const noexcept { return static_cast<plat::Integer>(FValues.size()); }
    plat::Integer Values(plat::Integer AIndex) const { return FValues[static_cast<std::size_t>(AIndex)]; }

private:
    std::vector<plat::Integer> FValues;
};

struct TXANEnumerator {
    plat::UString Name;
    plat::Integer Value;
};

class TXANUnitWrapperData : public TXANDispWrapperData {
    XAN_CLASS(TXANUnitWrapperData, TXANDispWrapperData)
    using TXANDispWrapperData::TXANDispWrapperData;

    void AddConstant(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AType,
                     plat::Word AVarType);
    void AddVariable(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AType);
    void AddProcedure(const plat::UString& AName, TXANInvokeProc AInvokeProc, plat::Integer AParamsCount,
                      bool AHasOptionalParams);
    void AddFunction(const plat::UString& AName, TXANInvokeProc AInvokeProc, const TXANTypeWrapperClass* AResultType,
                     plat::Integer AParamsCount, bool AHasOptionalParams);
    // A type member named after the wrapper class's type; an enumeration's enumerators become
    // members of the unit as well.
    void AddType(const TXANTypeWrapperClass* AWrapperClass, TXANInvokeProc AInvokeProc);

    std::vector<const TXANEnumWrapperClass*> FFoundEnums;
    TXANUnitEnumerators FEnumerators;
    plat::Integer FNonEnumCount = 0;
};

}  // namespace xan
