#pragma once
// Traits classes give a TXANHashTable its key: how to hash an item and a key, how to compare
// them, whether an item may be added and what Update does with it. They are classes with
// class-level virtual operations only, so a table holds the class (a pointer to its one
// immutable singleton), never an instance.
//
//   class TByNameTraits : public TXANHashTableTraits {
//       XAN_HASH_TRAITS(TByNameTraits, TXANHashTableTraits)
//       Integer MakeHashI(const plat::TObject* AItem) const override;
//       ...
//   };
//   TXANHashTable table(TByNameTraits::Class(), true);
#include <cstdint>

#include "foundation/HashFunctions.h"
#include "platform/core/Object.h"

namespace xan {

class TXANHashTable;

enum TXANHashUpdateAction : std::uint8_t { uaDelete, uaNothing };

class TXANHashTableTraits : public plat::TMetaClass {
public:
    static const TXANHashTableTraits* Class() noexcept;

    // May AItem be added to ATable? Traits of tables that must not hold two items with one key
    // answer False when Find already returns an item for AItem's key.
    virtual bool BeforeAdd(plat::TObject* AItem, TXANHashTable& ATable) const;
    // Hash of an item's key, and of a key passed by address; equal keys must hash equally.
    virtual Integer MakeHashI(const plat::TObject* AItem) const;
    virtual Integer MakeHashK(const void* AKey) const;
    // Does AItem have the key at AKey?
    virtual bool Compare(const void* AKey, const plat::TObject* AItem) const;
    // What Update does with AItem; it may also change the item's key.
    virtual TXANHashUpdateAction OnUpdate(plat::TObject* AItem) const;

protected:
    explicit TXANHashTableTraits(const plat::TMetaClass* AParent) noexcept : TMetaClass(AParent) {}
};

using TXANHashTableTraitsClass = const TXANHashTableTraits*;

}  // namespace xan

// Declares a traits class: its singleton `Self::Class()` (whose metaclass parent is the parent's
// singleton) and the constructor descendants chain through. The parent may be a template-id.
#define XAN_HASH_TRAITS(Self, ...)                                                     \
public:                                                                                \
    static const Self* Class() noexcept {                                             \
        static const Self instance(__VA_ARGS__::Class());                             \
        return &instance;                                                             \
    }                                                                                 \
                                                                                      \
protected:                                                                            \
    explicit Self(const ::xan::plat::TMetaClass* AParent) noexcept : __VA_ARGS__(AParent) {} \
                                                                                      \
public:
