#pragma once
// The bytecode shapes both front ends emit around protected blocks: the landing pads through
// which a jump (exit, break, continue) leaves a handler or a protected part, the tail of a
// try/finally, and the binding of a caught exception to a variable. The statements inside are
// the front end's own; these pieces are the same in every dialect.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "vm/bytecode/ByteCode.h"

namespace xan {

class TXANAbstractNamespace;

// A jump to ATarget; where there is none, leaving the procedure returns from the code.
void XANEmitJumpOrReturn(TXANByteCode& ACode, TXANLabel* ATarget);

// A try/finally block: the protected block with its finally and handler labels, the slot for
// the finally code's return address, and the two exception-state slots.
TXANTry* XANBeginFinallyBlock(TXANByteCode& ACode);
// A try/except block: the protected block with its handler label and the two exception-state
// slots.
TXANTry* XANBeginExceptBlock(TXANByteCode& ACode);
// Ends the protected part of a try/except block (control falling out of it jumps to AEnd) and
// starts the handler code, which runs in ANamespace.
void XANEnterExceptHandler(TXANByteCode& ACode, TXANTry* ABlock, TXANLabel* AEnd, TXANAbstractNamespace* ANamespace);

// A jump out of a handler lands at APad (when there is one): the exception handling ends,
// then control goes on to ATarget.
void XANEmitExceptLeavePad(TXANByteCode& ACode, TXANLabel* APad, TXANLabel* ATarget);
// A jump out of a protected part lands at APad (when there is one): the finally code runs and
// comes back to AReturn, then control goes on to ATarget.
void XANEmitFinallyLeavePad(TXANByteCode& ACode, TXANTry* ABlock, TXANLabel* APad, TXANLabel* AReturn,
                            TXANLabel* ATarget);

// The end of a try/finally after its pads: ARaiseLeave (where jumps inside the finally code
// land) raises the run-time error, an exception runs the finally code in ANamespace and
// propagates, AEnd follows; AReturns are the places the finally code returns to.
void XANEmitFinallyTail(TXANByteCode& ACode, TXANTry* ABlock, TXANAbstractNamespace* ANamespace,
                        TXANLabel* ARaiseLeave, TXANLabel* AEnd, std::initializer_list<TXANLabel*> AReturns);

// A handler's exception object stored in the local ASlot (the handler's named variable).
void XANEmitCatchBinding(TXANByteCode& ACode, TXANTry* ABlock, std::int32_t ASlot);

// The end of a handler's code: the exception handling ends, control goes on to AEnd.
void XANEmitHandlerDone(TXANByteCode& ACode, TXANLabel* AEnd);

// The handlers of a try/except block that test the exception's class: the filters in source
// order, each jumping to its handler, so that the first match runs; then the handlers, a named
// one with its variable bound to the exception; then the handler for what no filter matched, or
// the re-raise that lets it propagate. The dialect tells what its handlers are.
class TXANHandlerChain {
public:
    virtual ~TXANHandlerChain() = default;
    // ANamespace is the current namespace of the code generation: while a named handler's
    // statements are emitted, it is a namespace of the handler's own that finds the variable.
    void Emit(TXANByteCode& ACode, TXANAbstractNamespace*& ANamespace, TXANTry* ATry, TXANLabel* AEnd);

protected:
    struct THandler {
        std::int32_t SourcePos;  // -1: the handler's code keeps the enclosing position
        std::int32_t Name;       // name id of the variable; -1 for none
        const plat::UString& StrName;
    };
    virtual std::size_t FilteredCount() const = 0;
    virtual THandler Handler(std::size_t AIndex) const = 0;
    // Pushes the class that handler AIndex catches.
    virtual void EmitFilter(std::size_t AIndex) = 0;
    virtual void EmitBody(std::size_t AIndex) = 0;
    // The handler for an exception no filter matched; without one the exception propagates.
    virtual bool HasCatchAll() const = 0;
    virtual std::int32_t CatchAllSourcePos() const = 0;  // -1: the enclosing position
    virtual void EmitCatchAll() = 0;

private:
    void EmitNamedHandler(TXANByteCode& ACode, TXANAbstractNamespace*& ANamespace, TXANTry* ATry, TXANLabel* ALabel,
                          std::size_t AIndex);
};

}  // namespace xan
