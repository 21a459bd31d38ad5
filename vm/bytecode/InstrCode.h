#pragma once
// The instruction set of the stack machine. The numbering is part of the bytecode format:
// icBreak must stay 0 because the dispatch masks every code with the terminate flag, and a
// cleared flag must turn any instruction into the breakpoint trap.
#include <cstdint>

// Every code in numbering order; X(name, ...) is applied to each (the enum, the names table and
// the interpreter's dispatch table are generated from this one list). The plain codes come
// first, then the fused ones, whose rows carry more arguments (see XAN_FUSED_CODES).
#define XAN_INSTR_CODES(X) XAN_PLAIN_CODES(X) XAN_FUSED_CODES(X)

// The codes the compilers emit: X(name).
#define XAN_PLAIN_CODES(X) \
    X(icBreak) X(icBreakpointJmp) X(icRet) X(icJump) \
    X(icPop) X(icPush) X(icPush0) X(icPushUnassigned) \
    X(icPushLiteral) X(icPushLocalVar) X(icPushLocalConst) X(icPushArg) \
    X(icPushResult) X(icPushLocalVarRef) X(icPushArgRef) X(icPushResultRef) \
    X(icGreater) X(icGreaterEqual) X(icLess) X(icLessEqual) \
    X(icIn) X(icIs) X(icEqual) X(icRefEqual) \
    X(icNotEqual) X(icRefNotEqual) X(icPlus) X(icStrConcat) \
    X(icMinus) X(icImp) X(icEqv) X(icOr) \
    X(icXor) X(icMultiply) X(icDivide) X(icIntDiv) \
    X(icMod) X(icAnd) X(icShl) X(icShr) \
    X(icPower) X(icUnaryPlus) X(icUnaryMinus) X(icUnaryNot) \
    X(icJmpIfTrue) X(icJmpIfFalse) X(icPopJmpIfTrue) X(icPopJmpIfFalse) \
    X(icPopJmpIfEqual) X(icPopJmpIfNotEqual) X(icAddValToSet) X(icAddRangeToSet) \
    X(icGlobCall) X(icMemberCall) X(icUnnamedCall) X(icGlobCallRef) \
    X(icMemberCallRef) X(icUnnamedCallRef) X(icNewUnnamedCall) X(icAssignGlobCall) \
    X(icAssignMemberCall) X(icAssignUnnamedCall) X(icAssignLValue) X(icAssignLocalVar) \
    X(icAssignArg) X(icAssignResult) X(icAssignGlobalVar) X(icAssignGlobalConst) \
    X(icForInitLValue) X(icForInitLocal) X(icForInc) X(icForIncStep) \
    X(icForDec) X(icForJmpIfLE) X(icForJmpIfGE) X(icForJmpStep) \
    X(icCaseJmpIfEqual) X(icCaseJmpIfInRange) X(icRaise) X(isReraise) \
    X(icRaiseEBCFromFinally) X(icCallFinally) X(icFinallyRet) X(icExceptJmpIfIs) \
    X(icExceptDone) X(icExceptToVar) X(icSetNamespace) X(icArrayCreate) \
    X(icArrayRedimLValue) X(icArrayRedimLocal) X(icEventHandlerMake)

