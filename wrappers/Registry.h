#pragma once
// The process-wide registries of the wrapper framework (internal to this layer).
//
// Two locks: the registry section guards the wrapper data (fills included), the unit list, the
// class-wrapper and event registries and the debug-type cache, so that first uses of a wrapper
// class from several threads at once fill it once; the object registry has its own section,
// because release notifications arrive on whichever thread destroys an object.
#include <vector>

#include "foundation/FreeNotify.h"
#include "foundation/HashTable.h"
#include "platform/core/Sync.h"
#include "wrappers/WrapperClasses.h"

namespace xan {

class TXANClassWrapper;

// One wrapper per live wrapped object, found by the object.
class TWrapperByObject {
public:
    TWrapperByObject();
    ~TWrapperByObject();
    TWrapperByObject(const TWrapperByObject&) = delete;
    TWrapperByObject& operator=(const TWrapperByObject&) = delete;

    plat::CriticalSection& Lock() noexcept { return FLock; }
    // Indexes AWrapper by its object and watches the object's address. When another wrapper
    // holds the object already, nothing changes and that one is returned.
    TXANClassWrapper* Add(TXANClassWrapper* AWrapper);
    TXANClassWrapper* Find(const plat::TObject* AObject) const;
    // Drops AWrapper's entry (only its own).
    void Remove(TXANClassWrapper* AWrapper);

private:
    void ObjectReleased(void* P);
    void EnumerateWatched(const TXANEnumItemProc& AItemProc);

    TXANHashTable FMap;
    mutable plat::CriticalSection FLock;
    TXANEnumItemProc FOriginalItemProc;  // the filter's callback during a rebuild
};

class TXANWrapperRegistry {
public:
    static TXANWrapperRegistry& Instance();
    ~TXANWrapperRegistry();

    plat::CriticalSection& Section() noexcept { return FSection; }
    TXANWrapperData* DataOf(const TXANWrapperClass* AWrapperClass);
    TXANDebugTypeFunc DebugType(plat::Word AVarType);

    void RegisterUnit(const TXANUnitWrapperClass* AWrapperClass);
    std::vector<const TXANUnitWrapperClass*> Units();
    void RegisterClass(const TXANClassWrapperClass* AWrapperClass);
    const TXANClassWrapperClass* FindClass(plat::TClass AClass);
    void RegisterEvent(const TXANEventWrapperClass* AWrapperClass);
    const TXANEventWrapperClass* FindEvent(plat::PTypeInfo ATypeInfo);

    TWrapperByObject& Objects() noexcept { return FObjects; }

private:
    TXANWrapperRegistry();
    TXANWrapperData* BuildData(const TXANWrapperClass* AWrapperClass);

    plat::CriticalSection FSection;
    // Freed in the reverse of this order: objects first, debug types last.
    TXANHashTable FDebugTypes;
    TXANHashTable FData;
    std::vector<const TXANUnitWrapperClass*> FUnits;
    TXANHashTable FEventWrappers;
    TXANHashTable FClassWrappers;
    TWrapperByObject FObjects;
};

// Registers the basic unit's wrappers (defined with them).
void XANRegisterBasicWrappers(TXANWrapperRegistry& ARegistry);

}  // namespace xan
