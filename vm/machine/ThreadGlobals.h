#pragma once
// TXANThreadGlobals: one thread's resolved view of one machine's global names.
//
// The view merges, in priority order, the script's own globals, the host objects and the
// language's built-ins, and caches members of host objects published with members. It is
// rebuilt only when the host-object table changed, so running code resolves global names
// without taking a lock.
#include <cstdint>
#include <vector>

#include "foundation/IdentifierHashTable.h"
#include "foundation/NameHashTable.h"
#include "vm/compiler/NameSearch.h"
#include "vm/interp/SiteNameCache.h"

namespace xan {

class TXANThreadVM;
class TXANVirtMachine;

class TThreadGlobalsItem : public TXANNamedItem {
    XAN_CLASS(TThreadGlobalsItem, TXANNamedItem)
    TThreadGlobalsItem(Integer AName, const TXANNameSearchRes& ARes) noexcept : TXANNamedItem(AName), SearchRes(ARes) {}

    TXANNameSearchRes SearchRes;
};

class TXANThreadGlobals {
public:
    explicit TXANThreadGlobals(TXANThreadVM* AThreadVM);
    TXANThreadGlobals(const TXANThreadGlobals&) = delete;
    TXANThreadGlobals& operator=(const TXANThreadGlobals&) = delete;

    // What a global name denotes for this thread; AStrName is the name as written (may be null).
    TXANNameSearchRes Search(Integer AName, const plat::UString* AStrName);
    // The script procedure / global variable or constant of that name (any case), or none.
    TXANProcObject* FindProcByStrName(const plat::UString& AStrName);
    TXANGlobalValuedObject* FindValObjByStrName(const plat::UString& AStrName);
    void Clear();
    // The call-site cache, emptied first when the host-object table changed since the last use.
    TXANSiteNameCache& CurrentSiteCache() {
        Refresh();
        return FSiteCache;
    }

    // The call-site cache when the view was built for the host-object table's AChangeNumber
    // (the machine's current one), else none: the caller takes the way that refreshes it.
    TXANSiteNameCache* SiteCacheIfCurrent(std::int32_t AChangeNumber) noexcept {
        return AChangeNumber == FChangeNumber ? &FSiteCache : nullptr;
    }

    std::int32_t ChangeNumber() const noexcept { return FChangeNumber; }

private:
    TXANVirtMachine* VM() const noexcept;
    void Refresh();
    void Rebuild();
    bool AddItem(TXANGlobalObject* AObj);
    bool SearchInPubs(Integer AName, const plat::UString* AStrName, TXANNameSearchRes& ARes) const;
    TXANGlobalObject* FindByStrName(const plat::UString& AStrName, TXANIdentifierHashTable& ACache,
                                    bool (*AAccept)(TXANGlobalObjType));

    TXANThreadVM* FThreadVM;
    TXANNameHashTable FItems{true};
    TXANIdentifierHashTable FProcsCache{true};
    TXANIdentifierHashTable FValObjCache{true};
    std::vector<TXANExternObject*> FPubMrsExterns;
    TXANSiteNameCache FSiteCache;
    std::int32_t FChangeNumber = -1;  // -1: never built
};

}  // namespace xan
