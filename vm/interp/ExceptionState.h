#pragma once
// TXANExceptionState: the exception a handler of one protected block is handling.
//
// While a handler runs, the first of its block's two exception-state slots holds the address of
// this record (as a raw, never-released payload); the records of one activation form a chain,
// innermost first, from the frame's ExcSt. A record owns its exception object: the object is
// freed when the handler finishes or when the record is discarded.
#include "platform/core/Exception.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"

namespace xan {

struct TXANCallStackFrame;

struct TXANExceptionState {
    TXANTry* Try;                 // the block whose handler runs
    plat::Exception* E;           // owned
    TXANExceptionState* Prev;     // the previously active state of the activation
    plat::Variant* Slot;          // the slot that points here

    // The innermost state of AFrame, or none.
    static TXANExceptionState* Innermost(const TXANCallStackFrame& AFrame) noexcept;
    // The state whose first slot is AStateSlot.
    static TXANExceptionState* At(const plat::Variant* AStateSlot) noexcept;
    // Whether AObj is held by any active state of AFrame.
    static bool IsHeld(const TXANCallStackFrame& AFrame, const plat::Exception* AObj) noexcept;

    // Makes a state for ATry holding AObj the innermost of AFrame.
    static void Push(TXANCallStackFrame& AFrame, plat::Variant* AStack, TXANTry* ATry, plat::Exception* AObj);
    // Drops the innermost state, freeing its exception unless it is AKeep.
    static void Pop(TXANCallStackFrame& AFrame, const plat::Exception* AKeep = nullptr) noexcept;
    // Drops every state, freeing their exceptions except AKeep.
    static void DropAll(TXANCallStackFrame& AFrame, const plat::Exception* AKeep) noexcept;
};

}  // namespace xan
