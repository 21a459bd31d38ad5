#include "foundation/FreeNotify.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/core/Object.h"

using namespace xan;
using xan::plat::TObject;

namespace {

class THostObject : public TObject {
    XAN_CLASS(THostObject, TObject)
    int payload = 0;
};

// A stand-in for the wrapper registry: the addresses it watches, under its own lock, and the
// addresses it was told about.
class TRegistry {
public:
    TRegistry() {
        SetFreeNotifyProc(TXANFreeNotifyProc::Bind<&TRegistry::Freed>(this));
    }
    ~TRegistry() { SetFreeNotifyProc({}); }

    void Watch(TObject* o) {
        std::lock_guard lock(mutex_);
        watched_.insert(o);
        WatchBlock(o, Enumerator());
    }
    TXANEnumProc Enumerator() { return TXANEnumProc::Bind<&TRegistry::Enumerate>(this); }
    std::vector<std::uintptr_t> Reported() {
        std::lock_guard lock(mutex_);
        return reported_;
    }
    void Forget(TObject* o) {
        std::lock_guard lock(mutex_);
        watched_.erase(o);
    }

private:
    void Freed(void* p) {
        std::lock_guard lock(mutex_);
        // A set bit only means "maybe": look the address up exactly.
        if (watched_.erase(p)) reported_.push_back(reinterpret_cast<std::uintptr_t>(p));
    }
    void Enumerate(const TXANEnumItemProc& item) {
        std::lock_guard lock(mutex_);
        for (void* p : watched_) item(p);
    }

    std::recursive_mutex mutex_;
    std::set<void*> watched_;
    std::vector<std::uintptr_t> reported_;
};

// An object whose filter bit is clear, so that no watched address shares it.
std::unique_ptr<THostObject> UnwatchedObject() {
    std::vector<std::unique_ptr<THostObject>> tries;
    while (true) {
        auto o = std::make_unique<THostObject>();
        if (!ProcessBlockFilter().MayBeWatched(o.get())) return o;
        tries.push_back(std::move(o));
    }
}

}  // namespace

TEST(ReleaseNotification, AWatchedObjectIsReportedWhenDestroyed) {
    TRegistry registry;
    auto* watched = new THostObject;
    registry.Watch(watched);
    EXPECT_TRUE(ProcessBlockFilter().MayBeWatched(watched));
    const auto address = reinterpret_cast<std::uintptr_t>(watched);
    delete watched;
    EXPECT_EQ(registry.Reported(), std::vector<std::uintptr_t>{address});
}

TEST(ReleaseNotification, UnwatchedObjectsAreNotReported) {
    TRegistry registry;
    auto* watched = new THostObject;
    registry.Watch(watched);
    UnwatchedObject().reset();
    EXPECT_TRUE(registry.Reported().empty());
    delete watched;
    EXPECT_EQ(registry.Reported().size(), 1u);
}

TEST(ReleaseNotification, NothingIsReportedWithoutANotificationMethod) {
    auto* watched = new THostObject;
    int calls = 0;
    SetFreeNotifyProc(TXANFreeNotifyProc([&](void*) { ++calls; }));
    WatchBlock(watched, {});
    SetFreeNotifyProc({});
    delete watched;
    EXPECT_EQ(calls, 0);
}

TEST(ReleaseNotification, AnAddressDroppedByARebuildIsNoLongerReported) {
    auto stale = UnwatchedObject();
    int calls = 0;  // counts every call, exact or not, to see the filter's own effect
    SetFreeNotifyProc(TXANFreeNotifyProc([&](void*) { ++calls; }));
    WatchBlock(stale.get(), {});
    TGC::Collect(TXANEnumProc([](const TXANEnumItemProc&) {}));  // the owner watches nothing now
    stale.reset();
    EXPECT_EQ(calls, 0);

    auto kept = std::make_unique<THostObject>();
    const void* keptAddress = kept.get();
    TGC::Collect(TXANEnumProc([&](const TXANEnumItemProc& item) { item(keptAddress); }));
    kept.reset();
    EXPECT_EQ(calls, 1);
    SetFreeNotifyProc({});
}

TEST(ReleaseNotification, TheItemProcFeedsTheProcessRebuild) {
    auto o = std::make_unique<THostObject>();
    const void* p = o.get();
    TGC::Collect(TXANEnumProc([p](const TXANEnumItemProc&) { TGC::ItemProc(p); }));
    EXPECT_TRUE(ProcessBlockFilter().MayBeWatched(p));
}

TEST(ReleaseNotification, AThrowingNotificationMethodDoesNotStopTheRelease) {
    SetFreeNotifyProc(TXANFreeNotifyProc([](void*) { plat::Throw<plat::Exception>(u"listener failed"); }));
    auto* watched = new THostObject;
    WatchBlock(watched, {});
    delete watched;  // would terminate the process if the exception escaped the destructor
    SetFreeNotifyProc({});
    SUCCEED();
}

TEST(ReleaseNotification, ClearingTheMethodWaitsForRunningNotifications) {
    constexpr int kThreads = 4;
    constexpr int kObjects = 400;
    auto registry = std::make_unique<TRegistry>();
    std::vector<std::vector<THostObject*>> objects(kThreads);
    for (auto& list : objects)
        for (int i = 0; i < kObjects; ++i) {
            list.push_back(new THostObject);
            registry->Watch(list.back());
        }
    std::atomic<int> lateCalls{0};
    std::atomic<bool> cleared{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (THostObject* o : objects[t]) delete o;
        });
    // Swap in a second listener while the releases run, then clear it: once the clear has
    // returned, neither listener may run again.
    SetFreeNotifyProc(TXANFreeNotifyProc([&](void*) {
        if (cleared.load()) lateCalls.fetch_add(1);
    }));
    SetFreeNotifyProc({});
    cleared = true;
    for (auto& th : threads) th.join();
    EXPECT_EQ(lateCalls.load(), 0);
    registry.reset();
}