// The fused instructions, one row each: X(fused code, the codes of the group it runs as one).
// The fusion pass gives the fused code to the first instruction of such a group; the compilers
// never emit it. A group is a pair "push, operate" or "step a loop, test it", a triple "push,
// push, operate", "push, operate, assign to a local" or "operate, push a literal, operate", a
// quadruple "push, push, operate, assign to a local" or "push, push, push, operate" (a push
// before a triple: `s + i * j`), or an element access through a call site ("reserve the result,
// push the index by reference or as a literal, call", "push the index by reference, push a
// literal, assign"), or a whole statement "push three locals, operate twice, operate with a
// literal twice, assign to a local" (`s := (s + i * j + 7) mod 1000003`). Within a group, the
// instructions after its head are fused as if they stood alone: that is what runs when the
// head cannot take the short way and runs alone. icPushLiteral stands for every literal push
// (icPushLiteral, icPushLocalConst, icPush0). This table is the only list: the fusion pass
// (vm/bytecode/Fusion.cpp) finds its groups here, and the dispatch loop
// (vm/interp/Interpreter.cpp) makes each row's case from the codes of its group, so a new fused
// instruction is a new row.
#define XAN_FUSED_CODES(X) \
    X(icLiteralPlus, icPushLiteral, icPlus) \
    X(icLiteralMinus, icPushLiteral, icMinus) \
    X(icLiteralMultiply, icPushLiteral, icMultiply) \
    X(icLiteralMod, icPushLiteral, icMod) \
    X(icLiteralDivide, icPushLiteral, icDivide) \
    X(icLiteralLess, icPushLiteral, icLess) \
    X(icLiteralLessEqual, icPushLiteral, icLessEqual) \
    X(icLiteralGreater, icPushLiteral, icGreater) \
    X(icLiteralGreaterEqual, icPushLiteral, icGreaterEqual) \
    X(icLiteralEqual, icPushLiteral, icEqual) \
    X(icLiteralNotEqual, icPushLiteral, icNotEqual) \
    X(icLocalPlus, icPushLocalVar, icPlus) \
    X(icLocalMinus, icPushLocalVar, icMinus) \
    X(icLocalMultiply, icPushLocalVar, icMultiply) \
    X(icLocalDivide, icPushLocalVar, icDivide) \
    X(icLocalLess, icPushLocalVar, icLess) \
    X(icLocalLessEqual, icPushLocalVar, icLessEqual) \
    X(icLocalGreater, icPushLocalVar, icGreater) \
    X(icLocalGreaterEqual, icPushLocalVar, icGreaterEqual) \
    X(icForIncJmpIfLE, icForInc, icForJmpIfLE) \
    X(icForDecJmpIfGE, icForDec, icForJmpIfGE) \
    X(icArgLiteralPlus, icPushArg, icPushLiteral, icPlus) \
    X(icArgLiteralMinus, icPushArg, icPushLiteral, icMinus) \
    X(icArgLiteralMultiply, icPushArg, icPushLiteral, icMultiply) \
    X(icArgLiteralLess, icPushArg, icPushLiteral, icLess) \
    X(icArgLiteralLessEqual, icPushArg, icPushLiteral, icLessEqual) \
    X(icArgLiteralGreater, icPushArg, icPushLiteral, icGreater) \
    X(icArgLiteralGreaterEqual, icPushArg, icPushLiteral, icGreaterEqual) \
    X(icArgLiteralEqual, icPushArg, icPushLiteral, icEqual) \
    X(icArgLiteralNotEqual, icPushArg, icPushLiteral, icNotEqual) \
    X(icLocalLiteralPlus, icPushLocalVar, icPushLiteral, icPlus) \
    X(icLocalLiteralMinus, icPushLocalVar, icPushLiteral, icMinus) \
    X(icLocalLiteralMultiply, icPushLocalVar, icPushLiteral, icMultiply) \
    X(icLocalLiteralDivide, icPushLocalVar, icPushLiteral, icDivide) \
    X(icLocalLiteralLess, icPushLocalVar, icPushLiteral, icLess) \
    X(icLocalLiteralLessEqual, icPushLocalVar, icPushLiteral, icLessEqual) \
    X(icLocalLiteralGreater, icPushLocalVar, icPushLiteral, icGreater) \
    X(icLocalLiteralGreaterEqual, icPushLocalVar, icPushLiteral, icGreaterEqual) \
    X(icArgAssignResult, icPushArg, icAssignResult) \
    X(icLocalAssignResult, icPushLocalVar, icAssignResult) \
    X(icLocalLocalPlus, icPushLocalVar, icPushLocalVar, icPlus) \
    X(icLocalLocalMinus, icPushLocalVar, icPushLocalVar, icMinus) \
    X(icLocalLocalMultiply, icPushLocalVar, icPushLocalVar, icMultiply) \
    X(icLocalLocalLess, icPushLocalVar, icPushLocalVar, icLess) \
    X(icLocalLocalLessEqual, icPushLocalVar, icPushLocalVar, icLessEqual) \
    X(icLocalLocalGreater, icPushLocalVar, icPushLocalVar, icGreater) \
    X(icLocalLocalGreaterEqual, icPushLocalVar, icPushLocalVar, icGreaterEqual) \
    X(icArgPlus, icPushArg, icPlus) \
    X(icArgMinus, icPushArg, icMinus) \
    X(icArgMultiply, icPushArg, icMultiply) \
    X(icArgLess, icPushArg, icLess) \
    X(icArgLessEqual, icPushArg, icLessEqual) \
    X(icArgGreater, icPushArg, icGreater) \
    X(icArgGreaterEqual, icPushArg, icGreaterEqual) \
    X(icLocalArgLess, icPushLocalVar, icPushArg, icLess) \
    X(icLocalArgLessEqual, icPushLocalVar, icPushArg, icLessEqual) \
    X(icLocalArgGreater, icPushLocalVar, icPushArg, icGreater) \
    X(icLocalArgGreaterEqual, icPushLocalVar, icPushArg, icGreaterEqual) \
    X(icLiteralPlusToLocal, icPushLiteral, icPlus, icAssignLocalVar) \
    X(icLiteralMinusToLocal, icPushLiteral, icMinus, icAssignLocalVar) \
    X(icLiteralMultiplyToLocal, icPushLiteral, icMultiply, icAssignLocalVar) \
    X(icLiteralDivideToLocal, icPushLiteral, icDivide, icAssignLocalVar) \
    X(icLiteralModToLocal, icPushLiteral, icMod, icAssignLocalVar) \
    X(icLocalPlusToLocal, icPushLocalVar, icPlus, icAssignLocalVar) \
    X(icLocalMinusToLocal, icPushLocalVar, icMinus, icAssignLocalVar) \
    X(icLocalMultiplyToLocal, icPushLocalVar, icMultiply, icAssignLocalVar) \
    X(icLocalLiteralPlusToLocal, icPushLocalVar, icPushLiteral, icPlus, icAssignLocalVar) \
    X(icLocalLiteralMinusToLocal, icPushLocalVar, icPushLiteral, icMinus, icAssignLocalVar) \
    X(icLocalLiteralMultiplyToLocal, icPushLocalVar, icPushLiteral, icMultiply, icAssignLocalVar) \
    X(icLocalLocalPlusToLocal, icPushLocalVar, icPushLocalVar, icPlus, icAssignLocalVar) \
    X(icLocalLocalMinusToLocal, icPushLocalVar, icPushLocalVar, icMinus, icAssignLocalVar) \
    X(icLocalLocalMultiplyToLocal, icPushLocalVar, icPushLocalVar, icMultiply, icAssignLocalVar) \
    X(icLocalLocalLocalPlus, icPushLocalVar, icPushLocalVar, icPushLocalVar, icPlus) \
    X(icLocalLocalLocalMinus, icPushLocalVar, icPushLocalVar, icPushLocalVar, icMinus) \
    X(icLocalLocalLocalMultiply, icPushLocalVar, icPushLocalVar, icPushLocalVar, icMultiply) \
    X(icPlusLiteralPlus, icPlus, icPushLiteral, icPlus) \
    X(icPlusLiteralMinus, icPlus, icPushLiteral, icMinus) \
    X(icMinusLiteralPlus, icMinus, icPushLiteral, icPlus) \
    X(icMinusLiteralMinus, icMinus, icPushLiteral, icMinus) \
    X(icMultiplyLiteralPlus, icMultiply, icPushLiteral, icPlus) \
    X(icMultiplyLiteralMinus, icMultiply, icPushLiteral, icMinus) \
    X(icReserveLiteralCall, icPush, icPushLiteral, icGlobCall) \
    X(icReserveLocalRefCall, icPush, icPushLocalVarRef, icGlobCall) \
    X(icLocalRefLiteralAssignCall, icPushLocalVarRef, icPushLiteral, icAssignGlobCall) \
    X(icLocalsMultiplyPlusPlusModToLocal, icPushLocalVar, icPushLocalVar, icPushLocalVar, icMultiply, icPlus, \
      icPushLiteral, icPlus, icPushLiteral, icMod, icAssignLocalVar) \
    X(icLocalsMultiplyPlusMinusModToLocal, icPushLocalVar, icPushLocalVar, icPushLocalVar, icMultiply, icPlus, \
      icPushLiteral, icMinus, icPushLiteral, icMod, icAssignLocalVar)

namespace xan {

enum TXANInstrCode : std::uint8_t {
#define XAN_INSTR_ENUM(name, ...) name,
    XAN_INSTR_CODES(XAN_INSTR_ENUM)
#undef XAN_INSTR_ENUM
};

#define XAN_INSTR_COUNT(...) +1
inline constexpr int XANFirstFusedCode = 0 XAN_PLAIN_CODES(XAN_INSTR_COUNT);
inline constexpr int XANInstrCodeCount = 0 XAN_INSTR_CODES(XAN_INSTR_COUNT);
#undef XAN_INSTR_COUNT
static_assert(XANInstrCodeCount <= 256, "a code is one byte");
static_assert(icBreak == 0, "the terminate-flag mask relies on icBreak being 0");

// Mnemonic of a code for diagnostics and test output ("icPush0"); "?" outside the set.
const char* XANInstrCodeName(unsigned code) noexcept;

}  // namespace xan
