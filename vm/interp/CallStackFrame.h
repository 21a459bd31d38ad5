#pragma once
// What one activation runs (TXANVMInterpretContext) and its record on the thread's call stack
// (TXANCallStackFrame), which the debugger walks across machines.
#include <cstdint>

#include "platform/ole/Variant.h"
#include "vm/bytecode/Instr.h"

namespace xan {

class TXANByteCode;
class TXANVMSource;
class TXANAbstractNamespace;
class TXANInterpreter;
class TXANThreadVM;
class TXANElementRefs;

using PXANVarArray = plat::Variant*;

struct TXANVMInterpretContext {
    TXANByteCode* Code = nullptr;
    PXANVarArray Args = nullptr;       // argument 1 in the caller's slots, or none
    plat::Variant* Result = nullptr;   // the caller's result slot, or none
    TXANVMSource* Source = nullptr;    // none: the machine's own source
};
using PXANVMInterpretContext = TXANVMInterpretContext*;

struct TXANCallStackFrame {
    TXANCallStackFrame* Next = nullptr;   // the caller's frame
    TXANInterpreter* VM = nullptr;
    PXANVMInterpretContext Ctx = nullptr;
    TXANAbstractNamespace* CurNS = nullptr;
    // The instruction being executed. Kept current whenever control may leave the dispatch
    // loop (calls, breaks, exceptions), which is when anybody else can look at it.
    PXANInstr IP = nullptr;
    PXANVarArray Stack = nullptr;
    plat::Variant* LocalsEnd = nullptr;   // above the locals: where the operand stack starts
    void* ExcSt = nullptr;                // innermost active exception state, or none
    TXANThreadVM* ThreadVM = nullptr;     // the machine's record for this thread, once looked up
    // Array elements this activation passes by reference (made on first need, freed with the
    // activation).
    TXANElementRefs* ElementRefs = nullptr;
    std::int32_t Depth = 0;               // 1 for the outermost activation of the thread
    // Where the instruction a breakpoint covers runs: a copy with its own code, followed by
    // an icBreakpointJmp back to the instruction after the breakpoint.
    TXANInstr BreakCopy[2];
};
using PXANCallStackFrame = TXANCallStackFrame*;

}  // namespace xan
