#include "wrappers/Registry.h"

#include <memory>

#include "foundation/FieldKeyTraits.h"
#include "platform/core/Assert.h"
#include "wrappers/Wrappers.h"

namespace xan {

namespace {

struct TWrapperClassItem : plat::TObject {
    TWrapperClassItem(plat::TClass AClass, const TXANClassWrapperClass* AWrapperClass) noexcept
        : FClass(AClass), FWrapperClass(AWrapperClass) {}
    plat::TClass FClass;
    const TXANClassWrapperClass* FWrapperClass;
};

struct TEventWrapperItem : plat::TObject {
    TEventWrapperItem(plat::PTypeInfo AType, const TXANEventWrapperClass* AWrapperClass) noexcept
        : FType(AType), FWrapperClass(AWrapperClass) {}
    plat::PTypeInfo FType;
    const TXANEventWrapperClass* FWrapperClass;
};

using TVarDebugTypesTraits = TXANFieldKeyTraits<TVarDebugType, plat::Word, &TVarDebugType::FVarType, true>;
using TWrapperDataListTraits =
    TXANFieldKeyTraits<TXANWrapperData, const TXANWrapperClass*, &TXANWrapperData::FWrapperClass, true>;
using TWrapperClassTraits = TXANFieldKeyTraits<TWrapperClassItem, plat::TClass, &TWrapperClassItem::FClass, true>;
using TEventWrapperTraits = TXANFieldKeyTraits<TEventWrapperItem, plat::PTypeInfo, &TEventWrapperItem::FType, true>;
using TWrapperByObjectTraits = TXANFieldKeyTraits<TXANClassWrapper, plat::TObject*, &TXANClassWrapper::FValue>;

}  // namespace

// ---- Object registry ---------------------------------------------------------------------------

TWrapperByObject::TWrapperByObject() : FMap(TWrapperByObjectTraits::Class(), false) {
    SetFreeNotifyProc(TXANFreeNotifyProc::Bind<&TWrapperByObject::ObjectReleased>(this));
}

TWrapperByObject::~TWrapperByObject() { SetFreeNotifyProc({}); }

TXANClassWrapper* TWrapperByObject::Add(TXANClassWrapper* AWrapper) {
    plat::SectionGuard guard(FLock);
    if (TXANClassWrapper* present = Find(AWrapper->FValue)) return present;
    FMap.Add(AWrapper);
    WatchBlock(AWrapper->FValue, TXANEnumProc::Bind<&TWrapperByObject::EnumerateWatched>(this));
    return AWrapper;
}

TXANClassWrapper* TWrapperByObject::Find(const plat::TObject* AObject) const {
    plat::SectionGuard guard(FLock);
    plat::TObject* key = const_cast<plat::TObject*>(AObject);
    return static_cast<TXANClassWrapper*>(FMap.Find(&key));
}

void TWrapperByObject::Remove(TXANClassWrapper* AWrapper) {
    plat::SectionGuard guard(FLock);
    if (AWrapper->FValue && Find(AWrapper->FValue) == AWrapper) FMap.Remove(&AWrapper->FValue);
}

void TWrapperByObject::ObjectReleased(void* P) {
    plat::SectionGuard guard(FLock);
    TXANClassWrapper* wrapper = Find(static_cast<plat::TObject*>(P));
    if (!wrapper) return;
    FMap.Remove(&wrapper->FValue);
    wrapper->FValue = nullptr;
}

void TWrapperByObject::EnumerateWatched(const TXANEnumItemProc& AItemProc) {
    FOriginalItemProc = AItemProc;
    std::vector<plat::TObject*> wrappers;
    FMap.GetAll(wrappers);
    for (plat::TObject* item : wrappers)
        if (plat::TObject* value = static_cast<TXANClassWrapper*>(item)->FValue) FOriginalItemProc(value);
    FOriginalItemProc = {};
}

// ---- Registries --------------------------------------------------------------------------------

TXANWrapperRegistry::TXANWrapperRegistry()
    : FDebugTypes(TVarDebugTypesTraits::Class(), true),
      FData(TWrapperDataListTraits::Class(), true),
      FEventWrappers(TEventWrapperTraits::Class(), true),
      FClassWrappers(TWrapperClassTraits::Class(), true) {}

TXANWrapperRegistry::~TXANWrapperRegistry() {
    // Cached data pointers of wrapper classes would dangle: forget them first.
    std::vector<plat::TObject*> all;
    FData.GetAll(all);
    for (plat::TObject* item : all)
        static_cast<TXANWrapperData*>(item)->FWrapperClass->FData.store(nullptr, std::memory_order_release);
}

TXANWrapperRegistry& TXANWrapperRegistry::Instance() {
    // The basic unit's wrappers are registered right after the registries exist.
    static TXANWrapperRegistry& registry = []() -> TXANWrapperRegistry& {
        static TXANWrapperRegistry r;
        XANRegisterBasicWrappers(r);
        return r;
    }();
    return registry;
}

TXANWrapperData* TXANWrapperRegistry::DataOf(const TXANWrapperClass* AWrapperClass) {
    if (TXANWrapperData* data = AWrapperClass->FData.load(std::memory_order_acquire)) return data;
    plat::SectionGuard guard(FSection);
    if (TXANWrapperData* data = AWrapperClass->FData.load(std::memory_order_acquire)) return data;
    return BuildData(AWrapperClass);
}

TXANWrapperData* TXANWrapperRegistry::BuildData(const TXANWrapperClass* AWrapperClass) {
    std::unique_ptr<TXANWrapperData> data = AWrapperClass->NewWrapperData();
    if (!data) return nullptr;
    AWrapperClass->FillWrapperData(*data);
    XAN_ASSERT("XANSctWrappers", FData.Add(data.get()));
    AWrapperClass->FData.store(data.get(), std::memory_order_release);
    return data.release();
}

TXANDebugTypeFunc TXANWrapperRegistry::DebugType(plat::Word AVarType) {
    plat::SectionGuard guard(FSection);
    auto* item = static_cast<TVarDebugType*>(FDebugTypes.Find(&AVarType));
    if (!item) {
        auto fresh = std::make_unique<TVarDebugType>(AVarType);
        FDebugTypes.Add(fresh.get());
        item = fresh.release();
    }
    return TXANDebugTypeFunc::Bind<&TVarDebugType::Answer>(item);
}

void TXANWrapperRegistry::RegisterUnit(const TXANUnitWrapperClass* AWrapperClass) {
    plat::SectionGuard guard(FSection);
    for (const TXANUnitWrapperClass* unit : FUnits)
        if (unit == AWrapperClass) return;
    FUnits.push_back(AWrapperClass);
}

std::vector<const TXANUnitWrapperClass*> TXANWrapperRegistry::Units() {
    plat::SectionGuard guard(FSection);
    return FUnits;
}

void TXANWrapperRegistry::RegisterClass(const TXANClassWrapperClass* AWrapperClass) {
    auto item = std::make_unique<TWrapperClassItem>(AWrapperClass->GetWrappedClass(), AWrapperClass);
    plat::SectionGuard guard(FSection);
    if (FClassWrappers.Add(item.get())) item.release();
}

const TXANClassWrapperClass* TXANWrapperRegistry::FindClass(plat::TClass AClass) {
    plat::SectionGuard guard(FSection);
    for (plat::TClass c = AClass; c; c = c->parent)
        if (auto* item = static_cast<TWrapperClassItem*>(FClassWrappers.Find(&c))) return item->FWrapperClass;
    return nullptr;
}

void TXANWrapperRegistry::RegisterEvent(const TXANEventWrapperClass* AWrapperClass) {
    auto item = std::make_unique<TEventWrapperItem>(AWrapperClass->EventType(), AWrapperClass);
    plat::SectionGuard guard(FSection);
    if (FEventWrappers.Add(item.get())) item.release();
}

const TXANEventWrapperClass* TXANWrapperRegistry::FindEvent(plat::PTypeInfo ATypeInfo) {
    plat::SectionGuard guard(FSection);
    auto* item = static_cast<TEventWrapperItem*>(FEventWrappers.Find(&ATypeInfo));
    return item ? item->FWrapperClass : nullptr;
}

// ---- Entry points of other files -------------------------------------------------------------

TXANWrapperData* TXANWrapperClass::WrapperData() const { return TXANWrapperRegistry::Instance().DataOf(this); }

TXANDebugTypeFunc TVarDebugType::Get(plat::Word AVarType) {
    return TXANWrapperRegistry::Instance().DebugType(AVarType);
}

}  // namespace xan
