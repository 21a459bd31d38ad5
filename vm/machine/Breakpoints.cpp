#include "vm/machine/Breakpoints.h"

#include <algorithm>
#include <unordered_set>

#include "vm/bytecode/ByteCode.h"
#include "vm/bytecode/Fusion.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/VMSource.h"

namespace xan {

bool TXANVMBreakpoint::HasThread(const TXANThread* AThread) const noexcept {
    return std::find(Threads.begin(), Threads.end(), AThread) != Threads.end();
}

namespace {

bool InCode(const TXANByteCode& ACode, const TXANInstr* AInstr) noexcept {
    return AInstr >= ACode.Code() && AInstr < ACode.Code() + ACode.Count();
}

}  // namespace

namespace {

struct TStepWatch {
    plat::CriticalSection Section;
    std::int32_t Armed = 0;  // stepping cells that hold a step
    std::vector<std::atomic<bool>*> Flags;
};

// Never destroyed: stepping cells are dropped during exit too.
TStepWatch& StepWatch() {
    static auto* watch = new TStepWatch;
    return *watch;
}

}  // namespace

void XANWatchSteps(std::atomic<bool>* AHooksFlag) {
    TStepWatch& watch = StepWatch();
    plat::SectionGuard guard(watch.Section);
    watch.Flags.push_back(AHooksFlag);
    AHooksFlag->store(watch.Armed != 0, std::memory_order_relaxed);
}

void XANUnwatchSteps(std::atomic<bool>* AHooksFlag) noexcept {
    TStepWatch& watch = StepWatch();
    plat::SectionGuard guard(watch.Section);
    std::erase(watch.Flags, AHooksFlag);
    AHooksFlag->store(false, std::memory_order_relaxed);
}

void XANSetSteppingBase(TXANSteppingBase* ACell, TXANSteppingBase AValue) noexcept {
    if (!ACell || *ACell == AValue) return;
    const bool arms = *ACell == sbNone;
    const bool disarms = AValue == sbNone;
    *ACell = AValue;
    if (arms == disarms) return;  // one step's base moved
    TStepWatch& watch = StepWatch();
    plat::SectionGuard guard(watch.Section);
    watch.Armed += arms ? 1 : -1;
    if (watch.Armed == (arms ? 1 : 0))
        for (std::atomic<bool>* flag : watch.Flags) flag->store(arms, std::memory_order_relaxed);
}

// ---- Records -----------------------------------------------------------------------------------

TXANVMBreakpoint* TXANVMBreakpoints::Find(const TXANInstr* AInstr) noexcept {
    const auto it = FItems.find(AInstr);
    return it == FItems.end() ? nullptr : it->second.get();
}

TXANVMBreakpoint& TXANVMBreakpoints::Patch(const TXANByteCode& ACode, PXANInstr AInstr) {
    if (TXANVMBreakpoint* existing = Find(AInstr)) return *existing;
    auto record = std::make_unique<TXANVMBreakpoint>();
    record->Instr = AInstr;
    // The remembered code is the unfused one: the group this instruction heads may have been
    // unfused by a neighbour's patch meanwhile, and must not come back when this patch goes.
    record->Origin = XANUnfusedCode(static_cast<TXANInstrCode>(AInstr->LoadCode()));
    TXANVMBreakpoint& result = *record;
    FItems.emplace(AInstr, std::move(record));
    XANUnfuseBefore(ACode.Code(), ACode.IndexOf(AInstr));
    AInstr->StoreCode(icBreak);
    return result;
}

void TXANVMBreakpoints::ReleaseIfUnused(PXANInstr AInstr) {
    const auto it = FItems.find(AInstr);
    if (it == FItems.end() || it->second->IsUser || !it->second->Threads.empty()) return;
    AInstr->StoreCode(it->second->Origin);
    FItems.erase(it);
}

void TXANVMBreakpoints::SetUserBP(const TXANByteCode& ACode, PXANInstr AInstr) {
    plat::SectionGuard guard(FSection);
    Patch(ACode, AInstr).IsUser = true;
}

void TXANVMBreakpoints::RemoveUserBP(PXANInstr AInstr) {
    plat::SectionGuard guard(FSection);
    if (TXANVMBreakpoint* record = Find(AInstr)) {
        record->IsUser = false;
        ReleaseIfUnused(AInstr);
    }
}

bool TXANVMBreakpoints::IsUserBP(PXANInstr AInstr) {
    plat::SectionGuard guard(FSection);
    const TXANVMBreakpoint* record = Find(AInstr);
    return record && record->IsUser;
}

std::int32_t TXANVMBreakpoints::Count() {
    plat::SectionGuard guard(FSection);
    return static_cast<std::int32_t>(FItems.size());
}

void TXANVMBreakpoints::Clear() noexcept {
    plat::SectionGuard guard(FSection);
    FItems.clear();
}

std::int32_t TXANVMBreakpoints::LineOf(const TXANInstr& AInstr) const {
    return FSource.PosToLine(static_cast<std::int32_t>(AInstr.SourcePos()));
}

// ---- What a trap means -------------------------------------------------------------------------

TXANVMGetBPInfoResult TXANVMBreakpoints::GetInfo(const TXANThread* AThread, TXANVMDebuggerBase* ADebugger,
                                                 const TXANSteppingBase* AStepBase,
                                                 const TXANCallStackFrame& ACurFrame, PXANInstr AInstr,
                                                 TXANVMBreakKind& ABreakKind, TXANInstr& AOrigin) {
    plat::SectionGuard guard(FSection);
    ABreakKind = bkBreakpoint;
    if (const TXANVMBreakpoint* record = Find(AInstr)) {
        AOrigin = XANInstrWithCode(*AInstr, record->Origin);
        const bool mine = record->HasThread(AThread);
        if (mine) ABreakKind = bkStep;
        if (record->IsUser || (mine && AStepBase && XANFrameQualifies(ACurFrame, *AStepBase))) return bpirOk;
        return bpirGoThrough;
    }
    if (AInstr->LoadCode() != icBreak) {
        // The trap came from the terminate flag.
        if (ADebugger && ADebugger->BreakRequested(true)) {
            ABreakKind = bkCausedBreak;
            return bpirCausedBreak;
        }
        return bpirBPRemoved;
    }
    return bpirNoBPInfo;
}

// ---- Step breakpoints --------------------------------------------------------------------------

// One SetStepBPs: walks forward from each entry of a work list to the first instruction where
// a step may stop, adding every jump target met on the way to the list.
class TXANVMBreakpoints::TWalk {
public:
    TWalk(TXANVMBreakpoints& AOwner, TXANThread* AThread, const TXANByteCode& ACode, bool ASkipLine,
          std::int32_t ASkippedLine)
        : FOwner(AOwner), FThread(AThread), FCode(ACode), FSkipLine(ASkipLine), FSkippedLine(ASkippedLine) {}

