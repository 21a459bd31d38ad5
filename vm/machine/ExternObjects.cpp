#include "vm/machine/ExternObjects.h"

#include <memory>

#include "foundation/NameTable.h"
#include "vm/bytecode/CodeEpoch.h"
#include "vm/machine/CodeObject.h"

namespace xan {

bool TXANExternObjects::Add(plat::IDispatch* AObj, const plat::UString& AName, bool APublishMembers) {
    const Integer name = GlobalNameTable().GetNameIndex(AName, true);
    // Another script of this engine is called in-process, skipping the dispatch marshalling.
    TXANCodeObject* codeObject = TXANCodeObject::FromDispatch(AObj);
    auto obj = std::make_unique<TXANExternObject>(name, AName, AObj, codeObject, APublishMembers);
    plat::SectionGuard guard(FSection);
    if (!FObjects.Add(obj.get())) return false;
    TXANExternObject* added = obj.release();
    if (APublishMembers) FPubMrsObjs.push_back(added);
    FChangeNumber.fetch_add(1, std::memory_order_release);
    // After the change number: a site that read the moved epoch reads the new number too.
    TXANCodeEpoch::Advance();
    return true;
}

void TXANExternObjects::Close() {
    plat::SectionGuard guard(FSection);
    FPubMrsObjs.clear();
    FObjects.Clear();
    FChangeNumber.store(0, std::memory_order_release);
    TXANCodeEpoch::Advance();  // the number starts again: only the epoch tells the tables apart
}

TXANExternObject* TXANExternObjects::Find(Integer AName) const noexcept {
    return static_cast<TXANExternObject*>(FObjects.Find(AName));
}

}  // namespace xan
