#pragma once
// Release notification: tells one process-wide listener (the wrapper registry) that a host
// object it may know is being destroyed, before its memory can be reused.
//
// Every host object scripts can see is a TObject, so the notification is driven from the
// TObject destructor rather than from the global deallocation routine; memory that is not a
// TObject can never be wrapped and needs no notification. A process-wide TXANBlockFilter keeps
// the cost for unrelated objects to one test when no listener is set and one hash plus one bit
// test when one is. The notification method must look the address up exactly and ignore
// addresses it does not know, because a set filter bit only means "may be watched".
#include "foundation/BlockFilter.h"
#include "platform/core/Method.h"

namespace xan {

// Receives the address of the TObject being destroyed. It runs inside a destructor, on
// whatever thread destroys the object: it must not throw (anything it throws is discarded,
// since a release cannot be undone) and must tolerate being called on several threads at once.
using TXANFreeNotifyProc = plat::Event<void(void* P)>;

// Sets, or clears with an empty method, the one process-wide notification method. When it
// returns, no other thread is still running the previous method, so its owner may go away.
// Do not call it while holding a lock the notification method takes.
void SetFreeNotifyProc(TXANFreeNotifyProc AProc);

// Marks P in the process filter; every 100th call rebuilds the filter through AEnumerator.
// Callers serialise these calls under their own lock, the one their enumerator needs.
void WatchBlock(const void* P, const TXANEnumProc& AEnumerator);

// The process filter's rebuild, callable directly.
class TGC {
public:
    static void Collect(const TXANEnumProc& AEnumerator);
    static void ItemProc(const void* AItem);
};

// The process filter, for owners that want to test an address themselves.
TXANBlockFilter& ProcessBlockFilter();

}  // namespace xan
