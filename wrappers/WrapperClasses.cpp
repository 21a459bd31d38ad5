#include "wrappers/WrapperClasses.h"

#include <algorithm>

#include "platform/core/Assert.h"
#include "wrappers/Conversions.h"
#include "wrappers/Registry.h"
#include "wrappers/Wrappers.h"

namespace xan {

namespace {
constexpr const char* kUnit = "XANSctWrappers";

// A copy of AItem for another table (the table assigns the id).
std::unique_ptr<TXANInvokeItem> CopyOf(const TXANInvokeItem& AItem) {
    auto copy = std::make_unique<TXANInvokeItem>();
    copy->Assign(AItem);
    return copy;
}
}  // namespace

void TXANWrapperClass::FillWrapperData(TXANWrapperData&) const {}

std::unique_ptr<TXANWrapperData> TXANDispWrapperClass::NewWrapperData() const {
    return std::make_unique<TXANDispWrapperData>(this);
}

// ---- Type wrapper classes -------------------------------------------------------------------------

std::unique_ptr<TXANWrapperData> TXANTypeWrapperClass::NewWrapperData() const {
    return std::make_unique<TXANTypeWrapperData>(this);
}

plat::Variant TXANTypeWrapperClass::MetatypeToVar() const {
    TXANTypeWrapperData& data = TypeData();
    plat::SectionGuard guard(TXANWrapperRegistry::Instance().Section());
    if (!data.FMetatypeWrapper) data.FMetatypeWrapper = new TXANMetatypeWrapper(this);
    return plat::Variant(data.FMetatypeWrapper.Get());
}

void TXANTypeWrapperClass::DoInvokeMeta(TXANInvokeItem&, const plat::VarData*, plat::Variant& AResult, bool,
                                        plat::Integer) const {
    AResult.Clear();
}

plat::UString TXANTypeWrapperClass::GetTypeName() const {
    plat::AssertFailed(kUnit, "GetTypeName is not overridden", __FILE__, __LINE__);
}

TXANPredTypeWrapperClass::TXANPredTypeWrapperClass(plat::UString ATypeName, plat::Word AVarType) noexcept
    : TXANTypeWrapperClass(nullptr, ATypeName + std::u16string_view(u"_sw")), FTypeName(std::move(ATypeName)), FVarType(AVarType) {}

// ---- Classes ---------------------------------------------------------------------------------------

std::unique_ptr<TXANWrapperData> TXANClassWrapperClass::NewWrapperData() const {
    return std::make_unique<TXANClassWrapperData>(this);
}

void TXANClassWrapperClass::FillWrapperData(TXANWrapperData& AData) const {
    auto& data = static_cast<TXANClassWrapperData&>(AData);
    const TXANClassWrapperClass* parentClass = ParentClassWrapper();
    TXANDispInfo* parentInfo = parentClass ? &parentClass->GetDispInfo() : nullptr;
    if (parentInfo)
        for (plat::Integer i = 1; i < parentInfo->GetCount(); ++i) data.DispInfo().Add(CopyOf(*parentInfo->GetItem(i)));
    AddMembers(data);
    if (!parentInfo) return;
    for (const auto& [name, isDefault] : data.FRedecls) {
        const TXANInvokeItem* inherited = parentInfo->FindByName(name.view());
        if (!inherited) continue;
        auto copy = CopyOf(*inherited);
        copy->Attrs = static_cast<TXANInvokeItemAttrs>((copy->Attrs & ~iiaHidden) | (isDefault ? iiaDefaultProp : 0));
        data.DispInfo().Add(std::move(copy));
    }
}

void TXANClassWrapperClass::DoInvokeMeta(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult,
                                         bool AIsGet, plat::Integer AArgCount) const {
    AResult = AItem.InvokeProc(const_cast<plat::TClassInfo*>(FWrappedClass), AArgs, AArgCount, AIsGet);
}

void TXANClassWrapperClass::AddMembers(TXANClassWrapperData&) const {}

plat::ComPtr<TXANClassWrapper> TXANClassWrapperClass::Create(plat::TObject* AValue) const {
    return plat::ComPtr<TXANClassWrapper>(new TXANClassWrapper(this, AValue));
}

plat::Variant TXANMetaclassWrapperClass::MetatypeToVar() const { return ClassToVar(FWrappedClass); }

// ---- Records ---------------------------------------------------------------------------------------

std::unique_ptr<TXANWrapperData> TXANRecordWrapperClass::NewWrapperData() const {
    return std::make_unique<TXANRecordWrapperData>(this);
}

void TXANRecordWrapperClass::FillWrapperData(TXANWrapperData& AData) const {
    AddMembers(static_cast<TXANRecordWrapperData&>(AData));
}

void TXANRecordWrapperClass::DoInvokeMeta(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult,
                                          bool AIsGet, plat::Integer AArgCount) const {
    AResult = AItem.InvokeProc(nullptr, AArgs, AArgCount, AIsGet);
}

void TXANRecordWrapperClass::AddMembers(TXANRecordWrapperData&) const {}

// ---- Enumerations and events ------------------------------------------------------------------------

plat::UString TXANEnumWrapperClass::GetTypeName() const {
    if (plat::PTypeInfo info = GetEnumTypeInfo()) return info->Name;
    return FTypeName;
}

std::vector<TXANEnumerator> TXANEnumWrapperClass::AllEnumerators() const {
    const plat::PTypeInfo info = GetEnumTypeInfo();
    if (!info) return GetEnumerators();
    std::vector<TXANEnumerator> result;
    for (plat::Integer v = info->MinValue; v <= info->MaxValue; ++v) result.push_back({plat::GetEnumName(info, v), v});
    return result;
}

const TXANScriptEventHandlerClass* TXANEventWrapperClass::GetScriptHandlerClass() const {
    plat::AssertFailed(kUnit, "GetScriptHandlerClass is not overridden", __FILE__, __LINE__);
}

// ---- Units -----------------------------------------------------------------------------------------

std::unique_ptr<TXANWrapperData> TXANUnitWrapperClass::NewWrapperData() const {
    return std::make_unique<TXANUnitWrapperData>(this);
}

void TXANUnitWrapperClass::FillWrapperData(TXANWrapperData& AData) const {
    auto& data = static_cast<TXANUnitWrapperData&>(AData);
    AddMembers(data);
    // The default-member slot comes with the first item, so an empty unit still counts it.
    data.FNonEnumCount = std::max<plat::Integer>(data.DispInfo().GetCount(), 1);
    for (const TXANEnumWrapperClass* enumClass : data.FFoundEnums)
        for (const TXANEnumerator& e : enumClass->AllEnumerators()) {
            if (e.Name.empty()) continue;
            data.AddItem(e.Name, {}, XANDebugTypeOf(enumClass), 0, 0, false, XANInvokeGet);
            data.FEnumerators.Add(e.Value);
        }
    data.FFoundEnums.clear();
}

void TXANUnitWrapperClass::AddMembers(TXANUnitWrapperData&) const {}

plat::UString TXANUnitWrapperClass::GetUnitName() const {
    plat::AssertFailed(kUnit, "GetUnitName is not overridden", __FILE__, __LINE__);
}

plat::ComPtr<TXANUnitWrapper> TXANUnitWrapperClass::Create(plat::TObject* AScriptControl) const {
    return plat::ComPtr<TXANUnitWrapper>(new TXANUnitWrapper(this, AScriptControl));
}

}  // namespace xan
