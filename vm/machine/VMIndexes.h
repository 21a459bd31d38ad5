#pragma once
// The process-wide registry of machines and threads.
//
// Every machine gets an id (unique for the life of the process) and an index (a slot reused after
// the machine is destroyed). Every OS thread that enters the engine gets one thread object whose
// per-machine records are an array indexed by that slot, so finding "this thread's data for this
// machine" costs one array access and no lock. Opening and closing a machine flips the entry
// flags of all its per-thread records; closing waits until every thread has left.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/Sync.h"

namespace xan {

class TXANVirtMachine;
class TXANThread;
class TXANThreadVM;
class TXANThreadGlobals;

// One per machine index; never freed before the registry.
//
// FVM is written under the registry's section only, and read without it only by a thread that
// has entered the index (won its record's entry flag). A record first becomes enterable under
// the section after its machine took the index (MarkOpened, or a record made while it is
// open), and the machine gives the index up only after MarkClosingAndWait saw every thread
// leave; so the entry's acquire orders the read after the write, and before the next one.
class TXANVMLock {
public:
    TXANVirtMachine* FVM = nullptr;           // the machine owning the index, or none
    std::vector<TXANThreadVM*> FVMDataList;   // every thread's record for this index
    bool FInactiveOrClosing = true;           // the machine is not open
    std::int32_t FDebuggerId = -1;            // the attached debugger, -1 for none
};

struct TXANVMId {
    std::int32_t Id = 0;      // unique per machine, from 1
    std::int32_t Index = -1;  // slot in every thread's per-machine array
    TXANVMLock* Lock = nullptr;
};

// The stepping-base cell: -1 no stepping, 0 any frame, otherwise a frame.
using TXANSteppingBase = std::intptr_t;

// One thread's entry into one machine index.
class TXANThreadVM {
public:
    TXANThreadVM(TXANVMLock* ALock, TXANThread* AThread, TXANSteppingBase* ASteppingBase, std::int32_t AFlag);
    ~TXANThreadVM();
    TXANThreadVM(const TXANThreadVM&) = delete;
    TXANThreadVM& operator=(const TXANThreadVM&) = delete;

    // Enters the machine on this thread (nestable); false when it is closed or closing.
    bool Lock() noexcept;
    void Unlock() noexcept;

    TXANVMLock* FVMLock;
    TXANThread* FThread;
    std::unique_ptr<TXANThreadGlobals> FGlobals;
    std::int32_t FLockCount = 0;
    std::atomic<std::int32_t> FFlag;  // 0 idle, 1 this thread is inside, -1 closed or closing
    TXANSteppingBase* FSteppingBase;
    bool FInBreak = false;
};

class TVMIndexes {
public:
    static TVMIndexes& Instance();

    TXANVMId AsquireId(TXANVirtMachine* AVM);
    void ReleaseId(const TXANVMId& AId);
    // The calling thread's object, with a record for AId's index.
    TXANThread* InitThread(const TXANVMId& AId);
    // The calling thread's record for AId's index (created when missing).
    TXANThreadVM& ThreadVM(const TXANVMId& AId);
    void MarkOpened(const TXANVMId& AId, std::int32_t ADebuggerId);
    void MarkClosingAndWait(const TXANVMId& AId);
    bool IsInactiveOrClosing(const TXANVMId& AId);
    std::int32_t GetNextDebuggerId();

    // The calling thread's object, or none when it never entered the engine.
    static TXANThread* CurrentThread() noexcept;
    // The record of `AThread` for machine index AIndex, or none.
    static TXANThreadVM* ThreadVMOf(TXANThread* AThread, std::int32_t AIndex) noexcept;

    std::int32_t ThreadCount();  // registered thread objects (for tests)

    ~TVMIndexes();

    struct ThreadRecord;  // one OS thread's object and per-machine records

private:
    struct SteppingItem;
    TVMIndexes() = default;

    ThreadRecord& CurrentRecord();
    void FreeEndedThreads();
    void GrowThreadData(ThreadRecord& ARecord, std::int32_t AIndex);
    TXANSteppingBase* SteppingCell(TXANThread* AThread, std::int32_t ADebuggerId);
    void CollectSteppingItems();

    plat::CriticalSection FSection;
    std::vector<std::unique_ptr<ThreadRecord>> FThreadDatas;
    std::vector<std::unique_ptr<TXANVMLock>> FLocks;
    std::vector<std::unique_ptr<SteppingItem>> FSteppingItems;
    std::int32_t FNextVMId = 1;
    std::int32_t FNextDebuggerId = 1;
    // Closes waiting outside the section for threads to leave; they hold pointers to thread
    // records, so records of ended threads are not freed meanwhile.
    std::int32_t FClosingCount = 0;
    TXANSteppingBase FNoDebuggerCell = -1;
};

}  // namespace xan
