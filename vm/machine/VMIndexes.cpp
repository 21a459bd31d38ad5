#include "vm/machine/VMIndexes.h"

#include <algorithm>

#include "vm/bytecode/CodeEpoch.h"
#include "vm/interp/Thread.h"
#include "vm/machine/ThreadGlobals.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

// ---- TXANThreadVM ------------------------------------------------------------------------------

TXANThreadVM::TXANThreadVM(TXANVMLock* ALock, TXANThread* AThread, TXANSteppingBase* ASteppingBase,
                           std::int32_t AFlag)
    : FVMLock(ALock),
      FThread(AThread),
      FGlobals(std::make_unique<TXANThreadGlobals>(this)),
      FFlag(AFlag),
      FSteppingBase(ASteppingBase) {}

// Call sites may remember procedures for this record by its address, which a new record may reuse.
TXANThreadVM::~TXANThreadVM() { TXANCodeEpoch::Advance(); }

bool TXANThreadVM::Lock() noexcept {
    if (FLockCount >= 1) {
        ++FLockCount;
        return true;
    }
    std::int32_t idle = 0;
    if (!FFlag.compare_exchange_strong(idle, 1, std::memory_order_acquire)) return false;
    FLockCount = 1;
    return true;
}

void TXANThreadVM::Unlock() noexcept {
    if (FLockCount <= 0) return;
    if (--FLockCount == 0) FFlag.store(0, std::memory_order_release);
}

// ---- Thread records ----------------------------------------------------------------------------

namespace {

// Set to false by the destructor of a thread-local, i.e. when the OS thread ends; the registry
// frees the thread's objects at a later registration.
struct AliveToken {
    std::shared_ptr<std::atomic<bool>> alive = std::make_shared<std::atomic<bool>>(true);
    ~AliveToken() { alive->store(false, std::memory_order_release); }
};

thread_local AliveToken tlsAlive;

}  // namespace

struct TVMIndexes::ThreadRecord {
    std::unique_ptr<TXANThread> Thread = std::make_unique<TXANThread>();
    std::vector<std::unique_ptr<TXANThreadVM>> VMData;  // by machine index
    std::shared_ptr<std::atomic<bool>> Alive = tlsAlive.alive;
};

struct TVMIndexes::SteppingItem {
    TXANThread* Thread;
    std::int32_t DebuggerId;
    TXANSteppingBase Base = sbNone;

    // An item dropped with its step armed (its thread ended mid-step) no longer counts.
    ~SteppingItem() { XANSetSteppingBase(&Base, sbNone); }
};

namespace {
thread_local TVMIndexes::ThreadRecord* tlsRecord = nullptr;
}

TVMIndexes& TVMIndexes::Instance() {
    static TVMIndexes instance;
    return instance;
}

TVMIndexes::~TVMIndexes() {
    for (auto& record : FThreadDatas)
        if (tlsRecord == record.get()) tlsRecord = nullptr;
}

TXANThread* TVMIndexes::CurrentThread() noexcept { return tlsRecord ? tlsRecord->Thread.get() : nullptr; }

TXANThreadVM* TVMIndexes::ThreadVMOf(TXANThread* AThread, std::int32_t AIndex) noexcept {
    ThreadRecord* r = tlsRecord;
    if (!r || r->Thread.get() != AThread || AIndex < 0 || static_cast<std::size_t>(AIndex) >= r->VMData.size())
        return nullptr;
    return r->VMData[static_cast<std::size_t>(AIndex)].get();
}

// ---- Ids ---------------------------------------------------------------------------------------

TXANVMId TVMIndexes::AsquireId(TXANVirtMachine* AVM) {
    plat::SectionGuard guard(FSection);
    auto free = std::find_if(FLocks.begin(), FLocks.end(), [](const auto& l) { return l->FVM == nullptr; });
    if (free == FLocks.end()) {
        FLocks.push_back(std::make_unique<TXANVMLock>());
        free = FLocks.end() - 1;
    }
    (*free)->FVM = AVM;
    return {FNextVMId++, static_cast<std::int32_t>(free - FLocks.begin()), free->get()};
}

void TVMIndexes::ReleaseId(const TXANVMId& AId) {
    plat::SectionGuard guard(FSection);
    AId.Lock->FVM = nullptr;
}

std::int32_t TVMIndexes::GetNextDebuggerId() {
    plat::SectionGuard guard(FSection);
    return FNextDebuggerId++;
}

bool TVMIndexes::IsInactiveOrClosing(const TXANVMId& AId) {
    plat::SectionGuard guard(FSection);
    return AId.Lock->FInactiveOrClosing;
}

std::int32_t TVMIndexes::ThreadCount() {
    plat::SectionGuard guard(FSection);
    return static_cast<std::int32_t>(FThreadDatas.size());
}

// ---- Threads -----------------------------------------------------------------------------------

void TVMIndexes::FreeEndedThreads() {
    if (FClosingCount > 0) return;  // a later registration frees them
    // A thread may end while this runs, so whether a record's thread has ended is read once:
    // a record freed must be exactly a record whose per-machine entries left the locks' lists.
    std::vector<ThreadRecord*> ended;
    for (auto& record : FThreadDatas)
        if (!record->Alive->load(std::memory_order_acquire)) ended.push_back(record.get());
    if (ended.empty()) return;
    for (ThreadRecord* record : ended) {
        for (auto& data : record->VMData) {
            auto& list = data->FVMLock->FVMDataList;
            list.erase(std::remove(list.begin(), list.end(), data.get()), list.end());
        }
        std::erase_if(FSteppingItems, [&](const auto& s) { return s->Thread == record->Thread.get(); });
    }
    std::erase_if(FThreadDatas, [&](const std::unique_ptr<ThreadRecord>& r) {
        return std::find(ended.begin(), ended.end(), r.get()) != ended.end();
    });
}

