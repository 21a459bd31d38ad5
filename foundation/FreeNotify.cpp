#include "foundation/FreeNotify.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/core/Object.h"
#include "platform/core/Sync.h"

namespace xan {

namespace {

// Number of notifications this thread is running, so that a notification method that itself
// sets the method does not wait for itself.
thread_local int t_notificationsRunning = 0;

class TReleaseNotifier {
public:
    TReleaseNotifier();
    ~TReleaseNotifier();
    TReleaseNotifier(const TReleaseNotifier&) = delete;
    TReleaseNotifier& operator=(const TReleaseNotifier&) = delete;

    void SetProc(TXANFreeNotifyProc AProc);
    void ObjectFreed(plat::TObject* AObject) noexcept;

    TXANBlockFilter Filter;

private:
    struct TRecord {
        TXANFreeNotifyProc Proc;
    };
    void WaitForOtherNotifications() const noexcept;

    std::atomic<TRecord*> FRecord{nullptr};  // immutable once published
    std::atomic<int> FRunning{0};            // notifications in progress, all threads
    std::mutex FSetLock;
};

// The hook outlives the notifier: both pointers are trivially destructible globals, so a
// TObject destroyed during static destruction still finds a consistent state.
std::atomic<TReleaseNotifier*> g_notifier{nullptr};
std::atomic<plat::TObjectFreeHook> g_previousHook{nullptr};

void OnObjectFree(plat::TObject* AObject) {
    if (TReleaseNotifier* notifier = g_notifier.load(std::memory_order_acquire)) notifier->ObjectFreed(AObject);
    if (plat::TObjectFreeHook previous = g_previousHook.load(std::memory_order_acquire)) previous(AObject);
}

TReleaseNotifier::TReleaseNotifier() {
    g_previousHook.store(plat::GetObjectFreeHook(), std::memory_order_release);
    g_notifier.store(this, std::memory_order_release);
    plat::SetObjectFreeHook(&OnObjectFree);
}

TReleaseNotifier::~TReleaseNotifier() {
    g_notifier.store(nullptr, std::memory_order_release);
    // Put the previous hook back unless someone chained after us; then our hook stays and
    // only forwards.
    if (plat::GetObjectFreeHook() == &OnObjectFree)
        plat::SetObjectFreeHook(g_previousHook.load(std::memory_order_acquire));
    delete FRecord.load(std::memory_order_acquire);
}

void TReleaseNotifier::ObjectFreed(plat::TObject* AObject) noexcept {
    if (!FRecord.load(std::memory_order_relaxed)) return;
    if (!Filter.MayBeWatched(AObject)) return;
    // Count ourselves in before reading the method, so that SetProc, which swaps the method
    // first and counts second, either sees us running or we see its new method.
    FRunning.fetch_add(1, std::memory_order_seq_cst);
    ++t_notificationsRunning;
    try {
        if (TRecord* record = FRecord.load(std::memory_order_seq_cst)) record->Proc.Fire(AObject);
    } catch (...) {
        // Nobody could handle it: the object is going regardless.
    }
    --t_notificationsRunning;
    FRunning.fetch_sub(1, std::memory_order_seq_cst);
}

void TReleaseNotifier::WaitForOtherNotifications() const noexcept {
    while (FRunning.load(std::memory_order_seq_cst) > t_notificationsRunning) plat::YieldThread();
}

void TReleaseNotifier::SetProc(TXANFreeNotifyProc AProc) {
    std::unique_ptr<TRecord> fresh = AProc ? std::make_unique<TRecord>(TRecord{std::move(AProc)}) : nullptr;
    std::lock_guard lock(FSetLock);
    std::unique_ptr<TRecord> old(FRecord.exchange(fresh.release(), std::memory_order_seq_cst));
    WaitForOtherNotifications();
}

TReleaseNotifier& Notifier() {
    static TReleaseNotifier notifier;
    return notifier;
}

// Install the hook while the process starts, with no notification method set.
[[maybe_unused]] const bool g_notifierInstalled = (Notifier(), true);

}  // namespace

void SetFreeNotifyProc(TXANFreeNotifyProc AProc) { Notifier().SetProc(std::move(AProc)); }

void WatchBlock(const void* P, const TXANEnumProc& AEnumerator) { Notifier().Filter.WatchBlock(P, AEnumerator); }

void TGC::Collect(const TXANEnumProc& AEnumerator) { Notifier().Filter.Collect(AEnumerator); }

void TGC::ItemProc(const void* AItem) { Notifier().Filter.ItemProc(AItem); }

TXANBlockFilter& ProcessBlockFilter() { return Notifier().Filter; }

}  // namespace xan
