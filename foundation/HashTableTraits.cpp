#include "foundation/HashTableTraits.h"

#include "platform/core/Assert.h"

namespace xan {

namespace {
// The base answers what cannot be answered without knowing the key: a table whose traits
// leave these out is a defect of the traits class, reported like every consistency check.
[[noreturn]] void MustOverride(const char* operation) {
    plat::AssertFailed("XANHashTable", operation, __FILE__, __LINE__);
}
}  // namespace

const TXANHashTableTraits* TXANHashTableTraits::Class() noexcept {
    static const TXANHashTableTraits instance(nullptr);
    return &instance;
}

bool TXANHashTableTraits::BeforeAdd(plat::TObject*, TXANHashTable&) const { return true; }

Integer TXANHashTableTraits::MakeHashI(const plat::TObject*) const {
    MustOverride("traits class overrides MakeHashI");
}

Integer TXANHashTableTraits::MakeHashK(const void*) const { MustOverride("traits class overrides MakeHashK"); }

bool TXANHashTableTraits::Compare(const void*, const plat::TObject*) const {
    MustOverride("traits class overrides Compare");
}

TXANHashUpdateAction TXANHashTableTraits::OnUpdate(plat::TObject*) const { return uaNothing; }

}  // namespace xan