TVMIndexes::ThreadRecord& TVMIndexes::CurrentRecord() {
    if (tlsRecord) return *tlsRecord;
    FreeEndedThreads();
    FThreadDatas.push_back(std::make_unique<ThreadRecord>());
    tlsRecord = FThreadDatas.back().get();
    return *tlsRecord;
}

void TVMIndexes::GrowThreadData(ThreadRecord& ARecord, std::int32_t AIndex) {
    const std::size_t oldLength = ARecord.VMData.size();
    if (static_cast<std::size_t>(AIndex) < oldLength) return;
    // A thread's view of a machine holds its call-site cache (kilobytes, zeroed): a process
    // with one machine should not build views of machines that do not exist yet.
    std::size_t length = oldLength == 0 ? 1 : oldLength * 2;
    length = std::max(length, static_cast<std::size_t>(AIndex) + 1);
    while (FLocks.size() < length) FLocks.push_back(std::make_unique<TXANVMLock>());
    ARecord.VMData.reserve(length);
    for (std::size_t i = oldLength; i < length; ++i) {
        TXANVMLock* lock = FLocks[i].get();
        TXANThread* thread = ARecord.Thread.get();
        auto data = std::make_unique<TXANThreadVM>(lock, thread, SteppingCell(thread, lock->FDebuggerId),
                                                   lock->FInactiveOrClosing ? -1 : 0);
        lock->FVMDataList.push_back(data.get());
        ARecord.VMData.push_back(std::move(data));
    }
}

TXANThread* TVMIndexes::InitThread(const TXANVMId& AId) {
    ThreadRecord* record = tlsRecord;
    if (record && static_cast<std::size_t>(AId.Index) < record->VMData.size()) return record->Thread.get();
    plat::SectionGuard guard(FSection);
    ThreadRecord& r = CurrentRecord();
    GrowThreadData(r, AId.Index);
    return r.Thread.get();
}

TXANThreadVM& TVMIndexes::ThreadVM(const TXANVMId& AId) {
    TXANThread* thread = InitThread(AId);
    return *ThreadVMOf(thread, AId.Index);
}

// ---- Stepping cells ----------------------------------------------------------------------------

TXANSteppingBase* TVMIndexes::SteppingCell(TXANThread* AThread, std::int32_t ADebuggerId) {
    if (ADebuggerId == -1) return &FNoDebuggerCell;
    for (auto& item : FSteppingItems)
        if (item->Thread == AThread && item->DebuggerId == ADebuggerId) return &item->Base;
    CollectSteppingItems();
    FSteppingItems.push_back(std::make_unique<SteppingItem>(SteppingItem{AThread, ADebuggerId}));
    return &FSteppingItems.back()->Base;
}

// Items of debuggers that no lock uses any more are garbage once they outnumber the locks
// tenfold; records still pointing at them are re-pointed whenever their machine is opened.
void TVMIndexes::CollectSteppingItems() {
    if (FSteppingItems.size() <= 10 * FLocks.size()) return;
    auto unused = [&](const std::unique_ptr<SteppingItem>& s) {
        return std::none_of(FLocks.begin(), FLocks.end(), [&](const auto& l) { return l->FDebuggerId == s->DebuggerId; });
    };
    std::erase_if(FSteppingItems, unused);
}

// ---- Open and close ----------------------------------------------------------------------------

void TVMIndexes::MarkOpened(const TXANVMId& AId, std::int32_t ADebuggerId) {
    plat::SectionGuard guard(FSection);
    TXANVMLock* lock = AId.Lock;
    lock->FInactiveOrClosing = false;
    lock->FDebuggerId = ADebuggerId;
    for (TXANThreadVM* data : lock->FVMDataList) {
        data->FSteppingBase = SteppingCell(data->FThread, ADebuggerId);
        data->FFlag.store(0, std::memory_order_release);
    }
}

void TVMIndexes::MarkClosingAndWait(const TXANVMId& AId) {
    std::vector<TXANThreadVM*> pending;
    {
        plat::SectionGuard guard(FSection);
        TXANVMLock* lock = AId.Lock;
        if (lock->FInactiveOrClosing) return;
        lock->FInactiveOrClosing = true;
        lock->FDebuggerId = -1;
        if (lock->FVM) lock->FVM->FTerminateFlag.store(0, std::memory_order_relaxed);
        pending = lock->FVMDataList;
        ++FClosingCount;
    }
    // A thread inside the machine (flag 1) traps at its next instruction and leaves; an idle
    // record (flag 0) is closed at once. Records of the calling thread that is itself inside
    // (closing from within a script) cannot be waited for and are closed as they are.
    TXANThread* self = CurrentThread();
    while (!pending.empty()) {
        std::erase_if(pending, [&](TXANThreadVM* data) {
            std::int32_t idle = 0;
            if (data->FFlag.compare_exchange_strong(idle, -1, std::memory_order_acq_rel)) return true;
            if (idle == -1) return true;
            if (data->FThread == self) {
                data->FFlag.store(-1, std::memory_order_release);
                data->FLockCount = 0;
                return true;
            }
            return false;
        });
        if (!pending.empty()) plat::YieldThread();
    }
    plat::SectionGuard guard(FSection);
    --FClosingCount;
    for (TXANThreadVM* data : AId.Lock->FVMDataList) {
        data->FGlobals->Clear();
        data->FSteppingBase = nullptr;
    }
}

}  // namespace xan
