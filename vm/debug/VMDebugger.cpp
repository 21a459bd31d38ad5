#include "vm/debug/VMDebugger.h"

#include <vector>

#include "platform/core/Sync.h"
#include "vm/interp/Thread.h"
#include "vm/machine/VMIndexes.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

namespace {

// The thread's break marks, set for the snapshot's machines and cleared on every way out; the
// snapshot's frames are no longer readable afterwards.
class TBreakScope {
public:
    TBreakScope(TXANPasStackFrames& AFrames) : FFrames(AFrames) {}
    ~TBreakScope() {
        for (TXANThreadVM* record : FMarked) record->FInBreak = false;
        FFrames.EndBreak();
    }
    TBreakScope(const TBreakScope&) = delete;
    TBreakScope& operator=(const TBreakScope&) = delete;

    void Mark(TXANThreadVM* ARecord) {
        if (!ARecord || ARecord->FInBreak) return;
        ARecord->FInBreak = true;
        FMarked.push_back(ARecord);
    }

private:
    TXANPasStackFrames& FFrames;
    std::vector<TXANThreadVM*> FMarked;
};

}  // namespace

TXANVMResumeKind TXANVMDebugger::DoVMBreak(TXANVMBreakKind ABreakKind, TXANVirtMachine* AVM, plat::Integer ALine,
                                           const TXANPasStackFramesRef& ACallStack) {
    TXANVMResumeKind resume = rkContinue;
    if (OnBreak) OnBreak(this, ABreakKind, AVM, ALine, ACallStack, resume);
    return resume;
}

TXANVMResumeKind TXANVMDebugger::Break(TXANVMBreakKind AKind, TXANVirtMachine& AVM, plat::Integer ALine,
                                       TXANThread& AThread) {
    auto frames = std::make_shared<TXANPasStackFrames>(plat::CurrentThreadId());
    TBreakScope scope(*frames);
    for (TXANCallStackFrame* f = AThread.FCallStack; f; f = f->Next) {
        auto* vm = dynamic_cast<TXANVirtMachine*>(f->VM);
        if (!vm || vm->Debugger() != this) continue;
        frames->Add(f);
        scope.Mark(TVMIndexes::ThreadVMOf(&AThread, vm->Id().Index));
    }
    return DoVMBreak(AKind, &AVM, ALine, frames);
}

}  // namespace xan