    void Run(PXANInstr AStart) {
        Add(AStart);
        for (std::size_t k = 0; k < FWork.size(); ++k) WalkFrom(FWork[k]);
    }

private:
    void Add(PXANInstr AInstr) {
        if (AInstr && FSeen.insert(AInstr).second) FWork.push_back(AInstr);
    }
    void AddLabel(const TXANLabel* ALabel) {
        if (ALabel) Add(ALabel->FTarget);
    }

    // The code the instruction had before any patch, unfused.
    TXANInstrCode CodeOf(const TXANInstr* AInstr) {
        std::uint8_t code = AInstr->LoadCode();
        if (code == icBreak) {
            const TXANVMBreakpoint* record = FOwner.Find(AInstr);
            if (!record) EXANVMRuntime::RaiseError(retIEInvalidInstr);
            return record->Origin;
        }
        return XANUnfusedCode(static_cast<TXANInstrCode>(code));
    }

    // Adds AInstr's jump targets; answers whether execution may go on with the next instruction.
    bool AddSuccessors(const TXANInstr& AInstr, TXANInstrCode ACode) {
        switch (ACode) {
            case icRet: case icRaise: case isReraise: case icRaiseEBCFromFinally: return false;
            case icJump: AddLabel(AInstr.DataAs<TXANLabel>()); return false;
            case icJmpIfTrue: case icJmpIfFalse: case icPopJmpIfTrue: case icPopJmpIfFalse:
            case icPopJmpIfEqual: case icPopJmpIfNotEqual: case icCaseJmpIfEqual: case icCaseJmpIfInRange:
                AddLabel(AInstr.DataAs<TXANLabel>());
                return true;
            case icForJmpIfLE: case icForJmpIfGE: case icForJmpStep:
                AddLabel(AInstr.DataAs<TXANFor>()->FJmpLabel);
                return true;
            case icGlobCall: case icGlobCallRef: {
                const TXANCall& call = *AInstr.DataAs<TXANCall>();
                AddLabel(call.FExitLabel);
                AddLabel(call.FBreakLabel);
                AddLabel(call.FContinueLabel);
                return true;
            }
            case icExceptJmpIfIs: AddLabel(AInstr.DataAs<TXANExcJump>()->FLabel); return true;
            case icCallFinally: AddLabel(AInstr.DataAs<TXANTry>()->FFinallyLabel); return false;
            case icFinallyRet: {
                const TXANTry& block = *AInstr.DataAs<TXANTry>();
                for (std::int32_t i = 0; i < block.KnownFinallyRetCount(); ++i) AddLabel(block.GetKnownFinallyRets(i));
                return false;
            }
            case icBreakpointJmp: Add(AInstr.DataAs<TXANInstr>()); return false;
            default: return true;
        }
    }

