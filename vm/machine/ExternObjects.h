#pragma once
// TXANExternObjects: the host objects published to one script by name.
//
// Running code never locks this table: each thread keeps its own resolved view of the globals
// (TXANThreadGlobals) and rebuilds it only when the change number moved, under the section.
#include <atomic>
#include <cstdint>
#include <vector>

#include "foundation/NameHashTable.h"
#include "platform/core/Sync.h"
#include "platform/ole/ComIntf.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan {

class TXANExternObjects {
public:
    TXANExternObjects() = default;
    TXANExternObjects(const TXANExternObjects&) = delete;
    TXANExternObjects& operator=(const TXANExternObjects&) = delete;

    // Publishes AObj under AName; false, changing nothing, when the name is taken.
    bool Add(plat::IDispatch* AObj, const plat::UString& AName, bool APublishMembers);
    // Forgets every object (releasing them) and resets the change number to 0.
    void Close();

    plat::CriticalSection& Section() noexcept { return FSection; }
    // +1 on every successful Add, 0 after Close; readable without the section.
    std::int32_t ChangeNumber() const noexcept { return FChangeNumber.load(std::memory_order_acquire); }
    // Read under Section().
    TXANExternObject* Find(Integer AName) const noexcept;
    const std::vector<TXANExternObject*>& PubMrsObjs() const noexcept { return FPubMrsObjs; }
    void GetAll(std::vector<TXANNamedItem*>& AResult) const { FObjects.GetAll(AResult); }

private:
    plat::CriticalSection FSection;
    TXANNameHashTable FObjects{true};
    std::vector<TXANExternObject*> FPubMrsObjs;  // added with members published, in order
    std::atomic<std::int32_t> FChangeNumber{0};
};

}  // namespace xan
