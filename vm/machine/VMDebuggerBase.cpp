#include "vm/machine/VMDebuggerBase.h"

#include <algorithm>

#include "vm/machine/VMIndexes.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

TXANVMDebuggerBase::TXANVMDebuggerBase() : FId(TVMIndexes::Instance().GetNextDebuggerId()) {}

TXANVMDebuggerBase::~TXANVMDebuggerBase() = default;

void TXANVMDebuggerBase::CauseBreak() {
    plat::SectionGuard guard(FSection);
    FCausingBreak = true;
    for (TXANVirtMachine* vm : FVMs) vm->FTerminateFlag.store(0, std::memory_order_relaxed);
}

void TXANVMDebuggerBase::Attach(TXANVirtMachine* AVM) {
    plat::SectionGuard guard(FSection);
    if (std::find(FVMs.begin(), FVMs.end(), AVM) == FVMs.end()) FVMs.push_back(AVM);
    // A break asked for before the machine started stops it at its first line.
    if (FCausingBreak) AVM->FTerminateFlag.store(0, std::memory_order_relaxed);
}

void TXANVMDebuggerBase::Detach(TXANVirtMachine* AVM) {
    plat::SectionGuard guard(FSection);
    std::erase(FVMs, AVM);
}

bool TXANVMDebuggerBase::BreakRequested(bool ATake) {
    plat::SectionGuard guard(FSection);
    const bool pending = FCausingBreak;
    if (ATake) FCausingBreak = false;
    return pending;
}

}  // namespace xan