    static bool NeverStoppedAt(TXANInstrCode ACode) noexcept { return ACode == icCallFinally || ACode == icFinallyRet; }

    // Only instructions of the code itself are patched (not a frame's breakpoint copy).
    bool MayStopAt(const TXANInstr& AInstr, TXANInstrCode ACode) const {
        if (!AInstr.IsBreakable() || NeverStoppedAt(ACode) || !InCode(FCode, &AInstr)) return false;
        return !FSkipLine || FOwner.LineOf(AInstr) != FSkippedLine;
    }

    // Every instruction is walked at most once: a walk that meets one walked before ends there,
    // as it would go on just as that walk did (long chains of jumps stay linear).
    void WalkFrom(PXANInstr AInstr) {
        for (PXANInstr p = AInstr;; ++p) {
            if (p != AInstr && !FSeen.insert(p).second) return;
            const TXANInstrCode code = CodeOf(p);
            const bool goesOn = AddSuccessors(*p, code);
            if (MayStopAt(*p, code)) {
                TXANVMBreakpoint& record = FOwner.Patch(FCode, p);
                if (!record.HasThread(FThread)) record.Threads.push_back(FThread);
                return;
            }
            if (!goesOn) return;
        }
    }

    TXANVMBreakpoints& FOwner;
    TXANThread* const FThread;
    const TXANByteCode& FCode;
    const bool FSkipLine;
    const std::int32_t FSkippedLine;
    std::vector<PXANInstr> FWork;
    std::unordered_set<const TXANInstr*> FSeen;  // walked or waiting in the work list
};

void TXANVMBreakpoints::SetStepBPs(TXANThread* AThread, TXANSteppingBase* AStepBase,
                                   const TXANCallStackFrame* ACurFrame, const TXANByteCode& ACode,
                                   PXANInstr AStartFrom, bool ASkipStartLine) {
    plat::SectionGuard guard(FSection);
    TWalk(*this, AThread, ACode, ASkipStartLine, ASkipStartLine ? LineOf(*AStartFrom) : -1).Run(AStartFrom);
    XANSetSteppingBase(AStepBase, ACurFrame ? reinterpret_cast<TXANSteppingBase>(ACurFrame) : sbAnyFrame);
}

void TXANVMBreakpoints::SetExcStepBPs(TXANThread* AThread, TXANSteppingBase* AStepBase,
                                      const TXANCallStackFrame* ACurFrame, const TXANByteCode& ACode,
                                      const TXANTry* AHandler) {
    plat::SectionGuard guard(FSection);
    for (const TXANTry* block = AHandler; block; block = block->FParent)
        if (block->FHandlerLabel && block->FHandlerLabel->FTarget)
            TWalk(*this, AThread, ACode, false, -1).Run(block->FHandlerLabel->FTarget);
    XANSetSteppingBase(AStepBase, ACurFrame ? reinterpret_cast<TXANSteppingBase>(ACurFrame) : sbAnyFrame);
}

void TXANVMBreakpoints::RemoveStepBps(TXANThread* AThread, TXANSteppingBase* AStepBase) {
    plat::SectionGuard guard(FSection);
    std::vector<PXANInstr> released;
    for (auto& [instr, record] : FItems) {
        if (!record->HasThread(AThread)) continue;
        std::erase(record->Threads, AThread);
        released.push_back(record->Instr);
    }
    for (PXANInstr instr : released) ReleaseIfUnused(instr);
    XANSetSteppingBase(AStepBase, sbNone);
}

}  // namespace xan
