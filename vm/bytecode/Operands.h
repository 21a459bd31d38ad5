#pragma once
// The small operand objects that instructions point to. A bytecode creates and owns them.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/UString.h"
#include "vm/bytecode/CallSiteCache.h"
#include "vm/bytecode/Instr.h"

namespace xan {

class TXANAbstractNamespace;

// Common base so that a bytecode can own operands of every kind in one list.
class TXANOperand {
public:
    TXANOperand() = default;
    TXANOperand(const TXANOperand&) = delete;
    TXANOperand& operator=(const TXANOperand&) = delete;
    virtual ~TXANOperand() = default;
};

// A run-time object an instruction points to that is no descriptor of its own (a literal's
// value, the scope of an exception handler): kept among the operands, so that it lives exactly as
// long as the code and nothing else (a syntax tree in particular) has to.
template <class T>
class TXANOwnedObject final : public TXANOperand {
public:
    explicit TXANOwnedObject(std::unique_ptr<T> AObject) noexcept : FObject(std::move(AObject)) {}

private:
    std::unique_ptr<T> FObject;
};

class TXANLabel : public TXANOperand {
public:
    // Before EndEmit: FBoundIndex is the bound instruction's index (-1 while unbound).
    // EndEmit turns it into FTarget, the instruction's address (jump chains shortened).
    PXANInstr FTarget = nullptr;
    std::int32_t FBoundIndex = -1;
};

enum TXANBracketType : std::uint8_t { bkNon, bkVbRound, bkRound, bkBlock };

class TXANCall : public TXANOperand {
public:
    std::int32_t FName = 0;
    plat::UString FStrName;
    TXANBracketType FBracketType = bkNon;
    std::int32_t FArgCount = 0;
    std::int32_t FArgsOffset = 0;    // from TOS to argument 1
    std::int32_t FResOffset = 0;     // from TOS to the result slot
    std::int32_t FObjectOffset = 0;  // from TOS to the object slot
    std::uint32_t FResMask = 0;      // 0: result ignored; all bits: result used
    TXANLabel* FBreakLabel = nullptr;
    TXANLabel* FContinueLabel = nullptr;
    TXANLabel* FExitLabel = nullptr;  // none: Exit returns from the procedure
    TXANCallSiteCache FSiteCache;     // what a global call's name denoted, filled by the machine
    // Every argument was pushed as a value (none is a variable, passed by reference): a
    // procedure called here has no by-value copies to take.
    bool FArgsByValue = false;
};

// One protected block (try/finally or try/except).
class TXANTry : public TXANOperand {
public:
    std::int32_t FIndex = 0;
    TXANTry* FParent = nullptr;
    std::int32_t FFinallyRetVar = -1;
    std::int32_t FExceptionVar = -1;  // first of two consecutive slots
    TXANLabel* FFinallyLabel = nullptr;
    TXANLabel* FHandlerLabel = nullptr;
    std::int32_t FHdrHierHigh = -1;
    std::int32_t FHdrHierLow = -1;

    // Labels at which the finally code may return (each follows an icCallFinally).
    void AddKnownFinallyRet(TXANLabel* label) { FKnownFRets.push_back(label); }
    TXANLabel* GetKnownFinallyRets(std::int32_t index) const { return FKnownFRets.at(std::size_t(index)); }
    std::int32_t KnownFinallyRetCount() const noexcept { return std::int32_t(FKnownFRets.size()); }

private:
    std::vector<TXANLabel*> FKnownFRets;  // not owned: labels belong to the bytecode
};

// Operand of icExceptJmpIfIs: jump to FLabel when the exception held by FTry matches.
class TXANExcJump : public TXANOperand {
public:
    TXANTry* FTry = nullptr;
    TXANLabel* FLabel = nullptr;
};

class TXANFor : public TXANOperand {
public:
    TXANLabel* FJmpLabel = nullptr;
    std::int32_t FToVar = -1;
    std::int32_t FStepVar = -1;       // -1: no step
    std::int32_t FLoopVarRef = -1;    // slot holding the loop variable's address
    std::int32_t FLoopLocalVar = -1;  // the local form's loop variable
};

class TXANArray : public TXANOperand {
public:
    std::int32_t FArgsOffset = 0;  // from TOS to the first bound: 2 * FDimCount - 1
    std::uint16_t FElemVarType = 0;
    std::int32_t FDimCount = 0;
};

class TXANArrayRedim : public TXANArray {
public:
    bool FPreserve = false;
    std::int32_t FArrayOffset = 0;    // from TOS to the reference to the array: 2 * FDimCount
    std::int32_t FArrayLocalVar = -1;
};

}  // namespace xan
