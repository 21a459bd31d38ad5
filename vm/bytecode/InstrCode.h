#pragma once
// The instruction set of the stack machine. The numbering is part of the bytecode format:
// icBreak must stay 0 because the dispatch masks every code with the terminate flag, and a
// cleared flag must turn any instruction into the breakpoint trap.
#include <cstdint>

// Every code in numbering order; X(name) is applied to each (the enum, the names table and
// the interpreter's dispatch table are generated from this one list).
#define XAN_INSTR_CODES(X) \
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
    X(icArrayRedimLValue) X(icArrayRedimLocal) X(icEventHandlerMake) \
    XAN_FUSED_CODES(X)

// Codes the fusion pass gives the first instruction of a pair, or of a triple "push an argument
// or local, push a literal or local, operate", that the loop runs as one (see vm/bytecode/Fusion.h); the
// compilers never emit them.
#define XAN_FUSED_CODES(X) \
    X(icLiteralPlus) X(icLiteralMinus) X(icLiteralMultiply) X(icLiteralMod) \
    X(icLiteralLess) X(icLiteralLessEqual) X(icLiteralGreater) X(icLiteralGreaterEqual) \
    X(icLiteralEqual) X(icLiteralNotEqual) \
    X(icLocalPlus) X(icLocalMinus) X(icLocalMultiply) \
    X(icLocalLess) X(icLocalLessEqual) X(icLocalGreater) X(icLocalGreaterEqual) \
    X(icForIncJmpIfLE) X(icForDecJmpIfGE) \
    X(icArgLiteralPlus) X(icArgLiteralMinus) X(icArgLiteralMultiply) \
    X(icArgLiteralLess) X(icArgLiteralLessEqual) X(icArgLiteralGreater) X(icArgLiteralGreaterEqual) \
    X(icArgLiteralEqual) X(icArgLiteralNotEqual) \
    X(icLocalLiteralPlus) X(icLocalLiteralMinus) \
    X(icLocalLiteralLess) X(icLocalLiteralLessEqual) X(icLocalLiteralGreater) X(icLocalLiteralGreaterEqual) \
    X(icArgAssignResult) X(icLocalAssignResult) \
    X(icLocalLocalPlus) X(icLocalLocalMinus) X(icLocalLocalMultiply) \
    X(icLocalLocalLess) X(icLocalLocalLessEqual) X(icLocalLocalGreater) X(icLocalLocalGreaterEqual) \
    X(icArgPlus) X(icArgMinus) X(icArgMultiply) \
    X(icArgLess) X(icArgLessEqual) X(icArgGreater) X(icArgGreaterEqual)

namespace xan {

enum TXANInstrCode : std::uint8_t {
#define XAN_INSTR_ENUM(name) name,
    XAN_INSTR_CODES(XAN_INSTR_ENUM)
#undef XAN_INSTR_ENUM
};

inline constexpr int XANInstrCodeCount = icArgGreaterEqual + 1;
inline constexpr int XANFirstFusedCode = icLiteralPlus;
static_assert(XANInstrCodeCount == 141, "the instruction set has 141 codes");
static_assert(icBreak == 0, "the terminate-flag mask relies on icBreak being 0");

// Mnemonic of a code for diagnostics and test output ("icPush0"); "?" outside the set.
const char* XANInstrCodeName(unsigned code) noexcept;

}  // namespace xan
